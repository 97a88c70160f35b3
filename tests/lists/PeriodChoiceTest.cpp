// SPDX-License-Identifier: LicenseRef-Kestrom
// The period kinds' dates and the remembered choice, without windows.
#include "lists/PeriodChoice.h"
#include "platform/Dates.h"

#include "support/TestSupport.h"

#include "framework/PrintQString.h"
#include <QSettings>
#include <gtest/gtest.h>

using namespace lists;

namespace {

PeriodChoice chosen(int kind, int month = 1, int quarter = 1, int year = 2024, QDate date = {})
{
    return {kind, month, quarter, year, date};
}

Period period(const QDate& from, const QDate& to)
{
    return {from, to};
}

class StoredPeriodTest : public ::testing::Test
{
protected:
    void store(std::initializer_list<std::pair<int, QString>> values)
    {
        for (const auto& [number, value] : values)
            settings.setValue(QStringLiteral("AskPeriod%1_").arg(number), value);
    }
    testsupport::TempFolder dir;
    QSettings settings{dir.file(QStringLiteral("Vetis.ini")), QSettings::IniFormat};
    const QDate today{2024, 11, 14};
};

} // namespace

TEST(PeriodChoiceTest, DecadeStartsOnThe1st10thOr20th)
{
    const std::pair<int, int> dayAndStart[] = {{1, 1}, {9, 1}, {10, 10}, {19, 10}, {20, 20}, {31, 20}};
    for (const auto& [day, start] : dayAndStart) {
        const QDate today(2024, 1, day);
        EXPECT_EQ(periodOf(chosen(kPeriodDecadeToDate), today), period(QDate(2024, 1, start), today))
            << "day " << day;
    }
}

TEST(PeriodChoiceTest, PeriodsToDateStartAtTheirMonthQuarterOrYear)
{
    const QDate newYear(2024, 1, 1);
    const QDate yearEnd(2023, 12, 31);
    EXPECT_EQ(periodOf(chosen(kPeriodToday), newYear), period(newYear, newYear));
    EXPECT_EQ(periodOf(chosen(kPeriodQuarterToDate), newYear), period(newYear, newYear));
    EXPECT_EQ(periodOf(chosen(kPeriodQuarterToDate), yearEnd), period(QDate(2023, 10, 1), yearEnd));
    EXPECT_EQ(periodOf(chosen(kPeriodQuarterToDate), QDate(2024, 6, 30)),
              period(QDate(2024, 4, 1), {2024, 6, 30}));
    EXPECT_EQ(periodOf(chosen(kPeriodMonthToDate), yearEnd), period(QDate(2023, 12, 1), yearEnd));
    EXPECT_EQ(periodOf(chosen(kPeriodYearToDate), yearEnd), period(QDate(2023, 1, 1), yearEnd));
}

TEST(PeriodChoiceTest, ChosenMonthQuarterAndYearEndOnTheirLastDay)
{
    const QDate today(2024, 5, 5);
    EXPECT_EQ(periodOf(chosen(kPeriodMonth, 2, 1, 2024), today), period(QDate(2024, 2, 1), {2024, 2, 29}));
    EXPECT_EQ(periodOf(chosen(kPeriodMonth, 2, 1, 2023), today), period(QDate(2023, 2, 1), {2023, 2, 28}));
    EXPECT_EQ(periodOf(chosen(kPeriodMonth, 12, 1, 2023), today), period(QDate(2023, 12, 1), {2023, 12, 31}));
    EXPECT_EQ(periodOf(chosen(kPeriodQuarter, 1, 4, 2023), today),
              period(QDate(2023, 10, 1), {2023, 12, 31}));
    EXPECT_EQ(periodOf(chosen(kPeriodQuarter, 1, 1, 2024), today).days(), 91); // leap year
    EXPECT_EQ(periodOf(chosen(kPeriodQuarter, 1, 1, 2023), today).days(), 90);
    EXPECT_EQ(periodOf(chosen(kPeriodYear, 1, 1, 2024), today).days(), 366);
    EXPECT_EQ(periodOf(chosen(kPeriodDay, 1, 1, 2024, {2021, 3, 8}), today),
              period({2021, 3, 8}, {2021, 3, 8}));

    EXPECT_EQ(periodDayCountText(chosen(kPeriodMonth, 2, 1, 2024), today), QStringLiteral("Кол-во дней: 29"));
    EXPECT_EQ(periodConfirmText(chosen(kPeriodMonth, 2, 1, 2023), kPeriodModeWholeRange, today),
              QStringLiteral("Выбрать период с 01.02.2023 г. по 28.02.2023 г. ?"));
}

