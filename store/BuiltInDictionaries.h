// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <string_view>

namespace framework {
class MessagePresenter;
}

// Writing the built-in dictionaries (BuiltInRows.h) into m_Refs.
namespace store {

class Session;
struct RefsRecord;
template <typename Record>
class TypedTable;

struct BuiltInResult
{
    bool ok = false;
    int written = 0; // entries inserted or updated
};

// Rewrites the 364 package types of `parent` in one transaction: every entry
// of the kind and parent goes, the table's rows come in, and a row whose GUID
// was marked before keeps its mark. Reports success or failure to the user.
[[nodiscard]] BuiltInResult rebuildPackageTypes(Session& session, std::string_view parent,
                                                framework::MessagePresenter& presenter);

// Rewrites the eight product types of `parent` in one transaction: entries of
// the kind that are not one of them go; the eight are inserted, or updated in
// place with their marks kept. Reports success or failure to the user.
[[nodiscard]] BuiltInResult rebuildProductTypes(Session& session, std::string_view parent,
                                                framework::MessagePresenter& presenter);

// Inserts the product type of a five-character code ("11-05") through an open
// m_Refs table, named from the table, or "Неизвестный код: " and characters
// 4-5 when those are not 01..08. Returns the table's result (0 when added).
[[nodiscard]] int createProductType(TypedTable<RefsRecord>& refs, std::string_view code);

} // namespace store
