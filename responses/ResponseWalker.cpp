// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/ResponseWalker.h"

#include "platform/DebugOutput.h"
#include "responses/FieldValue.h"
#include "responses/FlatDocument.h"
#include "responses/PathIndex.h"
#include "responses/ResponseList.h"
#include "responses/VsdContentsLists.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <deque>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace responses {

namespace {

constexpr std::string_view kVetDocument = "vd:vetDocument";
constexpr std::size_t kNotFound = std::numeric_limits<std::size_t>::max();

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

class ContentsListWalk;

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
    std::size_t firstOccurrence(std::int32_t nameId) const;
    const std::vector<std::int32_t>& statesFrom(std::size_t firstRecord);
    void readListAttributes(std::size_t firstRecord);
    int walkMainList(ResponseList& list, int slot, std::int32_t rowTagId);
    void walkContentsLists(std::vector<ContentsListWalk>& walks, std::int32_t rowTagId);

    vetis::RequestRecord& m_request;
    WalkerMessages* m_messages;
    PathIndex m_index;
    FlatDocument m_document;
    std::span<const FlatElement> m_elements;
    // Element states relative to the depth of a record element, by that depth.
    struct States
    {
        std::uint32_t depth;
        std::size_t from;
        std::vector<std::int32_t> states;
    };
    std::deque<States> m_states; // stable references
};

std::size_t Walk::firstOccurrence(std::int32_t nameId) const
{
    for (std::size_t k = 0; k < m_elements.size(); ++k)
        if (m_elements[k].nameId == nameId)
            return k;
    return kNotFound;
}

// The state of every element from the first record element on: the path from
// its ancestor at the record depth down to itself, looked up in the index one
// name at a time. Lists whose record elements lie at the same depth share it.
const std::vector<std::int32_t>& Walk::statesFrom(std::size_t firstRecord)
{
    const std::uint32_t recordDepth = m_elements[firstRecord].depth;
    for (const States& s : m_states)
        if (s.depth == recordDepth && s.from <= firstRecord)
            return s.states;

    std::vector<std::int32_t> states(m_elements.size(), PathIndex::kNone);
    std::vector<std::int32_t> stack; // stack[d - recordDepth]: state of the open element at depth d
    for (std::size_t k = firstRecord; k < m_elements.size(); ++k) {
        const FlatElement& e = m_elements[k];
        if (e.depth < recordDepth)
            continue;
        const std::size_t level = e.depth - recordDepth;
        std::int32_t state = PathIndex::kNone;
        if (level == 0) {
            state = m_index.rootState(e.nameId);
        } else if (level - 1 < stack.size()) {
            const std::int32_t parent = stack[level - 1];
            state = parent == PathIndex::kNone ? PathIndex::kNone : m_index.childState(parent, e.nameId);
        } else {
            show(kParentNodeFault);
        }
        stack.resize(level + 1);
        stack[level] = state;
        states[k] = state;
    }
    m_states.push_back({recordDepth, firstRecord, std::move(states)});
    return m_states.back().states;
}

// The paging attributes of the element that encloses the first record element.
void Walk::readListAttributes(std::size_t firstRecord)
{
    const std::uint32_t depth = m_elements[firstRecord].depth;
    if (depth <= 2)
        return; // the record element is the root: its parent is the document
    std::size_t k = firstRecord;
    while (k > 0 && m_elements[k - 1].depth != depth - 1)
        --k;
    if (k == 0) {
        show(kFirstRowParentFault);
        return;
    }
    for (const FlatAttribute& a : m_document.attributes(m_elements[k - 1])) {
        const std::string name = lowered(a.name);
        const std::int32_t value = toInt32(leadingNumber(a.value));
        if (name == "offset")
            m_request.ROFFSET = value;
        else if (name == "count")
            m_request.RCOUNT = value;
        else if (name == "total")
            m_request.RTOTAL = value;
    }
}

int Walk::walkMainList(ResponseList& list, int slot, std::int32_t rowTagId)
{
    const std::size_t firstRecord = firstOccurrence(rowTagId);
    if (firstRecord == kNotFound)
        return 0;
    readListAttributes(firstRecord);
    const std::vector<std::int32_t>& states = statesFrom(firstRecord);
    const ListLayout& layout = list.layout();
    const std::uint32_t recordDepth = m_elements[firstRecord].depth;

    std::vector<std::byte> buffer(layout.recordLength);
    clearRecord(layout, buffer.data());
    bool holdsData = false;
    int added = 0;
    for (std::size_t k = firstRecord + 1; k < m_elements.size(); ++k) {
        const FlatElement& e = m_elements[k];
        if (e.text && e.depth > recordDepth) {
            const int f = m_index.field(slot, states[k]);
            if (f != PathIndex::kNone) {
                assignFieldValue(buffer.data(), layout.fields[static_cast<std::size_t>(f)], e.text);
                holdsData = true;
            }
        }
        if (e.nameId == rowTagId) {
            if (holdsData && list.add(buffer.data()))
                ++added;
            clearRecord(layout, buffer.data());
            holdsData = false;
        }
    }
    if (holdsData && list.add(buffer.data()))
        ++added;
    return added;
}

