// SPDX-License-Identifier: LicenseRef-Kestrom
// Repay and return of incoming VSDs against the VetIS test double: the
// applications submitted, their answers kept in the VSDs' own records, the
// answers received later ("Ответ F4"), and no VSD submitted twice when the
// answer to its first application was lost.
#include "workspace/VsdApplications.h"

#include "framework/RecordingPresenter.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "responses/VsdLoader.h"
#include "responses/WalkerAnswerReader.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Vsd.h"
#include "support/FakeVetisSettingsRepository.h"
#include "support/RunnerTestSupport.h"
#include "support/SimSettings.h"
#include "support/TestSupport.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"
#include "vetis/Exchange.h"
#include "vetis/ExchangeRunner.h"

#include <QDir>
#include <gtest/gtest.h>
#include <httplib.h>
#include <sqlite3.h>

#include <algorithm>
#include <any>
#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr const char* kRepayingEntity = vetissim::known::kOwnEntityGuid;
constexpr const char* kRepayingEnterprise = vetissim::known::kOwnEnterpriseGuid;
constexpr std::chrono::milliseconds kShortPause{20};

class VsdRepay : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(folder.path() + QStringLiteral("Base")));
        framework::setMessagePresenter(&presenter);
        ASSERT_TRUE(sim.start()) << sim.errorString();
        // An application is processed on its first receive.
        sim.setCompletion(1, 1);
        vetis::setEndpointBaseOverride(sim.baseUrl());
        store::VetisRecord s = simSettings(sim, kRepayingEntity);
        s.ANSWER = 1;
        repo.records[kRepayingEntity] = s;
        context.settings = &repo;
        context.reader = &reader;
        loadVsds();
    }
    void TearDown() override
    {
        platform::setClockForTesting({});
        vetis::clearEndpointOverrides();
        framework::setMessagePresenter(nullptr);
    }

    // The morning's list request: the double's VSDs in m_VSD.
    void loadVsds()
    {
        vetis::RequestRecord r;
        r.setRequestCode(vetis::RequestCode::VetDocumentList);
        store::setText(r.VETISGUID, kRepayingEntity);
        r.COUNT = 1000;
        store::setZText(r.P2, kRepayingEnterprise);
        store::setZText(r.P3, "INCOMING");
        ASSERT_TRUE(vetis::Exchange(r, context));
        std::string id(store::textOf(r.APPID));
        for (int call = 0; call < 4 && !id.empty(); ++call) {
            store::Session session(folder.path());
            store::Session references(folder.path());
            static_cast<void>(responses::loadVsdList(session, references, context, id, kRepayingEntity,
                                                     presenter, [](const QString&) {}));
        }
        ASSERT_TRUE(id.empty());
        sim.clearReceived();
        presenter.clear(); // the shelf-life warning of the load
    }

    // The first `n` CONFIRMED VSDs of the enterprise in UUID order, made
    // repayable here (the double does not look at the closed flag).
    std::vector<std::string> repayable(std::size_t n)
    {
        std::vector<std::string> uuids;
        {
            store::Session session(folder.path());
            store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
            EXPECT_EQ(vsds.open(), store::kOk);
            EXPECT_EQ(vsds.set("MVD:BYUUID", 0), store::kOk);
            while (uuids.size() < n && vsds.next() == store::kOk) {
                const store::VsdRecord& r = vsds.rec();
                if (store::textOf(r.CONSIGNEEENT) == kRepayingEnterprise &&
                    store::ztextOf(r.VETDSTATUS) == "CONFIRMED")
                    uuids.emplace_back(store::textOf(r.UUID));
            }
        }
        EXPECT_EQ(uuids.size(), n);
        for (const std::string& uuid : uuids)
            change(uuid, [](store::VsdRecord& r) {
                r.FINALIZED = 0;
                r.CODSTATUS = 1;
            });
        return uuids;
    }

    void change(const std::string& uuid, const std::function<void(store::VsdRecord&)>& how)
    {
        store::Session session(folder.path());
        store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
        ASSERT_EQ(vsds.open(), store::kOk);
        store::setText(vsds.rec().UUID, uuid);
        ASSERT_EQ(vsds.fetch("MVD:BYUUID"), store::kOk);
        how(vsds.rec());
        ASSERT_EQ(vsds.put(), store::kOk);
    }
    store::VsdRecord stored(const std::string& uuid)
    {
        store::Session session(folder.path());
        store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
        EXPECT_EQ(vsds.open(), store::kOk);
        store::setText(vsds.rec().UUID, uuid);
        EXPECT_EQ(vsds.fetch("MVD:BYUUID"), store::kOk);
        return vsds.rec();
    }

    workspace::VsdApplicationsOutcome run(workspace::VsdOperation operation,
                                          const std::vector<std::string>& uuids,
                                          std::chrono::milliseconds pause = kShortPause)
    {
        store::Session session(folder.path());
        workspace::VsdApplicationsSetup setup{session,   context,  kRepayingEntity, presenter,
                                              cancelled, progress, nullptr,         pause};
        return workspace::repayOrReturnVsds(setup, operation, uuids);
    }
    int answers()
    {
        store::Session session(folder.path());
        workspace::VsdApplicationsSetup setup{session,   context,  kRepayingEntity, presenter,
                                              cancelled, progress, nullptr,         kShortPause};
        return workspace::pollVsdApplications(setup, kRepayingEnterprise);
    }

    // Requests the double received, by their operation (or the application's inner one).
    std::vector<std::string> operationsReceived() const
    {
        std::vector<std::string> out;
        for (const vetissim::ReceivedRequest& r : sim.received())
            out.push_back(r.innerOperation.empty() ? r.operation : r.innerOperation);
        return out;
    }

    static QString description(const store::VsdRecord& r)
    {
        const auto text = [](std::string_view cp1251) { return platform::fromCp1251(store::clip(cp1251)); };
        return QStringLiteral("|| Дата ВСД: %1 г.| Продукция: %2| Объём: %3 %4|")
            .arg(platform::formatDay(r.DATE), text(store::ztextOf(r.PRODITEMNAME)),
                 text(store::ztextOf(r.VOLUME)), text(store::ztextOf(r.UNITNAME)));
    }
    static std::string cp1251(const char* utf8) { return platform::utf8ToCp1251(utf8); }

    void expectRepaid(const std::string& uuid)
    {
        const store::VsdRecord r = stored(uuid);
        EXPECT_EQ(+r.CODSTATUS, 3);
        EXPECT_EQ(store::ztextOf(r.VETDSTATUS), "UTILIZED");
        EXPECT_EQ(+r.CONDITION, 0);
        EXPECT_EQ(store::ztextOf(r.APPSTATUS), cp1251("УСПЕХ"));
        EXPECT_EQ(store::textOf(r.APPID), "");
        EXPECT_EQ(store::ztextOf(r.APPERROR), "");
    }

    testsupport::TempFolder folder;
    vetissim::VetisSim sim;
    framework::RecordingPresenter presenter;
    FakeVetisSettingsRepository repo;
    responses::WalkerAnswerReader reader;
    vetis::ExchangeContext context;
    std::function<bool()> cancelled;
    std::function<void(int, int)> progress;
};

