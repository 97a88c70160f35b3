// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/RefsWindow.h"
#include "workspace/ui/SelectMarkDialog.h"

#include "lists/ui/ListHeaderView.h"

#include "WindowData.h"

#include "store/tables/Refs.h"
#include "support/SimSettings.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"
#include "vetis/StoredVetisSettings.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include <sqlite3.h>

using namespace windowtest;
using workspace::ui::RefsWindow;

namespace {

constexpr const char* kRussia = "74a3cbb1-56fa-94f3-ab3f-e8db4940d96b";

std::string refGuid(int n)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "00000000-0000-4000-8000-%012d", n);
    return buf;
}

class RefsWindowTest : public WindowData
{
protected:
    void addRef(int kind, const std::string& guid, const char16_t* name, const std::string& parent = {},
                int mark = 0)
    {
        store::Session s(m_folder.path());
        store::TypedTable<store::RefsRecord> refs(s, store::refsTable());
        ASSERT_EQ(refs.open(), store::kOk);
        refs.clear();
        refs.rec().VID = static_cast<std::uint8_t>(kind);
        store::setText(refs.rec().GUID, guid);
        store::setZText(refs.rec().PARENT, parent);
        store::setText(refs.rec().NAME, platform::toCp1251(name));
        refs.rec().MARK = static_cast<std::uint8_t>(mark);
        ASSERT_EQ(refs.add(), store::kOk);
    }

    int storedMark(const std::string& guid)
    {
        store::Session s(m_folder.path());
        store::TypedTable<store::RefsRecord> refs(s, store::refsTable());
        EXPECT_EQ(refs.open(), store::kOk);
        refs.clear();
        store::setText(refs.rec().GUID, guid);
        if (refs.fetch("MRE:BYGUID") != store::kOk)
            return -1;
        return +refs.rec().MARK;
    }

    std::unique_ptr<RefsWindow> open(int kind, const std::string& parent = {}, bool picker = false)
    {
        return std::make_unique<RefsWindow>(RefsWindow::Options{m_folder.path(), kOwn, kind, parent, picker});
    }

    QString lastText() const
    {
        return m_presenter.shown().empty() ? QString() : m_presenter.shown().back().text;
    }

    void addUnits()
    {
        addRef(9, refGuid(1), u"килограмм", {}, 0);
        addRef(9, refGuid(2), u"литр", {}, 3);
        addRef(9, refGuid(3), u"штука", {}, 1);
        addRef(9, refGuid(4), u"тонна", {}, 0);
    }
};

TEST_F(RefsWindowTest, KindsTitlesSearchAndTheMarkTab)
{
    addRef(1, kRussia, u" Российская Федерация");
    addUnits();
    auto window = open(1);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Меркурий: Страны"));
    auto* kinds = window->findChild<QComboBox*>(QStringLiteral("KINDS"));
    ASSERT_TRUE(kinds);
    EXPECT_FALSE(kinds->isHidden());
    EXPECT_EQ(kinds->count(), 7);
    EXPECT_EQ(kinds->itemText(3), QStringLiteral(" Единицы измерения"));
    ASSERT_EQ(window->rows().size(), 1u);
    EXPECT_FALSE(window->findChild<QPushButton*>(QStringLiteral("BFOLLOW"))->isHidden());
    EXPECT_TRUE(window->findChild<QPushButton*>(QStringLiteral("BFOLLOW2"))->isHidden());

    window->chooseKind(9);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Меркурий: Единицы измерения"));
    ASSERT_EQ(window->rows().size(), 4u);
    EXPECT_EQ(window->rows()[0].name, QStringLiteral("килограмм"));
    EXPECT_TRUE(window->findChild<QPushButton*>(QStringLiteral("BFOLLOW"))->isHidden());

    window->findChild<QLineEdit*>(QStringLiteral("SEARCH"))->setText(QStringLiteral("ЛИТ"));
    ASSERT_EQ(window->rows().size(), 1u);
    EXPECT_EQ(window->rows()[0].guid, refGuid(2));
    window->findChild<QLineEdit*>(QStringLiteral("SEARCH"))->clear();

    auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("TABS"));
    auto* filter = window->findChild<QComboBox*>(QStringLiteral("MARKFILTER"));
    EXPECT_EQ(tabs->tabText(0), QStringLiteral(" &1. ВСЕ "));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral(" &2. Отметка "));
    tabs->setCurrentIndex(1);
    filter->setCurrentIndex(0); // "НЕТ"
    EXPECT_EQ(window->rows().size(), 2u);
    filter->setCurrentIndex(3); // "Отметка 3"
    ASSERT_EQ(window->rows().size(), 1u);
    EXPECT_EQ(window->rows()[0].guid, refGuid(2));
    filter->setCurrentIndex(5); // "ВСЕ"
    EXPECT_EQ(window->rows().size(), 4u);

    EXPECT_EQ(open(16)->windowTitle(), QStringLiteral("Меркурий: Vid = 16 ?!"));
}

