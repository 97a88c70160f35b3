// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/AnswerCuts.h"

#include <algorithm>
#include <string>

namespace responses {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// What may follow an element name in a start or end tag.
bool endsName(char c)
{
    return isSpace(c) || c == '>' || c == '/';
}

// A byte of a namespace prefix (names are UTF-8; bytes above 0x7F belong to
// letters).
bool inPrefix(char c)
{
    return !(isSpace(c) || c == '<' || c == '>' || c == '/' || c == ':' || c == '=' || c == '"' ||
             c == '\'' || c == '!' || c == '?');
}

// The '<' of the first start tag whose name has that local part, and the
// name as written; npos when there is none.
std::size_t firstStartTag(std::string_view answer, std::string_view localName, std::string_view& name)
{
    constexpr std::size_t kLongestPrefix = 64;
    for (std::size_t at = answer.find(localName); at != std::string_view::npos;
         at = answer.find(localName, at + 1)) {
        const std::size_t after = at + localName.size();
        if (at == 0 || after >= answer.size() || !endsName(answer[after]))
            continue;
        std::size_t open = at - 1;
        if (answer[open] == ':') {
            std::size_t p = open;
            while (p > 0 && open - p < kLongestPrefix && inPrefix(answer[p - 1]))
                --p;
            if (p == open || p == 0)
                continue; // no prefix, or nothing before it
            open = p - 1;
        }
        if (answer[open] != '<')
            continue; // an end tag, text, an attribute
        name = answer.substr(open + 1, after - open - 1);
        return open;
    }
    return std::string_view::npos;
}

// Just after the last end tag of that name; npos when there is none.
std::size_t afterLastEndTag(std::string_view answer, std::string_view name, std::size_t from)
{
    const std::string tag = "</" + std::string(name);
    for (std::size_t at = answer.rfind(tag); at != std::string_view::npos && at >= from;
         at = at == 0 ? std::string_view::npos : answer.rfind(tag, at - 1)) {
        std::size_t p = at + tag.size();
        while (p < answer.size() && isSpace(answer[p]))
            ++p;
        if (p < answer.size() && answer[p] == '>')
            return p + 1;
    }
    return std::string_view::npos;
}

// Only end tags and white space from `at` on.
bool onlyEndTags(std::string_view answer, std::size_t at)
{
    while (at < answer.size()) {
        if (isSpace(answer[at])) {
            ++at;
            continue;
        }
        if (answer.compare(at, 2, "</") != 0)
            return false;
        const std::size_t close = answer.find('>', at);
        if (close == std::string_view::npos)
            return false;
        for (std::size_t p = at + 2; p < close; ++p)
            if (answer[p] == '<')
                return false;
        at = close + 1;
    }
    return true;
}

} // namespace

std::optional<AnswerCuts> cutAnswer(std::string_view answer, std::string_view localName, std::size_t pieces)
{
    if (localName.empty() || pieces == 0)
        return std::nullopt;
    AnswerCuts cuts;
    cuts.recordsBegin = firstStartTag(answer, localName, cuts.recordName);
    if (cuts.recordsBegin == std::string_view::npos)
        return std::nullopt;
    cuts.recordsEnd = afterLastEndTag(answer, cuts.recordName, cuts.recordsBegin);
    if (cuts.recordsEnd == std::string_view::npos || !onlyEndTags(answer, cuts.recordsEnd))
        return std::nullopt;

    const std::string startTag = "<" + std::string(cuts.recordName);
    const std::size_t length = cuts.recordsEnd - cuts.recordsBegin;
    cuts.pieceBegins.push_back(cuts.recordsBegin);
    for (std::size_t k = 1; k < pieces; ++k) {
        std::size_t at = std::max(cuts.recordsBegin + length / pieces * k, cuts.pieceBegins.back() + 1);
        for (at = answer.find(startTag, at); at != std::string_view::npos && at < cuts.recordsEnd;
             at = answer.find(startTag, at + 1))
            if (at + startTag.size() < answer.size() && endsName(answer[at + startTag.size()]))
                break;
        if (at == std::string_view::npos || at >= cuts.recordsEnd)
            break;
        cuts.pieceBegins.push_back(at);
    }
    return cuts;
}

} // namespace responses
