// SPDX-License-Identifier: LicenseRef-Kestrom
// Remembered list formats: a table view opened, changed and closed as the
// user does it, across runs (the in-memory formats of a run and the
// list-format file written at exit).
#include "lists/ui/ListFormat.h"
#include "framework/MessageBox.h"
#include "framework/ProcessSettings.h"
#include "framework/RecordingPresenter.h"
#include "lists/ListFormatStore.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/BrwMem.h"
#include "store/tables/BrwSet.h"

#include "support/TestSupport.h"

#include "framework/PrintQString.h"
#include <QApplication>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

using namespace lists;
using namespace lists::ui;

namespace {

const QString kList = QStringLiteral("Brw_m_VSD2");

// A window's list as the program designs it.
struct DesignedList
{
    QStandardItemModel model;
    QTableView view;

    explicit DesignedList(const QStringList& captions = {QStringLiteral("Номер"), QStringLiteral("Дата"),
                                                         QStringLiteral("Товар"), QStringLiteral("Кол-во")},
                          std::vector<int> widths = {80, 90, 200, 60})
        : model(20, static_cast<int>(captions.size()))
    {
        model.setHorizontalHeaderLabels(captions);
        view.setModel(&model);
        for (int i = 0; i < static_cast<int>(widths.size()); ++i)
            view.setColumnWidth(i, widths[static_cast<std::size_t>(i)]);
    }
    QHeaderView& header() { return *view.horizontalHeader(); }
    std::vector<int> order()
    {
        std::vector<int> o;
        for (int v = 0; v < header().count(); ++v)
            o.push_back(header().logicalIndex(v));
        return o;
    }
};

class ListFormatTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        framework::setMessagePresenter(&m_presenter);
        framework::process::setUiFontSize(11);
        session = std::make_unique<store::Session>(folder.path(), lfFile());
        forgetRun();
    }
    void TearDown() override
    {
        forgetRun();
        session.reset();
        framework::setMessagePresenter(nullptr);
    }
    QString lfFile() const { return folder.file(QStringLiteral("lf.dat")); }

    // The formats of this run are process-wide: every test starts without.
    void forgetRun()
    {
        store::Session s(folder.path(), lfFile());
        store::Table mem(s, store::brwMemTable());
        ASSERT_EQ(mem.open(), store::kOk);
        ASSERT_EQ(mem.deleteAll(), store::kOk);
    }
    std::int64_t rows(const store::TableDef& def)
    {
        store::Table t(*session, def);
        EXPECT_EQ(t.open(), store::kOk);
        std::int64_t n = -1;
        EXPECT_EQ(t.count(n), store::kOk);
        return n;
    }
    std::optional<store::BrwSetRecord> fileRecord(const QString& id)
    {
        store::TypedTable<store::BrwSetRecord> t(*session, store::brwSetTable());
        EXPECT_EQ(t.open(), store::kOk);
        t.clear();
        store::setZText(t.rec().IDBROWSE, id.toStdString());
        if (t.fetch("BRW:BYID") != store::kOk)
            return std::nullopt;
        return t.rec();
    }
    void putFileRecord(const QString& id, const std::string& designed, const std::string& current,
                       const ListAppearance& a)
    {
        store::TypedTable<store::BrwSetRecord> t(*session, store::brwSetTable());
        ASSERT_EQ(t.open(), store::kOk);
        t.clear();
        store::setZText(t.rec().IDBROWSE, id.toStdString());
        store::setZText(t.rec().DEFFORMAT, designed);
        store::setZText(t.rec().CURFORMAT, current);
        t.rec().FSETUP = static_cast<std::uint8_t>(a.setup);
        t.rec().GRIDCOLOR = static_cast<std::uint8_t>(a.gridColour);
        t.rec().BARCOLOR = static_cast<std::uint8_t>(a.barColour);
        t.rec().HLINE = static_cast<std::uint8_t>(a.rowHeight);
        t.rec().FONTSIZE = static_cast<std::uint8_t>(a.fontSize);
        t.rec().FONTCOD = static_cast<std::uint8_t>(a.font);
        t.rec().WHEELSCROLL = static_cast<std::uint8_t>(a.wheelStep);
        ASSERT_EQ(t.add(), store::kOk);
    }
    void runSqlOnFile(const char* sql)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(lfFile().toUtf8().constData(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    }
    // The user's arrangement: the goods first, the date hidden, the number wider.
    static void arrange(DesignedList& list)
    {
        list.header().moveSection(2, 0);
        list.header().setSectionHidden(1, true);
        list.header().resizeSection(0, 130);
    }
    // As arranged, with the widths the zoom gave the number and the goods.
    static void expectArranged(DesignedList& list, int numberWidth = 130, int goodsWidth = 200)
    {
        EXPECT_EQ(list.order(), (std::vector<int>{2, 0, 1, 3}));
        EXPECT_TRUE(list.header().isSectionHidden(1));
        EXPECT_EQ(list.header().sectionSize(0), numberWidth);
        EXPECT_EQ(list.header().sectionSize(2), goodsWidth);
    }
    void forgetFile()
    {
        store::Table file(*session, store::brwSetTable());
        ASSERT_EQ(file.open(), store::kOk);
        ASSERT_EQ(file.deleteAll(), store::kOk);
    }
    static void expectDesigned(DesignedList& list, std::vector<int> widths = {80, 90, 200, 60})
    {
        EXPECT_EQ(list.order(), (std::vector<int>{0, 1, 2, 3}));
        for (int i = 0; i < list.header().count(); ++i) {
            EXPECT_FALSE(list.header().isSectionHidden(i)) << i;
            EXPECT_EQ(list.header().sectionSize(i), widths[static_cast<std::size_t>(i)]) << i;
        }
    }

    testsupport::TempFolder folder;
    framework::RecordingPresenter m_presenter;
    std::unique_ptr<store::Session> session;
};

