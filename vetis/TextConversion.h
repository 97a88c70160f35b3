// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "platform/CodePage.h"

#include <string>
#include <string_view>

// The conversions between the Windows-1251 texts of the records and the UTF-8
// of the VetIS services, and the two ways a record value enters an envelope:
// escaped (EscapeXml) or as it stands (XmlValueAsIs).
namespace vetis {

// True when the text, without leading and trailing blanks, is a decimal number:
// an optional sign, digits with at most one decimal point, at least one digit.
bool isNumberText(std::string_view text);

// Windows-1251 -> UTF-8. A blank text gives the empty text; a number is returned
// without its trailing blanks; any other text is converted whole.
std::string ToUtf8(std::string_view cp1251);

// UTF-8 -> Windows-1251. An empty text or a single zero byte gives the empty
// text; trailing zero bytes are dropped. Ill-formed parts of the text and
// characters the code page lacks become '?', the rest is converted; `loss`,
// when given, tells how many of each there were.
std::string FromUtf8(std::string_view utf8, platform::ConversionLoss* loss = nullptr);

// A record text made ready for an envelope (result in UTF-8). A text that is
// blank or a number once trimmed is returned trimmed and untouched. Otherwise
// the clipped text (leading blanks kept) has the control characters other than
// CR and LF replaced by a blank and the five XML special characters replaced by
// their entities, and is converted to UTF-8.
std::string EscapeXml(std::string_view cp1251);

// A value the envelope carries as it stands (GUIDs, keys, logins, codes, dates):
// clipped of trailing blanks and otherwise unchanged when it is plain, safe
// ASCII, so well-formed values are byte-identical. A value that would break the
// envelope (special characters, control characters) is escaped like EscapeXml
// does, and one with non-ASCII letters is converted to UTF-8.
std::string XmlValueAsIs(std::string_view cp1251);

} // namespace vetis
