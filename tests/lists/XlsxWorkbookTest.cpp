// SPDX-License-Identifier: LicenseRef-Kestrom
// The workbook writer: colours, texts, number formats, the format cache, and
// cells as an XLSX reader of its own sees them; failures that must not pass
// for a finished workbook.
#include "support/TestSupport.h"
#include "support/XlsxDump.h"

#include "lists/XlsxWorkbook.h"
#include "platform/Dates.h"

#include <QFile>
#include <QJsonArray>
#include <gtest/gtest.h>

#include <xlsxwriter.h>

using lists::WorkbookWriter;

namespace xlsxtest {

TEST(XlsxWorkbookTest, ColoursTextsAndNumberFormatsAreConverted)
{
    // Windows colours keep blue in the high byte; black is libxlsxwriter's
    // explicit black, not "no colour".
    EXPECT_EQ(lists::xlsxColor(0x0000FF), 0xFF0000u);
    EXPECT_EQ(lists::xlsxColor(0xFF0000), 0x0000FFu);
    EXPECT_EQ(lists::xlsxColor(0x123456), 0x563412u);
    EXPECT_EQ(lists::xlsxColor(0), static_cast<std::uint32_t>(LXW_COLOR_BLACK));
    // A system colour is resolved first: COLOR_WINDOW is white.
    EXPECT_EQ(lists::xlsxColor(0x80000005LL), 0xFFFFFFu);

    EXPECT_EQ(lists::xlsxText(u"a\r\nb\rc\n\r\n"), QByteArray("a\nb\rc\n\n"));
    EXPECT_EQ(lists::xlsxText(u"Объём"), QStringLiteral("Объём").toUtf8());
    EXPECT_TRUE(lists::xlsxText(u"").isEmpty());

    EXPECT_EQ(lists::integerNumberFormat(0, false), QStringLiteral("# ##0;-# ##0"));
    EXPECT_EQ(lists::integerNumberFormat(3, true), QStringLiteral("# ##0.000;[Red]-# ##0.000"));
    EXPECT_EQ(lists::integerNumberFormat(6, false), QStringLiteral("# ##0.000000;-# ##0.000000"));
    EXPECT_EQ(lists::percentNumberFormat(true), QStringLiteral("# ##0.00%;[Red]-# ##0.00%"));
    EXPECT_EQ(lists::percentNumberFormat(false), QStringLiteral("# ##0.00%;-# ##0.00%"));
}

TEST(XlsxWorkbookTest, OneFormatPerAttributeSet)
{
    testsupport::TempFolder folder;
    WorkbookWriter w;
    ASSERT_TRUE(w.newWorkbook(folder.file(QStringLiteral("f.xlsx"))));
    ASSERT_TRUE(w.addSheet(QStringLiteral("Лист1")));
    for (int row = 1; row <= 200; ++row) {
        w.resetFormat();
        w.attributes().border = LXW_BORDER_THIN;
        w.attributes().fontWeight = row % 2 ? 700 : 0;
        w.makeFormat();
        w.writeNumber(row, 1, row);
        w.integerPreset(2, row % 3 == 0);
        w.writeNumber(row, 2, row);
    }
    // Bold or not, times red negatives or not, with and without the preset.
    EXPECT_EQ(w.cachedFormats(), 6u);
    EXPECT_EQ(w.workbookFormats(), 6u);
    w.resetFormat();
    w.attributes().border = LXW_BORDER_THIN;
    w.attributes().fontWeight = 700;
    const WorkbookWriter::Format again = w.makeFormat(false);
    w.attributes().fontWeight = 0;
    EXPECT_NE(w.makeFormat(false), again);
    EXPECT_EQ(w.workbookFormats(), 6u);
    EXPECT_TRUE(w.close());
}

class XlsxReadBackTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (testsupport::pythonWithOpenpyxl().isEmpty())
            GTEST_SKIP() << "python3 with openpyxl is missing";
    }

    QJsonObject cells(const QJsonObject& dump) { return dump.value(QStringLiteral("cells")).toObject(); }

    testsupport::TempFolder m_folder;
};

