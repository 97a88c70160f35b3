// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstddef>

// The one reading of UTF-8 well-formedness in the program (RFC 3629: no
// overlong forms, no surrogates, nothing past U+10FFFF), shared by the code
// page conversions and the checks of the services' answers.
namespace platform {

// How many bytes the UTF-8 sequence at the start of `in` takes, and whether it
// is well formed. An ill-formed one covers its maximal part that could still
// have begun a character (at least one byte), so that a sequence cut short
// counts once, not once per byte. `available` must be at least 1.
struct Utf8Step
{
    std::size_t length;
    bool valid;
};

inline Utf8Step utf8Step(const char* in, std::size_t available)
{
    const auto byte = [in](std::size_t i) { return static_cast<unsigned char>(in[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return {1, true};
    std::size_t length = 0;
    unsigned char low = 0x80; // the range of the second byte
    unsigned char high = 0xBF;
    if (lead < 0xC2) {
        return {1, false}; // a continuation byte, or an overlong two-byte form
    } else if (lead < 0xE0) {
        length = 2;
    } else if (lead < 0xF0) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // overlong below U+0800
        else if (lead == 0xED)
            high = 0x9F; // surrogates U+D800..U+DFFF
    } else if (lead < 0xF5) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90; // overlong below U+10000
        else if (lead == 0xF4)
            high = 0x8F; // past U+10FFFF
    } else {
        return {1, false};
    }
    if (available < 2 || byte(1) < low || byte(1) > high)
        return {1, false};
    for (std::size_t i = 2; i < length; ++i)
        if (i >= available || (byte(i) & 0xC0) != 0x80)
            return {i, false};
    return {length, true};
}

} // namespace platform
