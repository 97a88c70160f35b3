// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/RecordText.h"
#include "store/tables/Vetis.h"
#include "vetis/RequestRecord.h"

#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

// Shared pieces of the catalogue tests: the expected envelopes are written out
// literally in the tests, line by line, and joined with CR LF here.
namespace cataloguetest {

inline std::string crlfLines(std::initializer_list<std::string_view> lines)
{
    std::string out;
    bool first = true;
    for (const std::string_view line : lines) {
        if (!first)
            out += "\r\n";
        out += line;
        first = false;
    }
    return out;
}

inline constexpr std::string_view kEntityGuid = "400cb70f-964e-43c0-b4a3-165de1ab3e01";
inline constexpr std::string_view kGuidA = "0e3ab1bf-4ee1-4f7f-a45f-2ca1b9c1d7a1";
inline constexpr std::string_view kGuidB = "b039ee16-9646-4718-8f3d-9a4de6cf02bb";

inline store::VetisRecord makeSettings()
{
    store::VetisRecord s;
    std::memset(&s, 0, sizeof s);
    store::setText(s.GUID, kEntityGuid);
    store::setZText(s.LOGIN, "soap-user");
    store::setZText(s.PASSWORD, "secret");
    store::setZText(s.APIKEY, "MzY0YWJjZGVmMTIzNDU2Nzg5MA==");
    store::setZText(s.WEBLOGIN, "user_ab_150101");
    return s;
}

inline vetis::RequestRecord makeRequest(vetis::RequestCode code)
{
    vetis::RequestRecord r;
    r.setRequestCode(code);
    store::setText(r.VETISGUID, kEntityGuid);
    store::setZText(r.LTID, "Zanvs_3723001");
    store::setZText(r.ISSUEDATE, "2024-05-15T10:20:30");
    return r;
}

} // namespace cataloguetest
