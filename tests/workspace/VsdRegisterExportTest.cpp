// SPDX-License-Identifier: LicenseRef-Kestrom
// The register of incoming VSDs as an XLSX reader of its own sees it: the
// layout, one row per stored VSD with its display texts, the totals, and
// the failures that must not pass for a finished workbook.
#include "support/TestSupport.h"
#include "support/XlsxDump.h"

#include "framework/ProcessSettings.h"
#include "framework/RecordingPresenter.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Vsd.h"
#include "workspace/VsdRegisterExport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <gtest/gtest.h>

#include <functional>

namespace registertest {

std::string registerUuid(int n)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "00000000-0000-4000-8000-%012d", 700 + n);
    return buf;
}

QString col(int column) // 1 -> "A", 27 -> "AA"
{
    QString name;
    for (int c = column; c > 0; c = (c - 1) / 26)
        name.prepend(QChar(u'A' + (c - 1) % 26));
    return name;
}

class VsdRegisterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(m_folder.path() + QStringLiteral("Base")));
        ASSERT_TRUE(QDir().mkpath(m_folder.path() + QStringLiteral("export")));
        framework::process::setTemporaryExportFolder(m_folder.path() + QStringLiteral("export/"));
        framework::setMessagePresenter(&m_presenter);
        platform::setClockForTesting([] { return QDateTime(QDate(2024, 5, 20), QTime(9, 0)); });
    }
    void TearDown() override
    {
        platform::setClockForTesting({});
        framework::setMessagePresenter(nullptr);
        framework::process::setTemporaryExportFolder(QString());
    }

    void add(int n, const std::function<void(store::VsdRecord&)>& fill)
    {
        store::TypedTable<store::VsdRecord> vsds(m_session, store::vsdTable());
        ASSERT_EQ(vsds.open(), store::kOk);
        vsds.clear();
        store::setText(vsds.rec().UUID, registerUuid(n));
        fill(vsds.rec());
        ASSERT_EQ(vsds.add(), store::kOk);
    }

    QJsonObject exported(const std::vector<std::string>& uuids)
    {
        m_file = workspace::exportVsdRegister(
            m_session, uuids, {QStringLiteral("ООО \"Ромашка\""), QStringLiteral("Склад №1")});
        if (m_file.isEmpty())
            return {};
        QString error;
        QJsonObject dump = testsupport::dumpXlsx(m_file, &error);
        EXPECT_FALSE(dump.isEmpty()) << error.toStdString();
        return dump;
    }

    static QJsonObject cell(const QJsonObject& dump, int column, int row)
    {
        return dump.value(QLatin1String("cells"))
            .toObject()
            .value(col(column) + QString::number(row))
            .toObject();
    }
    static QJsonValue value(const QJsonObject& dump, int column, int row)
    {
        return cell(dump, column, row).value(QLatin1String("v"));
    }

    testsupport::TempFolder m_folder;
    framework::RecordingPresenter m_presenter;
    store::Session m_session{m_folder.path()};
    QString m_file;
};

