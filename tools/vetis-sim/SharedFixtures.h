// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "FixtureStore.h"

#include <memory>

namespace vetissim {

// The built-in fixtures of the options (fixturesDir aside), built once per
// process and shared: every call with options of the same values, from any
// thread, gets the same read-only store; a double works on a copy of it, which
// costs next to nothing until the double changes something. A generated world
// depends on the day (options.today 0 is today), so a new day builds anew. The
// few most recently asked for are kept; older ones live as long as a copy uses them.
std::shared_ptr<const FixtureStore> sharedDefaultFixtures(const FixtureOptions& options);

} // namespace vetissim
