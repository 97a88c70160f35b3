// SPDX-License-Identifier: LicenseRef-Kestrom
#include "RawSqlite.h"

#include "store/TableSchema.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace bench {

using namespace store;

void bindRecord(sqlite3_stmt* s, const TableDef& def, const char* rec)
{
    int p = 1;
    for (const FieldDef& f : def.fields) {
        const char* v = rec + f.offset;
        switch (f.type) {
        case FieldType::Text: {
            std::size_t n = f.size;
            while (n > 0 && (v[n - 1] == ' ' || v[n - 1] == '\0'))
                --n;
            sqlite3_bind_blob(s, p, v, static_cast<int>(n), SQLITE_STATIC);
            break;
        }
        case FieldType::ZText:
            sqlite3_bind_blob(s, p, v, static_cast<int>(strnlen(v, f.size - 1u)), SQLITE_STATIC);
            break;
        case FieldType::U8:
            sqlite3_bind_int(s, p, static_cast<unsigned char>(*v));
            break;
        case FieldType::I16: {
            std::int16_t x;
            std::memcpy(&x, v, 2);
            sqlite3_bind_int(s, p, x);
            break;
        }
        case FieldType::U16: {
            std::uint16_t x;
            std::memcpy(&x, v, 2);
            sqlite3_bind_int(s, p, x);
            break;
        }
        case FieldType::I32: {
            std::int32_t x;
            std::memcpy(&x, v, 4);
            sqlite3_bind_int(s, p, x);
            break;
        }
        case FieldType::F64: {
            double x;
            std::memcpy(&x, v, 8);
            sqlite3_bind_double(s, p, x);
            break;
        }
        }
        ++p;
    }
}

sqlite3_stmt* prepare(sqlite3* db, const std::string& sql)
{
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr) != SQLITE_OK)
        std::fprintf(stderr, "raw: %s\n", sqlite3_errmsg(db));
    return s;
}

std::string insertSql(const TableDef& def, const char* schema)
{
    std::string sql =
        std::string("INSERT INTO ") + schema + ".records(" + schema::selectColumns(def) + ") VALUES(";
    for (std::size_t i = 0; i < def.fields.size(); ++i)
        sql += i ? ",?" : "?";
    return sql + ')';
}

} // namespace bench
