// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/Connection.h"

#include "platform/DebugOutput.h"
#include "store/ErrorCodes.h"
#include "store/TableFiles.h"
#include "store/TableSchema.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

namespace store {

namespace {

using sqlite::DbError;

// The process-wide in-memory tables live as long as one connection holds them;
// this one is opened on first use and kept for the life of the process. A
// failed open is reported and not remembered: without its keeper the table
// would silently lose its rows whenever no thread happens to hold it.
[[nodiscard]] int keepSharedMemoryAlive(const std::string& uri, DbError& err)
{
    static std::mutex mutex;
    static std::map<std::string, sqlite3*>* keepers = new std::map<std::string, sqlite3*>;
    std::lock_guard lock(mutex);
    if (keepers->count(uri))
        return kOk;
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(
        uri.c_str(), &db,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_URI | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        err = sqlite::dbError(db, rc);
        sqlite3_close_v2(db);
        return err.code;
    }
    (*keepers)[uri] = db;
    return kOk;
}

std::string attachTarget(const TableDef& def, const std::string& path, bool readOnly)
{
    switch (def.storage) {
    case Storage::SharedMemory:
        return "file:" + std::string(def.fileName) + "?mode=memory&cache=shared";
    case Storage::ThreadMemory:
        return ":memory:";
    default:
        return files::attachUri(path, readOnly);
    }
}

bool isMemory(const TableDef& def)
{
    return def.storage == Storage::SharedMemory || def.storage == Storage::ThreadMemory;
}

} // namespace

Connection::Connection(std::string anchorPath, bool readOnly)
    : m_anchorPath(std::move(anchorPath))
    , m_readOnly(readOnly)
{}

Connection::~Connection()
{
    endHeldReads();
    if (m_inTransaction)
        rollback();
    if (m_db)
        sqlite3_close_v2(m_db);
}

int Connection::open(DbError& err)
{
    if (m_db)
        return kOk;
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI;
    int rc = SQLITE_CANTOPEN;
    m_anchored = false;
    m_reportedUnanchored = false;
    if (!m_anchorPath.empty()) {
        rc = sqlite3_open_v2(m_anchorPath.c_str(), &m_db, flags, nullptr);
        m_anchored = rc == SQLITE_OK;
        if (!m_anchored) {
            sqlite3_close_v2(m_db);
            m_db = nullptr;
        }
    }
    // Without the anchor (a read-only folder, or no "Base" yet) the tables
    // still open; a folder without "Base" has no table files to write, and a
    // read-only one takes no writes anyway.
    if (!m_db) {
        rc = sqlite3_open_v2("", &m_db, flags, nullptr);
        if (rc != SQLITE_OK) {
            err = sqlite::dbError(m_db, rc);
            sqlite3_close_v2(m_db);
            m_db = nullptr;
            return err.code;
        }
    }
    sqlite3_extended_result_codes(m_db, 1);
    m_timeoutMs = -1; // a new handle: the time-out must be set on it
    useLockTimeout(kDefaultLockTimeoutSeconds);
    return kOk;
}

void Connection::anchorForFiles()
{
    if (!m_db || m_anchored)
        return;
    // Opened without the anchor, for an in-memory table or the list-format
    // file before "Base" existed. While nothing is attached (so no statement
    // of a table refers to the handle) the connection is opened again, now
    // with the anchor where it can be had.
    if (m_files.empty() && !m_inTransaction) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        return;
    }
    if (!m_reportedUnanchored) {
        m_reportedUnanchored = true;
        platform::debugOutput("store: " + m_anchorPath +
                              " could not be opened; a commit over several files of this thread is not "
                              "atomic if the process dies during it");
    }
}

