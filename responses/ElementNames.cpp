// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/ElementNames.h"

#include <string>

namespace responses {

// Any name, wherever it lies: a word at a time while whole words lie in the
// readable range, then byte by byte.
ElementNames::Key ElementNames::keyOfAny(const char* name) const
{
    std::uint32_t n = 0;
    if (const std::size_t room = roomAfter(name)) {
        for (;;) {
            if (n + 8 > room) {
                while (name[n])
                    ++n;
                break;
            }
            if (const std::uint64_t z = zeroBytes(load8(name + n))) {
                n += firstZero(z);
                break;
            }
            n += 8;
        }
    } else {
        while (name[n])
            ++n;
    }
    Key k{0, 0, 0, n};
    if (n >= 8) {
        k.head = load8(name);
        k.mid = n > 16 ? load8(name + 8) : 0;
        k.tail = load8(name + n - 8);
    } else {
        for (std::uint32_t i = 0; i < n; ++i)
            k.head |= static_cast<std::uint64_t>(static_cast<unsigned char>(name[i])) << (8 * i);
        k.tail = k.head;
    }
    return k;
}

std::uint32_t ElementNames::prefixLengthOf(const char* name, std::uint32_t length)
{
    const void* colon = std::memchr(name, ':', length);
    return colon ? static_cast<std::uint32_t>(static_cast<const char*>(colon) - name) : kNoPrefix;
}

// The name lower-cased with the canonical prefix of its namespace (the
// literal prefix when the namespace is not a VetIS one), looked up.
std::int32_t ElementNames::resolve(const char* name, std::uint32_t length, std::uint32_t prefixLength,
                                   int ns) const
{
    std::string canonical;
    const char* local = name;
    std::uint32_t localLength = length;
    if (ns >= 0) {
        canonical = canonicalPrefix(static_cast<VetisNamespace>(ns));
        canonical += ':';
        if (prefixLength != kNoPrefix) {
            local = name + prefixLength + 1;
            localLength = length - prefixLength - 1;
        }
    }
    for (std::uint32_t i = 0; i < localLength; ++i) {
        const char c = local[i];
        canonical += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return m_index.nameId(canonical);
}

bool ElementNames::matches(const Entry& e, const Key& k, const char* name) const
{
    return e.key.length == k.length && e.key.head == k.head && e.key.mid == k.mid && e.key.tail == k.tail &&
           (k.length <= 24 || std::memcmp(m_bytes.data() + e.bytesAt + 16, name + 16, k.length - 24) == 0);
}

std::int32_t ElementNames::idFromSlot(const Key& k, std::size_t slot, const char* name, NamespaceScope& scope)
{
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = slot;; i = (i + 1) & mask) {
        const std::int32_t e = m_slots[i];
        if (e < 0)
            return added(k, name, scope);
        Entry& entry = m_entries[static_cast<std::size_t>(e)];
        if (matches(entry, k, name))
            return idOf(entry, name, scope);
    }
}

std::int32_t ElementNames::idOf(Entry& e, const char* name, const NamespaceScope& scope)
{
    const int ns = namespaceOf(e, scope);
    std::int32_t& id = e.ids[static_cast<std::size_t>(ns + 1)];
    if (id == kUnresolved)
        id = resolve(name, e.key.length, e.prefixLength, ns);
    return id;
}

std::int32_t ElementNames::added(const Key& k, const char* name, NamespaceScope& scope)
{
    const std::uint32_t prefixLength = prefixLengthOf(name, k.length);
    if (m_entries.size() >= kMaxEntries) {
        const int ns = scope.resolve(prefixLength == kNoPrefix ? std::string_view()
                                                               : std::string_view(name, prefixLength));
        return resolve(name, k.length, prefixLength, ns);
    }
    if (2 * (m_entries.size() + 1) > m_slots.size())
        grow();
    Entry e{};
    e.key = k;
    e.bytesAt = static_cast<std::uint32_t>(m_bytes.size());
    m_bytes.insert(m_bytes.end(), name, name + k.length);
    e.prefixLength = prefixLength;
    e.prefixId = prefixLength == kNoPrefix ? -1 : scope.prefixId(std::string_view(name, prefixLength));
    e.ids.fill(kUnresolved);
    const auto index = static_cast<std::int32_t>(m_entries.size());
    m_entries.push_back(e);
    const std::size_t mask = m_slots.size() - 1;
    std::size_t i = slotOf(k, mask);
    while (m_slots[i] >= 0)
        i = (i + 1) & mask;
    m_slots[i] = index;
    return idOf(m_entries.back(), name, scope);
}

void ElementNames::grow()
{
    std::vector<std::int32_t> slots(m_slots.size() * 2, -1);
    const std::size_t mask = slots.size() - 1;
    for (std::size_t e = 0; e < m_entries.size(); ++e) {
        std::size_t i = slotOf(m_entries[e].key, mask);
        while (slots[i] >= 0)
            i = (i + 1) & mask;
        slots[i] = static_cast<std::int32_t>(e);
    }
    m_slots.swap(slots);
}

} // namespace responses
