// SPDX-License-Identifier: LicenseRef-Kestrom
// Files that are not ours, damaged, missing or out of reach: a clear error,
// and the file is never changed.
#include "StoreTestSupport.h"
#include "support/TestSupport.h"

#include "framework/LastError.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Entity.h"
#include "store/tables/Place.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>

using namespace store;

namespace {

class FileSafetyTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(QDir().mkpath(base())); }
    QString base() const { return m_folder.path() + QStringLiteral("Base/"); }
    QString placeFile() const { return base() + QStringLiteral("mv05.dat"); }

    testsupport::TempFolder m_folder;
};

TEST_F(FileSafetyTest, GarbageFileIsDamagedAndLeftUntouched)
{
    QByteArray garbage(8192, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919) % 251);
    ASSERT_TRUE(storetest::writeFileBytes(placeFile(), garbage));

    Session s(m_folder.path());
    Table place(s, placeTable());
    EXPECT_EQ(place.open(), kDamagedFile);
    EXPECT_EQ(framework::lastError().code, kDamagedFile);
    EXPECT_TRUE(framework::lastError().fileName.ends_with("Base/mv05.dat"));
    EXPECT_EQ(place.add(), kFileNotOpen);
    EXPECT_EQ(storetest::fileBytes(placeFile()), garbage);
}

TEST_F(FileSafetyTest, ForeignDatabaseIsRefusedAndLeftUntouched)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(placeFile().toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes(x); INSERT INTO notes VALUES('keep me');", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    const QByteArray before = storetest::fileBytes(placeFile());

    Session s(m_folder.path());
    Table place(s, placeTable());
    EXPECT_EQ(place.open(), kBadFileStructure);
    EXPECT_EQ(storetest::fileBytes(placeFile()), before);
}

TEST_F(FileSafetyTest, FileOfAnotherTableOrAnotherLayoutIsRefused)
{
    Session s(m_folder.path());
    {
        Table types(s, storetest::typesTable());
        ASSERT_EQ(types.open(), kOk);
    }
    // m_Place pointed at the file of t_Types.
    ASSERT_TRUE(QFile::copy(base() + QStringLiteral("tt01.dat"), placeFile()));
    const QByteArray before = storetest::fileBytes(placeFile());
    Table place(s, placeTable());
    EXPECT_EQ(place.open(), kBadFileStructure);
    EXPECT_EQ(storetest::fileBytes(placeFile()), before);

    // The same table under a changed field dictionary.
    Table other(s, storetest::typesTableOtherLayout());
    EXPECT_EQ(other.open(), kBadFileStructure);
    EXPECT_FALSE(framework::lastError().driverText.empty());
}

TEST_F(FileSafetyTest, MissingFileIsCreatedEmptyButNotItsFolder)
{
    Session s(m_folder.path());
    Table place(s, placeTable());
    ASSERT_EQ(place.open(), kOk);
    std::int64_t n = -1;
    EXPECT_EQ(place.count(n), kOk);
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(QFile::exists(placeFile()));

    testsupport::TempFolder empty; // no Base inside
    Session noBase(empty.path());
    Table lost(noBase, placeTable());
    EXPECT_EQ(lost.open(), kPathNotFound);
    EXPECT_FALSE(QDir(empty.path() + QStringLiteral("Base")).exists());
}

TEST_F(FileSafetyTest, ReadOnlyDataFolderRefusesToCreateAndToWrite)
{
    {
        // One file exists with a record in it before the folder turns read-only.
        Session s(m_folder.path());
        TypedTable<PlaceRecord> place(s, placeTable());
        ASSERT_EQ(place.open(), kOk);
        place.clear();
        setText(place.rec().ENTITY, "e");
        ASSERT_EQ(place.add(), kOk);
    }
    ASSERT_EQ(chmod(m_folder.path().toUtf8().constData(), 0755), 0);
    ASSERT_EQ(chmod(base().toUtf8().constData(), 0555), 0);
    ASSERT_EQ(chmod(placeFile().toUtf8().constData(), 0444), 0);

    const int result = storetest::runInChild([&] {
        storetest::dropRootRights();
        Session s(m_folder.path());
        Table missing(s, storetest::typesTable());
        if (missing.open() != kAccessDenied)
            return 10;
        TypedTable<PlaceRecord> place(s, placeTable());
        if (place.open() != kOk)
            return 11;
        place.clear();
        setText(place.rec().ENTITY, "e");
        if (place.fetch("MPL:BYENTITY") != kOk) // reading still works
            return 12;
        setText(place.rec().ENTITY, "f");
        if (place.add() != kAccessDenied)
            return 13;
        return 0;
    });
    chmod(base().toUtf8().constData(), 0755);
    EXPECT_EQ(result, 0);
}

TEST_F(FileSafetyTest, ParentFailsToOpenWhenAChildOfItsCascadesCannotBeOpened)
{
    // The entities carry their access settings (mv01) and links (mv05) along;
    // a damaged settings file would make every later delete fail half-way.
    const QString settings = base() + QStringLiteral("mv01.dat");
    const QByteArray garbage(4096, 'x');
    ASSERT_TRUE(storetest::writeFileBytes(settings, garbage));

    Session s(m_folder.path());
    Table entity(s, entityTable());
    EXPECT_EQ(entity.open(), kDamagedFile);
    EXPECT_FALSE(entity.isOpen());
    EXPECT_EQ(framework::lastError().code, kDamagedFile);
    EXPECT_TRUE(framework::lastError().fileName.ends_with("Base/mv01.dat"))
        << framework::lastError().fileName;
    EXPECT_EQ(storetest::fileBytes(settings), garbage);

    // Once the child's file is sound again the parent opens.
    ASSERT_TRUE(QFile::remove(settings));
    EXPECT_EQ(entity.open(), kOk);
}

} // namespace
