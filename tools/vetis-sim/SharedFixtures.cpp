// SPDX-License-Identifier: LicenseRef-Kestrom
#include "SharedFixtures.h"

#include "Ids.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

namespace vetissim {
namespace {

// The values the built-in world is made from.
struct WorldKey
{
    int vsdCount = 0;
    int bigLocalityStreets = 0;
    std::uint64_t seed = 0;
    int today = 0;
    bool schema20Only = false;

    bool operator==(const WorldKey&) const = default;
};

WorldKey keyOf(const FixtureOptions& options)
{
    return {options.vsdCount, options.bigLocalityStreets, options.seed,
            options.today > 0 ? options.today : todayDays(), options.schema20Only};
}

FixtureOptions optionsOf(const WorldKey& key)
{
    FixtureOptions options;
    options.vsdCount = key.vsdCount;
    options.bigLocalityStreets = key.bigLocalityStreets;
    options.seed = key.seed;
    options.today = key.today;
    options.schema20Only = key.schema20Only;
    return options;
}

struct World
{
    std::once_flag built;
    std::shared_ptr<const FixtureStore> store;
};

// A test process starts a few kinds of worlds, one per kind of test, many
// times each; a process that asks for more keeps only the last few.
constexpr std::size_t kWorldsKept = 8;

struct WorldCache
{
    std::mutex mutex;
    // The most recently asked for first.
    std::vector<std::pair<WorldKey, std::shared_ptr<World>>> recent;

    std::shared_ptr<World> slot(const WorldKey& key)
    {
        const std::lock_guard lock(mutex);
        auto found =
            std::find_if(recent.begin(), recent.end(), [&](const auto& e) { return e.first == key; });
        if (found == recent.end()) {
            if (recent.size() >= kWorldsKept)
                recent.pop_back();
            recent.emplace(recent.begin(), key, std::make_shared<World>());
        } else {
            std::rotate(recent.begin(), found, found + 1);
        }
        return recent.front().second;
    }
};

} // namespace

std::shared_ptr<const FixtureStore> sharedDefaultFixtures(const FixtureOptions& options)
{
    static WorldCache cache;
    const WorldKey key = keyOf(options);
    const std::shared_ptr<World> world = cache.slot(key);
    // Built outside the cache's lock: other worlds are served meanwhile, and a
    // second caller of this one waits for it instead of building it again.
    std::call_once(world->built, [&] {
        auto store = std::make_shared<FixtureStore>();
        // With the day of the key, so that a build across midnight matches it.
        buildDefaultFixtures(*store, optionsOf(key));
        world->store = std::move(store);
    });
    return world->store;
}

} // namespace vetissim
