// SPDX-License-Identifier: LicenseRef-Kestrom
// Exchanges run on a worker: the window's thread keeps working, hears of the
// progress and the result by queued calls, can cancel at any moment, shows the
// worker's message boxes, and never waits for a box nobody can show.
#include "vetis/ExchangeRunner.h"

#include "store/RecordText.h"
#include "support/RunnerTestSupport.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"
#include "vetis/VetisAccessCheck.h"

#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <stdexcept>

using namespace vetis;
using runnertest::waitForResult;
using runnertest::waitWithEvents;
using runnertest::waitWithoutEvents;

namespace {

constexpr const char* kOwnEntity = vetissim::known::kOwnEntityGuid;

// The incoming VSD list of the own enterprise: an application the test
// double accepts at once.
RequestRecord vsdListRequest()
{
    RequestRecord r;
    r.setRequestCode(RequestCode::VetDocumentList);
    store::setText(r.VETISGUID, kOwnEntity);
    store::setZText(r.P1, kOwnEntity);
    store::setZText(r.P2, vetissim::known::kOwnEnterpriseGuid);
    store::setZText(r.P3, "INCOMING");
    r.COUNT = 1000;
    return r;
}

// Records on which thread it was destroyed.
struct OwnedByJob
{
    explicit OwnedByJob(std::atomic<QThread*>& destroyedOn)
        : m_destroyedOn(destroyedOn)
    {}
    ~OwnedByJob() { m_destroyedOn.store(QThread::currentThread()); }
    std::atomic<QThread*>& m_destroyedOn;
};

class ExchangeRunnerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        framework::setMessagePresenter(&presenter);
        ASSERT_TRUE(sim.start()) << sim.errorString();
        setEndpointBaseOverride(sim.baseUrl());
    }
    void TearDown() override
    {
        clearEndpointOverrides();
        framework::setMessagePresenter(nullptr);
    }

    // A job that sends the request with these settings, as a window would
    // hand it over: everything it uses is its own.
    ExchangeJob exchangeJob(RequestRecord request, std::uint8_t answerMode)
    {
        const store::VetisRecord settings = runnertest::simSettings(sim, answerMode);
        return [request, settings](ExchangeWorker& worker) mutable {
            EditedVetisSettings repository(settings);
            ExchangeContext context;
            context.settings = &repository;
            return worker.exchange(request, context);
        };
    }

    void slowAnswers(int ms)
    {
        vetissim::FaultRule slow;
        slow.kind = vetissim::FaultKind::Delay;
        slow.delayMs = ms;
        slow.times = -1;
        sim.addFault(slow);
    }

    QThread* guiThread() const { return QCoreApplication::instance()->thread(); }

    runnertest::ThreadNotingPresenter presenter;
    vetissim::VetisSim sim{runnertest::quickSimConfig()};
};

} // namespace

TEST_F(ExchangeRunnerTest, ResultCarriesTheRecordFieldsAndWhatTheJobOwnedDiesOnTheWorker)
{
    ExchangeRunner runner;
    std::vector<int> progress;
    bool finishedSeen = false;
    int progressAfterFinish = 0;
    QObject::connect(&runner, &ExchangeRunner::progressChanged, &runner, [&](int value) {
        progress.push_back(value);
        if (finishedSeen)
            ++progressAfterFinish;
    });
    QObject::connect(&runner, &ExchangeRunner::finished, &runner, [&] { finishedSeen = true; });

    std::atomic<QThread*> jobThread{nullptr};
    std::atomic<QThread*> destroyedOn{nullptr};
    ExchangeJob exchange = exchangeJob(vsdListRequest(), 1);
    auto owned = std::make_shared<OwnedByJob>(destroyedOn);
    ASSERT_TRUE(runner.start([&jobThread, exchange, owned](ExchangeWorker& worker) mutable {
        jobThread.store(QThread::currentThread());
        const bool ok = exchange(worker);
        worker.setProduct(QStringLiteral("продукт"));
        return ok;
    }));
    owned.reset();
    EXPECT_TRUE(runner.isRunning());
    EXPECT_FALSE(runner.start([](ExchangeWorker&) { return true; })) << "one run at a time";

    const std::optional<ExchangeRunResult> result = waitForResult(runner);
    ASSERT_TRUE(result.has_value());
    EXPECT_FALSE(runner.isRunning());
    EXPECT_EQ(result->outcome, RunOutcome::Succeeded);
    EXPECT_TRUE(result->transfer.ok());
    EXPECT_EQ(result->request.RCODE, 200);
    EXPECT_EQ(result->request.FLAGLUCK, 1);
    EXPECT_EQ(store::ztextOf(result->request.APPSTATUS), "ACCEPTED");
    ASSERT_EQ(sim.applications().size(), 1u);
    EXPECT_EQ(store::textOf(result->request.APPID), sim.applications()[0].id);
    EXPECT_EQ(store::ztextOf(result->request.LTID).substr(0, 6), "Zanvs_");
    EXPECT_EQ(result->request.control, nullptr) << "nothing of the worker's reaches the window";
    for (responses::ResponseList* list : result->request.lists)
        EXPECT_EQ(list, nullptr);
    ASSERT_EQ(result->product.type(), typeid(QString));
    EXPECT_EQ(std::any_cast<QString>(result->product), QStringLiteral("продукт"));

    EXPECT_NE(jobThread.load(), guiThread()) << "the exchange ran off the window's thread";
    EXPECT_NE(destroyedOn.load(), nullptr);
    EXPECT_NE(destroyedOn.load(), guiThread()) << "what the job owned was released on the worker";

    ASSERT_FALSE(progress.empty()) << "the window heard of the progress";
    EXPECT_EQ(progress.back(), 100) << "the whole answer came";
    EXPECT_EQ(progressAfterFinish, 0) << "no progress arrives after the result";
    EXPECT_TRUE(presenter.shown().empty());

    // The runner takes the next job once the first has ended.
    ASSERT_TRUE(runner.start([](ExchangeWorker&) { return false; }));
    const std::optional<ExchangeRunResult> second = waitForResult(runner);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->outcome, RunOutcome::Failed);
    EXPECT_EQ(second->transfer.code, -1) << "the new run does not inherit the old one's record";
}

