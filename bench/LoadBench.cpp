// SPDX-License-Identifier: LicenseRef-Kestrom
// The VSD loader against raw SQLite: a generated answer of N VSDs (about 20
// contents rows each) read and stored in m_VSD and m_Inside, with every name
// the VSDs refer to already stored, and the very rows it stored inserted again
// into empty tables with raw prepared statements in one transaction. Then a
// second load of the same answer, in which every VSD is unchanged.
#include "AnswerGenerator.h"
#include "BenchCommandLine.h"
#include "RawSqlite.h"

#include "responses/DictionaryKinds.h"
#include "responses/ReferenceLookups.h"
#include "responses/ResponseWalker.h"
#include "responses/VsdLoader.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/TableSchema.h"
#include "store/Transaction.h"
#include "store/tables/Enterprise.h"
#include "store/tables/Entity.h"
#include "store/tables/Inside.h"
#include "store/tables/Place.h"
#include "store/tables/Product.h"
#include "store/tables/Refs.h"
#include "store/tables/Vsd.h"
#include "vetis/Exchange.h"
#include "vetis/RequestRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t)
{
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// Stores a bare record under every GUID the answer names, so that the load
// finds them all locally and asks the service for nothing.
void storeNamedReferences(const QString& folder, responses::VsdAnswerLists& lists)
{
    std::set<std::string> entities, enterprises, items, refs;
    std::set<std::pair<std::string, std::string>> places;
    const auto v = [](const responses::ResponseList& l, std::size_t i, std::string_view f) {
        return responses::listValue(l.layout(), l.row(i), f);
    };
    for (std::size_t i = 0; i < lists.vsd.count(); ++i) {
        for (const char* f : {"CONSIGNORHS", "CONSIGNEEHS", "OWNER", "BROKER"})
            entities.insert(v(lists.vsd, i, f));
        enterprises.insert(v(lists.vsd, i, "CONSIGNORENT"));
        enterprises.insert(v(lists.vsd, i, "CONSIGNEEENT"));
        places.insert({v(lists.vsd, i, "CONSIGNORHS"), v(lists.vsd, i, "CONSIGNORENT")});
        places.insert({v(lists.vsd, i, "CONSIGNEEHS"), v(lists.vsd, i, "CONSIGNEEENT")});
        items.insert(v(lists.vsd, i, "PRODUCTITEM_GUID"));
        refs.insert(v(lists.vsd, i, "UNITGUID"));
        refs.insert(v(lists.vsd, i, "ORIGINCOUNTRY_GUID"));
    }
    for (std::size_t i = 0; i < lists.producers.count(); ++i)
        enterprises.insert(v(lists.producers, i, "PRODUCER_GUID"));
    for (std::size_t i = 0; i < lists.routePoints.count(); ++i) {
        enterprises.insert(v(lists.routePoints, i, "ENTERPRISEGUID"));
        refs.insert(v(lists.routePoints, i, "LOC_COUNTRY"));
        refs.insert(v(lists.routePoints, i, "LOC_REGION"));
    }
    store::Session session(folder);
    const auto fill = [&](const store::TableDef& def, const std::set<std::string>& guids) {
        store::Table table(session, def);
        store::Transaction transaction(session, {&table});
        if (table.open() != store::kOk || transaction.start() != store::kOk)
            return;
        for (const std::string& guid : guids) {
            if (guid.size() != 36)
                continue;
            table.clear();
            // Each of these tables keys its entries by a text(36) field named GUID.
            for (const store::FieldDef& f : def.fields)
                if (f.name.ends_with(":GUID"))
                    store::setText(*reinterpret_cast<char(*)[36]>(table.data() + f.offset), guid);
            (void)table.add();
        }
        (void)transaction.commit();
    };
    fill(store::entityTable(), entities);
    fill(store::enterpriseTable(), enterprises);
    fill(store::productTable(), items);
    fill(store::refsTable(), refs);
    store::TypedTable<store::PlaceRecord> placeTable(session, store::placeTable());
    store::Transaction transaction(session, {&placeTable});
    if (placeTable.open() == store::kOk && transaction.start() == store::kOk) {
        for (const auto& [entity, enterprise] : places) {
            placeTable.clear();
            store::setText(placeTable.rec().ENTITY, entity);
            store::setText(placeTable.rec().ENTERPRISE, enterprise);
            (void)placeTable.add();
        }
        (void)transaction.commit();
    }
}

struct LoadRun
{
    double seconds = 0;
    double walkSeconds = 0; // of which reading the answer into the lists
    responses::VsdStoreOutcome stored;
};

LoadRun load(const QString& folder, const std::string& answer, vetis::ExchangeContext& context)
{
    LoadRun run;
    store::Session session(folder);
    store::Session references(folder);
    const auto t = Clock::now();
    vetis::RequestRecord request;
    responses::VsdAnswerLists lists;
    lists.bind(request);
    if (!responses::ReadAnswer(answer, request).ok())
        return run;
    run.walkSeconds = secondsSince(t);
    responses::ReferenceLookups lookups(references, context, "400cb70f-964e-43c0-b4a3-165de1ab3e01");
    run.stored = responses::storeVsdLists(session, lists, lookups);
    run.seconds = secondsSince(t);
    return run;
}

// The rows the load stored, inserted again with raw statements; seconds.
double rawInsert(const QString& from, const QString& to)
{
    std::vector<std::vector<char>> vsds, contents;
    {
        store::Session session(from);
        for (const auto& [def, out] :
             {std::pair{&store::vsdTable(), &vsds}, std::pair{&store::insideTable(), &contents}}) {
            store::Table table(session, *def);
            if (table.open() != store::kOk || table.set(def->keys.front(), 0) != store::kOk)
                return 0;
            while (table.next() == store::kOk)
                out->emplace_back(table.data(), table.data() + def->recordLength);
        }
    }
    QDir().mkpath(to + QStringLiteral("Base"));
    sqlite3* db = nullptr;
    sqlite3_open((to + QStringLiteral("Base/commit.db")).toUtf8().constData(), &db);
    const std::string base = (to + QStringLiteral("Base/")).toStdString();
    sqlite3_exec(db, ("ATTACH '" + base + "mv08.dat' AS v; ATTACH '" + base + "mv04.dat' AS i;").c_str(),
                 nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA v.synchronous=FULL; PRAGMA i.synchronous=FULL;", nullptr, nullptr, nullptr);
    for (const auto& [def, alias] :
         {std::pair{&store::vsdTable(), "v"}, std::pair{&store::insideTable(), "i"}})
        for (const std::string& sql : store::schema::createStatements(*def, alias))
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_stmt* insVsd = bench::prepare(db, bench::insertSql(store::vsdTable(), "v"));
    sqlite3_stmt* insInside = bench::prepare(db, bench::insertSql(store::insideTable(), "i"));
    const auto t = Clock::now();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const auto& [def, stmt, rows] : {std::tuple{&store::vsdTable(), insVsd, &vsds},
                                          std::tuple{&store::insideTable(), insInside, &contents}})
        for (const std::vector<char>& row : *rows) {
            bench::bindRecord(stmt, *def, row.data());
            if (sqlite3_step(stmt) != SQLITE_DONE)
                std::fprintf(stderr, "raw: %s\n", sqlite3_errmsg(db));
            sqlite3_reset(stmt);
        }
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        std::fprintf(stderr, "raw: %s\n", sqlite3_errmsg(db));
    const double seconds = secondsSince(t);
    sqlite3_finalize(insVsd);
    sqlite3_finalize(insInside);
    sqlite3_close(db);
    return seconds;
}

// One answer through the loader and through raw statements; false when a load failed.
bool runCase(int count, int suppliers)
{
    bench::AnswerOptions options;
    options.documents = count;
    options.indented = false;
    options.suppliers = suppliers;
    const std::string answer = bench::generateVsdAnswer(options);

    QTemporaryDir loaded, raw;
    const QString folder = loaded.path() + u'/';
    QDir().mkpath(folder + QStringLiteral("Base"));
    {
        vetis::RequestRecord request;
        responses::VsdAnswerLists lists;
        lists.bind(request);
        if (!responses::ReadAnswer(answer, request).ok()) {
            std::fprintf(stderr, "load_bench: the generated answer was not read\n");
            return false;
        }
        storeNamedReferences(folder, lists);
    }
    vetis::ExchangeContext context; // no settings: nothing may be asked of a service
    const LoadRun first = load(folder, answer, context);
    const LoadRun second = load(folder, answer, context);
    const double rawSeconds = rawInsert(folder, raw.path() + u'/');
    if (!first.stored.ok || !second.stored.ok || rawSeconds <= 0) {
        std::fprintf(stderr, "load_bench: a load failed\n");
        return false;
    }
    if (suppliers > 0)
        std::printf("\n%d VSDs from %d suppliers to one receiver (%zu bytes of answer)\n", count, suppliers,
                    answer.size());
    else
        std::printf("\n%d VSDs, every name in them a new one (%zu bytes of answer)\n", count, answer.size());
    std::printf("first load (read and store):   %8.3f s  (%d stored; reading the answer %.3f s)\n",
                first.seconds, first.stored.inserted, first.walkSeconds);
    std::printf("raw insert of the same rows:   %8.3f s\n", rawSeconds);
    std::printf("second load (all unchanged):   %8.3f s  (%d skipped)\n", second.seconds,
                second.stored.skipped);
    std::printf("load / raw:   %.2f  (goal at most 3.00: %s)\n", first.seconds / rawSeconds,
                first.seconds <= 3 * rawSeconds ? "met" : "NOT MET");
    std::printf("second / first: %.2f  (goal at most 0.50: %s)\n", second.seconds / first.seconds,
                second.seconds <= 0.5 * first.seconds ? "met" : "NOT MET");
    return true;
}

constexpr const char* kUsage =
    "usage: load_bench [VSD count = 1000] [suppliers = 50]\n"
    "  Stores a generated answer of that many VSDs through the loader (every name\n"
    "  they refer to stored before), the same rows with raw SQLite statements, and\n"
    "  the answer a second time (every VSD unchanged), and prints the times: once\n"
    "  for VSDs from that many suppliers to one receiver, once for VSDs in which\n"
    "  every name is a new one (the worst case for the lookups).\n";

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    bench::CommandLine line;
    int exitCode = 0;
    if (!bench::readCommandLine(argc, argv, kUsage, 2, {}, {}, line, exitCode))
        return exitCode;
    const int count = static_cast<int>(line.number(0, 1000));
    const int suppliers = static_cast<int>(line.number(1, 50));
    std::printf("load_bench: one thread\n");
    return runCase(count, std::max(suppliers, 1)) && runCase(count, 0) ? 0 : 1;
}
