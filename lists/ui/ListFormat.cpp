// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/ui/ListFormat.h"

#include "framework/MessageBox.h"
#include "framework/ProcessSettings.h"
#include "lists/Palette.h"
#include "lists/ui/FrozenColumns.h"
#include "lists/ui/ListHeaderView.h"
#include "lists/ui/SetBrwFormatDialog.h"
#include "store/Session.h"
#include "store/tables/BrwSet.h"

#include <QAbstractItemModel>
#include <QColor>
#include <QEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <QWheelEvent>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <optional>
#include <vector>

namespace lists::ui {

namespace {

constexpr std::string_view kLayoutTag = "ZL1";
constexpr int kLongestColumnWidth = 10000;

struct LayoutColumn
{
    int logical = 0;
    int width = 0;
    bool hidden = false;
    int colour = 0; // palette index of the header text
};

struct ParsedLayout
{
    std::vector<LayoutColumn> columns;
    int fixed = 0; // leading columns fixed in place
};

// FNV-1a over the captions of the columns: a list whose columns were renamed,
// added or taken away no longer matches a layout saved for it.
std::uint64_t captionsFingerprint(const QHeaderView& header)
{
    std::uint64_t h = 14695981039346656037ull;
    const auto mix = [&h](std::uint32_t unit) {
        h ^= unit;
        h *= 1099511628211ull;
    };
    const QAbstractItemModel* model = header.model();
    for (int i = 0; i < header.count(); ++i) {
        const QString caption =
            model ? model->headerData(i, header.orientation(), Qt::DisplayRole).toString() : QString();
        for (const QChar c : caption)
            mix(c.unicode());
        mix(0xFFFFu);
    }
    return h;
}

std::string hex16(std::uint64_t v)
{
    char out[17] = {};
    for (int i = 15; i >= 0; --i) {
        out[i] = "0123456789abcdef"[v & 0xF];
        v >>= 4;
    }
    return std::string(out, 16);
}

bool parseInt(std::string_view s, int& out)
{
    if (s.empty())
        return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size();
}

std::vector<std::string_view> split(std::string_view s, char by)
{
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = s.find(by, from);
        parts.push_back(s.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
        if (at == std::string_view::npos)
            return parts;
        from = at + 1;
    }
}

// The columns of a layout text made for `header`, in display order, and the
// number of fixed columns; none when the text is damaged or belongs to other
// columns. A column may carry its header colour ("/" + palette index) and the
// text a fifth part "F" + the number of fixed columns, each only when not 0.
std::optional<ParsedLayout> parseLayout(const QHeaderView& header, std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.remove_suffix(1);
    const std::vector<std::string_view> parts = split(text, ';');
    int count = 0;
    if ((parts.size() != 4 && parts.size() != 5) || parts[0] != kLayoutTag || !parseInt(parts[1], count) ||
        count != header.count() || parts[2] != hex16(captionsFingerprint(header)))
        return std::nullopt;
    ParsedLayout layout;
    if (parts.size() == 5) {
        if (parts[4].size() < 2 || parts[4][0] != 'F' || !parseInt(parts[4].substr(1), layout.fixed) ||
            layout.fixed < 1 || layout.fixed > count)
            return std::nullopt;
    }
    std::vector<LayoutColumn>& columns = layout.columns;
    if (count == 0)
        return parts[3].empty() ? std::optional(layout) : std::nullopt;
    std::vector<bool> seen(static_cast<std::size_t>(count), false);
    for (const std::string_view item : split(parts[3], ',')) {
        const std::size_t colon = item.find(':');
        if (colon == std::string_view::npos)
            return std::nullopt;
        LayoutColumn c;
        std::string_view width = item.substr(colon + 1);
        if (const std::size_t slash = width.find('/'); slash != std::string_view::npos) {
            if (!parseInt(width.substr(slash + 1), c.colour) || c.colour < 1 || c.colour >= kPaletteSize)
                return std::nullopt;
            width = width.substr(0, slash);
        }
        if (width == "h") {
            c.hidden = true;
        } else if (!parseInt(width, c.width) || c.width < 1 || c.width > kLongestColumnWidth) {
            return std::nullopt;
        }
        if (!parseInt(item.substr(0, colon), c.logical) || c.logical < 0 || c.logical >= count ||
            seen[static_cast<std::size_t>(c.logical)])
            return std::nullopt;
        seen[static_cast<std::size_t>(c.logical)] = true;
        columns.push_back(c);
    }
    if (static_cast<int>(columns.size()) != count)
        return std::nullopt;
    return layout;
}

// A layout text without its widths: the columns, their order, which are
// hidden, their colours and how many stay in place. The widths of a design
// follow the program's scale (the font the list is measured in), which does
// not make it another design.
std::string designWithoutWidths(std::string_view text)
{
    const std::vector<std::string_view> parts = split(text, ';');
    if (parts.size() < 4)
        return std::string(text);
    std::string out;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            out += ';';
        if (i != 3) {
            out += parts[i];
            continue;
        }
        bool first = true;
        for (const std::string_view item : split(parts[3], ',')) {
            if (!first)
                out += ',';
            first = false;
            const std::size_t colon = item.find(':');
            out += item.substr(0, colon);
            if (colon != std::string_view::npos && item.substr(colon + 1, 1) == "h")
                out += ":h";
            if (const std::size_t slash = item.find('/'); slash != std::string_view::npos)
                out += item.substr(slash);
        }
    }
    return out;
}

// Each shown column's width in the proportion of its designed widths then
// and now.
void followDesignWidths(QHeaderView& header, const std::vector<int>& then, const std::vector<int>& now)
{
    if (then.size() != now.size() || static_cast<int>(now.size()) != header.count())
        return;
    for (int i = 0; i < header.count(); ++i) {
        const int from = then[static_cast<std::size_t>(i)];
        const int to = now[static_cast<std::size_t>(i)];
        if (from <= 0 || to <= 0 || from == to || header.isSectionHidden(i))
            continue;
        const qint64 width = (static_cast<qint64>(header.sectionSize(i)) * to + from / 2) / from;
        header.resizeSection(i, static_cast<int>(std::clamp<qint64>(width, 1, kLongestColumnWidth)));
    }
}

QColor colourOfIndex(int index)
{
    const std::optional<quint32> value = paletteColour(index);
    if (!value)
        return {};
    const Rgb rgb = rgbOfColour(*value);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QString withZoomHint(const QString& tip)
{
    return tip + (tip.isEmpty() ? QString() : QStringLiteral(", ")) +
           QStringLiteral("[ CTRL + MINUS / PLUS / 0 ] - масштаб");
}

void designTooLongMessage(qsizetype length)
{
    framework::MessageRequest r;
    r.caption = QStringLiteral("У нас проблема ...");
    r.text = QStringLiteral(" Внимание ! Превышение размера хранения формата: ") + QString::number(length);
    r.icon = framework::MessageIcon::Information;
    r.customButtons = {QStringLiteral("&1. Закрыть")};
    framework::showNotice(framework::messagePresenter(), r);
}

} // namespace

std::string layoutText(const QHeaderView& header)
{
    std::string text(kLayoutTag);
    text += ';' + std::to_string(header.count()) + ';' + hex16(captionsFingerprint(header)) + ';';
    for (int visual = 0; visual < header.count(); ++visual) {
        const int logical = header.logicalIndex(visual);
        if (visual > 0)
            text += ',';
        text += std::to_string(logical) + ':';
        if (header.isSectionHidden(logical))
            text += 'h';
        else
            text += std::to_string(std::clamp(header.sectionSize(logical), 1, kLongestColumnWidth));
        if (const int colour = headerTextColour(header, logical); colour > 0)
            text += '/' + std::to_string(colour);
    }
    if (const int fixed = fixedColumnCount(header); fixed > 0)
        text += ";F" + std::to_string(fixed);
    return text;
}

bool applyLayoutText(QHeaderView& header, std::string_view text)
{
    const std::optional<ParsedLayout> layout = parseLayout(header, text);
    if (!layout)
        return false;
    const std::vector<LayoutColumn>& columns = layout->columns;
    clearHeaderTextColours(header);
    for (int visual = 0; visual < static_cast<int>(columns.size()); ++visual) {
        const LayoutColumn& c = columns[static_cast<std::size_t>(visual)];
        if (c.colour > 0)
            setHeaderTextColour(header, c.logical, c.colour);
        const int from = header.visualIndex(c.logical);
        if (from != visual)
            header.moveSection(from, visual);
        if (c.hidden) {
            header.setSectionHidden(c.logical, true);
        } else {
            header.setSectionHidden(c.logical, false);
            header.resizeSection(c.logical, c.width);
        }
    }
    setFixedColumnCount(header, layout->fixed);
    return true;
}

std::vector<int> layoutWidths(const QHeaderView& header, std::string_view text)
{
    const std::optional<ParsedLayout> layout = parseLayout(header, text);
    if (!layout)
        return {};
    std::vector<int> widths(layout->columns.size(), 0);
    for (const LayoutColumn& c : layout->columns)
        widths[static_cast<std::size_t>(c.logical)] = c.hidden ? 0 : c.width;
    return widths;
}

ListFormat::ListFormat(QTableView* view, const QString& listId, store::Session& session)
    : QObject(view)
    , m_viewObject(view)
    , m_listId(listId.left(kListIdLength))
    , m_session(session)
{
    if (!view)
        return;
    // Widths down to 1 are the format's, whatever the font asks of the header.
    view->horizontalHeader()->setMinimumSectionSize(1);
    // The user arranges the columns by dragging them as well.
    view->horizontalHeader()->setSectionsMovable(true);
    m_ownPalette = view->palette();
    m_ownStyleSheet = view->styleSheet();
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
    view->horizontalHeader()->viewport()->installEventFilter(this);
    m_frozen = new FrozenColumns(view);
    if (QWidget* window = view->window(); window && window != view)
        window->installEventFilter(this);
}

void ListFormat::open()
{
    if (!view() || m_listId.isEmpty())
        return;
    QHeaderView& header = *view()->horizontalHeader();
    const std::string designedNow = layoutText(header);
    std::optional<SavedListFormat> saved = formatInMemory(m_session, m_listId);
    std::string designedThen; // the design a format of the file was saved for
    if (!saved) {
        saved =
            formatInFile(m_session, m_listId, designedNow, [](std::string_view stored, std::string_view now) {
                return designWithoutWidths(stored) == designWithoutWidths(now);
            });
        if (saved)
            designedThen = saved->designed;
    }
    if (saved) {
        m_designed = saved->designed;
        m_appearance = saved->appearance;
        // A layout that cannot be restored leaves the list as designed.
        if (applyLayoutText(header, saved->current) && !designedThen.empty() && designedThen != designedNow) {
            // Saved for the same columns at other widths (another scale of
            // the program, or a new version that widens a column): the
            // user's arrangement stays, its widths follow the design's, and
            // the design is the one the list has now.
            followDesignWidths(header, layoutWidths(header, designedThen), layoutWidths(header, designedNow));
            m_designed = designedNow.substr(0, static_cast<std::size_t>(kDesignedLayoutLimit));
        }
    } else {
        m_designed = designedNow;
        if (static_cast<int>(m_designed.size()) > kDesignedLayoutLimit) {
            designTooLongMessage(static_cast<qsizetype>(m_designed.size()));
            m_designed.resize(static_cast<std::size_t>(kDesignedLayoutLimit));
        }
        m_appearance = ListAppearance{};
    }
    m_appearance = checkedAppearance(m_appearance, framework::process::uiFontSize());
    if (!m_tipAdded) {
        view()->setToolTip(withZoomHint(view()->toolTip()));
        m_tipAdded = true;
    }
    applyAppearance();
    m_opened = true;
}

void ListFormat::close()
{
    if (!view() || !m_opened || m_listId.isEmpty())
        return;
    SavedListFormat format;
    format.designed = m_designed;
    format.current = layoutText(*view()->horizontalHeader());
    format.appearance = m_appearance;
    // Keeping the format is a convenience: a list that cannot keep it still closes.
    (void)rememberListFormat(m_session, m_listId, format);
}

void ListFormat::reset()
{
    if (!view() || m_designed.empty())
        return;
    QHeaderView& header = *view()->horizontalHeader();
    // Hidden columns stay hidden and header colours stay; order, widths and
    // fixed columns are the design's.
    std::vector<int> hidden;
    std::vector<int> colours(static_cast<std::size_t>(header.count()), 0);
    for (int i = 0; i < header.count(); ++i) {
        if (header.isSectionHidden(i))
            hidden.push_back(i);
        colours[static_cast<std::size_t>(i)] = headerTextColour(header, i);
    }
    if (applyLayoutText(header, m_designed)) {
        for (const int i : hidden)
            header.setSectionHidden(i, true);
        for (int i = 0; i < header.count(); ++i)
            if (colours[static_cast<std::size_t>(i)] > 0)
                setHeaderTextColour(header, i, colours[static_cast<std::size_t>(i)]);
    }
    m_appearance = defaultAppearance(framework::process::uiFontSize());
    applyAppearance();
}

bool ListFormat::zoom(int step)
{
    if (!view())
        return false;
    const int uiFontSize = framework::process::uiFontSize();
    const int before =
        m_appearance.setup == 0 ? defaultAppearance(uiFontSize).fontSize : m_appearance.fontSize;
    const bool changed =
        step == 0 ? resetZoom(m_appearance, uiFontSize) : zoomAppearance(m_appearance, step, uiFontSize);
    if (!changed)
        return false;
    scaleColumnWidths(before, m_appearance.fontSize);
    applyAppearance();
    return true;
}

void ListFormat::scaleColumnWidths(int oldFontSize, int newFontSize)
{
    if (oldFontSize <= 0 || oldFontSize == newFontSize)
        return;
    QHeaderView& header = *view()->horizontalHeader();
    for (int i = 0; i < header.count(); ++i) {
        if (header.isSectionHidden(i))
            continue;
        const int width = header.sectionSize(i);
        const int scaled =
            static_cast<int>((static_cast<qint64>(width) * newFontSize + oldFontSize / 2) / oldFontSize);
        header.resizeSection(i, std::max(1, scaled));
    }
}

void ListFormat::applyAppearance()
{
    const ListAppearance& a = m_appearance;
    const QString family = listFontName(a.font);
    const QFont current = view()->font();
    if (current.family().toUpper() != family.toUpper() || current.pointSize() != a.fontSize) {
        QFont font = current;
        font.setFamily(family);
        font.setPointSize(a.fontSize);
        view()->setFont(font);
    }

    QString sheet = m_ownStyleSheet;
    if (const QColor grid = colourOfIndex(a.gridColour); grid.isValid())
        sheet += QStringLiteral(" QTableView { gridline-color: %1; }").arg(grid.name());
    if (view()->styleSheet() != sheet)
        view()->setStyleSheet(sheet);

    QPalette palette = view()->palette();
    const QColor bar = colourOfIndex(a.barColour);
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        if (bar.isValid()) {
            palette.setColor(group, QPalette::Highlight, bar);
            palette.setColor(group, QPalette::HighlightedText,
                             a.barColour < 10 || a.barColour == 14 ? QColor(Qt::white) : QColor(Qt::black));
        } else {
            palette.setColor(group, QPalette::Highlight, m_ownPalette.color(group, QPalette::Highlight));
            palette.setColor(group, QPalette::HighlightedText,
                             m_ownPalette.color(group, QPalette::HighlightedText));
        }
    }
    if (palette != view()->palette())
        view()->setPalette(palette);

