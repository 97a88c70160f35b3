// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The field list a table file was written with, as the file records it beside
// its version: a later program needs it to carry the rows over to its own
// dictionary (the sealed settings keep whole record images, so their old field
// positions must be known). Private to the store.
//
// The text is one line "record LENGTH", then one line per field:
// NAME <tab> TYPE <tab> WIDTH <tab> OFFSET.
namespace store::layout {

struct StoredField
{
    std::string name;
    FieldType type = FieldType::Text;
    std::uint16_t size = 0;
    std::uint32_t offset = 0;
};

struct StoredLayout
{
    std::uint32_t recordLength = 0;
    std::vector<StoredField> fields;

    const StoredField* field(std::string_view name) const;
};

std::string layoutText(const TableDef& def);

// The layout read back from a file, which is checked like any outside input:
// known types, widths that fit their type, fields inside the record and apart
// from each other, names given once. False with `why` set otherwise.
[[nodiscard]] bool parseLayout(std::string_view text, StoredLayout& out, std::string& why);

} // namespace store::layout
