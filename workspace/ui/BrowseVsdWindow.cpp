// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/BrowseVsdWindow.h"

#include "ui_BrowseVsdWindow.h"

#include "framework/MessageBox.h"
#include "framework/ProcessSettings.h"
#include "framework/ui/WindowPlacementUi.h"
#include "lists/ui/ListFormat.h"
#include "lists/ui/ListHeaderView.h"
#include "platform/Dates.h"
#include "store/tables/Vetis.h"
#include "vetis/ExchangeRunner.h"
#include "vetis/StoredVetisSettings.h"
#include "vetis/VetisSettings.h"
#include "vetis/ui/ExchangeRunBinding.h"
#include "workspace/ui/GroupedHeaderView.h"
#include "workspace/ui/VsdListColumns.h"
#include "workspace/ui/VsdListDelegate.h"
#include "workspace/ui/VsdListModel.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>

namespace workspace::ui {

namespace {

// The commands that need a row in the list.
constexpr const char* kRowCommands[] = {"SR",      "MSELECT", "SelectAll", "DeSelect", "Invert",
                                        "View2",   "BReturn", "View3",     "View4",    "Remove",
                                        "BInside", "View1",   "BPrint",    "EXCEL"};

} // namespace

BrowseVsdWindow::BrowseVsdWindow(Options options, QWidget* parent)
    : QMainWindow(parent)
    , m_options(std::move(options))
    , m_ui(std::make_unique<Ui::BrowseVsdWindow>())
    , m_session(dataFolder(), framework::process::listFormatFile())
    , m_runner(std::make_unique<vetis::ExchangeRunner>(dataFolder()))
{
    if (!m_options.today.isValid())
        m_options.today = platform::currentDateTime().date();
    m_ui->setupUi(this);
    setObjectName(QString::fromUtf16(kWindowId));
    nameControls();
    updateTitle();

    m_model = new VsdListModel(m_session, dataFolder(), this);
    m_header = new GroupedHeaderView(m_ui->list);
    m_ui->list->setHorizontalHeader(m_header);
    m_ui->list->setModel(m_model);
    m_ui->list->setItemDelegate(new VsdListDelegate(m_ui->list));
    m_ui->list->verticalHeader()->hide();
    m_ui->list->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 6);
    m_ui->list->setWordWrap(false);
    // Widths in characters, measured on a digit: dates and numbers fit whole.
    const int charWidth = QFontMetrics(font()).horizontalAdvance(QLatin1Char('0'));
    for (std::size_t c = 0; c < vsdColumns().size(); ++c)
        m_ui->list->setColumnWidth(static_cast<int>(c), (vsdColumns()[c].width + 2) * charWidth);
    m_ui->list->installEventFilter(this);
    m_ui->list->viewport()->installEventFilter(this);
    m_ui->search->installEventFilter(this);

    m_ui->tabs->addTab(QStringLiteral(" &1. За период "));
    m_ui->tabs->addTab(QStringLiteral(" &2. В обработке "));
    m_ui->tabs->addTab(QStringLiteral(" &3. Ошибки "));
    for (const auto& [text, code] : {std::pair{u" ВСЕ", 0},
                                     {u" Оформленные", 1},
                                     {u" Аннулированные", 2},
                                     {u" Погашенные", 3},
                                     {u" Закрытые", 4}})
        m_ui->status->addItem(QString::fromUtf16(text), code);
    m_ui->indicator->hide();
    m_ui->cancelRun->hide();
    m_ui->clearSearch->hide();
    m_ui->toggleMark->hide();
    m_ui->markRange->hide();

    for (int i = 0; i < 3; ++i) {
        auto* zone = new QLabel(statusBar());
        zone->setObjectName(QStringLiteral("StatusZone%1").arg(i + 1));
        statusBar()->addPermanentWidget(zone, i == 0 ? 1 : 0);
    }
    if (auto* zone3 = findChild<QLabel*>(QStringLiteral("StatusZone3")))
        zone3->setText(QStringLiteral("Версия Zanvo от ") +
                       m_options.versionDate.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(" г."));

    openOwnEntity(true);
    connectControls();
    buildContextMenu();
    disableMissingServices();
    new vetis::ui::ExchangeRunBinding(*m_runner, m_ui->indicator, m_ui->cancelRun,
                                      {m_ui->request, m_ui->answer, m_ui->repay, m_ui->returnVsd,
                                       m_ui->printForm, m_ui->removeVsd, m_ui->enterprise, m_ui->refresh},
                                      this);
    connect(m_runner.get(), &vetis::ExchangeRunner::finished, this, &BrowseVsdWindow::runFinished);

