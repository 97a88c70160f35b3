// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/ui/SetBrwFormatDialog.h"

#include "ui_SetBrwFormatDialog.h"

#include "framework/MessageBox.h"
#include "framework/ProcessSettings.h"
#include "framework/ui/WindowPlacementUi.h"
#include "lists/Palette.h"
#include "lists/ui/CalcBigDialog.h"
#include "lists/ui/DialogFont.h"
#include "lists/ui/ListFormat.h"
#include "lists/ui/ListHeaderView.h"
#include "lists/ui/MarkerDialog.h"

#include <QAbstractItemModel>
#include <QButtonGroup>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRadioButton>
#include <QShortcut>
#include <QTableView>
#include <QTableWidget>

#include <cmath>

namespace lists::ui {

namespace {

const QString kSetBrwFormatWindowId = QStringLiteral("SetBrwFormat");

enum ColumnsListColumn
{
    kNumberColumn,
    kGroupColumn,
    kNameColumn,
    kWidthColumn,
};

QColor colourOfPaletteIndex(int index)
{
    const std::optional<quint32> value = paletteColour(index);
    if (!value)
        return {};
    const Rgb rgb = rgbOfColour(*value);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

void outOfRangeMessage(int low, int high)
{
    framework::informationMessage(framework::messagePresenter(),
                                  QStringLiteral("Допустимое значение: от %1 до %2 !").arg(low).arg(high));
}

} // namespace

SetBrwFormatDialog::SetBrwFormatDialog(ListFormat& format, const QString& windowTitle, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<::Ui::SetBrwFormatDialog>())
    , m_format(format)
{
    m_ui->setupUi(this);
    setWindowTitle(QStringLiteral("Изменить настройки списка в окне «") + windowTitle + QStringLiteral("»"));
    for (QPushButton* button : findChildren<QPushButton*>())
        button->setAutoDefault(false);

    m_originalLayout = layoutText(header());
    m_originalAppearance = m_format.appearance();
    m_designedWidths = layoutWidths(header(), m_format.designedLayout());

    // The first tab: the columns.
    m_ui->VIEW->addItems({QStringLiteral(" Все"), QStringLiteral(" Рабочие"), QStringLiteral(" Скрытые"),
                          QStringLiteral(" Уменьшенные"), QStringLiteral(" Увеличенные")});
    QTableWidget& columns = *m_ui->COLUMNS;
    columns.setColumnCount(4);
    columns.setHorizontalHeaderLabels(
        {QStringLiteral("№"), QStringLiteral("Группа"), QStringLiteral("Колонка"), QStringLiteral("Ширина")});
    columns.setSelectionBehavior(QAbstractItemView::SelectRows);
    columns.setSelectionMode(QAbstractItemView::SingleSelection);
    columns.setEditTriggers(QAbstractItemView::NoEditTriggers);
    columns.verticalHeader()->hide();
    columns.horizontalHeader()->setStretchLastSection(true);
    columns.installEventFilter(this);
    m_ui->BHCOLOR->setEnabled(paintsHeaderTextColours(header()));
    // A list whose header cannot keep columns in place offers no fixing.
    m_ui->BFIX->setEnabled(m_format.keepsFixedColumns());
    m_ui->BFIX->setCheckable(true);

    connect(m_ui->MASK, &QLineEdit::textChanged, this, &SetBrwFormatDialog::showColumns);
    connect(m_ui->VIEW, &QComboBox::currentIndexChanged, this, &SetBrwFormatDialog::showColumns);
    connect(&columns, &QTableWidget::currentCellChanged, this, &SetBrwFormatDialog::showCurrentWidth);
    connect(m_ui->BNARROW, &QPushButton::clicked, this, &SetBrwFormatDialog::narrow);
    connect(m_ui->BWIDEN, &QPushButton::clicked, this, &SetBrwFormatDialog::widen);
    connect(m_ui->BHIDE, &QPushButton::clicked, this, &SetBrwFormatDialog::toggleHidden);
    connect(m_ui->BLEFT, &QPushButton::clicked, this, [this] { move(-1, false); });
    connect(m_ui->BRIGHT, &QPushButton::clicked, this, [this] { move(1, false); });
    connect(m_ui->BGROUPLEFT, &QPushButton::clicked, this, [this] { move(-1, true); });
    connect(m_ui->BGROUPRIGHT, &QPushButton::clicked, this, [this] { move(1, true); });
    connect(m_ui->BFIX, &QPushButton::clicked, this, &SetBrwFormatDialog::toggleFixed);
    connect(m_ui->BHCOLOR, &QPushButton::clicked, this, &SetBrwFormatDialog::chooseHeaderColour);
    connect(m_ui->BDEFAULT, &QPushButton::clicked, this, &SetBrwFormatDialog::restoreDesign);
    connect(m_ui->BZOOMOUT, &QPushButton::clicked, this, [this] { zoom(-1); });
    connect(m_ui->BZOOMIN, &QPushButton::clicked, this, [this] { zoom(1); });
    connect(m_ui->WIDTH, &QLineEdit::editingFinished, this, &SetBrwFormatDialog::takeTypedWidth);
    connect(m_ui->BWIDTHCALC, &QToolButton::clicked, this, &SetBrwFormatDialog::pickWidthFromCalculator);

    // The second tab: the appearance.
    m_ui->HLINE->setRange(kZoomMinimum, kZoomMaximum);
    m_ui->FONTSIZE->setRange(kZoomMinimum, kZoomMaximum);
    m_ui->GRIDCOLOR->setRange(0, kPaletteSize - 1);
    m_ui->BARCOLOR->setRange(0, kPaletteSize - 1);
    m_ui->WHEEL->setRange(1, 255);
    auto* fonts = new QButtonGroup(this);
    fonts->setObjectName(QStringLiteral("FONTGROUP"));
    QRadioButton* const fontButtons[] = {m_ui->FONT1, m_ui->FONT2, m_ui->FONT3, m_ui->FONT4, m_ui->FONT5};
    for (int font = 1; font <= 5; ++font)
        fonts->addButton(fontButtons[font - 1], font);
    connect(m_ui->SETUP, &QCheckBox::toggled, this, &SetBrwFormatDialog::takeAppearance);
    for (QSpinBox* field : {m_ui->HLINE, m_ui->FONTSIZE, m_ui->GRIDCOLOR, m_ui->BARCOLOR, m_ui->WHEEL})
        connect(field, &QSpinBox::valueChanged, this, &SetBrwFormatDialog::takeAppearance);
    connect(fonts, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            takeAppearance();
    });
    const std::pair<QToolButton*, QSpinBox*> calculators[] = {{m_ui->HLINECALC, m_ui->HLINE},
                                                              {m_ui->FONTSIZECALC, m_ui->FONTSIZE},
                                                              {m_ui->GRIDCOLORCALC, m_ui->GRIDCOLOR},
                                                              {m_ui->BARCOLORCALC, m_ui->BARCOLOR},
                                                              {m_ui->WHEELCALC, m_ui->WHEEL}};
    for (const auto& [button, field] : calculators)
        connect(button, &QToolButton::clicked, this, [this, field] { pickFromCalculator(*field); });
    connect(m_ui->GRIDPICK, &QToolButton::clicked, this, [this] { pickColour(*m_ui->GRIDCOLOR); });
    connect(m_ui->BARPICK, &QToolButton::clicked, this, [this] { pickColour(*m_ui->BARCOLOR); });

