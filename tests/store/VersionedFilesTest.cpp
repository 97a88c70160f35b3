// SPDX-License-Identifier: LicenseRef-Kestrom
// Table files record the version of their field dictionary: older ones are
// upgraded in place (all or nothing), newer ones refused, and a file that is
// only read is never upgraded.
#include "StoreTestSupport.h"
#include "support/TestSupport.h"

#include "framework/LastError.h"
#include "store/DictionaryFingerprint.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/TableSchema.h"
#include "store/tables/Place.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

using namespace store;

namespace {

// t_Grow as it was first written ...
#define ZANVO_GR1_FIELDS(X)                                                                                  \
    X(CODE, "GRW:CODE", Text, 10)                                                                            \
    X(NOTE, "GRW:NOTE", ZText, 8)                                                                            \
    X(NUMBER, "GRW:NUMBER", I16, 2)                                                                          \
    X(OLD, "GRW:OLD", U8, 1)

// ... and its next version: NOTE narrower, NUMBER wider, OLD gone, three new
// fields, one more key.
#define ZANVO_GR2_FIELDS(X)                                                                                  \
    X(CODE, "GRW:CODE", Text, 10)                                                                            \
    X(FLAG, "GRW:FLAG", U8, 1)                                                                               \
    X(NOTE, "GRW:NOTE", ZText, 6)                                                                            \
    X(NUMBER, "GRW:NUMBER", I32, 4)                                                                          \
    X(AMOUNT, "GRW:AMOUNT", F64, 8)                                                                          \
    X(TITLE, "GRW:TITLE", Text, 20)

#pragma pack(push, 1)
struct Grow1
{
    ZANVO_GR1_FIELDS(ZANVO_RECORD_MEMBER)
};
struct Grow2
{
    ZANVO_GR2_FIELDS(ZANVO_RECORD_MEMBER)
};
#pragma pack(pop)

#define X(m, n, t, s) ZANVO_FIELD_DEF(Grow1, m, n, t, s)
constexpr FieldDef kFields1[] = {ZANVO_GR1_FIELDS(X)};
#undef X
#define X(m, n, t, s) ZANVO_FIELD_DEF(Grow2, m, n, t, s)
constexpr FieldDef kFields2[] = {ZANVO_GR2_FIELDS(X)};
#undef X

constexpr KeyDef kKeys1[] = {
    {"GRW:BYCODE", "By code", true, true, 1, {0}},
    {"GRW:BYNUMBER", "By number", false, false, 1, {2}},
};
constexpr KeyDef kKeys2[] = {
    {"GRW:BYCODE", "By code", true, true, 1, {0}},
    {"GRW:BYNUMBER", "By number", false, false, 1, {3}},
    {"GRW:BYFLAG", "By flag", false, false, 2, {1, 0}},
};
// Version 2 as another branch might have made it: the number key unique.
constexpr KeyDef kKeysUnique[] = {
    {"GRW:BYCODE", "By code", true, true, 1, {0}},
    {"GRW:BYNUMBER", "By number", true, false, 1, {3}},
};

constexpr const char* kFile = "Base/tg01.dat";
constexpr std::uint64_t kV1 = dictionaryFingerprint("t_Grow", Storage::File, kFields1, kKeys1);
constexpr std::uint64_t kV2 = dictionaryFingerprint("t_Grow", Storage::File, kFields2, kKeys2);
constexpr std::uint64_t kV2Unique = dictionaryFingerprint("t_Grow", Storage::File, kFields2, kKeysUnique);
constexpr std::uint64_t kLayouts1[] = {kV1};
constexpr std::uint64_t kLayouts2[] = {kV1, kV2};
constexpr std::uint64_t kLayoutsUnique[] = {kV1, kV2Unique};

constexpr TableDef kGrow1{"t_Grow", "GRW", kFile, Storage::File, sizeof(Grow1), kFields1, kKeys1, kLayouts1};
constexpr TableDef kGrow2{"t_Grow", "GRW", kFile, Storage::File, sizeof(Grow2), kFields2, kKeys2, kLayouts2};
constexpr TableDef kGrowUnique{"t_Grow",      "GRW",    kFile,       Storage::File,
                               sizeof(Grow2), kFields2, kKeysUnique, kLayoutsUnique};

// The sealed table, before and after its login got wider, its counter a
// wider type and a new field.
#define ZANVO_SL1_FIELDS(X)                                                                                  \
    X(GUID, "SEL:GUID", Text, 36)                                                                            \
    X(LOGIN, "SEL:LOGIN", ZText, 12)                                                                         \
    X(COUNT, "SEL:COUNT", U8, 1)
#define ZANVO_SL2_FIELDS(X)                                                                                  \
    X(GUID, "SEL:GUID", Text, 36)                                                                            \
    X(LOGIN, "SEL:LOGIN", ZText, 40)                                                                         \
    X(COUNT, "SEL:COUNT", I32, 4)                                                                            \
    X(EXTRA, "SEL:EXTRA", ZText, 10)

#pragma pack(push, 1)
struct Sealed1
{
    ZANVO_SL1_FIELDS(ZANVO_RECORD_MEMBER)
};
struct Sealed2
{
    ZANVO_SL2_FIELDS(ZANVO_RECORD_MEMBER)
};
#pragma pack(pop)

#define X(m, n, t, s) ZANVO_FIELD_DEF(Sealed1, m, n, t, s)
constexpr FieldDef kSealedFields1[] = {ZANVO_SL1_FIELDS(X)};
#undef X
#define X(m, n, t, s) ZANVO_FIELD_DEF(Sealed2, m, n, t, s)
constexpr FieldDef kSealedFields2[] = {ZANVO_SL2_FIELDS(X)};
#undef X
constexpr KeyDef kSealedKeys[] = {{"SEL:BYGUID", "By GUID", true, true, 1, {0}}};
constexpr std::uint64_t kSealedLayouts1[] = {
    dictionaryFingerprint("t_Sealed", Storage::EncryptedFile, kSealedFields1, kSealedKeys)};
constexpr std::uint64_t kSealedLayouts2[] = {
    kSealedLayouts1[0],
    dictionaryFingerprint("t_Sealed", Storage::EncryptedFile, kSealedFields2, kSealedKeys)};
constexpr TableDef kSealed1{"t_Sealed",      "SEL",          "Base/ts01.dat", Storage::EncryptedFile,
                            sizeof(Sealed1), kSealedFields1, kSealedKeys,     kSealedLayouts1};
constexpr TableDef kSealed2{"t_Sealed",      "SEL",          "Base/ts01.dat", Storage::EncryptedFile,
                            sizeof(Sealed2), kSealedFields2, kSealedKeys,     kSealedLayouts2};

std::string metaOf(const QString& file, const char* key)
{
    sqlite3* db = nullptr;
    std::string value;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT value FROM meta WHERE key = ?1", -1, &stmt, nullptr) ==
            SQLITE_OK) {
            sqlite3_bind_text(stmt, 1, key, -1, SQLITE_STATIC);
            if (sqlite3_step(stmt) == SQLITE_ROW)
                value = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return value;
}

// The schema of the rows as SQLite reports it: columns with their types and
// defaults, and every index with its SQL, in no particular order (an added
// column comes last; the store names its columns in every statement).
std::set<std::string> schemaOf(const QString& file)
{
    sqlite3* db = nullptr;
    std::set<std::string> out;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return out;
    const char* sql = "SELECT name || ' ' || type || ' ' || \"notnull\" || ' ' || ifnull(dflt_value, '') "
                      "FROM pragma_table_info('records') "
                      "UNION ALL SELECT sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL";
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK)
        while (sqlite3_step(stmt) == SQLITE_ROW)
            out.insert(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return out;
}

bool execOn(const QString& file, const char* sql)
{
    sqlite3* db = nullptr;
    const bool ok = sqlite3_open(file.toUtf8().constData(), &db) == SQLITE_OK &&
                    sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

class VersionedFilesTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(m_folder.path() + QStringLiteral("Base"))); }
    QString file() const { return m_folder.path() + QString::fromLatin1(kFile); }
    QString sealedFile() const { return m_folder.path() + QStringLiteral("Base/ts01.dat"); }

    // A version-1 file with three rows.
    void writeVersion1(bool duplicateNumbers = false)
    {
        Session s(m_folder.path());
        TypedTable<Grow1> t(s, kGrow1);
        ASSERT_EQ(t.open(), kOk);
        const struct
        {
            const char* code;
            const char* note;
            int number;
        } rows[] = {{"A", "abcdefg", 300}, {"B", "xy", -5}, {"C", "", duplicateNumbers ? 300 : 7}};
        for (const auto& r : rows) {
            t.clear();
            setText(t.rec().CODE, r.code);
            setZText(t.rec().NOTE, r.note);
            t.rec().NUMBER = static_cast<std::int16_t>(r.number);
            t.rec().OLD = 9;
            ASSERT_EQ(t.add(), kOk);
        }
    }

    testsupport::TempFolder m_folder;
};

