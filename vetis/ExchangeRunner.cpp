// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/ExchangeRunner.h"

#include "framework/MessageBox.h"
#include "store/Session.h"
#include "vetis/StoredVetisSettings.h"

#include <QCoreApplication>
#include <QThread>

#include <curl/curl.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>

namespace vetis {

// What the runner's thread and the worker share for one run. The worker keeps
// its own reference, so a run outlives a runner that stopped waiting for it
// only in this small state, never in anything of the window's.
struct ExchangeRunner::Run
{
    std::atomic<bool> cancelled{false};
    // The latest progress value, and whether a call that reports it is on its
    // way: a burst of values costs one queued call, not one per value.
    std::atomic<int> progress{0};
    std::atomic<bool> progressPosted{false};

    std::mutex mutex;
    std::condition_variable wake;
    // Message boxes the worker asked for, and the number of the one answered.
    std::uint64_t boxesAsked = 0;
    std::uint64_t boxAnswered = 0;
    int answer = 0;
    // Written by the worker just before it ends.
    ExchangeRunResult result;
};

// The transfer's progress and cancel, on the worker.
class ExchangeRunner::RunControl final : public TransferControl
{
public:
    RunControl(ExchangeRunner* runner, std::shared_ptr<Run> run)
        : m_runner(runner)
        , m_run(std::move(run))
    {}

    void setProgress(int value) override
    {
        m_run->progress.store(value);
        if (!m_run->progressPosted.exchange(true))
            m_runner->postProgress(m_run);
    }
    bool cancelRequested() const override { return m_run->cancelled.load(); }

private:
    ExchangeRunner* m_runner;
    std::shared_ptr<Run> m_run;
};

// The worker's presenter: hands each box to the runner's thread, which shows
// it with the process-wide presenter, and waits for the answer or for a
// cancel, whichever comes first.
class ExchangeRunner::RunPresenter final : public framework::MessagePresenter
{
public:
    RunPresenter(QObject* ownerThreadContext, std::shared_ptr<Run> run)
        : m_context(ownerThreadContext)
        , m_run(std::move(run))
    {}

    [[nodiscard]] int present(const framework::MessageRequest& request) override
    {
        return askOwnerThread([request] { return framework::messagePresenter().present(request); },
                              request.defaultAnswer());
    }

    void presentHistory(const std::vector<framework::HistoryEntry>& entries) override
    {
        // The history window asks nothing: there is no answer to wait for.
        static_cast<void>(askOwnerThread(
            [entries] {
                framework::messagePresenter().presentHistory(entries);
                return 0;
            },
            0));
    }

private:
    [[nodiscard]] int askOwnerThread(std::function<int()> action, int answerWhenCancelled)
    {
        Run& run = *m_run;
        std::unique_lock lock(run.mutex);
        if (run.cancelled.load())
            return answerWhenCancelled;
        const std::uint64_t number = ++run.boxesAsked;
        lock.unlock();

        QMetaObject::invokeMethod(
            m_context,
            [run = m_run, number, action = std::move(action)] {
                {
                    // The worker has gone on without an answer: no box.
                    std::lock_guard guard(run->mutex);
                    if (run->cancelled.load())
                        return;
                }
                const int answer = action();
                {
                    std::lock_guard guard(run->mutex);
                    run->boxAnswered = number;
                    run->answer = answer;
                }
                run->wake.notify_all();
            },
            Qt::QueuedConnection);

        lock.lock();
        run.wake.wait(lock, [&] { return run.cancelled.load() || run.boxAnswered == number; });
        return run.boxAnswered == number ? run.answer : answerWhenCancelled;
    }