TEST_F(VsdRegisterTest, LayoutHeadingsColumnsAndSheetSettings)
{
    if (testsupport::pythonWithOpenpyxl().isEmpty())
        GTEST_SKIP() << "python3 with openpyxl is missing";
    add(1, [](store::VsdRecord&) {});
    const QJsonObject dump = exported({registerUuid(1)});
    ASSERT_FALSE(dump.isEmpty());

    // A new GUID-named file in the temporary export folder.
    const QFileInfo info(m_file);
    EXPECT_EQ(info.absolutePath() + u'/',
              QDir(m_folder.path() + QStringLiteral("export")).absolutePath() + u'/');
    EXPECT_EQ(info.fileName().size(), 36 + 5);
    EXPECT_TRUE(info.fileName().endsWith(QStringLiteral(".xlsx")));
    EXPECT_TRUE(m_presenter.shown().empty());

    EXPECT_EQ(dump.value(QLatin1String("sheets")).toArray(), QJsonArray({QStringLiteral("Лист1")}));
    EXPECT_EQ(value(dump, 1, 1).toString(),
              QStringLiteral("Входящие ветеринарно-сопроводительные документы на 20.05.2024 г."));
    EXPECT_TRUE(cell(dump, 1, 1).value(QLatin1String("bold")).toBool());
    EXPECT_EQ(cell(dump, 1, 1).value(QLatin1String("size")).toDouble(), 14);
    EXPECT_FALSE(cell(dump, 1, 1).value(QLatin1String("wrap")).toBool());
    EXPECT_EQ(cell(dump, 1, 1).value(QLatin1String("va")).toString(), QStringLiteral("center"));
    EXPECT_EQ(value(dump, 1, 3).toString(), QStringLiteral("ХС: ООО \"Ромашка\""));
    EXPECT_EQ(value(dump, 1, 4).toString(), QStringLiteral("Площадка: Склад №1"));
    EXPECT_TRUE(cell(dump, 1, 4).value(QLatin1String("wrap")).toBool());

    const QStringList groups{
        u"БЛАНК ВСД:1:4"_qs,
        u"СОСТОЯНИЕ:5:7"_qs,
        u"ПРОДУКЦИЯ:8:9"_qs,
        u"ОБЪЁМ:10:12"_qs,
        u"ВЫРАБОТКА ПРОДУКЦИИ:13:17"_qs,
        u"СРОК ГОДНОСТИ ПРОДУКЦИИ:18:23"_qs,
        u"ЗАПАС СРОКА ПО ВСД:24:26"_qs,
        u"ОТПРАВИТЕЛЬ ПРОДУКЦИИ:27:29"_qs,
        u"УПАКОВКА:30:31"_qs,
        u"ОДНА УПАКОВКА:32:33"_qs,
        u"НОМЕНКЛАТУРА ПРОИЗВОДИТЕЛЯ:34:35"_qs,
        u"ТОВАРНО-ТРАНСПОРТНЫЙ ДОКУМЕНТ:36:40"_qs,
        u"ТРАНСПОРТ (ОСНОВНОЙ):41:43"_qs,
        u"ТРАНСПОРТ (ПЕРЕГРУЗКА):44:45"_qs,
        u"ПАРАМЕТРЫ ВСД:46:47"_qs,
        u"ЗАЯВКА НА ГАШЕНИЕ / ВОЗВРАТ:48:51"_qs,
    };
    QStringList expectedMerges{u"A1:G1"_qs, u"A3:G3"_qs, u"A4:G4"_qs};
    const QJsonObject columns = dump.value(QLatin1String("columns")).toObject();
    for (const QString& g : groups) {
        const QStringList parts = g.split(u':');
        const int first = parts[1].toInt(), last = parts[2].toInt();
        EXPECT_EQ(value(dump, first, 6).toString(), parts[0]);
        EXPECT_TRUE(cell(dump, first, 6).value(QLatin1String("bold")).toBool());
        EXPECT_EQ(cell(dump, first, 6).value(QLatin1String("left")).toString(), QStringLiteral("thin"));
        if (last > first)
            expectedMerges << col(first) + QStringLiteral("6:") + col(last) + u'6';
        for (int c = first; c <= last; ++c)
            EXPECT_EQ(columns.value(QString::number(c)).toObject().value(QLatin1String("level")).toInt(),
                      c == first ? 0 : 1)
                << c;
    }
    QStringList merged;
    for (const QJsonValue& m : dump.value(QLatin1String("merged")).toArray())
        merged << m.toString();
    expectedMerges.sort();
    merged.sort();
    EXPECT_EQ(merged, expectedMerges);

    const QStringList headings{
        u"Серия"_qs,
        u"№"_qs,
        u"Дата"_qs,
        u"Тип"_qs,
        u"Статус"_qs,
        u"Дата"_qs,
        u"Время"_qs,
        u"Наименование"_qs,
        u"GTIN"_qs,
        u"По ВСД"_qs,
        u"Факт"_qs,
        u"Единица"_qs,
        u"С"_qs,
        u"Час"_qs,
        u"По"_qs,
        u"Час"_qs,
        u"Текст"_qs,
        u"С"_qs,
        u"Час"_qs,
        u"По"_qs,
        u"Час"_qs,
        u"Текст"_qs,
        u"В днях"_qs,
        u"В %"_qs,
        u"В днях"_qs,
        u"СПГ"_qs,
        u"ХС"_qs,
        u"ИНН"_qs,
        u"Площадка"_qs,
        u"Кол-во"_qs,
        u"Наименование"_qs,
        u"Объём"_qs,
        u"Ед. измерения"_qs,
        u"GUID"_qs,
        u"Артикул (код)"_qs,
        u"Серия"_qs,
        u"№"_qs,
        u"Дата"_qs,
        u"Тип"_qs,
        u"Отношение между документами"_qs,
        u"Тип"_qs,
        u"№"_qs,
        u"Способ хранения"_qs,
        u"Тип"_qs,
        u"№"_qs,
        u"UUID"_qs,
        u"Форма"_qs,
        u"Вид"_qs,
        u"Статус"_qs,
        u"ID задания"_qs,
        u"Информация по обработке запроса сервисом"_qs,
    };
    const std::vector<int> widths{8,  10, 12, 22, 14, 10, 8,  50, 15, 12, 12, 12, 10, 4,  10, 4,  10,
                                  10, 4,  10, 4,  10, 8,  10, 8,  4,  50, 14, 40, 10, 16, 10, 16, 40,
                                  20, 12, 12, 10, 40, 34, 20, 20, 20, 20, 20, 40, 40, 6,  20, 40, 99};
    ASSERT_EQ(headings.size(), 51);
    for (int c = 1; c <= 51; ++c) {
        EXPECT_EQ(value(dump, c, 7).toString(), headings[c - 1]) << c;
        EXPECT_EQ(cell(dump, c, 7).value(QLatin1String("bottom")).toString(), QStringLiteral("double")) << c;
        EXPECT_DOUBLE_EQ(
            columns.value(QString::number(c)).toObject().value(QLatin1String("width")).toDouble(),
            widths[static_cast<std::size_t>(c - 1)])
            << c;
    }
    EXPECT_TRUE(value(dump, 52, 7).isUndefined());

    // Number formats of a data row.
    const std::vector<std::pair<int, QString>> formats{
        {3, u"DD.MM.YYYY"_qs},
        {7, u"HH:MM:SS"_qs},
        {10, u"# ##0.000;-# ##0.000"_qs},
        {11, u"# ##0.000;-# ##0.000"_qs},
        {14, u"# ##0;-# ##0"_qs},
        {24, u"# ##0.00%;[Red]-# ##0.00%"_qs},
        {30, u"# ##0;-# ##0"_qs},
        {38, u"DD.MM.YYYY"_qs},
        {48, u"# ##0;-# ##0"_qs},
    };
    for (const auto& [c, format] : formats)
        EXPECT_EQ(cell(dump, c, 8).value(QLatin1String("fmt")).toString(), format) << c;
    EXPECT_EQ(cell(dump, 2, 8).value(QLatin1String("h")).toString(), QStringLiteral("right"));
    EXPECT_FALSE(cell(dump, 2, 8).value(QLatin1String("wrap")).toBool());
    EXPECT_TRUE(cell(dump, 8, 8).value(QLatin1String("wrap")).toBool());
    EXPECT_EQ(cell(dump, 8, 8).value(QLatin1String("va")).toString(), QStringLiteral("top"));

    EXPECT_EQ(dump.value(QLatin1String("freeze")).toString(), QStringLiteral("A8"));
    EXPECT_FALSE(dump.value(QLatin1String("showZeros")).toBool(true));
    EXPECT_EQ(dump.value(QLatin1String("orientation")).toString(), QStringLiteral("landscape"));
    EXPECT_EQ(dump.value(QLatin1String("paper")).toInt(), 9);
    EXPECT_FALSE(dump.value(QLatin1String("summaryBelow")).toBool(true));
    const QJsonObject rows = dump.value(QLatin1String("rows")).toObject();
    EXPECT_EQ(rows.value(QLatin1String("2")).toObject().value(QLatin1String("height")).toDouble(), 8);
    EXPECT_EQ(rows.value(QLatin1String("5")).toObject().value(QLatin1String("height")).toDouble(), 8);
    // 15 points is the sheet's default height, which the file need not state.
    EXPECT_EQ(rows.value(QLatin1String("8")).toObject().value(QLatin1String("height")).toDouble(15), 15);
    EXPECT_EQ(rows.value(QLatin1String("8")).toObject().value(QLatin1String("level")).toInt(), 1);
    EXPECT_EQ(rows.value(QLatin1String("9")).toObject().value(QLatin1String("level")).toInt(), 1);

    const QJsonObject props = dump.value(QLatin1String("props")).toObject();
    EXPECT_EQ(props.value(QLatin1String("subject")).toString(), QStringLiteral("Zanvo «Dirirev ODI»"));
    EXPECT_EQ(props.value(QLatin1String("category")).toString(), QStringLiteral("Реестр ВСД»"));
    // CR LF is stored as LF; without a site of the maker the comments end with the program.
    EXPECT_EQ(props.value(QLatin1String("description")).toString(),
              QStringLiteral("Отчёт создан в программе:\nZanvo «Dirirev ODI»"));
}

