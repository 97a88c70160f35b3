// SPDX-License-Identifier: LicenseRef-Kestrom
// The main window on a data folder: what it opens on, which VSDs it shows,
// the marks (one row, F8 ranges, all of a tab's range with a mask), the local
// delete, and a picture of it for review.
#include "WindowData.h"
#include "lists/ui/ListHeaderView.h"

#include "framework/ProcessSettings.h"
#include "framework/ui/Controls.h"
#include "shell/DemoData.h"
#include "shell/DemoService.h"
#include "store/tables/Entity.h"
#include "workspace/ui/BrowseVsdWindow.h"
#include "workspace/ui/VsdListModel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QTimer>

using framework::ui::control;
using namespace windowtest;
using workspace::ui::BrowseVsdWindow;

namespace {

class BrowseVsdWindowTest : public WindowData
{
protected:
    std::unique_ptr<BrowseVsdWindow> open()
    {
        BrowseVsdWindow::Options options;
        options.dataFolder = m_folder.path();
        options.versionDate = QDate(2024, 4, 25);
        options.today = today();
        options.askBeforeClose = false;
        auto w = std::make_unique<BrowseVsdWindow>(options);
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        return w;
    }
    static QTableView* list(BrowseVsdWindow& w)
    {
        return control<QTableView>(&w, QStringLiteral("?BROWSE:1"));
    }
    static void goToRow(BrowseVsdWindow& w, int row) { list(w)->setCurrentIndex(w.model().index(row, 3)); }
    static std::string numberAt(BrowseVsdWindow& w, int row) { return w.model().uuidAt(row).substr(24); }
};

TEST_F(BrowseVsdWindowTest, WithoutAnOwnEntityItAsksForTheSettingsAndShowsNothing)
{
    auto w = open();
    EXPECT_EQ(control<QLineEdit>(w.get(), QStringLiteral("LOC:ENTITYNAME"))->text(),
              QStringLiteral("Укажите в настройке IssuerID Вашего Хозяйствующего Субъекта (ХС)"));
    EXPECT_EQ(w->model().rowCount(), 0);
    EXPECT_FALSE(control<QPushButton>(w.get(), QStringLiteral("SelectAll"))->isEnabled());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Dirirev ODI в АИС «Меркурий»"));
    // The record that asks for the settings was stored; a second opening finds it.
    w.reset();
    store::Session s(m_folder.path());
    store::TypedTable<store::EntityRecord> entities(s, store::entityTable());
    ASSERT_EQ(entities.open(), store::kOk);
    std::int64_t count = 0;
    ASSERT_EQ(entities.count(count), store::kOk);
    EXPECT_EQ(count, 1);
    auto again = open();
    ASSERT_EQ(entities.count(count), store::kOk);
    EXPECT_EQ(count, 1);
}

TEST_F(BrowseVsdWindowTest, OpensOnTheMarkedEnterpriseAndAPeriodOf31DaysEndingTomorrow)
{
    addOwnEntity();
    addVsds({{1, 1}, {2, 40}, {3, 2, 3}, {4, 3, 1, 1}, {5, 1, 1, 0, "Сыр", kOtherPlace}});
    auto w = open();
    EXPECT_EQ(control<QDateEdit>(w.get(), QStringLiteral("LOC:DATE_E"))->date(), today().addDays(1));
    EXPECT_EQ(control<QDateEdit>(w.get(), QStringLiteral("LOC:DATE_S"))->date(), today().addDays(1 - 31));
    EXPECT_TRUE(
        control<QComboBox>(w.get(), QStringLiteral("LOC:NENT"))->currentText().startsWith(u"Склад №1"));
    // In the period, of the working enterprise only, in date order.
    ASSERT_EQ(w->model().rowCount(), 3);
    EXPECT_EQ(numberAt(*w, 0), "000000000004");
    EXPECT_EQ(numberAt(*w, 2), "000000000001");

    // The second tab ignores the status filter and the period.
    control<QComboBox>(w.get(), QStringLiteral("LOC:STATUS"))->setCurrentIndex(3);
    EXPECT_EQ(w->model().rowCount(), 1);
    control<QTabBar>(w.get(), QStringLiteral("CURRENTTAB"))->setCurrentIndex(1);
    ASSERT_EQ(w->model().rowCount(), 1);
    EXPECT_EQ(numberAt(*w, 0), "000000000004");
    // Switching the period off on the first tab shows the old VSD too.
    control<QTabBar>(w.get(), QStringLiteral("CURRENTTAB"))->setCurrentIndex(0);
    control<QComboBox>(w.get(), QStringLiteral("LOC:STATUS"))->setCurrentIndex(0);
    control<QCheckBox>(w.get(), QStringLiteral("LOC:FPERIOD"))->setChecked(false);
    EXPECT_EQ(w->model().rowCount(), 4);
    EXPECT_FALSE(control<QDateEdit>(w.get(), QStringLiteral("LOC:DATE_S"))->isVisible());
}

TEST_F(BrowseVsdWindowTest, RangesAreMarkedFromTheAnchorInEitherDirectionAndUnmarkedWhenRepeated)
{
    addOwnEntity();
    addVsds({{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}});
    auto w = open();
    QTableView* view = list(*w);
    const auto marked = [&] { return w->model().selection().ordered(); };

    // F8 on a row, then F8 on the same row: that row alone.
    goToRow(*w, 1);
    QTest::keyClick(view, Qt::Key_F8);
    EXPECT_FALSE(w->model().anchor().empty());
    QTest::keyClick(view, Qt::Key_F8);
    EXPECT_EQ(marked(), (std::vector<std::string>{w->model().uuidAt(1)}));
    EXPECT_TRUE(w->model().anchor().empty());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Меркурий: Входящие ВСД ( выбрано: 1 )"));
    QTest::keyClick(view, Qt::Key_Space); // the current row, unmarked again
    EXPECT_TRUE(marked().empty());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Меркурий: Входящие ВСД"));

    // Downwards from row 1 to row 3, then upwards from row 3 to row 1: the same rows, unmarked.
    goToRow(*w, 1);
    QTest::keyClick(view, Qt::Key_F8);
    goToRow(*w, 3);
    QTest::keyClick(view, Qt::Key_F8);
    EXPECT_EQ(marked().size(), 3u);
    EXPECT_FALSE(w->model().selection().contains(w->model().uuidAt(0)));
    EXPECT_FALSE(w->model().selection().contains(w->model().uuidAt(4)));
    QTest::keyClick(view, Qt::Key_F8);
    goToRow(*w, 1);
    QTest::keyClick(view, Qt::Key_F8);
    EXPECT_TRUE(marked().empty());

    // An anchor that left the list is reported.
    goToRow(*w, 0);
    QTest::keyClick(view, Qt::Key_F8);
    control<QLineEdit>(w.get(), QStringLiteral("LOC:F"))->setText(QStringLiteral("100001"));
    QTest::keyClick(control<QLineEdit>(w.get(), QStringLiteral("LOC:F")), Qt::Key_Return);
    ASSERT_EQ(w->model().rowCount(), 1);
    goToRow(*w, 0);
    m_presenter.clear();
    QTest::keyClick(view, Qt::Key_F8);
    ASSERT_EQ(m_presenter.count(), 1u);
    EXPECT_EQ(m_presenter.shown().front().text,
              QStringLiteral("В текущем списке отсутствует первая запись для выбора диапазона !"));
}

TEST_F(BrowseVsdWindowTest, TheBlanksColumnsStayInPlaceAndTheirClicksAreTheListsOwn)
{
    addOwnEntity();
    addVsds({{1, 1}, {2, 2}, {3, 3}, {4, 4}});
    auto w = open();
    QTableView* view = list(*w);
    QHeaderView* header = view->horizontalHeader();
    // The two marks and "Бланк ВСД": Серия, №, Дата, Тип.
    EXPECT_EQ(lists::ui::fixedColumnCount(*header), 6);
    EXPECT_EQ(header->model()->headerData(header->logicalIndex(5), Qt::Horizontal).toString(),
              QStringLiteral("Тип"));

    view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
    ASSERT_GT(header->offset(), 0);
    auto* frozen = view->findChild<QTableView*>(QStringLiteral("FROZENCOLUMNS"));
    ASSERT_TRUE(frozen && frozen->isVisible());
    const int scrolled = view->horizontalScrollBar()->value();
    // Ctrl with a click on the number of row 2 marks that VSD, as a click
    // on the list does, and the list stays where it was scrolled.
    const QRect number = frozen->visualRect(frozen->model()->index(2, 3));
    QTest::mouseClick(frozen->viewport(), Qt::LeftButton, Qt::ControlModifier, number.center());
    EXPECT_EQ(view->currentIndex().row(), 2);
    EXPECT_EQ(w->model().selection().ordered(), (std::vector<std::string>{w->model().uuidAt(2)}));
    EXPECT_EQ(view->horizontalScrollBar()->value(), scrolled);
}

TEST_F(BrowseVsdWindowTest, SelectAllWithAMaskMarksEveryMatchingVsdOfTheRangeShownOrNot)
{
    addOwnEntity();
    std::vector<VsdSeed> seeds;
    for (int n = 1; n <= 600; ++n)
        seeds.push_back({n, 1 + n % 20, 1, 0, n % 4 == 0 ? "Рыба мороженая" : "Сыр твёрдый"});
    seeds.push_back({9001, 2, 1, 0, "Рыба мороженая", kOtherPlace});
    addVsds(seeds);
    auto w = open();
    ASSERT_EQ(w->model().rowCount(), 600);
    auto* search = control<QLineEdit>(w.get(), QStringLiteral("LOC:F"));
    search->setText(QStringLiteral("рыба"));
    QTest::keyClick(search, Qt::Key_Return);
    EXPECT_EQ(w->model().rowCount(), 150);
    QTest::keyClick(list(*w), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(w->model().selection().size(), 150u);
    EXPECT_TRUE(w->model().selection().contains(uuidOf(600)));
    EXPECT_FALSE(w->model().selection().contains(uuidOf(9001)));
    // Invert twice gives the marks back; the mark survives another order and a clear search.
    QTest::keyClick(list(*w), Qt::Key_I, Qt::ControlModifier);
    EXPECT_TRUE(w->model().selection().empty());
    QTest::keyClick(list(*w), Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(w->model().selection().size(), 150u);
    QTest::keyClick(w.get(), Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(w->model().rowCount(), 600);
    EXPECT_EQ(w->model().selection().size(), 150u);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Меркурий: Входящие ВСД ( выбрано: 150 )"));
}

TEST_F(BrowseVsdWindowTest, DeletingASelectionWithAVsdThatIsGoneDeletesTheOthers)
{
    addOwnEntity();
    addVsds({{1, 1}, {2, 2}, {3, 3}, {4, 4}});
    auto w = open();
    for (int row : {0, 1, 2}) {
        goToRow(*w, row);
        QTest::keyClick(list(*w), Qt::Key_Space);
    }
    ASSERT_EQ(w->model().selection().size(), 3u);
    // One of them is deleted behind the window's back.
    {
        store::Session s(m_folder.path());
        store::TypedTable<store::VsdRecord> vsds(s, store::vsdTable());
        ASSERT_EQ(vsds.open(), store::kOk);
        vsds.clear();
        store::setText(vsds.rec().UUID, w->model().uuidAt(1));
        ASSERT_EQ(vsds.fetch("MVD:BYUUID"), store::kOk);
        ASSERT_EQ(vsds.deleteRecord(), store::kOk);
    }
    m_presenter.setNextAnswer(framework::ButtonYes);
    QTest::keyClick(list(*w), Qt::Key_Delete);
    ASSERT_GE(m_presenter.count(), 1u);
    EXPECT_EQ(m_presenter.shown().front().text,
              QStringLiteral("Удалить выбранные записи ( 3 ) из списка ВСД ?"));
    EXPECT_EQ(w->model().rowCount(), 1);
    EXPECT_TRUE(w->model().selection().empty());
}

TEST_F(BrowseVsdWindowTest, CtrlEnterOpensTheCardAndItsNestedListsOpenBesideTheList)
{
    addOwnEntity();
    addVsds({{1, 1}, {2, 2}});
    auto w = open();
    goToRow(*w, 1);
    QString title;
    int nestedWindows = -1;
    QTimer::singleShot(0, [&] {
        auto* card = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(card, nullptr);
        title = card->windowTitle();
        // The card's " Вложения" opens the nested lists without closing the card.
        for (QPushButton* button : card->findChildren<QPushButton*>())
            if (button->text().trimmed() == QStringLiteral("Вложения") && button->isEnabled())
                button->click();
        nestedWindows = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->isVisible() && top != w.get() && top != card && !qobject_cast<QMenu*>(top))
                ++nestedWindows;
        card->reject();
    });
    QTest::keyClick(list(*w), Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(title, QStringLiteral("Изменить ВСД ?"));
    EXPECT_EQ(nestedWindows, 1);
    // "Приложения к ВСД" opens another one beside the list; several may be open.
    control<QPushButton>(w.get(), QStringLiteral("BInside"))->click();
    int open = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top != w.get() && !qobject_cast<QMenu*>(top))
            ++open;
    EXPECT_EQ(open, 2);
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != w.get())
            top->close();
}

TEST_F(BrowseVsdWindowTest, TheRegisterOfTheMarkedVsdsIsWrittenBesideTheWindowAndOpened)
{
    addOwnEntity();
    addVsds({{1, 1}, {2, 2}, {3, 3}});
    ASSERT_TRUE(QDir().mkpath(m_folder.path() + QStringLiteral("/export")));
    framework::process::setTemporaryExportFolder(m_folder.path() + QStringLiteral("/export/"));
    BrowseVsdWindow::Options options;
    options.dataFolder = m_folder.path();
    options.today = today();
    options.askBeforeClose = false;
    QStringList opened;
    options.openFile = [&opened](const QString& file) { opened.push_back(file); };
    BrowseVsdWindow w(options);
    w.show();
    auto* excel = control<QPushButton>(&w, QStringLiteral("EXCEL"));
    ASSERT_TRUE(excel->isEnabled());
    excel->click();
    ASSERT_EQ(m_presenter.count(), 1u);
    EXPECT_EQ(
        m_presenter.shown().front().text,
        QStringLiteral("Нет выбранных в списке записей (клавиши [ПРОБЕЛ] или [F8] для выбора диапазона) !"));
    for (int row : {0, 2}) {
        goToRow(w, row);
        QTest::keyClick(list(w), Qt::Key_Space);
    }
    excel->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w.exchangeRunning(), 30000);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened.front().endsWith(QStringLiteral(".xlsx")));
    QFile workbook(opened.front());
    ASSERT_TRUE(workbook.open(QIODevice::ReadOnly));
    EXPECT_TRUE(workbook.read(2) == "PK");
    framework::process::setTemporaryExportFolder(QString());
}

