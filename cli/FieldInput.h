// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <string>
#include <string_view>

// Values from the command line and from request files are stored exactly as
// given or not at all: a value the field cannot hold is refused with the
// reason, never cut, converted with losses or read as another value.
namespace cli {

// Why `utf8` cannot be stored in the field as given; empty when it can.
//  - texts: well-formed UTF-8 without zero characters, every character in
//    Windows-1251, and no longer than the field once converted (the bytes a
//    text field holds; one less for a zero-terminated one);
//  - numbers: a whole decimal number in the type's range (any finite number
//    for f64).
std::string refusalFor(const store::FieldDef& field, std::string_view utf8);

// Sets the field of `record` when refusalFor finds nothing wrong; otherwise
// leaves the record as it was, puts the reason into `why` and returns false.
[[nodiscard]] bool setFieldChecked(const store::FieldDef& field, char* record, std::string_view utf8,
                                   std::string& why);

} // namespace cli