int Connection::attach(const TableDef& def, const std::string& path, AttachedFile*& out, DbError& err)
{
    out = nullptr;
    endHeldReads(); // a file cannot be attached inside a transaction
    if (!isMemory(def) && !m_readOnly)
        anchorForFiles();
    if (open(err) != kOk)
        return err.code;
    if (auto it = m_files.find(def.name); it != m_files.end()) {
        if (it->second.def != &def) {
            err = {kBadFileStructure, 0, "another table of this name is open"};
            return err.code;
        }
        ++it->second.users;
        out = &it->second;
        return kOk;
    }
    if (m_inTransaction) {
        err = {kTransactionActive, 0, "a table cannot be opened inside a transaction"};
        return err.code;
    }

    if (!isMemory(def) && files::prepareForAttach(def, path, m_readOnly, err) != kOk)
        return err.code;

    const std::string alias(def.name);
    const std::string target = attachTarget(def, path, m_readOnly);
    if (def.storage == Storage::SharedMemory && keepSharedMemoryAlive(target, err) != kOk)
        return err.code;
    sqlite::Statement attachStmt;
    if (prepare("ATTACH DATABASE ?1 AS " + sqlite::quoted(alias), attachStmt, err) != kOk)
        return err.code;
    sqlite3_bind_text(attachStmt.get(), 1, target.c_str(), -1, SQLITE_TRANSIENT);
    const int rc = step(attachStmt.get());
    if (rc != SQLITE_DONE) {
        err = sqlite::dbError(m_db, rc);
        return err.code;
    }
    attachStmt.reset();

    auto detach = [&] {
        sqlite3_exec(m_db, ("DETACH DATABASE " + sqlite::quoted(alias)).c_str(), nullptr, nullptr, nullptr);
    };
    // A file that is only read keeps its journal mode and writes nothing.
    const bool writable = !isMemory(def) && !m_readOnly;
    schema::FileInfo info;
    // A long list reads its records in key order, scattered over the file: a
    // page cache of SQLite's default 2 MB would read most pages from the
    // system again and again. The cache grows only as far as it is used.
    if (!isMemory(def) &&
        sqlite::exec(m_db, "PRAGMA " + sqlite::quoted(alias) + ".cache_size = -" + std::to_string(kPageCacheKb),
                     err) != kOk) {
        detach();
        return err.code;
    }
    if (writable &&
        sqlite::exec(m_db, "PRAGMA " + sqlite::quoted(alias) + ".synchronous = FULL", err) != kOk) {
        detach();
        return err.code;
    }
    const schema::OpenKind kind = isMemory(def) ? schema::OpenKind::Memory
                                  : m_readOnly  ? schema::OpenKind::ReadOnly
                                                : schema::OpenKind::ReadWrite;
    if (schema::prepareFile(m_db, def, alias, kind, m_timeoutMs, info, err) != kOk) {
        detach();
        return err.code;
    }
    // The rollback journal keeps a commit over several files atomic.
    if (writable &&
        sqlite::exec(m_db, "PRAGMA " + sqlite::quoted(alias) + ".journal_mode = DELETE", err) != kOk) {
        detach();
        return err.code;
    }

    AttachedFile& a = m_files[alias];
    a.def = &def;
    a.alias = alias;
    a.path = path;
    a.salt = std::move(info.salt);
    a.users = 1;
    out = &a;
    return kOk;
}

void Connection::release(const TableDef& def)
{
    auto it = m_files.find(def.name);
    if (it == m_files.end() || it->second.def != &def)
        return;
    if (--it->second.users <= 0 && !m_inTransaction)
        detachUnused();
}

void Connection::detachUnused()
{
    endHeldReads();
    for (auto it = m_files.begin(); it != m_files.end();) {
        if (it->second.users > 0) {
            ++it;
            continue;
        }
        sqlite3_exec(m_db, ("DETACH DATABASE " + sqlite::quoted(it->first)).c_str(), nullptr, nullptr,
                     nullptr);
        it = m_files.erase(it);
    }
}

int Connection::prepare(const std::string& sql, sqlite::Statement& out, DbError& err)
{
    if (open(err) != kOk)
        return err.code;
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v3(m_db, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                                &raw, nullptr);
    // A shared in-memory table whose schema another thread is writing.
    for (int i = 0; (rc & 0xFF) == SQLITE_LOCKED && i < std::max(m_timeoutMs, 1); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        rc = sqlite3_prepare_v3(m_db, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                                &raw, nullptr);
    }
    out.reset(raw);
    if (rc != SQLITE_OK) {
        err = sqlite::dbError(m_db, rc);
        return err.code;
    }
    return kOk;
}

int Connection::step(sqlite3_stmt* stmt)
{
    // A statement that has delivered rows cannot be started again without
    // delivering them twice: only a statement that has not yet produced a
    // row waits the lock out; after the first row the lock is the result.
    const bool delivered = sqlite3_stmt_busy(stmt) != 0;
    int rc = sqlite3_step(stmt);
    if ((rc & 0xFF) != SQLITE_LOCKED || delivered)
        return rc;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_timeoutMs);
    while ((rc & 0xFF) == SQLITE_LOCKED && std::chrono::steady_clock::now() < deadline) {
        sqlite3_reset(stmt);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        rc = sqlite3_step(stmt);
    }
    return rc;
}

