// SPDX-License-Identifier: LicenseRef-Kestrom
// The access-settings table: usable through the driver, unreadable on disk.
#include "StoreTestSupport.h"
#include "support/TestSupport.h"

#include "framework/LastError.h"
#include "store/SealedRows.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Entity.h"
#include "store/tables/Vetis.h"

#include <QDir>
#include <QDirIterator>
#include <gtest/gtest.h>

#include <sqlite3.h>

using namespace store;

namespace {

constexpr const char* kGuid = "9a1b2c3d-4e5f-4071-8899-aabbccddeeff";
constexpr const char* kLogin = "clerk-login-QX7";
constexpr const char* kPassword = "pa55-word-ZZ9";
constexpr const char* kApiKey = "ODZlMDk4YTItMTRkNy00YjQ2LWIzMDUtNjM5ZGZhYjI4OGZi";

class SealedTableTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(m_folder.path() + QStringLiteral("Base"))); }
    QString file() const { return m_folder.path() + QStringLiteral("Base/mv01.dat"); }

    void fill(TypedTable<VetisRecord>& t, const char* guid)
    {
        t.clear();
        setText(t.rec().GUID, guid);
        setZText(t.rec().LOGIN, kLogin);
        setZText(t.rec().PASSWORD, kPassword);
        setZText(t.rec().APIKEY, kApiKey);
        t.rec().TEST = 1;
    }

    testsupport::TempFolder m_folder;
};

TEST_F(SealedTableTest, RecordsAreFoundByGuidAndReadInSequence)
{
    Session s(m_folder.path());
    TypedTable<VetisRecord> t(s, vetisTable());
    ASSERT_EQ(t.open(), kOk);
    fill(t, kGuid);
    const VetisRecord written = t.rec();
    ASSERT_EQ(t.add(), kOk);
    fill(t, "other-guid");
    ASSERT_EQ(t.add(), kOk);
    fill(t, kGuid);
    EXPECT_EQ(t.add(), kDuplicateKey);

    t.clear();
    setText(t.rec().GUID, kGuid);
    ASSERT_EQ(t.fetch("MVS:BYGUID"), kOk);
    EXPECT_EQ(std::memcmp(&t.rec(), &written, sizeof written), 0);
    setZText(t.rec().LOGIN, "changed");
    ASSERT_EQ(t.put(), kOk);

    // A sequential pass sees each record once (in the order of the keyed hash).
    ASSERT_EQ(t.set("MVS:BYGUID", 0), kOk);
    std::set<std::string> seen;
    while (t.next() == kOk)
        seen.insert(std::string(textOf(t.rec().GUID)));
    EXPECT_EQ(seen, (std::set<std::string>{kGuid, "other-guid"}));

    // Another session (the key is derived again from the file's salt).
    Session other(m_folder.path());
    TypedTable<VetisRecord> again(other, vetisTable());
    ASSERT_EQ(again.open(), kOk);
    setText(again.rec().GUID, kGuid);
    ASSERT_EQ(again.fetch("MVS:BYGUID"), kOk);
    EXPECT_EQ(ztextOf(again.rec().LOGIN), "changed");
    EXPECT_EQ(ztextOf(again.rec().APIKEY), kApiKey);
}

TEST_F(SealedTableTest, NothingOfARecordIsReadableInTheFileOrItsJournal)
{
    Session s(m_folder.path());
    TypedTable<VetisRecord> t(s, vetisTable());
    ASSERT_EQ(t.open(), kOk);
    Transaction tx(s, {&t});
    ASSERT_EQ(tx.start(), kOk);
    fill(t, kGuid);
    ASSERT_EQ(t.add(), kOk);
    ASSERT_EQ(tx.commit(), kOk);
    // An update inside a transaction writes the old page to the journal.
    Transaction tx2(s, {&t});
    ASSERT_EQ(tx2.start(), kOk);
    setZText(t.rec().REMARK, "second");
    ASSERT_EQ(t.put(), kOk);

    auto leaks = [](const QByteArray& bytes) {
        for (const char* secret : {kGuid, kLogin, kPassword, kApiKey, "9a1b2c3d", "QX7", "ZZ9"})
            if (bytes.contains(secret))
                return std::string(secret);
        return std::string();
    };
    QDirIterator it(m_folder.path() + QStringLiteral("Base"), QDir::Files);
    int journals = 0;
    while (it.hasNext()) {
        const QString path = it.next();
        journals += path.endsWith(QStringLiteral("-journal"));
        EXPECT_EQ(leaks(storetest::fileBytes(path)), "") << path.toStdString();
    }
    EXPECT_EQ(journals, 1); // the open transaction's journal was looked at too
    ASSERT_EQ(tx2.commit(), kOk);
    EXPECT_FALSE(QFile::exists(file() + QStringLiteral("-journal")));
    EXPECT_EQ(leaks(storetest::fileBytes(file())), "");
}

