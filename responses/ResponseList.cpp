// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/ResponseList.h"

#include "platform/Compiler.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace responses {

void clearRecord(const ListLayout& layout, std::byte* record)
{
    std::memset(record, 0, layout.recordLength);
    for (const ResponseField& f : layout.fields)
        if (f.type == store::FieldType::Text)
            std::memset(record + f.offset, ' ', f.size);
}

bool ResponseList::add(const void* record)
{
    std::memcpy(nextRow(), record, m_layout->recordLength);
    ++m_count;
    return true;
}

std::byte* ResponseList::nextRow()
{
    const std::size_t length = m_layout->recordLength;
    std::size_t k = m_count;
    std::size_t firstChunk = 0;
    if (!m_segments.empty()) {
        k -= m_segments.back().firstRow;
        firstChunk = m_segments.back().firstChunk;
    }
    const std::size_t chunk = firstChunk + (k >> m_chunkShift);
    if (chunk == m_chunks.size())
        m_chunks.push_back(std::make_unique_for_overwrite<std::byte[]>(m_rowsPerChunk * length));
    const std::size_t inChunk = k & (m_rowsPerChunk - 1);
    std::byte* row = m_chunks[chunk].get() + inChunk * length;
    // Filling a row waits on every cache line it touches first; fetching the
    // following row for writing meanwhile hides that.
    if (inChunk + 1 < m_rowsPerChunk)
        for (std::size_t at = 0; at < length; at += 64)
            ZANVO_PREFETCH_FOR_WRITE(row + length + at);
    return row;
}

std::size_t ResponseList::chunksInUse() const
{
    if (m_segments.empty())
        return (m_count + m_rowsPerChunk - 1) >> m_chunkShift;
    const Segment& last = m_segments.back();
    return last.firstChunk + ((m_count - last.firstRow + m_rowsPerChunk - 1) >> m_chunkShift);
}

void ResponseList::truncate(std::size_t count)
{
    m_count = std::min(m_count, count);
    // Segments that begin at or after the end are gone; rows added later
    // continue in the last chunk of the segment before.
    while (m_segments.size() > 1 && m_segments.back().firstRow >= m_count)
        m_segments.pop_back();
    if (m_segments.size() == 1)
        m_segments.clear();
    m_chunks.resize(chunksInUse());
}

void ResponseList::append(ResponseList&& other)
{
    assert(other.m_layout->fields.data() == m_layout->fields.data());
    if (&other == this || other.m_count == 0)
        return;
    truncate(m_count); // the room kept for a next row, in both lists
    other.truncate(other.m_count);
    std::vector<Segment> joined = m_segments;
    if (joined.empty())
        joined.push_back({0, 0});
    const std::size_t chunkBase = m_chunks.size();
    const std::vector<Segment> theirs =
        other.m_segments.empty() ? std::vector<Segment>{{0, 0}} : other.m_segments;
    for (const Segment& s : theirs) {
        const Segment moved{m_count + s.firstRow, chunkBase + s.firstChunk};
        // A segment that goes on exactly where the last one stands (its last
        // chunk was full) needs no entry of its own.
        const Segment& last = joined.back();
        const std::size_t rows = moved.firstRow - last.firstRow;
        if ((rows & (m_rowsPerChunk - 1)) == 0 &&
            last.firstChunk + (rows >> m_chunkShift) == moved.firstChunk)
            continue;
        joined.push_back(moved);
    }
    for (auto& chunk : other.m_chunks)
        m_chunks.push_back(std::move(chunk));
    m_count += other.m_count;
    if (joined.size() == 1)
        joined.clear();
    m_segments = std::move(joined);
    other.clear();
}

void ResponseList::sortRows(const std::function<bool(const std::byte*, const std::byte*)>& less)
{
    const std::size_t n = count();
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return less(row(a), row(b)); });
    ResponseList sorted(*m_layout);
    for (std::size_t i : order)
        sorted.add(row(i));
    m_chunks.swap(sorted.m_chunks);
    m_segments.swap(sorted.m_segments);
}

} // namespace responses
