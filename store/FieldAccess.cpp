// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/FieldAccess.h"

#include "platform/CodePage.h"
#include "store/RecordText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace store {

namespace {

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && s.front() == ' ')
        s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

template <typename T>
[[nodiscard]] bool setWhole(char* p, std::string_view text)
{
    text = trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    long long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return false;
    if (v < static_cast<long long>(std::numeric_limits<T>::min()) ||
        v > static_cast<long long>(std::numeric_limits<T>::max()))
        return false;
    storeNumber<T>(p, static_cast<T>(v));
    return true;
}

} // namespace

void clearRecordOf(const TableDef& table, char* record)
{
    std::memset(record, 0, table.recordLength);
    for (const FieldDef& f : table.fields)
        if (f.type == FieldType::Text)
            std::memset(record + f.offset, ' ', f.size);
}

std::string fieldAsUtf8(const FieldDef& field, const char* record)
{
    const char* p = record + field.offset;
    switch (field.type) {
    case FieldType::Text:
        return platform::cp1251ToUtf8(clip(std::string_view(p, field.size)));
    case FieldType::ZText: {
        const void* z = std::memchr(p, 0, field.size);
        const std::size_t n = z ? static_cast<std::size_t>(static_cast<const char*>(z) - p) : field.size;
        return platform::cp1251ToUtf8(clip(std::string_view(p, n)));
    }
    case FieldType::U8:
        return std::to_string(loadNumber<std::uint8_t>(p));
    case FieldType::I16:
        return std::to_string(loadNumber<std::int16_t>(p));
    case FieldType::U16:
        return std::to_string(loadNumber<std::uint16_t>(p));
    case FieldType::I32:
        return std::to_string(loadNumber<std::int32_t>(p));
    case FieldType::F64:
        return plainDecimal(loadNumber<double>(p));
    }
    return {};
}

std::string plainDecimal(double value)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? "nan" : (value < 0 ? "-inf" : "inf");
    // The shortest digits that read back as the same number, never with an
    // exponent: 100000, 0.1, 12.5, -3. The longest, DBL_MAX, has 309 digits.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string();
}

bool setFieldFromUtf8(const FieldDef& field, char* record, std::string_view utf8)
{
    char* p = record + field.offset;
    switch (field.type) {
    case FieldType::Text:
    case FieldType::ZText: {
        platform::ConversionLoss loss;
        const std::string cp = platform::utf8ToCp1251(utf8, &loss);
        if (loss.invalid != 0)
            return false; // not UTF-8
        const std::size_t room = field.type == FieldType::ZText ? field.size - 1u : field.size;
        const std::size_t n = std::min<std::size_t>(room, cp.size());
        std::memcpy(p, cp.data(), n);
        std::memset(p + n, field.type == FieldType::ZText ? 0 : ' ', field.size - n);
        return true;
    }
    case FieldType::U8:
        return setWhole<std::uint8_t>(p, utf8);
    case FieldType::I16:
        return setWhole<std::int16_t>(p, utf8);
    case FieldType::U16:
        return setWhole<std::uint16_t>(p, utf8);
    case FieldType::I32:
        return setWhole<std::int32_t>(p, utf8);
    case FieldType::F64: {
        const std::string_view t = trimmed(utf8);
        double v = 0;
        const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
        if (t.empty() || ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v))
            return false;
        storeNumber<double>(p, v);
        return true;
    }
    }
    return false;
}

} // namespace store
