// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/CurlTraceFilter.h"

#include "vetis/AsciiCase.h"
#include "vetis/SecretMask.h"

#include <curl/curl.h>

#include <charconv>

namespace vetis {

void CurlTraceFilter::take(int type, std::string_view data, bool wanted, const Writer& write)
{
    switch (type) {
    case CURLINFO_HEADER_OUT:
        // A new request: what was collected belongs to the one before.
        flush(m_out, CURLINFO_DATA_OUT, write);
        flush(m_in, CURLINFO_DATA_IN, write);
        break;
    case CURLINFO_HEADER_IN:
        noteAnswerHeader(data, write);
        break;
    case CURLINFO_TEXT:
        break;
    case CURLINFO_DATA_OUT:
    case CURLINFO_DATA_IN: {
        if (!wanted)
            return;
        Body& body = type == CURLINFO_DATA_OUT ? m_out : m_in;
        collect(body, data);
        if (body.expected >= 0 && body.seen == body.expected)
            flush(body, type, write);
        return;
    }
    default:
        return; // the raw TLS data, and whatever libcurl may add one day
    }
    if (wanted)
        write(type, maskSecrets(data));
}

void CurlTraceFilter::finish(const Writer& write)
{
    flush(m_out, CURLINFO_DATA_OUT, write);
    flush(m_in, CURLINFO_DATA_IN, write);
}

void CurlTraceFilter::collect(Body& body, std::string_view data)
{
    if (body.kept.size() < kMaxTracedBody)
        body.kept.append(data.substr(0, kMaxTracedBody - body.kept.size()));
    body.seen += static_cast<std::int64_t>(data.size());
}

void CurlTraceFilter::flush(Body& body, int type, const Writer& write)
{
    if (body.seen == 0)
        return;
    std::string text = maskSecrets(body.kept);
    const auto more = body.seen - static_cast<std::int64_t>(body.kept.size());
    if (more > 0)
        text += " [" + std::to_string(more) + " more bytes not traced]";
    body.kept.clear();
    body.seen = 0;
    write(type, text);
}

// The answer's status line starts a new answer body; its Content-Length says
// when that body is complete.
void CurlTraceFilter::noteAnswerHeader(std::string_view line, const Writer& write)
{
    if (startsWithUpper(line, "HTTP/")) {
        flush(m_in, CURLINFO_DATA_IN, write);
        m_in.expected = -1;
        return;
    }
    static constexpr std::string_view kLength = "CONTENT-LENGTH:";
    if (!startsWithUpper(line, kLength))
        return;
    std::string_view value = line.substr(kLength.size());
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    std::int64_t length = -1;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), length);
    const std::string_view rest = value.substr(static_cast<std::size_t>(end - value.data()));
    const bool onlyLineEnd = rest.find_first_not_of(" \t\r\n") == std::string_view::npos;
    m_in.expected = ec == std::errc() && onlyLineEnd && length >= 0 ? length : -1;
}

} // namespace vetis
