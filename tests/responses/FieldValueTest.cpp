// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/FieldValue.h"
#include "platform/CodePage.h"
#include "responses/ReferenceLists.h"
#include "responses/VsdList.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace responses;

namespace {

class FieldValueTest : public ::testing::Test
{
protected:
    FieldValueTest()
        : layout(VsdRow::layout())
        , record(layout.recordLength)
    {
        clearRecord(layout, record.data());
    }
    const ResponseField& field(std::string_view name) const
    {
        return layout.fields[static_cast<std::size_t>(layout.fieldIndex(name))];
    }
    void assign(std::string_view name, std::string_view value)
    {
        assignFieldValue(record.data(), field(name), value);
    }
    std::string text(std::string_view name) const { return fieldText(record.data(), field(name)); }
    double number(std::string_view name) const { return fieldNumber(record.data(), field(name)); }

    const ListLayout& layout;
    std::vector<std::byte> record;
};

} // namespace

TEST(ConvertText, GivesTheProgramCodePageWithoutTrailingZeros)
{
    EXPECT_EQ(ConvertText(""), "");
    EXPECT_EQ(ConvertText(std::string_view("\0", 1)), "");
    EXPECT_EQ(ConvertText(std::string_view("ab\0\0", 4)), "ab");
    EXPECT_EQ(ConvertText("0"), "0"); // the digit is a value, not a terminator
    EXPECT_EQ(ConvertText("Мясо"), "\xCC\xFF\xF1\xEE");
    EXPECT_EQ(ConvertText("A\xE2\x82\xAC"),
              platform::utf8ToCp1251("A\xE2\x82\xAC")); // euro sign exists in 1251
}

TEST_F(FieldValueTest, ClearedRecordIsBlankTextsAndZeros)
{
    EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(record.data()), 36), std::string(36, ' '));
    EXPECT_EQ(text("ISSUESERIES"), "");
    EXPECT_EQ(number("PACKQUANTITY"), 0);
}

TEST_F(FieldValueTest, WidthThirtySixIsTakenUnconverted)
{
    // A GUID field keeps UTF-8 bytes as they are; a name is converted.
    assign("UUID", "Мясо");
    assign("PRODUCTITEM_NAME", "Мясо");
    EXPECT_EQ(text("UUID"), "Мясо");
    EXPECT_EQ(text("PRODUCTITEM_NAME"), "\xCC\xFF\xF1\xEE");
}

TEST_F(FieldValueTest, CapacityOfTextAndZeroTerminatedFields)
{
    assign("PACKGLOBALID", "ABCDEFG"); // ztext(4) keeps 3
    EXPECT_EQ(text("PACKGLOBALID"), "ABC");
    assign("UUID", std::string(40, 'x')); // text(36) keeps 36
    EXPECT_EQ(text("UUID"), std::string(36, 'x'));
    std::string letters;
    for (int i = 0; i < 300; ++i)
        letters += "Ж";                  // 600 UTF-8 bytes, 300 letters in the code page
    assign("PRODUCTITEM_NAME", letters); // ztext(256) keeps 255 letters
    EXPECT_EQ(text("PRODUCTITEM_NAME"), std::string(255, '\xC6'));
    assign("ISSUESERIES", "AB");
    assign("ISSUESERIES", "C"); // a shorter value leaves nothing of the longer one
    EXPECT_EQ(text("ISSUESERIES"), "C");
}

TEST_F(FieldValueTest, NumbersAndBooleans)
{
    assign("PROYEAR1", "2024");
    assign("PROMONTH1", "05");
    assign("FINALIZED", "tRuE");
    assign("PACKQUANTITY", " 42 pcs");
    assign("QURANTINEDURATION", "70000");
    assign("PRODAY1", "-3");
    EXPECT_EQ(number("PROYEAR1"), 2024);
    EXPECT_EQ(number("PROMONTH1"), 5);
    EXPECT_EQ(number("FINALIZED"), 1);
    EXPECT_EQ(number("PACKQUANTITY"), 42);
    EXPECT_EQ(number("QURANTINEDURATION"), 65535);
    EXPECT_EQ(number("PRODAY1"), 0);
    EXPECT_EQ(text("PROYEAR1"), "2024");
    assign("FINALIZED", "yes");
    EXPECT_EQ(number("FINALIZED"), 0);
}

TEST(LeadingNumber, PlainDecimalNotationOnly)
{
    EXPECT_EQ(leadingNumber("812.4"), 812.4);
    EXPECT_EQ(leadingNumber("  -7x"), -7);
    EXPECT_EQ(leadingNumber("+3"), 3);
    EXPECT_EQ(leadingNumber(".5"), 0.5);
    EXPECT_EQ(leadingNumber("1e3"), 1000);
    EXPECT_EQ(leadingNumber("1e"), 1);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("-"), 0);
    EXPECT_EQ(leadingNumber("inf"), 0);
    EXPECT_EQ(leadingNumber("nan"), 0);
    EXPECT_EQ(leadingNumber("0x1A"), 0);
}

TEST(ResponseList, AddSortAndTypedAccess)
{
    TypedList<UnitRow> list;
    UnitRow row;
    for (const char* name : {"c", "a", "b"}) {
        clearRecord(list.layout(), reinterpret_cast<std::byte*>(&row));
        std::strcpy(row.NAME, name);
        row.FACTOR = name[0];
        ASSERT_TRUE(list.add(&row));
    }
    ASSERT_EQ(list.count(), 3u);
    ASSERT_TRUE(list.sortRows([](const std::byte* a, const std::byte* b) {
        return std::strcmp(reinterpret_cast<const UnitRow*>(a)->NAME,
                           reinterpret_cast<const UnitRow*>(b)->NAME) < 0;
    }));
    EXPECT_STREQ(list[0].NAME, "a");
    EXPECT_EQ(+list[0].FACTOR, 'a');
    EXPECT_STREQ(list[2].NAME, "c");
    list.clear();
    EXPECT_EQ(list.count(), 0u);
}

TEST(ResponseList, RowsSpanningManyChunksKeepTheirContents)
{
    TypedList<VsdRow> list; // records of several kilobytes: a few per chunk
    VsdRow row;
    for (int i = 0; i < 50; ++i) {
        clearRecord(list.layout(), reinterpret_cast<std::byte*>(&row));
        row.PACKQUANTITY = 49 - i;
        std::snprintf(row.ISSUENUMBER, sizeof row.ISSUENUMBER, "%d", i);
        ASSERT_TRUE(list.add(&row));
    }
    ASSERT_EQ(list.count(), 50u);
    ASSERT_TRUE(list.sortRows([](const std::byte* a, const std::byte* b) {
        return reinterpret_cast<const VsdRow*>(a)->PACKQUANTITY <
               reinterpret_cast<const VsdRow*>(b)->PACKQUANTITY;
    }));
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(+list[static_cast<std::size_t>(i)].PACKQUANTITY, i);
        EXPECT_EQ(std::string_view(list[static_cast<std::size_t>(i)].ISSUENUMBER), std::to_string(49 - i));
    }
}
