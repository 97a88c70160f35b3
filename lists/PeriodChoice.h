// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QDate>
#include <QString>

class QSettings;

// The date period of the incoming VSD list as the user picks it in the period
// dialog (AskPeriod): one of ten kinds, the month, quarter, year or day the
// kind works on, and the choice remembered between runs.
namespace lists {

// Kinds in the order the dialog lists them.
enum PeriodKind : int
{
    kPeriodToday = 1,
    kPeriodDecadeToDate = 2,
    kPeriodMonthToDate = 3,
    kPeriodQuarterToDate = 4,
    kPeriodYearToDate = 5,
    kPeriodDay = 6,
    kPeriodMonth = 7,
    kPeriodQuarter = 8,
    kPeriodYear = 9,
    kPeriodAll = 10,
};
inline constexpr int kPeriodKindCount = 10;

// How the caller takes kind 10 ("Все"): the whole range of dates, or the
// period switched off.
enum PeriodMode : int
{
    kPeriodModeWholeRange = 1,
    kPeriodModeMaySwitchOff = 2,
};

// What the period dialog answers.
enum PeriodResult : int
{
    kPeriodCancelled = 0,
    kPeriodChosen = 1,     // from and to are set
    kPeriodSwitchedOff = 2 // mode 2 and kind 10
};

// The dates the remembered choice keeps and the whole range of kind 10.
inline const QDate kStoredDateFirst{1970, 1, 1};
inline const QDate kStoredDateLast{2050, 1, 1};
inline constexpr int kStoredYearFirst = 1980;
inline constexpr int kStoredYearLast = 2050;
inline const QDate kWholeRangeFrom{1970, 1, 1};
inline const QDate kWholeRangeTo{2069, 12, 31};

struct PeriodChoice
{
    int kind = kPeriodToday; // 1..10
    int month = 1;           // 1..12, kind 7
    int quarter = 1;         // 1..4, kind 8
    int year = 2000;         // kinds 7, 8, 9
    QDate date;              // kind 6

    friend bool operator==(const PeriodChoice&, const PeriodChoice&) = default;
};

struct Period
{
    QDate from;
    QDate to;

    // Days from the first to the last, both counted.
    qint64 days() const { return from.daysTo(to) + 1; }

    friend bool operator==(const Period&, const Period&) = default;
};

// Quarter 1..4 of a month 1..12.
int quarterOfMonth(int month);

// The choice with every field taken from today (kind 1).
PeriodChoice periodChoiceForToday(const QDate& today);

// The first and last day of the chosen period as of `today`; kind 10 gives the
// whole range 1 January 1970 .. 31 December 2069.
Period periodOf(const PeriodChoice& choice, const QDate& today);

// Mode 2 with kind 10: the choice switches the period off.
bool switchesPeriodOff(const PeriodChoice& choice, int mode);

// The remembered choice, values "AskPeriod1_" (kind) .. "AskPeriod5_" (the
// day, as a day number) directly under the settings' key. Anything missing,
// unreadable or out of range is replaced: the kind by 1, the month by the
// month of today, the quarter by the quarter of the month, the year by the
// year of today, the day by today. For kinds 1 to 5 month, quarter, year and
// day come from today whatever is stored.
PeriodChoice readPeriodChoice(const QSettings& settings, const QDate& today);
// Writes the five values, numbers in decimal.
void writePeriodChoice(QSettings& settings, const PeriodChoice& choice);

// Texts of the period dialog.
QString periodKindText(int kind, const QDate& today); // radio button of the kind
QString periodMonthText(int month);                   // " 01 - Январь"
QString periodQuarterText(int quarter);               // " 1 квартал"
// The confirming button: "Выбрать период с dd.mm.yyyy г. по dd.mm.yyyy г. ?",
// or "Отключить период и показать всё ?" when the choice switches it off.
QString periodConfirmText(const PeriodChoice& choice, int mode, const QDate& today);
// "Кол-во дней: N", or "Кол-во дней: ВСЕ" for kind 10.
QString periodDayCountText(const PeriodChoice& choice, const QDate& today);

} // namespace lists
