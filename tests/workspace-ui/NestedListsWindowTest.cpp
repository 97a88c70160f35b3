// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/NestedListsWindow.h"

#include "WindowData.h"
#include "lists/ui/ListHeaderView.h"

#include "store/tables/Inside.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace windowtest;
using workspace::ui::NestedListsWindow;
using workspace::ui::openNestedLists;

namespace {

constexpr const char* kProducerPlace = "2f6a3c1e-7d4b-4a9e-8c2f-1b3d5e7f9a10";
constexpr const char* kUnknownPlace = "9e8d7c6b-5a49-4382-b1c0-d9e8f7a6b5c4";

struct InsideSeed
{
    int vsd = 0;
    int kind = 1;
    int number = 1;
    const char16_t* text250 = u"";
    const char16_t* text120 = u"";
    const char* guid1 = "";
    const char* guid2 = "";
    int byte1 = 0;
    int byte2 = 0;
    int long1 = 0;
    const char* text40 = "";
};

class NestedListsWindowTest : public WindowData
{
protected:
    void SetUp() override
    {
        WindowData::SetUp();
        addOwnEntity();
        {
            store::Session s(m_folder.path());
            store::TypedTable<store::EnterpriseRecord> enterprises(s, store::enterpriseTable());
            ASSERT_EQ(enterprises.open(), store::kOk);
            enterprises.clear();
            store::setText(enterprises.rec().GUID, kProducerPlace);
            store::setText(enterprises.rec().NAME, platform::toCp1251(u"Мясокомбинат \"Заря\""));
            ASSERT_EQ(enterprises.add(), store::kOk);
        }
        addVsds({{.n = 1}, {.n = 2, .product = "Свинина"}});
        addInside({
            // VSD 1: a document, producers with and without a name, route points.
            {.vsd = 1, .kind = 2, .number = 1, .byte1 = 30, .byte2 = 9, .text40 = "A1"},
            {.vsd = 1, .kind = 2, .number = 2, .byte1 = 1, .byte2 = 1, .text40 = "B2"},
            {.vsd = 1, .kind = 3, .number = 1, .text250 = u"", .guid1 = kProducerPlace, .text40 = "PRODUCER"},
            {.vsd = 1,
             .kind = 3,
             .number = 2,
             .text250 = u"",
             .guid1 = kUnknownPlace,
             .text40 = "COLD_STORE"},
            {.vsd = 1, .kind = 3, .number = 3, .text250 = u"ИП Петров", .guid1 = kUnknownPlace},
            {.vsd = 1, .kind = 7, .number = 1, .text250 = u"Иванов И.И.", .text40 = "CONFIRMED"},
            {.vsd = 1,
             .kind = 8,
             .number = 1,
             .text250 = u"Станция Сортировочная",
             .guid2 = kProducerPlace,
             .long1 = 1},
            {.vsd = 1, .kind = 8, .number = 2, .text250 = u"Порт Восточный", .byte1 = 1, .long1 = 2},
            // VSD 2: one batch identifier.
            {.vsd = 2, .kind = 1, .number = 1, .text120 = u"ПАРТИЯ-77"},
        });
    }

    void addInside(const std::vector<InsideSeed>& seeds)
    {
        store::Session s(m_folder.path());
        store::TypedTable<store::InsideRecord> inside(s, store::insideTable());
        ASSERT_EQ(inside.open(), store::kOk);
        for (const InsideSeed& seed : seeds) {
            inside.clear();
            store::InsideRecord& r = inside.rec();
            store::setText(r.UUID, uuidOf(seed.vsd));
            r.VID = seed.kind;
            r.NUMBER = seed.number;
            store::setText(r.GUID1, seed.guid1);
            store::setText(r.GUID2, seed.guid2);
            store::setZText(r.STR250_01, platform::toCp1251(seed.text250));
            store::setZText(r.STR120_01, platform::toCp1251(seed.text120));
            r.BYTE_01 = static_cast<std::uint8_t>(seed.byte1);
            r.BYTE_02 = static_cast<std::uint8_t>(seed.byte2);
            r.LONG_01 = seed.long1;
            if (seed.kind == 7) {
                store::setZText(r.STR40_04, seed.text40);
                store::setZText(r.STR40_03, "2024-03-01T10:15:00");
            } else {
                store::setZText(r.STR40_01, seed.text40);
            }
            ASSERT_EQ(inside.add(), store::kOk);
        }
    }

    NestedListsWindow* open(int vsd, const std::string& mode = "1")
    {
        return openNestedLists(nullptr, m_folder.path(), kOwn, mode, uuidOf(vsd));
    }

