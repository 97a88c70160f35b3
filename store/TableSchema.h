// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"
#include "store/Sqlite.h"

#include <cstdint>
#include <string>
#include <vector>

// The SQL form of a table, derived from its field dictionary: one column per
// field (the field's name, quoted), one index per key with the same components
// in the same order, and a small meta table that says which table, which
// format, which version of the field dictionary (its number, fingerprint and
// field list) the file holds. Sealed tables (the access settings) keep one
// keyed hash and one sealed blob per row instead of columns.
namespace store::schema {

// Raised whenever the layout of the files changes incompatibly.
constexpr int kFormatVersion = 1;

inline bool isSealed(const TableDef& def)
{
    return def.storage == Storage::EncryptedFile;
}

// A fingerprint as the files record it: 16 lower-case hex digits.
std::string fingerprintText(std::uint64_t fingerprint);
// The fingerprint of the dictionary as it is now.
std::string fingerprint(const TableDef& def);

// "F1","F2",... (all fields in order), or "keyhash,sealed" for sealed tables.
std::string selectColumns(const TableDef& def);

// The SQL type of a field's column, with its default.
const char* columnType(FieldType type);

// The index of one key of the table.
std::string createIndexStatement(const TableDef& def, const KeyDef& key, const std::string& alias);

// The statements that create the schema of an empty database.
std::vector<std::string> createStatements(const TableDef& def, const std::string& alias);

// What an existing database holds.
struct FileInfo
{
    std::string salt; // hex, sealed tables only
};

// How a database is being opened.
enum class OpenKind : std::uint8_t
{
    ReadWrite, // a file: an older one is upgraded
    ReadOnly,  // a file that is only read: nothing is written to it
    Memory,    // a new in-memory database: its schema is created
};

// Makes the database attached as `alias` ready for the table. A file must
// carry this table's name, format and field dictionary; one of an older
// version of the dictionary is upgraded in one transaction when opened for
// writing and refused when only read; one of a newer version, of another
// table or of nobody is refused (47; 36 when it is no database). A refused
// file is never changed. A file made before versions were recorded counts as
// the current version, and is marked so when it is opened for writing.
[[nodiscard]] int prepareFile(sqlite3* db, const TableDef& def, const std::string& alias, OpenKind kind,
                              int lockTimeoutMs, FileInfo& info, sqlite::DbError& err);

// Meta values of the database attached as `alias` (empty when absent).
[[nodiscard]] int readMeta(sqlite3* db, const std::string& alias, const char* key, std::string& value,
                           sqlite::DbError& err);
// Sets the version, fingerprint and field list to the dictionary's own, inside
// the caller's transaction.
[[nodiscard]] int writeVersionMeta(sqlite3* db, const TableDef& def, const std::string& alias,
                                   sqlite::DbError& err);

} // namespace store::schema
