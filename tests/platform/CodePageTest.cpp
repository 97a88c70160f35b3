// SPDX-License-Identifier: LicenseRef-Kestrom
#include "platform/CodePage.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(CodePage, CyrillicRoundTripsThroughWindows1251)
{
    const std::string utf8 = "Сообщение: ёЁ №1";
    const std::string cp = utf8ToCp1251(utf8);
    // One byte per character in the code page.
    EXPECT_EQ(cp.size(), 16u);
    EXPECT_EQ(static_cast<unsigned char>(cp[0]), 0xD1);  // С
    EXPECT_EQ(static_cast<unsigned char>(cp[11]), 0xB8); // ё
    EXPECT_EQ(cp1251ToUtf8(cp), utf8);
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(utf8ToCp1251("a\xE4\xB8\xAD"
                           "b"),
              "a?b");                                      // a CJK character
    EXPECT_EQ(utf8ToCp1251("\xF0\x9F\x98\x80"), "?");      // an emoji
    EXPECT_EQ(utf8ToCp1251("bad \xC3"), "");               // truncated sequence: not UTF-8
    EXPECT_EQ(cp1251ToUtf8(std::string("x\x98y")), "x?y"); // the undefined byte
}

TEST(CodePage, InvalidUtf8BesideAForeignCharacterGivesAnEmptyResult)
{
    // Each goes through the same path as a character the code page lacks, and
    // must not come out as '?'.
    for (const char* bad : {
             "\xED\xA0\x80",     // a surrogate (U+D800)
             "\xED\xBF\xBF",     // a surrogate (U+DFFF)
             "\xE0\x80\x80",     // overlong three-byte form
             "\xE0\x9F\xBF",     // overlong three-byte form
             "\xF0\x80\x80\x80", // overlong four-byte form
             "\xF0\x8F\xBF\xBF", // overlong four-byte form
             "\xF4\x90\x80\x80", // past U+10FFFF
             "\xF5\x80\x80\x80", // lead byte never used
             "\xC0\xAF",         // overlong two-byte form
             "\xC1\xBF",         // overlong two-byte form
             "\xFF",             // not a lead byte
             "\x80",             // continuation byte without a lead
             "\xE4\xB8",         // cut short
         }) {
        EXPECT_EQ(utf8ToCp1251(std::string("a") + bad + "b"), "") << "input: " << testing::PrintToString(bad);
        // Also after a character the code page lacks, when the conversion is
        // already skipping foreign characters.
        EXPECT_EQ(utf8ToCp1251(std::string("\xE4\xB8\xAD") + bad), "")
            << "input: " << testing::PrintToString(bad);
    }
    // The limits that are still valid: U+E000 after the surrogates, U+10FFFF,
    // U+0800 and U+10000 (none in the code page).
    EXPECT_EQ(utf8ToCp1251("\xEE\x80\x80\xF4\x8F\xBF\xBF\xE0\xA0\x80\xF0\x90\x80\x80"), "????");
    EXPECT_EQ(utf8ToCp1251("\xD0\x96\xED\x9F\xBF"), "\xC6?"); // Ж, then U+D7FF
}

TEST(CodePage, QStringBoundary)
{
    const QString s = QStringLiteral("Погашен");
    EXPECT_EQ(fromCp1251(toCp1251(s)), s);
    EXPECT_TRUE(toCp1251(QString()).empty());
}