TEST_F(ExchangeRunnerTest, CancelStopsASlowAnswerQuicklyWhileTheWindowKeepsWorking)
{
    slowAnswers(8000);
    ExchangeRunner runner;
    int ticks = 0;
    QTimer ticker; // stands for everything else the window does meanwhile
    QObject::connect(&ticker, &QTimer::timeout, &ticker, [&] { ++ticks; });
    ticker.start(50);
    QTimer::singleShot(700, &runner, [&] { runner.cancel(); });

    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(runner.start(exchangeJob(vsdListRequest(), 1)));
    const std::optional<ExchangeRunResult> result = waitForResult(runner);
    const qint64 elapsed = clock.elapsed();

    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->outcome, RunOutcome::Cancelled);
    EXPECT_TRUE(result->transfer.cancelled());
    EXPECT_EQ(result->request.FLAGLUCK, 0);
    EXPECT_EQ(result->request.RCODE, 0);
    EXPECT_LT(elapsed, 5000) << "the run ended long before the answer would have come";
    EXPECT_GE(ticks, 5) << "the window's thread went on with its events";
    EXPECT_TRUE(presenter.shown().empty()) << "a cancel is no error to report";
}

TEST_F(ExchangeRunnerTest, AnExceptionInTheJobBecomesAFailedResult)
{
    ExchangeRunner runner;
    ASSERT_TRUE(
        runner.start([](ExchangeWorker&) -> bool { throw std::runtime_error("таблица недоступна"); }));
    std::optional<ExchangeRunResult> result = waitForResult(runner);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->outcome, RunOutcome::Failed);
    EXPECT_EQ(result->error, QStringLiteral("таблица недоступна"));

    // Whatever is thrown, and after an exchange: the record of the exchange is kept.
    ExchangeJob exchange = exchangeJob(vsdListRequest(), 1);
    ASSERT_TRUE(runner.start([exchange](ExchangeWorker& worker) mutable -> bool {
        exchange(worker);
        throw 42;
    }));
    result = waitForResult(runner);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->outcome, RunOutcome::Failed);
    EXPECT_FALSE(result->error.isEmpty());
    EXPECT_EQ(result->request.RCODE, 200);
    EXPECT_FALSE(runner.isRunning());
}

TEST_F(ExchangeRunnerTest, WorkerBoxesAreShownOnTheWindowThreadAndAnswered)
{
    // "Always" shows the exchange's answer box as well.
    presenter.answer = [](const framework::MessageRequest& r) {
        return r.caption == QStringLiteral("Вопрос") ? int(framework::ButtonYes) : r.defaultAnswer();
    };
    ExchangeRunner runner;
    ExchangeJob exchange = exchangeJob(vsdListRequest(), 2);
    ASSERT_TRUE(runner.start([exchange](ExchangeWorker& worker) mutable {
        const bool ok = exchange(worker);
        // No is preselected: only the answer from the window's thread says yes.
        worker.setProduct(
            framework::questionMessage(framework::messagePresenter(), QStringLiteral("Дальше?")));
        return ok;
    }));
    const std::optional<ExchangeRunResult> result = waitForResult(runner);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->outcome, RunOutcome::Succeeded);
    EXPECT_TRUE(std::any_cast<bool>(result->product));

    const auto shown = presenter.shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].request.caption, QStringLiteral("Ответ сервиса"));
    EXPECT_EQ(shown[1].request.text, QStringLiteral("Дальше?"));
    for (const auto& s : shown)
        EXPECT_EQ(s.thread, guiThread()) << s.request.caption.toStdString();
}

