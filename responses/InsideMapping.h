// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/ResponseList.h"

#include <cstddef>

namespace store {
struct InsideRecord;
}

// How an entry of a VSD's contents lists becomes an m_Inside record: which
// entries are kept and which general field takes which value, per contents
// kind (MIN:VID 1..9).
namespace responses {

// Contents kinds in the order the loader writes them: batch identifiers,
// referenced documents, producers, packages, regionalization conditions,
// laboratory research, status changes, route points, immunizations.
inline constexpr int kInsideKindsInOrder[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};

// Fills the general fields of `record` from a list entry of contents kind
// `kind` (UUID, VID and NUMBER are the caller's); false, with the record
// untouched, when the kind keeps no record of such an entry (an empty batch
// identifier, a package of level 0, a condition without a whole GUID, ...).
[[nodiscard]] bool mapInsideEntry(int kind, const ListLayout& layout, const std::byte* entry,
                                  store::InsideRecord& record);

} // namespace responses
