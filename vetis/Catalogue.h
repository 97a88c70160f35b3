// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

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

// The service number of an operation code (1..6), 0 for an unknown code.
int serviceOfOperation(int code);

// True for the codes the catalogue knows (1..21, 51, 53..56, 99).
inline bool isKnownOperation(int code)
{
    return serviceOfOperation(code) != 0;
}

// True for the codes whose envelope is built from a VSD and its contents rows
// (repay 55 and return 56).
inline bool operationNeedsVsd(int code)
{
    return code == 55 || code == 56;
}

// Appends the envelope of request.VREQUEST to `out` and returns its service
// number. Returns 0 and leaves `out` unchanged for an unknown code, and for a
// repay or return without a VSD. `vsd` and `inside` (the VSD's m_Inside rows;
// rows of other VSDs are ignored) are read by codes 55 and 56 only. LTID and
// ISSUEDATE are taken from the request record as they stand: the caller fills
// them, the catalogue never reads the clock.
int BuildEnvelope(const RequestRecord& request, const store::VetisRecord& settings,
                  const store::VsdRecord* vsd, std::span<const store::InsideRecord> inside, std::string& out);

} // namespace vetis