TEST_F(BrowseVsdWindowTest, TheCardsOfTheSenderAndCarrierSayWhatIsMissing)
{
    addOwnEntity();
    addVsds({{1, 1}});
    auto w = open();
    goToRow(*w, 0);
    // The sender's GUID is known but the entity was never loaded; the carrier has no GUID.
    control<QPushButton>(w.get(), QStringLiteral("View2"))->click();
    control<QPushButton>(w.get(), QStringLiteral("View4"))->click();
    ASSERT_EQ(m_presenter.count(), 2u);
    EXPECT_EQ(m_presenter.shown()[0].text,
              QStringLiteral("В справочник не загружены данные о ХС отправителе продукции по ВСД !"));
    EXPECT_EQ(m_presenter.shown()[1].text, QStringLiteral("Нет данных о ХС перевозчике продукции по ВСД !"));
}

TEST_F(BrowseVsdWindowTest, EscapeAsksBeforeTheProgramClosesAndExitDoesNot)
{
    addOwnEntity();
    BrowseVsdWindow::Options options;
    options.dataFolder = m_folder.path();
    options.today = today();
    BrowseVsdWindow w(options);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    m_presenter.setNextAnswer(framework::ButtonNo);
    QTest::keyClick(&w, Qt::Key_Escape);
    ASSERT_EQ(m_presenter.count(), 1u);
    EXPECT_EQ(m_presenter.shown().front().text,
              QStringLiteral("Закрыть программу Dirirev ODI в АИС «Меркурий» ?"));
    EXPECT_TRUE(w.isVisible());
    m_presenter.setNextAnswer(framework::ButtonYes);
    QTest::keyClick(&w, Qt::Key_Escape);
    EXPECT_FALSE(w.isVisible());
    w.show();
    m_presenter.clear();
    control<QPushButton>(&w, QStringLiteral("WCLOSE"))->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(m_presenter.count(), 0u);
}

