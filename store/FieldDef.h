// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

// The field dictionary: every table is described once, as data, by the list of
// its fields (exact names, types, widths, order) and its keys. The SQL schema,
// the record binding, the type descriptions of the CLI and of the type library
// are all derived from it.
namespace store {

// text(n): n bytes padded with blanks; ztext(n): zero-terminated in n bytes;
// the numbers are little-endian as in memory.
enum class FieldType : std::uint8_t
{
    Text,
    ZText,
    U8,
    I16,
    U16,
    I32,
    F64,
};

// The names of the types in the CLI and in the type descriptions.
constexpr std::string_view fieldTypeName(FieldType t)
{
    switch (t) {
    case FieldType::Text:
        return "text";
    case FieldType::ZText:
        return "ztext";
    case FieldType::U8:
        return "u8";
    case FieldType::I16:
        return "i16";
    case FieldType::U16:
        return "u16";
    case FieldType::I32:
        return "i32";
    case FieldType::F64:
        return "f64";
    }
    return "?";
}

constexpr bool isTextType(FieldType t)
{
    return t == FieldType::Text || t == FieldType::ZText;
}

struct FieldDef
{
    std::string_view name; // "MVD:UUID"
    FieldType type;
    std::uint16_t size;   // bytes in the record
    std::uint32_t offset; // byte offset in the record
};

constexpr std::size_t kMaxKeyComponents = 8;

struct KeyDef
{
    std::string_view name;  // "MVD:BYDATE2"
    std::string_view label; // shown to the user
    bool unique;
    bool primary;
    std::uint8_t componentCount;
    std::uint8_t components[kMaxKeyComponents]; // field indexes, 0-based

    constexpr std::span<const std::uint8_t> componentSpan() const { return {components, componentCount}; }
};

// Where a table's rows live.
enum class Storage : std::uint8_t
{
    File,          // one database file under Base/
    EncryptedFile, // one database file, every row sealed under the owner password
    ListFormat,    // the list-format file, whose path is set at start-up
    SharedMemory,  // in memory, one table for the whole process
    ThreadMemory,  // in memory, separate rows per thread
};

struct TableDef
{
    std::string_view name;     // "m_VSD"
    std::string_view prefix;   // "MVD"
    std::string_view fileName; // "Base/mv08.dat"; for memory tables the memory name
    Storage storage;
    std::uint32_t recordLength;
    std::span<const FieldDef> fields;
    std::span<const KeyDef> keys;
    // The fingerprints of every version of this dictionary, oldest first (see
    // DictionaryFingerprint.h); the last one is the dictionary as it is now.
    std::span<const std::uint64_t> layouts;

    // The version of the dictionary, recorded in the table's file: 1 for the
    // first layout, raised with every change of the fields or keys.
    constexpr std::uint32_t version() const { return static_cast<std::uint32_t>(layouts.size()); }

    // Field index by exact name; -1 when the table has no such field.
    constexpr int fieldIndex(std::string_view fieldName) const
    {
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i].name == fieldName)
                return static_cast<int>(i);
        return -1;
    }
    constexpr const KeyDef* key(std::string_view keyName) const
    {
        for (const KeyDef& k : keys)
            if (k.name == keyName)
                return &k;
        return nullptr;
    }
    constexpr const KeyDef* primaryKey() const
    {
        for (const KeyDef& k : keys)
            if (k.primary)
                return &k;
        return nullptr;
    }
};

// C++ storage of one field in a record struct.
template <FieldType T, std::size_t N>
struct FieldStorage;
template <std::size_t N>
struct FieldStorage<FieldType::Text, N>
{
    using type = char[N];
};
template <std::size_t N>
struct FieldStorage<FieldType::ZText, N>
{
    using type = char[N];
};
template <>
struct FieldStorage<FieldType::U8, 1>
{
    using type = std::uint8_t;
};
template <>
struct FieldStorage<FieldType::I16, 2>
{
    using type = std::int16_t;
};
template <>
struct FieldStorage<FieldType::U16, 2>
{
    using type = std::uint16_t;
};
template <>
struct FieldStorage<FieldType::I32, 4>
{
    using type = std::int32_t;
};
template <>
struct FieldStorage<FieldType::F64, 8>
{
    using type = double;
};

} // namespace store

// Record structs and field dictionaries are both expanded from one X-macro list
// per table: X(member, "PFX:NAME", Type, width). See store/tables/.
#define ZANVO_RECORD_MEMBER(member, fname, ftype, fsize)                                                     \
    ::store::FieldStorage<::store::FieldType::ftype, fsize>::type member;
#define ZANVO_FIELD_DEF(Record, member, fname, ftype, fsize)                                                 \
    ::store::FieldDef{fname, ::store::FieldType::ftype, fsize,                                               \
                      static_cast<std::uint32_t>(offsetof(Record, member))},