// The dialog's own tests drive kind 10 in both modes; here the texts it does
// not reach.
TEST(PeriodChoiceTest, AllInMode1ConfirmsTheWholeRange)
{
    const QDate today(2024, 5, 5);
    EXPECT_FALSE(switchesPeriodOff(chosen(kPeriodYear), kPeriodModeMaySwitchOff));
    EXPECT_EQ(periodConfirmText(chosen(kPeriodAll), kPeriodModeWholeRange, today),
              QStringLiteral("Выбрать период с 01.01.1970 г. по 31.12.2069 г. ?"));
    EXPECT_EQ(periodKindText(kPeriodAll, today), QStringLiteral("&0.  Все"));
}

TEST_F(StoredPeriodTest, NothingOrAKindOutside1To10OpensOnToday)
{
    EXPECT_EQ(readPeriodChoice(settings, today), periodChoiceForToday(today));
    for (const QString& kind :
         {QStringLiteral("0"), QStringLiteral("11"), QStringLiteral("-3"), QStringLiteral("x")}) {
        store({{1, kind}, {2, QStringLiteral("3")}, {4, QStringLiteral("2020")}});
        EXPECT_EQ(readPeriodChoice(settings, today), periodChoiceForToday(today)) << kind.toStdString();
    }
}

TEST_F(StoredPeriodTest, KindsToDateTakeTheirFieldsFromToday)
{
    store({{1, QStringLiteral("3")},
           {2, QStringLiteral("5")},
           {3, QStringLiteral("2")},
           {4, QStringLiteral("2020")}});
    PeriodChoice expected = periodChoiceForToday(today);
    expected.kind = kPeriodMonthToDate;
    EXPECT_EQ(readPeriodChoice(settings, today), expected);
}

TEST_F(StoredPeriodTest, OutOfRangeValuesAreReplaced)
{
    store({{1, QStringLiteral("7")},
           {2, QStringLiteral("13")},
           {3, QStringLiteral("0")},
           {4, QStringLiteral("1979")},
           {5, QString::number(platform::dayNumber(QDate(1969, 12, 31)))}});
    EXPECT_EQ(readPeriodChoice(settings, today), chosen(kPeriodMonth, 11, 4, 2024, today));

    // A quarter out of range follows the stored month, not today's.
    store({{2, QStringLiteral("2")},
           {3, QStringLiteral("5")},
           {4, QStringLiteral("2051")},
           {5, QString::number(platform::dayNumber(QDate(2050, 1, 2)))}});
    EXPECT_EQ(readPeriodChoice(settings, today), chosen(kPeriodMonth, 2, 1, 2024, today));

    store({{5, QStringLiteral("garbage")}});
    EXPECT_EQ(readPeriodChoice(settings, today).date, today);
}

TEST_F(StoredPeriodTest, WrittenChoiceIsReadBack)
{
    const PeriodChoice edges[] = {chosen(kPeriodDay, 6, 2, 1980, {1970, 1, 1}),
                                  chosen(kPeriodQuarter, 12, 4, 2050, {2050, 1, 1}),
                                  chosen(kPeriodAll, 1, 1, 2024, today)};
    for (const PeriodChoice& c : edges) {
        writePeriodChoice(settings, c);
        EXPECT_EQ(readPeriodChoice(settings, today), c);
    }
    // Stored as text, the day as a day number.
    EXPECT_EQ(settings.value(QStringLiteral("AskPeriod1_")).toString(), QStringLiteral("10"));
    EXPECT_EQ(settings.value(QStringLiteral("AskPeriod5_")).toString(),
              QString::number(platform::dayNumber(today)));
}
