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
#include <charconv>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
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

// A paging attribute's value: an integer from 0 to 2^31-1, XML blanks
// around it allowed; nothing for anything else.
std::optional<std::int32_t> pagingValue(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
    if (text.front() == '+')
        text.remove_prefix(1);
    if (text.empty() || text.front() == '-')
        return std::nullopt;
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

// The entry counts of the request's lists, so that a refused answer leaves
// them as they were.
class ListCounts
{
public:
    explicit ListCounts(const vetis::RequestRecord& request)
    {
        for (std::size_t i = 0; i < request.lists.size(); ++i)
            m_counts[i] = request.lists[i] ? request.lists[i]->count() : 0;
    }
    void restore(vetis::RequestRecord& request) const
    {
        for (std::size_t i = 0; i < request.lists.size(); ++i)
            if (request.lists[i])
                request.lists[i]->truncate(m_counts[i]);
    }
    std::size_t before(std::size_t list) const { return m_counts[list]; }

private:
    std::array<std::size_t, vetis::kResponseListCount> m_counts{};
};

class Walk
{
public:
    Walk(vetis::RequestRecord& request, WalkerMessages* messages, const ListCounts& counts);

    // Reads a parsed answer; a refused one is told as such.
    ReadResult read(const vetis::AnswerDocument& document);

private:
    void show(std::string_view text) const
    {
        if (m_messages)
            m_messages->show(text);
        else
            platform::debugOutput(text);
    }
    // Empty when the attributes are sound.
    std::string readListAttributes(pugi::xml_node list);
    std::int32_t rowTagId() const { return m_index.nameId(lowered(m_rowTag)); }
    std::int32_t vetDocumentId() const { return m_index.nameId(lowered(kVetDocument)); }

    vetis::RequestRecord& m_request;
    WalkerMessages* m_messages;
    const ListCounts& m_counts;
    PathIndex m_index;
    std::string m_rowTag;
    int m_mainSlot = -1;
    std::array<int, kContentsListCount + 1> m_contentsSlot{};
};

Walk::Walk(vetis::RequestRecord& request, WalkerMessages* messages, const ListCounts& counts)
    : m_request(request)
    , m_messages(messages)
    , m_counts(counts)
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
std::string Walk::readListAttributes(pugi::xml_node list)
{
    for (pugi::xml_attribute a = list.first_attribute(); a; a = a.next_attribute()) {
        const std::string name = lowered(a.name());
        if (name != "offset" && name != "count" && name != "total")
            continue;
        const std::optional<std::int32_t> value = pagingValue(a.value());
        if (!value) {
            std::string shown = std::string(std::string_view(a.value()).substr(0, 40));
            if (std::strlen(a.value()) > 40)
                shown += "...";
            return "Ответ сервиса содержит неверное значение атрибута «" + std::string(a.name()) +
                   "» списка: «" + shown + "» (ожидается целое число от 0 до 2147483647).";
        }
        if (name == "offset")
            m_request.ROFFSET = *value;
        else if (name == "count")
            m_request.RCOUNT = *value;
        else
            m_request.RTOTAL = *value;
    }
    return {};
}

ReadResult Walk::read(const vetis::AnswerDocument& document)
{
    ReadResult result;
    if (!document.passed()) {
        const AnswerProblem problem = document.problem();
        result.entries = problem == AnswerProblem::Empty ? kEmptyAnswer : kUnparsableAnswer;
        result.problem = problem;
        result.description = document.description();
        return result;
    }
    if (m_mainSlot < 0)
        return result;
    ResponseList* main = m_request.lists[0];

    // Contents lists are filled in the same pass and kept only when the main
    // list received entries.
    std::vector<std::vector<std::byte>> blanks;
    std::vector<ContentsListWalk> walks;
    blanks.reserve(kContentsListCount);
    walks.reserve(kContentsListCount);
    for (int p = 1; p <= kContentsListCount; ++p) {
        const auto i = static_cast<std::size_t>(p);
        if (m_contentsSlot[i] < 0)
            continue;
        ResponseList& list = *m_request.lists[i];
        blanks.push_back(blankRecord(list.layout()));
        walks.emplace_back(list, m_contentsSlot[i], p == kPackageListPosition, blanks.back().data());
    }

    AnswerPass pass(m_index, *main, m_mainSlot, rowTagId(), walks, vetDocumentId());
    pass.setReadableRange(document.textBegin(), document.textEnd());
    pugi::xml_node tree = document.document(); // a handle: traverse() is not const
    tree.traverse(pass);
    const int added = pass.finish();
    std::string paging;
    if (pass.listElementMissing())
        show(kFirstRowParentFault);
    else if (!isNull(pass.listElement()))
        paging = readListAttributes(pass.listElement());
    if (!paging.empty()) {
        m_counts.restore(m_request);
        m_request.ROFFSET = m_request.RCOUNT = m_request.RTOTAL = 0;
        result.entries = kUnparsableAnswer;
        result.problem = AnswerProblem::BadPagingAttribute;
        result.description = std::move(paging);
        return result;
    }
    main->truncate(main->count()); // the room kept for one more entry
    for (int p = 1; p <= kContentsListCount; ++p) {
        const auto i = static_cast<std::size_t>(p);
        if (m_contentsSlot[i] >= 0)
            m_request.lists[i]->truncate(added > 0 ? m_request.lists[i]->count() : m_counts.before(i));
    }
    m_request.RLOAD = added;
    result.entries = added;
    return result;
}

// Every reading goes through here: whatever is thrown (memory running out
// as the lists grow) ends the reading as a refusal, the lists as they were.
template <class Read>
ReadResult guarded(vetis::RequestRecord& request, std::size_t size, Read read)
{
    const ListCounts counts(request);
    ReadResult refused;
    refused.entries = kUnparsableAnswer;
    try {
        return read(counts);
    } catch (const std::bad_alloc&) {
        refused.problem = AnswerProblem::OutOfMemory;
        refused.description =
            "Не хватило памяти для чтения ответа сервиса (" + vetis::sizeForMessage(size) + ").";
    } catch (...) {
        refused.problem = AnswerProblem::OutOfMemory;
        refused.description = "Ответ сервиса не прочитан из-за внутренней ошибки программы.";
    }
    counts.restore(request);
    request.RLOAD = 0;
    request.ROFFSET = request.RCOUNT = request.RTOTAL = 0;
    return refused;
}

} // namespace

