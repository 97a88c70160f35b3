// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QDate>
#include <QKeyCombination>
#include <QString>
#include <array>
#include <vector>

// The date arithmetic of the two date dialogs: the month calendar
// ("Календарь") with its commands and keys, and the big date dialog
// (CalendarBig) with its caption and steps.
namespace lists {

// The month calendar: its month grid, the dates it reaches, its commands.

// Dates the month calendar reaches (its year list runs from 1801 to 2099).
inline const QDate kCalendarFirst{1801, 1, 1};
inline const QDate kCalendarLast{2099, 12, 31};
inline constexpr int kCalendarWeeks = 6;
inline constexpr int kCalendarCells = kCalendarWeeks * 7;

// The 42 days shown for a month, week by week from Monday to Sunday: the
// leading days of the previous month, the month, the trailing days of the
// next one. A month that begins on a Monday begins in the first cell.
std::array<QDate, kCalendarCells> calendarGrid(int year, int month);

enum class CalendarCommand
{
    Choose,
    Close,
    Today,
    PreviousMonth,
    NextMonth,
    PreviousYear,
    NextYear,
    PreviousWeek,
    NextWeek,
    PreviousDay,
    NextDay,
    WeekStart,
    WeekEnd,
    MonthStart,
    MonthEnd,
    QuarterStart,
    QuarterEnd,
    YearStart,
    YearEnd,
};

// Where a command moves the calendar's date; a month or year step keeps the
// day where the target month has it and takes the month's last day
// otherwise. The result stays within the calendar's dates. Choose and Close
// leave the date as it is.
QDate moveCalendarDate(const QDate& date, CalendarCommand command, const QDate& today);

// The calendar's context menu in order: the command, its text (command, a tab,
// the key) and its key. A separator has an empty text.
struct CalendarMenuEntry
{
    CalendarCommand command;
    QString text;
    QKeyCombination key;
    bool separator() const { return text.isEmpty(); }
};
const std::vector<CalendarMenuEntry>& calendarMenu();
// The keys of the commands that have no menu entry (Left and Right move a day,
// Enter of the keypad chooses).
const std::vector<CalendarMenuEntry>& calendarExtraKeys();

// Month names as the month list shows them ("Январь") and in the genitive as a
// date is spoken ("января"); months 1..12.
QString monthName(int month);
QString monthNameGenitive(int month);

// The big date dialog (CalendarBig).

// Dates it reaches.
inline const QDate kCalendarBigFirst{1900, 1, 1};
inline const QDate kCalendarBigLast{2100, 1, 1};

// «05» марта 2024 г.; without a date a form to fill in: «__» ________ 20 __ г.
QString calendarBigCaption(const QDate& date);

enum class DateStepUnit
{
    Day,
    Month,
    Year
};
// One step back (delta < 0) or forward of the date; without a date the step
// starts from today. The result stays within the dialog's dates.
QDate stepCalendarBigDate(const QDate& date, DateStepUnit unit, int delta, const QDate& today);

} // namespace lists