TEST_F(ExchangeRunnerTest, CancelReleasesAWorkerThatWaitsForABox)
{
    struct Probe
    {
        std::atomic<bool> asking{false};
        std::atomic<bool> answered{false};
        std::atomic<bool> yes{true};
    };
    const auto askQuestion = [](std::shared_ptr<Probe> probe) {
        return [probe](ExchangeWorker&) {
            probe->asking.store(true);
            probe->yes.store(
                framework::questionMessage(framework::messagePresenter(), QStringLiteral("Дальше?")));
            probe->answered.store(true);
            return probe->yes.load();
        };
    };
    presenter.answer = [](const framework::MessageRequest&) { return int(framework::ButtonYes); };

    // The box is still on its way to the window's thread, which does not get to it.
    {
        ExchangeRunner runner;
        auto probe = std::make_shared<Probe>();
        ASSERT_TRUE(runner.start(askQuestion(probe)));
        ASSERT_TRUE(waitWithoutEvents([&] { return probe->asking.load(); }));
        QThread::msleep(100);
        EXPECT_FALSE(probe->answered.load()) << "the worker waits for the box";
        runner.cancel();
        EXPECT_TRUE(waitWithoutEvents([&] { return probe->answered.load(); }))
            << "a cancel releases the wait without the window's thread";
        EXPECT_FALSE(probe->yes.load()) << "with the box's default answer";
        const std::optional<ExchangeRunResult> result = waitForResult(runner);
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result->outcome, RunOutcome::Cancelled);
        EXPECT_TRUE(presenter.shown().empty()) << "no box for a run that went on without it";
    }

    // The window closes meanwhile: it cancels and waits, and gets the result at once.
    {
        ExchangeRunner runner;
        auto probe = std::make_shared<Probe>();
        std::optional<ExchangeRunResult> result;
        QObject::connect(&runner, &ExchangeRunner::finished, &runner,
                         [&](const ExchangeRunResult& r) { result = r; });
        ASSERT_TRUE(runner.start(askQuestion(probe)));
        ASSERT_TRUE(waitWithoutEvents([&] { return probe->asking.load(); }));
        QThread::msleep(100);
        runner.stopAndWait();
        EXPECT_FALSE(runner.isRunning());
        EXPECT_TRUE(probe->answered.load());
        ASSERT_TRUE(result.has_value());
        EXPECT_EQ(result->outcome, RunOutcome::Cancelled);
        QCoreApplication::processEvents();
        EXPECT_TRUE(presenter.shown().empty());
    }

    // The box is up when the cancel comes: the worker goes on at once and
    // ignores the answer given later.
    {
        ExchangeRunner runner;
        auto probe = std::make_shared<Probe>();
        bool releasedWhileUp = false;
        presenter.answer = [&](const framework::MessageRequest&) {
            runner.cancel();
            releasedWhileUp = waitWithEvents([&] { return probe->answered.load(); });
            return int(framework::ButtonYes);
        };
        ASSERT_TRUE(runner.start(askQuestion(probe)));
        const std::optional<ExchangeRunResult> result = waitForResult(runner);
        ASSERT_TRUE(result.has_value());
        EXPECT_TRUE(releasedWhileUp);
        EXPECT_FALSE(probe->yes.load());
        EXPECT_EQ(result->outcome, RunOutcome::Cancelled);
        EXPECT_EQ(presenter.shown().size(), 1u);
    }
}

TEST_F(ExchangeRunnerTest, ARunnerDestroyedMidRunStopsItsWorker)
{
    slowAnswers(8000);
    std::atomic<QThread*> destroyedOn{nullptr};
    auto owned = std::make_shared<OwnedByJob>(destroyedOn);
    ExchangeJob exchange = exchangeJob(vsdListRequest(), 2);
    QElapsedTimer clock;
    {
        auto runner = std::make_unique<ExchangeRunner>();
        ASSERT_TRUE(
            runner->start([exchange, owned](ExchangeWorker& worker) mutable { return exchange(worker); }));
        owned.reset();
        ASSERT_TRUE(waitWithEvents([&] { return !sim.received().empty(); }));
        clock.start();
        runner.reset();
    }
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_NE(destroyedOn.load(), nullptr) << "the job was over when the runner went";
    QCoreApplication::processEvents();
    EXPECT_TRUE(presenter.shown().empty());
}
