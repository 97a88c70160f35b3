// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <string>
#include <vector>

namespace store {
class Session;
}

namespace workspace {

enum class LocalDeleteResult
{
    Deleted,
    NoAccess, // the transaction could not be had within 10 seconds
    Failed,   // a delete failed; nothing was deleted
};

// Removes VSDs and their contents from the local tables only (the next list
// request brings them back), all in one transaction. UUIDs not found are
// skipped.
[[nodiscard]] LocalDeleteResult
deleteVsdsLocally(store::Session& session, const std::vector<std::string>& uuids, int* deleted = nullptr);

} // namespace workspace
