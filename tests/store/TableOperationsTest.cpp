// SPDX-License-Identifier: LicenseRef-Kestrom
// Records through the driver: every field type, keys, positioning and ranges.
#include "StoreTestSupport.h"
#include "support/TestSupport.h"

#include "framework/LastError.h"
#include "store/Connection.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Entity.h"
#include "store/tables/Vsd.h"

#include <QDir>
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <cstring>
#include <string>
#include <vector>

using namespace store;
using storetest::TypesRecord;

namespace {

class TableTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(m_folder.path() + QStringLiteral("Base"))); }

    testsupport::TempFolder m_folder;
    Session m_session{m_folder.path()};
};

void addType(TypedTable<TypesRecord>& t, std::string_view code, int number, std::uint8_t flag = 0,
             std::string_view note = {})
{
    t.clear();
    setText(t.rec().CODE, code);
    setZText(t.rec().NOTE, note);
    t.rec().NUMBER = number;
    t.rec().FLAG = flag;
    ASSERT_EQ(t.add(), kOk) << code;
}

std::string codeOf(const TypedTable<TypesRecord>& t)
{
    return std::string(textOf(t.rec().CODE));
}

std::vector<std::string> readCodes(TypedTable<TypesRecord>& t, int direction, int max = 1000)
{
    std::vector<std::string> out;
    while (static_cast<int>(out.size()) < max && (direction > 0 ? t.next() : t.previous()) == kOk)
        out.push_back(codeOf(t));
    return out;
}

TEST_F(TableTest, EveryFieldTypeRoundTripsWithItsPadding)
{
    TypedTable<TypesRecord> t(m_session, storetest::typesTable());
    ASSERT_EQ(t.open(), kOk);
    t.clear();
    // A blank record: texts blank, ztexts zero, numbers zero.
    EXPECT_EQ(std::string(t.rec().CODE, 10), std::string(10, ' '));
    EXPECT_EQ(std::string(t.rec().NOTE, 8), std::string(8, '\0'));

    setText(t.rec().CODE, "\xC0\xE1 c"); // Windows-1251 bytes with an inner blank
    // A ztext with trailing blanks keeps them; its capacity is n - 1 bytes.
    std::memcpy(t.rec().NOTE, "ab  \0\0\0\0", 8);
    t.rec().FLAG = 255;
    t.rec().SMALL = -32768;
    t.rec().USMALL = 65535;
    t.rec().NUMBER = -2147483647 - 1;
    t.rec().AMOUNT = 1234.5625;
    const TypesRecord written = t.rec();
    ASSERT_EQ(t.add(), kOk);

    t.clear();
    setText(t.rec().CODE, "\xC0\xE1 c");
    ASSERT_EQ(t.fetch("TST:BYCODE"), kOk);
    EXPECT_EQ(std::memcmp(&t.rec(), &written, sizeof written), 0);

    // A ztext filled to the last byte without its zero is stored cut to its
    // capacity and comes back terminated.
    t.clear();
    setText(t.rec().CODE, "full");
    std::memcpy(t.rec().NOTE, "12345678", 8);
    ASSERT_EQ(t.add(), kOk);
    t.clear();
    setText(t.rec().CODE, "full");
    ASSERT_EQ(t.fetch("TST:BYCODE"), kOk);
    EXPECT_EQ(std::string(t.rec().NOTE, 8), std::string("1234567\0", 8));

    // Trailing zeros of a text(n) are padding like blanks.
    t.clear();
    std::memcpy(t.rec().CODE, "zz\0\0\0\0\0\0\0\0", 10);
    ASSERT_EQ(t.add(), kOk);
    t.clear();
    setText(t.rec().CODE, "zz");
    ASSERT_EQ(t.fetch("TST:BYCODE"), kOk);
    EXPECT_EQ(std::string(t.rec().CODE, 10), "zz        ");
}