    static QTableView* list(QWidget* w, int kind)
    {
        return w->findChild<QTableView*>(QStringLiteral("LIST%1").arg(kind));
    }
    static QString cell(QWidget* w, int kind, int row, int column)
    {
        QAbstractItemModel* m = list(w, kind)->model();
        return m->data(m->index(row, column)).toString();
    }
    static int rows(QWidget* w, int kind) { return list(w, kind)->model()->rowCount(); }
};

TEST_F(NestedListsWindowTest, ShowsEachKindWithItsTexts)
{
    QPointer<NestedListsWindow> w = open(1);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Меркурий: Вложенные списки"));
    EXPECT_EQ(w->findChild<QLineEdit*>(QStringLiteral("NAME"))->text(),
              QStringLiteral("ВСД № ВСД / 100001 от 19.05.2024 г., UUID: ") +
                  QString::fromStdString(uuidOf(1)));
    EXPECT_EQ(w->findChild<QLineEdit*>(QStringLiteral("PRODUCT"))->text(),
              QStringLiteral("Говядина охлаждённая"));
    EXPECT_FALSE(w->isModal());

    // Referenced documents: codes outside the tables name themselves.
    ASSERT_EQ(rows(w, 2), 2);
    EXPECT_EQ(cell(w, 2, 0, 3), QStringLiteral("Неизвестный тип ТТН: 30"));
    EXPECT_EQ(cell(w, 2, 0, 4), QStringLiteral("Неизвестный тип отношения: 9"));
    EXPECT_EQ(cell(w, 2, 1, 3), QStringLiteral("Товарно-транспортная накладная"));

    // Producers: a missing name comes from the local enterprise table.
    ASSERT_EQ(rows(w, 3), 3);
    EXPECT_EQ(cell(w, 3, 0, 0), QStringLiteral("Мясокомбинат \"Заря\""));
    EXPECT_EQ(cell(w, 3, 0, 1),
              QStringLiteral("Является производителем продукции (в том числе выращивание)"));
    EXPECT_EQ(cell(w, 3, 1, 0), QStringLiteral("<Нет в справочнике площадок>"));
    EXPECT_EQ(cell(w, 3, 2, 0), QStringLiteral("ИП Петров"));

    // The status change's stamp.
    EXPECT_EQ(cell(w, 7, 0, 0), QStringLiteral("01.03.2024"));
    EXPECT_EQ(cell(w, 7, 0, 1), QStringLiteral("10:15:00"));
    EXPECT_EQ(cell(w, 7, 0, 4), QStringLiteral("Иванов И.И."));

    // Route points: the enterprise's name when the point names one.
    ASSERT_EQ(rows(w, 8), 2);
    EXPECT_EQ(cell(w, 8, 0, 1), QStringLiteral("Мясокомбинат \"Заря\""));
    EXPECT_EQ(cell(w, 8, 0, 2), QStringLiteral("Нет"));
    EXPECT_EQ(cell(w, 8, 1, 1), QStringLiteral("Порт Восточный"));
    EXPECT_EQ(cell(w, 8, 1, 2), QStringLiteral("Да"));

    // Kinds without rows, and another VSD's rows, stay empty.
    EXPECT_EQ(rows(w, 1), 0);
    EXPECT_EQ(rows(w, 9), 0);
    w->close();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(w); // deleted on close
}

TEST_F(NestedListsWindowTest, ClosesAtOnceForAMissingVsdOrAnotherMode)
{
    EXPECT_EQ(open(1, "2"), nullptr);
    EXPECT_EQ(open(1, ""), nullptr);
    {
        // Deleted after the list showed it.
        store::Session s(m_folder.path());
        store::TypedTable<store::VsdRecord> vsds(s, store::vsdTable());
        ASSERT_EQ(vsds.open(), store::kOk);
        vsds.clear();
        store::setText(vsds.rec().UUID, uuidOf(1));
        ASSERT_EQ(vsds.fetch("MVD:BYUUID"), store::kOk);
        ASSERT_EQ(vsds.deleteRecord(), store::kOk);
    }
    EXPECT_EQ(open(1), nullptr);
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<NestedListsWindow*>(top) && top->isVisible());
    // Nothing was said: the window simply does not stay.
    EXPECT_EQ(m_presenter.count(), 0u);
}

TEST_F(NestedListsWindowTest, WindowsForDifferentVsdsStandSideBySide)
{
    std::unique_ptr<NestedListsWindow> first(open(1));
    std::unique_ptr<NestedListsWindow> second(open(2));
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->isVisible() && second->isVisible());
    EXPECT_EQ(rows(first.get(), 1), 0);
    EXPECT_EQ(rows(second.get(), 1), 1);
    EXPECT_EQ(cell(second.get(), 1, 0, 0), QStringLiteral("ПАРТИЯ-77"));
    EXPECT_EQ(second->findChild<QLineEdit*>(QStringLiteral("PRODUCT"))->text(), QStringLiteral("Свинина"));

    // A window's choices are its own.
    first->chooseKind(8);
    EXPECT_EQ(first->kind(), 8);
    EXPECT_EQ(second->kind(), 1);
    auto* tabs = first->findChild<QTabWidget*>();
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_EQ(tabs->isTabVisible(i), i == 7) << i;
    first->chooseKind(42); // outside the kinds: the last list
    EXPECT_EQ(first->kind(), 9);

    // The main list goes on writing while both windows are open.
    addVsds({{.n = 3}});
    std::unique_ptr<NestedListsWindow> third(open(3));
    EXPECT_TRUE(third);
}

