// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/ResponseList.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// The field paths of the lists one answer is read into, precomputed so that
// finding "the first field in declaration order whose lower-cased full path
// equals the element's path" costs one lookup per element instead of a
// comparison with every field.
//
// Element names are interned into small numbers (the vocabulary: every name
// that occurs in some path). The full paths form a tree whose nodes are
// states: the state of a record element is a root, the state of an element
// below it is the child of its parent's state under its name. Each state
// knows, per list, the first field whose path ends there.
namespace responses {

class PathIndex
{
public:
    static constexpr std::int32_t kNone = -1;

    // Hash of a lower-cased name of n bytes lying in a buffer that holds zero
    // bytes after it up to the next multiple of 8: one multiplication per 8
    // bytes rather than per byte.
    static std::uint64_t hashPadded(const char* bytes, std::size_t n)
    {
        std::uint64_t h = 0x9E3779B97F4A7C15ull ^ n;
        for (std::size_t i = 0; i < n; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i, sizeof word);
            h = (h ^ word) * 0xFF51AFD7ED558CCDull;
            h ^= h >> 32;
        }
        return h;
    }
    static std::uint64_t hashOf(std::string_view s)
    {
        std::string padded(s);
        padded.append(8, '\0');
        return hashPadded(padded.data(), s.size());
    }

    // Interned lower-cased name; kNone when the name occurs in no path.
    std::int32_t nameId(std::string_view lowerName) const { return nameId(lowerName, hashOf(lowerName)); }
    std::int32_t nameId(std::string_view lowerName, std::uint64_t hash) const;
    std::int32_t internName(std::string_view lowerName);

    // Adds a list read with the given record element; returns its slot. With
    // expandAbbreviation, paths that begin with "#01" stand for ones that begin
    // with "!vd:certifiedConsignment"; without it such paths match nothing.
    [[nodiscard]] int addList(const ListLayout& layout, std::string_view rowTag, bool expandAbbreviation);

    // State of a record element of that name, or of the child of a state.
    std::int32_t rootState(std::int32_t nameId) const { return findChild(kNone, nameId); }
    std::int32_t childState(std::int32_t state, std::int32_t nameId) const
    {
        return state == kNone ? kNone : findChild(state, nameId);
    }

    // 0-based index of the list's first field whose path ends at the state.
    int field(int list, std::int32_t state) const
    {
        const std::vector<std::int32_t>& f = m_fields[static_cast<std::size_t>(list)];
        return state >= 0 && static_cast<std::size_t>(state) < f.size() ? f[static_cast<std::size_t>(state)]
                                                                        : kNone;
    }
    // The first field with an index above `above` (0-based) whose path is the
    // state's path, "/" and the attribute name; kNone when none.
    int attributeField(int list, std::int32_t state, std::string_view lowerAttribute, int above) const;
    bool hasAttributeFields(int list) const { return !m_attributes[static_cast<std::size_t>(list)].empty(); }

    std::int32_t stateCount() const { return m_stateCount; }
    // Interned names; ids run from 0 to nameCount() - 1.
    std::int32_t nameCount() const { return static_cast<std::int32_t>(m_names.size()); }
    // Longest interned name, so that callers can skip names that cannot match.

private:
    struct AttributeField
    {
        std::int32_t state;
        std::int32_t nameId; // of the attribute name
        int field;
    };
    struct NameSlot
    {
        std::uint64_t hash = 0;
        std::int32_t id = kNone;
    };
    struct ChildSlot
    {
        std::uint64_t key = 0;
        std::int32_t state = kNone;
    };

    static std::uint64_t childKey(std::int32_t parent, std::int32_t nameId)
    {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(parent + 1)) << 32) |
               static_cast<std::uint32_t>(nameId);
    }
    std::int32_t findChild(std::int32_t parent, std::int32_t nameId) const;
    std::int32_t addChild(std::int32_t parent, std::int32_t nameId);
    void growNames();
    void growChildren();

    // Open addressing, power-of-two sizes, at most half full.
    std::vector<std::string> m_names;
    std::vector<NameSlot> m_nameSlots = std::vector<NameSlot>(256);
    std::vector<ChildSlot> m_childSlots = std::vector<ChildSlot>(1024);
    std::int32_t m_stateCount = 0;
    std::vector<std::vector<std::int32_t>> m_fields;       // [list][state]
    std::vector<std::vector<AttributeField>> m_attributes; // [list], in field order
};

} // namespace responses
