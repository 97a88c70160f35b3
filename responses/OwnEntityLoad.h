// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <functional>
#include <string_view>

namespace store {
class Session;
}
namespace vetis {
struct ExchangeContext;
struct RequestRecord;
} // namespace vetis

// Loads one business entity and its enterprises from Mercury by the entity's
// GUID (its issuer id): the entity by GUID, then the list of its places of
// activity, page by page. Every answer is read first; then the entity record, every
// enterprise record and the links in m_Place are written in one transaction,
// so that a failed write leaves the tables as they were. Records already
// stored keep the program's own fields (MEN:HOME, the marks, the note), and a
// link already stored keeps MPL:MARK (the working enterprise). Links that
// Mercury no longer lists are left alone.
//
// Synchronous and free of windows: the exchange reports its own failures
// through the message presenter, the caller tells the outcome. Safe to run on
// a worker thread with a session of that thread.
namespace responses {

enum class EntityLoadResult
{
    Loaded,         // entity, enterprises and links written
    NoGuid,         // the GUID is not 36 characters long: nothing asked
    ExchangeFailed, // an exchange failed (and said so)
    NotFound,       // the service answered without this entity
    NoAccess,       // the transaction could not be started (lock time-out)
    WriteFailed,    // a write failed: everything rolled back
};

struct EntityLoadOutcome
{
    EntityLoadResult result = EntityLoadResult::NoGuid;
    int enterprises = 0; // enterprises written
};

// One exchange of the load; a worker passes its own (progress and cancel).
using EntityLoadExchange =
    std::function<bool(vetis::RequestRecord& request, vetis::ExchangeContext& context)>;

// `exchange` empty: vetis::Exchange.
EntityLoadOutcome loadEntityFromMercury(store::Session& session, vetis::ExchangeContext& context,
                                        std::string_view entityGuid, const EntityLoadExchange& exchange = {});

} // namespace responses
