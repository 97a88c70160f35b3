// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/VsdDerivedValues.h"
#include "platform/Dates.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace responses;

namespace {

std::int32_t day(int y, int m, int d)
{
    return platform::dayNumber(QDate(y, m, d));
}

TEST(VsdDates, MissingPartsMeanTheEarliestProductionAndTheLatestExpiry)
{
    EXPECT_EQ(productionDate1({2023, 5, 0}), day(2023, 5, 1));
    EXPECT_EQ(productionDate1({2023, 0, 0}), day(2023, 1, 1));
    EXPECT_EQ(productionDate1({2023, 13, 4}), day(2023, 1, 1));
    EXPECT_EQ(productionDate1({2023, 5, 17}), day(2023, 5, 17));
    EXPECT_EQ(expiryDate1({2023, 0, 0}), day(2023, 12, 31));
    EXPECT_EQ(expiryDate1({2024, 2, 0}), day(2024, 2, 29));
    EXPECT_EQ(expiryDate1({2023, 4, 0}), day(2023, 4, 30));
    // Years outside 1990..2090 give no date at all.
    EXPECT_EQ(expiryDate1({1989, 12, 31}), 0);
    EXPECT_EQ(productionDate1({2091, 1, 1}), 0);
    EXPECT_EQ(productionDate1({}), 0);
    // A day past the end of its month is the month's last day, not an invalid date.
    EXPECT_EQ(productionDate1({2023, 2, 30}), day(2023, 2, 28));
    EXPECT_EQ(expiryDate1({2023, 4, 31}), day(2023, 4, 30));
}

TEST(VsdDates, TheSecondDateOfARangeIsNotBeforeTheFirstUnlessWrittenInFull)
{
    const std::int32_t first = productionDate1({2023, 5, 20});
    EXPECT_EQ(productionDate2({2023, 5, 0}, first), first); // 1 May would precede it
    EXPECT_EQ(productionDate2({2023, 6, 0}, first), day(2023, 6, 1));
    EXPECT_EQ(productionDate2({2023, 0, 0}, first), first);
    EXPECT_EQ(productionDate2({2023, 5, 10}, first), day(2023, 5, 10)); // as written
    EXPECT_EQ(productionDate2({0, 0, 0}, first), 0);
    const std::int32_t expiry = expiryDate1({2024, 3, 10});
    EXPECT_EQ(expiryDate2({2024, 0, 0}, expiry), day(2024, 12, 31));
    EXPECT_EQ(expiryDate2({2023, 0, 0}, expiry), expiry);
}

TEST(VsdShelfLife, ReserveInDaysAndPercentMarkTheVsd)
{
    const std::int32_t produced = day(2023, 1, 1);
    const std::int32_t expires = day(2023, 1, 10);
    // Ten days of shelf life, issued on the 8th: 3 days = 30 % left, no mark.
    ShelfLife s = shelfLife(day(2023, 1, 8), produced, 0, expires);
    EXPECT_EQ(s.actualDays, 10);
    EXPECT_EQ(s.reserveDays, 3);
    EXPECT_EQ(s.reservePercent, 30);
    EXPECT_EQ(s.mark, ShelfMark::None);
    // Issued on the 9th: 20 %, low reserve.
    s = shelfLife(day(2023, 1, 9), produced, 0, expires);
    EXPECT_EQ(s.reservePercent, 20);
    EXPECT_EQ(s.mark, ShelfMark::LowReserve);
    // Issued after the expiry: expired, the reserve negative.
    s = shelfLife(day(2023, 1, 12), produced, 0, expires);
    EXPECT_EQ(s.reserveDays, -1);
    EXPECT_EQ(s.mark, ShelfMark::Expired);
    // The later production date counts when it is set.
    EXPECT_EQ(shelfLife(day(2023, 1, 8), produced, day(2023, 1, 6), expires).actualDays, 5);
    // Halves round away from zero: 1 day of 8 = 12.5 % -> 13.
    EXPECT_EQ(shelfLife(day(2023, 1, 10), day(2023, 1, 3), 0, expires).reservePercent, 13);
}

TEST(VsdShelfLife, NothingDividesByZero)
{
    // No expiry date: all 0, no mark.
    const ShelfLife none = shelfLife(day(2023, 6, 1), day(2023, 1, 1), 0, 0);
    EXPECT_EQ(none.actualDays, 0);
    EXPECT_EQ(none.reserveDays, 0);
    EXPECT_EQ(none.reservePercent, 0);
    EXPECT_EQ(none.mark, ShelfMark::None);
    // An expiry without a production date: the reserve in days alone marks it.
    ShelfLife s = shelfLife(day(2023, 6, 1), 0, 0, day(2023, 6, 3));
    EXPECT_EQ(s.actualDays, 0);
    EXPECT_EQ(s.reserveDays, 3);
    EXPECT_EQ(s.reservePercent, 0);
    EXPECT_EQ(s.mark, ShelfMark::None);
    s = shelfLife(day(2023, 6, 5), 0, 0, day(2023, 6, 3));
    EXPECT_EQ(s.mark, ShelfMark::Expired);
    // Produced after its expiry (a shelf life of 0 days).
    s = shelfLife(day(2023, 6, 1), day(2023, 6, 10), 0, day(2023, 6, 3));
    EXPECT_EQ(s.actualDays, 0);
    EXPECT_EQ(s.reservePercent, 0);
    EXPECT_EQ(s.mark, ShelfMark::None);
}

TEST(VsdStatus, FinalizedWinsAndTheLoadTellsTheApplicationsState)
{
    EXPECT_EQ(statusCode(true, "CONFIRMED"), 4);
    EXPECT_EQ(statusCode(false, "CONFIRMED"), 1);
    EXPECT_EQ(statusCode(false, "UTILIZED"), 3);
    EXPECT_EQ(statusCode(false, "confirmed"), 0);
    EXPECT_EQ(applicationStatusSuffix("COMPLETED"), QStringLiteral(" (УСПЕХ)"));
    EXPECT_EQ(applicationStatusSuffix("SOMETHING"), QStringLiteral(" (??"
                                                                   "?)"));
    EXPECT_EQ(shelfLifeWarning(0, 0), QString());
    EXPECT_EQ(shelfLifeWarning(2, 0),
              QStringLiteral("Внимание !!!|| В журнал ВСД добавлены записи с продукцией:||"
                             "- просроченной на дату оформления ВСД: 2 !|"));
    EXPECT_EQ(shelfLifeWarning(1, 3),
              QStringLiteral("Внимание !!!|| В журнал ВСД добавлены записи с продукцией:||"
                             "- просроченной на дату оформления ВСД: 1;|"
                             "- с запасом срока годности менее рекомендуемого: 3 !|"));
}

} // namespace
