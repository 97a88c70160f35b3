// SPDX-License-Identifier: LicenseRef-Kestrom
// The main window's controls: the filters, the search, the marks, the keys
// and the context menu of the list.
#include "workspace/ui/BrowseVsdWindow.h"

#include "ui_BrowseVsdWindow.h"

#include "framework/MessageBox.h"
#include "lists/ui/AskPeriodDialog.h"
#include "lists/ui/CalendarDialog.h"
#include "platform/Dates.h"
#include "store/RecordText.h"
#include "vetis/ExchangeRunner.h"
#include "workspace/OwnEntity.h"
#include "workspace/SearchMask.h"
#include "workspace/VsdCardTexts.h"
#include "workspace/VsdLocalDelete.h"
#include "workspace/ui/EnterpriseCard.h"
#include "workspace/ui/EntityCard.h"
#include "workspace/ui/GroupedHeaderView.h"
#include "workspace/ui/NestedListsWindow.h"
#include "workspace/ui/ProductCard.h"
#include "workspace/ui/RefsWindow.h"
#include "workspace/ui/VsdCard.h"
#include "workspace/ui/VsdListColumns.h"
#include "workspace/ui/VsdListModel.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSettings>
#include <QShortcut>

namespace workspace::ui {

namespace {
// The dictionary of cargo purposes.
constexpr int kPurposeKind = 10;
const QString kNoRows = QStringLiteral("В текущем списке нет записей !");
} // namespace

void BrowseVsdWindow::connectControls()
{
    connect(m_ui->tabs, &QTabBar::currentChanged, this, [this] { scopeChanged(false); });
    connect(m_ui->status, &QComboBox::currentIndexChanged, this, [this] { scopeChanged(true); });
    connect(m_ui->periodOn, &QCheckBox::toggled, this, [this](bool on) {
        for (QWidget* w :
             {static_cast<QWidget*>(m_ui->dateFrom), static_cast<QWidget*>(m_ui->calendarFrom),
              static_cast<QWidget*>(m_ui->periodBetween), static_cast<QWidget*>(m_ui->dateTo),
              static_cast<QWidget*>(m_ui->calendarTo), static_cast<QWidget*>(m_ui->choosePeriod)})
            w->setVisible(on);
        scopeChanged(true);
    });
    connect(m_ui->dateFrom, &QDateEdit::editingFinished, this, [this] { dateAccepted(true); });
    connect(m_ui->dateTo, &QDateEdit::editingFinished, this, [this] { dateAccepted(false); });
    connect(m_ui->calendarFrom, &QToolButton::clicked, this, [this] { pickDate(true); });
    connect(m_ui->calendarTo, &QToolButton::clicked, this, [this] { pickDate(false); });
    connect(m_ui->choosePeriod, &QToolButton::clicked, this, &BrowseVsdWindow::choosePeriod);
    connect(m_ui->enterprise, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < static_cast<int>(m_enterprises.size()))
            m_own.workingEnterprise = m_enterprises[static_cast<std::size_t>(index)].guid;
        scopeChanged(true);
    });

    connect(m_ui->search, &QLineEdit::returnPressed, this, [this] {
        acceptSearch();
        m_ui->list->setFocus();
    });
    connect(m_ui->clearSearch, &QToolButton::clicked, this, &BrowseVsdWindow::clearSearch);

    connect(m_ui->list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { updateCurrentTexts(); });
    connect(m_header, &QHeaderView::sectionClicked, this, [this](int column) {
        VsdSort sort = m_model->sortOrder();
        const char* name = column >= 0 && column < static_cast<int>(vsdColumns().size())
                               ? vsdColumns()[static_cast<std::size_t>(column)].field
                               : nullptr;
        const int field = name ? store::vsdTable().fieldIndex(name) : -1;
        if (field < 0)
            return;
        sort.descending = sort.field == field ? !sort.descending : false;
        sort.field = field;
        m_model->setScope(m_model->scope(), m_maskText, sort);
        m_header->setSortColumn(column, sort.descending);
        updateRowCommands();
        updateCurrentTexts();
    });

    connect(m_ui->refresh, &QPushButton::clicked, this, [this] {
        clearMarks();
        refreshList();
    });
    connect(m_ui->toggleMark, &QPushButton::clicked, this, [this] { toggleCurrent(+1); });
    connect(m_ui->markRange, &QPushButton::clicked, this, &BrowseVsdWindow::markRange);
    connect(m_ui->selectAll, &QPushButton::clicked, this, [this] { markAll(0); });
    connect(m_ui->deselectAll, &QPushButton::clicked, this, [this] { markAll(1); });
    connect(m_ui->invert, &QPushButton::clicked, this, [this] { markAll(2); });
    connect(m_ui->removeVsd, &QPushButton::clicked, this, &BrowseVsdWindow::removeVsds);
    connect(m_ui->request, &QPushButton::clicked, this, &BrowseVsdWindow::requestList);
    connect(m_ui->answer, &QPushButton::clicked, this, &BrowseVsdWindow::answers);
    connect(m_ui->repay, &QPushButton::clicked, this, [this] { repayOrReturn(1); });
    connect(m_ui->returnVsd, &QPushButton::clicked, this, [this] { repayOrReturn(2); });
    connect(m_ui->printForm, &QPushButton::clicked, this, &BrowseVsdWindow::printForm);
    connect(m_ui->change, &QPushButton::clicked, this, &BrowseVsdWindow::openCard);
    connect(m_ui->exportRegister, &QPushButton::clicked, this, &BrowseVsdWindow::exportRegister);
    connect(m_ui->viewProduct, &QPushButton::clicked, this, &BrowseVsdWindow::viewProduct);
    connect(m_ui->viewConsignor, &QPushButton::clicked, this, [this] { viewEntity(false); });
    connect(m_ui->viewCarrier, &QPushButton::clicked, this, [this] { viewEntity(true); });
    connect(m_ui->viewPlace, &QPushButton::clicked, this, &BrowseVsdWindow::viewEnterprise);
    connect(m_ui->setup, &QPushButton::clicked, this, &BrowseVsdWindow::setupOwnEntity);
    connect(m_ui->references, &QPushButton::clicked, this,
            [this] { openReferences(this, dataFolder(), m_own.guid); });
    connect(m_ui->help, &QPushButton::clicked, this, [this] {
        if (m_options.openHelp)
            m_options.openHelp();
    });
    connect(m_ui->update, &QPushButton::clicked, this, [this] {
        if (!m_options.checkForUpdate || m_runner->isRunning())
            return;
        if (m_options.checkForUpdate(this)) {
            // The installer runs: the program makes way for it.
            m_closing = true;
            close();
            return;
        }
        refreshList();
    });
    connect(m_ui->inside, &QPushButton::clicked, this,
            [this] { openNested(m_model->uuidAt(m_ui->list->currentIndex().row())); });
    connect(m_ui->closeWindow, &QPushButton::clicked, this, [this] {
        m_closing = true;
        close();
        m_closing = false;
    });

    const auto shortcut = [this](const QKeySequence& keys, QAbstractButton* button) {
        connect(new QShortcut(keys, this), &QShortcut::activated, button, [button] {
            if (button->isEnabled())
                button->click();
        });
    };
    shortcut(Qt::Key_F2, m_ui->request);
    shortcut(Qt::Key_F3, m_ui->repay);
    shortcut(Qt::Key_F4, m_ui->answer);
    shortcut(Qt::Key_F5, m_ui->refresh);
    shortcut(Qt::Key_F9, m_ui->update);
    shortcut(Qt::Key_F1, m_ui->help);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), m_ui->change);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Enter), m_ui->change);
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this), &QShortcut::activated, this,
            [this] { m_ui->search->setFocus(); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this), &QShortcut::activated, this,
            &BrowseVsdWindow::clearSearch);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            [this] { close(); });
}

