// SPDX-License-Identifier: LicenseRef-Kestrom
// The demo's data folder: prepared against the demo's service, it holds the
// own entity with its working enterprise, access settings that open, and a few
// hundred VSDs of every status and shelf-life case; a prepared folder is left
// alone, and a preparation that fails at the end leaves no own entity behind.
#include "shell/DemoData.h"
#include "shell/DemoService.h"

#include "platform/CodePage.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Entity.h"
#include "store/tables/Place.h"
#include "store/tables/Vsd.h"
#include "support/TestSupport.h"
#include "vetis-sim/SimTypes.h"
#include "vetis/StoredVetisSettings.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <memory>
#include <set>
#include <string>

namespace {

constexpr const char* kDemoEntity = vetissim::known::kOwnEntityGuid;
constexpr const char* kWorkingEnterprise = vetissim::known::kOwnEnterpriseGuid;

// What a test reads of the stored VSDs.
struct StoredVsd
{
    int status = 0;
    int condition = 0;
    int mark = 0;
    std::string consignee;
    std::string enterprise;
    std::string appId;
    std::string appError;
};

std::map<std::string, StoredVsd> storedVsds(const QString& folder)
{
    std::map<std::string, StoredVsd> out;
    store::Session session(folder, {}, store::Access::ReadOnly);
    store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
    EXPECT_EQ(vsds.open(), store::kOk);
    vsds.clear();
    EXPECT_EQ(vsds.set("MVD:BYUUID", 0), store::kOk);
    while (vsds.next() == store::kOk) {
        const store::VsdRecord& r = vsds.rec();
        out[std::string(store::textOf(r.UUID))] = {
            +r.CODSTATUS,
            +r.CONDITION,
            +r.MARK,
            std::string(store::textOf(r.CONSIGNEEHS)),
            std::string(store::textOf(r.CONSIGNEEENT)),
            std::string(store::textOf(r.APPID)),
            platform::cp1251ToUtf8(store::ztextOf(r.APPERROR)),
        };
    }
    return out;
}

// The bytes of every table file of the folder.
std::map<QString, QByteArray> tableFiles(const QString& folder)
{
    std::map<QString, QByteArray> out;
    const QDir base(folder + QStringLiteral("Base"));
    for (const QString& name : base.entryList(QDir::Files)) {
        QFile f(base.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        out[name] = QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    }
    return out;
}

// Runs one statement on a table file outside the program.
void runSql(const QString& file, const char* sql)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

class DemoData : public ::testing::Test
{
protected:
    // One service and one prepared folder for the whole suite: a preparation
    // loads a few hundred VSDs through the exchange.
    static void SetUpTestSuite()
    {
        service = std::make_unique<shell::DemoService>();
        ASSERT_TRUE(service->start()) << service->errorText().toStdString();
        prepared = std::make_unique<testsupport::TempFolder>();
        preparation = shell::prepareDemoDataFolder(prepared->path(), *service);
    }
    static void TearDownTestSuite()
    {
        prepared.reset();
        service.reset();
    }

    static std::unique_ptr<shell::DemoService> service;
    static std::unique_ptr<testsupport::TempFolder> prepared;
    static shell::DemoPreparation preparation;
};

std::unique_ptr<shell::DemoService> DemoData::service;
std::unique_ptr<testsupport::TempFolder> DemoData::prepared;
shell::DemoPreparation DemoData::preparation;

} // namespace

TEST_F(DemoData, APreparedFolderHoldsTheOwnEntityItsWorkingEnterpriseAndSettingsThatOpen)
{
    ASSERT_TRUE(preparation.ok) << preparation.error.toStdString();
    EXPECT_FALSE(preparation.alreadyPrepared);
    EXPECT_TRUE(shell::dataFolderHasOwnEntity(prepared->path()));

    store::Session session(prepared->path());
    store::TypedTable<store::EntityRecord> entities(session, store::entityTable());
    ASSERT_EQ(entities.open(), store::kOk);
    entities.clear();
    entities.rec().HOME = 1;
    ASSERT_EQ(entities.set("MEN:BYHOME"), store::kOk);
    ASSERT_EQ(entities.next(), store::kOk);
    EXPECT_EQ(+entities.rec().HOME, 1);
    EXPECT_EQ(store::textOf(entities.rec().GUID), kDemoEntity);
    EXPECT_FALSE(store::isBlank(store::textOf(entities.rec().NAME)));
    // Only one own entity.
    EXPECT_TRUE(entities.next() != store::kOk || entities.rec().HOME != 1);

    store::TypedTable<store::PlaceRecord> places(session, store::placeTable());
    ASSERT_EQ(places.open(), store::kOk);
    std::map<std::string, int> marks;
    places.clear();
    store::setText(places.rec().ENTITY, kDemoEntity);
    ASSERT_EQ(places.set("MPL:BYENTITY", 1), store::kOk);
    while (places.next() == store::kOk && store::textOf(places.rec().ENTITY) == kDemoEntity)
        marks[std::string(store::textOf(places.rec().ENTERPRISE))] = +places.rec().MARK;
    EXPECT_EQ(marks, (std::map<std::string, int>{{kWorkingEnterprise, 1},
                                                 {vetissim::known::kOwnSecondEnterpriseGuid, 0}}));

    // The settings are read back through the sealed table by a new session.
    store::Session reader(prepared->path());
    vetis::StoredVetisSettings settings(reader);
    const std::optional<store::VetisRecord> s = settings.find(kDemoEntity);
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(store::ztextOf(s->LOGIN), service->login());
    EXPECT_EQ(store::ztextOf(s->PASSWORD), service->password());
    EXPECT_EQ(store::ztextOf(s->APIKEY), service->apiKey());
    EXPECT_EQ(+s->TEST, 0);
    EXPECT_EQ(+s->ANSWER, 1);
    EXPECT_EQ(+s->PERIOD, 30);
    EXPECT_EQ(+s->WINSFONT, 0);
    EXPECT_GT(+s->CDATE, 0);
}

TEST_F(DemoData, APreparedFolderHoldsAFewHundredVsdsOfEveryStatusShelfLifeAndApplicationState)
{
    ASSERT_TRUE(preparation.ok) << preparation.error.toStdString();
    const std::map<std::string, StoredVsd> vsds = storedVsds(prepared->path());
    EXPECT_GE(vsds.size(), 200u);
    EXPECT_LT(vsds.size(), 1000u);
    EXPECT_EQ(static_cast<int>(vsds.size()), preparation.vsdCount);

    std::map<int, int> statuses, marks, conditions;
    for (const auto& [uuid, v] : vsds) {
        EXPECT_EQ(v.consignee, kDemoEntity) << uuid;
        EXPECT_EQ(v.enterprise, kWorkingEnterprise) << uuid;
        ++statuses[v.status];
        ++marks[v.mark];
        ++conditions[v.condition];
        if (v.condition != 0) {
            EXPECT_EQ(v.status, 1) << "only a VSD the clerk may repay has an application";
            EXPECT_EQ(v.appId.size(), 36u) << uuid;
        }
        EXPECT_EQ(v.condition == 100, !v.appError.empty()) << uuid;
    }
    for (int status = 1; status <= 4; ++status)
        EXPECT_GT(statuses[status], 0) << "status " << status;
    EXPECT_GT(marks[0], 0) << "healthy shelf life";
    EXPECT_GT(marks[1], 0) << "expired";
    EXPECT_GT(marks[2], 0) << "under 30 %";
    EXPECT_EQ(conditions[1], 3);
    EXPECT_EQ(conditions[2], 1);
    EXPECT_EQ(conditions[100], 3);
}

TEST_F(DemoData, PreparingAgainChangesNothing)
{
    ASSERT_TRUE(preparation.ok) << preparation.error.toStdString();
    const std::map<QString, QByteArray> before = tableFiles(prepared->path());
    const shell::DemoPreparation again = shell::prepareDemoDataFolder(prepared->path(), *service);
    EXPECT_TRUE(again.ok);
    EXPECT_TRUE(again.alreadyPrepared);
    EXPECT_EQ(tableFiles(prepared->path()), before);
}

TEST_F(DemoData, AFailedLastStepLeavesNoOwnEntityAndTheNextPreparationFinishes)
{
    testsupport::TempFolder folder;
    ASSERT_TRUE(QDir().mkpath(folder.path() + QStringLiteral("Base")));
    {
        // The placeholder the window adds before the user enters his entity,
        // and a settings file that refuses new records, as a full disk would.
        store::Session session(folder.path());
        store::TypedTable<store::EntityRecord> entities(session, store::entityTable());
        ASSERT_EQ(entities.open(), store::kOk);
        entities.clear();
        entities.rec().HOME = 1;
        store::setText(entities.rec().NAME, "placeholder");
        ASSERT_EQ(entities.add(), store::kOk);
        store::Table vetis(session, store::vetisTable());
        ASSERT_EQ(vetis.open(), store::kOk);
    }
    EXPECT_FALSE(shell::dataFolderHasOwnEntity(folder.path()));
    runSql(folder.path() + QStringLiteral("Base/mv01.dat"),
           "CREATE TRIGGER full_disk BEFORE INSERT ON records BEGIN SELECT RAISE(ABORT, 'disk full'); END");

    const shell::DemoPreparation failed = shell::prepareDemoDataFolder(folder.path(), *service);
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(failed.error.isEmpty());
    EXPECT_FALSE(shell::dataFolderHasOwnEntity(folder.path()));
    {
        // The whole last step was rolled back: the placeholder is still there,
        // the entity the loader fetched is no own entity, no enterprise is marked.
        store::Session session(folder.path(), {}, store::Access::ReadOnly);
        store::TypedTable<store::EntityRecord> entities(session, store::entityTable());
        ASSERT_EQ(entities.open(), store::kOk);
        entities.clear();
        store::setText(entities.rec().GUID, kDemoEntity);
        ASSERT_EQ(entities.fetch("MEN:BYGUID"), store::kOk);
        EXPECT_EQ(+entities.rec().HOME, 0);
        entities.clear();
        ASSERT_EQ(entities.fetch("MEN:BYGUID"), store::kOk);
        EXPECT_EQ(+entities.rec().HOME, 1);
        store::TypedTable<store::PlaceRecord> places(session, store::placeTable());
        ASSERT_EQ(places.open(), store::kOk);
        places.clear();
        store::setText(places.rec().ENTITY, kDemoEntity);
        store::setText(places.rec().ENTERPRISE, kWorkingEnterprise);
        ASSERT_EQ(places.fetch("MPL:BYENTITY"), store::kOk);
        EXPECT_EQ(+places.rec().MARK, 0);
    }

    runSql(folder.path() + QStringLiteral("Base/mv01.dat"), "DROP TRIGGER full_disk");
    const shell::DemoPreparation finished = shell::prepareDemoDataFolder(folder.path(), *service);
    ASSERT_TRUE(finished.ok) << finished.error.toStdString();
    EXPECT_FALSE(finished.alreadyPrepared);
    EXPECT_TRUE(shell::dataFolderHasOwnEntity(folder.path()));
    // The placeholder made way for the demo entity; the VSDs, their
    // applications included, are those of a preparation done in one go in
    // another folder.
    store::Session session(folder.path(), {}, store::Access::ReadOnly);
    store::TypedTable<store::EntityRecord> entities(session, store::entityTable());
    ASSERT_EQ(entities.open(), store::kOk);
    entities.clear();
    EXPECT_EQ(entities.fetch("MEN:BYGUID"), store::kRecordNotFound);
    const std::map<std::string, StoredVsd> vsds = storedVsds(folder.path());
    const std::map<std::string, StoredVsd> reference = storedVsds(prepared->path());
    ASSERT_EQ(vsds.size(), reference.size());
    for (auto a = vsds.begin(), b = reference.begin(); a != vsds.end(); ++a, ++b) {
        EXPECT_EQ(a->first, b->first);
        EXPECT_EQ(a->second.condition, b->second.condition) << a->first;
        EXPECT_EQ(a->second.appError, b->second.appError) << a->first;
    }
}
