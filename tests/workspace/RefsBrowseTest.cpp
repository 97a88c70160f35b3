// SPDX-License-Identifier: LicenseRef-Kestrom
// What the dictionaries window lists, where a record leads, and its marks and
// deletions, each kept whole or not at all.
#include "support/TestSupport.h"

#include "platform/CodePage.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Refs.h"
#include "workspace/RefsBrowse.h"
#include "workspace/SearchMask.h"

#include <QDir>
#include <gtest/gtest.h>

#include <sqlite3.h>

using namespace workspace;

namespace {

constexpr const char* kRussia = "74a3cbb1-56fa-94f3-ab3f-e8db4940d96b";
constexpr const char* kBelarus = "9b5e2fe8-4c1f-4a3b-9e0a-2a4e6f1d7c11";

std::string guidOf(int n)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "00000000-0000-4000-8000-%012d", n);
    return buf;
}

class RefsBrowseTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(m_folder.path() + QStringLiteral("Base")));
        ASSERT_EQ(m_refs.open(), store::kOk);
    }

    void add(int kind, const std::string& guid, const char* name, const std::string& parent = {},
             int mark = 0)
    {
        m_refs.clear();
        m_refs.rec().VID = static_cast<std::uint8_t>(kind);
        store::setText(m_refs.rec().GUID, guid);
        store::setZText(m_refs.rec().PARENT, parent);
        store::setText(m_refs.rec().NAME, platform::toCp1251(QString::fromUtf8(name)));
        m_refs.rec().MARK = static_cast<std::uint8_t>(mark);
        ASSERT_EQ(m_refs.add(), store::kOk);
    }

    int markOf(const std::string& guid)
    {
        m_refs.clear();
        store::setText(m_refs.rec().GUID, guid);
        EXPECT_EQ(m_refs.fetch("MRE:BYGUID"), store::kOk);
        return +m_refs.rec().MARK;
    }

    std::vector<QString> names(int kind, const std::string& parent, const QString& typed = {},
                               int mark = kAnyMark)
    {
        std::vector<QString> out;
        for (const RefRow& row : listRefs(m_session, kind, parent, searchMask(typed), mark))
            out.push_back(row.name);
        // The window's way, row ids first and records when shown, lists the same.
        std::vector<std::int64_t> ids;
        EXPECT_EQ(listRefIds(m_refs, kind, parent, searchMask(typed), mark, ids), store::kOk);
        std::vector<QString> shown;
        for (std::int64_t id : ids)
            if (const std::optional<RefRow> row = readRefRow(m_refs, id))
                shown.push_back(row->name);
        EXPECT_EQ(shown, out) << typed.toStdString() << " mark " << mark;
        return out;
    }

    // A trigger that refuses every write of that kind on the record of `guid`,
    // as a broken disk would.
    void refuse(const char* what, const std::string& guid)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((m_folder.path() + QStringLiteral("Base/mv07.dat")).toUtf8().constData(), &db),
                  SQLITE_OK);
        const std::string sql = std::string("CREATE TRIGGER refuse BEFORE ") + what +
                                " ON records WHEN CAST(old.\"MRE:GUID\" AS TEXT) = '" + guid +
                                "' BEGIN SELECT RAISE(ABORT, 'disk'); END;";
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }

    testsupport::TempFolder m_folder;
    store::Session m_session{m_folder.path()};
    store::TypedTable<store::RefsRecord> m_refs{m_session, store::refsTable()};
};

