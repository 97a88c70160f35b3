// SPDX-License-Identifier: LicenseRef-Kestrom
#include "platform/Dates.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Dates, DayNumbersAreConsecutiveFromTheOrigin)
{
    EXPECT_EQ(dayNumber(QDate(1800, 12, 28)), 1);
    EXPECT_EQ(dayNumber(QDate(2024, 4, 25)) - dayNumber(QDate(2024, 4, 24)), 1);
    EXPECT_EQ(dayNumber(QDate(2025, 1, 1)) - dayNumber(QDate(2024, 1, 1)), 366);
    EXPECT_EQ(dateOfDay(dayNumber(QDate(2024, 2, 29))), QDate(2024, 2, 29));
    EXPECT_EQ(dayNumber(QDate()), 0);
    EXPECT_FALSE(dateOfDay(0).isValid());
}

TEST(Dates, TimesAreHundredthsPlusOne)
{
    EXPECT_EQ(timeNumber(QTime(0, 0, 0)), 1);
    EXPECT_EQ(timeNumber(QTime(0, 0, 1)), 101);
    EXPECT_EQ(timeOfNumber(timeNumber(QTime(23, 59, 59))), QTime(23, 59, 59));
    EXPECT_EQ(formatTime(timeNumber(QTime(7, 5, 3))), QStringLiteral("07:05:03"));
    EXPECT_TRUE(formatTime(0).isEmpty());
}

TEST(Dates, IsoAndDisplayForms)
{
    EXPECT_EQ(formatDay(dayFromIso("2024-04-25")), QStringLiteral("25.04.2024"));
    EXPECT_EQ(dayFromIso("2024-02-30"), 0);
    EXPECT_EQ(dayFromIso("2024-4-25"), 0);
    EXPECT_EQ(dayFromIso("2024-04-25T10:00:00"), dayNumber(QDate(2024, 4, 25)));
    EXPECT_TRUE(formatDay(0).isEmpty());
}

TEST(Dates, ClockCanBeFixedForTests)
{
    setClockForTesting([] { return QDateTime(QDate(2024, 4, 25), QTime(10, 0)); });
    EXPECT_EQ(today(), dayNumber(QDate(2024, 4, 25)));
    setClockForTesting({});
    EXPECT_EQ(today(), dayNumber(QDate::currentDate()));
}
