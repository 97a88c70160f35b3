// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/ResponseList.h"
#include "responses/VsdContentsLists.h"
#include "responses/VsdList.h"
#include "responses/VsdMapping.h"

#include <QString>

#include <functional>
#include <string>
#include <string_view>

namespace framework {
class MessagePresenter;
}
namespace store {
class Session;
}
namespace vetis {
class TransferControl;
struct ExchangeContext;
struct RequestRecord;
} // namespace vetis

// The VSD list of an application's result into m_VSD and m_Inside: every VSD
// and its contents in one transaction, the names it refers to stored on the
// way through a session of their own, so that they stay when the load is
// rolled back.
namespace responses {

class ReferenceLookups;

// The VSD list and its nine contents lists, in the order a request record
// refers to them.
struct VsdAnswerLists
{
    TypedList<VsdRow> vsd;
    TypedList<RefDocRow> refDocs;
    TypedList<BatchIdRow> batchIds;
    TypedList<ProducerRow> producers;
    TypedList<PackageRow> packages;
    TypedList<ConditionRow> conditions;
    TypedList<LabResearchRow> research;
    TypedList<StatusChangeRow> statusChanges;
    TypedList<RoutePointRow> routePoints;
    TypedList<ImmunizationRow> immunizations;

    // Binds the lists to the request, with the VSD's record element.
    void bind(vetis::RequestRecord& request);
};

struct VsdStoreOutcome
{
    bool ok = false;       // committed
    bool noAccess = false; // the transaction could not start
    int inserted = 0;
    int updated = 0;
    int skipped = 0; // unchanged since they were stored
    ShelfLifeCounters counters;
};

// Stores the VSDs of read lists in one transaction over m_VSD and m_Inside
// of `session`; names are looked up through `lookups`, which must work
// through another session (and so must the settings of its exchanges). Sorts the referenced
// documents and route points.
[[nodiscard]] VsdStoreOutcome storeVsdLists(store::Session& session, VsdAnswerLists& lists,
                                            ReferenceLookups& lookups);

struct VsdLoadOutcome
{
    bool exchanged = false; // the service answered
    bool finished = false;  // COMPLETED or REJECTED: the application id was cleared
    bool failed = false;    // answered, but its VSDs could not be stored
    std::string appStatus;
    // The answer's paging values: where its VSDs lie in the whole list.
    int offset = 0;
    int count = 0;
    int total = 0;
    VsdStoreOutcome stored;
};

// Asks for the result of application `applicationId` (36 characters; the
// caller keeps it and the load clears it when the application is finished)
// and stores its VSDs. Progress texts go to `progress`; messages to the
// presenter. `referenceSession` is the session the lookups write through;
// the context's settings must not be read through `session` either, which
// holds the load's transaction while names are fetched.
// `control`, when given, shows the answer's progress and cancels its transfer.
VsdLoadOutcome loadVsdList(store::Session& session, store::Session& referenceSession,
                           vetis::ExchangeContext& context, std::string& applicationId,
                           std::string_view entityGuid, framework::MessagePresenter& presenter,
                           const std::function<void(const QString&)>& progress,
                           vetis::TransferControl* control = nullptr);

} // namespace responses
