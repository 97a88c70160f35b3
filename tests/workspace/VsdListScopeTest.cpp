// SPDX-License-Identifier: LicenseRef-Kestrom
// Which VSDs the incoming list shows, in what order, what a mask finds and
// what a local delete removes.
#include "support/TestSupport.h"

#include "platform/CodePage.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Inside.h"
#include "store/tables/Vsd.h"
#include "workspace/SearchMask.h"
#include "workspace/VsdListScope.h"
#include "workspace/VsdLocalDelete.h"
#include "workspace/VsdSearchIndex.h"

#include <QDir>
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <set>

using namespace workspace;

namespace {

constexpr const char* kOwn = "400cb70f-964e-43c0-b4a3-165de1ab3e01";
constexpr const char* kPlace = "88718c96-6f3d-48f7-b4b1-b64633be40f5";
constexpr const char* kOtherPlace = "5c1a2f3e-9b7d-4e11-8a2c-3f0d6e7b9a41";

std::string uuidOf(int n)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "00000000-0000-4000-8000-%012d", n);
    return buf;
}

struct Vsd
{
    int n;
    int date;
    int status = 1;
    int condition = 0;
    const char* product = "Говядина";
    const char* place = kPlace;
};

class VsdListScopeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(m_folder.path() + QStringLiteral("Base")));
        ASSERT_EQ(m_vsds.open(), store::kOk);
    }

    void add(const Vsd& v)
    {
        m_vsds.clear();
        store::VsdRecord& r = m_vsds.rec();
        store::setText(r.UUID, uuidOf(v.n));
        store::setText(r.CONSIGNEEHS, kOwn);
        store::setText(r.CONSIGNEEENT, v.place);
        r.DATE = v.date;
        r.CODSTATUS = static_cast<std::uint8_t>(v.status);
        r.CONDITION = static_cast<std::uint8_t>(v.condition);
        store::setZText(r.PRODITEMNAME, platform::toCp1251(QString::fromUtf8(v.product)));
        store::setZText(r.ISSUENUMBER, std::to_string(1000 + v.n));
        ASSERT_EQ(m_vsds.add(), store::kOk);
    }

    std::vector<int> shown(const VsdListScope& scope, const QString& typed = {}, VsdSort sort = {})
    {
        std::vector<std::int64_t> rows;
        EXPECT_EQ(readVsdListRows(m_vsds, scope, SearchMask(searchMask(typed)), sort, rows), store::kOk);
        std::vector<int> numbers;
        for (std::int64_t row : rows) {
            EXPECT_EQ(m_vsds.readRow(row), store::kOk);
            numbers.push_back(std::stoi(std::string(store::textOf(m_vsds.rec().UUID)).substr(24)));
        }
        return numbers;
    }

    static VsdListScope scope(VsdTab tab, int status, bool period, int from = 0, int to = 0)
    {
        return VsdListScope{kOwn, kPlace, tab, status, period, from, to};
    }

    testsupport::TempFolder m_folder;
    store::Session m_session{m_folder.path()};
    store::TypedTable<store::VsdRecord> m_vsds{m_session, store::vsdTable()};
};

