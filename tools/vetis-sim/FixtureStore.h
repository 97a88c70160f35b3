// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "SimTypes.h"
#include "XmlTree.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vetissim {

// Kinds of registry entries the simulator keeps, each a dt: element.
enum class RefKind
{
    Country,
    Region,
    District,
    Locality,
    Street,
    Unit,
    Purpose,
    Disease,
    ResearchMethod,
    Product,
    SubProduct,
    ProductItem,
    BusinessEntity,
    Enterprise,
    Count
};

// The dt: local name of an entry of the kind ("country", "researchMethod", ...).
std::string_view elementName(RefKind kind);

// The data behind the answers: registry entries and VSDs as schema-shaped
// elements, kept in insertion order so that paging is stable.
//
// Copies are cheap: a copy shares the entries of the store it was made from,
// read-only, until either of them changes a kind (an added enterprise, a repaid
// VSD); the one that changes it then works on its own copy of that kind alone.
// So one store of the built-in world may be shared by any number of copies on
// any threads. A store may be read or copied from several threads at once, and
// changed from one while nothing else uses it.
class FixtureStore
{
public:
    using Filter = std::function<bool(const XNode&)>;

    FixtureStore();
    FixtureStore(const FixtureStore& other);
    FixtureStore& operator=(const FixtureStore&) = delete;

    // Adds an entry, replacing one of the same bs:guid.
    void put(RefKind kind, XNode entry);
    const XNode* byGuid(RefKind kind, std::string_view guid) const;
    std::vector<const XNode*> list(RefKind kind, const Filter& filter = {}) const;
    std::size_t size(RefKind kind) const { return entries(kind).nodes.size(); }

    // Adds a VSD, replacing one of the same bs:uuid.
    void putVsd(XNode vsd);
    const XNode* vsd(std::string_view uuid) const;
    // The VSD to change (this store's own copy); null when there is none.
    XNode* vsd(std::string_view uuid);
    const std::vector<XNode>& vsds() const { return *m_vsds; }

    // Reads every *.xml file of the folder and takes from it the registry entries
    // (as list members, by-GUID answers or root elements) and the vd:vetDocument
    // elements. Returns the number of elements taken, -1 when a file cannot be
    // read or parsed (error says which).
    [[nodiscard]] int loadFolder(const std::string& folder, std::string* error);
    // Takes the entries of one parsed message; returns how many.
    int takeFrom(const XNode& root);

private:
    struct Entries
    {
        std::vector<XNode> nodes;
        // Position of the first entry of each bs:guid (entries are replaced in
        // place, so a guid keeps its position).
        std::unordered_map<std::string, std::size_t> firstByGuid;
    };
    static constexpr std::size_t kKinds = static_cast<std::size_t>(RefKind::Count);
    static std::size_t index(RefKind kind) { return static_cast<std::size_t>(kind); }

    const Entries& entries(RefKind kind) const { return *m_entries[index(kind)]; }
    // The kind's entries as this store may change them: copied first when shared.
    Entries& ownEntries(RefKind kind);
    std::vector<XNode>& ownVsds();

    // Before the first change after this store was copied: from now on every
    // block is the copies' too.
    void stopSharingOwnBlocks();

    // Shared with the store this one was copied from until this store changes
    // them; a block this store made itself, and shares with no other, is changed
    // in place (it was made as a mutable object; only the pointer is to const).
    std::array<std::shared_ptr<const Entries>, kKinds> m_entries;
    std::array<bool, kKinds> m_ownsEntries{};
    std::shared_ptr<const std::vector<XNode>> m_vsds;
    bool m_ownsVsds = false;
    // Set when this store is copied.
    mutable std::atomic<bool> m_sharedOut{false};
};

// Fills the store with the built-in world: dictionaries, entities, enterprises,
// product items and options.vsdCount VSDs of the own entity.
void buildDefaultFixtures(FixtureStore& store, const FixtureOptions& options);
void buildDefaultVsds(FixtureStore& store, const FixtureOptions& options);

} // namespace vetissim