    // Row height in eighths of the font's line height.
    const int rowPixels = std::max(1, a.rowHeight * QFontMetrics(view()->font()).height() / 8);
    QHeaderView* rows = view()->verticalHeader();
    rows->setMinimumSectionSize(std::min(rows->minimumSectionSize(), rowPixels));
    rows->setDefaultSectionSize(rowPixels);
    if (m_frozen)
        m_frozen->scheduleRefresh();
}

bool ListFormat::eventFilter(QObject* watched, QEvent* event)
{
    // While the view is being destroyed it is no longer a table view: events
    // it sends then are left alone.
    if (!view())
        return false;
    if (watched == view() && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers().testFlag(Qt::ControlModifier)) {
            switch (key->key()) {
            case Qt::Key_Minus:
                zoom(-1);
                return true;
            case Qt::Key_Plus:
            case Qt::Key_Equal:
                zoom(1);
                return true;
            case Qt::Key_0:
                reset();
                return true;
            default:
                break;
            }
        }
    } else if (watched == view()->viewport() && event->type() == QEvent::Wheel &&
               m_appearance.wheelStep > 0) {
        // The wheel step: 40 scrolls three rows a notch, 200 one row.
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const int notches = wheel->angleDelta().y() / 120;
        if (notches != 0 && !wheel->modifiers().testFlag(Qt::ControlModifier)) {
            const int rowsPerNotch = std::max(1, (120 + m_appearance.wheelStep / 2) / m_appearance.wheelStep);
            QScrollBar* bar = view()->verticalScrollBar();
            const int unit = view()->verticalScrollMode() == QAbstractItemView::ScrollPerItem
                                 ? 1
                                 : view()->verticalHeader()->defaultSectionSize();
            bar->setValue(bar->value() - notches * rowsPerNotch * unit);
            return true;
        }
    } else if (watched == view()->horizontalHeader()->viewport()) {
        // The header's right button belongs to the settings window, not to
        // the list's own context menu.
        if (event->type() == QEvent::ContextMenu)
            return true;
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            openSettings(view()->window()->windowTitle());
            return true;
        }
    } else if (watched == view()->window() && event->type() == QEvent::Close) {
        close();
    }
    return false;
}

bool ListFormat::openSettings(const QString& windowTitle)
{
    if (!view() || !m_opened)
        return false;
    SetBrwFormatDialog dialog(*this, windowTitle, view()->window());
    return dialog.exec() == QDialog::Accepted;
}

void ListFormat::setAppearance(const ListAppearance& appearance)
{
    if (!view())
        return;
    m_appearance = checkedAppearance(appearance, framework::process::uiFontSize());
    applyAppearance();
}

bool ListFormat::keepsFixedColumns() const
{
    return view() && paintsHeaderTextColours(*view()->horizontalHeader());
}

void ListFormat::columnsChanged()
{
    if (view() && m_frozen)
        m_frozen->refresh();
}

QString ListFormat::formatFilePath() const
{
    return m_session.filePath(store::brwSetTable());
}

ListFormat* attachListFormat(QTableView* view, const QString& listId, store::Session& session)
{
    if (!view)
        return nullptr;
    auto* format = new ListFormat(view, listId, session);
    format->open();
    return format;
}

} // namespace lists::ui