TEST(RefsBrowseTexts, TitlesKindsAndWhereARecordLeads)
{
    EXPECT_EQ(refsKindTitle(1), QStringLiteral("Меркурий: Страны"));
    EXPECT_EQ(refsKindTitle(6), QStringLiteral("Меркурий: Населённые пункты по региону"));
    EXPECT_EQ(refsKindTitle(15), QStringLiteral("Меркурий: Роли пользователя"));
    EXPECT_EQ(refsKindTitle(16), QStringLiteral("Меркурий: Vid = 16 ?!"));
    EXPECT_EQ(refsKindTitle(0), QStringLiteral("Меркурий: Vid = 0 ?!"));

    QStringList choices;
    for (const RefsKindChoice& c : independentRefsKinds())
        choices << c.text + QStringLiteral("|#%1").arg(c.kind, 2, 10, QLatin1Char('0'));
    EXPECT_EQ(choices.join(u'|'),
              QStringLiteral(" Страны|#01| Методы исследования|#07| Заболевания|#08| Единицы "
                             "измерения|#09| Назначения груза|#10| Типы продукции|#11| Виды "
                             "упаковки|#14"));

    EXPECT_EQ(followedKind(1, 1), 2);
    EXPECT_EQ(followedKind(4, 1), 5);
    EXPECT_EQ(followedKind(6, 1), 5);
    EXPECT_EQ(followedKind(11, 1), 12);
    EXPECT_EQ(followedKind(12, 1), 13);
    EXPECT_EQ(followedKind(2, 2), 6);
    // A street, a product kind and the flat dictionaries lead nowhere.
    for (int kind : {5, 7, 8, 9, 10, 13, 14, 15})
        EXPECT_FALSE(followedKind(kind, 1)) << kind;
    EXPECT_FALSE(followedKind(1, 2));
    EXPECT_FALSE(followedKind(6, 2));

    EXPECT_EQ(refsDownloadRefusal(15),
              QStringLiteral("Для загрузки ролей - обновите справочник пользователей ХС !"));
    EXPECT_EQ(refsDownloadRefusal(16), QStringLiteral("Неизвестный номер справочника: 16 !"));
    for (int kind = 1; kind <= 14; ++kind)
        EXPECT_TRUE(refsDownloadRefusal(kind).isEmpty()) << kind;

    EXPECT_TRUE(isRefsGuid(11, "11-05"));
    EXPECT_FALSE(isRefsGuid(12, "11-05"));
    EXPECT_TRUE(isRefsGuid(12, guidOf(1)));
    EXPECT_FALSE(isRefsGuid(11, guidOf(1)));
}

TEST(RefsBrowseTexts, MarkAnswers)
{
    for (int old = 0; old <= 4; ++old) {
        for (int answer = 1; answer <= 4; ++answer)
            EXPECT_EQ(markAfter(answer, old), answer);
        EXPECT_EQ(markAfter(MarkInvert, old), old == 0 ? 1 : 0);
        EXPECT_EQ(markAfter(MarkClear, old), 0);
        EXPECT_EQ(markAfter(MarkNothing, old), old);
    }
}

TEST_F(RefsBrowseTest, ListsOneKindAndParentInNameOrderThroughMaskAndMark)
{
    add(2, guidOf(1), "Тверская обл.", kRussia, 2);
    add(2, guidOf(2), "Алтайский край", kRussia);
    add(2, guidOf(3), "Минская обл.", kBelarus);
    add(1, kRussia, " Российская Федерация");
    add(6, guidOf(4), "Тверь", guidOf(1));

    EXPECT_EQ(names(2, kRussia),
              (std::vector<QString>{QStringLiteral("Алтайский край"), QStringLiteral("Тверская обл.")}));
    EXPECT_EQ(names(2, kBelarus), std::vector<QString>{QStringLiteral("Минская обл.")});
    EXPECT_EQ(names(1, {}), std::vector<QString>{QStringLiteral(" Российская Федерация")});
    // The mask looks at the upper-cased name, in Cyrillic too.
    EXPECT_EQ(names(2, kRussia, QStringLiteral("обл")),
              std::vector<QString>{QStringLiteral("Тверская обл.")});
    EXPECT_EQ(names(2, kRussia, QStringLiteral("АЛТ?Й")),
              std::vector<QString>{QStringLiteral("Алтайский край")});
    EXPECT_TRUE(names(2, kRussia, QStringLiteral("минск")).empty());
    // The second tab: unmarked, one flag.
    EXPECT_EQ(names(2, kRussia, {}, 0), std::vector<QString>{QStringLiteral("Алтайский край")});
    EXPECT_EQ(names(2, kRussia, {}, 2), std::vector<QString>{QStringLiteral("Тверская обл.")});
    EXPECT_TRUE(names(2, kRussia, {}, 3).empty());
    EXPECT_EQ(names(2, kRussia, QStringLiteral("обл"), 2),
              std::vector<QString>{QStringLiteral("Тверская обл.")});
    EXPECT_TRUE(names(2, kRussia, QStringLiteral("обл"), 0).empty());
}