TEST_F(NestedListsWindowTest, MaskSearchAndHeaderSort)
{
    std::unique_ptr<NestedListsWindow> w(open(1));
    ASSERT_TRUE(w);
    auto* search = w->findChild<QLineEdit*>(QStringLiteral("F"));
    auto* clear = w->findChild<QWidget*>(QStringLiteral("CLRFIND"));
    EXPECT_TRUE(clear->isHidden());

    // The mask looks at what the rows show, names from the enterprise table
    // and code texts included.
    search->setText(QStringLiteral("заря"));
    Q_EMIT search->returnPressed();
    EXPECT_EQ(rows(w.get(), 3), 1);
    EXPECT_EQ(rows(w.get(), 8), 1);
    EXPECT_EQ(rows(w.get(), 2), 0);
    EXPECT_FALSE(clear->isHidden());
    search->setText(QStringLiteral("неизвестный тип ТТН*30"));
    Q_EMIT search->returnPressed();
    EXPECT_EQ(rows(w.get(), 2), 1);
    EXPECT_EQ(rows(w.get(), 3), 0);

    qobject_cast<QToolButton*>(clear)->click();
    EXPECT_EQ(search->text(), QString());
    EXPECT_EQ(rows(w.get(), 3), 3);
    EXPECT_TRUE(clear->isHidden());

    // A header click sorts, a second one turns the order round.
    w->chooseKind(3);
    QHeaderView* header = list(w.get(), 3)->horizontalHeader();
    Q_EMIT header->sectionClicked(0);
    EXPECT_EQ(cell(w.get(), 3, 0, 0), QStringLiteral("<Нет в справочнике площадок>"));
    EXPECT_EQ(cell(w.get(), 3, 2, 0), QStringLiteral("Мясокомбинат \"Заря\""));
    Q_EMIT header->sectionClicked(0);
    EXPECT_EQ(cell(w.get(), 3, 0, 0), QStringLiteral("Мясокомбинат \"Заря\""));
    // A new mask keeps the order.
    search->setText(QStringLiteral("?"));
    Q_EMIT search->returnPressed();
    EXPECT_EQ(cell(w.get(), 3, 0, 0), QStringLiteral("Мясокомбинат \"Заря\""));
}

TEST_F(NestedListsWindowTest, AnUnreadableTableIsReportedOnce)
{
    const auto damage = [this](const char* file) {
        QFile f(m_folder.file(QStringLiteral("Base/") + QLatin1String(file)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray(4096, 'x'));
    };
    // The contents cannot be read: the window stays with empty lists.
    damage("mv04.dat");
    std::unique_ptr<NestedListsWindow> w(open(1));
    ASSERT_TRUE(w);
    EXPECT_EQ(m_presenter.count(), 1u);
    for (int kind = 1; kind <= 9; ++kind)
        EXPECT_EQ(rows(w.get(), kind), 0);
    w.reset();

    // The VSD cannot be read: no window, and the user is told.
    m_presenter.clear();
    damage("mv08.dat");
    EXPECT_EQ(open(1), nullptr);
    EXPECT_EQ(m_presenter.count(), 1u);
}

} // namespace

TEST_F(NestedListsWindowTest, EachListKeepsItsOwnArrangement)
{
    int designedSecond = 0;
    {
        std::unique_ptr<NestedListsWindow> window(open(2));
        ASSERT_TRUE(window);
        QHeaderView* producers = list(window.get(), 3)->horizontalHeader();
        ASSERT_GE(producers->count(), 3);
        producers->resizeSection(0, 211);
        producers->setSectionHidden(1, true);
        designedSecond = list(window.get(), 2)->horizontalHeader()->sectionSize(0);
        window->close();
    }
    std::unique_ptr<NestedListsWindow> again(open(2));
    ASSERT_TRUE(again);
    QHeaderView* header = list(again.get(), 3)->horizontalHeader();
    EXPECT_EQ(header->sectionSize(0), 211);
    EXPECT_TRUE(header->isSectionHidden(1));
    EXPECT_EQ(list(again.get(), 2)->horizontalHeader()->sectionSize(0), designedSecond);
    // The status changes keep their date and time in place, the producers nothing.
    EXPECT_EQ(lists::ui::fixedColumnCount(*list(again.get(), 7)->horizontalHeader()), 2);
    EXPECT_EQ(lists::ui::fixedColumnCount(*header), 0);
}
