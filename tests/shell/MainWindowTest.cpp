// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/ui/MainWindow.h"
#include "framework/ProcessSettings.h"
#include "framework/WindowPositions.h"
#include "framework/ui/Controls.h"
#include "shell/ProgramVersion.h"

#include "framework/PrintQString.h"
#include "support/TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <gtest/gtest.h>

using framework::ui::control;
using shell::ui::MainWindow;

namespace {
class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        framework::windowpositions::useSettingsFile(dir.file(QStringLiteral("Vetis.conf")));
    }
    void TearDown() override { framework::windowpositions::useSettingsFile(QString()); }
    testsupport::TempFolder dir;
};
} // namespace

TEST_F(MainWindowTest, ShowsTitleOwnEntityAndVersion)
{
    int reads = 0;
    MainWindow w(shell::programVersionDate(), [&] {
        ++reads;
        return QStringLiteral("ООО \"Ромашка\"   ");
    });
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Dirirev ODI в АИС «Меркурий»"));
    auto* entity = control<QLineEdit>(&w, QStringLiteral("LOC:ENTITYNAME"));
    ASSERT_NE(entity, nullptr);
    EXPECT_TRUE(entity->isReadOnly());
    EXPECT_EQ(entity->text(), QStringLiteral("ООО \"Ромашка\""));
    EXPECT_EQ(entity->toolTip(), QStringLiteral("Наименование Вашего ХС (изменяется в настройке программы)"));
    EXPECT_EQ(reads, 1);
    auto* zone3 = control<QLabel>(&w, QStringLiteral("StatusZone3"));
    ASSERT_NE(zone3, nullptr);
    EXPECT_EQ(zone3->text(), QStringLiteral("Версия Zanvo от 25.04.2024 г."));
    EXPECT_EQ(w.font().pointSize(), framework::process::uiFontSize());

    MainWindow empty(shell::programVersionDate(), {});
    EXPECT_TRUE(control<QLineEdit>(&empty, QStringLiteral("LOC:ENTITYNAME"))->text().isEmpty());
}

TEST_F(MainWindowTest, PlacementIsKeptUnderItsName)
{
    {
        MainWindow w(shell::programVersionDate(), {});
        w.setGeometry(30, 40, 700, 500); // within the offscreen screen
        w.show();
        w.close();
    }
    EXPECT_EQ(framework::windowpositions::get(QStringLiteral("Browse_VSD2"), QStringLiteral("Width")),
              QStringLiteral("700"));
    MainWindow again(shell::programVersionDate(), {});
    EXPECT_EQ(again.geometry(), QRect(30, 40, 700, 500));
}