TEST_F(VersionedFilesTest, RowsSurviveTheUpgradeWithNewFieldsAtTheirDefaults)
{
    writeVersion1();
    EXPECT_EQ(metaOf(file(), "version"), "1");

    Session s(m_folder.path());
    TypedTable<Grow2> t(s, kGrow2);
    ASSERT_EQ(t.open(), kOk);
    EXPECT_EQ(metaOf(file(), "version"), "2");
    EXPECT_EQ(metaOf(file(), "fields"), schema::fingerprintText(kV2));

    // In number order, through the index that was rebuilt for the wider type.
    ASSERT_EQ(t.set("GRW:BYNUMBER", 0), kOk);
    std::vector<std::string> seen;
    while (t.next() == kOk) {
        const Grow2& r = t.rec();
        seen.push_back(std::string(textOf(r.CODE)) + "|" + std::string(ztextOf(r.NOTE)) + "|" +
                       std::to_string(r.NUMBER) + "|" + std::to_string(r.FLAG) + "|" +
                       std::to_string(r.AMOUNT) + "|" + std::string(textOf(r.TITLE)));
    }
    // NOTE is cut to its new width (five bytes and the terminating zero).
    EXPECT_EQ(seen, (std::vector<std::string>{"B|xy|-5|0|0.000000|", "C||7|0|0.000000|",
                                              "A|abcde|300|0|0.000000|"}));

    // The new fields and the new key work like any other.
    t.clear();
    setText(t.rec().CODE, "B");
    ASSERT_EQ(t.fetch("GRW:BYCODE"), kOk);
    t.rec().FLAG = 4;
    t.rec().NUMBER = 100000; // beyond the old i16
    setText(t.rec().TITLE, "wide title");
    ASSERT_EQ(t.put(), kOk);
    t.clear();
    t.rec().FLAG = 4;
    ASSERT_EQ(t.set("GRW:BYFLAG", 1), kOk);
    ASSERT_EQ(t.next(), kOk);
    EXPECT_EQ(textOf(t.rec().CODE), "B");
    EXPECT_EQ(int{t.rec().NUMBER}, 100000); // a copy: the packed field is not aligned
    EXPECT_EQ(textOf(t.rec().TITLE), "wide title");
    t.close();

    // The upgraded file has the schema of a file made new at version 2, and
    // opening it again changes nothing.
    {
        testsupport::TempFolder fresh;
        ASSERT_TRUE(QDir().mkpath(fresh.path() + QStringLiteral("Base")));
        Session other(fresh.path());
        Table made(other, kGrow2);
        ASSERT_EQ(made.open(), kOk);
        made.close();
        EXPECT_EQ(schemaOf(file()), schemaOf(fresh.path() + QString::fromLatin1(kFile)));
    }
    const QByteArray upgraded = storetest::fileBytes(file());
    Table again(s, kGrow2);
    ASSERT_EQ(again.open(), kOk);
    again.close();
    EXPECT_EQ(storetest::fileBytes(file()), upgraded);
}

