// SPDX-License-Identifier: LicenseRef-Kestrom
// The morning's load against the VetIS test double: the VSD list application
// followed until it is complete, its VSDs stored with their contents and the
// names they refer to, and a second load of the same VSDs changing nothing
// the user has set.
#include "responses/VsdLoader.h"
#include "framework/RecordingPresenter.h"
#include "responses/WalkerAnswerReader.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Entity.h"
#include "store/tables/Inside.h"
#include "store/tables/Vsd.h"
#include "support/FakeVetisSettingsRepository.h"
#include "support/SimSettings.h"
#include "support/TestSupport.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"
#include "vetis/Exchange.h"
#include "vetis/VetisSettings.h"

#include <QDir>
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <functional>
#include <string>

namespace {

constexpr const char* kClerkEntity = vetissim::known::kOwnEntityGuid;

class VsdLoader : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(folder.path() + QStringLiteral("Base")));
        framework::setMessagePresenter(&presenter);
        ASSERT_TRUE(sim.start()) << sim.errorString();
        vetis::setEndpointBaseOverride(sim.baseUrl());
        store::VetisRecord s = simSettings(sim, kClerkEntity);
        s.ANSWER = 1;
        repo.records[kClerkEntity] = s;
        context.settings = &repo;
        context.reader = &reader;
    }
    void TearDown() override
    {
        vetis::clearEndpointOverrides();
        framework::setMessagePresenter(nullptr);
    }

    std::string submit()
    {
        vetis::RequestRecord r;
        r.setRequestCode(vetis::RequestCode::VetDocumentList);
        store::setText(r.VETISGUID, kClerkEntity);
        r.COUNT = 1000;
        store::setZText(r.P1, kClerkEntity);
        store::setZText(r.P2, vetissim::known::kOwnEnterpriseGuid);
        store::setZText(r.P3, "INCOMING");
        EXPECT_TRUE(vetis::Exchange(r, context));
        return std::string(store::clip(std::string_view(r.APPID, 36)));
    }

    // Loads until the application is finished; the outcome of the last call.
    responses::VsdLoadOutcome loadUntilFinished(std::string id)
    {
        responses::VsdLoadOutcome outcome;
        for (int call = 0; call < 6 && !id.empty(); ++call) {
            store::Session session(folder.path());
            store::Session references(folder.path());
            outcome = responses::loadVsdList(session, references, context, id, kClerkEntity, presenter,
                                             [&](const QString& text) { progress.push_back(text); });
        }
        EXPECT_TRUE(id.empty()) << "the application never finished";
        return outcome;
    }

    // Changes the first stored VSD as `change` says; its UUID.
    std::string changeFirstVsd(const std::function<void(store::VsdRecord&)>& change)
    {
        store::Session session(folder.path());
        store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
        EXPECT_EQ(vsds.open(), store::kOk);
        EXPECT_EQ(vsds.set("MVD:BYUUID", 0), store::kOk);
        EXPECT_EQ(vsds.next(), store::kOk);
        change(vsds.rec());
        EXPECT_EQ(vsds.put(), store::kOk);
        return std::string(store::textOf(vsds.rec().UUID));
    }
    store::VsdRecord storedVsd(const std::string& uuid)
    {
        store::Session session(folder.path());
        store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
        EXPECT_EQ(vsds.open(), store::kOk);
        vsds.clear();
        store::setText(vsds.rec().UUID, uuid);
        EXPECT_EQ(vsds.fetch("MVD:BYUUID"), store::kOk);
        return vsds.rec();
    }

    // The sum of the VSDs' update dates: which version of each is stored.
    std::int64_t updateDates()
    {
        store::Session session(folder.path());
        store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
        EXPECT_EQ(vsds.open(), store::kOk);
        EXPECT_EQ(vsds.set("MVD:BYUUID", 0), store::kOk);
        std::int64_t sum = 0;
        while (vsds.next() == store::kOk)
            sum += vsds.rec().UPDATEDATE;
        return sum;
    }

    std::int64_t rows(const store::TableDef& def)
    {
        store::Session session(folder.path());
        store::Table table(session, def);
        EXPECT_EQ(table.open(), store::kOk);
        std::int64_t n = 0;
        EXPECT_EQ(table.count(n), store::kOk);
        return n;
    }

    testsupport::TempFolder folder;
    vetissim::VetisSim sim;
    framework::RecordingPresenter presenter;
    FakeVetisSettingsRepository repo;
    responses::WalkerAnswerReader reader;
    vetis::ExchangeContext context;
    QStringList progress;
};