TEST_F(XlsxReadBackTest, ValuesDatesMergesAndSheetSettings)
{
    const QString file = m_folder.file(QStringLiteral("cells.xlsx"));
    WorkbookWriter w;
    ASSERT_TRUE(w.newWorkbook(file));
    WorkbookWriter::Properties properties;
    properties.title = QStringLiteral("Заголовок");
    properties.comments = QStringLiteral("раз\r\nдва");
    properties.createdDay = platform::dayNumber(QDate(2024, 5, 20));
    properties.createdTime = platform::timeNumber(QTime(10, 11, 12));
    w.setProperties(properties);
    ASSERT_TRUE(w.addSheet(QStringLiteral("Лист1")));
    w.setPaper(9);
    w.setLandscape();
    w.hideZeroValues();
    w.setZoom(90);
    w.setMargins(2.54, 1.27, -1, 0.8);
    w.freezePanes(3, 2);

    w.writeValue(1, 1, u"  ");
    w.writeValue(1, 2, u" 12.5 ");
    w.writeValue(1, 3, u"12,5 кг");
    w.writeValue(1, 4, u"-3");
    w.writeString(1, 5, u"строка\r\nвторая");

    const std::int32_t day = platform::dayNumber(QDate(2024, 5, 20));
    const std::int32_t time = platform::timeNumber(QTime(13, 45, 30));
    w.datePreset();
    w.writeDateTime(2, 1, day, 0);
    w.writeDateTime(2, 2, 0, 0); // nothing: a blank cell, not day 0
    w.writeDateTime(2, 3, day, time);
    w.resetFormat();
    w.timePreset();
    w.writeDateTime(2, 4, 0, time);
    w.writeDateTime(2, 5, 0, platform::timeNumber(QTime(0, 0, 0)));

    w.resetFormat();
    w.attributes().fontWeight = 700;
    w.attributes().wrap = true;
    w.makeFormat();
    EXPECT_TRUE(w.merge(4, 1, 4, 3, u"вместе"));
    EXPECT_TRUE(w.merge(5, 1, 5, 1, u"одна"));
    w.setCurrentFormat(nullptr);
    w.setColumn(1, 1, 8);
    w.setColumn(2, 2, 12, false, 1);
    w.setRow(6, 8);
    w.setRow(7, 15, false, 1);
    w.outlineSettings(true, false, false, false);
    ASSERT_TRUE(w.close()) << w.errorText().toStdString();

    QString error;
    const QJsonObject dump = testsupport::dumpXlsx(file, &error);
    ASSERT_FALSE(dump.isEmpty()) << error.toStdString();
    const QJsonObject c = cells(dump);
    const auto value = [&c](const char* cell) {
        return c.value(QLatin1String(cell)).toObject().value(QLatin1String("v"));
    };

    // A blank without a format is no cell at all.
    EXPECT_TRUE(value("A1").isUndefined());
    EXPECT_DOUBLE_EQ(value("B1").toDouble(), 12.5);
    EXPECT_EQ(value("C1").toString(), QStringLiteral("12,5 кг"));
    EXPECT_DOUBLE_EQ(value("D1").toDouble(), -3);
    EXPECT_EQ(value("E1").toString(), QStringLiteral("строка\nвторая"));

    EXPECT_EQ(value("A2").toString(), QStringLiteral("2024-05-20T00:00:00"));
    EXPECT_TRUE(value("B2").isNull());
    EXPECT_EQ(c.value(QLatin1String("B2")).toObject().value(QLatin1String("fmt")).toString(),
              QStringLiteral("DD.MM.YYYY"));
    EXPECT_EQ(value("C2").toString(), QStringLiteral("2024-05-20T13:45:30"));
    EXPECT_EQ(value("D2").toString(), QStringLiteral("13:45:30"));
    EXPECT_EQ(c.value(QLatin1String("D2")).toObject().value(QLatin1String("fmt")).toString(),
              QStringLiteral("HH:MM:SS"));
    EXPECT_EQ(value("E2").toString(), QStringLiteral("00:00:00"));

    EXPECT_EQ(value("A4").toString(), QStringLiteral("вместе"));
    EXPECT_TRUE(c.value(QLatin1String("A4")).toObject().value(QLatin1String("bold")).toBool());
    EXPECT_EQ(value("A5").toString(), QStringLiteral("одна"));
    EXPECT_EQ(dump.value(QLatin1String("merged")).toArray(), QJsonArray({QStringLiteral("A4:C4")}));

    EXPECT_EQ(dump.value(QLatin1String("freeze")).toString(), QStringLiteral("B3"));
    EXPECT_FALSE(dump.value(QLatin1String("showZeros")).toBool(true));
    EXPECT_EQ(dump.value(QLatin1String("zoom")).toInt(), 90);
    EXPECT_EQ(dump.value(QLatin1String("orientation")).toString(), QStringLiteral("landscape"));
    EXPECT_EQ(dump.value(QLatin1String("paper")).toInt(), 9);
    const QJsonArray margins = dump.value(QLatin1String("margins")).toArray();
    EXPECT_DOUBLE_EQ(margins[0].toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(margins[1].toDouble(), 0.5);
    EXPECT_DOUBLE_EQ(margins[3].toDouble(), 0.315);
    EXPECT_FALSE(dump.value(QLatin1String("summaryBelow")).toBool(true));
    EXPECT_FALSE(dump.value(QLatin1String("summaryRight")).toBool(true));

    const QJsonObject columns = dump.value(QLatin1String("columns")).toObject();
    EXPECT_DOUBLE_EQ(columns.value(QLatin1String("1")).toObject().value(QLatin1String("width")).toDouble(),
                     8);
    EXPECT_EQ(columns.value(QLatin1String("2")).toObject().value(QLatin1String("level")).toInt(), 1);
    const QJsonObject rows = dump.value(QLatin1String("rows")).toObject();
    EXPECT_DOUBLE_EQ(rows.value(QLatin1String("6")).toObject().value(QLatin1String("height")).toDouble(), 8);
    EXPECT_EQ(rows.value(QLatin1String("7")).toObject().value(QLatin1String("level")).toInt(), 1);

    const QJsonObject props = dump.value(QLatin1String("props")).toObject();
    EXPECT_EQ(props.value(QLatin1String("title")).toString(), QStringLiteral("Заголовок"));
    EXPECT_EQ(props.value(QLatin1String("description")).toString(), QStringLiteral("раз\nдва"));
    EXPECT_EQ(props.value(QLatin1String("created")).toString(), QStringLiteral("2024-05-20T10:11:12"));
}

TEST(XlsxWorkbookFailureTest, AWorkbookThatCannotBeFinishedIsReported)
{
    testsupport::TempFolder folder;
    // The folder is gone by the time the workbook is written.
    const QString file = folder.file(QStringLiteral("gone/register.xlsx"));
    WorkbookWriter w;
    ASSERT_TRUE(w.newWorkbook(file));
    ASSERT_TRUE(w.addSheet(QStringLiteral("Лист1")));
    w.writeString(1, 1, u"текст");
    EXPECT_FALSE(w.close());
    EXPECT_FALSE(w.errorText().isEmpty());
    EXPECT_FALSE(QFile::exists(file));

    // A refused cell write is remembered even when the file itself is fine.
    const QString second = folder.file(QStringLiteral("rows.xlsx"));
    ASSERT_TRUE(w.newWorkbook(second));
    EXPECT_FALSE(w.failed());
    ASSERT_TRUE(w.addSheet(QStringLiteral("Лист1")));
    w.writeString(1, 1, u"первая");
    w.writeNumber(LXW_ROW_MAX + 1, 1, 1);
    w.writeString(2, 1, u"вторая");
    EXPECT_TRUE(w.failed());
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.errorText().contains(QStringLiteral("range"), Qt::CaseInsensitive))
        << w.errorText().toStdString();
}

} // namespace xlsxtest
