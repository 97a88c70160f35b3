// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"
#include "store/Sqlite.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The database connection of one session (one thread): opens the connection,
// attaches each table's file once under the table's name, and runs the
// transactions over them. Private to the store.
namespace store {

// The file of one table as attached to a connection.
struct AttachedFile
{
    const TableDef* def = nullptr;
    std::string alias; // the table's name, the schema name in SQL
    std::string path;  // UTF-8 file path, or the memory name
    std::string salt;  // sealed tables: the file's salt
    int users = 0;     // open table instances of this session
    bool writeLocked = false;
};

class Connection final
{
public:
    // The busy time-out of single writes and reads outside a transaction.
    static constexpr int kDefaultLockTimeoutSeconds = 10;
    // The most each attached file's page cache may hold, in KiB.
    static constexpr int kPageCacheKb = 32 * 1024;

    // anchorPath: the empty database that anchors multi-file commits (their
    // super-journal is written beside it). It is opened with the connection;
    // where it cannot be had then, the main database is a temporary one.
    // readOnly: every table file is attached read-only (nothing created,
    // upgraded or written); such a connection has no anchor.
    Connection(std::string anchorPath, bool readOnly);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    sqlite3* db() const { return m_db; }

    // Attaches (or shares the attachment of) a table's file. A read-write
    // connection creates a missing file with its schema and upgrades a file
    // of an older field dictionary; a read-only one reports both.
    [[nodiscard]] int attach(const TableDef& def, const std::string& path, AttachedFile*& out,
                             sqlite::DbError& err);
    void release(const TableDef& def);

    [[nodiscard]] int prepare(const std::string& sql, sqlite::Statement& out, sqlite::DbError& err);
    // sqlite3_step, waiting out the table locks of shared in-memory tables the
    // way the busy time-out waits out file locks, as long as the statement has
    // not produced a row; a lock met after that is returned as it is.
    [[nodiscard]] int step(sqlite3_stmt* stmt);
    // step() of a statement that only reads: the way reads are held together.
    [[nodiscard]] int stepRead(sqlite3_stmt* stmt);
    void useLockTimeout(int seconds);

    // Every write of this connection moves the generation on, so that the
    // prefetched rows of every table instance know they are stale.
    std::uint64_t generation() const { return m_generation; }
    void noteWrite() { ++m_generation; }

    bool inTransaction() const { return m_inTransaction; }
    // Reads outside a transaction share one read transaction while held (see
    // Session::holdReads); anything else the connection does ends it first.
    void holdReads(bool hold);
    [[nodiscard]] int begin(std::vector<AttachedFile*> files, int timeoutSeconds, sqlite::DbError& err);
    // Inside a transaction: take the write lock of a file not named at its start.
    [[nodiscard]] int lockForWrite(AttachedFile& file, sqlite::DbError& err);
    [[nodiscard]] int commit(sqlite::DbError& err);
    void rollback();
    // A nested scope that can be undone alone (the cascades of one change).
    [[nodiscard]] int savepoint(sqlite::DbError& err);
    void releaseSavepoint();
    void rollbackToSavepoint();

private:
    [[nodiscard]] int open(sqlite::DbError& err);
    // Before a table file is attached: makes sure the main database is the
    // anchor when the connection can still be opened anew.
    void anchorForFiles();
    void endTransaction();
    void endHeldReads();
    void detachUnused();

    std::string m_anchorPath;
    sqlite3* m_db = nullptr;
    std::map<std::string, AttachedFile, std::less<>> m_files;
    bool m_anchored = false;
    bool m_reportedUnanchored = false;
    bool m_inTransaction = false;
    bool m_holdReads = false;
    bool m_readsHeld = false; // the held read transaction is open
    bool m_readOnly = false;
    int m_timeoutMs = -1;
    std::uint64_t m_generation = 0;
};

} // namespace store
