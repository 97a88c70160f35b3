// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/CalendarDates.h"

#include <algorithm>

namespace lists {

namespace {

const char* const kMonthNames[12] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                                     "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
const char* const kMonthNamesGenitive[12] = {"января", "февраля", "марта",    "апреля",  "мая",    "июня",
                                             "июля",   "августа", "сентября", "октября", "ноября", "декабря"};

QDate clampedDate(const QDate& date, const QDate& first, const QDate& last)
{
    return std::clamp(date, first, last);
}

QDate quarterStartOf(const QDate& date)
{
    return QDate(date.year(), (date.month() - 1) / 3 * 3 + 1, 1);
}

CalendarMenuEntry menuEntry(CalendarCommand command, const char* text, QKeyCombination key)
{
    return {command, QString::fromUtf8(text), key};
}

CalendarMenuEntry menuSeparator()
{
    return {CalendarCommand::Choose, QString(), QKeyCombination()};
}

} // namespace

std::array<QDate, kCalendarCells> calendarGrid(int year, int month)
{
    const QDate first(year, month, 1);
    const QDate start = first.addDays(1 - first.dayOfWeek()); // Monday is 1
    std::array<QDate, kCalendarCells> days;
    for (int i = 0; i < kCalendarCells; ++i)
        days[static_cast<std::size_t>(i)] = start.addDays(i);
    return days;
}

QDate moveCalendarDate(const QDate& date, CalendarCommand command, const QDate& today)
{
    const QDate d = date.isValid() ? date : today;
    QDate moved = d;
    switch (command) {
    case CalendarCommand::Choose:
    case CalendarCommand::Close:
        break;
    case CalendarCommand::Today:
        moved = today;
        break;
    case CalendarCommand::PreviousMonth:
        moved = d.addMonths(-1);
        break;
    case CalendarCommand::NextMonth:
        moved = d.addMonths(1);
        break;
    case CalendarCommand::PreviousYear:
        moved = d.addYears(-1);
        break;
    case CalendarCommand::NextYear:
        moved = d.addYears(1);
        break;
    case CalendarCommand::PreviousWeek:
        moved = d.addDays(-7);
        break;
    case CalendarCommand::NextWeek:
        moved = d.addDays(7);
        break;
    case CalendarCommand::PreviousDay:
        moved = d.addDays(-1);
        break;
    case CalendarCommand::NextDay:
        moved = d.addDays(1);
        break;
    case CalendarCommand::WeekStart:
        moved = d.addDays(1 - d.dayOfWeek());
        break;
    case CalendarCommand::WeekEnd:
        moved = d.addDays(7 - d.dayOfWeek());
        break;
    case CalendarCommand::MonthStart:
        moved = QDate(d.year(), d.month(), 1);
        break;
    case CalendarCommand::MonthEnd:
        moved = QDate(d.year(), d.month(), d.daysInMonth());
        break;
    case CalendarCommand::QuarterStart:
        moved = quarterStartOf(d);
        break;
    case CalendarCommand::QuarterEnd:
        moved = quarterStartOf(d).addMonths(3).addDays(-1);
        break;
    case CalendarCommand::YearStart:
        moved = QDate(d.year(), 1, 1);
        break;
    case CalendarCommand::YearEnd:
        moved = QDate(d.year(), 12, 31);
        break;
    }
    return clampedDate(moved, kCalendarFirst, kCalendarLast);
}

const std::vector<CalendarMenuEntry>& calendarMenu()
{
    using C = CalendarCommand;
    static const std::vector<CalendarMenuEntry> menu = {
        menuEntry(C::Choose, "Выбрать дату\tEnter", Qt::Key_Return),
        menuEntry(C::Close, "Закрыть\tEsc", Qt::Key_Escape),
        menuEntry(C::Today, "Сегодня\tHome", Qt::Key_Home),
        menuSeparator(),
        menuEntry(C::PreviousMonth, "Предыдущий месяц\tPgUp", Qt::Key_PageUp),
        menuEntry(C::NextMonth, "Следующий месяц\tPgDn", Qt::Key_PageDown),
        menuEntry(C::PreviousYear, "Предыдущий год\tCtrl+PgUp", Qt::CTRL | Qt::Key_PageUp),
        menuEntry(C::NextYear, "Следующий год\tCtrl+PgDn", Qt::CTRL | Qt::Key_PageDown),
        menuSeparator(),
        menuEntry(C::PreviousWeek, "Предыдущяя неделя\tUp", Qt::Key_Up),
        menuEntry(C::NextWeek, "Следующяя неделя\tDown", Qt::Key_Down),
        menuSeparator(),
        menuEntry(C::WeekStart, "Начало недели\tShift+Up", Qt::SHIFT | Qt::Key_Up),
        menuEntry(C::WeekEnd, "Конец недели\tShift+Down", Qt::SHIFT | Qt::Key_Down),
        menuEntry(C::MonthStart, "Начало месяца\tShift+PgUp", Qt::SHIFT | Qt::Key_PageUp),
        menuEntry(C::MonthEnd, "Конец месяца\tShift+PgDn", Qt::SHIFT | Qt::Key_PageDown),
        menuEntry(C::QuarterStart, "Начало квартала\tAlt+PgUp", Qt::ALT | Qt::Key_PageUp),
        menuEntry(C::QuarterEnd, "Конец квартала\tAlt+PgDn", Qt::ALT | Qt::Key_PageDown),
        menuEntry(C::YearStart, "Начало года\tShift+Home", Qt::SHIFT | Qt::Key_Home),
        menuEntry(C::YearEnd, "Конец года\tShift+End", Qt::SHIFT | Qt::Key_End),
    };
    return menu;
}

const std::vector<CalendarMenuEntry>& calendarExtraKeys()
{
    using C = CalendarCommand;
    static const std::vector<CalendarMenuEntry> keys = {
        {C::Choose, QString(), Qt::Key_Enter},
        {C::PreviousDay, QString(), Qt::Key_Left},
        {C::NextDay, QString(), Qt::Key_Right},
    };
    return keys;
}

QString monthName(int month)
{
    if (month < 1 || month > 12)
        return {};
    return QString::fromUtf8(kMonthNames[month - 1]);
}

QString monthNameGenitive(int month)
{
    if (month < 1 || month > 12)
        return {};
    return QString::fromUtf8(kMonthNamesGenitive[month - 1]);
}

QString calendarBigCaption(const QDate& date)
{
    if (!date.isValid())
        return QStringLiteral("«__» __________ 20 __ г.");
    return QStringLiteral("«%1» %2 %3 г.")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(monthNameGenitive(date.month()))
        .arg(date.year());
}

QDate stepCalendarBigDate(const QDate& date, DateStepUnit unit, int delta, const QDate& today)
{
    const QDate d = date.isValid() ? date : today;
    QDate stepped = d;
    switch (unit) {
    case DateStepUnit::Day:
        stepped = d.addDays(delta);
        break;
    case DateStepUnit::Month:
        stepped = d.addMonths(delta);
        break;
    case DateStepUnit::Year:
        stepped = d.addYears(delta);
        break;
    }
    return clampedDate(stepped, kCalendarBigFirst, kCalendarBigLast);
}

} // namespace lists
