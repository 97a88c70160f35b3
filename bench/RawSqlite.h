// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <sqlite3.h>

#include <string>

// Raw SQLite on the tables' own schema: what the benchmarks measure the
// table driver against.
namespace bench {

// Binds every field of a record, in dictionary order, from parameter 1 on.
void bindRecord(sqlite3_stmt* s, const store::TableDef& def, const char* rec);
// A prepared statement; null, with the reason on stderr, when it cannot be.
sqlite3_stmt* prepare(sqlite3* db, const std::string& sql);
// INSERT of every field into schema.records.
std::string insertSql(const store::TableDef& def, const char* schema);

} // namespace bench