TEST_F(TableTest, LongVsdRecordRoundTripsAndIsFoundByEveryKey)
{
    TypedTable<VsdRecord> vsd(m_session, vsdTable());
    ASSERT_EQ(vsd.open(), kOk);
    vsd.clear();
    setText(vsd.rec().UUID, "3f1c2d4e-0000-4000-8000-000000000001");
    setText(vsd.rec().CONSIGNEEHS, "hs");
    setText(vsd.rec().CONSIGNEEENT, "ent");
    vsd.rec().DATE = 80000;
    vsd.rec().CODSTATUS = 1;
    setZText(vsd.rec().PRODITEMNAME, std::string(300, 'x')); // cut to 255 by the setter
    vsd.rec().KOLVO = 12.75;
    vsd.rec().REAL_06 = -1.5;
    const VsdRecord written = vsd.rec();
    ASSERT_EQ(vsd.add(), kOk);

    for (const KeyDef& key : vsdTable().keys) {
        vsd.clear();
        setText(vsd.rec().UUID, "3f1c2d4e-0000-4000-8000-000000000001");
        setText(vsd.rec().CONSIGNEEHS, "hs");
        setText(vsd.rec().CONSIGNEEENT, "ent");
        vsd.rec().DATE = 80000;
        vsd.rec().CODSTATUS = 1;
        ASSERT_EQ(vsd.fetch(key), kOk) << key.name;
        EXPECT_EQ(std::memcmp(&vsd.rec(), &written, sizeof written), 0) << key.name;
    }
    vsd.clear();
    setText(vsd.rec().UUID, "3f1c2d4e-0000-4000-8000-000000000002");
    EXPECT_EQ(vsd.fetch("MVD:BYUUID"), kRecordNotFound);
    EXPECT_EQ(framework::lastError().code, kRecordNotFound);
}

TEST_F(TableTest, DuplicateOfUniqueKeyIsRejectedAndNothingIsHalfWritten)
{
    TypedTable<TypesRecord> t(m_session, storetest::typesTable());
    ASSERT_EQ(t.open(), kOk);
    addType(t, "A", 1, 1, "n");
    addType(t, "B", 2, 1, "m");

    // Same CODE: the primary key refuses it.
    t.clear();
    setText(t.rec().CODE, "A");
    t.rec().FLAG = 9;
    EXPECT_EQ(t.add(), kDuplicateKey);
    EXPECT_EQ(framework::lastError().code, kDuplicateKey);
    // Different CODE but the same (FLAG, NOTE, CODE)? Impossible; same FLAG and
    // NOTE with another CODE is fine.
    addType(t, "C", 3, 1, "n");
    std::int64_t n = 0;
    ASSERT_EQ(t.count(n), kOk);
    EXPECT_EQ(n, 3);

    // A put that would duplicate a key leaves the stored record as it was.
    t.clear();
    setText(t.rec().CODE, "B");
    ASSERT_EQ(t.fetch("TST:BYCODE"), kOk);
    setText(t.rec().CODE, "A");
    t.rec().NUMBER = 77;
    EXPECT_EQ(t.put(), kDuplicateKey);
    t.clear();
    setText(t.rec().CODE, "B");
    ASSERT_EQ(t.fetch("TST:BYCODE"), kOk);
    EXPECT_EQ(int{t.rec().NUMBER}, 2); // a copy: the packed field is not aligned
}

TEST_F(TableTest, OnlyTheTablesOwnKeysAreUsed)
{
    TypedTable<TypesRecord> t(m_session, storetest::typesTable());
    ASSERT_EQ(t.open(), kOk);
    addType(t, "A", 1);
    const KeyDef& foreign = *vsdTable().key("MVD:BYUUID");
    const KeyDef copy = *storetest::typesTable().key("TST:BYCODE");
    for (const KeyDef* key : {&foreign, &copy}) {
        t.clear();
        setText(t.rec().CODE, "A");
        EXPECT_EQ(t.fetch(*key), kKeyUnavailable) << key->name;
        EXPECT_EQ(framework::lastError().code, kKeyUnavailable);
        EXPECT_EQ(t.set(*key), kKeyUnavailable) << key->name;
        EXPECT_EQ(t.next(), kRecordNotAvailable);
    }
    EXPECT_EQ(t.fetch("TST:NOSUCHKEY"), kKeyUnavailable);
    t.clear();
    setText(t.rec().CODE, "A");
    EXPECT_EQ(t.fetch(*storetest::typesTable().key("TST:BYCODE")), kOk);
}

TEST_F(TableTest, PutAndDeleteNeedARecordReadFirst)
{
    TypedTable<TypesRecord> t(m_session, storetest::typesTable());
    EXPECT_EQ(t.add(), kFileNotOpen);
    ASSERT_EQ(t.open(), kOk);
    EXPECT_EQ(t.put(), kRecordNotAvailable);
    EXPECT_EQ(t.deleteRecord(), kRecordNotAvailable);
    addType(t, "A", 1);
    t.rec().NUMBER = 5;
    EXPECT_EQ(t.put(), kOk); // the record just added is the current one
    ASSERT_EQ(t.deleteRecord(), kOk);
    EXPECT_EQ(t.deleteRecord(), kRecordNotAvailable);
    std::int64_t n = -1;
    ASSERT_EQ(t.count(n), kOk);
    EXPECT_EQ(n, 0);
}