void BrowseVsdWindow::buildContextMenu()
{
    m_contextMenu = new QMenu(this);
    const auto item = [this](const QString& text, QAbstractButton* button) {
        QAction* action = m_contextMenu->addAction(text.isEmpty() ? button->text() : text);
        connect(action, &QAction::triggered, button, &QAbstractButton::click);
        action->setData(QVariant::fromValue(static_cast<QObject*>(button)));
    };
    item(QStringLiteral("Запрос\tF2"), m_ui->request);
    item(QStringLiteral("Ответ\tF4"), m_ui->answer);
    m_contextMenu->addSeparator();
    item(QStringLiteral("Гашение\tF3"), m_ui->repay);
    item({}, m_ui->returnVsd);
    m_contextMenu->addSeparator();
    item(QStringLiteral("Изменить\tCtrl+Enter"), m_ui->change);
    item(QStringLiteral("Удалить\tDel"), m_ui->removeVsd);
    item(QStringLiteral("Печать"), m_ui->printForm);
    m_contextMenu->addSeparator();
    item(QStringLiteral("Приложения к ВСД"), m_ui->inside);
    item(QStringLiteral("Продукция"), m_ui->viewProduct);
    item({}, m_ui->references);
    m_contextMenu->addSeparator();
    item({}, m_ui->viewConsignor);
    item({}, m_ui->viewPlace);
    item({}, m_ui->viewCarrier);
    m_contextMenu->addSeparator();
    item(QStringLiteral("Все выбрать\tCtrl+A"), m_ui->selectAll);
    item(QStringLiteral("Все отменить\tCtrl+D"), m_ui->deselectAll);
    item(QStringLiteral("Ивертировать\tCtrl+I"), m_ui->invert);
    m_contextMenu->addSeparator();
    item(QStringLiteral("Обновить\tF5"), m_ui->refresh);
    connect(m_ui->list, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        for (QAction* action : m_contextMenu->actions())
            if (auto* button = qobject_cast<QAbstractButton*>(action->data().value<QObject*>()))
                action->setEnabled(button->isEnabled());
        m_contextMenu->popup(m_ui->list->viewport()->mapToGlobal(at));
    });
}

