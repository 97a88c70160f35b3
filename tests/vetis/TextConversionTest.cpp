// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/TextConversion.h"

#include <gtest/gtest.h>

using namespace vetis;

TEST(TextConversion, EscapeXmlLeavesBlanksAndNumbersTrimmedAndUntouched)
{
    EXPECT_EQ(EscapeXml(""), "");
    EXPECT_EQ(EscapeXml("     "), "");
    EXPECT_EQ(EscapeXml("1003"), "1003");
    EXPECT_EQ(EscapeXml("   1003   "), "1003");
    EXPECT_EQ(EscapeXml(" -12.50 "), "-12.50");
    EXPECT_EQ(EscapeXml(std::string_view("42\0\0\0", 5)), "42");
}

TEST(TextConversion, EscapeXmlReplacesSpecialAndControlCharacters)
{
    EXPECT_EQ(EscapeXml("a<b & c>d"), "a&lt;b &amp; c&gt;d");
    EXPECT_EQ(EscapeXml("\"q\" 'a'"), "&quot;q&quot; &apos;a&apos;");
    // Control characters become blanks; CR and LF stay; leading blanks stay.
    EXPECT_EQ(EscapeXml("  x\x01\x09\x0B\x0C\x1F"
                        "y\r\nz  "),
              "  x     y\r\nz");
    // A number with an ampersand is not a number.
    EXPECT_EQ(EscapeXml("12&3"), "12&amp;3");
    // The escaped text is converted like any record text: control characters
    // that leave nothing but blanks give the empty text, and a number they
    // leave behind loses its trailing blanks.
    EXPECT_EQ(EscapeXml("\t\x01"), "");
    EXPECT_EQ(EscapeXml("12\t"), "12");
}

TEST(TextConversion, EscapeXmlConvertsCyrillicToUtf8)
{
    // "Ёлка & ель" in Windows-1251.
    EXPECT_EQ(EscapeXml("\xA8\xEB\xEA\xE0 & \xE5\xEB\xFC"), "Ёлка &amp; ель");
    EXPECT_EQ(EscapeXml("\xB9 5"), "№ 5");
}

TEST(TextConversion, ToUtf8AndFromUtf8)
{
    EXPECT_EQ(ToUtf8("   "), "");
    EXPECT_EQ(ToUtf8("12.5   "), "12.5");
    EXPECT_EQ(ToUtf8("\xCC\xE8\xF0"), "Мир");
    EXPECT_EQ(FromUtf8("Мир"), "\xCC\xE8\xF0");
    EXPECT_EQ(FromUtf8(std::string_view("\0", 1)), "");
    EXPECT_EQ(FromUtf8(std::string_view("ok\0\0", 4)), "ok");
    EXPECT_EQ(FromUtf8(""), "");
    // A damaged value keeps what can be read, and the caller learns of the damage.
    platform::ConversionLoss loss;
    EXPECT_EQ(FromUtf8("\xFF\xFE broken \xD0\x9C", &loss), "?? broken \xCC");
    EXPECT_EQ(loss.invalid, 2u);
    EXPECT_EQ(FromUtf8(std::string_view("ok\0", 3), &loss), "ok");
    EXPECT_FALSE(loss.any());
    const std::string all = [] {
        std::string s;
        for (int c = 0x20; c < 0x100; ++c)
            if (c != 0x98) // the one unassigned byte of Windows-1251
                s += static_cast<char>(c);
        return s;
    }();
    EXPECT_EQ(FromUtf8(ToUtf8(all)), all);
}

TEST(TextConversion, ValuesAsTheyStandAreUnchangedWhenSafeAndMadeSafeOtherwise)
{
    // GUIDs, keys, logins, dates, codes: byte-identical, only clipped.
    for (const std::string_view safe :
         {"74a3cbb1-56fa-94f3-ab3f-e8db4940d96b", "MzY0YWJjZGVmMTIzNDU2Nzg5MA==", "user_ab_150101",
          "2024-05-15T10:20:30", "INCOMING", " lead"})
        EXPECT_EQ(XmlValueAsIs(safe), std::string(safe));
    EXPECT_EQ(XmlValueAsIs("CHILLED     "), "CHILLED");
    EXPECT_EQ(XmlValueAsIs("a<b>&'\"\x02"), "a&lt;b&gt;&amp;&apos;&quot; ");
    EXPECT_EQ(XmlValueAsIs("\xC0\x31\x32\x33"), "А123"); // non-ASCII goes out as UTF-8
    EXPECT_EQ(XmlValueAsIs("   "), "");
}

TEST(TextConversion, NumberRecognition)
{
    EXPECT_TRUE(isNumberText("0"));
    EXPECT_TRUE(isNumberText(" +1.5 "));
    EXPECT_TRUE(isNumberText(".5"));
    EXPECT_FALSE(isNumberText(""));
    EXPECT_FALSE(isNumberText("-"));
    EXPECT_FALSE(isNumberText("1.2.3"));
    EXPECT_FALSE(isNumberText("1 2"));
    EXPECT_FALSE(isNumberText("1e5"));
}