TEST_F(BrowseVsdWindowTest, HelpAndUpdateRunWhenTheProgramHasThemAndSayWhenNot)
{
    addOwnEntity();
    {
        auto w = open(); // without either
        for (const char* name : {"HELP", "GETVERSION"}) {
            auto* button = control<QPushButton>(w.get(), QString::fromLatin1(name));
            EXPECT_FALSE(button->isEnabled()) << name;
            EXPECT_TRUE(
                button->toolTip().endsWith(QStringLiteral("(Будет доступно в следующей версии программы)")))
                << name;
        }
        QTest::keyClick(w.get(), Qt::Key_F1); // nothing to run, nothing shown
        EXPECT_EQ(m_presenter.count(), 0u);
    }
    int helped = 0;
    BrowseVsdWindow::Options options;
    options.dataFolder = m_folder.path();
    options.today = today();
    options.askBeforeClose = false;
    options.openHelp = [&helped] { ++helped; };
    BrowseVsdWindow w(options);
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto* help = control<QPushButton>(&w, QStringLiteral("HELP"));
    EXPECT_TRUE(help->isEnabled());
    EXPECT_EQ(help->toolTip(), QStringLiteral("Вызов справки [F1]"));
    QTest::keyClick(&w, Qt::Key_F1);
    help->click();
    EXPECT_EQ(helped, 2);
}

