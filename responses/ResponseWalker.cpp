// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/ResponseWalker.h"

#include "platform/DebugOutput.h"
#include "responses/ContentsListWalk.h"
#include "responses/ElementNames.h"
#include "responses/FieldValue.h"
#include "responses/Namespaces.h"
#include "responses/PathIndex.h"
#include "responses/ResponseList.h"
#include "responses/VsdContentsLists.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

namespace responses {

namespace {

constexpr std::string_view kVetDocument = "vd:vetDocument";

// Text children are kept apart from elements; whitespace-only text between
// elements is dropped, so an empty element has no text child. The text that
// is an element's first child is kept in the element itself
// (parse_embed_pcdata), which halves the nodes of a typical answer.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_embed_pcdata;

std::string lowered(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::int32_t toInt32(double v)
{
    if (std::isnan(v))
        return 0;
    if (v <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (v >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v);
}

// "xmlns" or "xmlns:..." without measuring the name first.
bool declaresNamespace(const char* name)
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

std::vector<std::byte> blankRecord(const ListLayout& layout)
{
    std::vector<std::byte> blank(layout.recordLength);
    clearRecord(layout, blank.data());
    return blank;
}

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

    bool for_each(pugi::xml_node& node) override
    {
        // Only elements have names under the parse options used.
        const char* name = node.name();
        if (!*name)
            return true;
        const auto depth = static_cast<std::uint32_t>(this->depth()) + 2; // the document node is depth 1
        m_scope.leave(depth);
        if (const pugi::xml_attribute first = node.first_attribute(); !isNull(first))
            declareNamespaces(first, depth);
        const std::int32_t id = m_names.id(name, m_scope);

        const bool mainStarted = m_mainTrack.started();
        const std::int32_t mainState = m_mainTrack.enter(depth, id, m_transitions);
        const bool vsdStarted = m_sharedTrack ? mainStarted : m_vsdTrack.started();
        const std::int32_t vsdState = m_sharedTrack ? mainState : m_vsdTrack.enter(depth, id, m_transitions);
        if (!mainStarted && m_mainTrack.started())
            noteFirstRecord(node, depth);

        const char* text = nullptr;
        bool textRead = false;
        if (mainState >= 0 && depth > m_mainTrack.recordDepth()) {
            const std::int32_t f = m_targets[static_cast<std::size_t>(mainState)].mainField;
            if (f != PathIndex::kNone) {
                text = elementText(node);
                textRead = true;
                if (text) {
                    const auto i = static_cast<std::size_t>(f);
                    assignFieldText(m_row, m_layout.fields[i], text, readableEnd(text), !m_filled[i]);
                    m_filled[i] = 1;
                    m_holdsData = true;
                }
            }
        }
        if (vsdState >= 0) {
            const StateTargets& t = m_targets[static_cast<std::size_t>(vsdState)];
            if (t.contentsFirst != t.contentsEnd) {
                if (!textRead)
                    text = elementText(node);
                if (text)
                    for (std::uint32_t k = t.contentsFirst; k < t.contentsEnd; ++k)
                        m_walks[m_contentsTargets[k].walk].onText(m_contentsTargets[k].field, text,
                                                                  readableEnd(text), node, vsdState, m_index);
            }
        }

        if (mainStarted && id == m_mainTrack.rowTagId() && m_holdsData) {
            m_main.commitRow();
            ++m_added;
            m_row = m_main.nextRow();
            std::memcpy(m_row, m_blank.data(), m_blank.size());
            std::fill(m_filled.begin(), m_filled.end(), 0);
            m_holdsData = false;
        }
        if (vsdStarted && id == m_vsdTrack.rowTagId())
            for (ContentsListWalk& w : m_walks)
                w.onRecordElement();
        return true;
    }

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

class Walk
{
public:
    Walk(vetis::RequestRecord& request, WalkerMessages* messages)
        : m_request(request)
        , m_messages(messages)
    {}

    int run(char* answer, std::size_t size);

private:
    void show(std::string_view text) const
    {
        if (m_messages)
            m_messages->show(text);
        else
            platform::debugOutput(text);
    }
    void readListAttributes(pugi::xml_node list);

    vetis::RequestRecord& m_request;
    WalkerMessages* m_messages;
    PathIndex m_index;
};

// The paging attributes of the element that encloses the first record element.
void Walk::readListAttributes(pugi::xml_node list)
{
    for (pugi::xml_attribute a = list.first_attribute(); a; a = a.next_attribute()) {
        const std::string name = lowered(a.name());
        if (name != "offset" && name != "count" && name != "total")
            continue;
        const std::int32_t value = toInt32(leadingNumber(a.value()));
        if (name == "offset")
            m_request.ROFFSET = value;
        else if (name == "count")
            m_request.RCOUNT = value;
        else
            m_request.RTOTAL = value;
    }
}

int Walk::run(char* answer, std::size_t size)
{
    m_request.RLOAD = 0;
    m_request.ROFFSET = m_request.RCOUNT = m_request.RTOTAL = 0;

    ResponseList* main = m_request.lists[0];
    const std::string rowTag(m_request.ROWTAG, strnlen(m_request.ROWTAG, sizeof m_request.ROWTAG));
    int mainSlot = -1;
    if (main && !rowTag.empty())
        mainSlot = m_index.addList(main->layout(), rowTag, false);
    std::array<int, kContentsListCount + 1> contentsSlot{};
    contentsSlot.fill(-1);
    for (int p = 1; p <= kContentsListCount; ++p)
        if (ResponseList* list = m_request.lists[static_cast<std::size_t>(p)])
            contentsSlot[static_cast<std::size_t>(p)] = m_index.addList(list->layout(), kVetDocument, true);

    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer_inplace(answer, size, kParseOptions, pugi::encoding_auto);
    if (parsed.status == pugi::status_no_document_element)
        return kEmptyAnswer;
    if (!parsed)
        return kUnparsableAnswer;
    if (!document.document_element())
        return kEmptyAnswer;
    if (mainSlot < 0)
        return 0;

    // Contents lists are filled in the same pass and kept only when the main
    // list received entries.
    std::vector<std::vector<std::byte>> blanks;
    std::vector<ContentsListWalk> walks;
    std::array<std::size_t, kContentsListCount + 1> countBefore{};
    blanks.reserve(kContentsListCount);
    walks.reserve(kContentsListCount);
    for (int p = 1; p <= kContentsListCount; ++p) {
        const auto i = static_cast<std::size_t>(p);
        if (contentsSlot[i] < 0)
            continue;
        ResponseList& list = *m_request.lists[i];
        countBefore[i] = list.count();
        blanks.push_back(blankRecord(list.layout()));
        walks.emplace_back(list, contentsSlot[i], p == kPackageListPosition, blanks.back().data());
    }

    AnswerPass pass(m_index, *main, mainSlot, m_index.nameId(lowered(rowTag)), walks,
                    m_index.nameId(lowered(kVetDocument)));
    pass.setReadableRange(answer, answer + size);
    document.traverse(pass);
    const int added = pass.finish();
    if (pass.listElementMissing())
        show(kFirstRowParentFault);
    else if (!isNull(pass.listElement()))
        readListAttributes(pass.listElement());
    main->truncate(main->count()); // the room kept for one more entry
    for (int p = 1; p <= kContentsListCount; ++p) {
        const auto i = static_cast<std::size_t>(p);
        if (contentsSlot[i] >= 0)
            m_request.lists[i]->truncate(added > 0 ? m_request.lists[i]->count() : countBefore[i]);
    }
    m_request.RLOAD = added;
    return added;
}

} // namespace

int ReadAnswerInPlace(char* answer, std::size_t size, vetis::RequestRecord& request, WalkerMessages* messages)
{
    return Walk(request, messages).run(answer, size);
}

int ReadAnswer(std::string_view answer, vetis::RequestRecord& request, WalkerMessages* messages)
{
    std::unique_ptr<char[]> copy(new char[answer.size() + 1]);
    std::memcpy(copy.get(), answer.data(), answer.size());
    copy[answer.size()] = '\0';
    return ReadAnswerInPlace(copy.get(), answer.size(), request, messages);
}

} // namespace responses
