// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/SecretMask.h"

#include "vetis/AsciiCase.h"

namespace vetis {

namespace {

constexpr std::string_view kMask = "***";

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The position of the first match of upperNeedle (given in capitals) at or
// after from, case ignored; npos when none.
std::size_t findUpper(std::string_view text, std::string_view upperNeedle, std::size_t from)
{
    if (upperNeedle.empty() || text.size() < upperNeedle.size())
        return std::string_view::npos;
    for (std::size_t i = from; i + upperNeedle.size() <= text.size(); ++i) {
        if (asciiUpper(text[i]) == upperNeedle[0] && startsWithUpper(text.substr(i), upperNeedle))
            return i;
    }
    return std::string_view::npos;
}

// The element name that follows "<" or "</" at `at`, up to a blank, ">" or "/".
std::string_view nameAt(std::string_view text, std::size_t at)
{
    std::size_t end = at;
    while (end < text.size() && !isSpace(text[end]) && text[end] != '>' && text[end] != '/')
        ++end;
    return text.substr(at, end - at);
}

bool isApiKeyName(std::string_view qname)
{
    const std::size_t colon = qname.rfind(':');
    const std::string_view local = colon == std::string_view::npos ? qname : qname.substr(colon + 1);
    return local.size() == 6 && startsWithUpper(local, "APIKEY");
}

// The ">" that ends the start tag whose name ends at `from`; quoted attribute
// values may hold ">" of their own. npos when the text ends first.
std::size_t startTagEnd(std::string_view text, std::size_t from)
{
    for (std::size_t i = from; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"' || c == '\'') {
            i = text.find(c, i + 1);
            if (i == std::string_view::npos)
                return i;
        } else if (c == '>') {
            return i;
        }
    }
    return std::string_view::npos;
}

// Where the content of an apiKey element that starts at `from` ends: at its
// end tag, skipping CDATA sections and comments (which may hold anything), or
// at the end of the text when the element is not closed there.
std::size_t apiKeyContentEnd(std::string_view text, std::size_t from)
{
    std::size_t at = from;
    for (;;) {
        const std::size_t lt = text.find('<', at);
        if (lt == std::string_view::npos)
            return text.size();
        const std::string_view rest = text.substr(lt);
        std::string_view closer;
        if (rest.starts_with("<![CDATA["))
            closer = "]]>";
        else if (rest.starts_with("<!--"))
            closer = "-->";
        if (!closer.empty()) {
            const std::size_t end = text.find(closer, lt + 4);
            if (end == std::string_view::npos)
                return text.size();
            at = end + closer.size();
            continue;
        }
        if (rest.starts_with("</") && isApiKeyName(nameAt(text, lt + 2)))
            return lt;
        at = lt + 1;
    }
}

std::string maskApiKeys(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    std::size_t copied = 0;
    std::size_t at = 0;
    for (;;) {
        const std::size_t lt = text.find('<', at);
        if (lt == std::string_view::npos)
            break;
        const std::string_view name = nameAt(text, lt + 1);
        if (!isApiKeyName(name)) {
            at = lt + 1;
            continue;
        }
        const std::size_t tagEnd = startTagEnd(text, lt + 1 + name.size());
        if (tagEnd == std::string_view::npos)
            break; // the text ends inside the start tag: no value follows
        at = tagEnd + 1;
        if (text[tagEnd - 1] == '/')
            continue; // <apiKey/>
        const std::size_t contentEnd = apiKeyContentEnd(text, at);
        if (contentEnd > at) {
            out.append(text.substr(copied, at - copied)).append(kMask);
            copied = contentEnd;
        }
        at = contentEnd;
    }
    out.append(text.substr(copied));
    return out;
}

// The credentials of Authorization headers, in place.
void maskAuthorization(std::string& text)
{
    static constexpr std::string_view kName = "AUTHORIZATION:";
    static constexpr std::string_view kProxy = "PROXY-";
    std::size_t at = 0;
    for (;;) {
        const std::size_t name = findUpper(text, kName, at);
        if (name == std::string::npos)
            return;
        at = name + kName.size();
        std::size_t header = name;
        if (name >= kProxy.size() &&
            startsWithUpper(std::string_view(text).substr(name - kProxy.size()), kProxy))
            header = name - kProxy.size();
        const char before = header == 0 ? '\n' : text[header - 1];
        if (before != '\n' && before != '\r' && before != '[')
            continue; // the word inside a text, not a header
        const std::string_view enders = before == '[' ? "\r\n]<" : "\r\n<";
        std::size_t end = text.find_first_of(enders, at);
        if (end == std::string::npos)
            end = text.size();
        std::size_t value = at;
        while (value < end && (text[value] == ' ' || text[value] == '\t'))
            ++value;
        const std::size_t space = text.find(' ', value);
        std::size_t from = space < end ? space : value;
        while (from < end && text[from] == ' ')
            ++from;
        if (from < end) {
            text.replace(from, end - from, kMask);
            end = from + kMask.size();
        }
        at = end;
    }
}

} // namespace

std::string maskSecrets(std::string_view text)
{
    std::string out = maskApiKeys(text);
    maskAuthorization(out);
    return out;
}

} // namespace vetis
