// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/ResponseList.h"

#include <cstddef>

namespace store {
struct VsdRecord;
}

// One VSD of the answer's main list into its m_VSD record: the service's
// values copied, the dates, status code and shelf life derived, and the
// names of the entities, enterprises, unit and product item it names looked
// up (fetched when missing).
namespace responses {

class ReferenceLookups;

// The VSDs of one load whose goods had expired, or had less than the
// recommended reserve left, on the day of issue.
struct ShelfLifeCounters
{
    int expired = 0;
    int lowReserve = 0;
};

// Maps the main-list entry `entry` (layout of the VSD list) into `record`,
// which the caller has cleared and given its UUID, or fetched. Leaves
// MVD:KOLVO and the TTN and transshipment fields to the caller; resets the
// application fields, the condition and the mark.
void mapVsdHeader(const ListLayout& layout, const std::byte* entry, store::VsdRecord& record,
                  ReferenceLookups& lookups, ShelfLifeCounters& counters);

} // namespace responses