TEST_F(VsdRegisterTest, RowsTextsTotalsAndEmptyValues)
{
    if (testsupport::pythonWithOpenpyxl().isEmpty())
        GTEST_SKIP() << "python3 with openpyxl is missing";
    const std::int32_t may3 = platform::dayNumber(QDate(2024, 5, 3));
    add(1, [&](store::VsdRecord& r) {
        store::setZText(r.ISSUESERIES, platform::toCp1251(u"ВСД"));
        store::setZText(r.ISSUENUMBER, "100001");
        r.DATE = may3;
        store::setZText(r.VETDTYPE, "INCOMING");
        r.CODSTATUS = 1;
        r.UPDATEDATE = may3;
        r.UPDATETIME = platform::timeNumber(QTime(14, 30, 15));
        store::setZText(r.PRODITEMNAME, platform::toCp1251(u"Говядина\r\nохлаждённая"));
        store::setZText(r.VOLUME, "120.5");
        r.KOLVO = 118.25;
        r.PROHOUR1 = 7;
        r.RESERVEPROC = -12.5;
        r.RESERVEDAY = -3;
        r.PERISHABLE = 1;
        store::setZText(r.PACKVOLUME, "0.5");
        r.TTN_TYPE = 1;
        r.TTN_RELTYPE = 99;
        r.TRANSPORTTYPE1 = 1;
        store::setZText(r.VEHICLENUMBER1, platform::toCp1251(u"А123ВС"));
        store::setZText(r.CONTAINERNUMBER1, "C-7");
        r.TRANSPORTTYPE2 = 2;
        store::setZText(r.WAGONNUMBER2, "W-42");
        store::setZText(r.TRSTORAGETYPE, "FROZEN");
        store::setZText(r.VETDFORM, "XCERT");
        r.CONDITION = 2;
    });
    add(2, [&](store::VsdRecord& r) {
        r.CODSTATUS = 9;
        store::setZText(r.VETDTYPE, "ODD");
        r.TRANSPORTTYPE1 = 1; // road transport without any number
        r.TRANSPORTTYPE2 = 5;
    });
    // Selected in this order; the third was deleted since it was selected.
    const QJsonObject dump = exported({registerUuid(2), registerUuid(1), registerUuid(3)});
    ASSERT_FALSE(dump.isEmpty());

    // Row 8: the second VSD, as selected first.
    EXPECT_EQ(value(dump, 46, 8).toString(), QString::fromStdString(registerUuid(2)));
    EXPECT_EQ(value(dump, 5, 8).toString(), QStringLiteral("9"));
    EXPECT_EQ(value(dump, 4, 8).toString(), QStringLiteral("ODD"));
    EXPECT_TRUE(value(dump, 3, 8).isNull()) << "a zero date is a blank cell";
    EXPECT_TRUE(value(dump, 7, 8).isNull()) << "a zero time is a blank cell";
    EXPECT_TRUE(value(dump, 10, 8).isNull()) << "an empty quantity text is a blank cell";
    // Zero numbers stay numbers, hidden by the sheet (not the text "0").
    for (int c : {11, 14, 16, 19, 21, 23, 25, 30, 48}) {
        EXPECT_EQ(cell(dump, c, 8).value(QLatin1String("t")).toString(), QStringLiteral("n")) << c;
        EXPECT_EQ(value(dump, c, 8).toDouble(-1), 0) << c;
    }
    EXPECT_EQ(value(dump, 41, 8).toString(), QStringLiteral("Автомобильный"));
    EXPECT_TRUE(value(dump, 42, 8).isNull() || value(dump, 42, 8).toString().isEmpty());
    EXPECT_TRUE(value(dump, 45, 8).isNull());
    EXPECT_TRUE(value(dump, 39, 8).isNull());

    // Row 9: the first VSD.
    EXPECT_EQ(value(dump, 1, 9).toString(), QStringLiteral("ВСД"));
    EXPECT_EQ(value(dump, 2, 9).toString(), QStringLiteral("100001"));
    EXPECT_EQ(value(dump, 3, 9).toString(), QStringLiteral("2024-05-03T00:00:00"));
    EXPECT_EQ(value(dump, 4, 9).toString(), QStringLiteral("Входящий"));
    EXPECT_EQ(value(dump, 5, 9).toString(), QStringLiteral("Оформлен"));
    EXPECT_EQ(value(dump, 7, 9).toString(), QStringLiteral("14:30:15"));
    EXPECT_EQ(value(dump, 8, 9).toString(), QStringLiteral("Говядина\nохлаждённая"));
    EXPECT_DOUBLE_EQ(value(dump, 10, 9).toDouble(), 120.5);
    EXPECT_DOUBLE_EQ(value(dump, 11, 9).toDouble(), 118.25);
    EXPECT_DOUBLE_EQ(value(dump, 14, 9).toDouble(), 7);
    EXPECT_DOUBLE_EQ(value(dump, 24, 9).toDouble(), -0.125);
    EXPECT_DOUBLE_EQ(value(dump, 25, 9).toDouble(), -3);
    EXPECT_EQ(value(dump, 26, 9).toString(), QStringLiteral("Да"));
    EXPECT_EQ(value(dump, 32, 9).toString(), QStringLiteral("0.5"));
    EXPECT_EQ(value(dump, 39, 9).toString(), QStringLiteral("Товарно-транспортная накладная"));
    EXPECT_TRUE(value(dump, 40, 9).isNull());
    EXPECT_EQ(value(dump, 41, 9).toString(), QStringLiteral("Автомобильный"));
    EXPECT_EQ(value(dump, 42, 9).toString(), QStringLiteral("А123ВС / C-7"));
    EXPECT_EQ(value(dump, 43, 9).toString(), QStringLiteral("Замороженный"));
    EXPECT_EQ(value(dump, 44, 9).toString(), QStringLiteral("Железнодорожный"));
    EXPECT_EQ(value(dump, 45, 9).toString(), QStringLiteral("W-42"));
    EXPECT_EQ(value(dump, 47, 9).toString(), QStringLiteral("XCERT"));
    EXPECT_DOUBLE_EQ(value(dump, 48, 9).toDouble(), 2);

    // No row for the deleted VSD; a spacer, then the totals count all three.
    EXPECT_TRUE(value(dump, 46, 10).isUndefined());
    const QJsonObject rows = dump.value(QLatin1String("rows")).toObject();
    EXPECT_EQ(rows.value(QLatin1String("10")).toObject().value(QLatin1String("level")).toInt(), 1);
    EXPECT_EQ(value(dump, 1, 11).toString(), QStringLiteral("ИТОГО"));
    EXPECT_TRUE(cell(dump, 1, 11).value(QLatin1String("bold")).toBool());
    EXPECT_DOUBLE_EQ(value(dump, 2, 11).toDouble(), 3);
    EXPECT_EQ(cell(dump, 2, 11).value(QLatin1String("h")).toString(), QStringLiteral("right"));
    EXPECT_EQ(dump.value(QLatin1String("maxRow")).toInt(), 11);
}

