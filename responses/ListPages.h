// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/RequestRecord.h"

// Reading a list of the service page by page.
namespace responses {

// Rows asked for per page.
inline constexpr int kListPageSize = 1000;
// A service that keeps saying there is more never holds a reading for ever.
inline constexpr int kMaxListPages = 1000;

// Whether the list goes on after the page `request` has just read: while the
// answer's total says so; an answer without a total goes on while its pages
// come full.
inline bool listHasMorePages(const vetis::RequestRecord& request)
{
    if (request.RTOTAL > 0)
        return request.RLOAD > 0 && request.OFFSET + request.RLOAD < request.RTOTAL;
    return request.RLOAD >= request.COUNT && request.COUNT > 0;
}

} // namespace responses
