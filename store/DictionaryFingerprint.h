// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <cstdint>
#include <span>
#include <string_view>

// The fingerprint of a field dictionary: a 64-bit FNV-1a digest of the table's
// name, whether it is sealed, every field's name, type, width and offset and
// every key's name, uniqueness and components, in order. Every table file
// records the fingerprint of the dictionary it was written with (files made
// before versions existed carry nothing else), so the digest must never
// change for a given dictionary.
//
// Each table keeps the fingerprints of all its versions beside its dictionary
// (TableDef::layouts). The build checks that the last one is the dictionary's
// own: a change of the fields or keys stops the build until the new
// fingerprint is appended, which raises the version.
namespace store {

namespace fingerprint_detail {

struct Fnv
{
    std::uint64_t h = 1469598103934665603ull;

    constexpr void add(std::string_view s)
    {
        for (char c : s) {
            h ^= static_cast<unsigned char>(c);
            h *= 1099511628211ull;
        }
        h ^= 0xFF; // separator
        h *= 1099511628211ull;
    }
    // Numbers enter as their decimal digits.
    constexpr void add(std::uint64_t v)
    {
        char digits[20] = {};
        std::size_t n = 0;
        do {
            digits[n++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v != 0);
        char text[20] = {};
        for (std::size_t i = 0; i < n; ++i)
            text[i] = digits[n - 1 - i];
        add(std::string_view(text, n));
    }
};

} // namespace fingerprint_detail

constexpr std::uint64_t dictionaryFingerprint(std::string_view tableName, Storage storage,
                                              std::span<const FieldDef> fields, std::span<const KeyDef> keys)
{
    fingerprint_detail::Fnv f;
    f.add(tableName);
    f.add(static_cast<std::uint64_t>(storage == Storage::EncryptedFile));
    for (const FieldDef& field : fields) {
        f.add(field.name);
        f.add(static_cast<std::uint64_t>(field.type));
        f.add(static_cast<std::uint64_t>(field.size));
        f.add(static_cast<std::uint64_t>(field.offset));
    }
    for (const KeyDef& key : keys) {
        f.add(key.name);
        f.add(static_cast<std::uint64_t>(key.unique));
        for (std::uint8_t c : key.componentSpan())
            f.add(static_cast<std::uint64_t>(c));
    }
    return f.h;
}

constexpr std::uint64_t dictionaryFingerprint(const TableDef& def)
{
    return dictionaryFingerprint(def.name, def.storage, def.fields, def.keys);
}

// The build's check of a table's versions, written beside each dictionary:
//     static_assert(layoutIsRecorded<dictionaryFingerprint(def), kLayouts[std::size(kLayouts) - 1]>());
// When it fails, the compiler names the fingerprint the dictionary has now
// (Actual): append it to the table's kLayouts.
template <std::uint64_t Actual, std::uint64_t Recorded>
constexpr bool layoutIsRecorded()
{
    static_assert(Actual == Recorded,
                  "The fields or keys of this table changed: append the fingerprint named "
                  "'Actual' here to the table's kLayouts; that raises its version, and "
                  "files of the older version are upgraded when they are opened.");
    return true;
}

// No two versions of a dictionary are the same.
constexpr bool layoutsAreDistinct(std::span<const std::uint64_t> layouts)
{
    for (std::size_t i = 0; i < layouts.size(); ++i)
        for (std::size_t j = i + 1; j < layouts.size(); ++j)
            if (layouts[i] == layouts[j])
                return false;
    return !layouts.empty();
}

} // namespace store
