// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/XlsxWorkbook.h"

#include "platform/Dates.h"

#include <QHash>

#include <array>
#include <cmath>
#include <xlsxwriter.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace lists {

namespace {

// Windows' default system colours (COLOR_SCROLLBAR .. COLOR_BTNHIGHLIGHT) as
// Windows colour values, for systems that have none of their own.
constexpr std::array<std::uint32_t, 21> kDefaultSystemColors{
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464,
    0x000000, 0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xD77800,
    0xFFFFFF, 0xF0F0F0, 0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF,
};

std::uint32_t windowsSystemColor(int index)
{
#ifdef _WIN32
    return static_cast<std::uint32_t>(GetSysColor(index));
#else
    return kDefaultSystemColors[static_cast<std::size_t>(index)];
#endif
}

lxw_row_t xlsxRow(int row)
{
    return static_cast<lxw_row_t>(row > 0 ? row - 1 : 0);
}

lxw_col_t xlsxColumn(int column)
{
    return static_cast<lxw_col_t>(column > 0 ? column - 1 : 0);
}

template <typename T>
void hashFormatPart(std::size_t& seed, const T& value)
{
    seed ^= std::hash<T>{}(value) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

} // namespace

std::size_t FormatAttributesHash::operator()(const FormatAttributes& a) const
{
    std::size_t h = 0;
    for (std::int64_t v : {a.background, a.foreground, a.fontColor, a.borderColor, a.leftColor, a.topColor,
                           a.rightColor, a.bottomColor, a.diagonalColor})
        hashFormatPart(h, v);
    for (int v :
         {int(a.border),    int(a.left),          int(a.top),        int(a.right),    int(a.bottom),
          int(a.diagonal),  int(a.diagonalType),  a.fontWeight,      int(a.italic),   int(a.underline),
          int(a.strikeOut), int(a.fontScript),    int(a.horizontal), int(a.vertical), int(a.wrap),
          a.rotation,       int(a.indent),        int(a.shrink),     int(a.pattern),  int(a.hidden),
          int(a.unlocked),  int(a.numFormatIndex)})
        hashFormatPart(h, v);
    hashFormatPart(h, a.fontSize);
    hashFormatPart(h, static_cast<std::size_t>(qHash(a.fontName)));
    hashFormatPart(h, static_cast<std::size_t>(qHash(a.numFormat)));
    return h;
}

std::uint32_t xlsxColor(std::int64_t windowsColor)
{
    std::uint32_t value = static_cast<std::uint32_t>(windowsColor);
    if (windowsColor >= 0x80000000LL && windowsColor <= 0x80000014LL)
        value = windowsSystemColor(static_cast<int>(windowsColor - 0x80000000LL));
    value &= 0xFFFFFF;
    if (value == 0)
        return LXW_COLOR_BLACK;
    return ((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF);
}

QByteArray xlsxText(QStringView text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            continue;
        plain += text[i];
    }
    return plain.toUtf8();
}

QString integerNumberFormat(int decimals, bool redNegatives)
{
    static const std::array<const char*, 7> kDecimals{"", ".0", ".00", ".000", ".0000", ".00000", ".000000"};
    const QString part = QString::fromLatin1(kDecimals[static_cast<std::size_t>(std::clamp(decimals, 0, 6))]);
    return QStringLiteral("# ##0") + part + u';' + (redNegatives ? QStringLiteral("[Red]") : QString()) +
           QStringLiteral("-# ##0") + part;
}

QString percentNumberFormat(bool redNegatives)
{
    return QStringLiteral("# ##0.00%;") + (redNegatives ? QStringLiteral("[Red]") : QString()) +
           QStringLiteral("-# ##0.00%");
}

WorkbookWriter::WorkbookWriter() = default;

WorkbookWriter::~WorkbookWriter()
{
    // A workbook left open is closed so that libxlsxwriter frees it; its
    // file is as good as the writes before.
    if (m_workbook)
        static_cast<void>(close());
}

bool WorkbookWriter::newWorkbook(const QString& file)
{
    if (m_workbook)
        static_cast<void>(close());
    m_file = file;
    m_sheetName.clear();
    m_sheet = nullptr;
    m_cache.clear();
    m_error.clear();
    resetFormat();
    m_workbook = workbook_new(file.toLocal8Bit().constData());
    if (!m_workbook) {
        m_error = QStringLiteral("libxlsxwriter could not create the workbook");
        return false;
    }
    m_defaultFormats = workbookFormats();
    return true;
}

bool WorkbookWriter::addSheet(const QString& name)
{
    if (!m_workbook)
        return false;
    m_sheet = workbook_add_worksheet(m_workbook, name.isEmpty() ? nullptr : text(name));
    if (!m_sheet) {
        check(LXW_ERROR_SHEETNAME_ALREADY_USED, "worksheet");
        return false;
    }
    m_sheetName = name;
    return true;
}

void WorkbookWriter::setProperties(const Properties& p)
{
    if (!m_workbook)
        return;
    // libxlsxwriter copies the texts.
    std::array<QByteArray, 10> texts{xlsxText(p.title),        xlsxText(p.subject),  xlsxText(p.author),
                                     xlsxText(p.manager),      xlsxText(p.company),  xlsxText(p.category),
                                     xlsxText(p.keywords),     xlsxText(p.comments), xlsxText(p.status),
                                     xlsxText(p.hyperlinkBase)};
    lxw_doc_properties properties{};
    properties.title = texts[0].data();
    properties.subject = texts[1].data();
    properties.author = texts[2].data();
    properties.manager = texts[3].data();
    properties.company = texts[4].data();
    properties.category = texts[5].data();
    properties.keywords = texts[6].data();
    properties.comments = texts[7].data();
    properties.status = texts[8].data();
    properties.hyperlink_base = texts[9].data();
    if (p.createdDay > 0 && p.createdTime > 0)
        properties.created =
            static_cast<time_t>(QDate(1970, 1, 1).daysTo(platform::dateOfDay(p.createdDay))) * 86400 +
            (p.createdTime - 1) / 100;
    check(workbook_set_properties(m_workbook, &properties), "properties");
}

void WorkbookWriter::setPaper(int kind)
{
    if (m_sheet)
        worksheet_set_paper(m_sheet, static_cast<std::uint8_t>(kind));
}

void WorkbookWriter::setLandscape()
{
    if (m_sheet)
        worksheet_set_landscape(m_sheet);
}

void WorkbookWriter::hideZeroValues()
{
    if (m_sheet)
        worksheet_hide_zero(m_sheet);
}

void WorkbookWriter::setZoom(int percent)
{
    if (m_sheet && percent >= 10 && percent <= 400)
        worksheet_set_zoom(m_sheet, static_cast<std::uint16_t>(percent));
}

void WorkbookWriter::setMargins(double left, double right, double top, double bottom)
{
    const auto inches = [](double cm) { return cm < 0 ? -1.0 : cm / 2.54; };
    if (m_sheet)
        worksheet_set_margins(m_sheet, inches(left), inches(right), inches(top), inches(bottom));
}

void WorkbookWriter::setHeader(const QString& value, double marginCm)
{
    if (!m_sheet || (value.isEmpty() && marginCm < 0))
        return;
    if (marginCm < 0) {
        check(worksheet_set_header(m_sheet, text(value)), "header");
        return;
    }
    lxw_header_footer_options options{};
    options.margin = marginCm / 2.54;
    check(worksheet_set_header_opt(m_sheet, text(value), &options), "header");
}

void WorkbookWriter::setFooter(const QString& value, double marginCm)
{
    if (!m_sheet || (value.isEmpty() && marginCm < 0))
        return;
    if (marginCm < 0) {
        check(worksheet_set_footer(m_sheet, text(value)), "footer");
        return;
    }
    lxw_header_footer_options options{};
    options.margin = marginCm / 2.54;
    check(worksheet_set_footer_opt(m_sheet, text(value), &options), "footer");
}

void WorkbookWriter::freezePanes(int row, int column)
{
    if (m_sheet)
        worksheet_freeze_panes(m_sheet, xlsxRow(row), xlsxColumn(column));
}

void WorkbookWriter::resetFormat()
{
    m_attributes = FormatAttributes{};
    m_current = nullptr;
}

WorkbookWriter::Format WorkbookWriter::makeFormat(bool makeCurrent)
{
    if (!m_workbook)
        return nullptr;
    auto found = m_cache.find(m_attributes);
    if (found != m_cache.end()) {
        if (makeCurrent)
            m_current = found->second;
        return found->second;
    }
    const FormatAttributes& a = m_attributes;
    lxw_format* f = workbook_add_format(m_workbook);
    if (!f) {
        check(LXW_ERROR_MEMORY_MALLOC_FAILED, "format");
        return nullptr;
    }
    if (!a.numFormat.isEmpty())
        format_set_num_format(f, text(a.numFormat.left(100)));
    if (a.numFormatIndex != 0)
        format_set_num_format_index(f, a.numFormatIndex);
    if (a.border != 255)
        format_set_border(f, a.border);
    if (a.left != 255)
        format_set_left(f, a.left);
    if (a.right != 255)
        format_set_right(f, a.right);
    if (a.top != 255)
        format_set_top(f, a.top);
    if (a.bottom != 255)
        format_set_bottom(f, a.bottom);
    if (a.diagonal != 255)
        format_set_diag_border(f, a.diagonal);
    if (a.borderColor != -1)
        format_set_border_color(f, xlsxColor(a.borderColor));
    if (a.leftColor != -1)
        format_set_left_color(f, xlsxColor(a.leftColor));
    if (a.rightColor != -1)
        format_set_right_color(f, xlsxColor(a.rightColor));
    if (a.topColor != -1)
        format_set_top_color(f, xlsxColor(a.topColor));
    if (a.bottomColor != -1)
        format_set_bottom_color(f, xlsxColor(a.bottomColor));
    if (a.diagonalColor != -1)
        format_set_diag_color(f, xlsxColor(a.diagonalColor));
    if (a.diagonalType != 0)
        format_set_diag_type(f, a.diagonalType);
    if (a.background != -1)
        format_set_bg_color(f, xlsxColor(a.background));
    if (a.foreground != -1)
        format_set_fg_color(f, xlsxColor(a.foreground));
    if (a.fontColor != -1)
        format_set_font_color(f, xlsxColor(a.fontColor));
    if (a.fontSize > 0)
        format_set_font_size(f, a.fontSize);
    if (!a.fontName.isEmpty())
        format_set_font_name(f, text(a.fontName));
    if (a.fontWeight == 700)
        format_set_bold(f);
    if (a.italic)
        format_set_italic(f);
    if (a.underline != 0)
        format_set_underline(f, a.underline);
    if (a.strikeOut)
        format_set_font_strikeout(f);
    if (a.fontScript != 0)
        format_set_font_script(f, a.fontScript);
    if (a.horizontal != 0)
        format_set_align(f, a.horizontal);
    if (a.vertical != 0)
        format_set_align(f, a.vertical);
    if (a.wrap)
        format_set_text_wrap(f);
    if (a.rotation != 0)
        format_set_rotation(f, static_cast<std::int16_t>(a.rotation));
    if (a.indent != 0)
        format_set_indent(f, a.indent);
    if (a.shrink)
        format_set_shrink(f);
    if (a.pattern != 0)
        format_set_pattern(f, a.pattern);
    if (a.hidden)
        format_set_hidden(f);
    if (a.unlocked)
        format_set_unlocked(f);
    m_cache.emplace(m_attributes, f);
    if (makeCurrent)
        m_current = f;
    return f;
}

WorkbookWriter::Format WorkbookWriter::integerPreset(int decimals, bool redNegatives)
{
    m_attributes.numFormat = integerNumberFormat(decimals, redNegatives);
    m_attributes.horizontal = LXW_ALIGN_RIGHT;
    return makeFormat(true);
}

WorkbookWriter::Format WorkbookWriter::percentPreset(bool redNegatives)
{
    m_attributes.numFormat = percentNumberFormat(redNegatives);
    m_attributes.horizontal = LXW_ALIGN_RIGHT;
    return makeFormat(true);
}

WorkbookWriter::Format WorkbookWriter::datePreset()
{
    m_attributes.numFormat = QStringLiteral("DD.MM.YYYY");
    return makeFormat(true);
}

WorkbookWriter::Format WorkbookWriter::timePreset()
{
    m_attributes.numFormat = QStringLiteral("HH:MM:SS");
    return makeFormat(true);
}

void WorkbookWriter::writeString(int row, int column, QStringView value)
{
    if (m_sheet)
        check(worksheet_write_string(m_sheet, xlsxRow(row), xlsxColumn(column), text(value), m_current),
              "cell");
}

void WorkbookWriter::writeNumber(int row, int column, double value)
{
    if (m_sheet)
        check(worksheet_write_number(m_sheet, xlsxRow(row), xlsxColumn(column), value, m_current), "cell");
}

void WorkbookWriter::writeBlank(int row, int column)
{
    if (m_sheet)
        check(worksheet_write_blank(m_sheet, xlsxRow(row), xlsxColumn(column), m_current), "cell");
}

void WorkbookWriter::writeValue(int row, int column, QStringView value)
{
    const QStringView trimmed = value.trimmed();
    if (trimmed.isEmpty()) {
        writeBlank(row, column);
        return;
    }
    bool numeric = false;
    const double number = trimmed.toDouble(&numeric);
    if (numeric && std::isfinite(number))
        writeNumber(row, column, number);
    else
        writeString(row, column, value);
}

void WorkbookWriter::writeDateTime(int row, int column, std::int32_t day, std::int32_t time)
{
    if (day <= 0 && time <= 0) {
        writeBlank(row, column);
        return;
    }
    lxw_datetime dt{};
    if (day > 0) {
        const QDate date = platform::dateOfDay(day);
        dt.year = date.year();
        dt.month = date.month();
        dt.day = date.day();
    }
    if (time > 0) {
        const std::int32_t t = time - 1;
        dt.hour = t / 360000;
        const std::int32_t rest = t % 360000;
        dt.min = rest / 6000;
        dt.sec = (rest % 6000) / 100.0;
    }
    if (m_sheet)
        check(worksheet_write_datetime(m_sheet, xlsxRow(row), xlsxColumn(column), &dt, m_current), "cell");
}

bool WorkbookWriter::merge(int firstRow, int firstColumn, int lastRow, int lastColumn, QStringView value)
{
    if (!m_sheet)
        return false;
    if (firstRow == lastRow && firstColumn == lastColumn) {
        const lxw_error e = worksheet_write_string(m_sheet, xlsxRow(firstRow), xlsxColumn(firstColumn),
                                                   text(value), m_current);
        check(e, "cell");
        return e == LXW_NO_ERROR;
    }
    const lxw_error e =
        worksheet_merge_range(m_sheet, xlsxRow(firstRow), xlsxColumn(firstColumn), xlsxRow(lastRow),
                              xlsxColumn(lastColumn), text(value), m_current);
    check(e, "merge");
    return e == LXW_NO_ERROR;
}

void WorkbookWriter::setColumn(int first, int last, double width, bool hidden, int outlineLevel,
                               bool collapsed)
{
    if (!m_sheet)
        return;
    if (!hidden && outlineLevel == 0 && !collapsed) {
        check(worksheet_set_column(m_sheet, xlsxColumn(first), xlsxColumn(last), width, m_current), "column");
        return;
    }
    lxw_row_col_options options{};
    options.hidden = hidden ? 1 : 0;
    options.level = static_cast<std::uint8_t>(outlineLevel);
    options.collapsed = collapsed ? 1 : 0;
    check(worksheet_set_column_opt(m_sheet, xlsxColumn(first), xlsxColumn(last), width, m_current, &options),
          "column");
}

void WorkbookWriter::setRow(int row, double height, bool hidden, int outlineLevel, bool collapsed)
{
    if (!m_sheet)
        return;
    if (!hidden && outlineLevel == 0 && !collapsed) {
        check(worksheet_set_row(m_sheet, xlsxRow(row), height, m_current), "row");
        return;
    }
    lxw_row_col_options options{};
    options.hidden = hidden ? 1 : 0;
    options.level = static_cast<std::uint8_t>(outlineLevel);
    options.collapsed = collapsed ? 1 : 0;
    check(worksheet_set_row_opt(m_sheet, xlsxRow(row), height, m_current, &options), "row");
}

void WorkbookWriter::outlineSettings(bool visible, bool symbolsBelow, bool symbolsRight, bool autoStyle)
{
    if (m_sheet)
        worksheet_outline_settings(m_sheet, visible ? 1 : 0, symbolsBelow ? 1 : 0, symbolsRight ? 1 : 0,
                                   autoStyle ? 1 : 0);
}

bool WorkbookWriter::close()
{
    if (!m_workbook)
        return !failed();
    const lxw_error e = workbook_close(m_workbook);
    m_workbook = nullptr;
    m_sheet = nullptr;
    m_current = nullptr;
    m_cache.clear();
    m_buffer = QByteArray();
    check(e, "workbook");
    return !failed();
}

std::size_t WorkbookWriter::workbookFormats() const
{
    if (!m_workbook)
        return 0;
    std::size_t count = 0;
    lxw_format* f = nullptr;
    STAILQ_FOREACH(f, m_workbook->formats, list_pointers)
    ++count;
    return count - std::min(count, m_defaultFormats);
}

void WorkbookWriter::check(int error, const char* what)
{
    if (error == LXW_NO_ERROR || !m_error.isEmpty())
        return;
    m_error = QString::fromUtf8(lxw_strerror(static_cast<lxw_error>(error))) + QStringLiteral(" (") +
              QString::fromLatin1(what) + u')';
}

const char* WorkbookWriter::text(QStringView value)
{
    m_buffer = xlsxText(value);
    return m_buffer.constData();
}

} // namespace lists