ReadResult WalkAnswer(const vetis::AnswerDocument& answer, vetis::RequestRecord& request,
                      WalkerMessages* messages)
{
    return guarded(request, static_cast<std::size_t>(answer.textEnd() - answer.textBegin()),
                   [&](const ListCounts& counts) { return Walk(request, messages, counts).read(answer); });
}

ReadResult ReadAnswerInPlace(char* answer, std::size_t size, vetis::RequestRecord& request,
                             WalkerMessages* messages, std::size_t maxBytes)
{
    return guarded(request, size, [&](const ListCounts& counts) {
        Walk walk(request, messages, counts);
        vetis::AnswerDocument document;
        document.parse(answer, size, maxBytes);
        return walk.read(document);
    });
}

ReadResult ReadAnswer(std::string_view answer, vetis::RequestRecord& request, WalkerMessages* messages,
                      std::size_t maxBytes)
{
    return guarded(request, answer.size(), [&](const ListCounts& counts) {
        Walk walk(request, messages, counts);
        if (answer.size() > maxBytes) { // refused before it is copied
            ReadResult refused;
            refused.entries = kUnparsableAnswer;
            refused.problem = AnswerProblem::TooLarge;
            refused.description = vetis::tooLargeDescription(answer.size(), maxBytes);
            return refused;
        }
        std::unique_ptr<char[]> copy(new char[answer.size() + 1]);
        std::memcpy(copy.get(), answer.data(), answer.size());
        copy[answer.size()] = '\0';
        vetis::AnswerDocument document;
        document.parse(copy.get(), answer.size(), maxBytes);
        return walk.read(document);
    });
}

} // namespace responses
