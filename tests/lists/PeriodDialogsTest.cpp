// SPDX-License-Identifier: LicenseRef-Kestrom
// The period dialog, the big date dialog and the month calendar driven as the
// user drives them, on the offscreen platform.
#include "ModalDialogs.h"
#include "framework/WindowPositions.h"
#include "lists/ui/AskPeriodDialog.h"
#include "lists/ui/CalendarBigDialog.h"
#include "lists/ui/CalendarDialog.h"
#include "platform/Dates.h"

#include "support/TestSupport.h"

#include "framework/PrintQString.h"
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>

using namespace lists;
using namespace lists::ui;

namespace {

using liststest::whenShown;

template <typename T>
T* child(QWidget& dialog, const char* name)
{
    T* w = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
}

// A radio button takes clicks on its circle and text only, not on the blank
// rest of its column.
void choose(QWidget& d, const char* kind)
{
    QRadioButton* b = child<QRadioButton>(d, kind);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

QString confirmText(QWidget& d)
{
    return child<QPushButton>(d, "BOK")->text();
}

class PeriodDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        framework::windowpositions::useSettingsFile(dir.file(QStringLiteral("Places.ini")));
    }
    void TearDown() override
    {
        // A dialog that never came up leaves its waiting behind; the next test must not meet it.
        qDeleteAll(qApp->findChildren<QTimer*>(QStringLiteral("whenShown"), Qt::FindDirectChildrenOnly));
        framework::windowpositions::close();
        platform::setClockForTesting({});
    }
    QString stored(int number) const
    {
        return settings.value(QStringLiteral("AskPeriod%1_").arg(number)).toString();
    }

    testsupport::TempFolder dir;
    QSettings settings{dir.file(QStringLiteral("Vetis.ini")), QSettings::IniFormat};
    const QDate today{2024, 3, 9};
    QDate from{2000, 1, 1};
    QDate to{2000, 1, 2};
};

} // namespace

TEST_F(PeriodDialogsTest, ChoosingAMonthSetsThePeriodAndIsRemembered)
{
    settings.setValue(QStringLiteral("AskPeriod1_"), QStringLiteral("0"));
    whenShown<AskPeriodDialog>([](AskPeriodDialog& d) {
        // A stored kind 0 opens on today.
        EXPECT_TRUE(child<QRadioButton>(d, "KIND1")->isChecked());
        EXPECT_EQ(child<QRadioButton>(d, "KIND1")->text(), QStringLiteral("&1. Сегодня 09.03.2024 г."));
        EXPECT_EQ(confirmText(d), QStringLiteral("Выбрать период с 09.03.2024 г. по 09.03.2024 г. ?"));
        EXPECT_FALSE(child<QComboBox>(d, "MONTH")->isEnabled());

        choose(d, "KIND2");
        EXPECT_EQ(confirmText(d), QStringLiteral("Выбрать период с 01.03.2024 г. по 09.03.2024 г. ?"));

        choose(d, "KIND7");
        EXPECT_TRUE(child<QComboBox>(d, "MONTH")->isEnabled());
        EXPECT_TRUE(child<QSpinBox>(d, "YEAR")->isEnabled());
        EXPECT_FALSE(child<QDateEdit>(d, "DATE")->isEnabled());
        EXPECT_EQ(confirmText(d), QStringLiteral("Выбрать период с 01.03.2024 г. по 31.03.2024 г. ?"));
        child<QComboBox>(d, "MONTH")->setCurrentIndex(1);
        EXPECT_EQ(child<QComboBox>(d, "MONTH")->currentText(), QStringLiteral(" 02 - Февраль"));
        EXPECT_EQ(confirmText(d), QStringLiteral("Выбрать период с 01.02.2024 г. по 29.02.2024 г. ?"));
        EXPECT_EQ(child<QLabel>(d, "DAYS")->text(), QStringLiteral("Кол-во дней: 29"));
        child<QSpinBox>(d, "YEAR")->setValue(2023);
        EXPECT_EQ(child<QLabel>(d, "DAYS")->text(), QStringLiteral("Кол-во дней: 28"));
        QTest::mouseClick(child<QPushButton>(d, "BOK"), Qt::LeftButton);
    });
    ASSERT_EQ(askPeriod(nullptr, kPeriodModeMaySwitchOff, from, to, settings, today), kPeriodChosen);
    EXPECT_EQ(from, QDate(2023, 2, 1));
    EXPECT_EQ(to, QDate(2023, 2, 28));
    EXPECT_EQ(stored(1), QStringLiteral("7"));
    EXPECT_EQ(stored(2), QStringLiteral("2"));
    EXPECT_EQ(stored(3), QStringLiteral("1"));
    EXPECT_EQ(stored(4), QStringLiteral("2023"));
    EXPECT_EQ(stored(5), QString::number(platform::dayNumber(today)));

    // The next time the dialog opens on that choice; cancelling keeps it.
    whenShown<AskPeriodDialog>([](AskPeriodDialog& d) {
        EXPECT_TRUE(child<QRadioButton>(d, "KIND7")->isChecked());
        EXPECT_EQ(confirmText(d), QStringLiteral("Выбрать период с 01.02.2023 г. по 28.02.2023 г. ?"));
        choose(d, "KIND9");
        QTest::mouseClick(child<QPushButton>(d, "BCANCEL"), Qt::LeftButton);
    });
    from = to = QDate(2000, 1, 1);
    EXPECT_EQ(askPeriod(nullptr, kPeriodModeMaySwitchOff, from, to, settings, today), kPeriodCancelled);
    EXPECT_EQ(from, QDate(2000, 1, 1));
    EXPECT_EQ(stored(1), QStringLiteral("7"));
}

