// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/WindowPositions.h"

#include "support/TestSupport.h"

#include "framework/PrintQString.h"
#include <QSettings>

#include <gtest/gtest.h>
#include <thread>
#include <vector>

using namespace framework;
namespace wp = framework::windowpositions;

namespace {

class WindowPositionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        file = dir.file(QStringLiteral("Vetis.conf"));
        wp::useSettingsFile(file);
    }
    void TearDown() override { wp::close(); }

    // What lies in the file after the store wrote it out.
    QSettings written()
    {
        wp::close();
        return QSettings(file, QSettings::IniFormat);
    }

    testsupport::TempFolder dir;
    QString file;
};

} // namespace

TEST_F(WindowPositionsTest, PlacementIsStoredAsDecimalStringsAndReadBack)
{
    WindowPlacement p;
    p.maximized = true;
    p.minimized = false;
    p.x = -8;
    p.y = 20;
    p.width = 1024;
    p.height = 700;
    wp::save(QStringLiteral("Browse_VSD2"), p);

    QSettings s = written();
    EXPECT_EQ(s.value(QStringLiteral("Browse_VSD2/Maximize")).toString(), QStringLiteral("Yes"));
    EXPECT_EQ(s.value(QStringLiteral("Browse_VSD2/Minimize")).toString(), QStringLiteral("No"));
    EXPECT_EQ(s.value(QStringLiteral("Browse_VSD2/XPos")).toString(), QStringLiteral("-8"));
    EXPECT_EQ(s.value(QStringLiteral("Browse_VSD2/Height")).toString(), QStringLiteral("700"));

    const WindowPlacement back = wp::load(QStringLiteral("Browse_VSD2"));
    EXPECT_EQ(back.maximized, std::optional<bool>(true));
    EXPECT_EQ(back.minimized, std::optional<bool>(false));
    EXPECT_EQ(back.x, std::optional<int>(-8));
    EXPECT_EQ(back.width, std::optional<int>(1024));
}

TEST_F(WindowPositionsTest, ValuesTheWindowCannotReportAreRemoved)
{
    WindowPlacement p;
    p.x = 1;
    p.y = 2;
    p.width = 3;
    p.height = 4;
    wp::save(QStringLiteral("Form_Product"), p);
    p.width.reset();
    p.x.reset();
    wp::save(QStringLiteral("Form_Product"), p);
    QSettings s = written();
    s.beginGroup(QStringLiteral("Form_Product"));
    EXPECT_EQ(s.childKeys(), (QStringList{QStringLiteral("Height"), QStringLiteral("YPos")}));
}

TEST_F(WindowPositionsTest, NoIniWindowsLeaveNoSubkey)
{
    WindowPlacement p;
    p.x = 5;
    p.width = 6;
    wp::save(QStringLiteral("NoINI_Calendar"), p);
    wp::put(QStringLiteral("NoINI_Calendar"), QStringLiteral("Column"), QStringLiteral("3"));
    EXPECT_FALSE(wp::load(QStringLiteral("NoINI_Calendar")).x.has_value());
    EXPECT_EQ(wp::get(QStringLiteral("NoINI_Calendar"), QStringLiteral("Column"), QStringLiteral("d")),
              QStringLiteral("d"));
    QSettings s = written();
    EXPECT_TRUE(s.childGroups().isEmpty());
    EXPECT_TRUE(s.allKeys().isEmpty());
}

TEST_F(WindowPositionsTest, GetGivesTheDefaultForAbsentOrEmptyValues)
{
    wp::put(QStringLiteral("Browse_Refs"), QStringLiteral("Tab"), QString());
    EXPECT_EQ(wp::get(QStringLiteral("Browse_Refs"), QStringLiteral("Tab"), QStringLiteral("1")),
              QStringLiteral("1"));
    EXPECT_EQ(wp::get(QStringLiteral("Browse_Refs"), QStringLiteral("Other"), QStringLiteral("2")),
              QStringLiteral("2"));
    wp::put(QStringLiteral("Browse_Refs"), QStringLiteral("Tab"), QStringLiteral("4"));
    EXPECT_EQ(wp::get(QStringLiteral("Browse_Refs"), QStringLiteral("Tab"), QStringLiteral("1")),
              QStringLiteral("4"));
}

TEST_F(WindowPositionsTest, PeriodChoiceLiesDirectlyUnderTheKey)
{
    wp::putAskPeriod(1, QStringLiteral("3"));
    wp::putAskPeriod(5, QStringLiteral("81234"));
    wp::putAskPeriod(6, QStringLiteral("x")); // there is no sixth value
    EXPECT_EQ(wp::askPeriod(1), QStringLiteral("3"));
    EXPECT_EQ(wp::askPeriod(2, QStringLiteral("4")), QStringLiteral("4"));
    QSettings s = written();
    EXPECT_TRUE(s.childGroups().isEmpty());
    EXPECT_EQ(s.childKeys(), (QStringList{QStringLiteral("AskPeriod1_"), QStringLiteral("AskPeriod5_")}));
}

TEST_F(WindowPositionsTest, ThreadsNeverLoseEachOthersValues)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 100; ++i)
                wp::put(QStringLiteral("Window%1").arg(t), QStringLiteral("N%1").arg(i),
                        QString::number(i * t));
        });
    for (auto& th : threads)
        th.join();
    for (int t = 0; t < 4; ++t)
        for (int i = 0; i < 100; i += 33)
            EXPECT_EQ(wp::get(QStringLiteral("Window%1").arg(t), QStringLiteral("N%1").arg(i)),
                      QString::number(i * t));
}

TEST(WindowPlacementFit, ShrinksOversizedAndMovesOutsideWindowsIn)
{
    const QRect area(0, 0, 1280, 770);
    EXPECT_EQ(wp::fitIntoArea(QRect(100, 50, 800, 600), area), QRect(100, 50, 800, 600));
    EXPECT_EQ(wp::fitIntoArea(QRect(-50, -20, 3000, 2000), area), area);
    EXPECT_EQ(wp::fitIntoArea(QRect(2000, 900, 400, 300), area), QRect(880, 470, 400, 300));
    EXPECT_EQ(wp::fitIntoArea(QRect(-300, 10, 400, 300), area), QRect(0, 10, 400, 300));
    // A work area that does not start at the origin (a task bar on the left).
    EXPECT_EQ(wp::fitIntoArea(QRect(0, 0, 400, 300), QRect(60, 0, 1220, 800)), QRect(60, 0, 400, 300));
}
