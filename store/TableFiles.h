// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"
#include "store/Sqlite.h"

#include <string>

// A table's file on disk before it is attached: what must hold of it, and how
// a missing one is made. Private to the store.
namespace store::files {

// Every SQLite database starts with a header of this many bytes; a shorter
// file (SQLite would take an empty one for a new database) is damaged.
constexpr long long kDatabaseHeaderBytes = 100;

// Makes sure the file can be attached: an existing file must be readable and
// at least a database header long (36 otherwise, the file left alone); a
// missing one is reported (2) when only reading, else created with the
// table's schema (3 without its folder, 5 when the folder takes no new file).
[[nodiscard]] int prepareForAttach(const TableDef& def, const std::string& path, bool readOnly,
                                   sqlite::DbError& err);

// The URI under which the file is attached: read-only, or read-write without
// ever creating it.
std::string attachUri(const std::string& path, bool readOnly);

} // namespace store::files