TEST_F(PeriodDialogsTest, CancellingWritesNothing)
{
    whenShown<AskPeriodDialog>([](AskPeriodDialog& d) {
        choose(d, "KIND5");
        QTest::keyClick(&d, Qt::Key_Escape);
    });
    EXPECT_EQ(askPeriod(nullptr, kPeriodModeWholeRange, from, to, settings, today), kPeriodCancelled);
    EXPECT_EQ(from, QDate(2000, 1, 1));
    EXPECT_TRUE(settings.allKeys().isEmpty());
}

TEST_F(PeriodDialogsTest, AllSwitchesThePeriodOffOnlyInMode2)
{
    const auto chooseAll = [](AskPeriodDialog& d) {
        choose(d, "KIND10");
        EXPECT_EQ(child<QLabel>(d, "DAYS")->text(), QStringLiteral("Кол-во дней: ВСЕ"));
        QTest::mouseClick(child<QPushButton>(d, "BOK"), Qt::LeftButton);
    };
    whenShown<AskPeriodDialog>([&](AskPeriodDialog& d) {
        choose(d, "KIND10");
        EXPECT_EQ(confirmText(d), QStringLiteral("Отключить период и показать всё ?"));
        chooseAll(d);
    });
    EXPECT_EQ(askPeriod(nullptr, kPeriodModeMaySwitchOff, from, to, settings, today), kPeriodSwitchedOff);
    EXPECT_EQ(from, QDate(2000, 1, 1));
    EXPECT_EQ(to, QDate(2000, 1, 2));
    EXPECT_EQ(stored(1), QStringLiteral("10"));

    whenShown<AskPeriodDialog>(chooseAll);
    EXPECT_EQ(askPeriod(nullptr, kPeriodModeWholeRange, from, to, settings, today), kPeriodChosen);
    EXPECT_EQ(from, QDate(1970, 1, 1));
    EXPECT_EQ(to, QDate(2069, 12, 31));
}