bool BrowseVsdWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui->search) {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
            if (event->type() == QEvent::FocusOut)
                acceptSearch();
            updateSearchLook();
        }
        return false;
    }
    if (watched == m_ui->list->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const QModelIndex index = m_ui->list->indexAt(mouse->position().toPoint());
        if (mouse->button() == Qt::LeftButton && index.isValid() &&
            (mouse->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier))) {
            m_ui->list->setCurrentIndex(index);
            if (mouse->modifiers() & Qt::ShiftModifier)
                markRange();
            else
                toggleCurrent(0);
            return true;
        }
        return false;
    }
    if (watched != m_ui->list || event->type() != QEvent::KeyPress)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::NoModifier && key->key() == Qt::Key_Space) {
        toggleCurrent(+1);
        return true;
    }
    if (mods == Qt::ShiftModifier && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up)) {
        toggleCurrent(key->key() == Qt::Key_Down ? +1 : -1);
        return true;
    }
    if (mods == Qt::NoModifier && key->key() == Qt::Key_F8) {
        markRange();
        return true;
    }
    if (mods == Qt::NoModifier && key->key() == Qt::Key_Delete) {
        if (m_ui->removeVsd->isEnabled())
            removeVsds();
        return true;
    }
    if (mods == Qt::ControlModifier &&
        (key->key() == Qt::Key_A || key->key() == Qt::Key_D || key->key() == Qt::Key_I)) {
        if (m_model->rowCount() > 0)
            markAll(key->key() == Qt::Key_A ? 0 : key->key() == Qt::Key_D ? 1 : 2);
        return true;
    }
    return false;
}

// Search.

void BrowseVsdWindow::acceptSearch()
{
    const QString mask = searchMask(m_ui->search->text());
    m_ui->search->setText(m_ui->search->text().trimmed());
    if (mask == m_maskText) {
        updateSearchLook();
        return;
    }
    m_maskText = mask;
    m_model->setScope(m_model->scope(), m_maskText, m_model->sortOrder());
    updateSearchLook();
    updateRowCommands();
    updateCurrentTexts();
}

void BrowseVsdWindow::clearSearch()
{
    m_ui->search->clear();
    acceptSearch();
    m_ui->list->setFocus();
}

void BrowseVsdWindow::updateSearchLook()
{
    const bool focused = m_ui->search->hasFocus();
    const bool holding = !m_ui->search->text().trimmed().isEmpty();
    m_ui->clearSearch->setVisible(!m_maskText.isEmpty() || (holding && !focused));
    if (focused)
        m_ui->search->setStyleSheet(QStringLiteral("QLineEdit { background: rgb(224,255,224); }"));
    else if (holding)
        m_ui->search->setStyleSheet(QStringLiteral("QLineEdit { background: rgb(238,255,238); }"));
    else
        m_ui->search->setStyleSheet({});
}

