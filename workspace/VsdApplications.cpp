// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/VsdApplications.h"

#include "framework/MessageBox.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Table.h"
#include "store/tables/Vsd.h"
#include "workspace/VsdApplicationSteps.h"

#include <set>

namespace workspace {

namespace {

// After a submission only the two conditions of this program's own
// applications are polled; "Ответ F4" takes every running one.
constexpr int kHighestSubmittedCondition = 2;
constexpr std::uint8_t kFirstRunningCondition = 1;
constexpr std::uint8_t kLastRunningCondition = 9;

void reportProgress(const VsdApplicationsSetup& setup, int done, int total)
{
    if (setup.progress)
        setup.progress(done, total);
}

void countPoll(VsdApplicationSteps::Poll poll, VsdApplicationsOutcome& outcome)
{
    switch (poll) {
    case VsdApplicationSteps::Poll::NotPolled:
    case VsdApplicationSteps::Poll::NoAnswer:
        return;
    case VsdApplicationSteps::Poll::Waiting:
        break;
    case VsdApplicationSteps::Poll::Completed:
        ++outcome.completed;
        break;
    case VsdApplicationSteps::Poll::Rejected:
        ++outcome.rejected;
        break;
    }
    ++outcome.polled;
}

// The UUIDs of the VSDs of the entity and enterprise with a running
// condition, read before any of them is polled: a poll moves its VSD within
// the key.
bool runningApplications(store::Session& session, std::string_view entityGuid,
                         std::string_view enterpriseGuid, std::vector<std::string>& uuids)
{
    store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
    if (vsds.open() != store::kOk)
        return false;
    vsds.clear();
    store::setText(vsds.rec().CONSIGNEEHS, entityGuid);
    store::setText(vsds.rec().CONSIGNEEENT, enterpriseGuid);
    vsds.rec().CONDITION = kFirstRunningCondition;
    if (vsds.set("MVD:BYCONDITION2", 3) != store::kOk)
        return false;
    int rc = store::kOk;
    while ((rc = vsds.next()) == store::kOk) {
        const store::VsdRecord& r = vsds.rec();
        if (store::textOf(r.CONSIGNEEHS) != store::clip(entityGuid) ||
            store::textOf(r.CONSIGNEEENT) != store::clip(enterpriseGuid) ||
            r.CONDITION > kLastRunningCondition)
            break;
        uuids.emplace_back(store::textOf(r.UUID));
    }
    return rc == store::kOk || rc == store::kRecordNotFound;
}

} // namespace

VsdApplicationsOutcome repayOrReturnVsds(VsdApplicationsSetup& setup, VsdOperation operation,
                                         const std::vector<std::string>& selection)
{
    // A VSD named twice would be submitted twice.
    std::vector<std::string> uuids;
    std::set<std::string> seen;
    for (const std::string& uuid : selection)
        if (seen.insert(uuid).second)
            uuids.push_back(uuid);
    VsdApplicationsOutcome outcome;
    VsdApplicationSteps steps(setup);
    if (uuids.empty() || !steps.open())
        return outcome;
    const int count = static_cast<int>(uuids.size());
    const int total = 2 * count;
    reportProgress(setup, 0, total);

    for (int i = 0; i < count; ++i) {
        if (steps.cancelled()) {
            outcome.cancelled = true;
            return outcome;
        }
        bool rejected = false;
        switch (steps.submit(operation, uuids[static_cast<std::size_t>(i)], rejected)) {
        case VsdApplicationSteps::Submission::NotFound:
            break;
        case VsdApplicationSteps::Submission::Refused:
            ++outcome.refused;
            break;
        case VsdApplicationSteps::Submission::AlreadyRepaid:
            ++outcome.alreadyRepaid;
            break;
        case VsdApplicationSteps::Submission::Failed:
            ++outcome.failed;
            break;
        case VsdApplicationSteps::Submission::Submitted:
            ++outcome.submitted;
            outcome.rejected += rejected ? 1 : 0;
            break;
        case VsdApplicationSteps::Submission::Cancelled:
            outcome.cancelled = true;
            return outcome;
        }
        reportProgress(setup, i + 1, total);
    }

    // One pause before the first poll gives Mercury time to process the
    // applications; the later polls follow at once.
    bool paused = false;
    for (int i = 0; i < count; ++i) {
        const std::string& uuid = uuids[static_cast<std::size_t>(i)];
        if (steps.cancelled()) {
            outcome.cancelled = true;
            return outcome;
        }
        if (steps.waitsForAnswer(uuid, kHighestSubmittedCondition)) {
            if (!paused && !steps.pause()) {
                outcome.cancelled = true;
                return outcome;
            }
            paused = true;
            countPoll(steps.poll(uuid), outcome);
        }
        reportProgress(setup, count + i + 1, total);
    }
    return outcome;
}

int pollVsdApplications(VsdApplicationsSetup& setup, std::string_view enterpriseGuid)
{
    VsdApplicationSteps steps(setup);
    if (!steps.open())
        return -1;
    std::vector<std::string> uuids;
    if (!runningApplications(setup.session, setup.entityGuid, enterpriseGuid, uuids)) {
        framework::informationMessage(setup.presenter,
                                      QStringLiteral("Нет доступа к спискам БД для выполнения операции !"));
        return -1;
    }
    const int total = static_cast<int>(uuids.size());
    reportProgress(setup, 0, total);
    for (int i = 0; i < total && !steps.cancelled(); ++i) {
        static_cast<void>(steps.poll(uuids[static_cast<std::size_t>(i)]));
        reportProgress(setup, i + 1, total);
    }
    return total;
}

} // namespace workspace