TEST_F(BrowseVsdWindowTest, APictureOfTheDemoForReview)
{
    // The demo as a newcomer meets it: its data folder prepared from the test
    // double the program starts, the window opened on it. The picture is
    // saved beside the test for a person to look at.
    shell::DemoService service;
    ASSERT_TRUE(service.start()) << service.errorText().toStdString();
    const shell::DemoPreparation prepared = shell::prepareDemoDataFolder(m_folder.path(), service);
    ASSERT_TRUE(prepared.ok);
    BrowseVsdWindow::Options options;
    options.dataFolder = m_folder.path();
    options.versionDate = QDate(2024, 4, 25);
    options.demo = true;
    options.askBeforeClose = false;
    BrowseVsdWindow w(options);
    w.resize(1280, 760);
    w.show();
    EXPECT_GT(w.model().rowCount(), 0);
    goToRow(w, 2);
    QTest::keyClick(list(w), Qt::Key_Space);
    QTest::keyClick(list(w), Qt::Key_Space);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Меркурий: Входящие ВСД ( выбрано: 2 ) — ДЕМО"));
    QCoreApplication::processEvents();
    const QString file = QCoreApplication::applicationDirPath() + QStringLiteral("/main-window-demo.png");
    EXPECT_TRUE(w.grab().save(file));
    service.stop();
}

} // namespace