// Marks.

bool BrowseVsdWindow::ensureCurrentVsd()
{
    if (m_model->uuidAt(m_ui->list->currentIndex().row()).size() == 36)
        return true;
    framework::informationMessage(framework::messagePresenter(), kNoRows);
    return false;
}

void BrowseVsdWindow::toggleCurrent(int move)
{
    if (m_model->rowCount() == 0)
        return;
    const int row = m_ui->list->currentIndex().row();
    if (!ensureCurrentVsd())
        return;
    m_model->selection().toggle(m_model->uuidAt(row));
    m_model->marksChanged(row);
    const int next = std::clamp(row + move, 0, m_model->rowCount() - 1);
    m_ui->list->setCurrentIndex(m_model->index(next, std::max(2, m_ui->list->currentIndex().column())));
    updateTitle();
}

void BrowseVsdWindow::markRange()
{
    if (m_model->rowCount() == 0 || m_model->uuidAt(m_ui->list->currentIndex().row()).size() != 36) {
        m_model->clearAnchor();
        framework::informationMessage(framework::messagePresenter(), kNoRows);
        return;
    }
    if (m_model->markRange(m_ui->list->currentIndex().row()) == VsdListModel::RangeResult::AnchorMissing)
        framework::informationMessage(
            framework::messagePresenter(),
            QStringLiteral("В текущем списке отсутствует первая запись для выбора диапазона !"));
    updateTitle();
}

void BrowseVsdWindow::markAll(int how)
{
    m_model->markAll(how == 0   ? VsdListModel::MarkAll::Select
                     : how == 1 ? VsdListModel::MarkAll::Deselect
                                : VsdListModel::MarkAll::Invert);
    updateTitle();
}

void BrowseVsdWindow::clearMarks()
{
    if (!m_model)
        return;
    m_model->selection().clear();
    m_model->clearAnchor();
    updateTitle();
}

// Period.

void BrowseVsdWindow::dateAccepted(bool start)
{
    if (start && m_ui->dateFrom->date() > m_ui->dateTo->date())
        m_ui->dateFrom->setDate(m_ui->dateTo->date());
    if (!start && m_ui->dateTo->date() < m_ui->dateFrom->date())
        m_ui->dateTo->setDate(m_ui->dateFrom->date());
    if (m_model->scope().from != platform::dayNumber(m_ui->dateFrom->date()) ||
        m_model->scope().to != platform::dayNumber(m_ui->dateTo->date()))
        scopeChanged(false);
}

void BrowseVsdWindow::pickDate(bool start)
{
    QDateEdit* field = start ? m_ui->dateFrom : m_ui->dateTo;
    QDate date = field->date();
    if (!lists::ui::chooseDateFromCalendar(this, date))
        return;
    field->setDate(date);
    dateAccepted(start);
}

void BrowseVsdWindow::choosePeriod()
{
    QDate from = m_ui->dateFrom->date();
    QDate to = m_ui->dateTo->date();
    QSettings settings(QStringLiteral("Kestrom"), QStringLiteral("Vetis"));
    const int result =
        lists::ui::askPeriod(this, lists::kPeriodModeMaySwitchOff, from, to, settings, m_options.today);
    if (result == lists::kPeriodSwitchedOff) {
        m_ui->periodOn->setChecked(false);
        return;
    }
    if (result != lists::kPeriodChosen)
        return;
    {
        const QSignalBlocker blockFrom(m_ui->dateFrom);
        const QSignalBlocker blockTo(m_ui->dateTo);
        m_ui->dateFrom->setDate(from);
        m_ui->dateTo->setDate(to);
    }
    scopeChanged(false);
}

// Cards and nested lists.

void BrowseVsdWindow::openCard()
{
    const std::string uuid = m_model->uuidAt(m_ui->list->currentIndex().row());
    if (uuid.size() != 36 || m_runner->isRunning())
        return;
    // The cargo purpose is chosen in the dictionaries window, in its picker mode.
    const auto choosePurpose = [this](QWidget* parent,
                                      const std::string& own) -> std::optional<ReferenceChoice> {
        const std::optional<std::string> guid = pickReference(parent, dataFolder(), own, kPurposeKind);
        if (!guid)
            return std::nullopt;
        for (const ReferenceChoice& choice : localReferenceChoices(m_session, kPurposeKind))
            if (choice.guid == *guid)
                return choice;
        return ReferenceChoice{*guid, {}};
    };
    if (openVsdCard(
            this, m_session, m_own.guid, uuid, true, [this](const std::string& vsd) { openNested(vsd); },
            choosePurpose))
        refreshList();
}

