// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/EnvelopeWriter.h"
#include "platform/Dates.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace vetis;

TEST(EnvelopeWriter, RealsInShortestDecimalFormWithoutExponent)
{
    EXPECT_EQ(shortestDecimal(95.0), "95");
    EXPECT_EQ(shortestDecimal(812.4), "812.4");
    EXPECT_EQ(shortestDecimal(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(shortestDecimal(0.00001), "0.00001");
    EXPECT_EQ(shortestDecimal(1e20), "100000000000000000000");
    EXPECT_EQ(shortestDecimal(0.0), "0");
    // Not a number: never "nan" or "inf" in an envelope.
    EXPECT_EQ(shortestDecimal(std::numeric_limits<double>::quiet_NaN()), "0");
    EXPECT_EQ(shortestDecimal(std::numeric_limits<double>::infinity()), "0");
}

TEST(EnvelopeWriter, DateIntervalOnlyWithBothEnds)
{
    const std::int32_t first = platform::dayNumber(QDate(2023, 12, 31));
    const std::int32_t last = platform::dayNumber(QDate(2024, 1, 1));
    std::string out;
    EnvelopeWriter w(out, LineStyle::Single);
    w.dateInterval(first, 0);
    w.dateInterval(0, last);
    EXPECT_EQ(out, "");
    w.dateInterval(first, last);
    EXPECT_EQ(out,
              "<bs:beginDate>2023-12-31T00:00:00</bs:beginDate><bs:endDate>2024-01-01T23:59:59</bs:endDate>");
}

TEST(EnvelopeWriter, BreaksCanBeSuspendedInsideAMultiLineEnvelope)
{
    std::string out;
    EnvelopeWriter w(out, LineStyle::Multi);
    w.open("a");
    const bool old = w.setBreaks(false);
    w.guidRef("b", "bs:guid", "x");
    w.setBreaks(old);
    w.close("a");
    EXPECT_EQ(out, "<a>\r\n<b><bs:guid>x</bs:guid></b></a>\r\n");
}
