// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/RefsWindow.h"

#include "ui_RefsWindow.h"

#include "framework/MessageBox.h"
#include "framework/ProcessSettings.h"
#include "framework/ui/WindowPlacementUi.h"
#include "lists/ui/DialogFont.h"
#include "lists/ui/ListFormat.h"
#include "lists/ui/ListHeaderView.h"
#include "platform/Dates.h"
#include "responses/DictionaryRefresh.h"
#include "responses/WalkerAnswerReader.h"
#include "store/BuiltInDictionaries.h"
#include "store/ErrorCodes.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Refs.h"
#include "vetis/Exchange.h"
#include "vetis/ExchangeRunner.h"
#include "vetis/ui/ExchangeRunBinding.h"
#include "workspace/SearchMask.h"
#include "workspace/ui/SelectMarkDialog.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeySequence>
#include <QShortcut>
#include <QTabBar>

#include <algorithm>
#include <list>
#include <unordered_map>

namespace workspace::ui {

namespace {

const QString kRefsWindowId = QStringLiteral("Browse_Refs");

enum RefsColumn
{
    RefsColSelected,
    RefsColMark,
    RefsColName,
    RefsColStatus,
    RefsColCreated,
    RefsColEdited,
    RefsColCode,
    RefsColGuid,
    RefsColUuid,
    RefsColumnCount,
};

const char16_t* const kRefsColumnTitles[RefsColumnCount] = {
    u"Выбор", u"Отметка", u"Наименование", u"Статус", u"Добавлена", u"Изменена", u"Код", u"GUID", u"UUID",
};

QString refsDateText(std::int32_t day)
{
    const QDate date = platform::dateOfDay(day);
    return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

} // namespace

// The rows of the window and which of them are selected. The model keeps the
// row ids of its rows only and reads a record when it is shown, keeping the
// records read last; the whole list is read only where a command needs every
// record (another order, selecting all, the list handed out by rows()).
class RefsListModel final : public QAbstractTableModel
{
public:
    RefsListModel(store::Session& session, QObject* parent)
        : QAbstractTableModel(parent)
        , m_table(session, store::refsTable())
    {}

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_ids.size());
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : RefsColumnCount;
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        if (role != Qt::DisplayRole && role != Qt::DecorationRole)
            return {};
        const RefRow* found = rowAt(index.row());
        if (!found)
            return {};
        const RefRow& r = *found;
        if (role == Qt::DecorationRole)
            return index.column() == RefsColMark && r.mark >= 1 && r.mark <= 4 ? QVariant(m_icons[r.mark])
                                                                               : QVariant();
        switch (index.column()) {
        case RefsColSelected:
            return m_selected.count(r.guid) ? QStringLiteral("√") : QString();
        case RefsColName:
            return r.name.trimmed();
        case RefsColStatus:
            return r.status;
        case RefsColCreated:
            return refsDateText(r.created);
        case RefsColEdited:
            return refsDateText(r.edited);
        case RefsColCode:
            return QString::fromStdString(r.code);
        case RefsColGuid:
            return QString::fromStdString(r.guid);
        case RefsColUuid:
            return QString::fromStdString(r.uuid);
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
            section < RefsColumnCount)
            return QString::fromUtf16(kRefsColumnTitles[section]);
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    void sort(int column, Qt::SortOrder order) override
    {
        m_sortColumn = column;
        m_sortOrder = order;
        if (column < 0) { // back to the key's order
            list(m_kind, m_parent, m_mask, m_mark);
            return;
        }
        beginResetModel();
        sortRows();
        endResetModel();
    }

    // Lists the records of `kind` under `parent` that pass the mask and the
    // mark; the selection keeps the records still listed.
    void list(int kind, const std::string& parent, const QString& mask, int mark)
    {
        beginResetModel();
        forget();
        m_ids.clear();
        m_kind = kind;
        m_parent = parent;
        m_mask = mask;
        m_mark = mark;
        if (m_table.isOpen() || m_table.open() == store::kOk)
            static_cast<void>(listRefIds(m_table, kind, parent, mask, mark, m_ids));
        if (!m_selected.empty()) {
            std::set<std::string> kept;
            for (const std::string& guid : guids())
                if (m_selected.count(guid))
                    kept.insert(guid);
            m_selected = std::move(kept);
        }
        sortRows();
        endResetModel();
    }

