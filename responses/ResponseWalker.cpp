// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/ResponseWalker.h"

#include "platform/DebugOutput.h"
#include "responses/AnswerCuts.h"
#include "responses/AnswerOutline.h"
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
#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace responses {

using vetis::lowerAscii;
using vetis::lowered;

namespace {

using walker::AnswerOutline;
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

// A long answer is shared among threads from this length on, in pieces of
// about the second length. Threads take the next piece as they become free,
// so a thread that runs slower (on a busy processor) takes fewer; a thread
// parses one piece at a time.
constexpr std::size_t kShareFromBytes = std::size_t{1} << 20;
constexpr std::size_t kPieceBytes = std::size_t{1} << 20;
constexpr unsigned kMostThreads = 8;

// What the reading of one piece gave, in lists of its own that are joined to
// the request's lists in the order of the pieces.
struct PieceLists
{
    std::unique_ptr<ResponseList> main;
    std::array<std::unique_ptr<ResponseList>, kContentsListCount + 1>
        contents; // [position], null when not read
    int added = 0;
};

// What the threads reading the pieces of one answer share.
struct PieceWork
{
    const AnswerCuts& cuts;
    std::string_view answer;
    pugi::xml_node listElement;
    std::uint32_t recordDepth;
    std::size_t longestPiece;
    std::vector<PieceLists> results;  // [piece]
    std::atomic<std::size_t> next{0}; // the first piece no thread has taken
    std::atomic<bool> failed{false};  // a piece was not a sequence of whole records

    std::size_t pieceEnd(std::size_t k) const
    {
        return k + 1 < cuts.pieceBegins.size() ? cuts.pieceBegins[k + 1] : cuts.recordsEnd;
    }
};

class Walk
{
public:
    Walk(vetis::RequestRecord& request, WalkerMessages* messages);