    QObject* m_context;
    std::shared_ptr<Run> m_run;
};

ExchangeWorker::ExchangeWorker(QString dataFolder, TransferControl& control, ExchangeRunResult& result)
    : m_dataFolder(std::move(dataFolder))
    , m_control(control)
    , m_result(result)
{}

ExchangeWorker::~ExchangeWorker()
{
    // The settings read through the session go before it.
    m_storedSettings.reset();
    m_session.reset();
}

store::Session& ExchangeWorker::session()
{
    if (!m_session)
        m_session = std::make_unique<store::Session>(m_dataFolder);
    return *m_session;
}

VetisSettingsRepository& ExchangeWorker::storedSettings()
{
    if (!m_storedSettings)
        m_storedSettings = std::make_unique<StoredVetisSettings>(session());
    return *m_storedSettings;
}

bool ExchangeWorker::exchange(RequestRecord& request, ExchangeContext& context)
{
    TransferControl* const callersControl = request.control;
    VetisSettingsRepository* const callersSettings = context.settings;
    request.control = &m_control;
    if (!context.settings)
        context.settings = &storedSettings();

    bool ok = false;
    if (m_control.cancelRequested()) {
        // Cancelled before it began: nothing is sent.
        request.FLAGLUCK = 0;
        context.outcome.code = CURLE_ABORTED_BY_CALLBACK;
    } else {
        ok = Exchange(request, context);
    }

    request.control = callersControl;
    context.settings = callersSettings;
    m_result.request = request;
    m_result.request.lists.fill(nullptr);
    m_result.request.control = nullptr;
    m_result.transfer = context.outcome;
    return ok;
}

ExchangeRunner::ExchangeRunner(QString dataFolder, QObject* parent)
    : QObject(parent)
    , m_dataFolder(std::move(dataFolder))
{}

ExchangeRunner::~ExchangeRunner()
{
    // Whatever the worker still does, it does with what it owns; it only has
    // to be told to stop and waited for. Its result has nobody to go to.
    static_cast<void>(endRun(true));
}

bool ExchangeRunner::start(ExchangeJob job)
{
    if (m_thread || !job)
        return false;
    auto run = std::make_shared<Run>();
    // Boxes are shown where the application's windows live; the application
    // object is a safer place to queue them than this runner, which a
    // closing window may delete while a box is up.
    QCoreApplication* app = QCoreApplication::instance();
    QObject* boxContext = app && app->thread() == thread() ? static_cast<QObject*>(app) : this;

    std::unique_ptr<QThread> thread(
        QThread::create([this, run, boxContext, job = std::move(job), folder = m_dataFolder]() mutable {
            RunPresenter presenter(boxContext, run);
            framework::ScopedThreadMessagePresenter ownBoxes(&presenter);
            runJob(this, run, job, folder);
        }));
    thread->setObjectName(QStringLiteral("ExchangeRunner"));
    m_run = std::move(run);
    m_thread = std::move(thread);
    m_thread->start();
    Q_EMIT started();
    return true;
}

void ExchangeRunner::runJob(ExchangeRunner* runner, const std::shared_ptr<Run>& run, ExchangeJob& job,
                            const QString& dataFolder)
{
    RunControl control(runner, run);
    ExchangeRunResult result;
    try {
        bool ok = false;
        {
            ExchangeWorker worker(dataFolder, control, result);
            ok = job(worker);
            // What the job owns is released here, on the worker, while its
            // session is still open.
            job = nullptr;
        }
        if (ok)
            result.outcome = RunOutcome::Succeeded;
        else if (control.cancelRequested() || result.transfer.cancelled())
            result.outcome = RunOutcome::Cancelled;
        else
            result.outcome = RunOutcome::Failed;
    } catch (const std::exception& e) {
        result.outcome = RunOutcome::Failed;
        result.error = QString::fromUtf8(e.what()).trimmed();
        if (result.error.isEmpty())
            result.error = QStringLiteral("неизвестная ошибка");
    } catch (...) {
        result.outcome = RunOutcome::Failed;
        result.error = QStringLiteral("неизвестная ошибка");
    }
    job = nullptr;

    {
        std::lock_guard guard(run->mutex);
        run->result = std::move(result);
    }
    QMetaObject::invokeMethod(
        runner, [runner, run] { runner->deliver(run); }, Qt::QueuedConnection);
}

void ExchangeRunner::postProgress(const std::shared_ptr<Run>& run)
{
    QMetaObject::invokeMethod(
        this,
        [this, run] {
            // Cleared before the value is read: a value stored meanwhile posts again.
            run->progressPosted.store(false);
            if (run == m_run)
                Q_EMIT progressChanged(run->progress.load());
        },
        Qt::QueuedConnection);
}

void ExchangeRunner::deliver(const std::shared_ptr<Run>& run)
{
    // A run that was stopped and waited for has already been delivered.
    if (run != m_run)
        return;
    if (std::optional<ExchangeRunResult> result = endRun(false))
        Q_EMIT finished(*result);
}

void ExchangeRunner::requestCancel(Run& run)
{
    {
        std::lock_guard guard(run.mutex);
        run.cancelled.store(true);
    }
    run.wake.notify_all();
}

void ExchangeRunner::cancel()
{
    if (m_run)
        requestCancel(*m_run);
}

void ExchangeRunner::stopAndWait()
{
    if (std::optional<ExchangeRunResult> result = endRun(true))
        Q_EMIT finished(*result);
}

std::optional<ExchangeRunResult> ExchangeRunner::endRun(bool cancelFirst)
{
    if (!m_thread)
        return std::nullopt;
    if (cancelFirst)
        requestCancel(*m_run);
    m_thread->wait();
    const std::shared_ptr<Run> run = std::move(m_run);
    m_thread.reset();
    std::lock_guard guard(run->mutex);
    return std::move(run->result);
}

} // namespace vetis
