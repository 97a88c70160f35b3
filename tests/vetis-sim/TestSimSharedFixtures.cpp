// SPDX-License-Identifier: LicenseRef-Kestrom
// The built-in world is built once per set of fixture options and shared by
// every store copied from it; what one copy changes, no other sees.
#include <vetis-sim/FixtureStore.h>
#include <vetis-sim/Ids.h>
#include <vetis-sim/SharedFixtures.h>
#include <vetis-sim/VetisSim.h>

#include <gtest/gtest.h>

#include <barrier>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using vetissim::FixtureOptions;
using vetissim::FixtureStore;
using vetissim::Ns;
using vetissim::RefKind;
using vetissim::XNode;

namespace {

XNode unit(const std::string& guid, const std::string& name)
{
    XNode n(Ns::Dict, "unit");
    n.addIf(Ns::Base, "guid", guid);
    n.add(Ns::Dict, "name", name);
    return n;
}

XNode vsd(const std::string& uuid, const std::string& status)
{
    XNode n(Ns::VetDoc, "vetDocument");
    n.add(Ns::Base, "uuid", uuid);
    n.add(Ns::VetDoc, "vetDStatus", status);
    return n;
}

// The names of a kind's entries in list order.
std::string names(const FixtureStore& store, RefKind kind)
{
    std::string out;
    for (const XNode* entry : store.list(kind))
        out += entry->textAt("dt:name") + ";";
    return out;
}

std::string nameOf(const FixtureStore& store, RefKind kind, const std::string& guid)
{
    const XNode* entry = store.byGuid(kind, guid);
    return entry ? entry->textAt("dt:name") : "<none>";
}

// Everything a store holds, in order, as the answers would carry it.
std::string contents(const FixtureStore& store)
{
    std::string out;
    for (int k = 0; k < static_cast<int>(RefKind::Count); ++k) {
        for (const XNode* entry : store.list(static_cast<RefKind>(k)))
            out += vetissim::serialize(*entry);
    }
    for (const XNode& v : store.vsds())
        out += vetissim::serialize(v);
    return out;
}

FixtureOptions smallOptions()
{
    FixtureOptions options;
    options.vsdCount = 3;
    options.bigLocalityStreets = 12;
    return options;
}

} // namespace

TEST(FixtureStoreCopies, ChangesStayWithTheStoreThatMadeThem)
{
    FixtureStore base;
    base.put(RefKind::Unit, unit("a", "кг"));
    base.put(RefKind::Unit, unit("b", "т"));
    base.put(RefKind::Unit, unit("", "без guid 1"));
    base.put(RefKind::Unit, unit("", "без guid 2"));
    base.put(RefKind::Unit, unit("c", "шт"));
    base.putVsd(vsd("v1", "CONFIRMED"));
    base.putVsd(vsd("v2", "CONFIRMED"));
    // Entries without a guid are kept side by side; the first answers for "".
    EXPECT_EQ(names(base, RefKind::Unit), "кг;т;без guid 1;без guid 2;шт;");
    EXPECT_EQ(nameOf(base, RefKind::Unit, ""), "без guid 1");

    FixtureStore copy(base);
    // A replacement keeps the entry's place; a new entry comes last.
    copy.put(RefKind::Unit, unit("b", "тонна"));
    copy.put(RefKind::Unit, unit("d", "л"));
    EXPECT_EQ(names(copy, RefKind::Unit), "кг;тонна;без guid 1;без guid 2;шт;л;");
    EXPECT_EQ(nameOf(copy, RefKind::Unit, "b"), "тонна");
    EXPECT_EQ(nameOf(copy, RefKind::Unit, "c"), "шт");
    EXPECT_EQ(nameOf(copy, RefKind::Unit, "d"), "л");
    EXPECT_EQ(names(base, RefKind::Unit), "кг;т;без guid 1;без guid 2;шт;");
    EXPECT_EQ(nameOf(base, RefKind::Unit, "b"), "т");
    EXPECT_EQ(nameOf(base, RefKind::Unit, "d"), "<none>");

    // A VSD changed through the copy changes there only.
    XNode* changed = copy.vsd("v2");
    ASSERT_NE(changed, nullptr);
    ASSERT_TRUE(changed->setTextAt("vd:vetDStatus", "UTILIZED"));
    EXPECT_EQ(copy.vsd("v2")->textAt("vd:vetDStatus"), "UTILIZED");
    EXPECT_EQ(std::as_const(base).vsd("v2")->textAt("vd:vetDStatus"), "CONFIRMED");
    EXPECT_EQ(copy.vsd("v3"), nullptr);

    // The store copied from may still change, and its copies keep what they saw.
    FixtureStore later(base);
    base.put(RefKind::Unit, unit("a", "килограмм"));
    base.put(RefKind::Purpose, unit("p", "в пищу"));
    ASSERT_TRUE(base.vsd("v1")->setTextAt("vd:vetDStatus", "WITHDRAWN"));
    base.putVsd(vsd("v3", "CONFIRMED"));
    for (const FixtureStore* kept : {&copy, &later}) {
        EXPECT_EQ(nameOf(*kept, RefKind::Unit, "a"), "кг");
        EXPECT_EQ(kept->size(RefKind::Purpose), 0u);
        EXPECT_EQ(kept->vsd("v1")->textAt("vd:vetDStatus"), "CONFIRMED");
        EXPECT_EQ(kept->vsds().size(), 2u);
    }
    EXPECT_EQ(nameOf(base, RefKind::Unit, "a"), "килограмм");
    EXPECT_EQ(std::as_const(base).vsd("v1")->textAt("vd:vetDStatus"), "WITHDRAWN");
    EXPECT_EQ(base.vsds().size(), 3u);
    EXPECT_EQ(std::as_const(later).vsd("v2")->textAt("vd:vetDStatus"), "CONFIRMED");
}