    // Reads a parsable copy of the answer (in place) the usual way.
    int readWhole(char* answer, std::size_t size);
    // Reads the answer in pieces on several threads, without changing it;
    // nothing when it cannot be cut into pieces of whole records (then it
    // is to be read whole, as nothing has been changed).
    std::optional<int> readInPieces(std::string_view answer, const ReadSharing& sharing);

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
    void readPieces(PieceWork& work) const;

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

int Walk::readWhole(char* answer, std::size_t size)
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

// One thread's part: the next piece no thread has taken, until none is
// left; each copied, parsed and walked into lists of its own by the pass the
// thread keeps for all its pieces.
void Walk::readPieces(PieceWork& work) const
{
    std::array<std::vector<std::byte>, kContentsListCount + 1> blanks;
    for (std::size_t p = 1; p <= kContentsListCount; ++p)
        if (m_contentsSlot[p] >= 0)
            blanks[p] = blankRecord(m_request.lists[p]->layout());
    std::vector<ContentsListWalk> walks;
    walks.reserve(kContentsListCount);
    std::optional<AnswerPass> pass;
    const std::int32_t rowTag = rowTagId();
    const std::int32_t vetDocument = vetDocumentId();
    // One buffer for the copies of all pieces: it stays in the cache from
    // piece to piece.
    const std::unique_ptr<char[]> piece(new char[work.longestPiece + 1]);
    for (;;) {
        const std::size_t k = work.next.fetch_add(1);
        if (k >= work.results.size() || work.failed.load(std::memory_order_relaxed))
            return;
        PieceLists& out = work.results[k];
        out.main = std::make_unique<ResponseList>(m_request.lists[0]->layout());
        walks.clear();
        for (std::size_t p = 1; p <= kContentsListCount; ++p)
            if (m_contentsSlot[p] >= 0) {
                out.contents[p] = std::make_unique<ResponseList>(m_request.lists[p]->layout());
                walks.emplace_back(*out.contents[p], m_contentsSlot[p], p == kPackageListPosition,
                                   blanks[p].data());
            }
        if (pass) {
            pass->startPiece(*out.main, walks);
        } else {
            pass.emplace(m_index, *out.main, m_mainSlot, rowTag, walks, vetDocument);
            pass->continueBelow(work.listElement, work.recordDepth);
        }

        const std::size_t begin = work.cuts.pieceBegins[k];
        const std::size_t length = work.pieceEnd(k) - begin;
        std::memcpy(piece.get(), work.answer.data() + begin, length);
        piece[length] = '\0';
        pugi::xml_document document;
        if (!document.load_buffer_inplace(piece.get(), length, kParseOptions | pugi::parse_fragment,
                                          pugi::encoding_utf8)) {
            work.failed.store(true);
            return;
        }
        pass->setReadableRange(piece.get(), piece.get() + length);
        document.traverse(*pass);
        if (pass->strayAtRecordDepth()) {
            work.failed.store(true);
            return;
        }
        out.added = pass->finish();
    }
}

std::optional<int> Walk::readInPieces(std::string_view answer, const ReadSharing& sharing)
{
    if (sharing.threads < 2 || sharing.pieces < 2 || m_mainSlot < 0)
        return std::nullopt;
    // The contents lists are read along only when their record element is
    // the main list's, as in every VSD answer.
    const bool readsContents =
        std::any_of(m_contentsSlot.begin() + 1, m_contentsSlot.end(), [](int slot) { return slot >= 0; });
    if (readsContents && lowered(m_rowTag) != lowered(kVetDocument))
        return std::nullopt;
    const std::size_t colon = m_rowTag.find(':');
    const std::string_view localName = colon == std::string::npos
                                           ? std::string_view(m_rowTag)
                                           : std::string_view(m_rowTag).substr(colon + 1);
    const std::optional<AnswerCuts> cuts = cutAnswer(answer, localName, sharing.pieces);
    if (!cuts || cuts->pieceBegins.size() < 2)
        return std::nullopt;

    AnswerOutline outline;
    if (!outline.read(answer, *cuts, lowered(m_rowTag), kParseOptions))
        return std::nullopt;
    const pugi::xml_node listElement = outline.listElement();

    const std::size_t pieces = cuts->pieceBegins.size();
    PieceWork work{*cuts, answer, listElement, outline.recordDepth(), 0, std::vector<PieceLists>(pieces)};
    for (std::size_t k = 0; k < pieces; ++k)
        work.longestPiece = std::max(work.longestPiece, work.pieceEnd(k) - cuts->pieceBegins[k]);
    // Nothing thrown leaves a thread: a piece that could not be read makes
    // the answer be read whole.
    const auto readShare = [this, &work] {
        try {
            readPieces(work);
        } catch (...) {
            work.failed.store(true);
        }
    };
    const unsigned threads = static_cast<unsigned>(std::min<std::size_t>(sharing.threads, pieces));
    std::vector<std::thread> helpers;
    try {
        helpers.reserve(threads - 1);
        for (unsigned t = 1; t < threads; ++t)
            helpers.emplace_back(readShare);
    } catch (...) {
        // Fewer threads than asked: those there are take all the pieces.
    }
    readShare();
    for (std::thread& helper : helpers)
        helper.join();
    if (work.failed.load())
        return std::nullopt;

    int added = 0;
    for (const PieceLists& piece : work.results)
        added += piece.added;
    for (PieceLists& piece : work.results) {
        m_request.lists[0]->append(std::move(*piece.main));
        if (added > 0) // contents are kept only when the main list received entries
            for (std::size_t p = 1; p <= kContentsListCount; ++p)
                if (piece.contents[p])
                    m_request.lists[p]->append(std::move(*piece.contents[p]));
    }
    readListAttributes(listElement);
    m_request.RLOAD = added;
    return added;
}

} // namespace

ReadSharing defaultSharing(std::size_t answerSize)
{
    if (answerSize < kShareFromBytes)
        return {};
    const unsigned threads = std::min(std::max(1u, std::thread::hardware_concurrency()), kMostThreads);
    if (threads < 2)
        return {};
    const std::size_t perThread = std::max<std::size_t>(1, answerSize / threads / kPieceBytes);
    return {threads, threads * perThread};
}

int ReadAnswerInPlace(char* answer, std::size_t size, vetis::RequestRecord& request,
                      const ReadSharing& sharing, bool* readInPieces, WalkerMessages* messages)
{
    Walk walk(request, messages);
    const std::optional<int> shared = walk.readInPieces(std::string_view(answer, size), sharing);
    if (readInPieces)
        *readInPieces = shared.has_value();
    return shared ? *shared : walk.readWhole(answer, size);
}

int ReadAnswer(std::string_view answer, vetis::RequestRecord& request, const ReadSharing& sharing,
               bool* readInPieces, WalkerMessages* messages)
{
    Walk walk(request, messages);
    const std::optional<int> shared = walk.readInPieces(answer, sharing);
    if (readInPieces)
        *readInPieces = shared.has_value();
    if (shared)
        return *shared;
    std::unique_ptr<char[]> copy(new char[answer.size() + 1]);
    std::memcpy(copy.get(), answer.data(), answer.size());
    copy[answer.size()] = '\0';
    return walk.readWhole(copy.get(), answer.size());
}

int ReadAnswerInPlace(char* answer, std::size_t size, vetis::RequestRecord& request, WalkerMessages* messages)
{
    return ReadAnswerInPlace(answer, size, request, defaultSharing(size), nullptr, messages);
}

int ReadAnswer(std::string_view answer, vetis::RequestRecord& request, WalkerMessages* messages)
{
    return ReadAnswer(answer, request, defaultSharing(answer.size()), nullptr, messages);
}

} // namespace responses
