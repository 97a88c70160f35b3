// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <sqlite3.h>

#include <memory>
#include <string>
#include <string_view>

// Small helpers over the SQLite C interface, private to the store.
namespace store::sqlite {

struct StatementDeleter
{
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

// Resets a statement when leaving a scope, so that no read stays open between
// calls (an open read would keep a shared lock and block writers).
class ResetOnExit
{
public:
    explicit ResetOnExit(sqlite3_stmt* s)
        : m_stmt(s)
    {}
    ~ResetOnExit()
    {
        if (m_stmt)
            sqlite3_reset(m_stmt);
    }
    ResetOnExit(const ResetOnExit&) = delete;
    ResetOnExit& operator=(const ResetOnExit&) = delete;

private:
    sqlite3_stmt* m_stmt;
};

// "name" with inner quotes doubled: field names such as MVD:UUID need quoting.
std::string quoted(std::string_view identifier);

// The URI of a database file for ATTACH and sqlite3_open_v2 with URI names
// on: "file:" and the absolute path with every byte that is not a letter,
// digit, '-', '.', '_', '~', '/' or a drive's ':' escaped as %XX, so that no
// character of a folder name ('?', '#', '%', blanks, Cyrillic) is read as
// part of the URI. `mode` is "ro" (read only; the file is never created) or
// "rw" (read and write; the file must exist).
std::string fileUri(std::string_view absolutePath, std::string_view mode);

// The storage layer's error number for a SQLite result code (extended or not).
int errorCodeOf(int sqliteResult);

// A failure as the store reports it: its error number and the database's own
// code and text.
struct DbError
{
    int code = 0;
    int sqliteCode = 0;
    std::string text;
};
DbError dbError(sqlite3* db, int rc);

// Runs SQL without results; on failure fills err and returns its code.
[[nodiscard]] int exec(sqlite3* db, const std::string& sql, DbError& err);

// True for results that mean "another connection holds the lock".
inline bool isLockResult(int rc)
{
    return (rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED;
}

} // namespace store::sqlite
