// SPDX-License-Identifier: LicenseRef-Kestrom
#include "FixtureStore.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace vetissim {

std::string_view elementName(RefKind kind)
{
    switch (kind) {
    case RefKind::Country:
        return "country";
    case RefKind::Region:
        return "region";
    case RefKind::District:
        return "district";
    case RefKind::Locality:
        return "locality";
    case RefKind::Street:
        return "street";
    case RefKind::Unit:
        return "unit";
    case RefKind::Purpose:
        return "purpose";
    case RefKind::Disease:
        return "disease";
    case RefKind::ResearchMethod:
        return "researchMethod";
    case RefKind::Product:
        return "product";
    case RefKind::SubProduct:
        return "subProduct";
    case RefKind::ProductItem:
        return "productItem";
    case RefKind::BusinessEntity:
        return "businessEntity";
    case RefKind::Enterprise:
        return "enterprise";
    case RefKind::Count:
        break;
    }
    return {};
}

FixtureStore::FixtureStore()
    : m_vsds(std::make_shared<const std::vector<XNode>>())
    , m_ownsVsds(true)
{
    for (std::size_t k = 0; k < kKinds; ++k) {
        m_entries[k] = std::make_shared<Entries>();
        m_ownsEntries[k] = true;
    }
}

FixtureStore::FixtureStore(const FixtureStore& other)
    : m_entries(other.m_entries)
    , m_vsds(other.m_vsds)
{
    other.m_sharedOut = true;
}

void FixtureStore::stopSharingOwnBlocks()
{
    if (m_sharedOut.exchange(false)) {
        m_ownsEntries.fill(false);
        m_ownsVsds = false;
    }
}

FixtureStore::Entries& FixtureStore::ownEntries(RefKind kind)
{
    stopSharingOwnBlocks();
    const std::size_t k = index(kind);
    if (!m_ownsEntries[k]) {
        m_entries[k] = std::make_shared<Entries>(*m_entries[k]);
        m_ownsEntries[k] = true;
    }
    // Made here as a mutable object and shared with no other store.
    return const_cast<Entries&>(*m_entries[k]);
}

std::vector<XNode>& FixtureStore::ownVsds()
{
    stopSharingOwnBlocks();
    if (!m_ownsVsds) {
        m_vsds = std::make_shared<std::vector<XNode>>(*m_vsds);
        m_ownsVsds = true;
    }
    return const_cast<std::vector<XNode>&>(*m_vsds);
}

void FixtureStore::put(RefKind kind, XNode entry)
{
    Entries& own = ownEntries(kind);
    std::string guid = entry.textAt("bs:guid");
    if (!guid.empty()) {
        if (const auto found = own.firstByGuid.find(guid); found != own.firstByGuid.end()) {
            own.nodes[found->second] = std::move(entry);
            return;
        }
    }
    // Entries without a guid are never replaced; the first of them answers byGuid("").
    own.firstByGuid.try_emplace(std::move(guid), own.nodes.size());
    own.nodes.push_back(std::move(entry));
}

const XNode* FixtureStore::byGuid(RefKind kind, std::string_view guid) const
{
    const Entries& e = entries(kind);
    const auto found = e.firstByGuid.find(std::string(guid));
    return found == e.firstByGuid.end() ? nullptr : &e.nodes[found->second];
}

std::vector<const XNode*> FixtureStore::list(RefKind kind, const Filter& filter) const
{
    std::vector<const XNode*> found;
    for (const XNode& entry : entries(kind).nodes) {
        if (!filter || filter(entry))
            found.push_back(&entry);
    }
    return found;
}

void FixtureStore::putVsd(XNode vsd)
{
    std::vector<XNode>& own = ownVsds();
    const std::string uuid = vsd.textAt("bs:uuid");
    for (XNode& existing : own) {
        if (existing.textAt("bs:uuid") == uuid) {
            existing = std::move(vsd);
            return;
        }
    }
    own.push_back(std::move(vsd));
}

const XNode* FixtureStore::vsd(std::string_view uuid) const
{
    for (const XNode& v : *m_vsds) {
        if (v.textAt("bs:uuid") == uuid)
            return &v;
    }
    return nullptr;
}

XNode* FixtureStore::vsd(std::string_view uuid)
{
    const XNode* found = static_cast<const FixtureStore*>(this)->vsd(uuid);
    if (!found)
        return nullptr;
    const auto position = static_cast<std::size_t>(found - m_vsds->data());
    return &ownVsds()[position];
}

namespace {

// An entry counts as a fixture where a service would list or return it, not where
// it is only referenced (the country inside an address, the product of a batch).
bool standsAlone(const XNode* parent, std::string_view name)
{
    if (!parent)
        return true;
    if (parent->ns == Ns::RegWs || parent->ns == Ns::Soap)
        return true;
    return parent->name == std::string(name) + "List";
}

int takeRecursive(FixtureStore& store, const XNode& node, const XNode* parent)
{
    int taken = 0;
    if (node.is(Ns::VetDoc, "vetDocument") && standsAlone(parent, node.name) &&
        !node.textAt("bs:uuid").empty()) {
        store.putVsd(node);
        return 1;
    }
    if (node.is(Ns::Dict, "method") && parent && parent->is(Ns::Dict, "researchMethodList") &&
        !node.textAt("bs:guid").empty()) {
        XNode method = node;
        method.name = "researchMethod";
        store.put(RefKind::ResearchMethod, std::move(method));
        return 1;
    }
    if (node.ns == Ns::Dict && standsAlone(parent, node.name)) {
        for (int k = 0; k < static_cast<int>(RefKind::Count); ++k) {
            const RefKind kind = static_cast<RefKind>(k);
            if (elementName(kind) == node.name && !node.textAt("bs:guid").empty()) {
                store.put(kind, node);
                return 1;
            }
        }
    }
    for (const XNode& child : node.children)
        taken += takeRecursive(store, child, &node);
    return taken;
}

} // namespace

int FixtureStore::takeFrom(const XNode& root)
{
    return takeRecursive(*this, root, nullptr);
}

int FixtureStore::loadFolder(const std::string& folder, std::string* error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        if (error)
            *error = "not a folder: " + folder;
        return -1;
    }
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, ec)) {
        if (entry.is_regular_file() && entry.path().extension() == ".xml")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    int taken = 0;
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        if (!in && !in.eof()) {
            if (error)
                *error = "cannot read " + file.string();
            return -1;
        }
        XNode root;
        std::string parseError;
        if (!parseXml(content.str(), root, &parseError)) {
            if (error)
                *error = file.string() + ": " + parseError;
            return -1;
        }
        taken += takeFrom(root);
    }
    return taken;
}

} // namespace vetissim
