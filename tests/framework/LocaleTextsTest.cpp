// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/LocaleTexts.h"

#include "framework/PrintQString.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace framework;

TEST(LocaleTexts, DatesInWordsUseGenitiveMonthNames)
{
    EXPECT_TRUE(monthName(0).isEmpty());
    EXPECT_TRUE(monthName(13).isEmpty());
    EXPECT_EQ(dateInWords(QDate(2024, 4, 25)), QStringLiteral("25 Апреля 2024"));
    EXPECT_EQ(dateAbbreviated(QDate(2024, 2, 1)), QStringLiteral("1 Фев 2024"));
    EXPECT_TRUE(dateInWords(QDate()).isEmpty());
}

TEST(LocaleTexts, RussianLocaleBecomesTheDefault)
{
    applyRussianLocale();
    EXPECT_EQ(QLocale().language(), QLocale::Russian);
    EXPECT_EQ(QLocale().toString(QDate(2024, 4, 25), QLocale::ShortFormat), QStringLiteral("25.04.2024"));
    QLocale::setDefault(QLocale::c());
}
