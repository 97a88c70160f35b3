// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/ResponseList.h"

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
    const std::size_t len = m_layout->recordLength;
    if (m_count == m_chunks.size() * m_rowsPerChunk)
        m_chunks.push_back(std::make_unique_for_overwrite<std::byte[]>(m_rowsPerChunk * len));
    ++m_count;
    std::memcpy(row(m_count - 1), record, len);
    return true;
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
}

} // namespace responses
