// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/ResponseWalker.h"

#include "platform/DebugOutput.h"
#include "responses/AnswerPass.h"
#include "responses/ContentsListWalk.h"
#include "responses/FieldValue.h"
#include "responses/Namespaces.h"
#include "responses/PathIndex.h"
#include "responses/ResponseList.h"
#include "responses/VsdContentsLists.h"
#include "vetis/AsciiCase.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace responses {

using vetis::lowerAscii;
using vetis::lowered;

namespace {

using walker::AnswerPass;
using walker::blankRecord;
using walker::isNull;

constexpr std::string_view kVetDocument = "vd:vetDocument";

// Text children are kept apart from elements; whitespace-only text between
// elements is dropped, so an empty element has no text child. The text that
// is an element's first child is kept in the element itself
// (parse_embed_pcdata), which halves the nodes of a typical answer.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_embed_pcdata;

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

class Walk
{
public:
    Walk(vetis::RequestRecord& request, WalkerMessages* messages);

    // Reads a parsable copy of the answer, in place.
    int read(char* answer, std::size_t size);

private:
    void show(std::string_view text) const
    {
        if (m_messages)
            m_messages->show(text);
        else
            platform::debugOutput(text);
    }
    void readListAttributes(pugi::xml_node list);
    std::int32_t rowTagId() const { return m_index.nameId(lowered(m_rowTag)); }
    std::int32_t vetDocumentId() const { return m_index.nameId(lowered(kVetDocument)); }

    vetis::RequestRecord& m_request;
    WalkerMessages* m_messages;
    PathIndex m_index;
    std::string m_rowTag;
    int m_mainSlot = -1;
    std::array<int, kContentsListCount + 1> m_contentsSlot{};
};

Walk::Walk(vetis::RequestRecord& request, WalkerMessages* messages)
    : m_request(request)
    , m_messages(messages)
    , m_rowTag(request.ROWTAG, strnlen(request.ROWTAG, sizeof request.ROWTAG))
{
    m_request.RLOAD = 0;
    m_request.ROFFSET = m_request.RCOUNT = m_request.RTOTAL = 0;
    if (ResponseList* main = m_request.lists[0]; main && !m_rowTag.empty())
        m_mainSlot = m_index.addList(main->layout(), m_rowTag, false);
    m_contentsSlot.fill(-1);
    for (int p = 1; p <= kContentsListCount; ++p)
        if (ResponseList* list = m_request.lists[static_cast<std::size_t>(p)])
            m_contentsSlot[static_cast<std::size_t>(p)] = m_index.addList(list->layout(), kVetDocument, true);
}

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

int Walk::read(char* answer, std::size_t size)
{
    pugi::xml_document document;
    const pugi::xml_parse_result parsed =
        document.load_buffer_inplace(answer, size, kParseOptions, pugi::encoding_auto);
    if (parsed.status == pugi::status_no_document_element)
        return kEmptyAnswer;
    if (!parsed)
        return kUnparsableAnswer;
    if (!document.document_element())
        return kEmptyAnswer;
    if (m_mainSlot < 0)
        return 0;
    ResponseList* main = m_request.lists[0];

    // Contents lists are filled in the same pass and kept only when the main
    // list received entries.
    std::vector<std::vector<std::byte>> blanks;
    std::vector<ContentsListWalk> walks;
    std::array<std::size_t, kContentsListCount + 1> countBefore{};
    blanks.reserve(kContentsListCount);
    walks.reserve(kContentsListCount);
    for (int p = 1; p <= kContentsListCount; ++p) {
        const auto i = static_cast<std::size_t>(p);
        if (m_contentsSlot[i] < 0)
            continue;
        ResponseList& list = *m_request.lists[i];
        countBefore[i] = list.count();
        blanks.push_back(blankRecord(list.layout()));
        walks.emplace_back(list, m_contentsSlot[i], p == kPackageListPosition, blanks.back().data());
    }

    AnswerPass pass(m_index, *main, m_mainSlot, rowTagId(), walks, vetDocumentId());
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
        if (m_contentsSlot[i] >= 0)
            m_request.lists[i]->truncate(added > 0 ? m_request.lists[i]->count() : countBefore[i]);
    }
    m_request.RLOAD = added;
    return added;
}

} // namespace

int ReadAnswerInPlace(char* answer, std::size_t size, vetis::RequestRecord& request, WalkerMessages* messages)
{
    return Walk(request, messages).read(answer, size);
}

int ReadAnswer(std::string_view answer, vetis::RequestRecord& request, WalkerMessages* messages)
{
    std::unique_ptr<char[]> copy(new char[answer.size() + 1]);
    std::memcpy(copy.get(), answer.data(), answer.size());
    copy[answer.size()] = '\0';
    return Walk(request, messages).read(copy.get(), answer.size());
}

} // namespace responses