TEST_F(SealedTableTest, TamperedRowFailsAuthentication)
{
    {
        Session s(m_folder.path());
        TypedTable<VetisRecord> t(s, vetisTable());
        ASSERT_EQ(t.open(), kOk);
        fill(t, kGuid);
        ASSERT_EQ(t.add(), kOk);
        fill(t, "second");
        ASSERT_EQ(t.add(), kOk);
    }
    // Swap the sealed blobs of the two rows, and flip one bit of the first.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file().toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(
                  db,
                  "UPDATE records SET sealed = (SELECT sealed FROM records r WHERE r.rowid <> records.rowid)",
                  nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    Session s(m_folder.path());
    TypedTable<VetisRecord> t(s, vetisTable());
    ASSERT_EQ(t.open(), kOk);
    setText(t.rec().GUID, kGuid);
    EXPECT_EQ(t.fetch("MVS:BYGUID"), kDamagedFile);
    // The buffer is not filled with the other row's settings.
    EXPECT_EQ(ztextOf(t.rec().LOGIN), "");
    ASSERT_EQ(t.set("MVS:BYGUID", 0), kOk);
    EXPECT_EQ(t.next(), kDamagedFile);
}

TEST_F(SealedTableTest, AddingWhereAStoredRecordFailsAuthenticationReportsTheDamage)
{
    {
        Session s(m_folder.path());
        TypedTable<VetisRecord> t(s, vetisTable());
        ASSERT_EQ(t.open(), kOk);
        fill(t, kGuid);
        ASSERT_EQ(t.add(), kOk);
        fill(t, "second");
        ASSERT_EQ(t.add(), kOk);
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file().toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(
                  db,
                  "UPDATE records SET sealed = (SELECT sealed FROM records r WHERE r.rowid <> records.rowid)",
                  nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    const QByteArray before = storetest::fileBytes(file());

    // What a settings editor does: the record is not found (it cannot be
    // read), so a new one is added under the same GUID.
    Session s(m_folder.path());
    TypedTable<VetisRecord> t(s, vetisTable());
    ASSERT_EQ(t.open(), kOk);
    t.clear();
    setText(t.rec().GUID, kGuid);
    ASSERT_EQ(t.fetch("MVS:BYGUID"), kDamagedFile);
    fill(t, kGuid);
    EXPECT_EQ(t.add(), kDamagedFile);
    EXPECT_EQ(framework::lastError().code, kDamagedFile);
    EXPECT_NE(framework::lastError().driverText.find("authentication"), std::string::npos)
        << framework::lastError().driverText;
    EXPECT_EQ(storetest::fileBytes(file()), before);

    // A record that is really there and sound is still a duplicate.
    fill(t, "third");
    ASSERT_EQ(t.add(), kOk);
    fill(t, "third");
    EXPECT_EQ(t.add(), kDuplicateKey);
}

TEST_F(SealedTableTest, KeysAreDerivedOnFirstUseNotWhenTheTableOpens)
{
    // Every new file has a salt of its own, so nothing is cached for it yet.
    const std::uint64_t before = sealed::derivationCount();
    Session s(m_folder.path());
    {
        // The entities open the settings table as a cascade child.
        Table entity(s, entityTable());
        ASSERT_EQ(entity.open(), kOk);
    }
    TypedTable<VetisRecord> t(s, vetisTable());
    ASSERT_EQ(t.open(), kOk);
    std::int64_t n = -1;
    ASSERT_EQ(t.count(n), kOk);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(sealed::derivationCount(), before);

    fill(t, kGuid);
    ASSERT_EQ(t.add(), kOk);
    EXPECT_EQ(sealed::derivationCount(), before + 1);

    // Another instance of the same file reads with the keys already derived.
    Session other(m_folder.path());
    TypedTable<VetisRecord> again(other, vetisTable());
    ASSERT_EQ(again.open(), kOk);
    setText(again.rec().GUID, kGuid);
    ASSERT_EQ(again.fetch("MVS:BYGUID"), kOk);
    EXPECT_EQ(ztextOf(again.rec().PASSWORD), kPassword);
    EXPECT_EQ(sealed::derivationCount(), before + 1);
}

TEST_F(SealedTableTest, DamagedSaltIsRefusedWhenTheTableOpens)
{
    {
        Session s(m_folder.path());
        Table t(s, vetisTable());
        ASSERT_EQ(t.open(), kOk);
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file().toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE meta SET value = 'not a salt' WHERE key = 'salt'", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    Session s(m_folder.path());
    Table t(s, vetisTable());
    EXPECT_EQ(t.open(), kDamagedFile);
    EXPECT_FALSE(t.isOpen());
}

} // namespace
