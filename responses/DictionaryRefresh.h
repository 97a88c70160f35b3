// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <string_view>

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

// Refreshing one Mercury dictionary kind (MRE:VID) of m_Refs from the service:
// every page of the service's list is read first; then, in one transaction,
// the local entries of the kind and parent that the list no longer names are
// deleted and the listed ones inserted or updated.
namespace responses {

struct RefreshOutcome
{
    bool ok = false; // every page read and every entry stored
    int stored = 0;  // entries inserted or updated
    int pages = 0;   // pages asked for
};

// The kinds fetched from the service: 1..10, 12 and 13.
bool isRefreshableKind(int kind);

// Refreshes dictionary `kind` under `parent` (the GUID of the parent entry;
// for products the product-type code "11-05"), asking with the settings of
// entity `entityGuid`. Tells the user how it ended, as the dictionaries
// window does: the count of stored entries, the kind's failure text, or the
// exchange's own message. A refresh that could not read every page changes
// nothing, and so does one the user stops through `control` (asked before
// each page and during every transfer).
[[nodiscard]] RefreshOutcome refreshDictionary(store::Session& session, vetis::ExchangeContext& context,
                                               int kind, std::string_view parent, std::string_view entityGuid,
                                               framework::MessagePresenter& presenter,
                                               vetis::TransferControl* control = nullptr);

} // namespace responses
