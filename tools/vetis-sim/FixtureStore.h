// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "SimTypes.h"
#include "XmlTree.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
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
class FixtureStore
{
public:
    using Filter = std::function<bool(const XNode&)>;

    // Adds an entry, replacing one of the same bs:guid.
    void put(RefKind kind, XNode entry);
    const XNode* byGuid(RefKind kind, std::string_view guid) const;
    std::vector<const XNode*> list(RefKind kind, const Filter& filter = {}) const;
    std::size_t size(RefKind kind) const { return m_entries[index(kind)].size(); }

    // Adds a VSD, replacing one of the same bs:uuid.
    void putVsd(XNode vsd);
    const XNode* vsd(std::string_view uuid) const;
    XNode* vsd(std::string_view uuid);
    const std::vector<XNode>& vsds() const { return m_vsds; }

    // Reads every *.xml file of the folder and takes from it the registry entries
    // (as list members, by-GUID answers or root elements) and the vd:vetDocument
    // elements. Returns the number of elements taken, -1 when a file cannot be
    // read or parsed (error says which).
    [[nodiscard]] int loadFolder(const std::string& folder, std::string* error);
    // Takes the entries of one parsed message; returns how many.
    int takeFrom(const XNode& root);

private:
    static std::size_t index(RefKind kind) { return static_cast<std::size_t>(kind); }

    std::array<std::vector<XNode>, static_cast<std::size_t>(RefKind::Count)> m_entries;
    std::vector<XNode> m_vsds;
};

// Fills the store with the built-in world: dictionaries, entities, enterprises,
// product items and options.vsdCount VSDs of the own entity.
void buildDefaultFixtures(FixtureStore& store, const FixtureOptions& options);
void buildDefaultVsds(FixtureStore& store, const FixtureOptions& options);

} // namespace vetissim