int Connection::stepRead(sqlite3_stmt* stmt)
{
    if (m_holdReads && !m_readsHeld && !m_inTransaction && sqlite3_stmt_busy(stmt) == 0 &&
        sqlite3_get_autocommit(m_db) && sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK)
        m_readsHeld = true;
    return step(stmt);
}

void Connection::holdReads(bool hold)
{
    m_holdReads = hold;
    if (!hold)
        endHeldReads();
}

void Connection::endHeldReads()
{
    if (!m_readsHeld)
        return;
    m_readsHeld = false;
    // Nothing was written in it: the end only lets the shared locks go.
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
}

void Connection::useLockTimeout(int seconds)
{
    const int ms = std::max(seconds, 0) * 1000;
    if (ms == m_timeoutMs || !m_db)
        return;
    m_timeoutMs = ms;
    sqlite3_busy_timeout(m_db, ms);
}

int Connection::begin(std::vector<AttachedFile*> files, int timeoutSeconds, DbError& err)
{
    if (m_inTransaction) {
        err = {kTransactionActive, 0, "a transaction is already active"};
        return err.code;
    }
    if (open(err) != kOk)
        return err.code;
    endHeldReads();
    useLockTimeout(timeoutSeconds);
    if (sqlite::exec(m_db, "BEGIN", err) != kOk)
        return err.code;
    m_inTransaction = true;
    // One order for everybody, so that two transactions over the same files
    // never wait for each other crosswise.
    std::sort(files.begin(), files.end(),
              [](const AttachedFile* a, const AttachedFile* b) { return a->path < b->path; });
    for (AttachedFile* file : files) {
        if (lockForWrite(*file, err) != kOk) {
            rollback();
            return err.code;
        }
    }
    return kOk;
}

int Connection::lockForWrite(AttachedFile& file, DbError& err)
{
    // A single write commits at once, so it must not fall into held reads.
    endHeldReads();
    if (!m_inTransaction || file.writeLocked)
        return kOk;
    // A write that changes nothing still takes the file's write lock, waiting
    // up to the busy time-out for it.
    sqlite::Statement stmt;
    if (prepare("UPDATE " + sqlite::quoted(file.alias) + ".meta SET value = value WHERE 0", stmt, err) != kOk)
        return err.code;
    const int rc = step(stmt.get());
    if (rc != SQLITE_DONE) {
        err = sqlite::dbError(m_db, rc);
        return err.code;
    }
    file.writeLocked = true;
    return kOk;
}

int Connection::commit(DbError& err)
{
    if (!m_inTransaction) {
        err = {kFileNotOpen, 0, "no transaction is active"};
        return err.code;
    }
    sqlite::Statement stmt;
    int code = prepare("COMMIT", stmt, err);
    if (code == kOk) {
        const int rc = step(stmt.get());
        if (rc != SQLITE_DONE) {
            err = sqlite::dbError(m_db, rc);
            code = err.code;
        }
    }
    stmt.reset();
    if (code != kOk) {
        // A commit that could not finish (lock time-out, full disk, I/O error)
        // is undone entirely: every file stays at its last committed state.
        rollback();
        return code;
    }
    endTransaction();
    return kOk;
}

void Connection::rollback()
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    endTransaction();
}

void Connection::endTransaction()
{
    m_inTransaction = false;
    useLockTimeout(kDefaultLockTimeoutSeconds);
    ++m_generation;
    for (auto& [alias, file] : m_files)
        file.writeLocked = false;
    detachUnused();
}

int Connection::savepoint(DbError& err)
{
    return sqlite::exec(m_db, "SAVEPOINT change", err);
}

void Connection::releaseSavepoint()
{
    sqlite3_exec(m_db, "RELEASE change", nullptr, nullptr, nullptr);
}

void Connection::rollbackToSavepoint()
{
    sqlite3_exec(m_db, "ROLLBACK TO change", nullptr, nullptr, nullptr);
    sqlite3_exec(m_db, "RELEASE change", nullptr, nullptr, nullptr);
    ++m_generation;
}

} // namespace store
