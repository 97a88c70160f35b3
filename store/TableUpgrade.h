// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"
#include "store/Sqlite.h"

#include <cstdint>
#include <string>

// Carrying a table file of an older version of its field dictionary over to
// the current one, in place. Private to the store.
//
// What changes between versions, and what becomes of the rows:
// - a new field: every row gets it at its default (blank text, 0);
// - a field that is gone: its column (and its values) are removed;
// - a text that is wider, or narrower (values cut to the new width, as the
//   record would cut them), or that changes between text and ztext: kept;
// - a number whose new type holds every value of the old one (u8 to i16 or
//   i32, i16 to i32, ...): kept;
// - keys: indexes that are new or changed are built, those gone are dropped.
// Any other change (a text that becomes a number, a number that becomes a
// text or a real, a narrower number) is refused (47): the program cannot tell
// what the values should become. The sealed settings table gets the same, row
// by row inside the sealed records.
//
// The whole upgrade is one transaction: when anything fails (a key that is no
// longer unique, a damaged sealed record, the lock, the disk) it is rolled
// back and the file stays as it was, byte for byte.
namespace store::upgrade {

[[nodiscard]] int upgradeFile(sqlite3* db, const TableDef& def, const std::string& alias,
                              std::uint32_t fromVersion, const std::string& salt, sqlite::DbError& err);

} // namespace store::upgrade
