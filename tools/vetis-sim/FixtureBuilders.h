// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "FixtureStore.h"
#include "Ids.h"

#include <string>

namespace vetissim::fixtures {

// The versioning header every registry entry starts with: bs:uuid, bs:guid,
// bs:active, bs:last, bs:status, bs:createDate, bs:updateDate.
XNode versioned(Ns ns, std::string name, const std::string& uuid, const std::string& guid,
                const std::string& status = "100");
// A reference to an entry: an element holding bs:guid (and dt:name when given).
XNode guidRef(Ns ns, std::string name, const std::string& guid, const std::string& dtName = {});
// An address of the built-in world: country, region, locality (from the store),
// optional street, house and the address view text.
XNode address(const FixtureStore& store, std::string name, const std::string& regionGuid,
              const std::string& localityGuid, const std::string& house, const std::string& postIndex);

} // namespace vetissim::fixtures

namespace vetissim {
// Business entities, enterprises and product items (EntityFixtures.cpp).
void addEntitiesAndItems(FixtureStore& store, UuidSource& ids, const FixtureOptions& options);
} // namespace vetissim