    // Every listed record, in the list's order (read on the first call
    // after a change of the list).
    const std::vector<RefRow>& rows() const
    {
        if (!m_allValid) {
            m_all.clear();
            m_all.reserve(m_ids.size());
            for (std::int64_t id : m_ids)
                if (const RefRow* r = rowOfId(id))
                    m_all.push_back(*r);
            m_allValid = true;
        }
        return m_all;
    }
    // The GUIDs of the rows, in the list's order, read from the key without
    // reading the records.
    const std::vector<std::string>& guids() const
    {
        if (m_guidsValid)
            return m_guids;
        if (!m_table.isOpen() || !refGuidsOf(const_cast<store::TypedTable<store::RefsRecord>&>(m_table),
                                             m_kind, m_parent, m_mark, m_ids, m_guids)) {
            m_guids.clear();
            for (const RefRow& r : rows())
                m_guids.push_back(r.guid);
        }
        m_guidsValid = true;
        return m_guids;
    }
    std::int64_t idAt(int row) const { return m_ids[static_cast<std::size_t>(row)]; }
    int rowOfIdInList(std::int64_t id) const
    {
        const auto it = std::find(m_ids.begin(), m_ids.end(), id);
        return it == m_ids.end() ? -1 : static_cast<int>(it - m_ids.begin());
    }
    // The record of a row; null when it could not be read.
    const RefRow* rowAt(int row) const
    {
        if (row < 0 || row >= rowCount())
            return nullptr;
        return rowOfId(idAt(row));
    }

    bool isSelected(int row) const
    {
        const RefRow* r = rowAt(row);
        return r && m_selected.count(r->guid) > 0;
    }
    void setSelected(int row, bool on)
    {
        const RefRow* r = rowAt(row);
        if (!r)
            return;
        if (on)
            m_selected.insert(r->guid);
        else
            m_selected.erase(r->guid);
        Q_EMIT dataChanged(index(row, RefsColSelected), index(row, RefsColSelected));
    }
    void setAllSelected(bool on)
    {
        if (on)
            for (const std::string& guid : guids())
                m_selected.insert(guid);
        else
            m_selected.clear();
        refreshSelectionColumn();
    }
    void invertSelection()
    {
        std::set<std::string> inverted;
        for (const std::string& guid : guids())
            if (!m_selected.count(guid))
                inverted.insert(guid);
        m_selected = std::move(inverted);
        refreshSelectionColumn();
    }
    std::size_t selectedCount() const { return m_selected.size(); }
    // The selected GUIDs in the order the list shows them.
    std::vector<std::string> selectedGuids() const
    {
        std::vector<std::string> out;
        if (m_selected.empty())
            return out;
        for (const std::string& guid : guids())
            if (m_selected.count(guid))
                out.push_back(guid);
        return out;
    }
    int firstSelectedRow() const
    {
        if (m_selected.empty())
            return -1;
        const std::vector<std::string>& all = guids();
        for (std::size_t i = 0; i < all.size(); ++i)
            if (m_selected.count(all[i]))
                return static_cast<int>(i);
        return -1;
    }

private:
    static constexpr std::size_t kCachedRows = 2000;

    const RefRow* rowOfId(std::int64_t id) const
    {
        if (const auto it = m_cache.find(id); it != m_cache.end())
            return &it->second;
        std::optional<RefRow> read =
            readRefRow(const_cast<store::TypedTable<store::RefsRecord>&>(m_table), id);
        if (!read)
            return nullptr;
        if (m_cache.size() >= kCachedRows) {
            m_cache.erase(m_cacheOrder.front());
            m_cacheOrder.pop_front();
        }
        m_cacheOrder.push_back(id);
        return &(m_cache[id] = std::move(*read));
    }

    void forget()
    {
        m_cache.clear();
        m_cacheOrder.clear();
        m_all.clear();
        m_allValid = false;
        m_guids.clear();
        m_guidsValid = false;
    }