    // The user's arrangement of the list (order, widths, hidden columns,
    // font, colours), kept in the list-format file across runs. As designed,
    // the blank's columns stay in place while the list scrolls sideways.
    lists::ui::setFixedColumnCount(*m_header, fixedVsdColumnCount());
    lists::ui::attachListFormat(m_ui->list, QStringLiteral("Brw_m_VSD2"), m_session);
    resize(1100, 700);
    framework::ui::restoreWindowPlacement(*this, QString::fromUtf16(kWindowId));
    scopeChanged(true);
}

BrowseVsdWindow::~BrowseVsdWindow()
{
    // The worker ends before the tables and the list it reports to.
    m_runner.reset();
}

bool BrowseVsdWindow::exchangeRunning() const
{
    return m_runner->isRunning();
}

void BrowseVsdWindow::nameControls()
{
    const std::pair<QWidget*, const char*> names[] = {
        {m_ui->entityName, "LOC:ENTITYNAME"},
        {m_ui->enterprise, "LOC:NENT"},
        {m_ui->search, "LOC:F"},
        {m_ui->clearSearch, "CLRFIND"},
        {m_ui->tabs, "CURRENTTAB"},
        {m_ui->periodOn, "LOC:FPERIOD"},
        {m_ui->dateFrom, "LOC:DATE_S"},
        {m_ui->dateTo, "LOC:DATE_E"},
        {m_ui->calendarFrom, "BCALEND1"},
        {m_ui->calendarTo, "BCALEND2"},
        {m_ui->choosePeriod, "BPERIOD"},
        {m_ui->status, "LOC:STATUS"},
        {m_ui->packet, "LOC:VCOUNT"},
        {m_ui->list, "?BROWSE:1"},
        {m_ui->currentProduct, "MVD:PRODITEMNAME"},
        {m_ui->currentPlace, "MVD:CONSIGNORPLACE"},
        {m_ui->indicator, "INDICATOR"},
        {m_ui->workLine, "LOC:WORK"},
        {m_ui->refresh, "Refresh"},
        {m_ui->references, "BRefs"},
        {m_ui->request, "BRequest"},
        {m_ui->repay, "BGo"},
        {m_ui->answer, "BAnswer"},
        {m_ui->change, "Change"},
        {m_ui->toggleMark, "SR"},
        {m_ui->markRange, "MSELECT"},
        {m_ui->selectAll, "SelectAll"},
        {m_ui->deselectAll, "DeSelect"},
        {m_ui->invert, "Invert"},
        {m_ui->viewConsignor, "View2"},
        {m_ui->returnVsd, "BReturn"},
        {m_ui->viewPlace, "View3"},
        {m_ui->viewCarrier, "View4"},
        {m_ui->removeVsd, "Remove"},
        {m_ui->inside, "BInside"},
        {m_ui->viewProduct, "View1"},
        {m_ui->printForm, "BPrint"},
        {m_ui->exportRegister, "EXCEL"},
        {m_ui->help, "HELP"},
        {m_ui->setup, "BSETUP"},
        {m_ui->update, "GETVERSION"},
        {m_ui->closeWindow, "WCLOSE"},
    };
    for (const auto& [widget, name] : names)
        widget->setObjectName(QString::fromLatin1(name));
}

void BrowseVsdWindow::openOwnEntity(bool setPeriod)
{
    m_own = workspace::openOwnEntity(m_session);
    m_ui->entityName->setText(m_own.name);
    m_ui->entityName->setCursorPosition(0);

    vetis::StoredVetisSettings stored(m_session);
    const std::string key =
        vetis::isEntityGuid(m_own.guid) ? m_own.guid : std::string(vetis::kGuidPlaceholderUtf8);
    const std::optional<store::VetisRecord> settings = stored.find(key);
    applyScale(settings ? settings->WINSFONT : 0);
    const int period = settings && settings->PERIOD != 0 ? settings->PERIOD : vetis::kPeriodInsteadOfZero;
    if (setPeriod) {
        const QDate to = m_options.today.addDays(1);
        m_ui->dateTo->setDate(to);
        m_ui->dateFrom->setDate(to.addDays(-period));
    }
    fillEnterprises();
}

void BrowseVsdWindow::applyScale(int winsfont)
{
    const int size = vetis::scaleFontSize(winsfont);
    framework::process::setUiFontSize(size);
    QFont f = font();
    f.setPointSize(size);
    setFont(f);
    m_ui->list->setFont(f);
    if (auto* zone2 = findChild<QLabel*>(QStringLiteral("StatusZone2")))
        zone2->setText(QString::number(vetis::scalePercent(winsfont)) + QStringLiteral(" %"));
}

