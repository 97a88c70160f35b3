// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <string>
#include <string_view>

namespace store {
struct VetisRecord;
}

// Mercury g2b operations are not called directly: their request travels inside
// an application (apldef:submitApplicationRequest) that carries the API key, the
// issuer id and the issue date, and its result is fetched later by the receive
// request. These functions write both.
namespace vetis {

class EnvelopeWriter;
struct RequestRecord;

// The application head (the dictionary prefix when `withDictionary`), the
// wrapper lines up to apl:data, the inner request's start tag and its first two
// children: merc:localTransactionId = LTID and merc:initiator / vd:login =
// MVS:WEBLOGIN.
void beginApplication(EnvelopeWriter& writer, const store::VetisRecord& settings,
                      const RequestRecord& request, bool withDictionary, std::string_view innerElement);

// The inner request's end tag, the wrapper's end tags and the envelope's.
void endApplication(EnvelopeWriter& writer, std::string_view innerElement);

// ws:receiveApplicationResultRequest for the application id in P1.
void writeReceiveRequest(std::string& out, const store::VetisRecord& settings, const RequestRecord& request);

} // namespace vetis