TEST_F(VersionedFilesTest, AFailureInTheMiddleOfTheUpgradeLeavesTheFileAsItWas)
{
    // Two rows share a number, so the key that version 2 makes unique cannot
    // be built: by then a column has been dropped and three added.
    writeVersion1(true);
    const QByteArray before = storetest::fileBytes(file());

    Session s(m_folder.path());
    Table t(s, kGrowUnique);
    EXPECT_EQ(t.open(), kDuplicateKey);
    EXPECT_FALSE(t.isOpen());
    EXPECT_EQ(framework::lastError().code, kDuplicateKey);
    EXPECT_TRUE(framework::lastError().driverText.starts_with("upgrading the file from version 1 to 2: "))
        << framework::lastError().driverText;
    EXPECT_EQ(storetest::fileBytes(file()), before);
    EXPECT_FALSE(QFile::exists(file() + QStringLiteral("-journal")));

    // The program of version 1 still has all of it.
    TypedTable<Grow1> old(s, kGrow1);
    ASSERT_EQ(old.open(), kOk);
    std::int64_t n = 0;
    ASSERT_EQ(old.count(n), kOk);
    EXPECT_EQ(n, 3);
    old.clear();
    setText(old.rec().CODE, "A");
    ASSERT_EQ(old.fetch("GRW:BYCODE"), kOk);
    EXPECT_EQ(ztextOf(old.rec().NOTE), "abcdefg");
    EXPECT_EQ(int{old.rec().OLD}, 9);
}