void BrowseVsdWindow::openNested(const std::string& uuid)
{
    if (uuid.size() == 36)
        openNestedLists(this, dataFolder(), m_own.guid, "1", uuid);
}

void BrowseVsdWindow::viewProduct()
{
    if (const store::VsdRecord* r = m_model->record(m_ui->list->currentIndex().row()))
        openProductCard(this, m_session, m_own.guid, std::string(store::textOf(r->PRODITEMGUID)));
}

void BrowseVsdWindow::viewEnterprise()
{
    if (const store::VsdRecord* r = m_model->record(m_ui->list->currentIndex().row()))
        openEnterpriseCard(this, m_session, m_own.guid, std::string(store::textOf(r->CONSIGNORENT)));
}

void BrowseVsdWindow::viewEntity(bool carrier)
{
    const store::VsdRecord* r = m_model->record(m_ui->list->currentIndex().row());
    if (!r)
        return;
    const std::string guid(carrier ? store::textOf(r->BROKER) : store::textOf(r->CONSIGNORHS));
    const QString who = carrier ? QStringLiteral("перевозчике") : QStringLiteral("отправителе");
    switch (runEntityCard(this, m_session, m_own.guid, guid, false)) {
    case EntityCardResult::NoGuid:
        framework::informationMessage(framework::messagePresenter(),
                                      QStringLiteral("Нет данных о ХС ") + who +
                                          QStringLiteral(" продукции по ВСД !"));
        break;
    case EntityCardResult::NotStored:
        framework::informationMessage(framework::messagePresenter(),
                                      QStringLiteral("В справочник не загружены данные о ХС ") + who +
                                          QStringLiteral(" продукции по ВСД !"));
        break;
    default:
        break;
    }
}

void BrowseVsdWindow::setupOwnEntity()
{
    if (m_runner->isRunning())
        return;
    const OwnEntity own = workspace::openOwnEntity(m_session);
    if (!own.stored) {
        framework::problemMessage(framework::messagePresenter(),
                                  QStringLiteral("Нет доступа к карточке своего хозяйствующего субъекта !"));
        return;
    }
    const EntityCardHooks hooks = defaultEntityCardHooks(m_session, dataFolder());
    if (runEntityCard(this, m_session, own.guid, own.guid, true, &hooks) == EntityCardResult::Saved) {
        // The card may have changed the entity, its settings and its working enterprise.
        openOwnEntity(false);
        clearMarks();
    }
    refreshList();
}

// Local delete.

void BrowseVsdWindow::removeVsds()
{
    auto& presenter = framework::messagePresenter();
    std::vector<std::string> uuids = m_model->selection().ordered();
    const bool selection = !uuids.empty();
    if (!selection) {
        const std::string current = m_model->uuidAt(m_ui->list->currentIndex().row());
        if (current.size() != 36) {
            framework::informationMessage(presenter,
                                          QStringLiteral("Не данных для удаления из списка ВСД !"));
            return;
        }
        uuids.push_back(current);
    }
    const QString question =
        selection ? QStringLiteral("Удалить выбранные записи ( %1 ) из списка ВСД ?").arg(uuids.size())
                  : QStringLiteral("Удалить текущую запись из списка ВСД ?");
    if (!framework::questionMessage(presenter, question))
        return;
    switch (deleteVsdsLocally(m_session, uuids)) {
    case LocalDeleteResult::NoAccess:
        framework::informationMessage(presenter,
                                      QStringLiteral("Нет доступа к данным для выполнения операции !"));
        return;
    case LocalDeleteResult::Failed:
        framework::informationMessage(presenter, QStringLiteral("Не удалось выполнить операцию !"));
        return;
    case LocalDeleteResult::Deleted:
        break;
    }
    if (selection)
        clearMarks();
    refreshList();
}

} // namespace workspace::ui
