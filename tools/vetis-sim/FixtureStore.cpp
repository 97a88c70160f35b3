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

void FixtureStore::put(RefKind kind, XNode entry)
{
    std::vector<XNode>& entries = m_entries[index(kind)];
    const std::string guid = entry.textAt("bs:guid");
    for (XNode& existing : entries) {
        if (!guid.empty() && existing.textAt("bs:guid") == guid) {
            existing = std::move(entry);
            return;
        }
    }
    entries.push_back(std::move(entry));
}

const XNode* FixtureStore::byGuid(RefKind kind, std::string_view guid) const
{
    for (const XNode& entry : m_entries[index(kind)]) {
        if (entry.textAt("bs:guid") == guid)
            return &entry;
    }
    return nullptr;
}

std::vector<const XNode*> FixtureStore::list(RefKind kind, const Filter& filter) const
{
    std::vector<const XNode*> found;
    for (const XNode& entry : m_entries[index(kind)]) {
        if (!filter || filter(entry))
            found.push_back(&entry);
    }
    return found;
}

void FixtureStore::putVsd(XNode vsd)
{
    const std::string uuid = vsd.textAt("bs:uuid");
    for (XNode& existing : m_vsds) {
        if (existing.textAt("bs:uuid") == uuid) {
            existing = std::move(vsd);
            return;
        }
    }
    m_vsds.push_back(std::move(vsd));
}

const XNode* FixtureStore::vsd(std::string_view uuid) const
{
    for (const XNode& v : m_vsds) {
        if (v.textAt("bs:uuid") == uuid)
            return &v;
    }
    return nullptr;
}

XNode* FixtureStore::vsd(std::string_view uuid)
{
    return const_cast<XNode*>(static_cast<const FixtureStore*>(this)->vsd(uuid));
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