void BrowseVsdWindow::fillEnterprises()
{
    const QSignalBlocker block(m_ui->enterprise);
    m_ui->enterprise->clear();
    m_enterprises = enterprisesOf(m_session, m_own.guid);
    int current = -1;
    for (std::size_t i = 0; i < m_enterprises.size(); ++i) {
        const EnterpriseChoice& e = m_enterprises[i];
        m_ui->enterprise->addItem(e.name + QStringLiteral("  [") + e.type + QStringLiteral("]  ") +
                                  e.address);
        m_ui->enterprise->setItemData(static_cast<int>(i), e.address, Qt::ToolTipRole);
        // The enterprise the list opens on carries a mark.
        if (e.marked)
            m_ui->enterprise->setItemIcon(static_cast<int>(i), style()->standardIcon(QStyle::SP_ArrowRight));
        if (e.guid == m_own.workingEnterprise)
            current = static_cast<int>(i);
    }
    m_ui->enterprise->setCurrentIndex(current);
}

VsdListScope BrowseVsdWindow::currentScope() const
{
    VsdListScope scope;
    scope.entity = m_own.guid;
    scope.enterprise = m_own.workingEnterprise;
    scope.tab = static_cast<VsdTab>(m_ui->tabs->currentIndex() + 1);
    scope.status = m_ui->status->currentData().toInt();
    scope.periodOn = m_ui->periodOn->isChecked();
    scope.from = platform::dayNumber(m_ui->dateFrom->date());
    scope.to = platform::dayNumber(m_ui->dateTo->date());
    return scope;
}

void BrowseVsdWindow::scopeChanged(bool clearMarksFirst)
{
    if (clearMarksFirst)
        clearMarks();
    m_model->setScope(currentScope(), m_maskText, m_model->sortOrder());
    updateRowCommands();
    updateCurrentTexts();
}

void BrowseVsdWindow::refreshList()
{
    const int row = m_ui->list->currentIndex().row();
    m_model->refresh();
    if (m_model->rowCount() > 0)
        m_ui->list->setCurrentIndex(m_model->index(std::clamp(row, 0, m_model->rowCount() - 1), 2));
    updateRowCommands();
    updateCurrentTexts();
    updateTitle();
}

void BrowseVsdWindow::updateRowCommands()
{
    const bool rows = m_model->rowCount() > 0;
    for (const char* name : kRowCommands)
        if (auto* w = findChild<QWidget*>(QString::fromLatin1(name)))
            w->setEnabled(rows);
    if (rows && !m_ui->list->currentIndex().isValid())
        m_ui->list->setCurrentIndex(m_model->index(0, 2));
}

void BrowseVsdWindow::updateCurrentTexts()
{
    const store::VsdRecord* r = m_model->record(m_ui->list->currentIndex().row());
    m_ui->currentProduct->setText(r ? vsdColumnText(9, *r) : QString());
    m_ui->currentPlace->setText(r ? consignorPlaceText(*r) : QString());
    m_ui->currentProduct->setCursorPosition(0);
    m_ui->currentPlace->setCursorPosition(0);
}

void BrowseVsdWindow::updateTitle()
{
    const std::size_t count = m_model ? m_model->selection().size() : 0;
    QString title;
    if (!m_titleTouched && count == 0)
        title = QStringLiteral("Dirirev ODI в АИС «Меркурий»");
    else if (count == 0)
        title = QStringLiteral("Меркурий: Входящие ВСД");
    else
        title = QStringLiteral("Меркурий: Входящие ВСД ( выбрано: %1 )").arg(count);
    if (count > 0)
        m_titleTouched = true;
    m_lastTitleCount = count;
    setWindowTitle(m_options.demo ? title + QStringLiteral(" — ДЕМО") : title);
}

void BrowseVsdWindow::setWorkLine(const QString& text)
{
    m_ui->workLine->setText(text);
}

void BrowseVsdWindow::disableMissingServices()
{
    // A program built without them shows the commands, disabled with a tip
    // that says so.
    const auto disable = [](QWidget* w) {
        w->setEnabled(false);
        w->setToolTip(w->toolTip() + QStringLiteral(" (Будет доступно в следующей версии программы)"));
    };
    if (!m_options.checkForUpdate)
        disable(m_ui->update);
    if (!m_options.openHelp)
        disable(m_ui->help);
}

void BrowseVsdWindow::closeEvent(QCloseEvent* event)
{
    if (!m_closing && m_options.askBeforeClose && !confirmClose()) {
        event->ignore();
        return;
    }
    m_runner->stopAndWait();
    framework::ui::saveWindowPlacement(*this, QString::fromUtf16(kWindowId));
    QMainWindow::closeEvent(event);
}

bool BrowseVsdWindow::confirmClose()
{
    return framework::questionMessage(framework::messagePresenter(),
                                      QStringLiteral("Закрыть программу Dirirev ODI в АИС «Меркурий» ?"));
}

} // namespace workspace::ui
