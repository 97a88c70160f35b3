// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/InsideRows.h"

#include "support/TestSupport.h"

#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/tables/Inside.h"
#include "store/tables/Vsd.h"
#include "workspace/SearchMask.h"

#include <gtest/gtest.h>

using namespace workspace;

namespace {

class InsideRows : public ::testing::Test
{
protected:
    InsideRow rowOf(int kind, const store::InsideRecord& r) { return insideRow(kind, r, m_names); }

    testsupport::TempFolder m_folder;
    store::Session m_session{m_folder.path(), QString(), store::Access::ReadOnly};
    LocalEnterpriseNames m_names{m_session};
};

store::InsideRecord emptyInside()
{
    store::InsideRecord r{};
    store::setText(r.UUID, "");
    for (auto* guid : {&r.GUID1, &r.GUID2, &r.GUID3, &r.GUID4, &r.GUID5, &r.GUID6})
        store::setText(*guid, "");
    return r;
}

TEST_F(InsideRows, UnknownDocumentCodesNameTheCode)
{
    store::InsideRecord r = emptyInside();
    store::setZText(r.STR40_01, "AB");
    store::setZText(r.STR40_02, "17");
    r.LONG_01 = platform::dayNumber(QDate(2024, 2, 29));
    r.BYTE_01 = 30;
    r.BYTE_02 = 9;
    const InsideRow unknown = rowOf(2, r);
    ASSERT_EQ(unknown.cells.size(), insideColumns(2).size());
    EXPECT_EQ(unknown.cells[2].text, QStringLiteral("29.02.2024"));
    EXPECT_EQ(unknown.cells[3].text, QStringLiteral("Неизвестный тип ТТН: 30"));
    EXPECT_EQ(unknown.cells[4].text, QStringLiteral("Неизвестный тип отношения: 9"));

    r.BYTE_01 = 1;
    r.BYTE_02 = 1;
    r.LONG_01 = 0;
    const InsideRow known = rowOf(2, r);
    EXPECT_EQ(known.cells[2].text, QString()); // no date: blank
    EXPECT_EQ(known.cells[3].text, QStringLiteral("Товарно-транспортная накладная"));
    EXPECT_EQ(known.cells[4].text, QStringLiteral("Сопроводительный документ"));
}

TEST_F(InsideRows, StatusChangeStampGivesItsDateAndTime)
{
    store::InsideRecord r = emptyInside();
    store::setZText(r.STR40_03, "2024-03-01T10:15:00");
    store::setZText(r.STR40_04, "WITHDRAWN");
    const InsideRow row = rowOf(7, r);
    EXPECT_EQ(row.cells[0].text, QStringLiteral("01.03.2024"));
    EXPECT_EQ(row.cells[1].text, QStringLiteral("10:15:00"));
    EXPECT_EQ(row.cells[2].text, QStringLiteral("Аннулирован. Не действующий более сертификат"));

    // A stamp with a zone or fractions reads the same; a broken one shows nothing.
    EXPECT_EQ(stampTime("2024-03-01T10:15:00.123+03:00"), stampTime("2024-03-01T10:15:00"));
    EXPECT_EQ(stampDay("2024-3-1"), 0);
    EXPECT_EQ(stampTime("2024-03-01"), 0);
    EXPECT_EQ(stampTime("2024-03-01T25:99:00"), 0);
    store::setZText(r.STR40_03, "");
    store::setZText(r.STR40_04, "PENDING");
    const InsideRow blank = rowOf(7, r);
    EXPECT_EQ(blank.cells[0].text, QString());
    EXPECT_EQ(blank.cells[1].text, QString());
    EXPECT_EQ(blank.cells[2].text, QStringLiteral("?"
                                                  "??"));
}

TEST(InsideHeader, SeriesAndNumberOrNone)
{
    store::VsdRecord v{};
    store::setText(v.UUID, "0b0f2a5e-0000-4000-8000-000000000001");
    v.DATE = platform::dayNumber(QDate(2024, 5, 19));
    EXPECT_EQ(insideHeaderText(v),
              QStringLiteral("ВСД Б/Н от 19.05.2024 г., UUID: 0b0f2a5e-0000-4000-8000-000000000001"));
    store::setZText(v.ISSUENUMBER, "123  ");
    EXPECT_EQ(insideHeaderText(v),
              QStringLiteral("ВСД № 123 от 19.05.2024 г., UUID: 0b0f2a5e-0000-4000-8000-000000000001"));
    store::setZText(v.ISSUESERIES, platform::toCp1251(u"ВС"));
    EXPECT_EQ(insideHeaderText(v),
              QStringLiteral("ВСД № ВС / 123 от 19.05.2024 г., UUID: 0b0f2a5e-0000-4000-8000-000000000001"));
}

TEST_F(InsideRows, MaskLooksAtTheShownTexts)
{
    store::InsideRecord r = emptyInside();
    r.BYTE_01 = 3; // package level: the row shows its text, not the code
    store::setZText(r.STR250_01, platform::toCp1251(u"Коробка"));
    store::setZText(r.STR40_02, "12");
    const InsideRow row = rowOf(4, r);
    EXPECT_TRUE(insideRowMatches(row, searchMask(QStringLiteral("промежуточный"))));
    EXPECT_TRUE(insideRowMatches(row, searchMask(QStringLiteral("кор?бка"))));
    EXPECT_TRUE(insideRowMatches(row, QString()));
    EXPECT_FALSE(insideRowMatches(row, searchMask(QStringLiteral("транспортный"))));
    // A mask does not run from one column into the next.
    EXPECT_FALSE(insideRowMatches(row, searchMask(QStringLiteral("уровенькоробка"))));

    r.BYTE_02 = 3; // kind 2 relation: matched by its text
    const InsideRow document = rowOf(2, r);
    EXPECT_TRUE(insideRowMatches(document, searchMask(QStringLiteral("следующий"))));
}

TEST(InsideSort, DatesByDayNumbersTextsByCaseAndTiesByNumber)
{
    auto row = [](int number, QString text, std::int64_t key) {
        InsideRow r;
        r.number = number;
        r.cells = {{std::move(text), key}};
        return r;
    };
    std::vector<InsideRow> rows{row(1, QStringLiteral("02.01.2024"), 20),
                                row(2, QStringLiteral("01.02.2023"), 10),
                                row(3, QStringLiteral("03.01.2024"), 20)};
    sortInsideRows(rows, 0, false);
    EXPECT_EQ(rows[0].number, 2);
    EXPECT_EQ(rows[1].number, 1); // equal keys: then by text
    EXPECT_EQ(rows[2].number, 3);
    sortInsideRows(rows, 0, true);
    EXPECT_EQ(rows[0].number, 3);
    EXPECT_EQ(rows[2].number, 2);
    sortInsideRows(rows, -1, false);
    EXPECT_EQ(rows[0].number, 1);
    EXPECT_EQ(rows[2].number, 3);

    std::vector<InsideRow> texts{row(1, QStringLiteral("бета"), 0), row(2, QStringLiteral("Альфа"), 0),
                                 row(3, QStringLiteral("альфа"), 0)};
    sortInsideRows(texts, 0, false);
    EXPECT_EQ(texts[0].number, 2);
    EXPECT_EQ(texts[1].number, 3);
    EXPECT_EQ(texts[2].number, 1);
}

} // namespace