TEST_F(PeriodDialogsTest, DayIsPickedWithTheBigDateDialog)
{
    whenShown<AskPeriodDialog>([](AskPeriodDialog& d) {
        choose(d, "KIND6");
        child<QDateEdit>(d, "DATE")->setDate(QDate(2024, 2, 28));
        whenShown<CalendarBigDialog>([](CalendarBigDialog& big) {
            EXPECT_EQ(child<QLabel>(big, "CAPTION")->text(), QStringLiteral("«28» февраля 2024 г."));
            QTest::mouseClick(child<QToolButton>(big, "BDAYNEXT"), Qt::LeftButton);
            QTest::mouseClick(child<QToolButton>(big, "BDAYNEXT"), Qt::LeftButton);
            EXPECT_EQ(child<QLabel>(big, "CAPTION")->text(), QStringLiteral("«01» марта 2024 г."));
            QTest::mouseClick(child<QPushButton>(big, "BYES"), Qt::LeftButton);
        });
        QTest::mouseClick(child<QToolButton>(d, "BCALEND"), Qt::LeftButton);
        EXPECT_EQ(confirmText(d), QStringLiteral("Выбрать период с 01.03.2024 г. по 01.03.2024 г. ?"));
        QTest::mouseClick(child<QPushButton>(d, "BOK"), Qt::LeftButton);
    });
    EXPECT_EQ(askPeriod(nullptr, kPeriodModeWholeRange, from, to, settings, today), kPeriodChosen);
    EXPECT_EQ(from, QDate(2024, 3, 1));
    EXPECT_EQ(stored(5), QString::number(platform::dayNumber(QDate(2024, 3, 1))));

    // A day beyond what the remembered choice keeps is taken as its last day,
    // so that the next opening shows the day that was confirmed.
    whenShown<AskPeriodDialog>([](AskPeriodDialog& d) {
        EXPECT_EQ(child<QDateEdit>(d, "DATE")->date(), QDate(2024, 3, 1));
        child<QDateEdit>(d, "DATE")->setDate(QDate(2049, 12, 31));
        whenShown<CalendarBigDialog>([](CalendarBigDialog& big) {
            QTest::mouseClick(child<QToolButton>(big, "BYEARNEXT"), Qt::LeftButton);
            QTest::mouseClick(child<QPushButton>(big, "BYES"), Qt::LeftButton);
        });
        QTest::mouseClick(child<QToolButton>(d, "BCALEND"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(d, "BOK"), Qt::LeftButton);
    });
    EXPECT_EQ(askPeriod(nullptr, kPeriodModeWholeRange, from, to, settings, today), kPeriodChosen);
    EXPECT_EQ(from, QDate(2050, 1, 1));
    EXPECT_EQ(readPeriodChoice(settings, today).date, QDate(2050, 1, 1));
}

TEST_F(PeriodDialogsTest, BigDateDialogCancelledKeepsTheDate)
{
    platform::setClockForTesting([] { return QDateTime(QDate(2024, 3, 9), QTime(10, 0)); });
    whenShown<CalendarBigDialog>([](CalendarBigDialog& big) {
        EXPECT_EQ(child<QLabel>(big, "CAPTION")->text(), QStringLiteral("«__» __________ 20 __ г."));
        QTest::mouseClick(child<QPushButton>(big, "BTODAY"), Qt::LeftButton);
        EXPECT_EQ(big.date(), QDate(2024, 3, 9));
        QTest::mouseClick(child<QPushButton>(big, "BNO"), Qt::LeftButton);
    });
    EXPECT_EQ(calendarBig(nullptr, QDate()), QDate());
}

TEST_F(PeriodDialogsTest, CalendarKeysMoveAndEnterChooses)
{
    QDate date(2024, 1, 15);
    whenShown<CalendarDialog>([](CalendarDialog& c) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&c));
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, Qt::Key_PageDown);
        EXPECT_EQ(c.date(), QDate(2024, 2, 15));
        EXPECT_EQ(child<QComboBox>(c, "MONTH")->currentText(), QStringLiteral("Февраль"));
        QTest::keyClick(focus, Qt::Key_PageDown, Qt::ShiftModifier);
        EXPECT_EQ(c.date(), QDate(2024, 2, 29));
        QTest::keyClick(focus, Qt::Key_PageUp, Qt::AltModifier);
        EXPECT_EQ(c.date(), QDate(2024, 1, 1));
        QTest::keyClick(focus, Qt::Key_Up);
        EXPECT_EQ(c.date(), QDate(2023, 12, 25));
        QTest::keyClick(focus, Qt::Key_PageDown, Qt::ControlModifier);
        EXPECT_EQ(c.date(), QDate(2024, 12, 25));
        QTest::keyClick(focus, Qt::Key_Return);
    });
    EXPECT_TRUE(chooseDateFromCalendar(nullptr, date));
    EXPECT_EQ(date, QDate(2024, 12, 25));

    whenShown<CalendarDialog>([](CalendarDialog& c) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&c));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    EXPECT_FALSE(chooseDateFromCalendar(nullptr, date));
    EXPECT_EQ(date, QDate(2024, 12, 25));
}

TEST_F(PeriodDialogsTest, CalendarCellsAndMenu)
{
    CalendarDialog c(QDate(2024, 2, 10), QDate(2024, 2, 20));
    QStringList texts;
    for (QAction* a : c.commandMenu()->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(texts.size(), 20);
    EXPECT_EQ(texts.first(), QStringLiteral("Выбрать дату\tEnter"));
    EXPECT_EQ(texts.last(), QStringLiteral("Конец года\tShift+End"));

    // Clicking a day of the next month turns the calendar to that month.
    auto* days = child<QTableWidget>(c, "DAYS");
    days->setCurrentCell(5, 6); // the last cell: 10 March 2024
    EXPECT_EQ(c.date(), QDate(2024, 3, 10));
    EXPECT_EQ(days->currentRow() * 7 + days->currentColumn(), 13); // 10 March in March's grid
    EXPECT_EQ(child<QComboBox>(c, "MONTH")->currentText(), QStringLiteral("Март"));
    // A year from the list keeps the day where it can.
    child<QComboBox>(c, "YEAR")->setCurrentText(QStringLiteral("2023"));
    child<QComboBox>(c, "YEAR")->activated(child<QComboBox>(c, "YEAR")->currentIndex());
    EXPECT_EQ(c.date(), QDate(2023, 3, 10));
}
