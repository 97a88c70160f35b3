// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/FieldValue.h"

#include "vetis/TextConversion.h"

#include <algorithm>
#include <bit>
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

std::string_view withoutTrailingZeros(std::string_view s)
{
    while (!s.empty() && s.back() == '\0')
        s.remove_suffix(1);
    return s;
}

// The Windows-1251 byte of the two-byte UTF-8 sequence c c2 when it is a
// letter of the Russian alphabet; 0 otherwise.
inline unsigned char russianLetter(unsigned char c, unsigned char c2)
{
    if (c == 0xD0 && c2 >= 0x90 && c2 <= 0xBF)
        return static_cast<unsigned char>(c2 + 0x30); // А..п
    if (c == 0xD1 && c2 >= 0x80 && c2 <= 0x8F)
        return static_cast<unsigned char>(c2 + 0x70); // р..я
    if (c == 0xD0 && c2 == 0x81)
        return 0xA8; // Ё
    if (c == 0xD1 && c2 == 0x91)
        return 0xB8; // ё
    return 0;
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
            const unsigned char letter = russianLetter(c, p[1]);
            if (!letter)
                return false;
            out = static_cast<char>(letter);
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

std::uint64_t load8(const unsigned char* p)
{
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Nonzero when the word holds a zero byte; with the lowest zero byte's bit 7
// set (bits above it may be set as well) on little-endian machines.
std::uint64_t zeroBytes(std::uint64_t w)
{
    return (w - 0x0101010101010101ull) & ~w & 0x8080808080808080ull;
}
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

// Eight bytes of UTF-8 that are four letters А..я (Ё and ё excepted) in
// Windows-1251, converted all at once: "А".."п" are D0 90..D0 BF and become
// C0..EF, "р".."я" are D1 80..D1 8F and become F0..FF.
bool russianLetters(std::uint64_t w, std::uint32_t& out)
{
    if constexpr (std::endian::native != std::endian::little)
        return false;
    constexpr std::uint64_t kLanes = 0x00FF00FF00FF00FFull; // one byte per 16-bit lane
    const std::uint64_t lead = w & kLanes;
    if ((lead & 0x00FE00FE00FE00FEull) != 0x00D000D000D000D0ull)
        return false; // not four D0 / D1 lead bytes
    const std::uint64_t trail = (w >> 8) & kLanes;
    if ((trail & 0x00C000C000C000C0ull) != 0x0080008000800080ull)
        return false; // not four continuation bytes
    // D0 needs a trail byte of 90..BF, D1 one of 80..8F: bit 6 of the lane
    // is "trail above 8F" and must differ from "lead is D1".
    const std::uint64_t d1 = (lead & 0x0001000100010001ull) << 6;
    const std::uint64_t above8F =
        ((trail & 0x0030003000300030ull) + 0x0030003000300030ull) & 0x0040004000400040ull;
    if ((above8F ^ d1) != 0x0040004000400040ull)
        return false;
    std::uint64_t x = trail + 0x0030003000300030ull + d1; // +30 for D0, +70 for D1; no lane overflows
    x = (x | (x >> 8)) & 0x0000FFFF0000FFFFull;
    x = (x | (x >> 16)) & 0x00000000FFFFFFFFull;
    out = static_cast<std::uint32_t>(x);
    return true;
}

// Copies up to 8 bytes, as many as the field still holds.
inline void put(char* dst, std::size_t capacity, std::size_t& n, const void* bytes, std::size_t count)
{
    if (capacity - n >= count) {
        std::memcpy(dst + n, bytes, count == 8 ? 8 : 4); // count is 8 or 4
        n += count;
        return;
    }
    std::memcpy(dst + n, bytes, capacity - n);
    n = capacity;
}

// The same for a zero-terminated text, in one pass over it (finding its
// length first would read it twice). Bytes up to readableEnd may be read, so
// runs of plain ASCII and of Russian letters go 8 bytes at a time.
bool writeConvertedFastZ(char* dst, std::size_t capacity, const char* text, const char* readableEnd,
                         std::size_t& written)
{
    std::size_t n = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    const auto* wordsEnd = readableEnd ? reinterpret_cast<const unsigned char*>(readableEnd) : p;
    for (;;) {
        if (wordsEnd - p >= 8) {
            const std::uint64_t w = load8(p);
            if (!((w & kHighBits) | zeroBytes(w))) {
                put(dst, capacity, n, &w, 8);
                p += 8;
                continue;
            }
            std::uint32_t four;
            if (russianLetters(w, four)) {
                put(dst, capacity, n, &four, 4);
                p += 8;
                continue;
            }
        }
        const unsigned char c = *p;
        if (!c)
            break;
        char out;
        if (c < 0x80) {
            out = static_cast<char>(c);
            ++p;
        } else {
            const unsigned char letter = russianLetter(c, p[1]); // p[1] is at most the terminator
            if (!letter)
                return false;
            out = static_cast<char>(letter);
            p += 2;
        }
        if (n < capacity)
            dst[n++] = out;
    }
    written = n;
    return true;
}

// Up to capacity bytes of a zero-terminated text, as they are.
std::size_t copyUpTo(char* dst, std::size_t capacity, const char* text, const char* readableEnd)
{
    std::size_t n = 0;
    if constexpr (std::endian::native == std::endian::little) {
        const auto* p = reinterpret_cast<const unsigned char*>(text);
        while (n + 8 <= capacity && readableEnd && readableEnd - (text + n) >= 8) {
            const std::uint64_t w = load8(p + n);
            if (const std::uint64_t z = zeroBytes(w)) {
                const std::size_t k = static_cast<std::size_t>(std::countr_zero(z)) >> 3;
                std::memcpy(dst + n, p + n, k);
                return n + k;
            }
            std::memcpy(dst + n, p + n, 8);
            n += 8;
        }
    }
    while (n < capacity && text[n]) {
        dst[n] = text[n];
        ++n;
    }
    return n;
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
    return vetis::FromUtf8(utf8); // the exchange's conversion of answer texts
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

void assignFieldText(std::byte* record, const ResponseField& f, const char* text, const char* readableEnd,
                     bool fieldIsBlank)
{
    if (!store::isTextType(f.type)) {
        // Plain whole numbers, the usual content of numeric elements, directly.
        std::uint64_t v = 0;
        std::size_t i = 0;
        while (i < 15 && text[i] >= '0' && text[i] <= '9')
            v = v * 10 + static_cast<std::uint64_t>(text[i++] - '0');
        const char next = text[i];
        if (i > 0 && i < 15 && next != '.' && next != 'e' && next != 'E')
            writeNumber(record + f.offset, f, static_cast<double>(v));
        else
            assignFieldValue(record, f, std::string_view(text));
        return;
    }
    // Texts that may be "true" or "false" take the general way.
    const char first = static_cast<char>(text[0] | 0x20);
    if (first == 't' || first == 'f') {
        assignFieldValue(record, f, std::string_view(text));
        return;
    }
    char* dst = reinterpret_cast<char*>(record + f.offset);
    const char pad = f.type == store::FieldType::Text ? ' ' : '\0';
    const std::size_t capacity = f.type == store::FieldType::Text ? f.size : (f.size > 0 ? f.size - 1u : 0u);
    std::size_t n = 0;
    if (f.size == 36) {
        n = copyUpTo(dst, capacity, text, readableEnd); // what does not fit is not even read
    } else if (!writeConvertedFastZ(dst, capacity, text, readableEnd, n)) {
        writeText(record + f.offset, f, ConvertText(text));
        return;
    }
    if (!fieldIsBlank)
        std::memset(dst + n, pad, f.size - n);
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
