// SPDX-License-Identifier: LicenseRef-Kestrom
// The month calendar's grid and moves, the big date dialog's caption and steps.
#include "lists/CalendarDates.h"

#include "framework/PrintQString.h"
#include <gtest/gtest.h>

using namespace lists;
using C = lists::CalendarCommand;

TEST(CalendarDatesTest, GridRunsSixWeeksFromMondayWithTheNeighbouringMonths)
{
    const auto feb = calendarGrid(2024, 2); // begins on a Thursday
    EXPECT_EQ(feb.front(), QDate(2024, 1, 29));
    EXPECT_EQ(feb[3], QDate(2024, 2, 1));
    EXPECT_EQ(feb.back(), QDate(2024, 3, 10));
    for (std::size_t i = 0; i < feb.size(); ++i)
        ASSERT_EQ(feb[i].dayOfWeek(), static_cast<int>(i % 7) + 1);

    EXPECT_EQ(calendarGrid(2024, 4).front(), QDate(2024, 4, 1));  // begins on a Monday
    EXPECT_EQ(calendarGrid(2023, 10).back(), QDate(2023, 11, 5)); // a Sunday the 1st needs all six weeks
    EXPECT_EQ(calendarGrid(2023, 10)[6], QDate(2023, 10, 1));
}

TEST(CalendarDatesTest, MovesLandOnTheDaysTheyName)
{
    const QDate today(2024, 6, 12);
    const QDate sunday(2024, 3, 3);
    const struct
    {
        QDate from;
        C command;
        QDate to;
    } moves[] = {
        {{2024, 1, 31}, C::NextMonth, {2024, 2, 29}},
        {{2024, 3, 31}, C::PreviousMonth, {2024, 2, 29}},
        {{2024, 2, 29}, C::NextYear, {2025, 2, 28}},
        {{2023, 12, 31}, C::NextWeek, {2024, 1, 7}},
        {sunday, C::WeekStart, {2024, 2, 26}},
        {sunday, C::WeekEnd, sunday},
        {{2024, 2, 26}, C::WeekEnd, sunday},
        {{2023, 2, 10}, C::MonthEnd, {2023, 2, 28}},
        {{2023, 11, 15}, C::QuarterEnd, {2023, 12, 31}},
        {{2024, 3, 31}, C::QuarterStart, {2024, 1, 1}},
        {{2024, 8, 1}, C::QuarterEnd, {2024, 9, 30}},
        {{2024, 8, 1}, C::YearEnd, {2024, 12, 31}},
        {{2024, 8, 1}, C::Today, today},
        {QDate(), C::NextDay, {2024, 6, 13}},
        {{1801, 1, 15}, C::PreviousMonth, {1801, 1, 1}},
        {{2099, 5, 1}, C::NextYear, {2099, 12, 31}},
    };
    for (const auto& m : moves)
        EXPECT_EQ(moveCalendarDate(m.from, m.command, today), m.to)
            << m.from.toString(Qt::ISODate).toStdString() << " command " << static_cast<int>(m.command);
}

TEST(CalendarDatesTest, MenuTextsAndKeys)
{
    QStringList texts;
    for (const CalendarMenuEntry& e : calendarMenu())
        texts << (e.separator() ? QStringLiteral("-") : e.text);
    EXPECT_EQ(
        texts.join(u'|'),
        QStringLiteral("Выбрать дату\tEnter|Закрыть\tEsc|Сегодня\tHome|-|Предыдущий месяц\tPgUp|Следующий "
                       "месяц\tPgDn|Предыдущий год\tCtrl+PgUp|Следующий год\tCtrl+PgDn|-|Предыдущяя "
                       "неделя\tUp|Следующяя неделя\tDown|-|Начало недели\tShift+Up|Конец недели\tShift+Down|"
                       "Начало месяца\tShift+PgUp|Конец месяца\tShift+PgDn|Начало квартала\tAlt+PgUp|Конец "
                       "квартала\tAlt+PgDn|Начало года\tShift+Home|Конец года\tShift+End"));
    // No key serves two commands.
    QList<QKeyCombination> keys;
    for (const auto* list : {&calendarMenu(), &calendarExtraKeys()})
        for (const CalendarMenuEntry& e : *list)
            if (e.key.key() != Qt::Key_unknown) {
                EXPECT_FALSE(keys.contains(e.key)) << e.text.toStdString();
                keys << e.key;
            }
}

TEST(CalendarDatesTest, BigDateCaptionAndStepsWithinItsDates)
{
    EXPECT_EQ(calendarBigCaption(QDate(2024, 3, 5)), QStringLiteral("«05» марта 2024 г."));
    EXPECT_EQ(calendarBigCaption(QDate(1999, 12, 31)), QStringLiteral("«31» декабря 1999 г."));
    EXPECT_EQ(calendarBigCaption(QDate()), QStringLiteral("«__» __________ 20 __ г."));

    const QDate today(2024, 6, 12);
    EXPECT_EQ(stepCalendarBigDate(QDate(), DateStepUnit::Day, 1, today), QDate(2024, 6, 13));
    EXPECT_EQ(stepCalendarBigDate(QDate(2024, 1, 31), DateStepUnit::Month, 1, today), QDate(2024, 2, 29));
    EXPECT_EQ(stepCalendarBigDate(QDate(2099, 6, 1), DateStepUnit::Year, 1, today), QDate(2100, 1, 1));
    EXPECT_EQ(stepCalendarBigDate(QDate(1900, 1, 1), DateStepUnit::Day, -1, today), QDate(1900, 1, 1));
}
