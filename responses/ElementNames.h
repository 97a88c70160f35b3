// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/Namespaces.h"
#include "responses/PathIndex.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

// The name ids (PathIndex) of the elements of one answer. An answer of a
// thousand VSDs has hundreds of thousands of elements but only a few hundred
// distinct names, so each name as written is resolved once (its prefix through
// the namespace declarations in scope, the canonical prefix put in its place,
// lower-cased, looked up in the index) and remembered; later elements of the
// same name cost one pass over the name and a table probe. A name keeps the
// number of its prefix in the scope, so finding the namespace its prefix is
// bound to now is one read whatever declarations come and go; unprefixed
// names take the default namespace in scope.
namespace responses {

class ElementNames
{
public:
    explicit ElementNames(const PathIndex& index)
        : m_index(index)
    {}

    // Names that lie inside [begin, end) are read 8 bytes at a time (bytes
    // after a name's terminator inside the range may be read, never beyond).
    void setReadableRange(const char* begin, const char* end)
    {
        m_begin = begin;
        m_end = end;
    }

    // The id of an element named `name` (as written, zero-terminated) with
    // the given declarations in scope; PathIndex::kNone when the name occurs
    // in no path.
    std::int32_t id(const char* name, NamespaceScope& scope)
    {
        // The usual case inline: a name seen before, in its first slot, of at
        // most 24 bytes, resolved before in the namespace its prefix has now.
        const Key k = keyOf(name);
        const std::size_t slot = slotOf(k, m_slots.size() - 1);
        if (const std::int32_t e = m_slots[slot]; e >= 0) {
            const Entry& entry = m_entries[static_cast<std::size_t>(e)];
            if (entry.key.length == k.length && entry.key.head == k.head && entry.key.mid == k.mid &&
                entry.key.tail == k.tail && k.length <= 24) {
                const int ns = namespaceOf(entry, scope);
                const std::int32_t id = entry.ids[static_cast<std::size_t>(ns + 1)];
                if (id != kUnresolved)
                    return id;
            }
        }
        return idFromSlot(k, slot, name, scope);
    }

private:
    static constexpr std::int32_t kUnresolved = -2;
    static constexpr std::uint32_t kNoPrefix = 0xFFFFFFFFu;
    // Beyond this many distinct names (a hostile answer) names are resolved
    // every time instead of growing the cache.
    static constexpr std::size_t kMaxEntries = 1u << 14; // slots stay below 2^24

    // Length, first, second and last 8 bytes: the whole name up to 24 bytes.
    struct Key
    {
        std::uint64_t head; // the name zero-extended when shorter than 8 bytes
        std::uint64_t mid;  // bytes 8..15 of names longer than 16 bytes, else 0
        std::uint64_t tail; // the last 8 bytes (head for shorter names)
        std::uint32_t length;
    };
    struct Entry
    {
        Key key;
        std::uint32_t bytesAt;      // the whole name in m_bytes
        std::uint32_t prefixLength; // bytes before the first colon; kNoPrefix when none
        std::int32_t prefixId;      // NamespaceScope::prefixId of the prefix; -1 when none
        // Id per namespace of the prefix (index ns + 1); kUnresolved until needed.
        std::array<std::int32_t, kNamespaceCount + 1> ids;
    };

    static std::uint64_t load8(const char* p)
    {
        static_assert(std::endian::native == std::endian::little, "names are scanned a word at a time");
        std::uint64_t w;
        std::memcpy(&w, p, sizeof w);
        return w;
    }
    // Bit 7 of the lowest zero byte of w set (bits above it may be set as well).
    static std::uint64_t zeroBytes(std::uint64_t w)
    {
        return (w - 0x0101010101010101ull) & ~w & 0x8080808080808080ull;
    }
    static std::uint32_t firstZero(std::uint64_t zeros)
    {
        return static_cast<std::uint32_t>(std::countr_zero(zeros)) >> 3;
    }

    Key keyOf(const char* name) const
    {
        // Names of up to 23 bytes well inside the range: three words at most.
        if (roomAfter(name) >= 24) {
            const std::uint64_t w0 = load8(name);
            if (const std::uint64_t z = zeroBytes(w0)) {
                const std::uint32_t n = firstZero(z);
                const std::uint64_t head = n ? w0 & (~std::uint64_t{0} >> (64 - 8 * n)) : 0;
                return {head, 0, head, n};
            }
            const std::uint64_t w1 = load8(name + 8);
            if (const std::uint64_t z = zeroBytes(w1)) {
                const std::uint32_t n = 8 + firstZero(z);
                return {w0, 0, load8(name + n - 8), n};
            }
            if (const std::uint64_t z = zeroBytes(load8(name + 16))) {
                const std::uint32_t n = 16 + firstZero(z);
                return {w0, n > 16 ? w1 : 0, load8(name + n - 8), n};
            }
        }
        return keyOfAny(name);
    }
    Key keyOfAny(const char* name) const;
    // Bytes of the readable range from p on; 0 when p lies outside it.
    std::size_t roomAfter(const char* p) const
    {
        const auto at = reinterpret_cast<std::uintptr_t>(p);
        const auto begin = reinterpret_cast<std::uintptr_t>(m_begin);
        const auto end = reinterpret_cast<std::uintptr_t>(m_end);
        return at >= begin && at < end ? end - at : 0;
    }
    // The high bits of a product depend on every bit of the name's words
    // (names share their first bytes, the prefix, often).
    static std::size_t slotOf(const Key& k, std::size_t mask)
    {
        const std::uint64_t h =
            (k.head ^ std::rotl(k.tail, 29) ^ std::rotl(k.mid, 43) ^ k.length) * 0x9E3779B97F4A7C15ull;
        return static_cast<std::size_t>(h >> 40) & mask;
    }
    static int namespaceOf(const Entry& e, const NamespaceScope& scope)
    {
        return e.prefixId < 0 ? scope.defaultNamespace() : scope.boundNamespace(e.prefixId);
    }
    std::int32_t idFromSlot(const Key& k, std::size_t slot, const char* name, NamespaceScope& scope);
    bool matches(const Entry& e, const Key& k, const char* name) const;
    std::int32_t idOf(Entry& e, const char* name, const NamespaceScope& scope);
    std::int32_t added(const Key& k, const char* name, NamespaceScope& scope);
    std::int32_t resolve(const char* name, std::uint32_t length, std::uint32_t prefixLength, int ns) const;
    static std::uint32_t prefixLengthOf(const char* name, std::uint32_t length);
    void grow();

    const PathIndex& m_index;
    const char* m_begin = nullptr;
    const char* m_end = nullptr;
    std::vector<Entry> m_entries;
    std::vector<char> m_bytes;
    std::vector<std::int32_t> m_slots = std::vector<std::int32_t>(512, -1); // entry index, -1 free
};

} // namespace responses
