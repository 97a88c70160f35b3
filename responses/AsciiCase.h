// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <string>
#include <string_view>

// Element names and paths are compared without regard to the case of their
// ASCII letters; other bytes stay as they are.
namespace responses {

constexpr char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline std::string lowered(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

} // namespace responses
