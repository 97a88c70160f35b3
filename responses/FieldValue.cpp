// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/FieldValue.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace responses {

namespace {

bool equalsNoCase(std::string_view text, std::string_view lowerWord)
{
    if (text.size() != lowerWord.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != lowerWord[i])
            return false;
    }
    return true;
}

bool isAscii(std::string_view s)
{
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

std::string_view withoutTrailingZeros(std::string_view s)
{
    while (!s.empty() && s.back() == '\0')
        s.remove_suffix(1);
    return s;
}

// Writes UTF-8 text converted to Windows-1251 straight into a field of n
// bytes, for the letters answers are made of (ASCII and the Russian
// alphabet); false, with nothing promised about the field, on anything else.
bool writeConvertedFast(char* dst, std::size_t capacity, std::string_view utf8, std::size_t& written)
{
    // The whole text is checked even when only its beginning fits, so that a
    // text the fast path cannot convert always takes the general one.
    std::size_t n = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const auto* end = p + utf8.size();
    while (p < end) {
        const unsigned char c = *p;
        char out;
        if (c < 0x80) {
            out = static_cast<char>(c);
            ++p;
        } else {
            if (end - p < 2)
                return false;
            const unsigned char c2 = p[1];
            if (c == 0xD0 && c2 >= 0x90 && c2 <= 0xBF)
                out = static_cast<char>(c2 + 0x30); // А..п
            else if (c == 0xD1 && c2 >= 0x80 && c2 <= 0x8F)
                out = static_cast<char>(c2 + 0x70); // р..я
            else if (c == 0xD0 && c2 == 0x81)
                out = static_cast<char>(0xA8); // Ё
            else if (c == 0xD1 && c2 == 0x91)
                out = static_cast<char>(0xB8); // ё
            else
                return false;
            p += 2;
        }
        if (n < capacity)
            dst[n++] = out;
    }
    // Trailing zero characters are not part of the text.
    while (n > 0 && dst[n - 1] == '\0')
        --n;
    written = n;
    return true;
}

void writeText(std::byte* at, const ResponseField& f, std::string_view value)
{
    char* dst = reinterpret_cast<char*>(at);
    if (f.type == store::FieldType::Text) {
        const std::size_t n = std::min<std::size_t>(f.size, value.size());
        std::memcpy(dst, value.data(), n);
        std::memset(dst + n, ' ', f.size - n);
    } else {
        const std::size_t capacity = f.size > 0 ? f.size - 1u : 0u;
        const std::size_t n = std::min(capacity, value.size());
        std::memcpy(dst, value.data(), n);
        std::memset(dst + n, 0, f.size - n);
    }
}

void writeConverted(std::byte* at, const ResponseField& f, std::string_view utf8)
{
    char* dst = reinterpret_cast<char*>(at);
    const std::size_t capacity = f.type == store::FieldType::Text ? f.size : (f.size > 0 ? f.size - 1u : 0u);
    std::size_t n = 0;
    if (writeConvertedFast(dst, capacity, utf8, n))
        std::memset(dst + n, f.type == store::FieldType::Text ? ' ' : 0, f.size - n);
    else
        writeText(at, f, ConvertText(utf8));
}

template <class T>
void storeInteger(std::byte* at, double value)
{
    // Out-of-range values are limited to the type's range rather than wrapped.
    T v;
    if (std::isnan(value))
        v = 0;
    else if (value <= static_cast<double>(std::numeric_limits<T>::min()))
        v = std::numeric_limits<T>::min();
    else if (value >= static_cast<double>(std::numeric_limits<T>::max()))
        v = std::numeric_limits<T>::max();
    else
        v = static_cast<T>(std::trunc(value));
    std::memcpy(at, &v, sizeof v);
}

void writeNumber(std::byte* at, const ResponseField& f, double value)
{
    switch (f.type) {
    case store::FieldType::U8:
        storeInteger<std::uint8_t>(at, value);
        break;
    case store::FieldType::I16:
        storeInteger<std::int16_t>(at, value);
        break;
    case store::FieldType::U16:
        storeInteger<std::uint16_t>(at, value);
        break;
    case store::FieldType::I32:
        storeInteger<std::int32_t>(at, value);
        break;
    case store::FieldType::F64:
        std::memcpy(at, &value, sizeof value);
        break;
    case store::FieldType::Text:
    case store::FieldType::ZText:
        break;
    }
}

template <class T>
double loadNumber(const std::byte* at)
{
    T v;
    std::memcpy(&v, at, sizeof v);
    return static_cast<double>(v);
}

} // namespace