TEST_F(VsdLoader, TheApplicationIsFollowedAndItsVsdsStoredWithWhatTheyName)
{
    const responses::VsdLoadOutcome outcome = loadUntilFinished(submit());
    ASSERT_TRUE(outcome.stored.ok);
    EXPECT_EQ(outcome.appStatus, "COMPLETED");
    const int stored = outcome.stored.inserted;
    EXPECT_GT(stored, 0);
    EXPECT_EQ(rows(store::vsdTable()), stored);
    EXPECT_GT(rows(store::insideTable()), stored); // contents of every kind
    EXPECT_GT(rows(store::entityTable()), 0);      // consignors fetched on the way
    EXPECT_TRUE(progress.contains(QStringLiteral("Загрузка списка ВСД по запросу ...")));
    EXPECT_TRUE(progress.back().startsWith(QStringLiteral("Успешно загружены ВСД по запросу с 1 по ")))
        << progress.back().toStdString();
}

TEST_F(VsdLoader, ASecondLoadOfTheSameVsdsKeepsWhatTheUserSet)
{
    ASSERT_TRUE(loadUntilFinished(submit()).stored.ok);
    // The clerk corrects the quantity and starts processing one VSD.
    const std::string uuid = changeFirstVsd([](store::VsdRecord& r) {
        r.KOLVO = 7.25;
        r.CONDITION = 2;
    });
    const std::int64_t contents = rows(store::insideTable());
    const responses::VsdLoadOutcome again = loadUntilFinished(submit());
    ASSERT_TRUE(again.stored.ok);
    EXPECT_EQ(again.stored.inserted, 0);
    EXPECT_EQ(again.stored.updated, 0);
    EXPECT_GT(again.stored.skipped, 0);
    EXPECT_EQ(rows(store::insideTable()), contents);
    const store::VsdRecord r = storedVsd(uuid);
    EXPECT_EQ(+r.KOLVO, 7.25);
    EXPECT_EQ(+r.CONDITION, 2);
}

TEST_F(VsdLoader, ANewerVersionOfAVsdResetsItsWorkflowButKeepsTheQuantity)
{
    ASSERT_TRUE(loadUntilFinished(submit()).stored.ok);
    // As if stored from an older version, and since then taken into work.
    const std::string uuid = changeFirstVsd([](store::VsdRecord& r) {
        r.UPDATEDATE -= 1;
        r.KOLVO = 3.5;
        r.CONDITION = 2;
        store::setText(r.APPID, "6d4c6a1e-0000-4000-8000-000000000001");
        store::setZText(r.APPSTATUS, "IN_PROCESS");
    });
    const responses::VsdLoadOutcome again = loadUntilFinished(submit());
    ASSERT_TRUE(again.stored.ok);
    EXPECT_EQ(again.stored.updated, 1);
    const store::VsdRecord r = storedVsd(uuid);
    EXPECT_EQ(+r.KOLVO, 3.5);
    EXPECT_EQ(+r.CONDITION, 0);
    EXPECT_EQ(store::textOf(r.APPID), "");
    EXPECT_EQ(store::ztextOf(r.APPSTATUS), "");
}

