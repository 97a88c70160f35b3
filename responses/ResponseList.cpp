// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/ResponseList.h"

#include "platform/Compiler.h"

#include <algorithm>
#include <cstring>
#include <new>
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
    std::byte* room = nullptr;
    try {
        room = nextRow();
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::memcpy(room, record, m_layout->recordLength);
    ++m_count;
    return true;
}

namespace {
thread_local long t_chunksBeforeFailure = -1;
} // namespace

void failListGrowthAfter(long chunks)
{
    t_chunksBeforeFailure = chunks;
}

std::byte* ResponseList::nextRow()
{
    const std::size_t length = m_layout->recordLength;
    const std::size_t chunk = m_count >> m_chunkShift;
    if (chunk == m_chunks.size()) {
        if (t_chunksBeforeFailure >= 0 && t_chunksBeforeFailure-- == 0)
            throw std::bad_alloc();
        m_chunks.push_back(std::make_unique_for_overwrite<std::byte[]>(m_rowsPerChunk * length));
    }
    const std::size_t inChunk = m_count & (m_rowsPerChunk - 1);
    std::byte* row = m_chunks[chunk].get() + inChunk * length;
    // Filling a row waits on every cache line it touches first; fetching the
    // following row for writing meanwhile hides that.
    if (inChunk + 1 < m_rowsPerChunk)
        for (std::size_t at = 0; at < length; at += 64)
            ZANVO_PREFETCH_FOR_WRITE(row + length + at);
    return row;
}

void ResponseList::truncate(std::size_t count)
{
    m_count = std::min(m_count, count);
    m_chunks.resize((m_count + m_rowsPerChunk - 1) >> m_chunkShift);
}

bool ResponseList::sortRows(const std::function<bool(const std::byte*, const std::byte*)>& less)
{
    const std::size_t n = count();
    std::vector<std::size_t> order;
    try {
        order.resize(n);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return less(row(a), row(b)); });
    ResponseList sorted(*m_layout);
    // The copy replaces the rows only when it holds every one of them: a
    // partial copy would drop the rows beyond the failure.
    for (std::size_t i : order)
        if (!sorted.add(row(i)))
            return false;
    m_chunks.swap(sorted.m_chunks);
    return true;
}

} // namespace responses