TEST_F(RefsBrowseTest, InversionOverMixedMarksAndAFailedMarkChangesNothing)
{
    add(9, guidOf(1), "кг", {}, 0);
    add(9, guidOf(2), "л", {}, 3);
    add(9, guidOf(3), "шт", {}, 1);
    add(9, guidOf(4), "т", {}, 0);
    int changed = -1;
    ASSERT_EQ(markRefs(m_session, {guidOf(1), guidOf(2), guidOf(3), guidOf(9)}, MarkInvert, &changed),
              RefsChange::Done);
    EXPECT_EQ(changed, 3);
    EXPECT_EQ(markOf(guidOf(1)), 1);
    EXPECT_EQ(markOf(guidOf(2)), 0);
    EXPECT_EQ(markOf(guidOf(3)), 0);
    EXPECT_EQ(markOf(guidOf(4)), 0);

    // The third update fails: the two before it are undone.
    {
        store::Table probe(m_session, store::refsTable());
        ASSERT_EQ(probe.open(), store::kOk);
    }
    refuse("UPDATE", guidOf(3));
    EXPECT_EQ(markRefs(m_session, {guidOf(1), guidOf(2), guidOf(3), guidOf(4)}, 4, &changed),
              RefsChange::Failed);
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(markOf(guidOf(1)), 1);
    EXPECT_EQ(markOf(guidOf(2)), 0);
    EXPECT_EQ(markOf(guidOf(3)), 0);
    EXPECT_EQ(markOf(guidOf(4)), 0);
    // A record whose mark would not change is not written, so the refusing trigger is not reached.
    ASSERT_EQ(markRefs(m_session, {guidOf(1), guidOf(3)}, MarkClear, &changed), RefsChange::Done);
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(markOf(guidOf(1)), 0);
}

TEST_F(RefsBrowseTest, DeleteAndClearAreWholeOrNothing)
{
    add(2, guidOf(1), "Тверская обл.", kRussia);
    add(2, guidOf(2), "Алтайский край", kRussia);
    add(2, guidOf(3), "Минская обл.", kBelarus);
    add(2, guidOf(4), "Псковская обл.", kRussia);

    refuse("DELETE", guidOf(4));
    int deleted = -1;
    EXPECT_EQ(deleteRefs(m_session, {guidOf(1), guidOf(4)}, &deleted), RefsChange::Failed);
    EXPECT_EQ(names(2, kRussia).size(), 3u);
    EXPECT_EQ(clearRefs(m_session, 2, kRussia, &deleted), RefsChange::Failed);
    EXPECT_EQ(names(2, kRussia).size(), 3u);

    ASSERT_EQ(deleteRefs(m_session, {guidOf(1), guidOf(9)}, &deleted), RefsChange::Done);
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(names(2, kRussia),
              (std::vector<QString>{QStringLiteral("Алтайский край"), QStringLiteral("Псковская обл.")}));
}

TEST_F(RefsBrowseTest, ClearTakesOnlyTheKindAndParentShown)
{
    add(2, guidOf(1), "Тверская обл.", kRussia);
    add(2, guidOf(2), "Алтайский край", kRussia);
    add(2, guidOf(3), "Минская обл.", kBelarus);
    add(1, kRussia, " Российская Федерация");
    int deleted = -1;
    ASSERT_EQ(clearRefs(m_session, 2, kRussia, &deleted), RefsChange::Done);
    EXPECT_EQ(deleted, 2);
    EXPECT_TRUE(names(2, kRussia).empty());
    EXPECT_EQ(names(2, kBelarus).size(), 1u);
    EXPECT_EQ(names(1, {}).size(), 1u);
}

} // namespace

