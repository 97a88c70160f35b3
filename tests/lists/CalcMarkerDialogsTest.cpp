// SPDX-License-Identifier: LicenseRef-Kestrom
// The calculator and the marker dialog driven as the user drives them, on the
// offscreen platform.
#include "ModalDialogs.h"
#include "framework/WindowPositions.h"
#include "lists/ui/CalcBigDialog.h"
#include "lists/ui/MarkerDialog.h"

#include "support/TestSupport.h"

#include "framework/PrintQString.h"
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace lists;
using namespace lists::ui;

namespace calcdialogs_test {

template <typename T>
T* widget(QWidget& dialog, const QString& name)
{
    T* w = dialog.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name.toStdString();
    return w;
}

void press(QWidget& dialog, const QString& name)
{
    QTest::mouseClick(widget<QPushButton>(dialog, name), Qt::LeftButton);
}

// Presses the keypad's buttons for "12.5", "+", "/", "*", "-", "C" and "+/-".
void keypad(QWidget& dialog, const QString& keys)
{
    for (qsizetype i = 0; i < keys.size(); ++i) {
        const QChar k = keys[i];
        if (k.isDigit())
            press(dialog, QStringLiteral("BDIGIT") + k);
        else if (k == u'.')
            press(dialog, QStringLiteral("BPOINT"));
        else if (k == u'+')
            press(dialog, QStringLiteral("BADD"));
        else if (k == u'-')
            press(dialog, QStringLiteral("BSUB"));
        else if (k == u'*')
            press(dialog, QStringLiteral("BMUL"));
        else if (k == u'/')
            press(dialog, QStringLiteral("BDIV"));
        else if (k == u'C')
            press(dialog, QStringLiteral("BCLEAR"));
        else if (k == u'~')
            press(dialog, QStringLiteral("BSIGN"));
    }
}

QString shown(QWidget& dialog, const char* field)
{
    return widget<QLineEdit>(dialog, QString::fromLatin1(field))->text();
}

void pick(QWidget& dialog, const char* radio)
{
    QRadioButton* b = widget<QRadioButton>(dialog, QString::fromLatin1(radio));
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

class CalcMarkerDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        framework::windowpositions::useSettingsFile(dir.file(QStringLiteral("Places.ini")));
    }
    void TearDown() override
    {
        qDeleteAll(qApp->findChildren<QTimer*>(QStringLiteral("whenShown"), Qt::FindDirectChildrenOnly));
        framework::windowpositions::close();
    }

    testsupport::TempFolder dir;
};

} // namespace calcdialogs_test

using calcdialogs_test::CalcMarkerDialogsTest;
using calcdialogs_test::keypad;
using calcdialogs_test::pick;
using calcdialogs_test::press;
using calcdialogs_test::shown;
using calcdialogs_test::widget;
using liststest::whenShown;

TEST_F(CalcMarkerDialogsTest, KeypadAndEnterGiveTheTotal)
{
    whenShown<CalcBigDialog>([](CalcBigDialog& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Калькулятор"));
        EXPECT_EQ(widget<QRadioButton>(d, QStringLiteral("PACKSR"))->text(), QStringLiteral("Фасовка (12)"));
        EXPECT_TRUE(widget<QRadioButton>(d, QStringLiteral("TOTALR"))->isChecked());
        EXPECT_EQ(shown(d, "TOTAL"), QStringLiteral("30"));
        EXPECT_EQ(shown(d, "PACKS"), QStringLiteral("2"));
        EXPECT_EQ(shown(d, "PIECES"), QStringLiteral("6"));

        pick(d, "PACKSR");
        keypad(d, QStringLiteral("3"));
        EXPECT_EQ(shown(d, "TOTAL"), QStringLiteral("42"));
        pick(d, "PIECESR");
        keypad(d, QStringLiteral("1.5+2"));
        EXPECT_EQ(widget<QLabel>(d, QStringLiteral("OPERATION"))->text(), QStringLiteral("+ 2"));
        EXPECT_EQ(shown(d, "PIECES"), QStringLiteral("1.5"));
        // The keyboard works as the keypad; Enter finishes the pending
        // operation and confirms.
        QTest::keyClick(&d, Qt::Key_Return);
    });
    bool accepted = false;
    EXPECT_EQ(calcBig(nullptr, 30, 12, &accepted), 3 * 12 + 3.5);
    EXPECT_TRUE(accepted);

    whenShown<CalcBigDialog>([](CalcBigDialog& d) {
        QTest::keyClicks(&d, QStringLiteral("8*4"));
        EXPECT_EQ(shown(d, "TOTAL"), QStringLiteral("8"));
        EXPECT_EQ(widget<QLabel>(d, QStringLiteral("OPERATION"))->text(), QStringLiteral("* 4"));
        press(d, QStringLiteral("BOK"));
    });
    EXPECT_EQ(calcBig(nullptr, 5, 0, &accepted), 32);
}

TEST_F(CalcMarkerDialogsTest, CancellingKeepsTheValueAndDivisionByZeroKeepsTheDialog)
{
    whenShown<CalcBigDialog>([](CalcBigDialog& d) {
        keypad(d, QStringLiteral("C99"));
        press(d, QStringLiteral("BCANCEL"));
    });
    bool accepted = true;
    EXPECT_EQ(calcBig(nullptr, 17.25, 5, &accepted), 17.25);
    EXPECT_FALSE(accepted);

    whenShown<CalcBigDialog>([](CalcBigDialog& d) {
        keypad(d, QStringLiteral("/0"));
        QTest::keyClick(&d, Qt::Key_Return);
        ASSERT_TRUE(d.isVisible());
        EXPECT_EQ(shown(d, "TOTAL"), QStringLiteral("48"));
        EXPECT_EQ(widget<QLabel>(d, QStringLiteral("OPERATION"))->text(),
                  QStringLiteral("Деление на ноль невозможно"));
        keypad(d, QStringLiteral("/4~"));
        QTest::keyClick(&d, Qt::Key_Enter);
    });
    EXPECT_EQ(calcBig(nullptr, 48, 6, &accepted), -12);
    EXPECT_TRUE(accepted);
}

TEST_F(CalcMarkerDialogsTest, MarkerButtonGivesItsIndexAndCancelGivesNone)
{
    for (int index : {0, 14, 35}) {
        whenShown<MarkerDialog>([index](MarkerDialog& d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("Выбор маркера"));
            EXPECT_EQ(d.findChildren<QPushButton*>(QRegularExpression(QStringLiteral("^MARKER\\d+$"))).size(),
                      36);
            press(d, QStringLiteral("MARKER%1").arg(index));
        });
        EXPECT_EQ(chooseMarker(nullptr), index);
    }

    whenShown<MarkerDialog>([](MarkerDialog& d) {
        EXPECT_EQ(widget<QPushButton>(d, QStringLiteral("BCANCEL"))->text(), QStringLiteral(" Отменить"));
        press(d, QStringLiteral("BCANCEL"));
    });
    EXPECT_EQ(chooseMarker(nullptr), std::nullopt);
}
