// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/WalkerAnswerReader.h"
#include "store/Table.h"
#include "store/tables/Inside.h"
#include "store/tables/Vsd.h"
#include "workspace/VsdApplications.h"

#include <QString>

#include <functional>
#include <span>
#include <string>

namespace vetis {
struct RequestRecord;
}

// The steps of one VSD's application, used by the runs of VsdApplications.h:
// submit it, poll it, and ask Mercury how it stands before a second
// submission. Each step fetches the VSD by its UUID and writes what it
// learned at once.
namespace workspace {

// What Mercury says of a VSD when asked before a second submission.
enum class MercuryVsdState
{
    Unknown,   // no answer, a rejected or unfinished query, or no such VSD in it
    Cancelled, // the run was cancelled while waiting for the answer
    Confirmed, // still "CONFIRMED": the earlier application did not repay it
    Utilized,  // "UTILIZED": repaid or returned already
    Other,     // any other status: it can no longer be repaid
};

class VsdApplicationSteps
{
public:
    enum class Submission
    {
        NotFound,      // no such VSD, or its UUID is not 36 characters
        Refused,       // closed, not CONFIRMED, or Mercury could not tell its state
        AlreadyRepaid, // Mercury had repaid or returned it: taken over, not submitted
        Failed,        // the exchange failed (or the record could not be written)
        Submitted,     // the service answered; see rejected
        Cancelled,     // cancelled while Mercury was being asked
    };
    enum class Poll
    {
        NotPolled, // no open application (id and condition 1..9), or the VSD is gone
        NoAnswer,  // the exchange failed or answered another application: nothing changed
        Waiting,   // ACCEPTED or IN_PROCESS
        Completed, // the VSD is repaid
        Rejected,  // REJECTED or an unknown status: condition 100
    };

    explicit VsdApplicationSteps(VsdApplicationsSetup& setup);

    // Opens m_VSD and m_Inside; false, told to the user, when they cannot be.
    [[nodiscard]] bool open();

    // Checks and submits one VSD. `rejected` tells a submission answered
    // REJECTED or with an unknown status.
    Submission submit(VsdOperation operation, const std::string& uuid, bool& rejected);
    Poll poll(const std::string& uuid);
    // True when the VSD has an application id and a condition from 1 to
    // `highestCondition`.
    bool waitsForAnswer(const std::string& uuid, int highestCondition);

    bool cancelled() const;
    // The setup's pause in short steps; false when cancelled meanwhile.
    [[nodiscard]] bool pause();

private:
    // Fetches the VSD into the table's buffer; false when it is not there.
    bool fetch(const std::string& uuid);
    // Fetches the VSD again, changes it and writes it; false (told to the
    // user) when it cannot be written.
    bool update(const std::string& uuid, const std::function<void(store::VsdRecord&)>& change);
    bool readContents(const std::string& uuid, std::vector<store::InsideRecord>& rows);
    // One exchange with the run's settings, entity and transfer control; the
    // lists the request refers to are filled by the program's walker.
    bool exchange(vetis::RequestRecord& request, const store::VsdRecord* vsd = nullptr,
                  std::span<const store::InsideRecord> rows = {});
    // Asks Mercury for the VSD as it is now (an application of its own,
    // received after pauses).
    MercuryVsdState askMercury(const std::string& uuid, std::string_view enterpriseGuid);
    // Before a second submission of `vsd`: true when it may be sent.
    bool mayResubmit(const store::VsdRecord& vsd, Submission& instead);
    void tell(const QString& reason, const store::VsdRecord& vsd, bool problem = true);

    VsdApplicationsSetup& m_setup;
    store::TypedTable<store::VsdRecord> m_vsd;
    store::TypedTable<store::InsideRecord> m_inside;
    // Reads the VSD of a state check's answer.
    responses::WalkerAnswerReader m_reader;
};

// The VSD's description appended to a message about it: date, product and
// volume on lines of their own after an empty one.
QString vsdDescription(const store::VsdRecord& vsd);

// The record as a finished repay or return leaves it: status code 3,
// "UTILIZED", changed today and now, no application id, condition 0,
// "УСПЕХ" (the error text is the caller's).
void markRepaid(store::VsdRecord& vsd);

} // namespace workspace
