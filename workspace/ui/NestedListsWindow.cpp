// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/NestedListsWindow.h"

#include "ui_NestedListsWindow.h"

#include "framework/ErrorManager.h"
#include "framework/LastError.h"
#include "framework/ProcessSettings.h"
#include "framework/ui/WindowPlacementUi.h"
#include "lists/ui/DialogFont.h"
#include "lists/ui/ListFormat.h"
#include "lists/ui/ListHeaderView.h"
#include "platform/CodePage.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/tables/Vsd.h"
#include "workspace/InsideRows.h"
#include "workspace/SearchMask.h"
#include "workspace/ui/GroupedHeaderView.h"

#include <QAbstractTableModel>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QShortcut>
#include <QTableView>

#include <algorithm>

namespace workspace::ui {

namespace {

const QString kNestedListsWindowId = QStringLiteral("Browse_Inside");

// The widest a column starts, in characters: the long texts are read in full
// by widening the column or from the tip.
constexpr int kWidestNestedColumn = 45;

} // namespace

// The rows of one kind as the list shows them.
class InsideListModel final : public QAbstractTableModel
{
public:
    InsideListModel(int kind, QObject* parent)
        : QAbstractTableModel(parent)
        , m_kind(kind)
        , m_columns(insideColumns(kind))
    {}

    int kind() const { return m_kind; }
    int sortColumn() const { return m_sortColumn; }
    bool descending() const { return m_descending; }

    void setRows(std::vector<InsideRow> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        sortInsideRows(m_rows, m_sortColumn, m_descending);
        endResetModel();
    }

    void sortBy(int column, bool descending)
    {
        m_sortColumn = column;
        m_descending = descending;
        beginResetModel();
        sortInsideRows(m_rows, m_sortColumn, m_descending);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
            return {};
        const InsideRow& row = m_rows[static_cast<std::size_t>(index.row())];
        const auto column = static_cast<std::size_t>(index.column());
        if (column >= row.cells.size())
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::ToolTipRole:
            return row.cells[column].text;
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::Alignment(
                (m_columns[column].numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
            return QAbstractTableModel::headerData(section, orientation, role);
        const InsideColumn& c = m_columns[static_cast<std::size_t>(section)];
        if (role == Qt::DisplayRole)
            return QString::fromUtf16(c.header);
        if (role == Qt::UserRole)
            return QString::fromUtf16(c.group);
        return {};
    }

private:
    int m_kind;
    std::span<const InsideColumn> m_columns;
    std::vector<InsideRow> m_rows;
    int m_sortColumn = -1;
    bool m_descending = false;
};

NestedListsWindow::NestedListsWindow(const QString& dataFolder, std::string vsdUuid, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_ui(std::make_unique<::Ui::NestedListsWindow>())
    , m_session(std::make_unique<store::Session>(dataFolder, framework::process::listFormatFile(),
                                                 store::Access::ReadOnly))
    , m_uuid(std::move(vsdUuid))
{
    m_ui->setupUi(this);
    lists::ui::useUiFontSize(*this);
    setUpLists();

    for (int kind = 1; kind <= kInsideKindCount; ++kind)
        m_ui->VID->addItem(insideKindText(kind), kind);
    connect(m_ui->VID, &QComboBox::activated, this,
            [this](int index) { chooseKind(m_ui->VID->itemData(index).toInt()); });

    m_ui->F->installEventFilter(this);
    connect(m_ui->F, &QLineEdit::returnPressed, this, [this] {
        acceptSearch();
        if (QWidget* list = m_ui->tabs->currentWidget())
            list->findChild<QTableView*>()->setFocus();
    });
    connect(m_ui->CLRFIND, &QToolButton::clicked, this, &NestedListsWindow::clearSearch);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this), &QShortcut::activated, this, [this] {
        m_ui->F->setFocus();
        m_ui->F->selectAll();
    });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this), &QShortcut::activated, this,
            &NestedListsWindow::clearSearch);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    framework::ui::restoreWindowPlacement(*this, kNestedListsWindowId);
    updateSearchLook();
}

NestedListsWindow::~NestedListsWindow() = default;

void NestedListsWindow::setUpLists()
{
    QTableView* const lists[kInsideKindCount] = {m_ui->LIST1, m_ui->LIST2, m_ui->LIST3,
                                                 m_ui->LIST4, m_ui->LIST5, m_ui->LIST6,
                                                 m_ui->LIST7, m_ui->LIST8, m_ui->LIST9};
    const int charWidth = std::max(1, fontMetrics().averageCharWidth());
    for (int kind = 1; kind <= kInsideKindCount; ++kind) {
        QTableView* list = lists[kind - 1];
        auto* model = new InsideListModel(kind, this);
        m_models[static_cast<std::size_t>(kind - 1)] = model;
        auto* header = new GroupedHeaderView(list);
        list->setHorizontalHeader(header);
        list->setModel(model);
        list->setToolTip(insideListTip(kind));
        list->verticalHeader()->hide();
        list->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
        const std::span<const InsideColumn> columns = insideColumns(kind);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const int section = static_cast<int>(i);
            // Numbers, dates and times are as wide as their digits; texts start
            // at most kWidestNestedColumn characters wide, never narrower than
            // about half their header.
            const int chars = std::min(columns[i].width, kWidestNestedColumn);
            const int width =
                columns[i].numeric
                    ? fontMetrics().horizontalAdvance(QString(chars, QLatin1Char('0')))
                    : std::max(chars,
                               static_cast<int>(QString::fromUtf16(columns[i].header).size()) / 2 + 2) *
                          charWidth;
            header->resizeSection(section, width + 16);
            if (columns[i].fixed)
                header->setSectionResizeMode(section, QHeaderView::Fixed);
        }
        // The last column keeps its width, so that the designed layout
        // does not depend on the size of the window.
        header->setStretchLastSection(false);
        connect(header, &QHeaderView::sectionClicked, this,
                [this, kind](int column) { sortBy(kind, column); });
        // Its leading fixed columns stay in place while it scrolls sideways.
        int leading = 0;
        while (leading < static_cast<int>(columns.size()) && columns[static_cast<std::size_t>(leading)].fixed)
            ++leading;
        lists::ui::setFixedColumnCount(*header, leading);
        lists::ui::attachListFormat(list, QStringLiteral("Brw_m_Inside") + QString::number(kind), *m_session);
    }
}

