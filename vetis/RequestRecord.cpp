// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/RequestRecord.h"

#include <cstring>

namespace vetis {

void RequestRecord::clear()
{
    VREQUEST = 0;
    COUNT = OFFSET = 0;
    INDICATOR = 0;
    FLAGLUCK = 0;
    RCODE = RLOAD = ROFFSET = RCOUNT = RTOTAL = 0;
    DATE1 = DATE2 = 0;
    std::memset(VETISGUID, ' ', sizeof VETISGUID);
    std::memset(GUID, ' ', sizeof GUID);
    std::memset(UUID, ' ', sizeof UUID);
    std::memset(APPID, ' ', sizeof APPID);
    std::memset(APPERROR, ' ', sizeof APPERROR);
    for (char* z : {P1, P2, P3, P4, P5, P6, P7})
        std::memset(z, 0, 121);
    std::memset(LTID, 0, sizeof LTID);
    std::memset(ISSUEDATE, 0, sizeof ISSUEDATE);
    std::memset(APPSTATUS, 0, sizeof APPSTATUS);
    std::memset(ROWTAG, 0, sizeof ROWTAG);
    lists.fill(nullptr);
    control = nullptr;
}

} // namespace vetis