TEST_F(VsdListScopeTest, TheTabsReadTheirKeyRangeOfTheWorkingEnterpriseOnly)
{
    add({1, 100, 1});
    add({2, 105, 3});
    add({3, 110, 1, 1});
    add({4, 120, 2, 2});
    add({5, 130, 1, 100});
    add({6, 106, 1, 0, "Говядина", kOtherPlace});

    EXPECT_EQ(shown(scope(VsdTab::Period, 0, true, 100, 110)), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(shown(scope(VsdTab::Period, 0, false)), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(shown(scope(VsdTab::Period, 1, true, 100, 120)), (std::vector<int>{1, 3}));
    EXPECT_EQ(shown(scope(VsdTab::Period, 1, false)), (std::vector<int>{1, 3, 5}));
    // The second and third tabs ignore the status filter and the period.
    EXPECT_EQ(shown(scope(VsdTab::InProcess, 3, true, 1, 2)), (std::vector<int>{3, 4}));
    EXPECT_EQ(shown(scope(VsdTab::Rejected, 2, true, 1, 2)), (std::vector<int>{5}));
    // Without an own entity or enterprise nothing is shown.
    VsdListScope none = scope(VsdTab::Period, 0, false);
    none.enterprise.clear();
    EXPECT_TRUE(shown(none).empty());
}

TEST_F(VsdListScopeTest, AMaskFindsCyrillicTextWhateverItsCaseAndSortsByAColumn)
{
    add({1, 100, 1, 0, "Говядина охлаждённая"});
    add({2, 101, 1, 0, "Свинина"});
    add({3, 102, 1, 0, "ГОВЯДИНА тушёная"});
    const VsdListScope all = scope(VsdTab::Period, 0, false);
    EXPECT_EQ(shown(all, QStringLiteral("  говядина ")), (std::vector<int>{1, 3}));
    EXPECT_EQ(shown(all, QStringLiteral("т?шЁн")), (std::vector<int>{3}));
    EXPECT_EQ(shown(all, QStringLiteral("1002")), (std::vector<int>{2}));
    EXPECT_EQ(shown(all, QStringLiteral("ПОИСК")), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(shown(all, QStringLiteral("баранина")).empty());

    VsdSort byName{store::vsdTable().fieldIndex("MVD:PRODITEMNAME"), true};
    // Windows-1251 bytes: upper-case letters sort before lower-case ones.
    EXPECT_EQ(shown(all, {}, byName), (std::vector<int>{2, 1, 3}));
    VsdSort byDateDown{store::vsdTable().fieldIndex("MVD:DATE"), true};
    EXPECT_EQ(shown(all, QStringLiteral("говядина"), byDateDown), (std::vector<int>{3, 1}));
}

TEST_F(VsdListScopeTest, TheKeptRangeAndTheSearchIndexGiveWhatTheTableGives)
{
    for (int n = 1; n <= 60; ++n)
        add({n, 100 + n % 9, 1, 0, n % 3 == 0 ? "Рыба мороженая" : n % 3 == 1 ? "Сыр" : "Говядина"});
    const VsdListScope all = scope(VsdTab::Period, 0, false);
    const SearchMask fish(searchMask(QStringLiteral("рыба")));
    const VsdSort byName{store::vsdTable().fieldIndex("MVD:PRODITEMNAME"), true};
    std::vector<std::int64_t> plain, cached;
    ASSERT_EQ(readVsdListRows(m_vsds, all, fish, byName, plain), store::kOk);

    // The same rows in the same order through the kept range and the index,
    // read in another order and mask first.
    VsdRangeCache cache;
    const auto index = VsdSearchIndex::build(m_folder.path(), all);
    ASSERT_TRUE(index);
    EXPECT_EQ(index->size(), 60u);
    ASSERT_EQ(readVsdListRows(m_vsds, all, SearchMask(), {}, cached, &cache, index.get()), store::kOk);
    EXPECT_EQ(cached.size(), 60u);
    ASSERT_EQ(readVsdListRows(m_vsds, all, fish, byName, cached, &cache, index.get()), store::kOk);
    EXPECT_EQ(cached, plain);
    EXPECT_EQ(cached.size(), 20u);

    // An index of another range is not used; a changed table is read again once the cache is dropped.
    const auto other = VsdSearchIndex::build(m_folder.path(), scope(VsdTab::Rejected, 0, false));
    ASSERT_EQ(readVsdListRows(m_vsds, all, fish, {}, cached, &cache, other.get()), store::kOk);
    EXPECT_EQ(cached.size(), 20u);
    add({61, 100, 1, 0, "Рыба копчёная"});
    cache.valid = false;
    ASSERT_EQ(readVsdListRows(m_vsds, all, fish, byName, cached, &cache), store::kOk);
    EXPECT_EQ(cached.size(), 21u);
}

TEST_F(VsdListScopeTest, EveryVsdOfTheRangeThatPassesTheMaskIsVisitedShownOrNot)
{
    for (int n = 1; n <= 300; ++n)
        add({n, 100 + n % 7, 1, 0, n % 3 == 0 ? "Рыба мороженая" : "Сыр"});
    std::set<std::string> found;
    ASSERT_EQ(forEachVsdInScope(m_vsds, scope(VsdTab::Period, 0, false),
                                SearchMask(searchMask(QStringLiteral("рыба"))),
                                [&](const std::string& uuid) { found.insert(uuid); }),
              store::kOk);
    EXPECT_EQ(found.size(), 100u);
    EXPECT_TRUE(found.count(uuidOf(300)));
    EXPECT_FALSE(found.count(uuidOf(1)));
}

TEST_F(VsdListScopeTest, ALocalDeleteSkipsVsdsThatAreGoneAndIsUndoneWhole)
{
    store::TypedTable<store::InsideRecord> inside(m_session, store::insideTable());
    ASSERT_EQ(inside.open(), store::kOk);
    for (int n = 1; n <= 3; ++n) {
        add({n, 100});
        for (int k = 1; k <= 2; ++k) {
            inside.clear();
            store::setText(inside.rec().UUID, uuidOf(n));
            inside.rec().VID = 1;
            inside.rec().NUMBER = k;
            ASSERT_EQ(inside.add(), store::kOk);
        }
    }
    std::int64_t count = 0;
    // A failing delete of contents (a trigger acting as a broken disk) undoes the VSDs deleted before it.
    store::Session other(m_folder.path());
    {
        store::Table probe(other, store::insideTable());
        ASSERT_EQ(probe.open(), store::kOk);
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((m_folder.path() + QStringLiteral("Base/mv04.dat")).toUtf8().constData(), &db),
              SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(
            db,
            ("CREATE TRIGGER fail_third BEFORE DELETE ON records WHEN CAST(old.\"MIN:UUID\" AS TEXT) = '" +
             uuidOf(3) + "' BEGIN SELECT RAISE(ABORT, 'disk'); END;")
                .c_str(),
            nullptr, nullptr, nullptr),
        SQLITE_OK);
    int deleted = -1;
    ASSERT_EQ(inside.count(count), store::kOk);
    EXPECT_EQ(count, 6);
    EXPECT_EQ(deleteVsdsLocally(m_session, {uuidOf(1), uuidOf(3)}, &deleted), LocalDeleteResult::Failed);
    ASSERT_EQ(inside.count(count), store::kOk);
    EXPECT_EQ(count, 6);
    ASSERT_EQ(m_vsds.count(count), store::kOk);
    EXPECT_EQ(count, 3);
    ASSERT_EQ(sqlite3_exec(db, "DROP TRIGGER fail_third", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    // Three selected, one of them no longer stored: the two others go with their contents.
    EXPECT_EQ(deleteVsdsLocally(m_session, {uuidOf(1), uuidOf(2), uuidOf(9)}, &deleted),
              LocalDeleteResult::Deleted);
    EXPECT_EQ(deleted, 2);
    ASSERT_EQ(m_vsds.count(count), store::kOk);
    EXPECT_EQ(count, 1);
    ASSERT_EQ(inside.count(count), store::kOk);
    EXPECT_EQ(count, 2);
}

} // namespace