TEST_F(RefsWindowTest, SelectionAndInversionOverMixedMarks)
{
    addUnits();
    auto window = open(9);
    auto* status = window->findChild<QLabel*>(QStringLiteral("STATUS"));
    EXPECT_EQ(status->text(), QStringLiteral("Выбрано: 0"));
    // No record selected yet: F8 has no start.
    window->selectRange();
    EXPECT_EQ(lastText(),
              QStringLiteral("В текущем списке отсутствует первая запись для выбора диапазона !"));

    // килограмм, литр, тонна, штука: Space on the first, F8 on the third.
    window->setCurrentRow(0);
    window->toggleCurrent();
    window->setCurrentRow(2);
    window->selectRange();
    EXPECT_EQ(status->text(), QStringLiteral("Выбрано: 3"));
    EXPECT_EQ(window->selectedGuids(), (std::vector<std::string>{refGuid(1), refGuid(2), refGuid(4)}));
    window->invertSelection();
    EXPECT_EQ(window->selectedGuids(), std::vector<std::string>{refGuid(3)});
    window->selectAll();
    window->markWith(workspace::MarkInvert);
    EXPECT_EQ(storedMark(refGuid(1)), 1);
    EXPECT_EQ(storedMark(refGuid(2)), 0);
    EXPECT_EQ(storedMark(refGuid(3)), 0);
    EXPECT_EQ(storedMark(refGuid(4)), 1);

    // Without a selection only the current record changes.
    window->selectNone();
    EXPECT_EQ(status->text(), QStringLiteral("Выбрано: 0"));
    window->setCurrentRow(1);
    window->markWith(4);
    EXPECT_EQ(storedMark(refGuid(2)), 4);
    EXPECT_EQ(storedMark(refGuid(1)), 1);

    // An empty list has nothing to select.
    m_presenter.clear();
    window->findChild<QLineEdit*>(QStringLiteral("SEARCH"))->setText(QStringLiteral("нет такого"));
    window->selectAll();
    EXPECT_EQ(lastText(), QStringLiteral("В текущем списке нет записей !"));
}

