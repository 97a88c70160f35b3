// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/HttpDownload.h"
#include "vetis/RequestRecord.h"
#include "vetis/TransportSettings.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace store {
struct VsdRecord;
struct InsideRecord;
} // namespace store

// The one entry point of every VetIS.API call: reads the entity's access
// settings, builds the operation's envelope, posts it to the right service and
// hands the answer to the response walker.
namespace vetis {

class VetisSettingsRepository;

class AnswerDocument;

// What reading an answer gave: the number of main entries, or -1 when the
// reader refused what it found (a paging attribute that is no count, memory
// running out, ...); for a refusal, why (UTF-8, for the user).
struct AnswerReading
{
    int entries = -1;
    std::string problem;
};

// Reads an answer into the response lists the request record references. The
// walker lives above this layer; the program installs it, tests may give their
// own. The reader is given the answer already parsed and checked, once, by the
// exchange (AnswerDocument: one sound SOAP document, no Fault, not too long),
// and only reads it.
class AnswerReader
{
public:
    virtual ~AnswerReader() = default;
    [[nodiscard]] virtual AnswerReading readAnswer(const AnswerDocument& answer, RequestRecord& request) = 0;
    virtual void clearList(responses::ResponseList& list) = 0;
};

struct ExchangeContext
{
    // Where the access settings come from (m_Vetis). Required.
    VetisSettingsRepository* settings = nullptr;
    // Fills the result lists; may be null when the request references none.
    AnswerReader* reader = nullptr;
    // The VSD and its contents rows, for a repay or a return.
    const store::VsdRecord* vsd = nullptr;
    std::span<const store::InsideRecord> inside;
    // Time-outs of the transfer; tests shorten them.
    TransferLimits limits;
    // Route to another host than the URL names (tests only; see TransportSettings).
    std::vector<std::string> connectTo;
    // Out: the transport's result code of the call (-1 when nothing was sent),
    // so that a cancel can be told from a failure.
    TransferOutcome outcome;
};

// Returns true when the service answered with status 200 and the answer was
// read; also stored in FLAGLUCK. Failures are told to the user through the
// framework's message presenter as the access settings ask (MVS:ANSWER). An
// answer of status 200 is parsed once and checked (AnswerDocument); the
// application fields and the lists are read from that document. An answer
// that is refused (not one sound SOAP document, a SOAP Fault whatever the
// status, or an answer the reader refuses) fills no list and no application
// field; why goes to APPERROR as well, so that a caller in silent mode can
// show it.
[[nodiscard]] bool Exchange(RequestRecord& request, ExchangeContext& context);

// The local transaction id and time stamp of a call made now:
// "Zanvs_" + the time of day as a time number, and yyyy-mm-ddThh:mm:ss.
void stampRequest(RequestRecord& request);

} // namespace vetis