TEST_F(TableTest, RangeOfOneConsigneeEnterpriseInDateOrder)
{
    TypedTable<VsdRecord> vsd(m_session, vsdTable());
    ASSERT_EQ(vsd.open(), kOk);
    struct Row
    {
        const char* uuid;
        const char* hs;
        const char* ent;
        int date;
    };
    const Row rows[] = {
        {"u-5", "hs1", "entB", 100}, {"u-4", "hs1", "entA", 300}, {"u-3", "hs1", "entA", 200},
        {"u-2", "hs1", "entA", 200}, {"u-1", "hs1", "entA", 100}, {"u-0", "hs0", "entA", 150},
        {"u-9", "hs1", "entA", 250},
    };
    for (const Row& r : rows) {
        vsd.clear();
        setText(vsd.rec().UUID, r.uuid);
        setText(vsd.rec().CONSIGNEEHS, r.hs);
        setText(vsd.rec().CONSIGNEEENT, r.ent);
        vsd.rec().DATE = r.date;
        ASSERT_EQ(vsd.add(), kOk);
    }
    auto walk = [&](int startDate, int components, int direction) {
        vsd.clear();
        setText(vsd.rec().CONSIGNEEHS, "hs1");
        setText(vsd.rec().CONSIGNEEENT, "entA");
        vsd.rec().DATE = startDate;
        EXPECT_EQ(vsd.set("MVD:BYDATE2", components), kOk);
        std::vector<std::string> out;
        while ((direction > 0 ? vsd.next() : vsd.previous()) == kOk &&
               textOf(vsd.rec().CONSIGNEEHS) == "hs1" && textOf(vsd.rec().CONSIGNEEENT) == "entA")
            out.push_back(std::string(textOf(vsd.rec().UUID)));
        return out;
    };
    using V = std::vector<std::string>;
    // The enterprise's range, two VSDs of the same date ordered by UUID.
    EXPECT_EQ(walk(0, 2, +1), (V{"u-1", "u-2", "u-3", "u-9", "u-4"}));
    EXPECT_EQ(walk(0, 2, -1), (V{"u-4", "u-9", "u-3", "u-2", "u-1"}));
    // From a date on (three components), and backward from a date down.
    EXPECT_EQ(walk(200, 3, +1), (V{"u-2", "u-3", "u-9", "u-4"}));
    EXPECT_EQ(walk(200, 3, -1), (V{"u-3", "u-2", "u-1"}));
}

TEST_F(TableTest, NextAndPreviousContinueFromTheRecordReadLast)
{
    TypedTable<TypesRecord> t(m_session, storetest::typesTable());
    ASSERT_EQ(t.open(), kOk);
    Transaction fill(m_session, {&t});
    ASSERT_EQ(fill.start(), kOk);
    for (int i = 0; i < 150; ++i) {
        char code[8];
        std::snprintf(code, sizeof code, "k%03d", i);
        addType(t, code, i);
    }
    ASSERT_EQ(fill.commit(), kOk);
    t.clear();
    setText(t.rec().CODE, "k100");
    ASSERT_EQ(t.set("TST:BYCODE"), kOk);
    ASSERT_EQ(t.next(), kOk);
    EXPECT_EQ(codeOf(t), "k100");
    ASSERT_EQ(t.next(), kOk);
    EXPECT_EQ(codeOf(t), "k101");
    ASSERT_EQ(t.previous(), kOk);
    EXPECT_EQ(codeOf(t), "k100");
    ASSERT_EQ(t.previous(), kOk);
    EXPECT_EQ(codeOf(t), "k099");
    // Backward across several prefetch batches to the first record, then the end.
    const auto back = readCodes(t, -1);
    ASSERT_EQ(back.size(), 99u);
    EXPECT_EQ(back.front(), "k098");
    EXPECT_EQ(back.back(), "k000");
    EXPECT_EQ(t.previous(), kRecordNotFound);
    ASSERT_EQ(t.next(), kOk);
    EXPECT_EQ(codeOf(t), "k001");

    // A record inserted ahead of the position by this thread is seen.
    addType(t, "k0015", 1000);
    t.clear();
    setText(t.rec().CODE, "k001");
    ASSERT_EQ(t.set("TST:BYCODE"), kOk);
    ASSERT_EQ(t.next(), kOk);
    addType(t, "k001A", 1001);
    ASSERT_EQ(t.next(), kOk);
    EXPECT_EQ(codeOf(t), "k0015");
    ASSERT_EQ(t.next(), kOk);
    EXPECT_EQ(codeOf(t), "k001A");

    // set() with no components starts at either end.
    ASSERT_EQ(t.set("TST:BYCODE", 0), kOk);
    ASSERT_EQ(t.previous(), kOk);
    EXPECT_EQ(codeOf(t), "k149");
    EXPECT_EQ(t.set("TST:NOKEY"), kKeyUnavailable);
}

