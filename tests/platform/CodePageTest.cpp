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
    ConversionLoss loss;
    EXPECT_EQ(utf8ToCp1251("a\xE4\xB8\xAD"
                           "b",
                           &loss),
              "a?b"); // a CJK character
    EXPECT_EQ(loss.unmappable, 1u);
    EXPECT_EQ(loss.invalid, 0u);
    EXPECT_EQ(utf8ToCp1251("\xF0\x9F\x98\x80"), "?");      // an emoji
    EXPECT_EQ(cp1251ToUtf8(std::string("x\x98y")), "x?y"); // the undefined byte
    utf8ToCp1251("plain ascii", &loss);
    EXPECT_FALSE(loss.any()) << "the report starts afresh with every call";
}

TEST(CodePage, InvalidUtf8IsReplacedAndCountedTheRestConverted)
{
    // The value around an ill-formed part survives: one damaged byte does not
    // cost the whole text.
    ConversionLoss loss;
    EXPECT_EQ(utf8ToCp1251("\xD0\x9C\xD0\xB8\xD1\x80\xFF\xD0\xBC\xD0\xB8\xD1\x80", &loss),
              "\xCC\xE8\xF0?\xEC\xE8\xF0"); // "Мир", a stray byte, "мир"
    EXPECT_EQ(loss.invalid, 1u);
    EXPECT_EQ(loss.unmappable, 0u);
    EXPECT_EQ(utf8ToCp1251("bad \xC3", &loss), "bad ?"); // cut short at the end
    EXPECT_EQ(loss.invalid, 1u);

    // Each maximal ill-formed part is one '?', never taken for a character the
    // code page lacks, also right after one.
    const std::pair<const char*, std::size_t> cases[] = {
        {"\xED\xA0\x80", 3},     // a surrogate (U+D800)
        {"\xED\xBF\xBF", 3},     // a surrogate (U+DFFF)
        {"\xE0\x80\x80", 3},     // overlong three-byte form
        {"\xE0\x9F\xBF", 3},     // overlong three-byte form
        {"\xF0\x80\x80\x80", 4}, // overlong four-byte form
        {"\xF0\x8F\xBF\xBF", 4}, // overlong four-byte form
        {"\xF4\x90\x80\x80", 4}, // past U+10FFFF
        {"\xF5\x80\x80\x80", 4}, // lead byte never used
        {"\xC0\xAF", 2},         // overlong two-byte form
        {"\xC1\xBF", 2},         // overlong two-byte form
        {"\xFF", 1},             // not a lead byte
        {"\x80", 1},             // continuation byte without a lead
        {"\xE4\xB8", 1},         // cut short
        {"\xF0\x9F\x98", 1},     // cut short
    };
    for (const auto& [bad, parts] : cases) {
        const std::string marks(parts, '?');
        EXPECT_EQ(utf8ToCp1251(std::string("a") + bad + "b", &loss), "a" + marks + "b")
            << "input: " << testing::PrintToString(bad);
        EXPECT_EQ(loss.invalid, parts) << testing::PrintToString(bad);
        EXPECT_EQ(loss.unmappable, 0u) << testing::PrintToString(bad);
        EXPECT_EQ(utf8ToCp1251(std::string("\xE4\xB8\xAD") + bad, &loss), "?" + marks)
            << "input: " << testing::PrintToString(bad);
        EXPECT_EQ(loss.invalid, parts);
        EXPECT_EQ(loss.unmappable, 1u);
    }
    // The limits that are still valid: U+E000 after the surrogates, U+10FFFF,
    // U+0800 and U+10000 (none in the code page).
    EXPECT_EQ(utf8ToCp1251("\xEE\x80\x80\xF4\x8F\xBF\xBF\xE0\xA0\x80\xF0\x90\x80\x80", &loss), "????");
    EXPECT_EQ(loss.invalid, 0u);
    EXPECT_EQ(loss.unmappable, 4u);
    EXPECT_EQ(utf8ToCp1251("\xD0\x96\xED\x9F\xBF"), "\xC6?"); // Ж, then U+D7FF
}

TEST(CodePage, QStringBoundary)
{
    const QString s = QStringLiteral("Погашен");
    EXPECT_EQ(fromCp1251(toCp1251(s)), s);
    EXPECT_TRUE(toCp1251(QString()).empty());
}
