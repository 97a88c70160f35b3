// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <sqlite3.h>

// Moving one field between a record buffer and a statement. Texts travel as
// blobs of their Windows-1251 bytes: text(n) without its trailing blanks,
// ztext(n) up to its terminating zero (at most n - 1 bytes); on the way back
// they are padded again. Numbers travel as integers or reals.
namespace store::columns {

// Binds the field of `record` to parameter `param`. Texts are bound without a
// copy: the record must stay unchanged until the statement has been stepped.
void bindField(sqlite3_stmt* stmt, int param, const FieldDef& field, const char* record);

// Writes column `column` of the current row into the field of `record`,
// cutting a value longer than the field to its capacity.
void readField(sqlite3_stmt* stmt, int column, const FieldDef& field, char* record);

} // namespace store::columns
