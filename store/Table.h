// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/ErrorCodes.h"
#include "store/FieldDef.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

namespace store {

class Session;
struct AttachedFile;
namespace sealed {
struct Keys;
}

// One thread's instance of a table: its record buffer, its current record and
// its position in a key. Every operation returns 0 or an error number
// (ErrorCodes.h) and records failures in framework::lastError().
//
// Reading a range:
//     table.clear(); set the leading key fields in the buffer;
//     table.set(key, 2);                       // first two components
//     while (table.next() == kOk && <still in range>) ...;
// set() positions before the first record whose leading components are >= the
// buffer's values (next) or after the last one whose leading components are
// <= them (previous); the remaining components are unbounded. Records come in
// key order: each component ascending, texts compared as bytes, duplicates of
// a key in the order they were added. next() and previous() may be mixed; each
// continues from the record read last. The end of the range is 35; next()
// without set() is 33. The sealed settings table keeps no order of its own: a
// walk over it visits every record once, in the order of its keyed hash.
//
// put() and deleteRecord() act on the record read last (by fetch, next,
// previous or add). Outside a transaction every write commits at once.
class Table
{
public:
    static constexpr int kAllComponents = -1;

    Table(Session& session, const TableDef& def);
    virtual ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // Opens the table's file, creating it empty when it is missing and
    // upgrading it when it was written with an older field dictionary (a
    // read-only session reports both instead). A table whose changes cascade
    // to other tables opens those too, and fails with their error when one of
    // them cannot be opened.
    [[nodiscard]] int open();
    void close();
    bool isOpen() const { return m_file != nullptr; }

    const TableDef& def() const { return m_def; }
    Session& session() const { return *m_session; }
    QString filePath() const;

    // The record buffer (def().recordLength bytes).
    char* data() { return m_record.get(); }
    const char* data() const { return m_record.get(); }

    // Texts blank, zero-terminated texts zero, numbers 0.
    void clear();

    // Reads the record whose key equals the buffer on all components.
    [[nodiscard]] int fetch(const KeyDef& key);
    [[nodiscard]] int fetch(std::string_view keyName);

    [[nodiscard]] int set(const KeyDef& key, int components = kAllComponents);
    [[nodiscard]] int set(std::string_view keyName, int components = kAllComponents);
    [[nodiscard]] int next();
    [[nodiscard]] int previous();

    [[nodiscard]] int add();
    [[nodiscard]] int put();
    [[nodiscard]] int deleteRecord();
    // Deletes every record (no cascades).
    [[nodiscard]] int deleteAll();
    // Deletes every record whose leading `components` of the key equal the
    // buffer's (at least one) in one statement; none is no error. Not for a
    // table whose deletes cascade or whose rows are sealed (they go one by one).
    [[nodiscard]] int deleteEqual(const KeyDef& key, int components);
    [[nodiscard]] int deleteEqual(std::string_view keyName, int components);
    [[nodiscard]] int count(std::int64_t& records);

    // Visits every record whose leading `components` key values lie between
    // those of the record images `low` and `high`, both included, in one
    // statement: in key order, or in the order the file keeps them (quicker
    // when many fields of many records are read: no seek per record). Only
    // `fields` (indexes into def().fields) are read into the image handed to
    // `visit`; its other fields are cleared. `visit` returns false to stop; it
    // must not use this table or write through the session. Rows are
    // identified by their row id, which readRow() reads whole. Not for sealed
    // tables.
    enum class ScanOrder
    {
        KeyAscending,
        KeyDescending,
        Stored,
    };
    using RangeVisit = std::function<bool(std::int64_t row, const char* image)>;
    [[nodiscard]] int scanRange(const KeyDef& key, int components, const char* low, const char* high,
                                std::span<const int> fields, const RangeVisit& visit,
                                ScanOrder order = ScanOrder::KeyAscending);
    // Reads the record of a row id into the buffer and makes it the current one.
    [[nodiscard]] int readRow(std::int64_t row);

    // The store's own use (cascades): the record of row `row` as stored.
    [[nodiscard]] int readStored(std::int64_t row, char* out);

private:
    struct Statements;
    struct Position;
    enum class Query : std::uint8_t;

    [[nodiscard]] int fail(int code, int sqliteCode = 0, std::string_view text = {}) const;
    [[nodiscard]] int failDb(int rc) const;
    [[nodiscard]] int ensureOpen() const;
    [[nodiscard]] int ensureKeys() const;
    [[nodiscard]] int keyIndex(const KeyDef& key) const;
    [[nodiscard]] int statement(Query q, int key, int components, sqlite3_stmt*& out);
    [[nodiscard]] int bindKey(sqlite3_stmt* stmt, int firstParam, int key, int components,
                              const char* record) const;
    [[nodiscard]] int bindRecord(sqlite3_stmt* stmt, const char* record) const;
    [[nodiscard]] int decodeRow(sqlite3_stmt* stmt, char* out) const;
    [[nodiscard]] int read(int direction);
    [[nodiscard]] int query(int direction, int limit);
    [[nodiscard]] int runQuery(sqlite3_stmt* stmt, int limit, int& got);
    [[nodiscard]] int loadRow(std::int64_t row, char* out);
    [[nodiscard]] int writeRecord(bool insert, bool withCascades = true);
    [[nodiscard]] int failSealedClash(int rc);
    [[nodiscard]] int removeRow(std::int64_t row);
    [[nodiscard]] int deleteWhere(Query q, int key, int components);

    Session* m_session;
    const TableDef& m_def;
    std::unique_ptr<char[]> m_record;
    std::string m_path; // UTF-8, for messages
    AttachedFile* m_file = nullptr;
    mutable const sealed::Keys* m_keys = nullptr; // sealed tables only, on first use
    mutable std::vector<unsigned char> m_sealBuffer;
    std::vector<char> m_scratch;
    std::int64_t m_currentRow = 0;
    std::unique_ptr<Statements> m_statements;
    std::unique_ptr<Position> m_position;

    friend class Session;
    friend class Transaction;
    friend class Cascades;
};

// A table whose buffer is seen as its record struct.
template <typename Record>
class TypedTable : public Table
{
public:
    TypedTable(Session& session, const TableDef& def)
        : Table(session, def)
    {
        static_assert(std::is_trivially_copyable_v<Record>);
        Q_ASSERT(def.recordLength == sizeof(Record));
    }
    Record& rec() { return *reinterpret_cast<Record*>(data()); }
    const Record& rec() const { return *reinterpret_cast<const Record*>(data()); }
};

} // namespace store
