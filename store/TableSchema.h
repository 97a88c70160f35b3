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
// format and which field dictionary the file holds. Sealed tables (the access
// settings) keep one keyed hash and one sealed blob per row instead of columns.
namespace store::schema {

// Raised whenever the layout of the files changes incompatibly.
constexpr int kFormatVersion = 1;

inline bool isSealed(const TableDef& def)
{
    return def.storage == Storage::EncryptedFile;
}

// A stable digest of the field dictionary: names, types, widths, order, keys.
std::string fingerprint(const TableDef& def);

// "F1","F2",... (all fields in order), or "keyhash,sealed" for sealed tables.
std::string selectColumns(const TableDef& def);

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
    ReadWrite, // a file
    ReadOnly,  // a file that is only read: nothing is written to it
    Memory,    // a new in-memory database: its schema is created
};

// Makes the database attached as `alias` ready for the table: a new in-memory
// one gets its schema in one transaction; a file must carry this table's
// name, format and field dictionary (47 otherwise; 36 when it is no database).
// A database of something else is never changed.
int prepareFile(sqlite3* db, const TableDef& def, const std::string& alias, OpenKind kind, FileInfo& info,
                sqlite::DbError& err);

} // namespace store::schema
