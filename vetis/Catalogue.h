// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/RequestCodes.h"

#include <span>
#include <string>

namespace store {
struct VetisRecord;
struct VsdRecord;
struct InsideRecord;
} // namespace store

// The request catalogue: for each operation code of the request record the
// service that receives it and the complete SOAP envelope. Envelopes are laid
// out byte for byte as VetIS clients have always sent them; every value placed
// into them is XML-safe.
namespace vetis {

struct RequestRecord;

// The service number of an operation code (1..6), 0 for a number that is no
// RequestCode.
int serviceOfOperation(RequestCode code);

// True for the codes the catalogue knows (every enumerator of RequestCode).
inline bool isKnownOperation(RequestCode code)
{
    return serviceOfOperation(code) != 0;
}

// True for the codes whose envelope is built from a VSD and its contents rows
// (repay and return).
inline bool operationNeedsVsd(RequestCode code)
{
    return code == RequestCode::RepayConsignment || code == RequestCode::ReturnConsignment;
}

// Appends the envelope of request.VREQUEST to `out` and returns its service
// number. Returns 0 and leaves `out` unchanged for an unknown code, and for a
// repay or return without a VSD. `vsd` and `inside` (the VSD's m_Inside rows;
// rows of other VSDs are ignored) are read by repay and return only. LTID and
// ISSUEDATE are taken from the request record as they stand: the caller fills
// them, the catalogue never reads the clock.
[[nodiscard]] int BuildEnvelope(const RequestRecord& request, const store::VetisRecord& settings,
                                const store::VsdRecord* vsd, std::span<const store::InsideRecord> inside,
                                std::string& out);

} // namespace vetis
