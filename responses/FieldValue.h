// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/ResponseList.h"

#include <cstddef>
#include <string>
#include <string_view>

// Moving element texts of an answer into response-list fields, and reading
// them back.
namespace responses {

// UTF-8 text of an answer in the program's code page (Windows-1251), with
// trailing zero characters removed; an empty text or a single zero character
// gives an empty result.
std::string ConvertText(std::string_view utf8);

// Assigns an element text to a field: "true" / "false" (any case) become 1 / 0
// in every field type; text fields of width 36 (GUIDs, UUIDs) take the text
// unchanged, other text fields the converted text, both cut to the field's
// capacity; numeric fields take the number the text begins with (0 when none,
// limited to the field's range).
void assignFieldValue(std::byte* record, const ResponseField& field, std::string_view utf8);

// The same for a zero-terminated text (the text is the bytes before the
// zero). When readableEnd is given, every byte from text up to it may be read
// (also past the zero), which lets long texts be read 8 bytes at a time.
// fieldIsBlank tells that the field holds its cleared value (clearRecord), so
// that the bytes after the text need not be written again.
void assignFieldText(std::byte* record, const ResponseField& field, const char* text,
                     const char* readableEnd = nullptr, bool fieldIsBlank = false);

// The number a text begins with (leading blanks skipped), 0 when none.
double leadingNumber(std::string_view text);

// A field's text without its padding (Windows-1251), or a number as decimal
// digits (numbers of f64 fields in their shortest form).
std::string fieldText(const std::byte* record, const ResponseField& field);
// A numeric field's value; 0 for text fields.
double fieldNumber(const std::byte* record, const ResponseField& field);

} // namespace responses