// One contents list being filled: every entry carries the UUID of its VSD in
// field 1, and an element that maps to a field not after the last one filled
// starts a new entry.
class ContentsListWalk
{
public:
    ContentsListWalk(ResponseList& list, int slot, bool withAttributes)
        : m_list(list)
        , m_layout(list.layout())
        , m_slot(slot)
        , m_withAttributes(withAttributes)
        , m_buffer(m_layout.recordLength)
    {
        clearRecord(m_layout, m_buffer.data());
    }

    int slot() const { return m_slot; }

    // Field f (0-based) matched element e, whose text is given.
    void onText(int f, std::string_view text, const FlatElement& e, std::int32_t state,
                const PathIndex& index, const FlatDocument& document)
    {
        const int i = f + 1;
        const ResponseField& field = m_layout.fields[static_cast<std::size_t>(f)];
        if (i == 1) {
            assignFieldValue(m_buffer.data(), field, text);
            m_uuidLength = text.size();
            std::memcpy(m_uuid, text.data(), std::min(text.size(), sizeof m_uuid));
            return;
        }
        if (i <= m_lastFilled)
            closeEntry();
        assignFieldValue(m_buffer.data(), field, text);
        m_lastFilled = i;
        m_pending = true;
        if (!m_withAttributes || e.attributeCount == 0)
            return;
        char lowered[64];
        for (const FlatAttribute& a : document.attributes(e)) {
            std::size_t n = 0;
            for (const char* p = a.name; *p && n < sizeof lowered; ++p)
                lowered[n++] = (*p >= 'A' && *p <= 'Z') ? static_cast<char>(*p - 'A' + 'a') : *p;
            const int af =
                index.attributeField(m_slot, state, std::string_view(lowered, n), m_lastFilled - 1);
            if (af != PathIndex::kNone)
                assignFieldValue(m_buffer.data(), m_layout.fields[static_cast<std::size_t>(af)], a.value);
        }
    }

    // A vd:vetDocument element: the UUID of the previous VSD is forgotten.
    void onRecordElement()
    {
        m_uuidLength = 0;
        m_lastFilled = 0;
        closeEntry();
    }

    void closeEntry()
    {
        if (m_pending)
            m_list.add(m_buffer.data());
        m_pending = false;
        clearRecord(m_layout, m_buffer.data());
        if (m_uuidLength == sizeof m_uuid)
            assignFieldValue(m_buffer.data(), m_layout.fields[0], std::string_view(m_uuid, sizeof m_uuid));
    }

private:
    ResponseList& m_list;
    const ListLayout& m_layout;
    int m_slot;
    bool m_withAttributes;
    std::vector<std::byte> m_buffer;
    char m_uuid[36];
    std::size_t m_uuidLength = 0;
    int m_lastFilled = 0; // 1-based index of the last field filled in the entry
    bool m_pending = false;
};

// All contents lists in one pass over the elements: per state, the lists and
// fields it fills.
void Walk::walkContentsLists(std::vector<ContentsListWalk>& walks, std::int32_t rowTagId)
{
    const std::size_t firstRecord = firstOccurrence(rowTagId);
    if (firstRecord == kNotFound || walks.empty())
        return;
    const std::vector<std::int32_t>& states = statesFrom(firstRecord);

    struct Target
    {
        std::uint32_t walk;
        std::int32_t field;
    };
    const auto stateCount = static_cast<std::size_t>(m_index.stateCount());
    std::vector<std::uint32_t> first(stateCount + 1, 0);
    std::vector<Target> targets;
    for (std::size_t s = 0; s < stateCount; ++s) {
        first[s] = static_cast<std::uint32_t>(targets.size());
        for (std::size_t w = 0; w < walks.size(); ++w) {
            const int f = m_index.field(walks[w].slot(), static_cast<std::int32_t>(s));
            if (f != PathIndex::kNone)
                targets.push_back({static_cast<std::uint32_t>(w), f});
        }
    }
    first[stateCount] = static_cast<std::uint32_t>(targets.size());

    for (std::size_t k = firstRecord + 1; k < m_elements.size(); ++k) {
        const FlatElement& e = m_elements[k];
        const std::int32_t state = states[k];
        if (e.text && state >= 0) {
            const auto s = static_cast<std::size_t>(state);
            if (first[s] != first[s + 1]) {
                const std::string_view text(e.text);
                for (std::uint32_t t = first[s]; t < first[s + 1]; ++t)
                    walks[targets[t].walk].onText(targets[t].field, text, e, state, m_index, m_document);
            }
        }
        if (e.nameId == rowTagId)
            for (ContentsListWalk& w : walks)
                w.onRecordElement();
    }
    for (ContentsListWalk& w : walks)
        w.closeEntry();
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

    switch (m_document.load(answer, size, m_index)) {
    case FlatDocument::Status::Unparsable:
        return kUnparsableAnswer;
    case FlatDocument::Status::Empty:
        return kEmptyAnswer;
    case FlatDocument::Status::Ok:
        break;
    }
    m_elements = m_document.elements();
    if (mainSlot < 0)
        return 0;

    const int added = walkMainList(*main, mainSlot, m_index.nameId(lowered(rowTag)));
    if (added > 0) {
        std::vector<ContentsListWalk> walks;
        for (int p = 1; p <= kContentsListCount; ++p)
            if (contentsSlot[static_cast<std::size_t>(p)] >= 0)
                walks.emplace_back(*m_request.lists[static_cast<std::size_t>(p)],
                                   contentsSlot[static_cast<std::size_t>(p)], p == kPackageListPosition);
        walkContentsLists(walks, m_index.nameId(lowered(kVetDocument)));
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
