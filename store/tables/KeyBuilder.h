// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <cstdlib>
#include <initializer_list>

// Keys are written with the names of their fields; the indexes are looked up at
// compile time, so a misspelt or missing component stops the build instead of
// silently indexing the wrong field.
namespace store::tables {

namespace detail {
// Deliberately not constexpr: reaching it during constant evaluation is a
// compile error that points at the faulty key.
[[noreturn]] inline void keyComponentNotFound()
{
    std::abort();
}
} // namespace detail

constexpr std::uint8_t fieldIdx(std::span<const FieldDef> fields, std::string_view name)
{
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == name)
            return static_cast<std::uint8_t>(i);
    detail::keyComponentNotFound();
}

enum class KeyKind : std::uint8_t
{
    Primary,    // unique and the table's primary key
    Unique,     // unique
    Duplicates, // duplicate values allowed
};

constexpr KeyDef makeKey(std::span<const FieldDef> fields, std::string_view name, std::string_view label,
                         KeyKind kind, std::initializer_list<std::string_view> components)
{
    KeyDef k{name, label, kind != KeyKind::Duplicates, kind == KeyKind::Primary, 0, {}};
    if (components.size() == 0 || components.size() > kMaxKeyComponents)
        detail::keyComponentNotFound();
    for (std::string_view c : components)
        k.components[k.componentCount++] = fieldIdx(fields, c);
    return k;
}

} // namespace store::tables
