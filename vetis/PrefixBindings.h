// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// The namespace bindings in scope while a document is walked in document
// order, for any number of declarations at the same cost per element: every
// prefix gets a number once, the value bound to it now is kept per number,
// and a declaration remembers the value it hides, which leaving its element
// puts back. Nothing is ever searched through the declarations in scope.
//
// Value is what a binding stands for (a URI, a canonical namespace number).
namespace vetis {

template <class Value>
class PrefixBindings
{
public:
    explicit PrefixBindings(Value unbound)
        : m_unbound(unbound)
    {}

    // Drops the declarations of elements at `depth` and below (call it
    // before the declarations of an element at that depth).
    void leave(std::uint32_t depth)
    {
        while (!m_declared.empty() && m_declared.back().depth >= depth) {
            const Declared& d = m_declared.back();
            m_bound[static_cast<std::size_t>(d.id)] = d.hidden;
            m_declared.pop_back();
        }
    }
    // Binds the prefix (copied) on an element at `depth`.
    void declare(std::string_view prefix, Value value, std::uint32_t depth)
    {
        const std::int32_t id = number(prefix);
        Value& bound = m_bound[static_cast<std::size_t>(id)];
        m_declared.push_back({id, bound, depth});
        bound = value;
    }

    // The number of a prefix, given it on first sight.
    std::int32_t number(std::string_view prefix)
    {
        const std::uint64_t h = hashOf(prefix);
        std::size_t slot = static_cast<std::size_t>(h) & (m_slots.size() - 1);
        for (;; slot = (slot + 1) & (m_slots.size() - 1)) {
            const Slot& s = m_slots[slot];
            if (s.id < 0)
                break;
            if (s.tag == tagOf(h) && m_prefixes[static_cast<std::size_t>(s.id)] == prefix)
                return s.id;
        }
        const auto id = static_cast<std::int32_t>(m_prefixes.size());
        m_prefixes.emplace_back(prefix);
        m_bound.push_back(m_unbound);
        m_slots[slot] = {tagOf(h), id};
        if (2 * m_prefixes.size() > m_slots.size())
            grow();
        return id;
    }
    // The number of a prefix seen before; -1 for one never declared nor numbered.
    std::int32_t find(std::string_view prefix) const
    {
        const std::uint64_t h = hashOf(prefix);
        for (std::size_t slot = static_cast<std::size_t>(h) & (m_slots.size() - 1);;
             slot = (slot + 1) & (m_slots.size() - 1)) {
            const Slot& s = m_slots[slot];
            if (s.id < 0)
                return -1;
            if (s.tag == tagOf(h) && m_prefixes[static_cast<std::size_t>(s.id)] == prefix)
                return s.id;
        }
    }

    Value bound(std::int32_t id) const { return m_bound[static_cast<std::size_t>(id)]; }
    Value resolve(std::string_view prefix) const
    {
        const std::int32_t id = find(prefix);
        return id < 0 ? m_unbound : m_bound[static_cast<std::size_t>(id)];
    }

private:
    struct Declared
    {
        std::int32_t id;
        Value hidden;
        std::uint32_t depth;
    };

    // FNV-1a, its bits mixed at the end, so that the low bits of the slot
    // depend on every byte of the prefix.
    static std::uint64_t hashOf(std::string_view s)
    {
        std::uint64_t h = 0xCBF29CE484222325ull;
        for (const char c : s)
            h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
        h ^= h >> 33;
        h *= 0xFF51AFD7ED558CCDull;
        h ^= h >> 33;
        return h;
    }
    // The hash's high half, kept in the slot: a probe past another prefix
    // rarely needs to look at that prefix.
    static std::uint32_t tagOf(std::uint64_t h) { return static_cast<std::uint32_t>(h >> 32); }
    void grow()
    {
        std::vector<Slot> slots(m_slots.size() * 2);
        for (const Slot& s : m_slots) {
            if (s.id < 0)
                continue;
            const std::uint64_t h = hashOf(m_prefixes[static_cast<std::size_t>(s.id)]);
            std::size_t slot = static_cast<std::size_t>(h) & (slots.size() - 1);
            while (slots[slot].id >= 0)
                slot = (slot + 1) & (slots.size() - 1);
            slots[slot] = s;
        }
        m_slots.swap(slots);
    }

    struct Slot
    {
        std::uint32_t tag = 0;
        std::int32_t id = -1; // -1: free
    };

    Value m_unbound;
    std::vector<std::string> m_prefixes;               // by number
    std::vector<Value> m_bound;                        // by number: the value bound now
    std::vector<Slot> m_slots = std::vector<Slot>(64); // open addressing, at most half full
    std::vector<Declared> m_declared;
};

} // namespace vetis
