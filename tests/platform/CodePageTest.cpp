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

TEST(CodePage, QStringBoundary)
{
    const QString s = QStringLiteral("Погашен");
    EXPECT_EQ(fromCp1251(toCp1251(s)), s);
    EXPECT_TRUE(toCp1251(QString()).empty());
}
