// SPDX-License-Identifier: LicenseRef-Kestrom
// Reading a key range in one statement: what a long list needs to know of
// every one of its rows (their order, a few fields to filter or sort by)
// without reading whole records.
#include "store/Table.h"

#include "store/Connection.h"
#include "store/FieldAccess.h"
#include "store/RecordColumns.h"
#include "store/Session.h"
#include "store/TableSchema.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace store {

int Table::scanRange(const KeyDef& key, int components, const char* low, const char* high,
                     std::span<const int> fields, const RangeVisit& visit, ScanOrder order)
{
    if (const int code = ensureOpen())
        return code;
    const int index = keyIndex(key);
    if (index < 0)
        return fail(kKeyUnavailable, 0, "the key is not one of the table's");
    if (schema::isSealed(m_def))
        return fail(kKeyUnavailable, 0, "a sealed table keeps no key order to scan");
    const int n = components < 0 ? key.componentCount : std::min<int>(components, key.componentCount);
    for (int f : fields)
        if (f < 0 || f >= static_cast<int>(m_def.fields.size()))
            return fail(kBadFileStructure, 0, "the table has no such field");

    std::string sql = "SELECT rowid";
    for (int f : fields)
        sql += ", " + sqlite::quoted(m_def.fields[static_cast<std::size_t>(f)].name);
    sql += " FROM " + sqlite::quoted(m_file->alias) + ".records";
    if (order == ScanOrder::Stored)
        sql += " NOT INDEXED";
    std::string columnsOfKey, lowParams, highParams;
    for (int i = 0; i < n; ++i) {
        columnsOfKey += (i ? "," : "") + sqlite::quoted(m_def.fields[key.components[i]].name);
        lowParams += (i ? ",?" : "?") + std::to_string(i + 1);
        highParams += (i ? ",?" : "?") + std::to_string(n + i + 1);
    }
    if (n > 0)
        sql += " WHERE (" + columnsOfKey + ")>=(" + lowParams + ") AND (" + columnsOfKey + ")<=(" +
               highParams + ')';
    const char* direction = order == ScanOrder::KeyDescending ? " DESC" : "";
    sql += " ORDER BY ";
    if (order != ScanOrder::Stored)
        for (std::uint8_t c : key.componentSpan())
            sql += sqlite::quoted(m_def.fields[c].name) + direction + ",";
    sql += std::string("rowid") + direction;

    Connection& conn = m_session->connection();
    sqlite::Statement stmt;
    sqlite::DbError err;
    if (conn.prepare(sql, stmt, err) != kOk)
        return fail(err.code, err.sqliteCode, err.text);
    if (n > 0) {
        if (const int code = bindKey(stmt.get(), 1, index, n, low))
            return code;
        if (const int code = bindKey(stmt.get(), n + 1, index, n, high))
            return code;
    }
    std::vector<char> image(m_def.recordLength);
    clearRecordOf(m_def, image.data());
    for (;;) {
        const int rc = conn.stepRead(stmt.get());
        if (rc == SQLITE_DONE)
            return kOk;
        if (rc != SQLITE_ROW)
            return failDb(rc);
        int column = 1;
        for (int f : fields)
            columns::readField(stmt.get(), column++, m_def.fields[static_cast<std::size_t>(f)], image.data());
        if (!visit(sqlite3_column_int64(stmt.get(), 0), image.data()))
            return kOk;
    }
}

int Table::readRow(std::int64_t row)
{
    if (const int code = ensureOpen())
        return code;
    m_scratch.resize(m_def.recordLength);
    if (const int code = loadRow(row, m_scratch.data()))
        return code;
    std::memcpy(m_record.get(), m_scratch.data(), m_scratch.size());
    m_currentRow = row;
    return kOk;
}

} // namespace store
