// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// Reading and writing the two text types of records. text(n) is n bytes padded
// with blanks; ztext(n) is zero-terminated and holds at most n - 1 bytes. Values
// longer than the field are cut to its capacity. Texts are Windows-1251 bytes.
namespace store {

// A number read from or written to its place in a record, which need not be
// aligned for the number's type.
template <typename T>
inline T loadNumber(const char* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T>
inline void storeNumber(char* p, T v)
{
    std::memcpy(p, &v, sizeof v);
}

// The value without trailing blanks ("clipped").
inline std::string_view clip(std::string_view s)
{
    std::size_t n = s.size();
    while (n > 0 && (s[n - 1] == ' ' || s[n - 1] == '\0'))
        --n;
    return s.substr(0, n);
}

// The value without leading blanks (numbers written right-aligned, names
// that sort first).
inline std::string_view withoutLeadingBlanks(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    return s;
}

template <std::size_t N>
inline void setText(char (&field)[N], std::string_view value)
{
    const std::size_t n = std::min(N, value.size());
    if (n > 0) // an empty view may have no data pointer at all
        std::memcpy(field, value.data(), n);
    std::memset(field + n, ' ', N - n);
}

template <std::size_t N>
inline void setZText(char (&field)[N], std::string_view value)
{
    const std::size_t n = std::min(N - 1, value.size());
    if (n > 0)
        std::memcpy(field, value.data(), n);
    std::memset(field + n, 0, N - n);
}

// text(n) field without its padding.
template <std::size_t N>
inline std::string_view textOf(const char (&field)[N])
{
    return clip(std::string_view(field, N));
}

// ztext(n) field up to its terminating zero (or the whole field when none).
template <std::size_t N>
inline std::string_view ztextOf(const char (&field)[N])
{
    const void* z = std::memchr(field, 0, N);
    return std::string_view(field, z ? static_cast<const char*>(z) - field : N);
}

// True when the clipped text is empty.
inline bool isBlank(std::string_view s)
{
    return clip(s).find_first_not_of(' ') == std::string_view::npos;
}

} // namespace store
