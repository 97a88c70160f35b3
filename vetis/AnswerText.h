// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The checks an answer's text passes before it is parsed: its encoding (as
// the byte order mark or the XML declaration gives it), valid UTF-8, and no
// entity references but the five of XML and character references. The XML
// parser would let each of these through: an unknown entity stays in the
// data as "&e;", invalid UTF-8 blanks a field later, and a declared
// Windows-1251 answer blanks every Cyrillic text. Answers in Windows-1251 and
// UTF-16 are converted to UTF-8 first.
namespace vetis {

enum class AnswerEncoding
{
    Utf8,        // declared, or by default
    Windows1251, // declared "windows-1251" or "cp1251"
    Utf16Le,     // by byte order mark, or the zero bytes of its "<?"
    Utf16Be,
};

// What the text check found; description is empty when the text passed.
struct TextCheck
{
    AnswerEncoding encoding = AnswerEncoding::Utf8;
    std::size_t bomLength = 0; // bytes of a byte order mark at the start
    std::string description;   // UTF-8, Russian: what was wrong
    bool documentType = false; // what was wrong lies after a document type declaration
    bool ok() const { return description.empty(); }
};

// The encoding of an answer: a byte order mark, or the encoding of its XML
// declaration (any case); UTF-8 without either. Refused (with a description
// naming it): UTF-32, and any declared encoding but UTF-8, US-ASCII,
// windows-1251 and cp1251.
TextCheck detectEncoding(std::string_view answer);

// UTF-16 bytes (after the byte order mark) as UTF-8; false, with the byte
// offset of the fault, for an unpaired surrogate or an odd byte count.
bool utf16ToUtf8(std::string_view bytes, bool bigEndian, std::string& out, std::size_t& faultAt);

// Checks UTF-8 text: every byte sequence well-formed UTF-8 (no overlong
// forms, surrogates or code points past U+10FFFF), every "&" outside
// comments, CDATA sections and processing instructions the start of &lt;
// &gt; &amp; &quot; &apos; or of a character reference to a character XML
// allows. UTF-8 is checked sixteen bytes at a time where they are plain
// ASCII; then each "&" is looked at, and its context only when the reference
// after it is not one of those. A refused reference after a
// document type declaration (its internal subset declares entities) is told
// as such (documentType).
TextCheck checkUtf8Text(std::string_view text);

// The offset of the first byte that is not part of well-formed UTF-8;
// text.size() when there is none.
std::size_t firstInvalidUtf8(std::string_view text);

} // namespace vetis
