// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/ContentsListWalk.h"
#include "responses/ElementNames.h"
#include "responses/FieldValue.h"
#include "responses/Namespaces.h"
#include "responses/PathIndex.h"
#include "responses/ResponseList.h"

#include <pugixml.hpp>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

// The walker's pass over a parsed answer: the elements in document order, each
// given its path state below its record element, the texts of the elements
// that fields name written into the entry being filled. One pass fills the
// main list and the contents lists together.
namespace responses::walker {

// "xmlns" or "xmlns:..." without measuring the name first.
inline bool declaresNamespace(const char* name)
{
    return name[0] == 'x' && name[1] == 'm' && name[2] == 'l' && name[3] == 'n' && name[4] == 's' &&
           (name[5] == '\0' || name[5] == ':');
}

// Handles of pugixml are one pointer; testing one for null this way spares
// a call into the library per element.
template <class Handle>
bool isNull(Handle h)
{
    static_assert(sizeof(Handle) == sizeof(void*) && std::is_trivially_copyable_v<Handle>);
    return std::bit_cast<void*>(h) == nullptr;
}

// Path states: the state of a record element, or the child of a state under
// a name, looked up in the index once per pair and then kept in a table.
class Transitions
{
public:
    explicit Transitions(const PathIndex& index)
        : m_index(index)
        , m_names(static_cast<std::size_t>(index.nameCount()))
        , m_table((static_cast<std::size_t>(index.stateCount()) + 1) * m_names, kUnknown)
    {}

    // The state of a record element of that name.
    std::int32_t root(std::int32_t nameId) { return lookup(PathIndex::kNone, nameId); }
    // The state of an element of that name below one of the state (none below none).
    std::int32_t child(std::int32_t state, std::int32_t nameId)
    {
        return state == PathIndex::kNone ? PathIndex::kNone : lookup(state, nameId);
    }

private:
    std::int32_t lookup(std::int32_t state, std::int32_t nameId)
    {
        if (nameId < 0)
            return PathIndex::kNone;
        std::int32_t& slot =
            m_table[static_cast<std::size_t>(state + 1) * m_names + static_cast<std::size_t>(nameId)];
        if (slot == kUnknown)
            slot = state == PathIndex::kNone ? m_index.rootState(nameId) : m_index.childState(state, nameId);
        return slot;
    }

    static constexpr std::int32_t kUnknown = -2;
    const PathIndex& m_index;
    std::size_t m_names;
    std::vector<std::int32_t> m_table;
};

// The elements below the record elements of one kind. Record elements are
// found by name anywhere; the first one fixes the record depth, and every
// later element at or below that depth has a path state relative to its
// ancestor at the record depth.
class Track
{
public:
    explicit Track(std::int32_t rowTagId)
        : m_rowTagId(rowTagId)
    {}

    std::int32_t rowTagId() const { return m_rowTagId; }
    bool started() const { return m_recordDepth != 0; }
    std::uint32_t recordDepth() const { return m_recordDepth; }

    // The state of an element entered at depth (document order).
    std::int32_t enter(std::uint32_t depth, std::int32_t nameId, Transitions& transitions)
    {
        if (depth > m_recordDepth && m_recordDepth != 0) {
            // Below a record element, the common case: the parent's state is open.
            const std::size_t level = depth - m_recordDepth;
            const std::int32_t state = transitions.child(m_open[level - 1], nameId);
            if (level >= m_open.size())
                m_open.resize(level + 1);
            m_open[level] = state;
            return state;
        }
        return enterAtOrAbove(depth, nameId, transitions);
    }

private:
    // A record element, or an element above the record depth (or any before
    // the first record element).
    std::int32_t enterAtOrAbove(std::uint32_t depth, std::int32_t nameId, Transitions& transitions)
    {
        if (m_recordDepth == 0) {
            if (nameId != m_rowTagId || nameId == PathIndex::kNone)
                return PathIndex::kNone;
            m_recordDepth = depth;
        }
        if (depth < m_recordDepth)
            return PathIndex::kNone;
        const std::int32_t state = transitions.root(nameId);
        if (m_open.empty())
            m_open.resize(1);
        m_open[0] = state;
        return state;
    }

