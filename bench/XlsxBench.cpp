// SPDX-License-Identifier: LicenseRef-Kestrom
// The register of incoming VSDs: N selected VSDs (10,000 by default) with
// every column filled, written to an XLSX workbook and closed (goal: under
// 3 s for 10,000). Prints the time, the size of the file, the formats the
// workbook holds and the distinct attribute sets its cells asked for: they
// are equal when no cell makes a format of its own.
#include "BenchCommandLine.h"

#include "framework/RecordingPresenter.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Vsd.h"
#include "workspace/VsdRegisterExport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr char kUsage[] = "usage: xlsx_bench [N]\n"
                          "  N  selected VSDs written to the register (default 10000)\n";

std::string benchUuid(int n)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%08x-0000-4000-8000-%012d", n, n);
    return buf;
}

void fill(store::VsdRecord& r, int n)
{
    const std::int32_t day = platform::dayNumber(QDate(2024, 1, 1).addDays(n % 300));
    store::setText(r.UUID, benchUuid(n));
    store::setZText(r.ISSUESERIES, platform::toCp1251(u"ВСД"));
    store::setZText(r.ISSUENUMBER, std::to_string(1000000 + n));
    r.DATE = day;
    store::setZText(r.VETDTYPE, "INCOMING");
    r.CODSTATUS = static_cast<std::uint8_t>(1 + n % 4);
    r.UPDATEDATE = day + 1;
    r.UPDATETIME = platform::timeNumber(QTime(8, n % 60, n % 60));
    store::setZText(r.PRODITEMNAME,
                    platform::toCp1251(QStringLiteral("Говядина охлаждённая, полутуши, партия %1").arg(n)));
    store::setZText(r.PRODITEMGTIN, "4600000" + std::to_string(100000 + n));
    store::setZText(r.VOLUME, std::to_string(100 + n % 900) + ".125");
    r.KOLVO = 99.5 + n % 100;
    store::setZText(r.UNITNAME, platform::toCp1251(u"кг"));
    r.PRODATE1 = day - 10;
    r.PROHOUR1 = static_cast<std::uint8_t>(n % 24);
    r.EXPDATE2 = day + 20;
    r.ACTUALSROK = 30;
    r.RESERVEPROC = 60 - n % 100;
    r.RESERVEDAY = 18 - n % 30;
    r.PERISHABLE = static_cast<std::uint8_t>(n % 2);
    store::setZText(r.CONSIGNORNAME,
                    platform::toCp1251(QStringLiteral("АО \"Мясокомбинат №%1\"").arg(n % 50)));
    store::setZText(r.CONSIGNORINN, "77" + std::to_string(10000000 + n % 50));
    store::setZText(r.CONSIGNORPLACE, platform::toCp1251(u"Цех убоя и разделки, г. Тверь"));
    r.PACKQUANTITY = n % 40;
    store::setZText(r.PACKNAME, platform::toCp1251(u"Коробка"));
    store::setZText(r.PACKVOLUME, "25");
    store::setZText(r.PACKUNITNAME, platform::toCp1251(u"кг"));
    store::setText(r.PRODITEMGUID, benchUuid(n % 500));
    store::setZText(r.PRODITEMCODE, "ART-" + std::to_string(n % 500));
    store::setZText(r.TTN_SERIES, "AA");
    store::setZText(r.TTN_NUMBER, std::to_string(5000 + n));
    r.TTN_ORVDATE = day;
    r.TTN_TYPE = static_cast<std::uint8_t>(1 + n % 24);
    r.TTN_RELTYPE = static_cast<std::uint8_t>(n % 7);
    r.TRANSPORTTYPE1 = static_cast<std::uint8_t>(1 + n % 7);
    store::setZText(r.VEHICLENUMBER1, platform::toCp1251(u"А123ВС77"));
    store::setZText(r.TRAILERNUMBER1, platform::toCp1251(u"ВЕ4567"));
    store::setZText(r.WAGONNUMBER1, "52345678");
    store::setZText(r.TRSTORAGETYPE, n % 2 ? "FROZEN" : "CHILLED");
    store::setZText(r.VETDFORM, "CERTCU1");
    r.CONDITION = static_cast<std::uint8_t>(n % 3);
    store::setZText(r.APPSTATUS, "COMPLETED");
    store::setText(r.APPID, benchUuid(n + 1));
    store::setZText(r.APPERROR, platform::toCp1251(u"Заявка обработана\r\nбез ошибок"));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bench::CommandLine line;
    int exitCode = 0;
    if (!bench::readCommandLine(argc, argv, kUsage, 1, {}, {}, line, exitCode))
        return exitCode;
    const int count = static_cast<int>(line.number(0, 10000));

    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QDir().mkpath(folder + QStringLiteral("Base"));
    store::Session session(folder);
    std::vector<std::string> uuids;
    {
        store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
        store::Transaction t(session, {&vsds});
        if (vsds.open() != store::kOk || t.start() != store::kOk)
            return 1;
        for (int n = 1; n <= count; ++n) {
            vsds.clear();
            fill(vsds.rec(), n);
            if (vsds.add() != store::kOk)
                return 1;
            uuids.push_back(benchUuid(n));
        }
        if (t.commit() != store::kOk)
            return 1;
    }

    framework::RecordingPresenter presenter;
    framework::setMessagePresenter(&presenter);
    const QString file = folder + QStringLiteral("register.xlsx");
    const auto start = std::chrono::steady_clock::now();
    const bool ok = workspace::writeVsdRegister(
        session, uuids, {QStringLiteral("ООО \"Ромашка\""), QStringLiteral("Склад №1")}, file);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    framework::setMessagePresenter(nullptr);
    if (!ok) {
        for (const framework::MessageRequest& m : presenter.shown())
            std::fprintf(stderr, "%s\n", m.text.toUtf8().constData());
        return 1;
    }
    const workspace::RegisterFormatCount formats = workspace::lastRegisterFormatCount();
    std::printf("xlsx_bench: register of %d VSDs written and closed in %.3f s (goal: under 3 s for 10000), "
                "%lld bytes\n",
                count, seconds, static_cast<long long>(QFileInfo(file).size()));
    std::printf("formats in the workbook: %zu, distinct attribute sets used: %zu%s\n",
                formats.workbookFormats, formats.attributeSets,
                formats.workbookFormats == formats.attributeSets ? "" : "  <- MISMATCH");
    return formats.workbookFormats == formats.attributeSets ? 0 : 1;
}
