// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

// Response lists: in-memory lists of fixed-width records that the response
// walker fills from an answer. Every field carries, besides its name, type and
// width, the path of the element that holds its value below the record element
// ("!dt:packaging!dt:unit!bs:guid"; an attribute as "...!dt:productMarks/Class").
// Fields are numbered from 1 in declaration order; the walker relies on that
// order ("the first field whose path equals" wins, and a field that does not
// come after the last one filled starts a new contents entry).
namespace responses {

struct ResponseField
{
    std::string_view name; // "UUID"
    store::FieldType type;
    std::uint16_t size;   // bytes in the record
    std::uint32_t offset; // byte offset in the record
    std::string_view path;
};

// One list's record layout. rowTag is the record element the list is read
// with (dictionary lists of one shape share their fields and differ in it).
struct ListLayout
{
    std::string_view name;   // "vsd", "routePoints", "country"
    std::string_view rowTag; // "vd:vetDocument", "dt:country"
    std::uint32_t recordLength;
    std::span<const ResponseField> fields;

    // 0-based index of the field of that exact name, -1 when none.
    constexpr int fieldIndex(std::string_view fieldName) const
    {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].name == fieldName)
                return static_cast<int>(i);
        return -1;
    }
};

// A blank record: text fields blank, zero-terminated texts empty, numbers 0.
void clearRecord(const ListLayout& layout, std::byte* record);

// Rows live in chunks of 8 to 16 KiB, so that a growing list never copies
// its rows and never holds twice their size. A chunk holds a power of two of
// rows, so that finding a row takes no division.
class ResponseList
{
public:
    explicit ResponseList(const ListLayout& layout)
        : m_layout(&layout)
        , m_chunkShift(static_cast<unsigned>(std::countr_zero(std::bit_floor(
              layout.recordLength ? std::max<std::size_t>(1, kChunkBytes / layout.recordLength) : 1))))
        , m_rowsPerChunk(std::size_t{1} << m_chunkShift)
    {}

    const ListLayout& layout() const { return *m_layout; }

    void clear()
    {
        m_chunks.clear();
        m_count = 0;
    }
    // Appends a copy of one record of the list's length. False, with the list
    // unchanged, when memory for it runs out.
    [[nodiscard]] bool add(const void* record);
    // Room for the next row, to be filled where it lies and then counted by
    // commitRow(); its bytes are undefined until written. Saves the copy of a
    // record filled elsewhere. The room after it is asked from memory ahead,
    // since rows are filled one after another.
    std::byte* nextRow();
    void commitRow() { ++m_count; }
    // Drops the rows from `count` on, and the room kept for rows beyond them.
    void truncate(std::size_t count);
    std::size_t count() const { return m_count; }
    bool empty() const { return m_count == 0; }

    // Row i, 0-based.
    const std::byte* row(std::size_t i) const
    {
        assert(i < count());
        return locate(i);
    }
    std::byte* row(std::size_t i)
    {
        assert(i < count());
        return locate(i);
    }

    // Row i as the list's record struct (see the *Row structs).
    template <class Record>
    const Record& at(std::size_t i) const
    {
        assert(Record::layout().fields.data() == m_layout->fields.data());
        return *reinterpret_cast<const Record*>(row(i));
    }
    template <class Record>
    Record& at(std::size_t i)
    {
        assert(Record::layout().fields.data() == m_layout->fields.data());
        return *reinterpret_cast<Record*>(row(i));
    }

    // Stable sort of the rows (the loaders sort documents and route points).
    // The rows are sorted into a copy; false, with the rows as they were, when
    // memory for the copy runs out.
    [[nodiscard]] bool sortRows(const std::function<bool(const std::byte*, const std::byte*)>& less);

private:
    // Row i lies in chunk i / rows per chunk.
    std::byte* locate(std::size_t i) const
    {
        return m_chunks[i >> m_chunkShift].get() + (i & (m_rowsPerChunk - 1)) * m_layout->recordLength;
    }

    static constexpr std::size_t kChunkBytes = 16 * 1024;

    const ListLayout* m_layout;
    unsigned m_chunkShift;
    std::size_t m_rowsPerChunk;
    std::size_t m_count = 0;
    std::vector<std::unique_ptr<std::byte[]>> m_chunks;
};

// Tests: the list growths of the calling thread fail as when memory runs
// out (std::bad_alloc) once `chunks` more chunks have been taken; a negative
// count turns that off.
void failListGrowthAfter(long chunks);

// A list bound to its record struct: list[i] is the typed row.
template <class Record>
class TypedList : public ResponseList
{
public:
    TypedList()
        : ResponseList(Record::layout())
    {}
    // For record shapes shared by several lists (purposes, diseases, ...).
    explicit TypedList(const ListLayout& layout)
        : ResponseList(layout)
    {
        assert(Record::layout().fields.data() == layout.fields.data());
    }
    const Record& operator[](std::size_t i) const { return at<Record>(i); }
    Record& operator[](std::size_t i) { return at<Record>(i); }
};

} // namespace responses

// Record structs and layouts of the response lists are both expanded from one
// X-macro list per list: X(member, "NAME", Type, width, "!path").
#define ZANVO_RESPONSE_MEMBER(member, fname, ftype, fsize, fpath)                                            \
    ::store::FieldStorage<::store::FieldType::ftype, fsize>::type member;
#define ZANVO_RESPONSE_FIELD(Record, member, fname, ftype, fsize, fpath)                                     \
    ::responses::ResponseField{fname, ::store::FieldType::ftype, fsize,                                      \
                               static_cast<std::uint32_t>(offsetof(Record, member)), fpath},