std::string ConvertText(std::string_view utf8)
{
    utf8 = withoutTrailingZeros(utf8);
    if (utf8.empty())
        return {};
    if (isAscii(utf8))
        return std::string(utf8);
    return std::string(withoutTrailingZeros(platform::utf8ToCp1251(utf8)));
}

double leadingNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Only plain decimal notation counts: digits, an optional fraction and exponent.
    const std::size_t digitsStart = i;
    std::size_t j = i;
    while (j < text.size() && text[j] >= '0' && text[j] <= '9')
        ++j;
    const bool intDigits = j > digitsStart;
    bool fracDigits = false;
    if (j < text.size() && text[j] == '.') {
        std::size_t k = j + 1;
        while (k < text.size() && text[k] >= '0' && text[k] <= '9')
            ++k;
        fracDigits = k > j + 1;
        if (intDigits || fracDigits)
            j = k;
    }
    if (!intDigits && !fracDigits)
        return 0;
    if (j < text.size() && (text[j] == 'e' || text[j] == 'E')) {
        std::size_t k = j + 1;
        if (k < text.size() && (text[k] == '+' || text[k] == '-'))
            ++k;
        const std::size_t expDigits = k;
        while (k < text.size() && text[k] >= '0' && text[k] <= '9')
            ++k;
        if (k > expDigits)
            j = k;
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(text.data() + digitsStart, text.data() + j, value);
    if (ec == std::errc::result_out_of_range)
        value = std::numeric_limits<double>::infinity();
    else if (ec != std::errc() || ptr == text.data() + digitsStart)
        return 0;
    return negative ? -value : value;
}

void assignFieldValue(std::byte* record, const ResponseField& f, std::string_view utf8)
{
    std::byte* at = record + f.offset;
    const bool isTrue = equalsNoCase(utf8, "true");
    const bool isFalse = !isTrue && equalsNoCase(utf8, "false");
    if (store::isTextType(f.type)) {
        if (isTrue || isFalse)
            writeText(at, f, isTrue ? "1" : "0");
        else if (f.size == 36)
            writeText(at, f, withoutTrailingZeros(utf8));
        else
            writeConverted(at, f, utf8);
        return;
    }
    writeNumber(at, f, isTrue ? 1.0 : isFalse ? 0.0 : leadingNumber(utf8));
}

std::string fieldText(const std::byte* record, const ResponseField& f)
{
    const char* at = reinterpret_cast<const char*>(record + f.offset);
    if (f.type == store::FieldType::Text) {
        std::size_t n = f.size;
        while (n > 0 && (at[n - 1] == ' ' || at[n - 1] == '\0'))
            --n;
        return std::string(at, n);
    }
    if (f.type == store::FieldType::ZText) {
        const void* z = std::memchr(at, 0, f.size);
        return std::string(at, z ? static_cast<const char*>(z) - at : f.size);
    }
    const double v = fieldNumber(record, f);
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : std::string();
}

double fieldNumber(const std::byte* record, const ResponseField& f)
{
    const std::byte* at = record + f.offset;
    switch (f.type) {
    case store::FieldType::U8:
        return loadNumber<std::uint8_t>(at);
    case store::FieldType::I16:
        return loadNumber<std::int16_t>(at);
    case store::FieldType::U16:
        return loadNumber<std::uint16_t>(at);
    case store::FieldType::I32:
        return loadNumber<std::int32_t>(at);
    case store::FieldType::F64:
        return loadNumber<double>(at);
    case store::FieldType::Text:
    case store::FieldType::ZText:
        return 0;
    }
    return 0;
}

} // namespace responses