TEST_F(VsdRepay, AClosedVsdOfTheSelectionIsRefusedAndTheOthersAreRepaidAfterOnePause)
{
    const std::vector<std::string> uuids = repayable(3);
    change(uuids[1], [](store::VsdRecord& r) { r.FINALIZED = 1; });
    const auto started = std::chrono::steady_clock::now();
    const workspace::VsdApplicationsOutcome outcome =
        run(workspace::VsdOperation::Repay, uuids, std::chrono::milliseconds(3000));
    const auto took = std::chrono::steady_clock::now() - started;

    EXPECT_EQ(outcome.submitted, 2);
    EXPECT_EQ(outcome.refused, 1);
    EXPECT_EQ(outcome.polled, 2);
    EXPECT_EQ(outcome.completed, 2);
    EXPECT_FALSE(outcome.cancelled);
    // Both submitted before the pause, both polled after it, without a second one.
    EXPECT_EQ(
        operationsReceived(),
        (std::vector<std::string>{"processIncomingConsignmentRequest", "processIncomingConsignmentRequest",
                                  "receiveApplicationResultRequest", "receiveApplicationResultRequest"}));
    EXPECT_GE(took, std::chrono::milliseconds(3000));
    EXPECT_LT(took, std::chrono::milliseconds(6000)); // a second pause would pass it
    expectRepaid(uuids[0]);
    expectRepaid(uuids[2]);
    EXPECT_EQ(sim.vsdStatus(uuids[0]), "UTILIZED");

    const store::VsdRecord closed = stored(uuids[1]);
    EXPECT_EQ(store::ztextOf(closed.VETDSTATUS), "CONFIRMED");
    EXPECT_EQ(+closed.CONDITION, 0);
    ASSERT_EQ(presenter.count(), 1u);
    const framework::MessageRequest refusal = presenter.shown().front();
    EXPECT_EQ(refusal.caption, QStringLiteral("У нас проблема"));
    EXPECT_EQ(refusal.customButtons, QStringList{QStringLiteral("&1. Закрыть")});
    EXPECT_EQ(refusal.text, QStringLiteral("ВСД закрыт, операции по нему запрещены !") + description(closed));

    // A repaid VSD is no longer CONFIRMED: a second repay is refused without a word to the service.
    presenter.clear();
    sim.clearReceived();
    EXPECT_EQ(run(workspace::VsdOperation::Repay, {uuids[0]}).refused, 1);
    EXPECT_TRUE(sim.received().empty());
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_EQ(presenter.shown().front().text,
              QStringLiteral("ВСД должен быть в состоянии ОФОРМЛЕН !") + description(stored(uuids[0])));
}