    // Keys of the whole window.
    const auto key = [this](const QKeySequence& sequence, auto slot) {
        auto* shortcut = new QShortcut(sequence, this);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_Return), [this] { accept(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Enter), [this] { accept(); });
    key(QKeySequence(Qt::Key_F5), [this] { restoreDesign(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Minus), [this] { zoom(-1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Plus), [this] { zoom(1); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { zoom(1); });
    connect(m_ui->BOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->BCANCEL, &QPushButton::clicked, this, &QDialog::reject);

    loadColumns();
    showColumns();
    showAppearance(m_originalAppearance);
    showDescription();

    useUiFontSize(*this);
    adjustSize();
    framework::ui::restoreWindowPlacement(*this, kSetBrwFormatWindowId);
    columns.setFocus();
}

SetBrwFormatDialog::~SetBrwFormatDialog() = default;

QHeaderView& SetBrwFormatDialog::header() const
{
    return *m_format.tableView()->horizontalHeader();
}

void SetBrwFormatDialog::loadColumns()
{
    const QHeaderView& h = header();
    const QAbstractItemModel* model = h.model();
    const int fixed = fixedColumnCount(h);
    std::vector<ListColumn> rows;
    for (int visual = 0; visual < h.count(); ++visual) {
        ListColumn c;
        c.logical = h.logicalIndex(visual);
        if (model) {
            c.group = model->headerData(c.logical, Qt::Horizontal, Qt::UserRole).toString();
            c.name = model->headerData(c.logical, Qt::Horizontal, Qt::DisplayRole).toString();
        }
        c.width = h.isSectionHidden(c.logical) ? 0 : h.sectionSize(c.logical);
        const auto saved = m_savedWidths.try_emplace(c.logical, c.width).first;
        c.savedWidth = saved->second;
        c.hideWidth = m_hideWidths[c.logical];
        if (c.logical < static_cast<int>(m_designedWidths.size()))
            c.designedWidth = m_designedWidths[static_cast<std::size_t>(c.logical)];
        c.headerColour = headerTextColour(h, c.logical);
        c.fixed = visual < fixed;
        rows.push_back(c);
    }
    m_editor = ListColumnEditor(std::move(rows));
}

void SetBrwFormatDialog::applyColumns()
{
    QHeaderView& h = header();
    const std::vector<ListColumn>& columns = m_editor.columns();
    for (int position = 0; position < static_cast<int>(columns.size()); ++position) {
        const ListColumn& c = columns[static_cast<std::size_t>(position)];
        m_hideWidths[c.logical] = c.hideWidth;
        if (const int from = h.visualIndex(c.logical); from != position)
            h.moveSection(from, position);
        if (c.width <= 0) {
            h.setSectionHidden(c.logical, true);
        } else {
            h.setSectionHidden(c.logical, false);
            h.resizeSection(c.logical, c.width);
        }
        if (headerTextColour(h, c.logical) != c.headerColour)
            setHeaderTextColour(h, c.logical, c.headerColour);
    }
    setFixedColumnCount(h, m_editor.fixedCount());
    m_format.columnsChanged();
}

int SetBrwFormatDialog::currentPosition() const
{
    const QTableWidgetItem* item = m_ui->COLUMNS->item(m_ui->COLUMNS->currentRow(), kNumberColumn);
    return item ? item->data(Qt::UserRole).toInt() : -1;
}

void SetBrwFormatDialog::setCurrentPosition(int position)
{
    QTableWidget& columns = *m_ui->COLUMNS;
    for (int row = 0; row < columns.rowCount(); ++row) {
        if (columns.item(row, kNumberColumn)->data(Qt::UserRole).toInt() == position) {
            columns.setCurrentCell(row, kNameColumn);
            return;
        }
    }
}

void SetBrwFormatDialog::showColumns()
{
    const int current = currentPosition();
    QTableWidget& columns = *m_ui->COLUMNS;
    const QSignalBlocker block(columns);
    const auto view = static_cast<ColumnView>(m_ui->VIEW->currentIndex() + 1);
    const std::vector<int> listed = m_editor.listedPositions(m_ui->MASK->text(), view);
    columns.setRowCount(static_cast<int>(listed.size()));
    int currentRow = listed.empty() ? -1 : 0;
    for (int row = 0; row < static_cast<int>(listed.size()); ++row) {
        const int position = listed[static_cast<std::size_t>(row)];
        const ListColumn& c = m_editor.columns()[static_cast<std::size_t>(position)];
        const auto cell = [&columns, row](int column, const QString& text) {
            auto* item = new QTableWidgetItem(text);
            columns.setItem(row, column, item);
            return item;
        };
        QTableWidgetItem* number = cell(kNumberColumn, QString::number(position + 1));
        number->setData(Qt::UserRole, position);
        if (c.fixed) {
            QFont bold = columns.font();
            bold.setBold(true);
            number->setFont(bold);
            number->setToolTip(QStringLiteral("Закреплена"));
        }
        QTableWidgetItem* group = cell(kGroupColumn, c.group);
        if (!c.group.isEmpty())
            group->setToolTip(QStringLiteral("Ширина группы: ") +
                              QString::number(m_editor.groupWidth(position)));
        QTableWidgetItem* name = cell(kNameColumn, c.name);
        if (const QColor colour = colourOfPaletteIndex(c.headerColour); colour.isValid())
            name->setForeground(colour);
        cell(kWidthColumn, QString::number(c.width))->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (position == current)
            currentRow = row;
    }
    if (currentRow >= 0)
        columns.setCurrentCell(currentRow, kNameColumn);
    showCurrentWidth();
}

void SetBrwFormatDialog::showCurrentWidth()
{
    const int position = currentPosition();
    m_ui->WIDTH->setText(position < 0
                             ? QString()
                             : QString::number(m_editor.columns()[static_cast<std::size_t>(position)].width));
    if (position >= 0)
        m_ui->BFIX->setChecked(m_editor.columns()[static_cast<std::size_t>(position)].fixed);
}

void SetBrwFormatDialog::columnCommand(const std::function<int(ListColumnEditor&, int)>& command)
{
    const int position = currentPosition();
    if (position < 0)
        return;
    const int after = command(m_editor, position);
    if (after < 0)
        return;
    applyColumns();
    showColumns();
    setCurrentPosition(after);
}

void SetBrwFormatDialog::narrow()
{
    columnCommand([](ListColumnEditor& e, int p) { return e.narrow(p) ? p : -1; });
}

void SetBrwFormatDialog::widen()
{
    columnCommand([](ListColumnEditor& e, int p) { return e.widen(p) ? p : -1; });
}

void SetBrwFormatDialog::toggleHidden()
{
    columnCommand([](ListColumnEditor& e, int p) { return e.toggleHidden(p) ? p : -1; });
}

void SetBrwFormatDialog::move(int direction, bool wholeGroup)
{
    columnCommand([direction, wholeGroup](ListColumnEditor& e, int p) {
        return wholeGroup ? e.moveGroup(p, direction) : e.moveColumn(p, direction);
    });
}

void SetBrwFormatDialog::toggleFixed()
{
    if (!m_format.keepsFixedColumns())
        return;
    columnCommand([](ListColumnEditor& e, int p) { return e.toggleFixed(p) ? p : -1; });
}

void SetBrwFormatDialog::chooseHeaderColour()
{
    if (currentPosition() < 0 || !paintsHeaderTextColours(header()))
        return;
    const std::optional<int> chosen = chooseMarker(this);
    if (!chosen)
        return;
    const int index = *chosen;
    columnCommand([index](ListColumnEditor& e, int p) { return e.setHeaderColour(p, index) ? p : -1; });
}

void SetBrwFormatDialog::takeTypedWidth()
{
    const int position = currentPosition();
    if (position < 0)
        return;
    const int now = m_editor.columns()[static_cast<std::size_t>(position)].width;
    bool number = false;
    const int typed = m_ui->WIDTH->text().trimmed().toInt(&number);
    if (number && typed == now)
        return;
    if (!number || typed < 0 || typed > kColumnWidthMaximum) {
        showCurrentWidth();
        outOfRangeMessage(0, kColumnWidthMaximum);
        return;
    }
    columnCommand([typed](ListColumnEditor& e, int p) { return e.setWidth(p, typed) ? p : -1; });
}

void SetBrwFormatDialog::pickWidthFromCalculator()
{
    const int position = currentPosition();
    if (position < 0)
        return;
    bool accepted = false;
    const double value =
        calcBig(this, m_editor.columns()[static_cast<std::size_t>(position)].width, 1.0, &accepted);
    if (!accepted)
        return;
    const double whole = std::round(value);
    if (whole < 0 || whole > kColumnWidthMaximum) {
        outOfRangeMessage(0, kColumnWidthMaximum);
        return;
    }
    const int width = static_cast<int>(whole);
    columnCommand([width](ListColumnEditor& e, int p) { return e.setWidth(p, width) ? p : -1; });
}

void SetBrwFormatDialog::restoreDesign()
{
    const int position = currentPosition();
    const int logical = position < 0 ? -1 : m_editor.columns()[static_cast<std::size_t>(position)].logical;
    if (!applyLayoutText(header(), m_format.designedLayout()))
        return;
    m_format.columnsChanged();
    m_hideWidths.clear();
    loadColumns();
    showColumns();
    if (logical >= 0)
        setCurrentPosition(header().visualIndex(logical));
}

void SetBrwFormatDialog::zoom(int step)
{
    if (!m_format.zoom(step))
        return;
    const int position = currentPosition();
    loadColumns();
    showColumns();
    setCurrentPosition(position);
    showAppearance(m_format.appearance());
}

void SetBrwFormatDialog::showAppearance(const ListAppearance& appearance)
{
    m_showingAppearance = true;
    m_ui->SETUP->setChecked(appearance.setup != 0);
    m_ui->HLINE->setValue(appearance.rowHeight);
    m_ui->FONTSIZE->setValue(appearance.fontSize);
    m_ui->GRIDCOLOR->setValue(appearance.gridColour);
    m_ui->BARCOLOR->setValue(appearance.barColour);
    m_ui->WHEEL->setValue(appearance.wheelStep);
    if (QAbstractButton* font =
            findChild<QButtonGroup*>(QStringLiteral("FONTGROUP"))->button(appearance.font))
        font->setChecked(true);
    m_ui->APPEARANCE->setEnabled(appearance.setup != 0);
    m_ui->FONTS->setEnabled(appearance.setup != 0);
    showColourBoxes();
    m_showingAppearance = false;
}

void SetBrwFormatDialog::takeAppearance()
{
    showColourBoxes();
    if (m_showingAppearance)
        return;
    ListAppearance a;
    a.setup = m_ui->SETUP->isChecked() ? 1 : 0;
    a.rowHeight = m_ui->HLINE->value();
    a.fontSize = m_ui->FONTSIZE->value();
    a.gridColour = m_ui->GRIDCOLOR->value();
    a.barColour = m_ui->BARCOLOR->value();
    a.wheelStep = m_ui->WHEEL->value();
    a.font = findChild<QButtonGroup*>(QStringLiteral("FONTGROUP"))->checkedId();
    m_format.setAppearance(a);
    // Switched off, the fields show the defaults the list now has.
    showAppearance(m_format.appearance());
}

void SetBrwFormatDialog::showColourBoxes()
{
    const std::pair<QLabel*, QSpinBox*> boxes[] = {{m_ui->GRIDBOX, m_ui->GRIDCOLOR},
                                                   {m_ui->BARBOX, m_ui->BARCOLOR}};
    for (const auto& [box, field] : boxes) {
        const QColor colour = colourOfPaletteIndex(field->value());
        box->setStyleSheet(colour.isValid() ? QStringLiteral("background-color: %1;").arg(colour.name())
                                            : QString());
    }
}

void SetBrwFormatDialog::pickFromCalculator(QSpinBox& field)
{
    bool accepted = false;
    const double value = calcBig(this, field.value(), 1.0, &accepted);
    if (!accepted)
        return;
    const double whole = std::round(value);
    if (whole < field.minimum() || whole > field.maximum()) {
        outOfRangeMessage(field.minimum(), field.maximum());
        return;
    }
    field.setValue(static_cast<int>(whole));
}

void SetBrwFormatDialog::pickColour(QSpinBox& field)
{
    if (const std::optional<int> chosen = chooseMarker(this))
        field.setValue(*chosen);
}

void SetBrwFormatDialog::showDescription()
{
    const QString file = QDir::toNativeSeparators(m_format.formatFilePath());
    m_ui->DESCRIPTION->setText(
        QStringLiteral("Настройки форматов списков - это рабочие данные программы, они не хранятся в базе "
                       "данных.\n\n"
                       "Когда в новой версии программы список устроен иначе, его формат сбрасывается на "
                       "формат по умолчанию.\n\n"
                       "Форматы всех списков хранятся в файле:\n") +
        file +
        QStringLiteral("\n\nФайл можно перенести в другую папку: укажите её в параметре запуска программы "
                       "FPATH=<папка>.\n\n"
                       "Чтобы сбросить форматы всех списков, закройте программу и удалите этот файл."));
}

bool SetBrwFormatDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->COLUMNS && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (mods == Qt::NoModifier || mods == Qt::ShiftModifier) {
            switch (key->key()) {
            case Qt::Key_Minus:
                narrow();
                return true;
            case Qt::Key_Plus:
            case Qt::Key_Equal:
                widen();
                return true;
            case Qt::Key_Delete:
                toggleHidden();
                return true;
            case Qt::Key_Left:
                move(-1, mods == Qt::ShiftModifier);
                return true;
            case Qt::Key_Right:
                move(1, mods == Qt::ShiftModifier);
                return true;
            default:
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void SetBrwFormatDialog::accept()
{
    // The list has the edits already; its format keeps them from now on.
    QDialog::accept();
}

void SetBrwFormatDialog::reject()
{
    // The text was made from this header when the window opened: it fits.
    (void)applyLayoutText(header(), m_originalLayout);
    m_format.setAppearance(m_originalAppearance);
    m_format.columnsChanged();
    QDialog::reject();
}

void SetBrwFormatDialog::done(int result)
{
    framework::ui::saveWindowPlacement(*this, kSetBrwFormatWindowId);
    QDialog::done(result);
}

} // namespace lists::ui
