// SPDX-License-Identifier: LicenseRef-Kestrom
// The main window over a big journal: N VSDs of the working enterprise and N
// of another enterprise of the same entity (which must not show). Times, on
// the offscreen platform, from asking for the window to its first rows
// painted, scrolling to the end, another order (a header click), a mask
// search, and select-all with that mask; and the memory the window takes
// beyond the same window over an empty list.
#include "BenchCommandLine.h"
#include "WindowBench.h"

#include "framework/MessageBox.h"
#include "framework/RecordingPresenter.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Enterprise.h"
#include "store/tables/Entity.h"
#include "store/tables/Place.h"
#include "store/tables/Vsd.h"
#include "vetis/StoredVetisSettings.h"
#include "workspace/ui/BrowseVsdWindow.h"
#include "workspace/ui/VsdListModel.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>

namespace {

using bench::Clock;
using bench::msSince;
using bench::residentKb;
constexpr const char* kOwn = "400cb70f-964e-43c0-b4a3-165de1ab3e01";
constexpr const char* kPlace = "88718c96-6f3d-48f7-b4b1-b64633be40f5";
constexpr const char* kOtherPlace = "5c1a2f3e-9b7d-4e11-8a2c-3f0d6e7b9a41";

bool seed(const QString& folder, int perEnterprise)
{
    QDir().mkpath(folder + QStringLiteral("Base"));
    store::Session s(folder);
    store::TypedTable<store::EntityRecord> entities(s, store::entityTable());
    store::TypedTable<store::EnterpriseRecord> enterprises(s, store::enterpriseTable());
    store::TypedTable<store::PlaceRecord> places(s, store::placeTable());
    store::TypedTable<store::VsdRecord> vsds(s, store::vsdTable());
    if (entities.open() || enterprises.open() || places.open() || vsds.open())
        return false;
    entities.clear();
    entities.rec().HOME = 1;
    store::setText(entities.rec().GUID, kOwn);
    store::setText(entities.rec().NAME, platform::toCp1251(u"ООО \"Ромашка\""));
    if (entities.add())
        return false;
    for (const char* guid : {kPlace, kOtherPlace}) {
        enterprises.clear();
        store::setText(enterprises.rec().GUID, guid);
        store::setText(enterprises.rec().NAME, platform::toCp1251(u"Склад"));
        places.clear();
        store::setText(places.rec().ENTITY, kOwn);
        store::setText(places.rec().ENTERPRISE, guid);
        places.rec().MARK = guid == kPlace ? 1 : 0;
        if (enterprises.add() || places.add())
            return false;
    }
    store::Transaction t(s, {&vsds});
    if (t.start())
        return false;
    std::mt19937 random(7);
    const char* products[] = {"Говядина на кости, полутуши, охл.", "Треска б/г с/м, ГОСТ 32366-2013",
                              "Сыр \"Российский\" 50%, брус",      "Молоко питьевое 3,2%",
                              "Куры потрошёные, тушки, зам.",      "Рыба мороженая, минтай б/г"};
    const std::int32_t today = platform::dayNumber(QDate(2024, 5, 20));
    for (int n = 0; n < 2 * perEnterprise; ++n) {
        vsds.clear();
        store::VsdRecord& r = vsds.rec();
        char uuid[40];
        std::snprintf(uuid, sizeof uuid, "%08x-0000-4000-8000-%012d", static_cast<unsigned>(random()), n);
        store::setText(r.UUID, uuid);
        store::setText(r.CONSIGNEEHS, kOwn);
        store::setText(r.CONSIGNEEENT, n < perEnterprise ? kPlace : kOtherPlace);
        r.DATE = today - static_cast<std::int32_t>(random() % 25);
        r.CODSTATUS = static_cast<std::uint8_t>(1 + random() % 4);
        store::setZText(r.PRODITEMNAME, platform::toCp1251(QString::fromUtf8(products[random() % 6])));
        store::setZText(r.ISSUESERIES, platform::toCp1251(u"ВСД"));
        store::setZText(r.ISSUENUMBER, std::to_string(1000000 + n));
        store::setZText(r.CONSIGNORNAME, platform::toCp1251(u"АО \"Мясокомбинат\""));
        store::setZText(r.VOLUME, "120.5");
        r.KOLVO = 120.5;
        r.RESERVEPROC = static_cast<double>(random() % 100);
        r.RESERVEDAY = static_cast<std::int32_t>(random() % 60) - 5;
        if (vsds.add())
            return false;
    }
    return t.commit() == store::kOk;
}

std::unique_ptr<workspace::ui::BrowseVsdWindow> openWindow(const QString& folder)
{
    workspace::ui::BrowseVsdWindow::Options options;
    options.dataFolder = folder;
    options.versionDate = QDate(2024, 4, 25);
    options.today = QDate(2024, 5, 20);
    options.askBeforeClose = false;
    auto w = std::make_unique<workspace::ui::BrowseVsdWindow>(options);
    w->resize(1280, 760);
    w->show();
    bench::paintNow(w->findChild<QTableView*>(QStringLiteral("?BROWSE:1")));
    return w;
}

constexpr const char* kUsage = "usage: list_bench [VSDs per enterprise = 100000]\n";

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::CommandLine line;
    int exitCode = 0;
    if (!bench::readCommandLine(argc, argv, kUsage, 1, {}, {}, line, exitCode))
        return exitCode;
    const int count = static_cast<int>(line.number(0, 100000));
    framework::RecordingPresenter presenter;
    framework::setMessagePresenter(&presenter);