    void refreshSelectionColumn()
    {
        if (!m_ids.empty())
            Q_EMIT dataChanged(index(0, RefsColSelected), index(rowCount() - 1, RefsColSelected));
    }

    // The key order (name, then GUID) unless the user sorted by a column.
    void sortRows()
    {
        if (m_sortColumn < 0 || !m_table.isOpen())
            return;
        // The field each column sorts by; the selection column sorts by name.
        using F = RefsSortField;
        constexpr F kSortFieldOfColumn[RefsColumnCount] = {F::Name,   F::Mark, F::Name, F::Status, F::Created,
                                                           F::Edited, F::Code, F::Guid, F::Uuid};
        const F field = m_sortColumn < RefsColumnCount ? kSortFieldOfColumn[m_sortColumn] : F::Name;
        // A list the store cannot sort keeps the key's order.
        static_cast<void>(
            sortRefIds(m_table, m_kind, m_parent, m_mark, field, m_sortOrder == Qt::DescendingOrder, m_ids));
        m_all.clear();
        m_allValid = false;
        m_guids.clear();
        m_guidsValid = false;
    }

    store::TypedTable<store::RefsRecord> m_table;
    std::vector<std::int64_t> m_ids;
    mutable std::unordered_map<std::int64_t, RefRow> m_cache;
    mutable std::list<std::int64_t> m_cacheOrder;
    mutable std::vector<RefRow> m_all;
    mutable bool m_allValid = false;
    mutable std::vector<std::string> m_guids;
    mutable bool m_guidsValid = false;
    int m_kind = 0;
    std::string m_parent;
    QString m_mask;
    int m_mark = kAnyMark;
    std::set<std::string> m_selected;
    QIcon m_icons[5];
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

RefsWindow::RefsWindow(Options options, QWidget* parent)
    : QDialog(parent)
    , m_options(std::move(options))
    , m_ui(std::make_unique<::Ui::RefsWindow>())
    , m_session(std::make_unique<store::Session>(m_options.dataFolder, framework::process::listFormatFile()))
    , m_runner(std::make_unique<vetis::ExchangeRunner>(m_options.dataFolder))
{
    m_ui->setupUi(this);
    setObjectName(kRefsWindowId);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    m_model = new RefsListModel(*m_session, this);
    buildControls();
    updateTitle();
    resize(900, 600);
    lists::ui::useUiFontSize(*this);
    m_listFormat = lists::ui::attachListFormat(m_ui->LIST, QStringLiteral("Brw_m_Refs"), *m_session);
    framework::ui::restoreWindowPlacement(*this, kRefsWindowId);
    reload();
}

RefsWindow::~RefsWindow()
{
    m_runner.reset();
}

void RefsWindow::buildControls()
{
    // A header that can show the format's header colours and fixed columns.
    m_ui->LIST->setHorizontalHeader(new lists::ui::ListHeaderView(Qt::Horizontal, m_ui->LIST));
    m_ui->LIST->horizontalHeader()->setSectionsClickable(true);
    m_ui->LIST->horizontalHeader()->setSectionsMovable(true);
    m_ui->LIST->setModel(m_model);
    m_ui->LIST->setSortingEnabled(true);
    m_ui->LIST->horizontalHeader()->setSortIndicatorShown(true);
    m_ui->LIST->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_ui->LIST->horizontalHeader()->setStretchLastSection(false);
    const int widths[RefsColumnCount] = {50, 70, 360, 60, 90, 90, 60, 280, 280};
    for (int column = 0; column < RefsColumnCount; ++column)
        m_ui->LIST->setColumnWidth(column, widths[column]);
    m_ui->TABS->setMaximumHeight(m_ui->TABS->tabBar()->sizeHint().height() +
                                 m_ui->MARKFILTER->sizeHint().height() + 20);
    m_ui->LIST->verticalHeader()->hide();

    // Only the independent kinds are offered; a dependent dictionary is
    // reached by following a record.
    const std::vector<RefsKindChoice> kinds = independentRefsKinds();
    const bool independent = std::any_of(kinds.begin(), kinds.end(),
                                         [&](const RefsKindChoice& c) { return c.kind == m_options.kind; });
    for (const RefsKindChoice& c : kinds)
        m_ui->KINDS->addItem(c.text, c.kind);
    m_ui->KINDS->setCurrentIndex(m_ui->KINDS->findData(m_options.kind));
    m_ui->KINDS->setVisible(independent && m_options.parent.empty() && !m_options.picker);
    connect(m_ui->KINDS, &QComboBox::activated, this,
            [this](int index) { chooseKind(m_ui->KINDS->itemData(index).toInt()); });

    m_ui->MARKFILTER->addItem(QStringLiteral("НЕТ"), 0);
    for (int mark = 1; mark <= 4; ++mark)
        m_ui->MARKFILTER->addItem(QStringLiteral("Отметка ") + QString::number(mark), mark);
    m_ui->MARKFILTER->addItem(QStringLiteral("ВСЕ"), kAnyMark);
    connect(m_ui->MARKFILTER, &QComboBox::currentIndexChanged, this, [this] { reload(); });
    connect(m_ui->TABS, &QTabWidget::currentChanged, this, [this] { reload(); });
    connect(m_ui->SEARCH, &QLineEdit::textChanged, this, [this] { reload(); });

    m_ui->HINT->setText(QString::fromUtf16(kRefsPickerHint));
    m_ui->HINT->setVisible(m_options.picker);
    m_ui->BSELECT->setVisible(m_options.picker);
    m_ui->BSELECT->setDefault(m_options.picker);

    connect(m_ui->BSELECT, &QPushButton::clicked, this, &RefsWindow::choose);
    connect(m_ui->BMARK, &QPushButton::clicked, this, &RefsWindow::mark);
    connect(m_ui->BDELETE, &QPushButton::clicked, this, &RefsWindow::remove);
    connect(m_ui->BCLEAR, &QPushButton::clicked, this, &RefsWindow::clearAll);
    connect(m_ui->BLOAD, &QPushButton::clicked, this, &RefsWindow::download);
    connect(m_ui->BFOLLOW, &QPushButton::clicked, this, [this] { follow(1); });
    connect(m_ui->BFOLLOW2, &QPushButton::clicked, this, [this] { follow(2); });
    connect(m_ui->BSELALL, &QPushButton::clicked, this, &RefsWindow::selectAll);
    connect(m_ui->BSELNONE, &QPushButton::clicked, this, &RefsWindow::selectNone);
    connect(m_ui->BINVERT, &QPushButton::clicked, this, &RefsWindow::invertSelection);
    connect(m_ui->BCLOSE, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->LIST, &QAbstractItemView::activated, this, [this] {
        if (m_options.picker)
            choose();
    });

    const auto shortcut = [this](const QKeySequence& keys, QWidget* where, auto slot) {
        auto* s = new QShortcut(keys, where);
        s->setContext(where == this ? Qt::WindowShortcut : Qt::WidgetShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::Key_Space), m_ui->LIST, [this] { toggleCurrent(); });
    shortcut(QKeySequence(Qt::Key_F8), this, [this] { selectRange(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this, [this] { mark(); });
    shortcut(QKeySequence(Qt::Key_Delete), m_ui->LIST, [this] { remove(); });
    shortcut(QKeySequence(Qt::Key_F12), this, [this] { download(); });

    new vetis::ui::ExchangeRunBinding(*m_runner, m_ui->indicator, m_ui->cancelRun,
                                      {m_ui->BLOAD, m_ui->BMARK, m_ui->BDELETE, m_ui->BCLEAR, m_ui->KINDS},
                                      this);
    connect(m_runner.get(), &vetis::ExchangeRunner::finished, this, &RefsWindow::downloadFinished);
}

void RefsWindow::updateTitle()
{
    setWindowTitle(m_options.picker ? QString::fromUtf16(kRefsPickerTitle) : refsKindTitle(m_options.kind));
    m_ui->BFOLLOW->setVisible(!m_options.picker && followedKind(m_options.kind, 1).has_value());
    m_ui->BFOLLOW2->setVisible(!m_options.picker && followedKind(m_options.kind, 2).has_value());
}

const std::vector<RefRow>& RefsWindow::rows() const
{
    return m_model->rows();
}

std::vector<std::string> RefsWindow::selectedGuids() const
{
    return m_model->selectedGuids();
}

std::optional<RefRow> RefsWindow::current() const
{
    const RefRow* row = m_model->rowAt(m_ui->LIST->currentIndex().row());
    if (!row)
        return std::nullopt;
    return *row;
}

void RefsWindow::setCurrentRow(int row)
{
    m_ui->LIST->setCurrentIndex(m_model->index(row, RefsColName));
}

bool RefsWindow::loading() const
{
    return m_runner->isRunning();
}

void RefsWindow::reload()
{
    const int before = m_ui->LIST->currentIndex().row();
    const std::int64_t beforeId = before >= 0 && before < m_model->rowCount() ? m_model->idAt(before) : -1;
    const int mark = m_ui->TABS->currentIndex() == 1 ? m_ui->MARKFILTER->currentData().toInt() : kAnyMark;
    m_model->list(m_options.kind, m_options.parent, searchMask(m_ui->SEARCH->text()), mark);
    int row = beforeId >= 0 ? m_model->rowOfIdInList(beforeId) : 0;
    if (row < 0)
        row = 0;
    if (m_model->rowCount() > 0)
        setCurrentRow(row);
    updateStatus();
}

void RefsWindow::updateStatus()
{
    m_ui->STATUS->setText(QStringLiteral("Выбрано: ") + QString::number(m_model->selectedCount()));
}

void RefsWindow::chooseKind(int kind)
{
    if (loading() || kind == m_options.kind)
        return;
    m_options.kind = kind;
    m_options.parent.clear();
    const int index = m_ui->KINDS->findData(kind);
    if (index >= 0)
        m_ui->KINDS->setCurrentIndex(index);
    m_model->setAllSelected(false);
    updateTitle();
    reload();
}

bool RefsWindow::refuseEmpty()
{
    if (m_model->rowCount() > 0)
        return false;
    framework::informationMessage(framework::messagePresenter(),
                                  QStringLiteral("В текущем списке нет записей !"));
    return true;
}

void RefsWindow::toggleCurrent()
{
    if (refuseEmpty())
        return;
    const int row = m_ui->LIST->currentIndex().row();
    if (row < 0)
        return;
    m_model->setSelected(row, !m_model->isSelected(row));
    if (row + 1 < m_model->rowCount())
        setCurrentRow(row + 1);
    updateStatus();
}

void RefsWindow::selectRange()
{
    if (refuseEmpty())
        return;
    const int first = m_model->firstSelectedRow();
    const int row = m_ui->LIST->currentIndex().row();
    if (first < 0 || row < 0) {
        framework::informationMessage(
            framework::messagePresenter(),
            QStringLiteral("В текущем списке отсутствует первая запись для выбора диапазона !"));
        return;
    }
    for (int r = std::min(first, row); r <= std::max(first, row); ++r)
        m_model->setSelected(r, true);
    updateStatus();
}

void RefsWindow::selectAll()
{
    if (refuseEmpty())
        return;
    m_model->setAllSelected(true);
    updateStatus();
}

void RefsWindow::selectNone()
{
    if (refuseEmpty())
        return;
    m_model->setAllSelected(false);
    updateStatus();
}

void RefsWindow::invertSelection()
{
    if (refuseEmpty())
        return;
    m_model->invertSelection();
    updateStatus();
}

void RefsWindow::reportChange(RefsChange change)
{
    if (change == RefsChange::NoAccess)
        framework::informationMessage(framework::messagePresenter(),
                                      QStringLiteral("Нет доступа к данным для выполнения операции !"));
    else if (change == RefsChange::Failed)
        framework::problemMessage(framework::messagePresenter(),
                                  QStringLiteral("Не удалось выполнить операцию !"));
}

void RefsWindow::mark()
{
    if (loading())
        return;
    const std::size_t selected = m_model->selectedCount();
    if (selected == 0 && !current())
        return;
    markWith(selectMark(this, static_cast<int>(selected)));
}

void RefsWindow::markWith(int answer)
{
    if (answer == MarkNothing)
        return;
    std::vector<std::string> guids = m_model->selectedGuids();
    if (guids.empty()) {
        const std::optional<RefRow> row = current();
        if (!row || !isRefsGuid(m_options.kind, row->guid))
            return;
        guids.push_back(row->guid);
    }
    reportChange(markRefs(*m_session, guids, answer));
    reload();
}

void RefsWindow::remove()
{
    if (loading())
        return;
    framework::MessagePresenter& presenter = framework::messagePresenter();
    if (m_model->rowCount() == 0) {
        framework::informationMessage(presenter,
                                      QStringLiteral("Не данных для удаления записей из справочника !"));
        return;
    }
    std::vector<std::string> guids = m_model->selectedGuids();
    if (guids.empty()) {
        const std::optional<RefRow> row = current();
        if (!row ||
            !framework::questionMessage(presenter, QStringLiteral("Удалить текущую запись из справочника ?")))
            return;
        guids.push_back(row->guid);
    } else if (!framework::questionMessage(presenter, QStringLiteral("Удалить выбранные записи ( ") +
                                                          QString::number(guids.size()) +
                                                          QStringLiteral(" ) из справочника ?"))) {
        return;
    }
    reportChange(deleteRefs(*m_session, guids));
    reload();
}

void RefsWindow::clearAll()
{
    if (loading())
        return;
    if (!framework::questionMessage(framework::messagePresenter(),
                                    QStringLiteral("Удалить все записи из текущего справочника ?")))
        return;
    reportChange(clearRefs(*m_session, m_options.kind, m_options.parent));
    reload();
}

void RefsWindow::download()
{
    if (loading())
        return;
    const QString refusal = refsDownloadRefusal(m_options.kind);
    if (!refusal.isEmpty()) {
        framework::informationMessage(framework::messagePresenter(), refusal);
        return;
    }
    const int kind = m_options.kind;
    const std::string parent = m_options.parent;
    const std::string entity = m_options.ownEntityGuid;
    // The loaders report their own outcome; on the worker their boxes are
    // shown by the window's thread while the worker waits.
    (void)m_runner->start([kind, parent, entity](vetis::ExchangeWorker& worker) {
        framework::MessagePresenter& presenter = framework::messagePresenter();
        if (kind == 11)
            return store::rebuildProductTypes(worker.session(), parent, presenter).ok;
        if (kind == 14)
            return store::rebuildPackageTypes(worker.session(), parent, presenter).ok;
        responses::WalkerAnswerReader reader;
        vetis::ExchangeContext context;
        context.settings = &worker.storedSettings();
        context.reader = &reader;
        return responses::refreshDictionary(worker.session(), context, kind, parent, entity, presenter,
                                            &worker.control())
            .ok;
    });
}

void RefsWindow::downloadFinished(const vetis::ExchangeRunResult&)
{
    m_ui->TABS->setCurrentIndex(0);
    reload();
}

RefsWindow* RefsWindow::follow(int button)
{
    const std::optional<int> kind = followedKind(m_options.kind, button);
    const std::optional<RefRow> row = current();
    if (!kind || !row || m_options.picker)
        return nullptr;
    Options nested = m_options;
    nested.kind = *kind;
    nested.parent = row->guid;
    auto* window = new RefsWindow(std::move(nested), this);
    window->setWindowFlag(Qt::Window, true);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

void RefsWindow::choose()
{
    if (!m_options.picker)
        return;
    const std::optional<RefRow> row = current();
    if (!row)
        return;
    m_chosen = row->guid;
    accept();
}

void RefsWindow::done(int result)
{
    m_runner->stopAndWait();
    // A dialog that is done is hidden, not closed: its list keeps its format here.
    if (m_listFormat)
        m_listFormat->close();
    framework::ui::saveWindowPlacement(*this, kRefsWindowId);
    QDialog::done(result);
}

void openReferences(QWidget* parent, const QString& dataFolder, const std::string& ownEntityGuid)
{
    auto* window = new RefsWindow({dataFolder, ownEntityGuid, 1, {}, false}, parent);
    window->setWindowFlag(Qt::Window, true);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
}

std::optional<std::string> pickReference(QWidget* parent, const QString& dataFolder,
                                         const std::string& ownEntityGuid, int kind)
{
    RefsWindow window({dataFolder, ownEntityGuid, kind, {}, true}, parent);
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    return window.chosen();
}

} // namespace workspace::ui