    std::int32_t m_rowTagId;
    std::uint32_t m_recordDepth = 0;  // 0 until the first record element
    std::vector<std::int32_t> m_open; // [depth - record depth]: state of the open element
};

// What an element of a state fills: the main list's first field of that path
// and the (list, field) pairs of the contents lists.
struct StateTargets
{
    std::int32_t mainField = PathIndex::kNone;
    std::uint32_t contentsFirst = 0;
    std::uint32_t contentsEnd = 0;
};
struct ContentsTarget
{
    std::uint32_t walk;
    std::int32_t field;
};

std::vector<std::byte> blankRecord(const ListLayout& layout);

// One pass over the elements in document order (pugixml's own traversal,
// which saves a call into the library per step) fills the main list and the
// contents lists together.
class AnswerPass : public pugi::xml_tree_walker
{
public:
    AnswerPass(const PathIndex& index, ResponseList& main, int mainSlot, std::int32_t mainRowTagId,
               std::vector<ContentsListWalk>& walks, std::int32_t vsdRowTagId)
        : m_index(index)
        , m_main(main)
        , m_layout(main.layout())
        , m_blank(blankRecord(main.layout()))
        , m_walks(walks)
        , m_transitions(index)
        , m_names(index)
        , m_mainTrack(mainRowTagId)
        , m_vsdTrack(walks.empty() ? PathIndex::kNone : vsdRowTagId)
        , m_sharedTrack(m_vsdTrack.rowTagId() == mainRowTagId)
    {
        const auto stateCount = static_cast<std::size_t>(index.stateCount());
        m_targets.resize(stateCount);
        for (std::size_t s = 0; s < stateCount; ++s) {
            const auto state = static_cast<std::int32_t>(s);
            m_targets[s].mainField = index.field(mainSlot, state);
            m_targets[s].contentsFirst = static_cast<std::uint32_t>(m_contentsTargets.size());
            for (std::size_t w = 0; w < walks.size(); ++w)
                if (const int f = index.field(walks[w].slot(), state); f != PathIndex::kNone)
                    m_contentsTargets.push_back({static_cast<std::uint32_t>(w), f});
            m_targets[s].contentsEnd = static_cast<std::uint32_t>(m_contentsTargets.size());
        }
        m_row = m_main.nextRow();
        std::memcpy(m_row, m_blank.data(), m_blank.size());
        m_filled.assign(m_layout.fields.size(), 0);
    }

    // The answer's bytes, where names and texts may be read 8 bytes at a time.
    void setReadableRange(const char* begin, const char* end)
    {
        m_names.setReadableRange(begin, end);
        m_readBegin = begin;
        m_readEnd = end;
    }

    // After the traversal: closes the pending entries; the main-list entries added.
    int finish()
    {
        if (m_holdsData) {
            m_main.commitRow();
            ++m_added;
        }
        for (ContentsListWalk& w : m_walks)
            w.closeEntry();
        return m_added;
    }

    // The element that encloses the first main record element, empty when
    // there is none or the record element is the root.
    pugi::xml_node listElement() const { return m_listElement; }
    bool listElementMissing() const { return m_listElementMissing; }

    bool for_each(pugi::xml_node& node) override;

private:
    const char* readableEnd(const char* text) const
    {
        const auto at = reinterpret_cast<std::uintptr_t>(text);
        return at >= reinterpret_cast<std::uintptr_t>(m_readBegin) &&
                       at < reinterpret_cast<std::uintptr_t>(m_readEnd)
                   ? m_readEnd
                   : nullptr;
    }

    void declareNamespaces(pugi::xml_attribute a, std::uint32_t depth)
    {
        for (; !isNull(a); a = a.next_attribute())
            if (const char* name = a.name(); declaresNamespace(name))
                m_scope.declare(name[5] ? std::string_view(name + 6) : std::string_view(), a.value(), depth);
    }

    // The text of an element: its first child's, when that child is text
    // (kept in the element itself, or a CDATA section); null otherwise.
    static const char* elementText(pugi::xml_node element)
    {
        const char* embedded = element.value();
        if (*embedded)
            return embedded;
        const pugi::xml_node child = element.first_child();
        if (!isNull(child) && (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata))
            return child.value();
        return nullptr;
    }

    void noteFirstRecord(pugi::xml_node node, std::uint32_t depth)
    {
        if (depth <= 2)
            return; // the record element is the root: its parent is the document
        const pugi::xml_node parent = node.parent();
        if (parent.type() == pugi::node_element)
            m_listElement = parent;
        else
            m_listElementMissing = true;
    }

    const PathIndex& m_index;
    ResponseList& m_main;
    const ListLayout& m_layout;
    const std::vector<std::byte> m_blank;
    std::vector<ContentsListWalk>& m_walks;
    std::vector<StateTargets> m_targets;
    std::vector<ContentsTarget> m_contentsTargets;
    Transitions m_transitions;
    NamespaceScope m_scope;
    ElementNames m_names;
    Track m_mainTrack;
    Track m_vsdTrack;                   // the contents lists' record element (vd:vetDocument)
    bool m_sharedTrack;                 // one record element for all lists: m_mainTrack serves both
    std::byte* m_row;                   // the main-list entry being filled
    std::vector<std::uint8_t> m_filled; // per field of m_row: written since it was cleared
    bool m_holdsData = false;
    int m_added = 0;
    pugi::xml_node m_listElement;
    bool m_listElementMissing = false;
    const char* m_readBegin = nullptr;
    const char* m_readEnd = nullptr;
};

} // namespace responses::walker
