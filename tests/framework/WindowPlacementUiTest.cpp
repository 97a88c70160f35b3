// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/ui/WindowPlacementUi.h"
#include "framework/WindowPositions.h"

#include "support/TestSupport.h"

#include "framework/PrintQString.h"
#include <QWidget>

#include <gtest/gtest.h>

using namespace framework;
namespace wp = framework::windowpositions;

namespace {
class WindowPlacementUiTest : public ::testing::Test
{
protected:
    void SetUp() override { wp::useSettingsFile(dir.file(QStringLiteral("Vetis.conf"))); }
    void TearDown() override { wp::close(); }
    testsupport::TempFolder dir;
};
} // namespace

TEST_F(WindowPlacementUiTest, SavedPlacementComesBackFittedIntoTheWorkArea)
{
    {
        QWidget w;
        w.setGeometry(40, 60, 500, 300);
        ui::saveWindowPlacement(w, QStringLiteral("Form_Test"));
    }
    const WindowPlacement stored = wp::load(QStringLiteral("Form_Test"));
    EXPECT_EQ(stored.x, std::optional<int>(40));
    EXPECT_EQ(stored.width, std::optional<int>(500));
    EXPECT_EQ(stored.maximized, std::optional<bool>(false));

    QWidget a;
    a.setGeometry(0, 0, 100, 100);
    ui::restoreWindowPlacement(a, QStringLiteral("Form_Test"), QRect(0, 0, 1280, 800));
    EXPECT_EQ(a.geometry(), QRect(40, 60, 500, 300));

    QWidget small;
    ui::restoreWindowPlacement(small, QStringLiteral("Form_Test"), QRect(0, 0, 400, 200));
    EXPECT_EQ(small.geometry(), QRect(0, 0, 400, 200));

    // Nothing stored: the designed placement stays.
    QWidget fresh;
    fresh.setGeometry(7, 8, 90, 80);
    ui::restoreWindowPlacement(fresh, QStringLiteral("Form_Other"), QRect(0, 0, 1280, 800));
    EXPECT_EQ(fresh.geometry(), QRect(7, 8, 90, 80));
}

TEST_F(WindowPlacementUiTest, MaximizedStateIsRestored)
{
    WindowPlacement p;
    p.maximized = true;
    wp::save(QStringLiteral("Form_Max"), p);
    QWidget w;
    ui::restoreWindowPlacement(w, QStringLiteral("Form_Max"), QRect(0, 0, 1280, 800));
    EXPECT_TRUE(w.windowState().testFlag(Qt::WindowMaximized));
}