TEST_F(VersionedFilesTest, TwoProgramsOpeningAnOlderFileAtOnceBothGetTheUpgradedFile)
{
    writeVersion1();
    // Another program holds the write lock while both open the file: both
    // find version 1 and wait; the first to get the lock upgrades, the second
    // must find the work done instead of doing it again.
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(file().toUtf8().constData(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    std::atomic<int> results[2] = {-1, -1};
    auto open = [&](int i) {
        Session s(m_folder.path());
        Table t(s, kGrow2);
        results[i] = t.open();
    };
    std::thread first(open, 0), second(open, 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // both are waiting by now
    sqlite3_exec(holder, "COMMIT", nullptr, nullptr, nullptr);
    first.join();
    second.join();
    sqlite3_close(holder);
    EXPECT_EQ(results[0].load(), kOk);
    EXPECT_EQ(results[1].load(), kOk);
    EXPECT_EQ(metaOf(file(), "version"), "2");
    Session s(m_folder.path());
    Table t(s, kGrow2);
    ASSERT_EQ(t.open(), kOk);
    std::int64_t n = 0;
    ASSERT_EQ(t.count(n), kOk);
    EXPECT_EQ(n, 3);
}

TEST_F(VersionedFilesTest, AFileOfANewerVersionIsRefusedUnchanged)
{
    {
        Session s(m_folder.path());
        Table t(s, kGrow2);
        ASSERT_EQ(t.open(), kOk);
    }
    const QByteArray before = storetest::fileBytes(file());
    for (Access access : {Access::ReadWrite, Access::ReadOnly}) {
        Session s(m_folder.path(), {}, access);
        Table t(s, kGrow1);
        EXPECT_EQ(t.open(), kBadFileStructure);
        EXPECT_NE(framework::lastError().driverText.find("newer program"), std::string::npos)
            << framework::lastError().driverText;
        EXPECT_EQ(storetest::fileBytes(file()), before);
    }
}

TEST_F(VersionedFilesTest, ReadingAnOlderFileDoesNotUpgradeIt)
{
    writeVersion1();
    const QByteArray before = storetest::fileBytes(file());
    {
        Session s(m_folder.path(), {}, Access::ReadOnly);
        Table t(s, kGrow2);
        EXPECT_EQ(t.open(), kBadFileStructure);
        EXPECT_NE(framework::lastError().driverText.find("older version 1"), std::string::npos)
            << framework::lastError().driverText;
        // The older program may still read it.
        TypedTable<Grow1> old(s, kGrow1);
        ASSERT_EQ(old.open(), kOk);
        std::int64_t n = 0;
        ASSERT_EQ(old.count(n), kOk);
        EXPECT_EQ(n, 3);
    }
    EXPECT_EQ(storetest::fileBytes(file()), before);
    EXPECT_FALSE(QFile::exists(file() + QStringLiteral("-journal")));
}

TEST_F(VersionedFilesTest, ChangesThatCannotCarryTheValuesAreRefusedUnchanged)
{
    writeVersion1();
    const QByteArray before = storetest::fileBytes(file());
    // NUMBER turned into a text; then a number narrower than the stored one.
    FieldDef asText[std::size(kFields2)];
    std::copy(std::begin(kFields2), std::end(kFields2), asText);
    asText[3].type = FieldType::Text;
    FieldDef narrower[std::size(kFields1)];
    std::copy(std::begin(kFields1), std::end(kFields1), narrower);
    narrower[2].type = FieldType::U8;
    narrower[2].size = 1;
    for (std::span<const FieldDef> fields :
         {std::span<const FieldDef>(asText), std::span<const FieldDef>(narrower)}) {
        const std::uint64_t layouts[] = {kV1, dictionaryFingerprint("t_Grow", Storage::File, fields, kKeys1)};
        const TableDef def{"t_Grow", "GRW", kFile, Storage::File, sizeof(Grow2), fields, kKeys1, layouts};
        Session s(m_folder.path());
        Table t(s, def);
        EXPECT_EQ(t.open(), kBadFileStructure);
        EXPECT_NE(framework::lastError().driverText.find("GRW:NUMBER"), std::string::npos)
            << framework::lastError().driverText;
        EXPECT_EQ(storetest::fileBytes(file()), before);
    }

    // A recorded field list that is not one (the file is outside input too).
    ASSERT_TRUE(
        execOn(file(), "UPDATE meta SET value = 'record 16\nGRW:CODE\ttext\t10\t12' WHERE key = 'layout'"));
    const QByteArray tampered = storetest::fileBytes(file());
    Session s(m_folder.path());
    Table t(s, kGrow2);
    EXPECT_EQ(t.open(), kBadFileStructure);
    EXPECT_EQ(storetest::fileBytes(file()), tampered);
}

TEST_F(VersionedFilesTest, FilesMadeBeforeVersionsWereRecordedAreTheCurrentLayout)
{
    const QString place = m_folder.path() + QStringLiteral("Base/mv05.dat");
    {
        Session s(m_folder.path());
        TypedTable<PlaceRecord> t(s, placeTable());
        ASSERT_EQ(t.open(), kOk);
        t.clear();
        setText(t.rec().ENTITY, "e1");
        ASSERT_EQ(t.add(), kOk);
    }
    // What the program wrote before versions: the dictionary's fingerprint only.
    ASSERT_TRUE(execOn(place, "DELETE FROM meta WHERE key IN ('version', 'layout')"));
    EXPECT_EQ(metaOf(place, "fields"), "589d578fb69716bd");
    const QByteArray before = storetest::fileBytes(place);

    {
        // Read as it is, and left as it is.
        Session s(m_folder.path(), {}, Access::ReadOnly);
        TypedTable<PlaceRecord> t(s, placeTable());
        ASSERT_EQ(t.open(), kOk);
        setText(t.rec().ENTITY, "e1");
        EXPECT_EQ(t.fetch("MPL:BYENTITY"), kOk);
    }
    EXPECT_EQ(storetest::fileBytes(place), before);

    // Opened for writing it is marked with its version, rows unchanged.
    Session s(m_folder.path());
    TypedTable<PlaceRecord> t(s, placeTable());
    ASSERT_EQ(t.open(), kOk);
    EXPECT_EQ(metaOf(place, "version"), "1");
    EXPECT_FALSE(metaOf(place, "layout").empty());
    setText(t.rec().ENTITY, "e1");
    EXPECT_EQ(t.fetch("MPL:BYENTITY"), kOk);
}

TEST_F(VersionedFilesTest, SealedRecordsAreCarriedOverInsideTheirSeals)
{
    auto add = [](TypedTable<Sealed1>& t, const char* guid, const char* login, std::uint8_t count) {
        t.clear();
        setText(t.rec().GUID, guid);
        setZText(t.rec().LOGIN, login);
        t.rec().COUNT = count;
        return t.add();
    };
    {
        Session s(m_folder.path());
        TypedTable<Sealed1> t(s, kSealed1);
        ASSERT_EQ(t.open(), kOk);
        ASSERT_EQ(add(t, "guid-1", "clerk-one", 200), kOk);
        ASSERT_EQ(add(t, "guid-2", "clerk-two", 3), kOk);
    }
    {
        Session s(m_folder.path());
        TypedTable<Sealed2> t(s, kSealed2);
        ASSERT_EQ(t.open(), kOk);
        t.clear();
        setText(t.rec().GUID, "guid-1");
        ASSERT_EQ(t.fetch("SEL:BYGUID"), kOk);
        EXPECT_EQ(ztextOf(t.rec().LOGIN), "clerk-one");
        EXPECT_EQ(int{t.rec().COUNT}, 200);
        EXPECT_EQ(ztextOf(t.rec().EXTRA), "");
        setZText(t.rec().LOGIN, "a login much longer than twelve");
        ASSERT_EQ(t.put(), kOk);
    }
    Session s(m_folder.path());
    TypedTable<Sealed2> t(s, kSealed2);
    ASSERT_EQ(t.open(), kOk);
    setText(t.rec().GUID, "guid-2");
    ASSERT_EQ(t.fetch("SEL:BYGUID"), kOk);
    EXPECT_EQ(ztextOf(t.rec().LOGIN), "clerk-two");
    setText(t.rec().GUID, "guid-1");
    ASSERT_EQ(t.fetch("SEL:BYGUID"), kOk);
    EXPECT_EQ(ztextOf(t.rec().LOGIN), "a login much longer than twelve");
}

TEST_F(VersionedFilesTest, ADamagedSealedRecordStopsTheUpgradeAndNothingIsChanged)
{
    {
        Session s(m_folder.path());
        TypedTable<Sealed1> t(s, kSealed1);
        ASSERT_EQ(t.open(), kOk);
        for (const char* guid : {"guid-1", "guid-2", "guid-3"}) {
            t.clear();
            setText(t.rec().GUID, guid);
            ASSERT_EQ(t.add(), kOk);
        }
    }
    // The last row carries the seal of the first: it fails authentication
    // after the first rows have been sealed anew.
    ASSERT_TRUE(execOn(sealedFile(), "UPDATE records SET sealed = (SELECT sealed FROM records ORDER BY rowid "
                                     "LIMIT 1) WHERE rowid = (SELECT max(rowid) FROM records)"));
    const QByteArray before = storetest::fileBytes(sealedFile());

    Session s(m_folder.path());
    Table t(s, kSealed2);
    EXPECT_EQ(t.open(), kDamagedFile);
    EXPECT_EQ(storetest::fileBytes(sealedFile()), before);
    Table old(s, kSealed1);
    EXPECT_EQ(old.open(), kOk);
}

} // namespace