TEST_F(TableTest, DuplicatesOfAKeyComeInTheOrderTheyWereAdded)
{
    TypedTable<TypesRecord> t(m_session, storetest::typesTable());
    ASSERT_EQ(t.open(), kOk);
    // 200 records of NUMBER 7 (several prefetch batches) between other numbers.
    Transaction fill(m_session, {&t});
    ASSERT_EQ(fill.start(), kOk);
    addType(t, "first", 6);
    for (int i = 0; i < 200; ++i) {
        char code[8];
        std::snprintf(code, sizeof code, "d%03d", 199 - i); // codes descending: order is by addition
        addType(t, code, 7);
    }
    addType(t, "last", 8);
    ASSERT_EQ(fill.commit(), kOk);

    t.clear();
    t.rec().NUMBER = 7;
    ASSERT_EQ(t.set("TST:BYNUMBER"), kOk);
    const auto forward = readCodes(t, +1);
    ASSERT_EQ(forward.size(), 201u);
    EXPECT_EQ(forward[0], "d199");
    EXPECT_EQ(forward[199], "d000");
    EXPECT_EQ(forward[200], "last");

    t.rec().NUMBER = 7;
    ASSERT_EQ(t.set("TST:BYNUMBER"), kOk);
    const auto backward = readCodes(t, -1);
    ASSERT_EQ(backward.size(), 201u);
    EXPECT_EQ(backward[0], "d000");
    EXPECT_EQ(backward[199], "d199");
    EXPECT_EQ(backward[200], "first");

    // Deleting while walking: every second duplicate goes, the walk goes on.
    t.rec().NUMBER = 7;
    ASSERT_EQ(t.set("TST:BYNUMBER"), kOk);
    int seen = 0;
    while (t.next() == kOk && t.rec().NUMBER == 7) {
        if (seen++ % 2 == 0) {
            ASSERT_EQ(t.deleteRecord(), kOk);
        }
    }
    EXPECT_EQ(seen, 200);
    std::int64_t n = 0;
    ASSERT_EQ(t.count(n), kOk);
    EXPECT_EQ(n, 102);
}

TEST_F(TableTest, DeletingTheRecordsOfAKeyValueLeavesTheirNeighboursAndRollsBack)
{
    TypedTable<TypesRecord> t(m_session, storetest::typesTable());
    ASSERT_EQ(t.open(), kOk);
    addType(t, "one", 1);
    for (const char* code : {"two-a", "two-b", "two-c"})
        addType(t, code, 2);
    addType(t, "three", 3);
    const auto allCodes = [&] {
        t.clear();
        EXPECT_EQ(t.set("TST:BYNUMBER", 0), kOk);
        return readCodes(t, +1);
    };

    // Undone with the transaction it belongs to.
    {
        Transaction change(m_session, {&t});
        ASSERT_EQ(change.start(), kOk);
        t.clear();
        t.rec().NUMBER = 2;
        ASSERT_EQ(t.deleteEqual("TST:BYNUMBER", 1), kOk);
        EXPECT_EQ(allCodes(), (std::vector<std::string>{"one", "three"}));
        change.rollback();
    }
    EXPECT_EQ(allCodes().size(), 5u);

    t.clear();
    t.rec().NUMBER = 2;
    ASSERT_EQ(t.deleteEqual("TST:BYNUMBER", 1), kOk);
    EXPECT_EQ(allCodes(), (std::vector<std::string>{"one", "three"}));
    // A value no record has is no error; a range needs a component.
    t.rec().NUMBER = 9;
    EXPECT_EQ(t.deleteEqual("TST:BYNUMBER", 1), kOk);
    EXPECT_EQ(t.deleteEqual("TST:BYNUMBER", 0), kKeyUnavailable);
    EXPECT_EQ(allCodes().size(), 2u);
}

