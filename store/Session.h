// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

#include <cstdint>

#include <map>
#include <memory>
#include <set>

namespace store {

struct TableDef;
class Connection;
class Table;

// Lock time-outs of transactions, in seconds.
constexpr int kDataLockTimeoutSeconds = 10;
constexpr int kListFormatLockTimeoutSeconds = 5;

// The tables of one thread. A session owns the thread's database connection,
// on which every table file the thread opens is attached, so that a
// transaction over several tables is one transaction of the database and its
// commit is atomic across the files. Create one session per thread and use it,
// and the tables opened through it, on that thread only.
//
// Files lie relative to the data folder ("Base/mv08.dat"); the list-format
// table lives in its own file, whose path is given here (default: "lf.dat" in
// the data folder).
//
// A read-only session only reads: its files are opened read-only, a missing
// file is reported (2) instead of created, a file of an older field
// dictionary is refused (47) instead of upgraded, no journal or other file is
// made beside them, and every write fails with 5. In-memory tables are
// writable in either kind of session.
enum class Access : std::uint8_t
{
    ReadWrite,
    ReadOnly,
};

class Session final
{
public:
    explicit Session(const QString& dataFolder, const QString& listFormatFile = {},
                     Access access = Access::ReadWrite);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The full path of a table's file, or the name of an in-memory table.
    QString filePath(const TableDef& def) const;
    bool inTransaction() const;
    // Each read outside a transaction takes the shared lock of its file and
    // lets it go again, which costs more than a small read itself. While
    // reads are held, they share one read transaction; the session's next
    // write, transaction or newly opened table ends it, and the read after
    // that takes a new one. Writers of other sessions wait while reads are
    // held: hold them only over runs of reads that wait on nothing else.
    void holdReads(bool hold);
    bool readOnly() const { return m_access == Access::ReadOnly; }

    // The store's own plumbing.
    Connection& connection() { return *m_connection; }
    // An instance of a related table for cascades, opened on first use;
    // nullptr when it cannot be opened (the last error says why).
    Table* relatedTable(const TableDef& def);
    void registerTable(Table* table) { m_tables.insert(table); }
    void unregisterTable(Table* table) { m_tables.erase(table); }

private:
    QString m_dataFolder;
    QString m_listFormatFile;
    Access m_access;
    std::unique_ptr<Connection> m_connection;
    std::map<const TableDef*, std::unique_ptr<Table>> m_related;
    std::set<Table*> m_tables;
};

} // namespace store
