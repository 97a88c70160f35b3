// SPDX-License-Identifier: LicenseRef-Kestrom
// Writing a table: adding and changing records, deleting one, a key value's
// or every record.
#include "store/Table.h"

#include "framework/LastError.h"
#include "store/Cascades.h"
#include "store/Connection.h"
#include "store/Session.h"
#include "store/TableQuery.h"
#include "store/TableSchema.h"

#include <algorithm>
#include <cstring>

namespace store {

int Table::add()
{
    return writeRecord(true);
}

int Table::put()
{
    return writeRecord(false);
}

int Table::writeRecord(bool insert, bool withCascades)
{
    if (const int code = ensureOpen())
        return code;
    if (!insert && m_currentRow == 0)
        return fail(kRecordNotAvailable, 0, "no record has been read");
    if (!insert && withCascades && Cascades::hasUpdateCascades(m_def))
        return Cascades::put(*this);

    Connection& conn = m_session->connection();
    sqlite::DbError err;
    if (conn.lockForWrite(*m_file, err) != kOk)
        return fail(err.code, err.sqliteCode, err.text);
    sqlite3_stmt* stmt = nullptr;
    if (const int code = statement(insert ? Query::Insert : Query::Update, -1, -1, stmt))
        return code;
    sqlite::ResetOnExit reset(stmt);
    if (const int code = bindRecord(stmt, m_record.get()))
        return code;
    if (!insert)
        sqlite3_bind_int64(stmt, schema::isSealed(m_def) ? 3 : static_cast<int>(m_def.fields.size()) + 1,
                           m_currentRow);
    const int rc = conn.step(stmt);
    if (rc != SQLITE_DONE) {
        if (rc == SQLITE_CONSTRAINT_UNIQUE && schema::isSealed(m_def))
            return failSealedClash(rc);
        return failDb(rc);
    }
    conn.noteWrite();
    if (insert)
        m_currentRow = sqlite3_last_insert_rowid(conn.db());
    else if (sqlite3_changes(conn.db()) == 0)
        return fail(kRecordNotAvailable, 0, "the record no longer exists");
    return kOk;
}

// A sealed table finds a record only when its row is authentic, so a caller
// that found nothing may go on to add a record that is in fact there, damaged
// or sealed under another key. The clash is then the damage, not a duplicate.
int Table::failSealedClash(int rc)
{
    const sqlite::DbError clash = sqlite::dbError(m_session->connection().db(), rc);
    sqlite3_stmt* stmt = nullptr;
    if (statement(Query::Fetch, 0, -1, stmt) == kOk) {
        sqlite::ResetOnExit reset(stmt);
        if (bindKey(stmt, 1, 0, -1, m_record.get()) == kOk &&
            m_session->connection().stepRead(stmt) == SQLITE_ROW) {
            m_scratch.resize(m_def.recordLength);
            if (decodeRow(stmt, m_scratch.data()) != kOk)
                return fail(kDamagedFile, 0, "the stored record of this key fails authentication");
        }
    }
    return fail(clash.code, clash.sqliteCode, clash.text);
}

int Table::deleteRecord()
{
    if (const int code = ensureOpen())
        return code;
    if (m_currentRow == 0)
        return fail(kRecordNotAvailable, 0, "no record has been read");
    if (Cascades::hasDeleteCascades(m_def))
        return Cascades::deleteRecord(*this);
    return removeRow(m_currentRow);
}

int Table::removeRow(std::int64_t row)
{
    Connection& conn = m_session->connection();
    sqlite::DbError err;
    if (conn.lockForWrite(*m_file, err) != kOk)
        return fail(err.code, err.sqliteCode, err.text);
    sqlite3_stmt* stmt = nullptr;
    if (const int code = statement(Query::Delete, -1, -1, stmt))
        return code;
    sqlite::ResetOnExit reset(stmt);
    sqlite3_bind_int64(stmt, 1, row);
    const int rc = conn.step(stmt);
    if (rc != SQLITE_DONE)
        return failDb(rc);
    conn.noteWrite();
    if (sqlite3_changes(conn.db()) == 0)
        return fail(kRecordNotAvailable, 0, "the record no longer exists");
    if (row == m_currentRow)
        m_currentRow = 0;
    return kOk;
}

int Table::deleteAll()
{
    if (const int code = ensureOpen())
        return code;
    return deleteWhere(Query::DeleteAll, -1, -1);
}

int Table::deleteEqual(const KeyDef& key, int components)
{
    if (const int code = ensureOpen())
        return code;
    const int index = keyIndex(key);
    if (index < 0)
        return fail(kKeyUnavailable, 0, "the key is not one of the table's");
    const int n = components < 0 ? key.componentCount : std::min<int>(components, key.componentCount);
    if (n < 1)
        return fail(kKeyUnavailable, 0, "a range to delete needs at least one key component");
    if (Cascades::hasDeleteCascades(m_def) || schema::isSealed(m_def))
        return fail(kKeyUnavailable, 0, "the table's records are deleted one by one");
    return deleteWhere(Query::DeleteEqual, index, n);
}

// One DELETE statement; the key values, if any, from the buffer.
int Table::deleteWhere(Query q, int key, int components)
{
    Connection& conn = m_session->connection();
    sqlite::DbError err;
    if (conn.lockForWrite(*m_file, err) != kOk)
        return fail(err.code, err.sqliteCode, err.text);
    sqlite3_stmt* stmt = nullptr;
    if (const int code = statement(q, key, components, stmt))
        return code;
    sqlite::ResetOnExit reset(stmt);
    if (key >= 0)
        if (const int code = bindKey(stmt, 1, key, components, m_record.get()))
            return code;
    const int rc = conn.step(stmt);
    if (rc != SQLITE_DONE)
        return failDb(rc);
    conn.noteWrite();
    m_currentRow = 0;
    return kOk;
}

int Table::deleteEqual(std::string_view keyName, int components)
{
    const KeyDef* key = m_def.key(keyName);
    return key ? deleteEqual(*key, components) : fail(kKeyUnavailable, 0, "the table has no such key");
}

} // namespace store