TEST_F(VsdRepay, RunsAsAJobOfTheWindowsRunner)
{
    const std::vector<std::string> uuids = repayable(2);
    change(uuids[0], [](store::VsdRecord& r) { r.FINALIZED = 1; });
    vetis::ExchangeRunner runner(folder.path());
    ASSERT_TRUE(runner.start([this, uuids](vetis::ExchangeWorker& worker) {
        vetis::ExchangeContext jobContext;
        jobContext.settings = &repo;
        workspace::VsdApplicationsSetup setup{worker.session(),
                                              jobContext,
                                              kRepayingEntity,
                                              framework::messagePresenter(),
                                              [&worker] { return worker.cancelRequested(); },
                                              {},
                                              &worker.control(),
                                              kShortPause};
        worker.setProduct(workspace::repayOrReturnVsds(setup, workspace::VsdOperation::Repay, uuids));
        return true;
    }));
    const std::optional<vetis::ExchangeRunResult> result = runnertest::waitForResult(runner);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->outcome, vetis::RunOutcome::Succeeded);
    const auto outcome = std::any_cast<workspace::VsdApplicationsOutcome>(result->product);
    EXPECT_EQ(outcome.refused, 1);
    EXPECT_EQ(outcome.completed, 1);
    expectRepaid(uuids[1]);
    // The refusal asked for on the worker was shown on this thread.
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_TRUE(presenter.shown().front().text.startsWith(
        QStringLiteral("ВСД закрыт, операции по нему запрещены !")));
}

TEST_F(VsdRepay, AResubmissionThatFailsLeavesNeitherTheOldErrorNorAnApplication)
{
    const std::string uuid = repayable(1).front();
    change(uuid, [](store::VsdRecord& r) {
        r.CONDITION = 100;
        store::setZText(r.APPSTATUS, platform::utf8ToCp1251("ОТКЛОНЕНА"));
        store::setText(r.APPID, "0b7f1c52-8e5a-4d8b-9a0e-3c1d2b4a5f60");
        store::setZText(r.APPERROR, "MERC13004: old");
    });
    vetissim::FaultRule drop;
    drop.kind = vetissim::FaultKind::Drop;
    drop.operation = "processIncomingConsignmentRequest";
    sim.addFault(drop);

    const workspace::VsdApplicationsOutcome outcome = run(workspace::VsdOperation::Repay, {uuid});
    EXPECT_EQ(outcome.failed, 1);
    EXPECT_EQ(outcome.submitted, 0);
    // A rejected application needs no check with Mercury, and nothing is left to poll.
    EXPECT_EQ(operationsReceived(), std::vector<std::string>{"processIncomingConsignmentRequest"});
    const store::VsdRecord r = stored(uuid);
    EXPECT_EQ(+r.CONDITION, 0);
    EXPECT_EQ(store::ztextOf(r.APPERROR), "");
    EXPECT_EQ(store::ztextOf(r.APPSTATUS), "");
    EXPECT_EQ(store::textOf(r.APPID), "");
    EXPECT_EQ(store::ztextOf(r.VETDSTATUS), "CONFIRMED");
}