TEST_F(TableTest, RecordsWithChildrenAreNotDeletedByKeyValue)
{
    // Deleting an entity deletes its enterprise links: that needs the record
    // by record way, which a bulk delete would skip.
    TypedTable<EntityRecord> entities(m_session, entityTable());
    ASSERT_EQ(entities.open(), kOk);
    entities.clear();
    setText(entities.rec().GUID, "e1");
    ASSERT_EQ(entities.add(), kOk);
    entities.clear();
    setText(entities.rec().GUID, "e1");
    EXPECT_EQ(entities.deleteEqual("MEN:BYGUID", 1), kKeyUnavailable);
    std::int64_t n = 0;
    ASSERT_EQ(entities.count(n), kOk);
    EXPECT_EQ(n, 1);
}

TEST_F(TableTest, TextComponentsCompareAsBytes)
{
    TypedTable<TypesRecord> t(m_session, storetest::typesTable());
    ASSERT_EQ(t.open(), kOk);
    // "ab" < "ab!" < "abc" < "\xC0" (Cyrillic A is above every ASCII byte).
    for (const char* code : {"\xC0", "abc", "ab", "ab!"})
        addType(t, code, 1);
    ASSERT_EQ(t.set("TST:BYCODE", 0), kOk);
    EXPECT_EQ(readCodes(t, +1), (std::vector<std::string>{"ab", "ab!", "abc", "\xC0"}));
    // Composite key over FLAG, NOTE (ztext), CODE: partial positioning on FLAG.
    addType(t, "z1", 2, 5, "b");
    addType(t, "z2", 2, 5, "a");
    addType(t, "z3", 2, 6, "a");
    t.clear();
    t.rec().FLAG = 5;
    ASSERT_EQ(t.set("TST:BYFLAG", 1), kOk);
    EXPECT_EQ(readCodes(t, +1), (std::vector<std::string>{"z2", "z1", "z3"}));
}

// A lock met in the middle of a read (a shared in-memory table whose writer
// got in between) is simulated by a function in the rows' view that fails
// with SQLITE_LOCKED once, on a chosen row.
struct LockOnRow
{
    int failOnCall = 0;
    int calls = 0;
};

void lockOnRow(sqlite3_context* ctx, int, sqlite3_value**)
{
    auto* lock = static_cast<LockOnRow*>(sqlite3_user_data(ctx));
    if (++lock->calls == lock->failOnCall) {
        sqlite3_result_error_code(ctx, SQLITE_LOCKED);
        return;
    }
    sqlite3_result_int(ctx, 1);
}

TEST_F(TableTest, LockAfterTheFirstRowIsReportedNotReadAgainFromTheStart)
{
    const QString file = m_folder.path() + QStringLiteral("Base/tt01.dat");
    {
        Session s(m_folder.path());
        TypedTable<TypesRecord> t(s, storetest::typesTable());
        ASSERT_EQ(t.open(), kOk);
        for (const char* code : {"A", "B", "C", "D", "E"})
            addType(t, code, 1);
    }
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &raw), SQLITE_OK);
    LockOnRow unused;
    sqlite3_create_function(raw, "lock_on_row", 0, SQLITE_UTF8, &unused, lockOnRow, nullptr, nullptr);
    const int rc =
        sqlite3_exec(raw,
                     "ALTER TABLE records RENAME TO stored;"
                     "CREATE VIEW records AS SELECT rowid AS rowid, * FROM stored WHERE lock_on_row()",
                     nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    ASSERT_EQ(rc, SQLITE_OK);

    Session s(m_folder.path());
    TypedTable<TypesRecord> t(s, storetest::typesTable());
    ASSERT_EQ(t.open(), kOk);
    LockOnRow lock{3};
    ASSERT_EQ(sqlite3_create_function(s.connection().db(), "lock_on_row", 0, SQLITE_UTF8, &lock, lockOnRow,
                                      nullptr, nullptr),
              SQLITE_OK);
    ASSERT_EQ(t.set("TST:BYCODE", 0), kOk);
    std::vector<std::string> codes;
    int code = kOk;
    while ((code = t.next()) == kOk && codes.size() < 20)
        codes.push_back(codeOf(t));
    // Two rows had been read when the lock came: the read reports the lock
    // instead of starting over and handing out A and B a second time.
    EXPECT_EQ(code, kFileLocked);
    EXPECT_EQ(framework::lastError().code, kFileLocked);
    EXPECT_TRUE(codes.empty()) << codes.size();
    // Once the lock is gone the range is read from where it stood, each row once.
    EXPECT_EQ(readCodes(t, +1), (std::vector<std::string>{"A", "B", "C", "D", "E"}));
}

} // namespace
