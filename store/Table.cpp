// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/Table.h"

#include "framework/LastError.h"
#include "store/Cascades.h"
#include "store/Connection.h"
#include "store/FieldAccess.h"
#include "store/RecordColumns.h"
#include "store/RecordText.h"
#include "store/SealedRows.h"
#include "store/Session.h"
#include "store/TableQuery.h"
#include "store/TableSchema.h"

#include <cstring>
#include <unordered_map>

namespace store {

struct Table::Statements
{
    std::unordered_map<std::uint32_t, sqlite::Statement> cache;
};

// The reading position and the records fetched ahead of it. Every statement
// costs a lock of the file (and a check for a hot journal), so a range query
// reads a batch of whole records at once and the following next() calls are
// served from it; the statement is reset before the call returns.
struct Table::Position
{
    int key = -1;
    int components = 0;
    bool started = false;   // false: `from` holds the values given to set()
    std::vector<char> from; // record image to continue from (key fields)
    std::int64_t fromRow = 0;
    std::vector<char> images; // the prefetched records
    std::vector<std::int64_t> rowIds;
    int count = 0;
    int nextIndex = 0;
    int delivered = -1; // index of the row read last
    int direction = 0;
    std::uint64_t generation = 0;
    int limit = 0;
};

namespace {
// About one screen of a list; later batches of a long walk grow to the maximum.
constexpr int kFirstBatch = 64;
constexpr int kMaxBatch = 256;
} // namespace

Table::Table(Session& session, const TableDef& def)
    : m_session(&session)
    , m_def(def)
    , m_record(new char[def.recordLength])
    , m_statements(std::make_unique<Statements>())
    , m_position(std::make_unique<Position>())
{
    m_path = session.filePath(def).toStdString();
    clear();
    session.registerTable(this);
}

Table::~Table()
{
    close();
    if (m_session)
        m_session->unregisterTable(this);
}

QString Table::filePath() const
{
    return QString::fromStdString(m_path);
}

int Table::fail(int code, int sqliteCode, std::string_view text) const
{
    framework::setLastError(code, m_path, sqliteCode, text);
    return code;
}

int Table::failDb(int rc) const
{
    const sqlite::DbError e = sqlite::dbError(m_session->connection().db(), rc);
    return fail(e.code, e.sqliteCode, e.text);
}

int Table::ensureOpen() const
{
    return m_file ? kOk : fail(kFileNotOpen);
}

int Table::open()
{
    if (m_file)
        return kOk;
    if (!m_session)
        return fail(kFileNotOpen, 0, "the session is gone");
    Connection& conn = m_session->connection();
    sqlite::DbError err;
    AttachedFile* file = nullptr;
    if (conn.attach(m_def, m_path, file, err) != kOk)
        return fail(err.code, err.sqliteCode, err.text);
    // The keys of a sealed table are derived when a record is first read or
    // written (ensureKeys): opening it, for instance as a cascade child of the
    // entities at start-up, costs no derivation. The file's salt was checked
    // while attaching.
    if (schema::isSealed(m_def) && (m_def.keys.empty() || m_def.keys[0].componentCount != 1 ||
                                    !isTextType(m_def.fields[m_def.keys[0].components[0]].type))) {
        conn.release(m_def);
        return fail(kBadFileStructure, 0, "the sealed table cannot be opened");
    }
    m_file = file;
    m_currentRow = 0;
    *m_position = Position{};
    // A session that only reads runs no cascades and needs no children.
    if (m_session->readOnly())
        return kOk;
    // Cascades must find their tables attached before any transaction starts.
    // A child that cannot be opened would make every later change of this
    // table fail half-way, so the open fails now with the child's error (the
    // child's open has recorded it, with the child's file).
    for (const TableDef* child : Cascades::childTables(m_def)) {
        if (!m_session->relatedTable(*child)) {
            const framework::LastError childError = framework::lastError();
            close();
            framework::setLastError(childError.code ? childError.code : kFileNotOpen, childError.fileName,
                                    childError.driverCode, childError.driverText);
            return framework::lastError().code;
        }
    }
    return kOk;
}

void Table::close()
{
    if (!m_file)
        return;
    m_statements->cache.clear(); // finalised before the file is detached
    m_file = nullptr;
    m_keys = nullptr;
    m_currentRow = 0;
    *m_position = Position{};
    if (m_session)
        m_session->connection().release(m_def);
}

void Table::clear()
{
    clearRecordOf(m_def, m_record.get());
}

int Table::ensureKeys() const
{
    if (!m_keys)
        m_keys = sealed::keysForSalt(m_file->salt);
    return m_keys ? kOk : fail(kOutOfMemory, 0, "the keys of the sealed table cannot be derived");
}

// A key is one of the table's when it is one of the entries of its key list
// (the address, not the name: a copy or a key of another table is not one of
// them). Addresses are compared for equality only; subtracting pointers into
// different arrays would be undefined.
int Table::keyIndex(const KeyDef& key) const
{
    for (std::size_t i = 0; i < m_def.keys.size(); ++i)
        if (&m_def.keys[i] == &key)
            return static_cast<int>(i);
    return -1;
}

int Table::statement(Query q, int key, int components, sqlite3_stmt*& out)
{
    const std::uint32_t slot = (static_cast<std::uint32_t>(q) << 16) |
                               (static_cast<std::uint32_t>(key + 1) << 8) |
                               static_cast<std::uint32_t>(components + 1);
    if (auto it = m_statements->cache.find(slot); it != m_statements->cache.end()) {
        out = it->second.get();
        return kOk;
    }

    const bool sealedRows = schema::isSealed(m_def);
    const std::string table = sqlite::quoted(m_file->alias) + ".records";
    const std::string select = "SELECT rowid, " + schema::selectColumns(m_def) + " FROM " + table;
    std::vector<std::string> keyCols;
    bool unique = true;
    if (key >= 0) {
        const KeyDef& k = m_def.keys[static_cast<std::size_t>(key)];
        unique = k.unique || sealedRows;
        if (sealedRows)
            keyCols.push_back("keyhash");
        else
            for (std::uint8_t c : k.componentSpan())
                keyCols.push_back(sqlite::quoted(m_def.fields[c].name));
    }
    auto list = [](const std::vector<std::string>& cols, std::size_t n, const char* suffix = "") {
        std::string s;
        for (std::size_t i = 0; i < n; ++i)
            s += (i ? "," : "") + cols[i] + suffix;
        return s;
    };
    auto params = [](int first, std::size_t n) {
        std::string s;
        for (std::size_t i = 0; i < n; ++i)
            s += (i ? ",?" : "?") + std::to_string(first + static_cast<int>(i));
        return s;
    };
    auto order = [&](bool descending) {
        const char* dir = descending ? " DESC" : "";
        std::string s = " ORDER BY " + list(keyCols, keyCols.size(), dir);
        if (!unique)
            s += std::string(", rowid") + dir;
        return s;
    };
    const std::size_t n = components < 0 ? keyCols.size() : std::min<std::size_t>(components, keyCols.size());
    const std::size_t k = keyCols.size();
    const std::string limitParam = " LIMIT ?" + std::to_string(static_cast<int>(k) + 2);

    std::string sql;
    switch (q) {
    case Query::Insert:
        sql = "INSERT INTO " + table + '(' + schema::selectColumns(m_def) + ") VALUES(" +
              params(1, sealedRows ? 2 : m_def.fields.size()) + ')';
        break;
    case Query::Update: {
        const std::size_t fields = sealedRows ? 2 : m_def.fields.size();
        sql = "UPDATE " + table + " SET ";
        for (std::size_t i = 0; i < fields; ++i)
            sql +=
                (i ? "," : "") +
                (sealedRows ? std::string(i ? "sealed" : "keyhash") : sqlite::quoted(m_def.fields[i].name)) +
                "=?" + std::to_string(i + 1);
        sql += " WHERE rowid=?" + std::to_string(fields + 1);
        break;
    }
    case Query::Delete:
        sql = "DELETE FROM " + table + " WHERE rowid=?1";
        break;
    case Query::DeleteAll:
        sql = "DELETE FROM " + table;
        break;
    case Query::DeleteEqual:
        sql = "DELETE FROM " + table + " WHERE (" + list(keyCols, n) + ")=(" + params(1, n) + ')';
        break;
    case Query::Count:
        sql = "SELECT count(*) FROM " + table;
        break;
    case Query::ByRow:
        sql = select + " WHERE rowid=?1";
        break;
    case Query::Fetch:
        sql = select + " WHERE (" + list(keyCols, k) + ")=(" + params(1, k) + ')' +
              (unique ? "" : " ORDER BY rowid") + " LIMIT 1";
        break;
    // The range queries number their parameters alike: key values from ?1, the
    // row id at ?k+1, the limit at ?k+2.
    case Query::StartForward:
    case Query::StartBackward: {
        const bool back = q == Query::StartBackward;
        sql = select;
        if (n > 0)
            sql += " WHERE (" + list(keyCols, n) + (back ? ")<=(" : ")>=(") + params(1, n) + ')';
        sql += order(back) + limitParam;
        break;
    }
    case Query::AfterKey:
    case Query::BeforeKey: {
        const bool back = q == Query::BeforeKey;
        sql = select + " WHERE (" + list(keyCols, k) + (back ? ")<(" : ")>(") + params(1, k) + ')' +
              order(back) + limitParam;
        break;
    }
    case Query::SameKeyAfter:
    case Query::SameKeyBefore: {
        const bool back = q == Query::SameKeyBefore;
        sql = select + " WHERE (" + list(keyCols, k) + ")=(" + params(1, k) + ") AND rowid" +
              (back ? "<" : ">") + "?" + std::to_string(k + 1) + " ORDER BY rowid" + (back ? " DESC" : "") +
              limitParam;
        break;
    }
    }
    sqlite::Statement stmt;
    sqlite::DbError err;
    if (m_session->connection().prepare(sql, stmt, err) != kOk)
        return fail(err.code, err.sqliteCode, err.text);
    out = stmt.get();
    m_statements->cache.emplace(slot, std::move(stmt));
    return kOk;
}

int Table::bindKey(sqlite3_stmt* stmt, int firstParam, int key, int components, const char* record) const
{
    const KeyDef& k = m_def.keys[static_cast<std::size_t>(key)];
    if (schema::isSealed(m_def)) {
        if (components == 0)
            return kOk;
        if (const int code = ensureKeys())
            return code;
        const sealed::KeyHash hash = sealed::keyHash(*m_keys, sealed::keyValue(m_def, record));
        sqlite3_bind_blob(stmt, firstParam, hash.data(), static_cast<int>(hash.size()), SQLITE_TRANSIENT);
        return kOk;
    }
    const int n = components < 0 ? k.componentCount : std::min<int>(components, k.componentCount);
    for (int i = 0; i < n; ++i)
        columns::bindField(stmt, firstParam + i, m_def.fields[k.components[i]], record);
    return kOk;
}

int Table::bindRecord(sqlite3_stmt* stmt, const char* record) const
{
    if (!schema::isSealed(m_def)) {
        int param = 1;
        for (const FieldDef& f : m_def.fields)
            columns::bindField(stmt, param++, f, record);
        return kOk;
    }
    if (const int code = ensureKeys())
        return code;
    const sealed::KeyHash hash = sealed::keyHash(*m_keys, sealed::keyValue(m_def, record));
    if (!sealed::seal(*m_keys, hash, record, m_def.recordLength, m_sealBuffer))
        return fail(kDriverError, 0, "the record cannot be sealed");
    sqlite3_bind_blob(stmt, 1, hash.data(), static_cast<int>(hash.size()), SQLITE_TRANSIENT);
    sqlite3_bind_blob(stmt, 2, m_sealBuffer.data(), static_cast<int>(m_sealBuffer.size()), SQLITE_STATIC);
    return kOk;
}

// Column 0 is the row id; the record's columns follow.
int Table::decodeRow(sqlite3_stmt* stmt, char* out) const
{
    if (!schema::isSealed(m_def)) {
        int column = 1;
        for (const FieldDef& f : m_def.fields)
            columns::readField(stmt, column++, f, out);
        return kOk;
    }
    if (const int code = ensureKeys())
        return code;
    const auto* hash = static_cast<const unsigned char*>(sqlite3_column_blob(stmt, 1));
    const auto hashLength = static_cast<std::size_t>(sqlite3_column_bytes(stmt, 1));
    const auto* sealedRow = static_cast<const unsigned char*>(sqlite3_column_blob(stmt, 2));
    const auto sealedLength = static_cast<std::size_t>(sqlite3_column_bytes(stmt, 2));
    if (!sealed::unseal(*m_keys, hash, hashLength, sealedRow, sealedLength, out, m_def.recordLength))
        return fail(kDamagedFile, 0, "a sealed record fails authentication");
    return kOk;
}

int Table::fetch(std::string_view keyName)
{
    const KeyDef* key = m_def.key(keyName);
    return key ? fetch(*key) : fail(kKeyUnavailable, 0, "the table has no such key");
}

int Table::fetch(const KeyDef& key)
{
    if (const int code = ensureOpen())
        return code;
    const int index = keyIndex(key);
    if (index < 0)
        return fail(kKeyUnavailable, 0, "the key is not one of the table's");
    sqlite3_stmt* stmt = nullptr;
    if (const int code = statement(Query::Fetch, index, -1, stmt))
        return code;
    sqlite::ResetOnExit reset(stmt);
    if (const int code = bindKey(stmt, 1, index, -1, m_record.get()))
        return code;
    const int rc = m_session->connection().stepRead(stmt);
    if (rc == SQLITE_DONE)
        return fail(kRecordNotFound);
    if (rc != SQLITE_ROW)
        return failDb(rc);
    // Decode into a scratch copy: a record that fails to decode leaves the
    // buffer as the caller filled it.
    m_scratch.resize(m_def.recordLength);
    if (const int code = decodeRow(stmt, m_scratch.data()))
        return code;
    std::memcpy(m_record.get(), m_scratch.data(), m_scratch.size());
    m_currentRow = sqlite3_column_int64(stmt, 0);
    return kOk;
}

int Table::set(std::string_view keyName, int components)
{
    const KeyDef* key = m_def.key(keyName);
    return key ? set(*key, components) : fail(kKeyUnavailable, 0, "the table has no such key");
}

int Table::set(const KeyDef& key, int components)
{
    if (const int code = ensureOpen())
        return code;
    Position& pos = *m_position;
    // The buffers are kept: a list sets its position often.
    pos.started = false;
    pos.fromRow = 0;
    pos.count = pos.nextIndex = 0;
    pos.delivered = -1;
    pos.direction = 0;
    pos.limit = 0;
    pos.key = keyIndex(key);
    if (pos.key < 0)
        return fail(kKeyUnavailable, 0, "the key is not one of the table's");
    pos.components = components < 0 ? key.componentCount : std::min<int>(components, key.componentCount);
    pos.from.assign(m_record.get(), m_record.get() + m_def.recordLength);
    return kOk;
}

int Table::next()
{
    return read(+1);
}

int Table::previous()
{
    return read(-1);
}

int Table::read(int direction)
{
    if (const int code = ensureOpen())
        return code;
    Position& pos = *m_position;
    if (pos.key < 0)
        return fail(kRecordNotAvailable, 0, "no position was set");
    const std::uint64_t generation = m_session->connection().generation();
    const bool batchUsable = pos.direction == direction && pos.generation == generation;
    if (!batchUsable || pos.nextIndex >= pos.count) {
        // Continue from the row read last; the prefetched rest is dropped (a
        // write of this session or a change of direction makes it stale).
        if (pos.delivered >= 0) {
            const auto offset = static_cast<std::size_t>(pos.delivered) * m_def.recordLength;
            std::memcpy(pos.from.data(), pos.images.data() + offset, m_def.recordLength);
            pos.fromRow = pos.rowIds[static_cast<std::size_t>(pos.delivered)];
            pos.started = true;
        }
        pos.limit = (batchUsable && pos.limit > 0) ? std::min(pos.limit * 2, kMaxBatch) : kFirstBatch;
        pos.count = pos.nextIndex = 0;
        pos.delivered = -1;
        pos.direction = direction;
        pos.generation = generation;
        if (const int code = query(direction, pos.limit))
            return code;
        if (pos.count == 0)
            return fail(kRecordNotFound);
    }
    const int index = pos.nextIndex++;
    pos.delivered = index;
    std::memcpy(m_record.get(), pos.images.data() + static_cast<std::size_t>(index) * m_def.recordLength,
                m_def.recordLength);
    m_currentRow = pos.rowIds[static_cast<std::size_t>(index)];
    return kOk;
}

int Table::loadRow(std::int64_t row, char* out)
{
    sqlite3_stmt* stmt = nullptr;
    if (const int code = statement(Query::ByRow, -1, -1, stmt))
        return code;
    sqlite::ResetOnExit reset(stmt);
    sqlite3_bind_int64(stmt, 1, row);
    const int rc = m_session->connection().stepRead(stmt);
    if (rc == SQLITE_DONE)
        return fail(kRecordNotAvailable, 0, "the record no longer exists");
    if (rc != SQLITE_ROW)
        return failDb(rc);
    return decodeRow(stmt, out);
}

int Table::query(int direction, int limit)
{
    Position& pos = *m_position;
    const bool back = direction < 0;
    const KeyDef& key = m_def.keys[static_cast<std::size_t>(pos.key)];
    const bool unique = key.unique || schema::isSealed(m_def);
    const int k = schema::isSealed(m_def) ? 1 : key.componentCount;
    const std::size_t bytes = static_cast<std::size_t>(limit) * m_def.recordLength;
    if (pos.images.size() < bytes)
        pos.images.resize(bytes);
    if (pos.rowIds.size() < static_cast<std::size_t>(limit))
        pos.rowIds.resize(static_cast<std::size_t>(limit));

    sqlite3_stmt* stmt = nullptr;
    int got = 0;
    if (!pos.started) {
        if (const int code =
                statement(back ? Query::StartBackward : Query::StartForward, pos.key, pos.components, stmt))
            return code;
        if (const int code = bindKey(stmt, 1, pos.key, pos.components, pos.from.data()))
            return code;
        sqlite3_bind_int(stmt, k + 2, limit);
        return runQuery(stmt, limit, got);
    }
    if (!unique) {
        // Later duplicates of the same key value first, then the keys beyond it;
        // each query walks its index range directly.
        if (const int code = statement(back ? Query::SameKeyBefore : Query::SameKeyAfter, pos.key, -1, stmt))
            return code;
        if (const int code = bindKey(stmt, 1, pos.key, -1, pos.from.data()))
            return code;
        sqlite3_bind_int64(stmt, k + 1, pos.fromRow);
        sqlite3_bind_int(stmt, k + 2, limit);
        if (const int code = runQuery(stmt, limit, got))
            return code;
        if (got == limit)
            return kOk;
    }
    if (const int code = statement(back ? Query::BeforeKey : Query::AfterKey, pos.key, -1, stmt))
        return code;
    if (const int code = bindKey(stmt, 1, pos.key, -1, pos.from.data()))
        return code;
    sqlite3_bind_int(stmt, k + 2, limit - got);
    return runQuery(stmt, limit, got);
}

int Table::runQuery(sqlite3_stmt* stmt, int limit, int& got)
{
    Position& pos = *m_position;
    sqlite::ResetOnExit reset(stmt);
    Connection& conn = m_session->connection();
    for (;;) {
        const int rc = conn.stepRead(stmt);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW) {
            pos.count = 0;
            return failDb(rc);
        }
        if (got >= limit)
            break;
        char* image = pos.images.data() + static_cast<std::size_t>(got) * m_def.recordLength;
        if (const int code = decodeRow(stmt, image)) {
            pos.count = 0;
            return code;
        }
        pos.rowIds[static_cast<std::size_t>(got)] = sqlite3_column_int64(stmt, 0);
        pos.count = ++got;
    }
    return kOk;
}

int Table::count(std::int64_t& records)
{
    records = 0;
    if (const int code = ensureOpen())
        return code;
    sqlite3_stmt* stmt = nullptr;
    if (const int code = statement(Query::Count, -1, -1, stmt))
        return code;
    sqlite::ResetOnExit reset(stmt);
    const int rc = m_session->connection().stepRead(stmt);
    if (rc != SQLITE_ROW)
        return failDb(rc);
    records = sqlite3_column_int64(stmt, 0);
    return kOk;
}

int Table::readStored(std::int64_t row, char* out)
{
    if (const int code = ensureOpen())
        return code;
    return loadRow(row, out);
}

} // namespace store