TEST_F(VsdRepay, AnAnswerThatCannotBeWrittenIsReportedNotCounted)
{
    const std::string uuid = repayable(1).front();
    const store::VsdRecord before = stored(uuid);
    // m_VSD refuses every change, as a full disk would.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder.path() + QStringLiteral("Base/mv08.dat")).toUtf8().constData(), &db),
              SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(db,
                     "CREATE TRIGGER full_disk BEFORE UPDATE ON records BEGIN SELECT RAISE(ABORT, 'disk "
                     "full'); END",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);

    const workspace::VsdApplicationsOutcome outcome = run(workspace::VsdOperation::Repay, {uuid});
    EXPECT_EQ(outcome.submitted, 0);
    EXPECT_EQ(outcome.failed, 1);
    EXPECT_EQ(outcome.polled, 0);
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_EQ(presenter.shown().front().text,
              QStringLiteral("Не удалось записать ответ сервиса в список ВСД !") + description(before));
}

TEST_F(VsdRepay, ARejectedRepayKeepsTheServicesExplanation)
{
    const std::string uuid = repayable(1).front();
    sim.rejectVsd(uuid, "MERC13004", "Объём партии превышает объём по ВСД");
    const workspace::VsdApplicationsOutcome outcome = run(workspace::VsdOperation::Repay, {uuid});
    EXPECT_EQ(outcome.submitted, 1);
    EXPECT_EQ(outcome.rejected, 1);
    const store::VsdRecord r = stored(uuid);
    EXPECT_EQ(+r.CONDITION, 100);
    EXPECT_EQ(store::ztextOf(r.APPSTATUS), cp1251("ОТКЛОНЕНА"));
    EXPECT_EQ(store::ztextOf(r.APPERROR), cp1251("MERC13004: Объём партии превышает объём по ВСД"));
    EXPECT_EQ(store::textOf(r.APPID).size(), 36u); // kept with its error
    EXPECT_EQ(+r.CODSTATUS, 1);
}

TEST_F(VsdRepay, AReturnAnsweredAtOnceWaitsForF4WhenThePauseIsCancelled)
{
    const std::string uuid = repayable(1).front();
    sim.setCompletion(0, 0); // the submission itself answers COMPLETED
    platform::setClockForTesting([] { return QDateTime(QDate(2024, 5, 15), QTime(10, 20, 30)); });
    // The clerk cancels a moment into the pause that follows the submission.
    std::optional<std::chrono::steady_clock::time_point> submittedAt;
    progress = [&](int done, int) {
        if (done == 1)
            submittedAt = std::chrono::steady_clock::now();
    };
    cancelled = [&] {
        return submittedAt &&
               std::chrono::steady_clock::now() - *submittedAt > std::chrono::milliseconds(200);
    };
    const workspace::VsdApplicationsOutcome outcome =
        run(workspace::VsdOperation::Return, {uuid}, std::chrono::milliseconds(3000));
    ASSERT_TRUE(submittedAt);
    EXPECT_LT(std::chrono::steady_clock::now() - *submittedAt, std::chrono::milliseconds(2500));
    EXPECT_TRUE(outcome.cancelled);
    EXPECT_EQ(outcome.submitted, 1);
    EXPECT_EQ(outcome.polled, 0);
    // Written when its answer came: a running return, whatever the answer said.
    store::VsdRecord r = stored(uuid);
    EXPECT_EQ(+r.CONDITION, 2);
    EXPECT_EQ(store::ztextOf(r.APPSTATUS), cp1251("УСПЕХ"));
    EXPECT_EQ(store::textOf(r.APPID).size(), 36u);
    EXPECT_EQ(+r.CODSTATUS, 1);

    cancelled = nullptr;
    EXPECT_EQ(answers(), 1);
    expectRepaid(uuid);
    r = stored(uuid);
    EXPECT_EQ(+r.UPDATEDATE, platform::dayNumber(QDate(2024, 5, 15)));
    EXPECT_EQ(+r.UPDATETIME, platform::timeNumber(QTime(10, 20, 30)));
    // Nothing waits any more.
    EXPECT_EQ(answers(), 0);
}