TEST_F(RefsWindowTest, DeleteAndClearAskFirst)
{
    addUnits();
    auto window = open(9);
    window->setCurrentRow(0);
    window->remove(); // answered No
    EXPECT_EQ(lastText(), QStringLiteral("Удалить текущую запись из справочника ?"));
    EXPECT_EQ(window->rows().size(), 4u);

    window->toggleCurrent();
    window->toggleCurrent();
    m_presenter.setNextAnswer(framework::ButtonYes);
    window->remove();
    EXPECT_EQ(lastText(), QStringLiteral("Удалить выбранные записи ( 2 ) из справочника ?"));
    ASSERT_EQ(window->rows().size(), 2u);
    EXPECT_EQ(storedMark(refGuid(1)), -1);
    EXPECT_EQ(storedMark(refGuid(2)), -1);
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("STATUS"))->text(), QStringLiteral("Выбрано: 0"));

    // A refused delete (a trigger acting as a broken disk) keeps every record and says so once.
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((m_folder.path() + QStringLiteral("Base/mv07.dat")).toUtf8().constData(), &db),
                  SQLITE_OK);
        const std::string sql =
            "CREATE TRIGGER refuse BEFORE DELETE ON records WHEN CAST(old.\"MRE:GUID\" AS "
            "TEXT) = '" +
            refGuid(3) + "' BEGIN SELECT RAISE(ABORT, 'disk'); END;";
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        m_presenter.setNextAnswer(framework::ButtonYes);
        window->clearAll();
        EXPECT_EQ(lastText(), QStringLiteral("Не удалось выполнить операцию !"));
        EXPECT_EQ(window->rows().size(), 2u);
        EXPECT_EQ(sqlite3_exec(db, "DROP TRIGGER refuse", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    m_presenter.setNextAnswer(framework::ButtonYes);
    window->clearAll();
    EXPECT_EQ(lastText(), QStringLiteral("Удалить все записи из текущего справочника ?"));
    EXPECT_TRUE(window->rows().empty());
    window->remove();
    EXPECT_EQ(lastText(), QStringLiteral("Не данных для удаления записей из справочника !"));
}

TEST_F(RefsWindowTest, FollowingARecordOpensItsDependentDictionary)
{
    addRef(1, kRussia, u" Российская Федерация");
    addRef(2, refGuid(1), u"Тверская обл.", kRussia);
    addRef(6, refGuid(2), u"Тверь", refGuid(1));
    addRef(5, refGuid(3), u"ул. Советская", refGuid(2));
    auto window = open(1);
    RefsWindow* regions = window->follow(1);
    ASSERT_TRUE(regions);
    EXPECT_EQ(regions->windowTitle(), QStringLiteral("Меркурий: Регионы по стране"));
    EXPECT_EQ(regions->parentGuid(), kRussia);
    EXPECT_TRUE(regions->findChild<QComboBox*>(QStringLiteral("KINDS"))->isHidden());
    ASSERT_EQ(regions->rows().size(), 1u);
    RefsWindow* localities = regions->follow(2);
    ASSERT_TRUE(localities);
    EXPECT_EQ(localities->kind(), 6);
    RefsWindow* streets = localities->follow(1);
    ASSERT_TRUE(streets);
    EXPECT_EQ(streets->kind(), 5);
    ASSERT_EQ(streets->rows().size(), 1u);
    EXPECT_EQ(streets->follow(1), nullptr);
    EXPECT_EQ(streets->follow(2), nullptr);
}

TEST_F(RefsWindowTest, DownloadRunsTheLoaderOnTheWorkerAndRefusesRoles)
{
    auto roles = open(15);
    roles->download();
    EXPECT_FALSE(roles->loading());
    EXPECT_EQ(lastText(), QStringLiteral("Для загрузки ролей - обновите справочник пользователей ХС !"));

    auto window = open(14);
    window->findChild<QTabWidget*>(QStringLiteral("TABS"))->setCurrentIndex(1);
    window->download();
    EXPECT_TRUE(window->loading());
    QElapsedTimer waited;
    waited.start();
    while (window->rows().size() != 364u && waited.elapsed() < 20000)
        QTest::qWait(20);
    EXPECT_FALSE(window->loading());
    EXPECT_EQ(lastText(), QStringLiteral("Успешно загружено записей в справочник видов упаковки: 364"));
    EXPECT_EQ(window->findChild<QTabWidget*>(QStringLiteral("TABS"))->currentIndex(), 0);
    EXPECT_EQ(window->rows().size(), 364u);
}

// The countries from the VetIS test double: the exchange runs on the worker
// and the window shows what it stored.
class RefsWindowDownloadTest : public RefsWindowTest
{
protected:
    void SetUp() override
    {
        RefsWindowTest::SetUp();
        vetissim::SimConfig config;
        sim = std::make_unique<vetissim::VetisSim>(config);
        ASSERT_TRUE(sim->start()) << sim->errorString();
        vetis::setEndpointBaseOverride(sim->baseUrl());
        store::Session s(m_folder.path());
        vetis::StoredVetisSettings settings(s);
        store::VetisRecord record = simSettings(*sim, kOwn);
        record.ANSWER = 1;
        ASSERT_EQ(settings.add(record), store::kOk);
    }
    void TearDown() override
    {
        vetis::clearEndpointOverrides();
        RefsWindowTest::TearDown();
    }

    std::unique_ptr<vetissim::VetisSim> sim;
};

TEST_F(RefsWindowDownloadTest, CountriesComeFromTheServiceWhileTheWindowGoesOn)
{
    auto window = open(1);
    ASSERT_TRUE(window->rows().empty());
    window->download();
    EXPECT_TRUE(window->loading());
    QElapsedTimer waited;
    waited.start();
    while (window->loading() && waited.elapsed() < 30000)
        QTest::qWait(20);
    QTest::qWait(50);
    ASSERT_FALSE(window->loading());
    ASSERT_FALSE(m_presenter.shown().empty());
    EXPECT_TRUE(lastText().startsWith(QStringLiteral("Успешно загружено записей в справочник стран: ")))
        << lastText().toStdString();
    ASSERT_FALSE(window->rows().empty());
    EXPECT_EQ(lastText(), QStringLiteral("Успешно загружено записей в справочник стран: ") +
                              QString::number(window->rows().size()));
    // The Russian Federation sorts first through its leading blank.
    EXPECT_EQ(window->rows()[0].guid, kRussia);
}

TEST_F(RefsWindowDownloadTest, TheStopButtonEndsAStalledDownloadAndChangesNothing)
{
    addRef(1, kRussia, u" Российская Федерация");
    sim->addFault({vetissim::FaultKind::Stall}); // the answer's body never comes
    auto window = open(1);
    window->download();
    ASSERT_TRUE(window->loading());
    QTest::qWait(300);
    auto* stop = window->findChild<QAbstractButton*>(QStringLiteral("cancelRun"));
    ASSERT_TRUE(stop);
    ASSERT_FALSE(stop->isHidden());
    QElapsedTimer waited;
    waited.start();
    stop->click();
    while (window->loading() && waited.elapsed() < 20000)
        QTest::qWait(20);
    EXPECT_LT(waited.elapsed(), 10000); // the stall lasts 30 s
    ASSERT_FALSE(window->loading());
    ASSERT_EQ(window->rows().size(), 1u);
    EXPECT_EQ(window->rows()[0].guid, kRussia);
}

TEST_F(RefsWindowTest, PickerHandsBackTheChosenRecord)
{
    addRef(10, refGuid(1), u"Реализация в пищу людям");
    addRef(10, refGuid(2), u"Переработка");
    auto window = open(10, {}, true);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Меркурий: Выберите запись из справочника"));
    EXPECT_FALSE(window->findChild<QLabel*>(QStringLiteral("HINT"))->isHidden());
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("HINT"))->text(),
              QStringLiteral("Для выбора записи из списка нажмите ENTER"));
    EXPECT_TRUE(window->findChild<QComboBox*>(QStringLiteral("KINDS"))->isHidden());
    window->setCurrentRow(1);
    window->choose();
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(window->chosen(), refGuid(1));
}

