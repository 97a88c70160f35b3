// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/TextConversion.h"

#include "store/RecordText.h"

#include "platform/CodePage.h"

namespace vetis {

namespace {

std::string_view trimLeft(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    return s.substr(i);
}

bool isControl(unsigned char c)
{
    return c < 32 && c != '\r' && c != '\n';
}

// Entities and blanked control characters; CR and LF pass.
std::string escapeSpecials(std::string_view s)
{
    std::string out;
    out.reserve(s.size() + 16);
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (ch) {
        case '"':
            out += "&quot;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            if (c == 0)
                return out; // a zero byte ends a record text
            out += isControl(c) ? ' ' : ch;
        }
    }
    return out;
}

bool isPlainSafeAscii(std::string_view s)
{
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 32 || c >= 127 || ch == '"' || ch == '&' || ch == '\'' || ch == '<' || ch == '>')
            return false;
    }
    return true;
}

} // namespace

bool isNumberText(std::string_view text)
{
    std::string_view s = store::clip(trimLeft(text));
    if (!s.empty() && (s.front() == '-' || s.front() == '+'))
        s.remove_prefix(1);
    bool digit = false;
    bool point = false;
    for (const char c : s) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '.' && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

std::string ToUtf8(std::string_view cp1251)
{
    const std::string_view clipped = store::clip(cp1251);
    if (trimLeft(clipped).empty())
        return {};
    if (isNumberText(clipped))
        return std::string(clipped);
    return platform::cp1251ToUtf8(cp1251);
}

std::string FromUtf8(std::string_view utf8, platform::ConversionLoss* loss)
{
    while (!utf8.empty() && utf8.back() == '\0')
        utf8.remove_suffix(1);
    return platform::utf8ToCp1251(utf8, loss);
}

std::string EscapeXml(std::string_view cp1251)
{
    const std::string_view clipped = store::clip(cp1251);
    const std::string_view trimmed = trimLeft(clipped);
    if (trimmed.empty() || isNumberText(trimmed))
        return std::string(trimmed);
    return ToUtf8(escapeSpecials(clipped));
}

std::string XmlValueAsIs(std::string_view cp1251)
{
    const std::string_view clipped = store::clip(cp1251);
    if (isPlainSafeAscii(clipped))
        return std::string(clipped);
    return platform::cp1251ToUtf8(escapeSpecials(clipped));
}

} // namespace vetis
