// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/Exchange.h"
#include "vetis/HttpDownload.h"
#include "vetis/RequestRecord.h"

#include <QMetaType>
#include <QObject>
#include <QString>

#include <any>
#include <functional>
#include <memory>
#include <optional>

class QThread;

namespace store {
class Session;
}

// How a window runs an exchange, and the load that follows it, without
// waiting for it: the work goes to a thread of its own with its own store
// session, and progress, cancel and the result travel between the window's
// thread and the worker by queued calls. The window never lends the worker
// anything: the job owns the request record, the lists it references and the
// rows it sends, for its whole life, and they die on the worker.
namespace vetis {

class StoredVetisSettings;
class VetisSettingsRepository;

enum class RunOutcome
{
    Succeeded, // the job did what it was for
    Failed,    // the job failed, or an unexpected error ended it
    Cancelled, // the user (or the closing window) stopped it
};

// What the window learns when a run ends.
struct ExchangeRunResult
{
    RunOutcome outcome = RunOutcome::Failed;
    // The request record of the run's last exchange as the exchange left it,
    // with its list references and control cleared: only the record's own
    // fields reach the window.
    RequestRecord request;
    // The transport's result code of that exchange; -1 when nothing was sent.
    TransferOutcome transfer;
    // Why the run failed when no exchange is to blame (an unexpected error on
    // the worker); empty otherwise.
    QString error;
    // Whatever the job handed over for the window (ExchangeWorker::setProduct).
    std::any product;
};

// The worker's side of one run, handed to the job on the worker thread.
class ExchangeWorker
{
public:
    ~ExchangeWorker();
    ExchangeWorker(const ExchangeWorker&) = delete;
    ExchangeWorker& operator=(const ExchangeWorker&) = delete;

    // The worker's own store session over the runner's data folder, opened on
    // first use and closed when the job ends.
    store::Session& session();
    // The access settings as the program keeps them, read through session().
    VetisSettingsRepository& storedSettings();

    // The run's progress and cancel, for transfers the job makes itself.
    TransferControl& control() { return m_control; }
    bool cancelRequested() const { return m_control.cancelRequested(); }

    // Runs one exchange with the run's progress and cancel. A context without
    // settings reads the stored ones. The record, the lists it references and
    // the context's rows must belong to the job. The record's fields and the
    // transfer's code become the run's result.
    [[nodiscard]] bool exchange(RequestRecord& request, ExchangeContext& context);

    // Hands something to the window with the result (a copyable value; wrap
    // what cannot be copied in a shared pointer).
    void setProduct(std::any product) { m_result.product = std::move(product); }

private:
    friend class ExchangeRunner;
    ExchangeWorker(QString dataFolder, TransferControl& control, ExchangeRunResult& result);

    QString m_dataFolder;
    TransferControl& m_control;
    ExchangeRunResult& m_result;
    std::unique_ptr<store::Session> m_session;
    std::unique_ptr<StoredVetisSettings> m_storedSettings;
};

// A job runs on the worker and returns true when it did what it was for.
// Everything it captures is released on the worker when it ends. An exchange
// and the load that follows it are one job:
//
//   runner.start([request, lists = std::make_shared<VsdLists>()](ExchangeWorker& worker) mutable {
//       request.lists[0] = &lists->vsd;
//       ExchangeContext context;
//       context.reader = &lists->reader;
//       return worker.exchange(request, context) && loadVsds(worker.session(), *lists);
//   });
using ExchangeJob = std::function<bool(ExchangeWorker& worker)>;

// Runs one job at a time for a window. It lives on the window's thread; its
// signals come there. A message box the job asks for is shown on the
// runner's thread by the process-wide presenter while the worker waits; a
// cancel releases that wait too, with the box's default answer, so a window
// that waits for its worker can never wait for a box nobody can show.
class ExchangeRunner final : public QObject
{
    Q_OBJECT
public:
    // dataFolder: where the worker's store session opens its tables (empty:
    // the current folder, as the program's own session).
    explicit ExchangeRunner(QString dataFolder = {}, QObject* parent = nullptr);
    // Stops a run still going (cancel, then wait); its result is not delivered.
    ~ExchangeRunner() override;
    ExchangeRunner(const ExchangeRunner&) = delete;
    ExchangeRunner& operator=(const ExchangeRunner&) = delete;

    // Starts the job on a worker thread; false (and nothing started) while a
    // run is still going or when no job is given.
    [[nodiscard]] bool start(ExchangeJob job);
    bool isRunning() const { return m_thread != nullptr; }

    // Asks the running job to stop; its result (usually Cancelled) follows by
    // finished(). Does not wait.
    void cancel();
    // Cancels the run and waits for the worker to end; finished() is emitted
    // before it returns. For a window that closes.
    void stopAndWait();

Q_SIGNALS:
    void started();
    // 0..100 when the size of the answer is known; otherwise a wrapping count.
    void progressChanged(int value);
    void finished(const vetis::ExchangeRunResult& result);

private:
    struct Run;
    class RunControl;
    class RunPresenter;

    void postProgress(const std::shared_ptr<Run>& run);
    void deliver(const std::shared_ptr<Run>& run);
    // Ends the current run: waits for the worker (cancelling it first when
    // asked) and takes its result; nothing when no run is going.
    [[nodiscard]] std::optional<ExchangeRunResult> endRun(bool cancelFirst);
    static void requestCancel(Run& run);
    static void runJob(ExchangeRunner* runner, const std::shared_ptr<Run>& run, ExchangeJob& job,
                       const QString& dataFolder);

    QString m_dataFolder;
    std::shared_ptr<Run> m_run;
    std::unique_ptr<QThread> m_thread;
};

} // namespace vetis

Q_DECLARE_METATYPE(vetis::ExchangeRunResult)
