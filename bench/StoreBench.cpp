// SPDX-License-Identifier: LicenseRef-Kestrom
// The indexed file driver against raw SQLite prepared statements on the same
// schema: loading VSDs with their contents in transactions of 1,000, then
// reading ranges of 50 records of one consignee enterprise in date order.
//
//     store_bench [VSD count = 100000] [ranges = 1000]
#include "BenchCommandLine.h"
#include "RawSqlite.h"

#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/TableSchema.h"
#include "store/Transaction.h"
#include "store/tables/Inside.h"
#include "store/tables/Vsd.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

using namespace store;

namespace {

constexpr int kBatch = 1000;
constexpr int kContents = 10;
constexpr int kRangeRows = 50;

using Clock = std::chrono::steady_clock;
double secondsSince(Clock::time_point t)
{
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// The i-th VSD: two entities, five enterprises each, dates over one year.
struct VsdKey
{
    std::string hs, ent, uuid;
    int date;
};
VsdKey keyOf(int i)
{
    std::mt19937 rng(static_cast<unsigned>(i) * 2654435761u);
    char uuid[40];
    std::snprintf(uuid, sizeof uuid, "%08x-%04x-4%03x-8%03x-%012x", static_cast<unsigned>(rng()), i & 0xFFFF,
                  static_cast<unsigned>(rng() & 0xFFF), static_cast<unsigned>(rng() & 0xFFF), i);
    return {"hs-" + std::to_string(i % 2), "ent-" + std::to_string(i % 5), uuid,
            80000 + static_cast<int>(rng() % 365)};
}

void fillVsd(VsdRecord& r, int i)
{
    const VsdKey k = keyOf(i);
    std::memset(&r, 0, sizeof r);
    for (const FieldDef& f : vsdTable().fields)
        if (f.type == FieldType::Text)
            std::memset(reinterpret_cast<char*>(&r) + f.offset, ' ', f.size);
    setText(r.UUID, k.uuid);
    setText(r.CONSIGNEEHS, k.hs);
    setText(r.CONSIGNEEENT, k.ent);
    r.DATE = k.date;
    setZText(r.VETDFORM, "TRANSPORT");
    setZText(r.VETDSTATUS, "CONFIRMED");
    r.CODSTATUS = 1;
    setText(r.CONSIGNORHS, "5c1d3e3a-96c5-4f0e-8c33-5d51b9b3a0c1");
    setZText(r.CONSIGNORNAME, "\xCE\xCE\xCE \"\xD0\xEE\xEC\xE0\xF8\xEA\xE0\""); // ООО "Ромашка"
    setZText(r.PRODITEMNAME,
             "\xCC\xEE\xEB\xEE\xEA\xEE \xEF\xE0\xF1\xF2\xE5\xF0\xE8\xE7\xEE\xE2\xE0\xED\xED\xEE\xE5");
    setZText(r.VOLUME, "1250.5");
    r.KOLVO = 1250.5;
    r.EXPDATE2 = k.date + 30;
}

void fillInside(InsideRecord& r, const std::string& uuid, int n)
{
    std::memset(&r, 0, sizeof r);
    for (const FieldDef& f : insideTable().fields)
        if (f.type == FieldType::Text)
            std::memset(reinterpret_cast<char*>(&r) + f.offset, ' ', f.size);
    setText(r.UUID, uuid);
    r.VID = 1 + n % 9;
    r.NUMBER = n;
    setZText(r.STR120_01, "batch-" + std::to_string(n));
    setZText(r.STR250_01, "\xCF\xF0\xEE\xE8\xE7\xE2\xEE\xE4\xE8\xF2\xE5\xEB\xFC");
}

// Ranges are read twice: once from a cold start after the load, once more
// with the same positions (pages in the operating system's cache).
struct Figures
{
    double loadSeconds = 0;
    double rangeSeconds = 0; // first pass
    double warmSeconds = 0;  // second pass
    long rowsRead = 0;
    bool ok = true; // false: an operation failed, and the times measure nothing
};

// A benchmark that goes on after a failed operation would time work that was
// not done: it stops with the operation and the store's error number.
Figures failed(const char* what, int code)
{
    std::fprintf(stderr, "driver: %s failed (error %d); no figures\n", what, code);
    Figures f;
    f.ok = false;
    return f;
}

// --- through the driver ---------------------------------------------------

Figures runDriver(const QString& folder, int count, int ranges)
{
    Figures f;
    Session session(folder);
    TypedTable<VsdRecord> vsd(session, vsdTable());
    TypedTable<InsideRecord> inside(session, insideTable());
    if (const int code = vsd.open())
        return failed("opening the VSD table", code);
    if (const int code = inside.open())
        return failed("opening the contents table", code);
    const auto t0 = Clock::now();
    for (int first = 0; first < count; first += kBatch) {
        Transaction t(session, {&vsd, &inside});
        if (const int code = t.start())
            return failed("starting a transaction", code);
        for (int i = first; i < std::min(count, first + kBatch); ++i) {
            fillVsd(vsd.rec(), i);
            if (const int code = vsd.add())
                return failed("adding a VSD", code);
            const std::string uuid(textOf(vsd.rec().UUID));
            for (int n = 1; n <= kContents; ++n) {
                fillInside(inside.rec(), uuid, n);
                if (const int code = inside.add())
                    return failed("adding a contents row", code);
            }
        }
        if (const int code = t.commit())
            return failed("a commit", code);
    }
    f.loadSeconds = secondsSince(t0);

    const KeyDef& byDate = *vsdTable().key("MVD:BYDATE2");
    for (int pass = 0; pass < 2; ++pass) {
        std::mt19937 rng(7);
        long rows = 0;
        const auto t1 = Clock::now();
        for (int r = 0; r < ranges; ++r) {
            const VsdKey k = keyOf(static_cast<int>(rng() % static_cast<unsigned>(count)));
            vsd.clear();
            setText(vsd.rec().CONSIGNEEHS, k.hs);
            setText(vsd.rec().CONSIGNEEENT, k.ent);
            vsd.rec().DATE = k.date;
            if (const int code = vsd.set(byDate, 3))
                return failed("setting a position", code);
            int n = 0;
            int code = kOk;
            while (n < kRangeRows && (code = vsd.next()) == kOk)
                ++n;
            // The end of the table ends a range early; anything else is a
            // failed read.
            if (code != kOk && code != kRecordNotFound)
                return failed("reading a range", code);
            rows += n;
        }
        (pass ? f.warmSeconds : f.rangeSeconds) = secondsSince(t1);
        f.rowsRead = rows;
    }
    return f;
}

// --- raw SQLite -----------------------------------------------------------

void readRecord(sqlite3_stmt* s, const TableDef& def, char* rec)
{
    int c = 1;
    for (const FieldDef& f : def.fields) {
        char* v = rec + f.offset;
        switch (f.type) {
        case FieldType::Text:
        case FieldType::ZText: {
            const void* b = sqlite3_column_blob(s, c);
            const std::size_t cap = f.type == FieldType::ZText ? f.size - 1u : f.size;
            const std::size_t n =
                std::min<std::size_t>(static_cast<std::size_t>(sqlite3_column_bytes(s, c)), cap);
            if (n)
                std::memcpy(v, b, n);
            std::memset(v + n, f.type == FieldType::ZText ? 0 : ' ', f.size - n);
            break;
        }
        case FieldType::U8:
            *reinterpret_cast<unsigned char*>(v) = static_cast<unsigned char>(sqlite3_column_int(s, c));
            break;
        case FieldType::I16: {
            const auto x = static_cast<std::int16_t>(sqlite3_column_int(s, c));
            std::memcpy(v, &x, 2);
            break;
        }
        case FieldType::U16: {
            const auto x = static_cast<std::uint16_t>(sqlite3_column_int(s, c));
            std::memcpy(v, &x, 2);
            break;
        }
        case FieldType::I32: {
            const auto x = static_cast<std::int32_t>(sqlite3_column_int(s, c));
            std::memcpy(v, &x, 4);
            break;
        }
        case FieldType::F64: {
            const double x = sqlite3_column_double(s, c);
            std::memcpy(v, &x, 8);
            break;
        }
        }
        ++c;
    }
}

Figures runRaw(const QString& folder, int count, int ranges)
{
    Figures f;
    QDir().mkpath(folder + QStringLiteral("Base"));
    sqlite3* db = nullptr;
    sqlite3_open((folder + QStringLiteral("Base/commit.db")).toUtf8().constData(), &db);
    const std::string base = (folder + QStringLiteral("Base/")).toStdString();
    sqlite3_exec(db, ("ATTACH '" + base + "mv08.dat' AS v; ATTACH '" + base + "mv04.dat' AS i;").c_str(),
                 nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA v.synchronous=FULL; PRAGMA i.synchronous=FULL;", nullptr, nullptr, nullptr);
    for (const auto& [def, alias] : {std::pair{&vsdTable(), "v"}, std::pair{&insideTable(), "i"}})
        for (const std::string& sql : schema::createStatements(*def, alias))
            sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);

    sqlite3_stmt* insVsd = bench::prepare(db, bench::insertSql(vsdTable(), "v"));
    sqlite3_stmt* insInside = bench::prepare(db, bench::insertSql(insideTable(), "i"));
    VsdRecord vsd;
    InsideRecord inside;
    const auto t0 = Clock::now();
    for (int first = 0; first < count; first += kBatch) {
        sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (int i = first; i < std::min(count, first + kBatch); ++i) {
            fillVsd(vsd, i);
            bench::bindRecord(insVsd, vsdTable(), reinterpret_cast<const char*>(&vsd));
            if (sqlite3_step(insVsd) != SQLITE_DONE)
                std::fprintf(stderr, "raw: %s\n", sqlite3_errmsg(db));
            sqlite3_reset(insVsd);
            const std::string uuid(textOf(vsd.UUID));
            for (int n = 1; n <= kContents; ++n) {
                fillInside(inside, uuid, n);
                bench::bindRecord(insInside, insideTable(), reinterpret_cast<const char*>(&inside));
                sqlite3_step(insInside);
                sqlite3_reset(insInside);
            }
        }
        if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            std::fprintf(stderr, "raw: %s\n", sqlite3_errmsg(db));
    }
    f.loadSeconds = secondsSince(t0);

    sqlite3_stmt* range = bench::prepare(
        db, "SELECT rowid," + schema::selectColumns(vsdTable()) +
                " FROM v.records WHERE (\"MVD:CONSIGNEEHS\",\"MVD:CONSIGNEEENT\",\"MVD:DATE\") >= (?1,?2,?3)"
                " ORDER BY \"MVD:CONSIGNEEHS\",\"MVD:CONSIGNEEENT\",\"MVD:DATE\",\"MVD:UUID\" LIMIT 50");
    for (int pass = 0; pass < 2; ++pass) {
        std::mt19937 rng(7);
        long rows = 0;
        const auto t1 = Clock::now();
        for (int r = 0; r < ranges; ++r) {
            const VsdKey k = keyOf(static_cast<int>(rng() % static_cast<unsigned>(count)));
            sqlite3_bind_blob(range, 1, k.hs.data(), static_cast<int>(k.hs.size()), SQLITE_STATIC);
            sqlite3_bind_blob(range, 2, k.ent.data(), static_cast<int>(k.ent.size()), SQLITE_STATIC);
            sqlite3_bind_int(range, 3, k.date);
            while (sqlite3_step(range) == SQLITE_ROW) {
                readRecord(range, vsdTable(), reinterpret_cast<char*>(&vsd));
                ++rows;
            }
            sqlite3_reset(range);
        }
        (pass ? f.warmSeconds : f.rangeSeconds) = secondsSince(t1);
        f.rowsRead = rows;
    }
    sqlite3_finalize(range);
    sqlite3_finalize(insVsd);
    sqlite3_finalize(insInside);
    sqlite3_close(db);
    return f;
}

constexpr const char* kUsage =
    "usage: store_bench [VSD count = 100000] [ranges = 1000]\n"
    "  Loads the VSDs with their contents through the table driver and through raw SQLite\n"
    "  statements on the same schema, in transactions of 1000, then reads the ranges of 50\n"
    "  records of one consignee enterprise in date order, and prints the times of both.\n";

} // namespace

int main(int argc, char** argv)
{
    bench::CommandLine line;
    int exitCode = 0;
    if (!bench::readCommandLine(argc, argv, kUsage, 2, {}, {}, line, exitCode))
        return exitCode;
    QCoreApplication app(argc, argv);
    const int count = static_cast<int>(std::min(line.number(0, 100000), 100000000L));
    const int ranges = static_cast<int>(std::min(line.number(1, 1000), 100000000L));
    QTemporaryDir driverDir, rawDir;
    const QString driverFolder = driverDir.path() + u'/';
    QDir().mkpath(driverFolder + QStringLiteral("Base"));

    std::printf("store_bench: %d VSDs with %d contents rows each, transactions of %d; %d ranges of %d rows\n",
                count, kContents, kBatch, ranges, kRangeRows);
    const Figures d = runDriver(driverFolder, count, ranges);
    if (!d.ok)
        return 1;
    const Figures r = runRaw(rawDir.path() + u'/', count, ranges);
    auto us = [&](double seconds) { return seconds * 1e6 / ranges; };
    std::printf("%-8s %10s %16s %16s %10s\n", "", "load, s", "range cold, us", "range warm, us", "rows/pass");
    std::printf("%-8s %10.3f %16.1f %16.1f %10ld\n", "driver", d.loadSeconds, us(d.rangeSeconds),
                us(d.warmSeconds), d.rowsRead);
    std::printf("%-8s %10.3f %16.1f %16.1f %10ld\n", "raw", r.loadSeconds, us(r.rangeSeconds),
                us(r.warmSeconds), r.rowsRead);
    std::printf("ratio driver/raw: load %.2f, range cold %.2f, range warm %.2f\n",
                d.loadSeconds / r.loadSeconds, d.rangeSeconds / r.rangeSeconds,
                d.warmSeconds / r.warmSeconds);
    return d.rowsRead == r.rowsRead ? 0 : 1;
}