TEST_F(VsdRepay, AVsdWhoseAnswerWasLostIsNotSubmittedTwice)
{
    const std::string uuid = repayable(1).front();
    // The service repays the VSD on the first poll, but its answer never arrives.
    vetissim::FaultRule lost;
    lost.kind = vetissim::FaultKind::TruncatedXml;
    lost.operation = "receiveApplicationResultRequest";
    sim.addFault(lost);
    EXPECT_EQ(run(workspace::VsdOperation::Repay, {uuid}).submitted, 1);
    EXPECT_EQ(sim.vsdStatus(uuid), "UTILIZED");
    store::VsdRecord r = stored(uuid);
    EXPECT_EQ(+r.CONDITION, 1);
    EXPECT_EQ(store::textOf(r.APPID).size(), 36u);

    // The clerk presses F3 again.
    presenter.clear();
    sim.clearReceived();
    const workspace::VsdApplicationsOutcome again = run(workspace::VsdOperation::Repay, {uuid});
    EXPECT_EQ(again.alreadyRepaid, 1);
    EXPECT_EQ(again.submitted, 0);
    EXPECT_EQ(operationsReceived(),
              (std::vector<std::string>{"getVetDocumentByUuidRequest", "receiveApplicationResultRequest"}));
    expectRepaid(uuid);
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_EQ(presenter.shown().front().text,
              QStringLiteral("ВСД уже погашен в «Меркурии», повторная заявка не отправлена !") +
                  description(r));
}

TEST_F(VsdRepay, WithoutWordFromMercuryAVsdWithAnOpenApplicationIsNotSubmitted)
{
    const std::string uuid = repayable(1).front();
    const std::string lostId = "6d4c6a1e-0000-4000-8000-000000000001";
    change(uuid, [&](store::VsdRecord& r) {
        r.CONDITION = 1;
        store::setText(r.APPID, lostId);
        store::setZText(r.APPSTATUS, platform::utf8ToCp1251("ПРИНЯТА"));
    });
    // The service is down: neither the check nor the poll that follows is answered.
    vetissim::FaultRule down;
    down.kind = vetissim::FaultKind::SoapFault;
    down.times = -1;
    sim.addFault(down);

    const workspace::VsdApplicationsOutcome outcome = run(workspace::VsdOperation::Repay, {uuid});
    EXPECT_EQ(outcome.refused, 1);
    EXPECT_EQ(operationsReceived(),
              (std::vector<std::string>{"getVetDocumentByUuidRequest", "receiveApplicationResultRequest"}));
    store::VsdRecord r = stored(uuid);
    EXPECT_EQ(+r.CONDITION, 1);
    EXPECT_EQ(store::textOf(r.APPID), lostId);
    const QString told =
        QStringLiteral("Нет ответа «Меркурия» о состоянии ВСД, повторная заявка не отправлена "
                       "!|Получите ответы сервиса (F4) или повторите отправку позже.") +
        description(r);
    const std::vector<framework::MessageRequest> shown = presenter.shown();
    EXPECT_EQ(std::count_if(shown.begin(), shown.end(),
                            [&](const framework::MessageRequest& m) { return m.text == told; }),
              1);

    // Once Mercury answers that the VSD is still CONFIRMED and that its
    // earlier application is unknown to it, it is submitted anew.
    sim.clearFaults();
    sim.clearReceived();
    EXPECT_EQ(run(workspace::VsdOperation::Repay, {uuid}).submitted, 1);
    EXPECT_EQ(
        operationsReceived(),
        (std::vector<std::string>{"getVetDocumentByUuidRequest", "receiveApplicationResultRequest",
                                  "receiveApplicationResultRequest", "processIncomingConsignmentRequest",
                                  "receiveApplicationResultRequest"}));
    expectRepaid(uuid);
}

