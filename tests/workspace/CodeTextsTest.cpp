// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/CodeTexts.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

using namespace workspace;

namespace {

TEST(CodeTexts, CodesAreMatchedAsRecordsKeepThem)
{
    // A text field of a record is padded with blanks; role and event codes
    // may come in any case.
    EXPECT_EQ(vsdTypeText("INCOMING   "), vsdTypeText("INCOMING"));
    EXPECT_NE(vsdTypeText("INCOMING"), QStringLiteral("INCOMING"));
    EXPECT_EQ(roleText("cold_store"), roleText("COLD_STORE"));
    EXPECT_NE(roleText("COLD_STORE"), QStringLiteral("???"));
    EXPECT_EQ(eventTypeText("qrt  "), eventTypeText("QRT"));
    EXPECT_NE(eventTypeText("QRT"), QStringLiteral("???"));
    // Word codes are not case-folded where the service's words are exact.
    EXPECT_EQ(formText("certcu1"), QStringLiteral("certcu1"));
}

TEST(CodeTexts, EachCallerChoosesWhatAnUnknownCodeShows)
{
    // The list's behaviour by default.
    EXPECT_EQ(vsdTypeText("IMPORT"), QStringLiteral("IMPORT"));
    EXPECT_EQ(statusText(9), QStringLiteral("9"));
    EXPECT_EQ(storageTypeText("WARM"), QStringLiteral("WARM"));
    EXPECT_EQ(formText("CERT99"), QStringLiteral("CERT99"));
    EXPECT_EQ(documentTypeText(25), QString());
    EXPECT_EQ(documentTypeText(0), QString());
    EXPECT_EQ(relationText(7), QString());
    EXPECT_EQ(transportTypeText(8), QString());
    EXPECT_EQ(roleText("TRADER"), QStringLiteral("???"));
    EXPECT_EQ(eventTypeText("XYZ"), QStringLiteral("???"));
    // The card, the nested lists and the register ask for their own.
    EXPECT_EQ(vsdTypeText("IMPORT", UnknownCode::fixed(QStringLiteral("???"))), QStringLiteral("???"));
    EXPECT_EQ(documentTypeText(31, UnknownCode::prefixed(QStringLiteral("Неизвестный тип ТТН: "))),
              QStringLiteral("Неизвестный тип ТТН: 31"));
    EXPECT_EQ(relationText(-2, UnknownCode::prefixed(QStringLiteral("Неизвестный тип отношения: "))),
              QStringLiteral("Неизвестный тип отношения: -2"));
    EXPECT_EQ(formText("CERT99", UnknownCode::empty()), QString());
    // A known code is never replaced by the fallback.
    EXPECT_EQ(documentTypeText(1, UnknownCode::prefixed(QStringLiteral("x"))), documentTypeText(1));
    EXPECT_FALSE(documentTypeText(24).isEmpty());
    // A code shown as stored keeps its Cyrillic letters (records hold Windows-1251).
    const std::string cyrillic = platform::toCp1251(QStringLiteral("ВХОДЯЩИЙ"));
    EXPECT_EQ(vsdTypeText(cyrillic), QStringLiteral("ВХОДЯЩИЙ"));
}

TEST(CodeTexts, TransportNumbersJoinOnlyWhatIsThere)
{
    const QString v = QStringLiteral("А123ВС77"), t = QStringLiteral("АВ1234"), c = QStringLiteral("MSKU1"),
                  w = QStringLiteral("W5"), f = QStringLiteral("SU100"), s = QStringLiteral("Нева");
    EXPECT_EQ(TransportNumberText(1, v, {}, {}, w, f, s), v);
    EXPECT_EQ(TransportNumberText(1, v, t, {}, w, f, s), v + QStringLiteral(" / ") + t);
    EXPECT_EQ(TransportNumberText(1, v, t, c, w, f, s),
              v + QStringLiteral(" / ") + t + QStringLiteral(" / ") + c);
    EXPECT_EQ(TransportNumberText(1, v, {}, c, w, f, s), v + QStringLiteral(" / ") + c);
    EXPECT_EQ(TransportNumberText(1, {}, t, {}, w, f, s), t);
    EXPECT_EQ(TransportNumberText(1, {}, {}, c, w, f, s), c);
    EXPECT_EQ(TransportNumberText(1, {}, {}, {}, w, f, s), QString());
    EXPECT_EQ(TransportNumberText(2, v, t, c, w, f, s), w);
    EXPECT_EQ(TransportNumberText(3, v, t, c, w, f, s), f);
    for (int sea : {4, 5, 6})
        EXPECT_EQ(TransportNumberText(sea, v, t, c, w, f, s), s);
    for (int other : {0, 7, 8, -1})
        EXPECT_EQ(TransportNumberText(other, v, t, c, w, f, s), QString());
}

} // namespace
