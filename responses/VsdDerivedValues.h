// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

#include <cstdint>
#include <string_view>

// The values the VSD loader derives from what the service sends: the dates
// of production and expiry from their parts, the shelf life and its reserve,
// the status code, and the texts the load shows.
namespace responses {

// A date as the service sends it in parts; 0 where a part is missing.
struct DateParts
{
    int year = 0;
    int month = 0;
    int day = 0;
};

// Day numbers (platform/Dates.h); 0 when the year is not 1990..2090. A
// missing or invalid month or day gives the earliest (production) or the
// latest (expiry) day it may mean; the second date of a range is never
// before the first. A day past the end of its month (30 February) means the
// month's last day.
std::int32_t productionDate1(const DateParts& parts);
std::int32_t productionDate2(const DateParts& parts, std::int32_t productionDate1);
std::int32_t expiryDate1(const DateParts& parts);
std::int32_t expiryDate2(const DateParts& parts, std::int32_t expiryDate1);

// Mark of a VSD by its shelf life: none, expired on the day of issue, or
// less than 30 % of the shelf life left then.
enum class ShelfMark : std::uint8_t
{
    None = 0,
    Expired = 1,
    LowReserve = 2,
};

struct ShelfLife
{
    std::int32_t actualDays = 0;  // MVD:ACTUALSROK
    std::int32_t reserveDays = 0; // MVD:RESERVEDAY
    double reservePercent = 0;    // MVD:RESERVEPROC, a whole number
    ShelfMark mark = ShelfMark::None;
};

// The shelf life of goods issued on `issueDate`, produced on the later
// production date that is set, and good until `expiryDate1`. Without an
// expiry date all is 0. Without a production date, or with a shelf life of
// 0 days, the percentage is 0 and only the reserve in days can mark it.
ShelfLife shelfLife(std::int32_t issueDate, std::int32_t productionDate1, std::int32_t productionDate2,
                    std::int32_t expiryDate1);

// MVD:CODSTATUS: 4 when finalized, else 1, 2, 3 for CONFIRMED, WITHDRAWN,
// UTILIZED, else 0.
int statusCode(bool finalized, std::string_view vetDStatus);

// " (ПРИНЯТА)", " (В ОБРАБОТКЕ)", " (УСПЕХ)", " (ОТКЛОНЕНА)" or " (???)".
QString applicationStatusSuffix(std::string_view appStatus);

// The warning after a load that added goods past or near their expiry; empty
// when both counts are 0.
QString shelfLifeWarning(int expired, int lowReserve);

} // namespace responses
