// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/PathIndex.h"
#include "vetis/AsciiCase.h"

#include <algorithm>

namespace responses {

using vetis::lowerAscii;
using vetis::lowered;

namespace {

constexpr std::string_view kAbbreviation = "#01";
constexpr std::string_view kAbbreviated = "!vd:certifiedconsignment";

// Names are short: a plain loop beats a call to memcmp.
bool sameBytes(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return false;
    return true;
}

std::size_t spread(std::uint64_t key)
{
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 20);
}

} // namespace

std::int32_t PathIndex::nameId(std::string_view lowerName, std::uint64_t hash) const
{
    const std::size_t mask = m_nameSlots.size() - 1;
    for (std::size_t i = static_cast<std::size_t>(hash) & mask;; i = (i + 1) & mask) {
        const NameSlot& s = m_nameSlots[i];
        if (s.id == kNone)
            return kNone;
        if (s.hash == hash && sameBytes(m_names[static_cast<std::size_t>(s.id)], lowerName))
            return s.id;
    }
}

std::int32_t PathIndex::internName(std::string_view lowerName)
{
    const std::uint64_t hash = hashOf(lowerName);
    if (const std::int32_t id = nameId(lowerName, hash); id != kNone)
        return id;
    if (2 * (m_names.size() + 1) > m_nameSlots.size())
        growNames();
    m_names.emplace_back(lowerName);
    const auto id = static_cast<std::int32_t>(m_names.size() - 1);
    const std::size_t mask = m_nameSlots.size() - 1;
    std::size_t i = static_cast<std::size_t>(hash) & mask;
    while (m_nameSlots[i].id != kNone)
        i = (i + 1) & mask;
    m_nameSlots[i] = {hash, id};
    return id;
}

void PathIndex::growNames()
{
    std::vector<NameSlot> old(m_nameSlots.size() * 2);
    old.swap(m_nameSlots);
    const std::size_t mask = m_nameSlots.size() - 1;
    for (const NameSlot& s : old) {
        if (s.id == kNone)
            continue;
        std::size_t i = static_cast<std::size_t>(s.hash) & mask;
        while (m_nameSlots[i].id != kNone)
            i = (i + 1) & mask;
        m_nameSlots[i] = s;
    }
}

std::int32_t PathIndex::findChild(std::int32_t parent, std::int32_t nameId) const
{
    if (nameId < 0)
        return kNone;
    const std::uint64_t key = childKey(parent, nameId);
    const std::size_t mask = m_childSlots.size() - 1;
    for (std::size_t i = spread(key) & mask;; i = (i + 1) & mask) {
        const ChildSlot& s = m_childSlots[i];
        if (s.state == kNone)
            return kNone;
        if (s.key == key)
            return s.state;
    }
}

std::int32_t PathIndex::addChild(std::int32_t parent, std::int32_t nameId)
{
    if (const std::int32_t existing = findChild(parent, nameId); existing != kNone)
        return existing;
    if (2 * (static_cast<std::size_t>(m_stateCount) + 1) > m_childSlots.size())
        growChildren();
    const std::uint64_t key = childKey(parent, nameId);
    const std::size_t mask = m_childSlots.size() - 1;
    std::size_t i = spread(key) & mask;
    while (m_childSlots[i].state != kNone)
        i = (i + 1) & mask;
    m_childSlots[i] = {key, m_stateCount};
    return m_stateCount++;
}

void PathIndex::growChildren()
{
    std::vector<ChildSlot> old(m_childSlots.size() * 2);
    old.swap(m_childSlots);
    const std::size_t mask = m_childSlots.size() - 1;
    for (const ChildSlot& s : old) {
        if (s.state == kNone)
            continue;
        std::size_t i = spread(s.key) & mask;
        while (m_childSlots[i].state != kNone)
            i = (i + 1) & mask;
        m_childSlots[i] = s;
    }
}

int PathIndex::addList(const ListLayout& layout, std::string_view rowTag, bool expandAbbreviation)
{
    const int list = static_cast<int>(m_fields.size());
    m_fields.emplace_back();
    m_attributes.emplace_back();

    const std::int32_t root = addChild(kNone, internName(lowered(rowTag)));
    for (std::size_t i = 0; i < layout.fields.size(); ++i) {
        std::string path = lowered(layout.fields[i].path);
        if (path.compare(0, kAbbreviation.size(), kAbbreviation) == 0) {
            if (!expandAbbreviation)
                continue;
            path = std::string(kAbbreviated) + path.substr(kAbbreviation.size());
        }
        // "!a!b/attr": the element path and, optionally, an attribute name.
        std::string attribute;
        if (const std::size_t slash = path.find('/'); slash != std::string::npos) {
            attribute = path.substr(slash + 1);
            path.resize(slash);
        }
        if (path.empty() || path[0] != '!')
            continue; // not a path below the record element
        std::int32_t state = root;
        std::size_t pos = 1;
        while (pos <= path.size()) {
            const std::size_t next = std::min(path.find('!', pos), path.size());
            state = addChild(state, internName(std::string_view(path).substr(pos, next - pos)));
            pos = next + 1;
        }
        if (!attribute.empty()) {
            m_attributes.back().push_back({state, internName(attribute), static_cast<int>(i)});
            continue;
        }
        std::vector<std::int32_t>& fields = m_fields.back();
        if (fields.size() <= static_cast<std::size_t>(state))
            fields.resize(static_cast<std::size_t>(state) + 1, kNone);
        // The first field in declaration order wins.
        if (fields[static_cast<std::size_t>(state)] == kNone)
            fields[static_cast<std::size_t>(state)] = static_cast<std::int32_t>(i);
    }
    return list;
}

int PathIndex::attributeField(int list, std::int32_t state, std::string_view lowerAttribute, int above) const
{
    const std::vector<AttributeField>& candidates = m_attributes[static_cast<std::size_t>(list)];
    if (candidates.empty())
        return kNone;
    const std::int32_t id = nameId(lowerAttribute);
    if (id == kNone)
        return kNone;
    for (const AttributeField& a : candidates)
        if (a.state == state && a.nameId == id && a.field > above)
            return a.field;
    return kNone;
}

} // namespace responses