namespace {

// Sorted row ids of a listed range, as names; `code` fills MRE:STR40_01.
class RefsSortTest : public RefsBrowseTest
{
protected:
    void addCoded(const std::string& guid, const char* name, const char* code, int mark = 0)
    {
        add(9, guid, name, {}, mark);
        m_refs.clear();
        store::setText(m_refs.rec().GUID, guid);
        ASSERT_EQ(m_refs.fetch("MRE:BYGUID"), store::kOk);
        store::setZText(m_refs.rec().STR40_01, code);
        ASSERT_EQ(m_refs.put(), store::kOk);
    }
    std::vector<QString> sorted(RefsSortField field, bool descending, const QString& typed = {},
                                int mark = kAnyMark)
    {
        std::vector<std::int64_t> ids;
        EXPECT_EQ(listRefIds(m_refs, 9, {}, searchMask(typed), mark, ids), store::kOk);
        EXPECT_EQ(sortRefIds(m_refs, 9, {}, mark, field, descending, ids), store::kOk);
        std::vector<QString> out;
        for (std::int64_t id : ids)
            if (const std::optional<RefRow> row = readRefRow(m_refs, id))
                out.push_back(row->name);
        // The GUIDs come in the same order without reading the records.
        std::vector<std::string> guids;
        EXPECT_TRUE(refGuidsOf(m_refs, 9, {}, mark, ids, guids));
        EXPECT_EQ(guids.size(), ids.size());
        for (std::size_t i = 0; i < ids.size() && i < guids.size(); ++i)
            EXPECT_EQ(guids[i], readRefRow(m_refs, ids[i])->guid);
        return out;
    }
};

} // namespace

TEST_F(RefsSortTest, SortsByOneFieldStablyOverAMaskedOrMarkedList)
{
    addCoded(guidOf(1), "тонна", "168");
    addCoded(guidOf(2), " Килограмм", "166", 1);
    addCoded(guidOf(3), "литр", "112", 1);
    addCoded(guidOf(4), "штука", "796");
    addCoded(guidOf(5), "Грамм", "163");
    addCoded(guidOf(6), "упаковка", ""); // no code

    const auto q = [](const char* s) { return QString::fromUtf8(s); };
    EXPECT_EQ(sorted(RefsSortField::Code, false),
              (std::vector<QString>{q("упаковка"), q("литр"), q("Грамм"), q(" Килограмм"), q("тонна"),
                                    q("штука")}));
    EXPECT_EQ(sorted(RefsSortField::Code, true),
              (std::vector<QString>{q("штука"), q("тонна"), q(" Килограмм"), q("Грамм"), q("литр"),
                                    q("упаковка")}));
    // Names without their leading blank and case.
    EXPECT_EQ(sorted(RefsSortField::Name, false),
              (std::vector<QString>{q("Грамм"), q(" Килограмм"), q("литр"), q("тонна"), q("упаковка"),
                                    q("штука")}));
    // Equal marks keep the key's (name) order, in either direction.
    EXPECT_EQ(sorted(RefsSortField::Mark, true),
              (std::vector<QString>{q(" Килограмм"), q("литр"), q("Грамм"), q("тонна"), q("упаковка"),
                                    q("штука")}));
    // Only the listed rows: a mask, a mark.
    EXPECT_EQ(sorted(RefsSortField::Code, true, QStringLiteral("*ГРАММ")),
              (std::vector<QString>{q(" Килограмм"), q("Грамм")}));
    EXPECT_EQ(sorted(RefsSortField::Code, false, {}, 1), (std::vector<QString>{q("литр"), q(" Килограмм")}));

    // A row gone since it was listed: no GUIDs are made up for it.
    std::vector<std::int64_t> ids;
    ASSERT_EQ(listRefIds(m_refs, 9, {}, {}, kAnyMark, ids), store::kOk);
    m_refs.clear();
    store::setText(m_refs.rec().GUID, guidOf(4));
    ASSERT_EQ(m_refs.fetch("MRE:BYGUID"), store::kOk);
    ASSERT_EQ(m_refs.deleteRecord(), store::kOk);
    std::vector<std::string> guids;
    EXPECT_FALSE(refGuidsOf(m_refs, 9, {}, kAnyMark, ids, guids));
    EXPECT_TRUE(guids.empty());
}