TEST_F(ListFormatTest, AFormatComesBackInTheNextRunUntilTheProgramDesignsTheListDifferently)
{
    {
        DesignedList list;
        ListFormat* format = attachListFormat(&list.view, kList, *session);
        ASSERT_NE(format, nullptr);
        EXPECT_TRUE(list.view.toolTip().endsWith(QStringLiteral("[ CTRL + MINUS / PLUS / 0 ] - масштаб")));
        arrange(list);
        ASSERT_TRUE(format->zoom(1));
        format->close();
        EXPECT_EQ(rows(store::brwSetTable()), 0); // the file is written at exit only
    }
    EXPECT_EQ(writeBackListFormats(*session, m_presenter), WriteBackResult::Written);
    EXPECT_EQ(rows(store::brwMemTable()), 0);
    EXPECT_EQ(m_presenter.count(), 0u);

    // The next run, same design: the arrangement and the zoom are back.
    {
        DesignedList list;
        ListFormat* format = attachListFormat(&list.view, kList, *session);
        expectArranged(list, 142, 218); // widened with the font: 12 / 11
        EXPECT_EQ(format->appearance().fontSize, 12);
        EXPECT_EQ(list.view.font().pointSize(), 12);
        format->close();
    }
    // Nothing changed: the write-back leaves the record as it was.
    EXPECT_EQ(writeBackListFormats(*session, m_presenter), WriteBackResult::Written);
    const std::string firstDesign = std::string(store::ztextOf(fileRecord(kList)->DEFFORMAT));

    // Another scale of the program, or a new version, gives the goods column
    // another width: the same columns, so the arrangement and the zoom stay,
    // the goods follow the design's proportion (218 * 250 / 200), and the new
    // design is written at exit.
    {
        DesignedList list({QStringLiteral("Номер"), QStringLiteral("Дата"), QStringLiteral("Товар"),
                           QStringLiteral("Кол-во")},
                          {80, 90, 250, 60});
        const std::string designed = layoutText(list.header());
        ListFormat* format = attachListFormat(&list.view, kList, *session);
        expectArranged(list, 142, 273);
        EXPECT_EQ(format->appearance().fontSize, 12);
        EXPECT_EQ(format->designedLayout(), designed);
        format->close();
    }
    EXPECT_EQ(writeBackListFormats(*session, m_presenter), WriteBackResult::Written);
    const auto rescaled = fileRecord(kList);
    ASSERT_TRUE(rescaled);
    EXPECT_NE(std::string(store::ztextOf(rescaled->DEFFORMAT)), firstDesign);

    // A renamed column is another design: the list opens as designed and the
    // old record is replaced at exit.
    {
        DesignedList list({QStringLiteral("Номер"), QStringLiteral("Дата"), QStringLiteral("Продукция"),
                           QStringLiteral("Кол-во")},
                          {80, 90, 250, 60});
        ListFormat* format = attachListFormat(&list.view, kList, *session);
        expectDesigned(list, {80, 90, 250, 60});
        EXPECT_EQ(format->appearance().setup, 0);
        EXPECT_EQ(format->appearance().fontSize, 11);
        format->close();
    }
    EXPECT_EQ(writeBackListFormats(*session, m_presenter), WriteBackResult::Written);
    const auto replaced = fileRecord(kList);
    ASSERT_TRUE(replaced);
    EXPECT_EQ(store::ztextOf(replaced->DEFFORMAT), store::ztextOf(replaced->CURFORMAT));
    EXPECT_EQ(rows(store::brwSetTable()), 1);

    // So is a column the program shows hidden now, or in another order.
    {
        DesignedList list({QStringLiteral("Номер"), QStringLiteral("Дата"), QStringLiteral("Продукция"),
                           QStringLiteral("Кол-во")},
                          {80, 90, 250, 60});
        list.header().moveSection(3, 0);
        const std::string designed = layoutText(list.header());
        ListFormat* format = attachListFormat(&list.view, kList, *session);
        EXPECT_EQ(format->designedLayout(), designed);
        EXPECT_EQ(list.order(), (std::vector<int>{3, 0, 1, 2}));
    }
}

