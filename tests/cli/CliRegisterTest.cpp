// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli export-register: the register of the working enterprise's VSDs
// written without the window, as a nightly script runs it.
#include "CliRun.h"
#include "support/TestSupport.h"
#include "support/XlsxDump.h"

#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Enterprise.h"
#include "store/tables/Entity.h"
#include "store/tables/Place.h"
#include "store/tables/Vsd.h"

#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <set>

namespace cliregister {

constexpr const char* kEntity = "400cb70f-964e-43c0-b4a3-165de1ab3e01";
constexpr const char* kWorking = "88718c96-6f3d-48f7-b4b1-b64633be40f5";
constexpr const char* kUnmarked = "5c1a2f3e-9b7d-4e11-8a2c-3f0d6e7b9a41";

std::string vsdUuid(int n)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "00000000-0000-4000-8000-%012d", 900 + n);
    return buf;
}

class CliRegisterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(m_folder.path() + QStringLiteral("Base")));
        store::Session s(m_folder.path());
        store::TypedTable<store::EntityRecord> entities(s, store::entityTable());
        store::TypedTable<store::EnterpriseRecord> enterprises(s, store::enterpriseTable());
        store::TypedTable<store::PlaceRecord> places(s, store::placeTable());
        store::TypedTable<store::VsdRecord> vsds(s, store::vsdTable());
        ASSERT_EQ(entities.open(), store::kOk);
        ASSERT_EQ(enterprises.open(), store::kOk);
        ASSERT_EQ(places.open(), store::kOk);
        ASSERT_EQ(vsds.open(), store::kOk);
        entities.clear();
        store::setText(entities.rec().GUID, kEntity);
        store::setText(entities.rec().NAME, platform::toCp1251(u"ООО \"Ромашка\""));
        ASSERT_EQ(entities.add(), store::kOk);
        // The unmarked enterprise comes first in m_Place: the marked one works.
        for (const char* guid : {kUnmarked, kWorking}) {
            enterprises.clear();
            store::setText(enterprises.rec().GUID, guid);
            store::setText(enterprises.rec().NAME,
                           platform::toCp1251(guid == kWorking ? u"Склад №1" : u"Магазин"));
            ASSERT_EQ(enterprises.add(), store::kOk);
            places.clear();
            store::setText(places.rec().ENTITY, kEntity);
            store::setText(places.rec().ENTERPRISE, guid);
            places.rec().MARK = guid == kWorking ? 1 : 0;
            ASSERT_EQ(places.add(), store::kOk);
        }
        // 1..3 in May at the working enterprise (3 of status 3), 4 in April,
        // 5 at the other enterprise.
        for (int n = 1; n <= 5; ++n) {
            vsds.clear();
            store::VsdRecord& r = vsds.rec();
            store::setText(r.UUID, vsdUuid(n));
            store::setText(r.CONSIGNEEHS, kEntity);
            store::setText(r.CONSIGNEEENT, n == 5 ? kUnmarked : kWorking);
            r.DATE = platform::dayNumber(n == 4 ? QDate(2024, 4, 10) : QDate(2024, 5, n));
            r.CODSTATUS = n == 3 ? 3 : 1;
            store::setZText(r.PRODITEMNAME, platform::toCp1251(u"Сыр"));
            ASSERT_EQ(vsds.add(), store::kOk);
        }
    }

    QStringList args(const QStringList& extra) const
    {
        return QStringList{QStringLiteral("export-register"), QStringLiteral("--data"), m_folder.path(),
                           QStringLiteral("--guid"), QString::fromLatin1(kEntity)} +
               extra;
    }

    // The UUIDs in the register's rows.
    static std::set<std::string> uuidsIn(const QJsonObject& dump)
    {
        std::set<std::string> out;
        const QJsonObject cells = dump.value(QLatin1String("cells")).toObject();
        for (int row = 8; row < 100; ++row) {
            const QJsonValue v =
                cells.value(QStringLiteral("AT") + QString::number(row)).toObject().value(QLatin1String("v"));
            if (v.isString())
                out.insert(v.toString().toStdString());
        }
        return out;
    }

    testsupport::TempFolder m_folder;
};

TEST_F(CliRegisterTest, WritesTheWorkingEnterprisesVsdsOfThePeriodAndStatus)
{
    if (testsupport::pythonWithOpenpyxl().isEmpty())
        GTEST_SKIP() << "python3 with openpyxl is missing";
    const QString all = m_folder.file(QStringLiteral("all.xlsx"));
    clitest::CliResult r = clitest::cli(args({all}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.text(), QStringLiteral("register: 4 VSDs\n"));
    QJsonObject dump = testsupport::dumpXlsx(all);
    EXPECT_EQ(uuidsIn(dump), (std::set<std::string>{vsdUuid(1), vsdUuid(2), vsdUuid(3), vsdUuid(4)}));
    const QJsonObject cells = dump.value(QLatin1String("cells")).toObject();
    EXPECT_EQ(cells.value(QLatin1String("A3")).toObject().value(QLatin1String("v")).toString(),
              QStringLiteral("ХС: ООО \"Ромашка\""));
    EXPECT_EQ(cells.value(QLatin1String("A4")).toObject().value(QLatin1String("v")).toString(),
              QStringLiteral("Площадка: Склад №1"));
    EXPECT_EQ(cells.value(QLatin1String("B13")).toObject().value(QLatin1String("v")).toDouble(), 4);

    const QString may = m_folder.file(QStringLiteral("may.xlsx"));
    r = clitest::cli(args({QStringLiteral("--from"), QStringLiteral("2024-05-01"), QStringLiteral("--to"),
                           QStringLiteral("2024-05-31"), may}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(uuidsIn(testsupport::dumpXlsx(may)),
              (std::set<std::string>{vsdUuid(1), vsdUuid(2), vsdUuid(3)}));

    // The same file again, of status 3 only: it is replaced.
    r = clitest::cli(args({QStringLiteral("--status"), QStringLiteral("3"), may}));
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(uuidsIn(testsupport::dumpXlsx(may)), (std::set<std::string>{vsdUuid(3)}));
}

TEST_F(CliRegisterTest, RefusesWrongArgumentsAndReportsWhatItCouldNotDo)
{
    const QString out = m_folder.file(QStringLiteral("r.xlsx"));
    for (const QStringList& wrong :
         {QStringList{}, QStringList{QStringLiteral("--from"), QStringLiteral("2024-05-01"), out},
          QStringList{QStringLiteral("--from"), QStringLiteral("2024-05-31"), QStringLiteral("--to"),
                      QStringLiteral("2024-05-01"), out},
          QStringList{QStringLiteral("--status"), QStringLiteral("5"), out},
          QStringList{QStringLiteral("--status"), QStringLiteral("1x"), out}}) {
        const clitest::CliResult r = clitest::cli(args(wrong));
        EXPECT_EQ(r.exitCode, 2) << wrong.join(u' ').toStdString();
    }
    EXPECT_FALSE(QFile::exists(out));

    // An entity that is not stored.
    clitest::CliResult r =
        clitest::cli({QStringLiteral("export-register"), QStringLiteral("--data"), m_folder.path(),
                      QStringLiteral("--guid"), QStringLiteral("11111111-2222-4333-8444-555555555555"), out});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFile::exists(out));

    // A folder that does not exist: libxlsxwriter's reason, no file, failure.
    const QString nowhere = m_folder.file(QStringLiteral("nowhere/r.xlsx"));
    r = clitest::cli(args({nowhere}));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Не удалось записать файл XLSX: "))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

} // namespace cliregister
