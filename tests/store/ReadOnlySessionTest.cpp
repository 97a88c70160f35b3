// SPDX-License-Identifier: LicenseRef-Kestrom
// Sessions that only read change nothing on disk; files too short to be a
// database are damaged, whoever opens them; folder names are only names.
#include "StoreTestSupport.h"
#include "support/TestSupport.h"

#include "framework/LastError.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Entity.h"
#include "store/tables/Place.h"
#include "store/tables/Vetis.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <map>

using namespace store;

namespace {

// Every file under a folder with its bytes.
std::map<QString, QByteArray> snapshot(const QString& folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[path] = storetest::fileBytes(path);
    }
    return files;
}

class ReadOnlySessionTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(base())); }
    QString base() const { return m_folder.path() + QStringLiteral("Base/"); }

    void addPlace(Session& s, const char* entity, const char* enterprise)
    {
        TypedTable<PlaceRecord> place(s, placeTable());
        ASSERT_EQ(place.open(), kOk);
        place.clear();
        setText(place.rec().ENTITY, entity);
        setText(place.rec().ENTERPRISE, enterprise);
        ASSERT_EQ(place.add(), kOk);
    }

    testsupport::TempFolder m_folder;
};

TEST_F(ReadOnlySessionTest, ReadsEverythingAndChangesNothing)
{
    {
        Session s(m_folder.path());
        addPlace(s, "e1", "p1");
        addPlace(s, "e1", "p2");
        TypedTable<VetisRecord> vetis(s, vetisTable());
        ASSERT_EQ(vetis.open(), kOk);
        vetis.clear();
        setText(vetis.rec().GUID, "e1");
        setZText(vetis.rec().LOGIN, "clerk");
        ASSERT_EQ(vetis.add(), kOk);
    }
    const auto before = snapshot(m_folder.path());

    Session s(m_folder.path(), {}, Access::ReadOnly);
    TypedTable<PlaceRecord> place(s, placeTable());
    TypedTable<VetisRecord> vetis(s, vetisTable());
    Table entity(s, entityTable()); // its file does not exist: it is not made
    ASSERT_EQ(place.open(), kOk);
    ASSERT_EQ(vetis.open(), kOk);
    EXPECT_EQ(entity.open(), kFileNotFound);

    place.clear();
    setText(place.rec().ENTITY, "e1");
    ASSERT_EQ(place.set("MPL:BYENTITY", 1), kOk);
    int rows = 0;
    while (place.next() == kOk)
        ++rows;
    EXPECT_EQ(rows, 2);
    vetis.clear();
    setText(vetis.rec().GUID, "e1");
    ASSERT_EQ(vetis.fetch("MVS:BYGUID"), kOk);
    EXPECT_EQ(ztextOf(vetis.rec().LOGIN), "clerk");

    // Writes of every kind are refused.
    setZText(vetis.rec().LOGIN, "changed");
    EXPECT_EQ(vetis.put(), kAccessDenied);
    setText(place.rec().ENTERPRISE, "p3");
    EXPECT_EQ(place.add(), kAccessDenied);
    EXPECT_EQ(place.deleteRecord(), kAccessDenied);
    Transaction t(s, {&place});
    EXPECT_EQ(t.start(), kAccessDenied);

    EXPECT_EQ(snapshot(m_folder.path()), before);
}

TEST_F(ReadOnlySessionTest, AMissingFileOrFolderIsReportedAndNotMade)
{
    testsupport::TempFolder empty;
    Session s(empty.path(), {}, Access::ReadOnly);
    Table place(s, placeTable());
    EXPECT_EQ(place.open(), kFileNotFound);
    EXPECT_EQ(framework::lastError().code, kFileNotFound);
    EXPECT_TRUE(framework::lastError().fileName.ends_with("Base/mv05.dat"));
    EXPECT_TRUE(snapshot(empty.path()).empty());
    EXPECT_FALSE(QDir(empty.path() + QStringLiteral("Base")).exists());
}

TEST_F(ReadOnlySessionTest, FilesShorterThanADatabaseHeaderAreDamagedAndLeftAsTheyAre)
{
    const QString file = base() + QStringLiteral("mv05.dat");
    for (int size : {0, 1, 99}) {
        for (Access access : {Access::ReadWrite, Access::ReadOnly}) {
            SCOPED_TRACE(std::to_string(size) + (access == Access::ReadOnly ? " read-only" : " read-write"));
            const QByteArray bytes(size, 'S');
            ASSERT_TRUE(storetest::writeFileBytes(file, bytes));
            const auto before = snapshot(m_folder.path());
            {
                Session s(m_folder.path(), {}, access);
                Table place(s, placeTable());
                EXPECT_EQ(place.open(), kDamagedFile);
                EXPECT_EQ(framework::lastError().code, kDamagedFile);
                EXPECT_TRUE(framework::lastError().fileName.ends_with("Base/mv05.dat"));
                EXPECT_NE(framework::lastError().driverText.find("shorter than a database header"),
                          std::string::npos);
                EXPECT_FALSE(place.isOpen());
            }
            EXPECT_EQ(storetest::fileBytes(file), bytes);
            // Nothing else appeared beside it either (no journal).
            auto after = snapshot(m_folder.path());
            after.erase(base() + QStringLiteral("commit.db"));
            auto expected = before;
            expected.erase(base() + QStringLiteral("commit.db"));
            EXPECT_EQ(after, expected);
        }
    }
}

TEST_F(ReadOnlySessionTest, AnEmptyDatabaseIsNotTakenForANewTable)
{
    const QString file = base() + QStringLiteral("mv05.dat");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE t(x); DROP TABLE t;", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    const QByteArray before = storetest::fileBytes(file);
    ASSERT_GE(before.size(), 100);

    Session s(m_folder.path());
    Table place(s, placeTable());
    EXPECT_EQ(place.open(), kBadFileStructure);
    EXPECT_EQ(storetest::fileBytes(file), before);
}

TEST_F(ReadOnlySessionTest, FolderNamesWithUriCharactersAreOnlyNames)
{
    // '?', '#' and '%' would end or change a URI if they were not escaped;
    // "%41" would turn into "A".
    const QString data = m_folder.path() + QStringLiteral("Данные ?a=1#x%41 end/");
    ASSERT_TRUE(QDir().mkpath(data + QStringLiteral("Base")));
    {
        Session s(data);
        addPlace(s, "e1", "p1");
    }
    EXPECT_TRUE(QFile::exists(data + QStringLiteral("Base/mv05.dat")));
    Session s(data, {}, Access::ReadOnly);
    TypedTable<PlaceRecord> place(s, placeTable());
    ASSERT_EQ(place.open(), kOk);
    setText(place.rec().ENTITY, "e1");
    setText(place.rec().ENTERPRISE, "p1");
    EXPECT_EQ(place.fetch("MPL:BYENTITY"), kOk);
    // Nothing was made under a name cut at one of those characters.
    EXPECT_FALSE(QDir(m_folder.path() + QStringLiteral("Данные ")).exists());
}

} // namespace