TEST_F(ListFormatTest, AListOpenedTwiceInOneRunKeepsTheChangesOfTheFirstOpening)
{
    {
        QWidget window;
        auto* list = new DesignedList;
        list->view.setParent(&window);
        attachListFormat(&list->view, kList, *session);
        arrange(*list);
        QTest::keyClick(&list->view, Qt::Key_Minus, Qt::ControlModifier);
        window.close(); // closing the window keeps the format
        delete list;
    }
    EXPECT_EQ(rows(store::brwMemTable()), 1);
    EXPECT_EQ(rows(store::brwSetTable()), 0);

    DesignedList again;
    ListFormat* format = attachListFormat(&again.view, kList, *session);
    expectArranged(again, 118, 182); // narrowed with the font: 10 / 11
    EXPECT_EQ(format->appearance().fontSize, 10);
    EXPECT_EQ(format->appearance().rowHeight, 8);
    // The tool tip names the keys once, after the list's own tip.
    again.view.setToolTip(QStringLiteral("Список ВСД"));
    format->open();
    EXPECT_EQ(again.view.toolTip(), QStringLiteral("Список ВСД"));

    // The reset gives the design back but keeps hidden columns hidden, and
    // the appearance takes its defaults.
    format->reset();
    EXPECT_EQ(again.order(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(again.header().isSectionHidden(1));
    EXPECT_EQ(again.header().sectionSize(0), 80);
    EXPECT_EQ(format->appearance(), defaultAppearance(11));
}

TEST_F(ListFormatTest, StoredSettingsOutsideTheirRangesTakeTheirDefaults)
{
    DesignedList probe;
    const std::string design = layoutText(probe.header());
    ListAppearance stored;
    stored.setup = 1;
    stored.gridColour = 36;
    stored.barColour = 14;
    stored.rowHeight = 5;
    stored.fontSize = 41;
    stored.font = 6;
    stored.wheelStep = 0;
    putFileRecord(kList, design, design, stored);

    DesignedList list;
    ListFormat* format = attachListFormat(&list.view, kList, *session);
    ListAppearance expected;
    expected.setup = 1;
    expected.gridColour = 9;
    expected.barColour = 14;
    expected.rowHeight = 9;
    expected.fontSize = 11;
    expected.font = 1;
    expected.wheelStep = 40;
    EXPECT_EQ(format->appearance(), expected);
    // Bar colour 14 (blue) carries white text.
    EXPECT_EQ(list.view.palette().color(QPalette::Active, QPalette::HighlightedText), QColor(Qt::white));
    EXPECT_EQ(list.view.palette().color(QPalette::Active, QPalette::Highlight), QColor(0, 0, 255));

    // With the additional settings off every value is a default, whatever is stored.
    stored = ListAppearance{0, 20, 20, 30, 30, 3, 100};
    EXPECT_EQ(checkedAppearance(stored, 11), defaultAppearance(11));
    EXPECT_EQ(defaultAppearance(10).gridColour, 10);
    EXPECT_EQ(defaultAppearance(12).rowHeight, 10);
    EXPECT_EQ(defaultAppearance(12).fontSize, 12);
}

TEST_F(ListFormatTest, ZoomStopsAtItsLimitsAndTheWidthsFollowIt)
{
    DesignedList probe;
    const std::string design = layoutText(probe.header());
    ListAppearance stored{1, 0, 0, 20, 40, 2, 40};
    putFileRecord(kList, design, design, stored);

    DesignedList list;
    ListFormat* format = attachListFormat(&list.view, kList, *session);
    EXPECT_EQ(list.view.font().family(), QStringLiteral("Calibri"));
    EXPECT_FALSE(format->zoom(1)); // font size 40: no further
    EXPECT_EQ(format->appearance().fontSize, 40);
    EXPECT_EQ(list.header().sectionSize(2), 200);

    QTest::keyClick(&list.view, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(format->appearance().fontSize, 39);
    EXPECT_EQ(format->appearance().rowHeight, 19);
    EXPECT_EQ(list.header().sectionSize(2), 195);

    // Out stops as soon as the row height reaches 8.
    for (int i = 0; i < 40; ++i)
        format->zoom(-1);
    EXPECT_EQ(format->appearance().rowHeight, 8);
    EXPECT_EQ(format->appearance().fontSize, 28);
    EXPECT_FALSE(format->zoom(-1));
    EXPECT_GE(list.header().sectionSize(3), 1);

    // CTRL + 0 gives the list its design back: the default size, the designed
    // order and widths; a hidden column stays hidden.
    list.header().moveSection(3, 0);
    list.header().setSectionHidden(1, true);
    QTest::keyClick(&list.view, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(format->appearance().fontSize, 11);
    EXPECT_EQ(format->appearance().rowHeight, 9);
    EXPECT_FALSE(format->zoom(0));
    EXPECT_EQ(list.order(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(list.header().sectionSize(2), 200);
    EXPECT_TRUE(list.header().isSectionHidden(1));

    // A list never set up zooms from the defaults.
    ListAppearance fresh;
    ASSERT_TRUE(zoomAppearance(fresh, 1, 11));
    EXPECT_EQ(fresh.setup, 1);
    EXPECT_EQ(fresh.fontSize, 12);
    EXPECT_EQ(fresh.rowHeight, 10);
}

TEST_F(ListFormatTest, TheWheelStepSetsTheRowsScrolledANotch)
{
    DesignedList probe;
    const std::string design = layoutText(probe.header());
    putFileRecord(kList, design, design, ListAppearance{1, 0, 0, 10, 11, 1, 200});
    DesignedList list;
    list.model.setRowCount(200);
    list.view.resize(400, 200);
    list.view.show();
    ListFormat* format = attachListFormat(&list.view, kList, *session);
    const auto notchDown = [&list] {
        const QPointF at(10, 10);
        QWheelEvent wheel(at, list.view.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list.view.viewport(), &wheel);
        return list.view.rowAt(0);
    };
    ASSERT_EQ(list.view.rowAt(0), 0);
    EXPECT_EQ(notchDown(), 1); // 200: one row
    EXPECT_EQ(format->appearance().wheelStep, 200);

    forgetRun();
    forgetFile();
    putFileRecord(kList, design, design, ListAppearance{1, 0, 0, 10, 11, 1, 40});
    format->open();
    EXPECT_EQ(notchDown(), 4); // 40: three rows
}

TEST_F(ListFormatTest, AFailingRecordOfTheWriteBackKeepsNone)
{
    for (const QString& id : {QStringLiteral("Brw_A"), QStringLiteral("Brw_B")}) {
        DesignedList list;
        ListFormat* format = attachListFormat(&list.view, id, *session);
        arrange(list);
        format->close();
    }
    // The file refuses its second record, as a full disk would.
    EXPECT_EQ(rows(store::brwSetTable()), 0);
    runSqlOnFile("CREATE TRIGGER full_disk BEFORE INSERT ON records "
                 "WHEN (SELECT count(*) FROM records) >= 1 BEGIN SELECT RAISE(ABORT, 'disk full'); END");

    EXPECT_EQ(writeBackListFormats(*session, m_presenter), WriteBackResult::Failed);
    EXPECT_EQ(rows(store::brwSetTable()), 0);
    EXPECT_EQ(rows(store::brwMemTable()), 0);
    ASSERT_EQ(m_presenter.count(), 1u);
    EXPECT_EQ(m_presenter.shown().front().caption, QStringLiteral("Сообщение"));
    EXPECT_EQ(m_presenter.shown().front().text,
              QStringLiteral("Не удалось записать настройки форматов списков !"));

    // With the run's formats gone there is nothing more to write.
    EXPECT_EQ(writeBackListFormats(*session, m_presenter), WriteBackResult::NothingToWrite);
    EXPECT_EQ(m_presenter.count(), 1u);
}

TEST_F(ListFormatTest, AFileLockedByAnotherProgramIsReportedAndNothingIsWritten)
{
    {
        DesignedList list;
        attachListFormat(&list.view, kList, *session)->close();
    }
    store::Session other(folder.path(), lfFile());
    store::Table file(other, store::brwSetTable());
    ASSERT_EQ(file.open(), store::kOk);
    store::Transaction holding(other, {&file}, store::kListFormatLockTimeoutSeconds);
    ASSERT_EQ(holding.start(), store::kOk);

    EXPECT_EQ(writeBackListFormats(*session, m_presenter), WriteBackResult::NoAccess);
    holding.rollback();
    ASSERT_EQ(m_presenter.count(), 1u);
    EXPECT_EQ(m_presenter.shown().front().text,
              QStringLiteral("Нет доступа для записи настроек форматов списков !"));
    EXPECT_EQ(rows(store::brwMemTable()), 0);
    EXPECT_EQ(rows(store::brwSetTable()), 0);
}

TEST_F(ListFormatTest, ADamagedOrForeignStoredLayoutFallsBackToTheDesign)
{
    DesignedList probe;
    const std::string design = layoutText(probe.header());
    const std::string fingerprint = design.substr(6, 16);
    const std::vector<std::string> damaged = {
        "AAAA/wAAAAAAAAABAAAAAQAAAAAB",                       // another program's header state
        "ZL1;4;" + fingerprint + ";2:200,0:130,1:h",          // a column missing
        "ZL1;4;" + fingerprint + ";2:200,0:130,0:h,3:60",     // a column twice
        "ZL1;4;" + fingerprint + ";2:200,0:0,1:h,3:60",       // a width of 0
        "ZL1;4;" + fingerprint + ";2:200,0:13x,1:h,3:60",     // not a number
        "ZL1;4;" + fingerprint + ";2:200,7:130,1:h,3:60",     // no such column
        "ZL1;5;" + fingerprint + ";2:200,0:130,1:h,3:60,4:1", // other columns
        "ZL1;4;0123456789abcdef;2:200,0:130,1:h,3:60",        // other captions
        "ZL1;4;" + fingerprint,                               // cut short
    };
    for (const std::string& current : damaged) {
        SCOPED_TRACE(current);
        forgetRun();
        forgetFile();
        putFileRecord(kList, design, current, ListAppearance{1, 0, 0, 12, 13, 1, 40});
        DesignedList list;
        ListFormat* format = attachListFormat(&list.view, kList, *session);
        expectDesigned(list);
        EXPECT_EQ(format->appearance().fontSize, 13); // the appearance is still taken
        format->close();
        EXPECT_EQ(writeBackListFormats(*session, m_presenter), WriteBackResult::Written);
        EXPECT_EQ(store::ztextOf(fileRecord(kList)->CURFORMAT), design); // repaired at exit
    }
    // The same columns in the user's order are taken.
    forgetRun();
    forgetFile();
    putFileRecord(kList, design, "ZL1;4;" + fingerprint + ";2:200,0:130,1:h,3:60", ListAppearance{});
    DesignedList list;
    attachListFormat(&list.view, kList, *session);
    expectArranged(list);
    EXPECT_EQ(m_presenter.count(), 0u);
}

} // namespace
