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

// The catalogue's writers, one file per family of operations. Each appends the
// envelope of one code to `out`; the codes are checked by the dispatcher.
namespace vetis {

struct RequestRecord;

void writeRegistryEnvelope(RequestCode code, const RequestRecord& request, std::string& out);
void writeApplicationEnvelope(RequestCode code, const RequestRecord& request,
                              const store::VetisRecord& settings, std::string& out);
void writeConsignmentEnvelope(bool isReturn, const RequestRecord& request, const store::VetisRecord& settings,
                              const store::VsdRecord& vsd, std::span<const store::InsideRecord> inside,
                              std::string& out);

} // namespace vetis
