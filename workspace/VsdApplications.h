// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace framework {
class MessagePresenter;
}
namespace store {
class Session;
}
namespace vetis {
struct ExchangeContext;
class TransferControl;
} // namespace vetis

// Repay and return of incoming VSDs, and the answers to their applications.
//
// Mercury takes a repay or a return (processIncomingConsignment) as an
// application: the program submits it, keeps its state in the VSD's own
// record (MVD:CONDITION, MVD:APPID, MVD:APPSTATUS, MVD:APPERROR) and moves it
// on by asking for the application's result. Each VSD is written on its own as
// soon as its answer is known; nothing is rolled back.
//
// A VSD whose earlier application is still open (an id, condition 1 to 9) may
// have been repaid already although its answer never arrived. Before such a
// VSD is submitted again, Mercury is asked for the VSD as it is now
// (getVetDocumentByUuid): one already repaid or returned is taken over as
// repaid and not submitted twice; one still CONFIRMED is submitted only when
// its earlier application has ended without success; when Mercury cannot
// tell, nothing is sent.
//
// Everything here runs synchronously on the calling thread (a worker of
// vetis::ExchangeRunner): no widgets, no event loop. The question before a
// run is the window's. From a window, as one job of its runner:
//
//   runner.start([entity, uuids](vetis::ExchangeWorker& worker) {
//       vetis::ExchangeContext context;
//       context.settings = &worker.storedSettings();
//       workspace::VsdApplicationsSetup setup{worker.session(), context, entity,
//                                             framework::messagePresenter(),
//                                             [&worker] { return worker.cancelRequested(); },
//                                             {}, &worker.control()};
//       worker.setProduct(workspace::repayOrReturnVsds(setup, workspace::VsdOperation::Repay, uuids));
//       return true;
//   });
namespace workspace {

// Also the MVD:CONDITION of a VSD while its application runs.
enum class VsdOperation
{
    Repay = 1,
    Return = 2,
};

// What a run works with; every reference must outlive the call.
struct VsdApplicationsSetup
{
    // The calling thread's session; m_VSD and m_Inside are opened through it
    // and no transaction is held across an exchange.
    store::Session& session;
    // The access settings of every exchange (its reader is not needed: the
    // run reads its answers itself).
    vetis::ExchangeContext& exchange;
    // The own business entity (36 characters).
    std::string entityGuid;
    // Refusals and the notes of the check before a second submission.
    framework::MessagePresenter& presenter;
    // Asked between VSDs and, in short steps, during pauses; true stops the
    // run after the VSD in hand. May be empty.
    std::function<bool()> cancelled;
    // done of total steps. May be empty.
    std::function<void(int done, int total)> progress;
    // Progress and cancel of each transfer (the runner's); may be null.
    vetis::TransferControl* transfer = nullptr;
    // The pause before the first poll after the submissions, and before each
    // receive of a state check.
    std::chrono::milliseconds pause{3000};
};

struct VsdApplicationsOutcome
{
    int submitted = 0;     // the service took the application
    int refused = 0;       // not submitted: closed, not CONFIRMED, or Mercury could not tell its state
    int alreadyRepaid = 0; // not submitted: Mercury had repaid or returned it already
    int failed = 0;        // the submission's exchange failed
    int polled = 0;        // answers to polls taken into the record
    int completed = 0;     // applications found finished: the VSD is repaid ("UTILIZED")
    int rejected = 0;      // applications rejected or answered with an unknown status (condition 100)
    bool cancelled = false;
};

// Repays or returns the VSDs of `uuids` (the selection in ascending UUID
// order, or the one current VSD): submits each in turn, then, after one
// pause, polls each that waits for its answer (condition 1 or 2 with an
// application id). Unknown UUIDs are skipped, one given twice is taken once.
// Progress counts both passes: total is twice the number of distinct UUIDs. A cancel leaves every VSD as it
// was last written: a submitted one waits for "Ответ F4".
VsdApplicationsOutcome repayOrReturnVsds(VsdApplicationsSetup& setup, VsdOperation operation,
                                         const std::vector<std::string>& uuids);

// "Ответ F4": polls every VSD of the own entity received by `enterpriseGuid`
// whose condition is 1 to 9. Returns how many such VSDs there were (each is
// polled unless the run is cancelled first): 0 when none waits for an answer,
// -1 when the local tables could not be read (the user has been told).
int pollVsdApplications(VsdApplicationsSetup& setup, std::string_view enterpriseGuid);

} // namespace workspace
