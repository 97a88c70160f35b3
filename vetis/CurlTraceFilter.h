// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// What of libcurl's debug information becomes trace lines, and in what form.
//  - Informational text and headers are written at once, with the
//    credentials masked (maskSecrets).
//  - Bodies (DATA_IN, DATA_OUT) only when they are asked for. libcurl hands a
//    body over in pieces, and a secret may straddle two of them, so a body is
//    collected and masked whole before it is written: when as many bytes came
//    as the body has (the request body's size, the answer's Content-Length),
//    when the next request starts, or when the transfer ends. At most
//    kMaxTracedBody bytes of a body are kept; the rest is only counted.
//  - The raw TLS data (SSL_DATA_IN, SSL_DATA_OUT) is never written.
namespace vetis {

class CurlTraceFilter
{
public:
    static constexpr std::size_t kMaxTracedBody = 256 * 1024;

    // Receives a finished trace text with the libcurl info type it belongs to.
    using Writer = std::function<void(int type, std::string_view text)>;

    // One piece of debug information. `wanted` says whether pieces of this
    // type go to the trace at all; pieces that are not wanted still end the
    // bodies they end.
    void take(int type, std::string_view data, bool wanted, const Writer& write);
    // The size of the request body about to be sent (-1: not known).
    void expectRequestBody(std::int64_t size) { m_out.expected = size; }
    // The transfer is over: what is still collected is written.
    void finish(const Writer& write);

private:
    struct Body
    {
        std::string kept;
        std::int64_t seen = 0;
        std::int64_t expected = -1;
    };
    static void collect(Body& body, std::string_view data);
    static void flush(Body& body, int type, const Writer& write);
    void noteAnswerHeader(std::string_view line, const Writer& write);

    Body m_out; // DATA_OUT
    Body m_in;  // DATA_IN
};

} // namespace vetis