    QTemporaryDir emptyDir, bigDir;
    const QString empty = emptyDir.path() + u'/', big = bigDir.path() + u'/';
    if (!seed(empty, 0) || !seed(big, count)) {
        std::fprintf(stderr, "list_bench: the journal could not be made\n");
        return 1;
    }
    long emptyKb = 0;
    {
        auto w = openWindow(empty);
        QCoreApplication::processEvents();
        emptyKb = residentKb();
    }

    // The key of the sealed settings is derived once a run, when the window
    // first reads them; it is timed on its own.
    auto t = Clock::now();
    {
        store::Session s(big);
        static_cast<void>(vetis::StoredVetisSettings(s).find(kOwn));
    }
    const double keyMs = msSince(t);

    t = Clock::now();
    auto w = openWindow(big);
    const double openMs = msSince(t);
    // The search index is read beside the window; a person takes longer to
    // type a search than it takes to read.
    w->model().waitForSearchIndex();
    const double indexMs = msSince(t);
    const long bigKb = residentKb();
    auto* view = w->findChild<QTableView*>(QStringLiteral("?BROWSE:1"));
    const int rows = w->model().rowCount();

    t = Clock::now();
    view->scrollToBottom();
    QCoreApplication::processEvents();
    static_cast<void>(view->viewport()->grab());
    const double scrollMs = msSince(t);

    t = Clock::now();
    view->horizontalHeader()->sectionClicked(9); // the product's name
    static_cast<void>(view->viewport()->grab());
    const double orderMs = msSince(t);

    auto* search = w->findChild<QLineEdit*>(QStringLiteral("LOC:F"));
    t = Clock::now();
    search->setText(QStringLiteral("рыба"));
    QTest::keyClick(search, Qt::Key_Return);
    static_cast<void>(view->viewport()->grab());
    const double searchMs = msSince(t);
    const int found = w->model().rowCount();

    t = Clock::now();
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    static_cast<void>(view->viewport()->grab());
    const double selectMs = msSince(t);
    const std::size_t marked = w->model().selection().size();
    const long afterKb = residentKb();

    std::printf("list_bench: %d VSDs of the working enterprise, %d of another (offscreen)\n", count, count);
    std::printf(
        "open to first rows painted:   %8.1f ms  (%d rows; the settings' key, once a run: %.1f ms more)\n",
        openMs, rows, keyMs);
    std::printf("search index read beside it:  %8.1f ms after asking for the window\n", indexMs);
    std::printf("scroll to the end:            %8.1f ms\n", scrollMs);
    std::printf("another order (header click): %8.1f ms\n", orderMs);
    std::printf("mask search:                  %8.1f ms  (%d rows found)\n", searchMs, found);
    std::printf("select all with the mask:     %8.1f ms  (%zu marked)\n", selectMs, marked);
    std::printf("memory above an empty list:   %8.1f MB  (after opening %.1f MB)\n",
                (afterKb - emptyKb) / 1024.0, (bigKb - emptyKb) / 1024.0);
    const double worst = std::max({openMs, scrollMs, orderMs, searchMs, selectMs});
    std::printf("slowest step: %.1f ms (goal under 100 ms: %s); memory goal under 100 MB: %s\n", worst,
                worst < 100 ? "met" : "NOT MET", (afterKb - emptyKb) / 1024.0 < 100 ? "met" : "NOT MET");
    framework::setMessagePresenter(nullptr);
    return rows == count ? 0 : 1;
}
