// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <string>
#include <string_view>

// One field of a record read or written as UTF-8 text, through the field
// dictionary: the command-line tool and the type descriptions use it where a
// field is named at run time.
namespace store {

// The blank record: texts blank, zero-terminated texts zero, numbers 0.
void clearRecordOf(const TableDef& table, char* record);

// Texts clipped and converted from Windows-1251; numbers in decimal (reals as
// plainDecimal writes them).
std::string fieldAsUtf8(const FieldDef& field, const char* record);

// A real as plain decimal digits, without an exponent, with as many decimals
// as it takes to read back the same number and no trailing zeros (100000,
// 0.1, 12.5, -3); "nan", "inf", "-inf" for what is no number.
std::string plainDecimal(double value);

// Sets the field from UTF-8 text: texts are converted to Windows-1251 and cut
// to the field; numbers must be a whole decimal number in the type's range (a
// real for f64). False, with the field unchanged, when the text does not fit
// the type.
[[nodiscard]] bool setFieldFromUtf8(const FieldDef& field, char* record, std::string_view utf8);

} // namespace store
