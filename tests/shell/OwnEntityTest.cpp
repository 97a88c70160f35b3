// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/ui/OwnEntity.h"
#include "platform/CodePage.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Entity.h"

#include "framework/ErrorManager.h"
#include "framework/PrintQString.h"
#include "framework/RecordingPresenter.h"
#include "framework/StorageErrorTexts.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <map>

namespace {

void addEntity(store::TypedTable<store::EntityRecord>& t, const char* guid, std::uint8_t home,
               const QString& name)
{
    t.clear();
    store::setText(t.rec().GUID, guid);
    t.rec().HOME = home;
    store::setText(t.rec().NAME, platform::toCp1251(name));
    ASSERT_EQ(t.add(), store::kOk);
}

// Every file under a folder with its bytes.
std::map<QString, QByteArray> snapshot(const QString& folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        files[path] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    return files;
}

} // namespace

TEST(OwnEntity, NameOfTheHomeRecordIsShown)
{
    testsupport::TempFolder data;
    QDir(data.path()).mkdir(QStringLiteral("Base"));
    const QString lf = data.file(QStringLiteral("lf.dat"));
    // A folder whose tables were never written: no name, no message, and no
    // file is made for it.
    framework::RecordingPresenter presenter;
    framework::setMessagePresenter(&presenter);
    EXPECT_TRUE(shell::ui::readOwnEntityName(data.path(), lf).isEmpty());
    framework::setMessagePresenter(nullptr);
    EXPECT_EQ(presenter.shown().size(), 0u);
    EXPECT_TRUE(QDir(data.file(QStringLiteral("Base"))).isEmpty());
    {
        store::Session session(data.path(), lf);
        store::TypedTable<store::EntityRecord> t(session, store::entityTable());
        ASSERT_EQ(t.open(), store::kOk);
        addEntity(t, "00000000-0000-0000-0000-000000000001", 0, QStringLiteral("Поставщик"));
        addEntity(t, "00000000-0000-0000-0000-000000000002", 2, QStringLiteral("Другой"));
        EXPECT_TRUE(shell::ui::readOwnEntityName(data.path(), lf).isEmpty());
        addEntity(t, "00000000-0000-0000-0000-000000000003", 1, QStringLiteral("ООО «Ромашка»"));
    }
    EXPECT_EQ(shell::ui::readOwnEntityName(data.path(), lf), QStringLiteral("ООО «Ромашка»"));
}

TEST(OwnEntity, ADamagedTableIsReportedAndLeftAlone)
{
    testsupport::TempFolder data;
    QDir(data.path()).mkdir(QStringLiteral("Base"));
    const QString file = data.file(QStringLiteral("Base/mv02.dat"));
    const QByteArray garbage(4096, '\x5a');
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(garbage);
    }
    framework::installStorageErrorTexts(); // as start-up does
    framework::RecordingPresenter presenter;
    framework::setMessagePresenter(&presenter);
    bool ended = false;
    framework::errorManager().setEndProgramAction([&ended] { ended = true; });

    EXPECT_TRUE(shell::ui::readOwnEntityName(data.path(), data.file(QStringLiteral("lf.dat"))).isEmpty());

    framework::errorManager().setEndProgramAction({});
    framework::setMessagePresenter(nullptr);
    ASSERT_EQ(presenter.shown().size(), 1u);
    const QString text = presenter.shown()[0].text;
    EXPECT_TRUE(text.contains(QStringLiteral("не может быть открыт"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("mv02.dat"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Поврежденный файл данных"))) << text.toStdString();
    EXPECT_TRUE(ended) << "a file that cannot be opened ends the program after the message";
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), garbage);
}

TEST(OwnEntity, ReadingTheNameChangesNothingOnDisk)
{
    testsupport::TempFolder data;
    QDir(data.path()).mkdir(QStringLiteral("Base"));
    const QString lf = data.file(QStringLiteral("lf.dat"));
    {
        store::Session session(data.path(), lf);
        store::TypedTable<store::EntityRecord> t(session, store::entityTable());
        ASSERT_EQ(t.open(), store::kOk);
        addEntity(t, "00000000-0000-0000-0000-000000000003", 1, QStringLiteral("ООО «Ромашка»"));
    }
    // As a file made before table files recorded their version: opening it
    // for writing would mark it.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(data.file(QStringLiteral("Base/mv02.dat")).toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DELETE FROM meta WHERE key = 'version'", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    // Neither the anchor of multi-file commits nor the tables the entities
    // cascade to are made.
    ASSERT_TRUE(QFile::remove(data.file(QStringLiteral("Base/commit.db"))));
    for (const char* child : {"Base/mv01.dat", "Base/mv05.dat"})
        ASSERT_TRUE(QFile::remove(data.file(QString::fromLatin1(child)))) << child;
    const auto before = snapshot(data.path());

    EXPECT_EQ(shell::ui::readOwnEntityName(data.path(), lf), QStringLiteral("ООО «Ромашка»"));
    EXPECT_EQ(snapshot(data.path()), before);
}