TEST(SharedFixtures, OneWorldPerSetOfOptionValuesAndTheSameAsABuildOfItsOwn)
{
    const FixtureOptions options = smallOptions();
    const int day = vetissim::todayDays();
    const auto world = vetissim::sharedDefaultFixtures(options);
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(vetissim::sharedDefaultFixtures(options), world);
    // The fixture folder is taken by each double when it starts, not built in.
    FixtureOptions withFolder = options;
    withFolder.fixturesDir = "/nowhere";
    EXPECT_EQ(vetissim::sharedDefaultFixtures(withFolder), world);
    // Today, given or taken from the clock, is the same world.
    FixtureOptions today = options;
    today.today = day;
    const auto todayWorld = vetissim::sharedDefaultFixtures(today);
    if (vetissim::todayDays() == day) { // not across midnight
        EXPECT_EQ(todayWorld, world);
    }

    // Each value the world is made from gives a world of its own, equal to
    // one built from those options alone.
    std::vector<FixtureOptions> variants(6, options);
    variants[0].vsdCount = 4;
    variants[1].bigLocalityStreets = 13;
    variants[2].seed = options.seed + 1;
    variants[3].today = 19000;
    variants[4].schema20Only = true;
    variants[5].today = 19000;
    variants[5].schema20Only = true;
    std::vector<std::string> seen{contents(*world)};
    for (std::size_t i = 0; i < variants.size(); ++i) {
        SCOPED_TRACE(i);
        const auto shared = vetissim::sharedDefaultFixtures(variants[i]);
        ASSERT_NE(shared, nullptr);
        EXPECT_NE(shared, world);
        FixtureStore own;
        vetissim::buildDefaultFixtures(own, variants[i]);
        const std::string text = contents(*shared);
        EXPECT_EQ(text, contents(own));
        for (const std::string& other : seen)
            EXPECT_NE(text, other);
        seen.push_back(text);
    }
}

// Doubles started at once on several threads, the first of their options
// among them, share one world and each keep their own changes.
TEST(SharedFixtures, DoublesStartedTogetherOnSeveralThreadsKeepTheirOwnChanges)
{
    vetissim::SimConfig config;
    config.fixtures = smallOptions();
    config.fixtures.seed = 77001; // a world no other test has built
    constexpr int kThreads = 4;
    std::barrier together(kThreads);
    std::vector<std::string> failures(kThreads);
    std::vector<std::vector<std::string>> uuids(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            together.arrive_and_wait();
            vetissim::VetisSim sim(config);
            if (!sim.start()) {
                failures[t] = "not started: " + sim.errorString();
                together.arrive_and_drop();
                return;
            }
            const std::string guid = "own-unit-" + std::to_string(t);
            sim.withFixtures([&](FixtureStore& store) {
                const std::size_t before = store.size(RefKind::Unit);
                store.put(RefKind::Unit, unit(guid, "единица " + std::to_string(t)));
                if (store.size(RefKind::Unit) != before + 1)
                    failures[t] += "own unit not added; ";
            });
            uuids[t] = sim.vsdUuids();
            if (uuids[t].empty() || sim.vsdStatus(uuids[t].front()).empty())
                failures[t] += "no VSDs; ";
            // Every double has added its unit before any looks for the others'.
            together.arrive_and_wait();
            sim.withFixtures([&](FixtureStore& store) {
                for (int other = 0; other < kThreads; ++other) {
                    const bool found = store.byGuid(RefKind::Unit, "own-unit-" + std::to_string(other));
                    if (found != (other == t))
                        failures[t] += "unit of double " + std::to_string(other) + " seen wrongly; ";
                }
            });
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(failures[t], "") << "double " << t;
        EXPECT_EQ(uuids[t], uuids[0]) << "double " << t;
    }
    const auto world = vetissim::sharedDefaultFixtures(config.fixtures);
    EXPECT_EQ(world->byGuid(RefKind::Unit, "own-unit-0"), nullptr);
}