TEST_F(VsdLoader, AWriteThatFailsRollsTheWholeLoadBackButFetchedNamesStay)
{
    // The contents file refuses its 31st record, as a full disk would.
    ASSERT_EQ(rows(store::insideTable()), 0);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder.path() + QStringLiteral("Base/mv04.dat")).toUtf8().constData(), &db),
              SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(db,
                     "CREATE TRIGGER full_disk BEFORE INSERT ON records "
                     "WHEN (SELECT count(*) FROM records) >= 30 BEGIN SELECT RAISE(ABORT, 'disk full'); END",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);

    const responses::VsdLoadOutcome outcome = loadUntilFinished(submit());
    EXPECT_FALSE(outcome.stored.ok);
    EXPECT_EQ(rows(store::vsdTable()), 0);
    EXPECT_EQ(rows(store::insideTable()), 0);
    EXPECT_GT(rows(store::entityTable()), 0); // stored outside the load's transaction
    EXPECT_TRUE(progress.back().startsWith(QStringLiteral("ОШИБКА ПРИ ЗАГРУЗКЕ СПИСКА ВСД ПО ЗАПРОСУ: ")));
    ASSERT_FALSE(presenter.shown().empty());
    EXPECT_EQ(presenter.shown().back().text,
              QStringLiteral("Не удалось выполнить операцию загрузки списка ВСД !"));
}

TEST_F(VsdLoader, AProgramKilledInTheMiddleOfALoadLeavesTheTablesAtTheLastCommit)
{
    ASSERT_TRUE(loadUntilFinished(submit()).stored.ok);
    const std::int64_t vsdsBefore = rows(store::vsdTable());
    const std::int64_t contentsBefore = rows(store::insideTable());
    // A newer version of every VSD, and a service that answers lookups slowly:
    // the next load is inside its transaction for seconds.
    {
        store::Session session(folder.path());
        store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
        store::Transaction older(session, {&vsds});
        ASSERT_EQ(vsds.open(), store::kOk);
        ASSERT_EQ(older.start(), store::kOk);
        ASSERT_EQ(vsds.set("MVD:BYUUID", 0), store::kOk);
        while (vsds.next() == store::kOk) {
            vsds.rec().UPDATEDATE -= 1;
            ASSERT_EQ(vsds.put(), store::kOk);
        }
        ASSERT_EQ(older.commit(), store::kOk);
    }
    const std::int64_t datesBefore = updateDates();
    const std::string id = submit();
    vetissim::FaultRule slow;
    slow.kind = vetissim::FaultKind::Delay;
    slow.operation = "getBusinessEntityByGuidRequest";
    slow.times = -1;
    slow.delayMs = 5000;
    // Entities looked up on the way are new to this load's lookups: drop them.
    {
        store::Session session(folder.path());
        store::Table entities(session, store::entityTable());
        ASSERT_EQ(entities.open(), store::kOk);
        ASSERT_EQ(entities.deleteAll(), store::kOk);
    }
    sim.setCompletion(0, 0);
    sim.addFault(slow);

    const pid_t child = fork();
    if (child == 0) {
        std::string application = id;
        store::Session session(folder.path());
        store::Session references(folder.path());
        (void)responses::loadVsdList(session, references, context, application, kClerkEntity, presenter,
                                     [](const QString&) {});
        _exit(0);
    }
    ASSERT_GT(child, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status)) << "the load ended before it was killed";
    sim.clearFaults();

    // The next program opens the tables as they were before the load began.
    EXPECT_EQ(rows(store::vsdTable()), vsdsBefore);
    EXPECT_EQ(rows(store::insideTable()), contentsBefore);
    EXPECT_EQ(updateDates(), datesBefore); // no VSD of the killed load was kept
    // And a load after it goes through, storing the newer versions.
    EXPECT_TRUE(loadUntilFinished(submit()).stored.ok);
    EXPECT_EQ(updateDates(), datesBefore + vsdsBefore);
}

} // namespace
