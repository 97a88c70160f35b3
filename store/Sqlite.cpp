// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/Sqlite.h"

#include "store/ErrorCodes.h"

namespace store::sqlite {

std::string quoted(std::string_view identifier)
{
    std::string out;
    out.reserve(identifier.size() + 2);
    out += '"';
    for (char c : identifier) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string fileUri(std::string_view absolutePath, std::string_view mode)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    // A Windows path ("C:/x") becomes "file:///C:/x".
    if (!absolutePath.starts_with('/'))
        uri += '/';
    for (std::size_t i = 0; i < absolutePath.size(); ++i) {
        const auto c = static_cast<unsigned char>(absolutePath[i]);
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                           c == '-' || c == '.' || c == '_' || c == '~' || c == '/' || (c == ':' && i == 1);
        if (plain) {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += kHex[c >> 4];
            uri += kHex[c & 0x0F];
        }
    }
    uri += "?mode=";
    uri += mode;
    return uri;
}

int errorCodeOf(int sqliteResult)
{
    switch (sqliteResult) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
        return kDuplicateKey;
    default:
        break;
    }
    switch (sqliteResult & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return kOk;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return kFileLocked;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return kDamagedFile;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
    case SQLITE_CANTOPEN: // a journal that cannot be created beside the file
        return kAccessDenied;
    case SQLITE_NOMEM:
        return kOutOfMemory;
    default:
        // Full disk (SQLITE_FULL), input/output errors and everything else: the
        // database's own code and text travel with the error.
        return kDriverError;
    }
}

DbError dbError(sqlite3* db, int rc)
{
    DbError e;
    e.code = errorCodeOf(rc);
    e.sqliteCode = rc;
    // The connection's message belongs to the last call; for a result that did
    // not come from it (rc passed by hand) the generic text is the better one.
    e.text = (db && sqlite3_extended_errcode(db) == rc) ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    return e;
}

int exec(sqlite3* db, const std::string& sql, DbError& err)
{
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc == SQLITE_OK)
        return kOk;
    err = dbError(db, rc);
    return err.code;
}

} // namespace store::sqlite