TEST_F(RefsWindowTest, MarkDialogTextsAndAnswers)
{
    const auto answerOf = [](int selected, const char* button, QString* question = nullptr) {
        workspace::ui::SelectMarkDialog dialog(selected);
        if (question)
            *question = dialog.findChild<QLabel*>(QStringLiteral("QUESTION"))->text();
        dialog.findChild<QPushButton*>(QString::fromLatin1(button))->click();
        return dialog.answer();
    };
    QString question;
    EXPECT_EQ(answerOf(0, "MARK3", &question), 3);
    EXPECT_EQ(question, QStringLiteral("Изменить отметку для текущей записи в списке ?"));
    EXPECT_EQ(answerOf(7, "INVERT", &question), workspace::MarkInvert);
    EXPECT_EQ(question, QStringLiteral("Изменить отметку для выбранных в списке записей ( 7 )"));
    EXPECT_EQ(answerOf(0, "UNMARK"), workspace::MarkClear);
    EXPECT_EQ(answerOf(0, "MARK1"), 1);
    EXPECT_EQ(answerOf(0, "BNO"), workspace::MarkNothing);
    workspace::ui::SelectMarkDialog dialog(0);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Изменение отметки записей"));
}

} // namespace

TEST_F(RefsWindowTest, AHeaderClickSortsByItsColumnAndTheSelectionFollowsTheRows)
{
    addUnits();
    auto window = open(9);
    auto* list = window->findChild<QTableView*>(QStringLiteral("LIST"));
    QHeaderView* header = list->horizontalHeader();
    EXPECT_TRUE(qobject_cast<lists::ui::ListHeaderView*>(header));
    header->setSortIndicator(1, Qt::DescendingOrder); // the mark, highest first
    ASSERT_EQ(window->rows().size(), 4u);
    EXPECT_EQ(window->rows()[0].guid, refGuid(2)); // mark 3
    EXPECT_EQ(window->rows()[1].guid, refGuid(3)); // mark 1
    // Equal marks keep the name order.
    EXPECT_EQ(window->rows()[2].name, QStringLiteral("килограмм"));
    EXPECT_EQ(window->rows()[3].name, QStringLiteral("тонна"));
    // Select all takes every row of the sorted list.
    window->selectAll();
    EXPECT_EQ(window->selectedGuids().size(), 4u);
    header->setSortIndicator(-1, Qt::AscendingOrder); // back to the key's order
    EXPECT_EQ(window->rows()[0].name, QStringLiteral("килограмм"));
    EXPECT_EQ(window->rows()[1].name, QStringLiteral("литр"));
}

TEST_F(RefsWindowTest, TheListKeepsItsArrangementForTheNextWindow)
{
    addUnits();
    {
        auto window = open(9);
        auto* header = window->findChild<QTableView*>(QStringLiteral("LIST"))->horizontalHeader();
        header->resizeSection(2, 123);
        header->setSectionHidden(7, true);
        header->moveSection(header->visualIndex(6), 0);
        window->findChild<QPushButton*>(QStringLiteral("BCLOSE"))->click();
    }
    // A dependent window of another kind is the same list.
    addRef(1, kRussia, u" Российская Федерация");
    auto again = open(2, kRussia);
    auto* header = again->findChild<QTableView*>(QStringLiteral("LIST"))->horizontalHeader();
    EXPECT_EQ(header->sectionSize(2), 123);
    EXPECT_TRUE(header->isSectionHidden(7));
    EXPECT_EQ(header->logicalIndex(0), 6);
    EXPECT_TRUE(again->findChild<QTableView*>(QStringLiteral("LIST"))
                    ->toolTip()
                    .endsWith(QStringLiteral("[ CTRL + MINUS / PLUS / 0 ] - масштаб")));
}