TEST_F(VsdRepay, AVsdWhoseEarlierApplicationIsStillProcessedIsNotSubmittedAgain)
{
    const std::string uuid = repayable(1).front();
    sim.setCompletion(2, 3);
    // The first poll never reaches the service: the repay waits there, unprocessed.
    vetissim::FaultRule lost;
    lost.kind = vetissim::FaultKind::Drop;
    lost.operation = "receiveApplicationResultRequest";
    sim.addFault(lost);
    EXPECT_EQ(run(workspace::VsdOperation::Repay, {uuid}).submitted, 1);
    const std::string firstId(store::textOf(stored(uuid).APPID));

    presenter.clear();
    sim.clearReceived();
    const workspace::VsdApplicationsOutcome again = run(workspace::VsdOperation::Repay, {uuid});
    EXPECT_EQ(again.submitted, 0);
    EXPECT_EQ(again.refused, 1);
    const std::vector<std::string> received = operationsReceived();
    EXPECT_EQ(std::count(received.begin(), received.end(), "processIncomingConsignmentRequest"), 0);
    const store::VsdRecord r = stored(uuid);
    EXPECT_EQ(store::textOf(r.APPID), firstId);
    EXPECT_EQ(+r.CONDITION, 1);
    EXPECT_EQ(store::ztextOf(r.APPSTATUS), cp1251("В ОБРАБОТКЕ")); // polled once more after the pause
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_EQ(presenter.shown().front().text,
              QStringLiteral("Заявка по ВСД ещё обрабатывается «Меркурием», повторная заявка не отправлена "
                             "!|Получите ответы сервиса (F4) позже.") +
                  description(r));
    // F4 later finds it done.
    EXPECT_EQ(answers(), 1);
    expectRepaid(uuid);
}

TEST_F(VsdRepay, F4PollsEveryRunningConditionOfTheEnterpriseOnly)
{
    const std::vector<std::string> uuids = repayable(6);
    const std::uint8_t conditions[] = {0, 1, 5, 9, 100, 1};
    for (std::size_t i = 0; i < uuids.size(); ++i)
        change(uuids[i], [&](store::VsdRecord& r) {
            r.CONDITION = conditions[i];
            // Ids the double never gave: it answers them REJECTED.
            store::setText(r.APPID, "aaaaaaaa-0000-4000-8000-00000000000" + std::to_string(i));
            if (i == 5)
                store::setText(r.CONSIGNEEENT, vetissim::known::kOwnSecondEnterpriseGuid);
        });
    EXPECT_EQ(answers(), 3);
    EXPECT_EQ(operationsReceived().size(), 3u);
    for (std::size_t i = 0; i < uuids.size(); ++i) {
        const store::VsdRecord r = stored(uuids[i]);
        const bool polled = i >= 1 && i <= 3;
        EXPECT_EQ(+r.CONDITION, polled ? 100 : conditions[i]) << i;
        EXPECT_EQ(store::ztextOf(r.APPERROR).starts_with("APLM0007: "), polled) << i;
    }
}

TEST_F(VsdRepay, AnAnswerAboutAnotherApplicationChangesNothing)
{
    const std::string uuid = repayable(1).front();
    const std::string ours = "5f0c1d2e-3a4b-4c5d-8e6f-708192a3b4c5";
    change(uuid, [&](store::VsdRecord& r) {
        r.CONDITION = 1;
        store::setText(r.APPID, ours);
        store::setZText(r.APPSTATUS, platform::utf8ToCp1251("ПРИНЯТА"));
    });
    // A service that answers with a completed application of someone else.
    httplib::Server other;
    other.Post(".*", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(
            R"(<soapenv:Envelope xmlns:soapenv="http://schemas.xmlsoap.org/soap/envelope/"><soapenv:Body>)"
            R"(<ws:receiveApplicationResultResponse xmlns:ws="http://api.vetrf.ru/schema/cdm/application/ws-definitions" )"
            R"(xmlns:apl="http://api.vetrf.ru/schema/cdm/application"><apl:application>)"
            R"(<apl:applicationId>11111111-2222-4333-8444-555555555555</apl:applicationId>)"
            R"(<apl:status>COMPLETED</apl:status></apl:application></ws:receiveApplicationResultResponse>)"
            R"(</soapenv:Body></soapenv:Envelope>)",
            "text/xml;charset=UTF-8");
    });
    const int port = other.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port, 0);
    std::thread serving([&] { other.listen_after_bind(); });
    for (int i = 0; i < 500 && !other.is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    vetis::setEndpointBaseOverride("http://127.0.0.1:" + std::to_string(port));
    const store::VsdRecord before = stored(uuid);
    EXPECT_EQ(answers(), 1);
    other.stop();
    serving.join();
    const store::VsdRecord after = stored(uuid);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
}

} // namespace