TEST_F(VsdRegisterTest, FormatsAreMadeOncePerWorkbookAndProgressIsReported)
{
    for (int n = 1; n <= 25; ++n)
        add(n, [n](store::VsdRecord& r) { r.KOLVO = n; });
    std::vector<std::string> uuids;
    for (int n = 1; n <= 25; ++n)
        uuids.push_back(registerUuid(n));
    std::vector<std::pair<int, int>> steps;
    const QString file = workspace::exportVsdRegister(
        m_session, uuids, {}, [&steps](int done, int total) { steps.emplace_back(done, total); });
    ASSERT_FALSE(file.isEmpty());
    EXPECT_EQ(steps, (std::vector<std::pair<int, int>>{{0, 25}, {10, 25}, {20, 25}, {25, 25}}));
    const workspace::RegisterFormatCount count = workspace::lastRegisterFormatCount();
    EXPECT_EQ(count.workbookFormats, count.attributeSets);
    EXPECT_LT(count.attributeSets, 20u);
    EXPECT_GT(count.attributeSets, 5u);
}

TEST_F(VsdRegisterTest, AWorkbookThatCannotBeWrittenIsReportedAndNotReturned)
{
    add(1, [](store::VsdRecord&) {});
    // The export folder is gone.
    framework::process::setTemporaryExportFolder(m_folder.path() + QStringLiteral("missing/"));
    EXPECT_TRUE(workspace::exportVsdRegister(m_session, {registerUuid(1)}, {}).isEmpty());
    ASSERT_EQ(m_presenter.shown().size(), 1u);
    const framework::MessageRequest shown = m_presenter.shown().front();
    EXPECT_EQ(shown.caption, QStringLiteral("Ошибка"));
    EXPECT_EQ(shown.customButtons, QStringList{QStringLiteral("&1. Закрыть")});
    EXPECT_TRUE(shown.text.startsWith(QStringLiteral("Не удалось записать файл XLSX: ")))
        << shown.text.toStdString();
    EXPECT_TRUE(shown.text.contains(QStringLiteral("missing"))) << shown.text.toStdString();
    EXPECT_TRUE(QDir(m_folder.path() + QStringLiteral("missing")).isEmpty());

    // A file that cannot be replaced (a folder of that name) is not touched.
    m_presenter.clear();
    const QString blocked = m_folder.path() + QStringLiteral("export/blocked.xlsx");
    ASSERT_TRUE(QDir().mkpath(blocked + QStringLiteral("/inner")));
    EXPECT_FALSE(workspace::writeVsdRegister(m_session, {registerUuid(1)}, {}, blocked));
    ASSERT_EQ(m_presenter.shown().size(), 1u);
    EXPECT_EQ(m_presenter.shown().front().text,
              QStringLiteral("Нет доступа к файлу: ") + QDir::toNativeSeparators(blocked));
    EXPECT_TRUE(QFileInfo(blocked).isDir());

    // An existing file is replaced.
    m_presenter.clear();
    const QString old = m_folder.path() + QStringLiteral("export/old.xlsx");
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a workbook");
    }
    EXPECT_TRUE(workspace::writeVsdRegister(m_session, {registerUuid(1)}, {}, old));
    EXPECT_TRUE(m_presenter.shown().empty());
    QFile f(old);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(2), QByteArray("PK"));
}

TEST_F(VsdRegisterTest, AJournalThatCannotBeReadIsReportedAndNoWorkbookIsLeft)
{
    {
        QFile journal(m_folder.path() + QStringLiteral("Base/mv08.dat"));
        ASSERT_TRUE(journal.open(QIODevice::WriteOnly));
        journal.write(QByteArray(4096, 'x'));
    }
    EXPECT_TRUE(workspace::exportVsdRegister(m_session, {registerUuid(1)}, {}).isEmpty());
    ASSERT_EQ(m_presenter.shown().size(), 1u);
    EXPECT_TRUE(m_presenter.shown().front().text.contains(QStringLiteral("mv08.dat")))
        << m_presenter.shown().front().text.toStdString();
    EXPECT_TRUE(QDir(m_folder.path() + QStringLiteral("export")).isEmpty());
}

} // namespace registertest
