// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/ResponseList.h"
#include "vetis/RequestCodes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace store {
struct RefsRecord;
struct TableDef;
} // namespace store

// The Mercury dictionary kinds (MRE:VID) the program fetches from the service:
// how each is asked for, which response list it comes in, how a list row maps
// into m_Refs, and what the user is told. Shared by the refresh of a whole
// kind and the lookup of one entry by GUID.
namespace responses {

// What the request's P1 carries.
enum class Param
{
    None,
    Parent,      // the parent entry's GUID
    ProductType, // the number in characters 4-5 of the parent's code ("11-05" -> 5)
};

// One m_Refs field filled from one list field.
struct Mapping
{
    std::string_view refsField; // "MRE:STR120_01"
    std::string_view listField; // "NAME"
};

struct DictionaryKind
{
    int kind;
    vetis::RequestCode request;
    std::string_view list; // the response list's kind (ListCatalogue)
    Param param;
    const char* success;
    const char* failure;
    // MRE:NAME: the first field, or the second when the first is empty.
    std::string_view name;
    std::string_view nameElse;
    std::array<Mapping, 5> fields;
};

// The kind of that number; null for the built-in kinds (11, 14), 15 and
// anything else.
const DictionaryKind* dictionaryKind(int kind);

// A list field's value as the list keeps it (Windows-1251 text, numbers in
// decimal); empty when the list has no such field.
std::string listValue(const ListLayout& layout, const std::byte* row, std::string_view field);
// The day number of a service time stamp (its first ten characters, yyyy-mm-dd).
std::int32_t dayOfStamp(const std::string& stamp);
// The time number of a service time stamp (characters 12-19, hh:mm:ss); 0 when there is none.
std::int32_t timeOfStamp(const std::string& stamp);
// Writes a Windows-1251 text (or a number's decimal text) into the field of
// that name of a record of the table; a number that does not fit leaves 0.
void putTableField(const store::TableDef& def, char* record, std::string_view name, std::string_view value);
// The same for m_Refs.
void putRefsField(std::string_view name, store::RefsRecord& r, std::string_view value);
// Maps a list row into an m_Refs record: everything but kind, parent and GUID.
void mapDictionaryRow(const DictionaryKind& k, const ListLayout& layout, const std::byte* row,
                      store::RefsRecord& r);
// "11-" and the row's product type as two digits: the parent of a product.
std::string productTypeParent(const ListLayout& layout, const std::byte* row);

} // namespace responses
