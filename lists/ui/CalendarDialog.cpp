// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/ui/CalendarDialog.h"

#include "ui_CalendarDialog.h"

#include "framework/ui/WindowPlacementUi.h"
#include "lists/ui/DialogFont.h"
#include "platform/Dates.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <algorithm>

namespace lists::ui {

namespace {

const QString kCalendarWindowId = QStringLiteral("Calendar");

const char* const kWeekDayHeaders[7] = {"Пн", "Вт", "Ср", "Чт", "Пт", "Сб", "Вс"};

QDate withinCalendar(const QDate& date, const QDate& today)
{
    const QDate d = date.isValid() ? date : today;
    return std::clamp(d, kCalendarFirst, kCalendarLast);
}

} // namespace

CalendarDialog::CalendarDialog(const QDate& date, const QDate& today, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<::Ui::CalendarDialog>())
    , m_today(today)
{
    m_ui->setupUi(this);
    useUiFontSize(*this);

    for (int month = 1; month <= 12; ++month)
        m_ui->MONTH->addItem(monthName(month), month);
    for (int year = kCalendarFirst.year(); year <= kCalendarLast.year(); ++year)
        m_ui->YEAR->addItem(QString::number(year), year);

    QStringList headers;
    for (const char* h : kWeekDayHeaders)
        headers << QString::fromUtf8(h);
    m_ui->DAYS->setHorizontalHeaderLabels(headers);
    m_ui->DAYS->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_ui->DAYS->verticalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_ui->DAYS->setTabKeyNavigation(false);
    for (int i = 0; i < kCalendarCells; ++i) {
        auto* item = new QTableWidgetItem;
        item->setTextAlignment(Qt::AlignCenter);
        m_ui->DAYS->setItem(i / 7, i % 7, item);
    }

    buildCommands();
    connect(m_ui->DAYS, &QTableWidget::currentCellChanged, this,
            [this](int row, int column) { takeCell(row, column); });
    connect(m_ui->DAYS, &QTableWidget::cellDoubleClicked, this, [this](int row, int column) {
        takeCell(row, column);
        accept();
    });
    connect(m_ui->MONTH, &QComboBox::activated, this, &CalendarDialog::takeMonthOrYear);
    connect(m_ui->YEAR, &QComboBox::activated, this, &CalendarDialog::takeMonthOrYear);
    connect(m_ui->BPREVMONTH, &QToolButton::clicked, this, [this] { run(CalendarCommand::PreviousMonth); });
    connect(m_ui->BNEXTMONTH, &QToolButton::clicked, this, [this] { run(CalendarCommand::NextMonth); });
    connect(m_ui->BTODAY, &QPushButton::clicked, this, [this] { run(CalendarCommand::Today); });
    connect(m_ui->BCHOOSE, &QPushButton::clicked, this, [this] { run(CalendarCommand::Choose); });
    connect(m_ui->BCLOSE, &QPushButton::clicked, this, [this] { run(CalendarCommand::Close); });
    for (QPushButton* b : {m_ui->BTODAY, m_ui->BCHOOSE, m_ui->BCLOSE})
        b->setAutoDefault(false);

    setDate(withinCalendar(date, m_today));
    adjustSize();
    framework::ui::restoreWindowPlacement(*this, kCalendarWindowId);
    m_ui->DAYS->setFocus();
}

CalendarDialog::~CalendarDialog() = default;

void CalendarDialog::buildCommands()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(QStringLiteral("CalendarMenu"));
    const auto addCommand = [this](const CalendarMenuEntry& entry, bool inMenu) {
        auto* action = new QAction(entry.text, this);
        action->setShortcut(QKeySequence(entry.key));
        action->setShortcutContext(Qt::WindowShortcut);
        const CalendarCommand command = entry.command;
        connect(action, &QAction::triggered, this, [this, command] { run(command); });
        addAction(action); // the key works without the menu
        if (inMenu)
            m_menu->addAction(action);
    };
    for (const CalendarMenuEntry& entry : calendarMenu()) {
        if (entry.separator())
            m_menu->addSeparator();
        else
            addCommand(entry, true);
    }
    for (const CalendarMenuEntry& entry : calendarExtraKeys())
        addCommand(entry, false);

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_menu->popup(mapToGlobal(pos)); });
}

void CalendarDialog::run(CalendarCommand command)
{
    switch (command) {
    case CalendarCommand::Choose:
        accept();
        return;
    case CalendarCommand::Close:
        reject();
        return;
    default:
        setDate(moveCalendarDate(m_date, command, m_today));
        return;
    }
}

void CalendarDialog::setDate(const QDate& date)
{
    const bool otherMonth =
        !m_date.isValid() || date.year() != m_date.year() || date.month() != m_date.month();
    m_date = date;
    if (otherMonth)
        showMonth();
    const int index = static_cast<int>(m_grid.front().daysTo(m_date));
    m_showing = true;
    m_ui->DAYS->setCurrentCell(index / 7, index % 7);
    m_showing = false;
}

void CalendarDialog::showMonth()
{
    m_showing = true;
    m_grid = calendarGrid(m_date.year(), m_date.month());
    m_ui->MONTH->setCurrentIndex(m_date.month() - 1);
    m_ui->YEAR->setCurrentIndex(m_date.year() - kCalendarFirst.year());

    const QColor otherMonthColour = palette().color(QPalette::Disabled, QPalette::Text);
    const QColor weekendColour(176, 0, 0);
    const QColor dayColour = palette().color(QPalette::Active, QPalette::Text);
    for (int i = 0; i < kCalendarCells; ++i) {
        const QDate day = m_grid[static_cast<std::size_t>(i)];
        QTableWidgetItem* item = m_ui->DAYS->item(i / 7, i % 7);
        item->setText(QString::number(day.day()));
        item->setData(Qt::UserRole, day);
        const bool inMonth = day.month() == m_date.month();
        const bool reachable = day >= kCalendarFirst && day <= kCalendarLast;
        item->setFlags(reachable ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags);
        item->setForeground(!inMonth ? otherMonthColour : day.dayOfWeek() >= 6 ? weekendColour : dayColour);
        QFont f = m_ui->DAYS->font();
        f.setBold(day == m_today);
        item->setFont(f);
        item->setToolTip(day == m_today ? QStringLiteral("Сегодня") : QString());
    }
    m_showing = false;
}

void CalendarDialog::takeCell(int row, int column)
{
    if (m_showing || row < 0 || column < 0)
        return;
    const QDate day = m_grid[static_cast<std::size_t>(row * 7 + column)];
    if (day != m_date)
        setDate(withinCalendar(day, m_today));
}

void CalendarDialog::takeMonthOrYear()
{
    const int year = m_ui->YEAR->currentData().toInt();
    const int month = m_ui->MONTH->currentData().toInt();
    const QDate first(year, month, 1);
    if (!first.isValid())
        return;
    setDate(QDate(year, month, std::min(m_date.day(), first.daysInMonth())));
}

void CalendarDialog::done(int result)
{
    framework::ui::saveWindowPlacement(*this, kCalendarWindowId);
    QDialog::done(result);
}

bool chooseDateFromCalendar(QWidget* parent, QDate& date)
{
    CalendarDialog dialog(date, platform::currentDateTime().date(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    date = dialog.date();
    return true;
}

} // namespace lists::ui