bool NestedListsWindow::load()
{
    store::VsdRecord vsd{};
    InsideReader reader(*m_session);
    framework::clearLastError();
    const int rc = reader.readVsd(m_uuid, vsd);
    if (rc != store::kOk) {
        if (rc != store::kRecordNotFound)
            static_cast<void>(framework::errorManager().report(framework::MessageId::RecordAccessFailed));
        return false;
    }
    m_ui->NAME->setText(insideHeaderText(vsd));
    m_ui->PRODUCT->setText(platform::fromCp1251(store::clip(store::ztextOf(vsd.PRODITEMNAME))));
    m_ui->NAME->setCursorPosition(0);
    m_ui->PRODUCT->setCursorPosition(0);
    reread();
    chooseKind(1);
    return true;
}

void NestedListsWindow::reread()
{
    InsideReader reader(*m_session);
    bool told = false; // one message for a table that cannot be read, not one per list
    for (InsideListModel* model : m_models) {
        std::vector<InsideRow> rows;
        framework::clearLastError();
        if (const int rc = reader.readRows(m_uuid, model->kind(), m_mask, rows); rc != store::kOk) {
            if (!told)
                static_cast<void>(framework::errorManager().report(framework::MessageId::RecordAccessFailed));
            told = true;
            rows.clear();
        }
        model->setRows(std::move(rows));
    }
}

void NestedListsWindow::chooseKind(int kind)
{
    if (kind < 1 || kind > kInsideKindCount)
        kind = kInsideKindCount;
    m_kind = kind;
    {
        const QSignalBlocker block(m_ui->VID);
        m_ui->VID->setCurrentIndex(kind - 1);
    }
    for (int k = 1; k <= kInsideKindCount; ++k)
        m_ui->tabs->setTabVisible(k - 1, k == kind);
    m_ui->tabs->setCurrentIndex(kind - 1);
    if (auto* list = m_ui->tabs->widget(kind - 1)->findChild<QTableView*>()) {
        list->setFocus();
        if (!list->currentIndex().isValid() && list->model()->rowCount() > 0)
            list->setCurrentIndex(list->model()->index(0, 0));
    }
}

void NestedListsWindow::sortBy(int kind, int column)
{
    InsideListModel* model = m_models[static_cast<std::size_t>(kind - 1)];
    const bool descending = model->sortColumn() == column && !model->descending();
    model->sortBy(column, descending);
    auto* list = m_ui->tabs->widget(kind - 1)->findChild<QTableView*>();
    static_cast<GroupedHeaderView*>(list->horizontalHeader())->setSortColumn(column, descending);
}

// Search.

bool NestedListsWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->F && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        if (event->type() == QEvent::FocusOut)
            acceptSearch();
        updateSearchLook();
    }
    return QWidget::eventFilter(watched, event);
}

void NestedListsWindow::acceptSearch()
{
    const QString mask = searchMask(m_ui->F->text());
    m_ui->F->setText(m_ui->F->text().trimmed());
    if (mask != m_mask) {
        m_mask = mask;
        reread();
    }
    updateSearchLook();
}

void NestedListsWindow::clearSearch()
{
    m_ui->F->clear();
    acceptSearch();
    if (auto* list = m_ui->tabs->widget(m_kind - 1)->findChild<QTableView*>())
        list->setFocus();
}

void NestedListsWindow::updateSearchLook()
{
    const bool focused = m_ui->F->hasFocus();
    m_ui->CLRFIND->setVisible(!m_mask.isEmpty());
    m_ui->F->setStyleSheet(focused ? QStringLiteral("QLineEdit { background: rgb(224,255,224); }")
                                   : QString());
}

void NestedListsWindow::closeEvent(QCloseEvent* event)
{
    framework::ui::saveWindowPlacement(*this, kNestedListsWindowId);
    QWidget::closeEvent(event);
}

NestedListsWindow* openNestedLists(QWidget* parent, const QString& dataFolder,
                                   const std::string& ownEntityGuid, const std::string& mode,
                                   const std::string& vsdUuid)
{
    static_cast<void>(ownEntityGuid); // every enterprise name is looked up locally, for any entity
    if (mode != "1")
        return nullptr;
    auto* window = new NestedListsWindow(dataFolder, vsdUuid, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!window->load()) {
        delete window;
        return nullptr;
    }
    window->show();
    return window;
}

} // namespace workspace::ui
