// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/TableUpgrade.h"

#include "store/ErrorCodes.h"
#include "store/FieldAccess.h"
#include "store/FileLayout.h"
#include "store/RecordColumns.h"
#include "store/RecordText.h"
#include "store/SealedRows.h"
#include "store/TableSchema.h"

#include <sodium.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <set>
#include <vector>

namespace store::upgrade {

namespace {

using layout::StoredField;
using layout::StoredLayout;

enum class Kind : std::uint8_t
{
    Text,
    Integer,
    Real,
};

Kind kindOf(FieldType t)
{
    if (isTextType(t))
        return Kind::Text;
    return t == FieldType::F64 ? Kind::Real : Kind::Integer;
}

std::size_t textCapacity(FieldType t, std::size_t size)
{
    return t == FieldType::ZText ? size - 1 : size;
}

struct Range
{
    long long low;
    long long high;
};

Range rangeOf(FieldType t)
{
    switch (t) {
    case FieldType::U8:
        return {0, std::numeric_limits<std::uint8_t>::max()};
    case FieldType::I16:
        return {std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()};
    case FieldType::U16:
        return {0, std::numeric_limits<std::uint16_t>::max()};
    default:
        return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
    }
}

long long loadInteger(FieldType t, const char* p)
{
    switch (t) {
    case FieldType::U8:
        return loadNumber<std::uint8_t>(p);
    case FieldType::I16:
        return loadNumber<std::int16_t>(p);
    case FieldType::U16:
        return loadNumber<std::uint16_t>(p);
    default:
        return loadNumber<std::int32_t>(p);
    }
}

void storeInteger(FieldType t, char* p, long long v)
{
    switch (t) {
    case FieldType::U8:
        storeNumber(p, static_cast<std::uint8_t>(v));
        break;
    case FieldType::I16:
        storeNumber(p, static_cast<std::int16_t>(v));
        break;
    case FieldType::U16:
        storeNumber(p, static_cast<std::uint16_t>(v));
        break;
    default:
        storeNumber(p, static_cast<std::int32_t>(v));
        break;
    }
}

// A field of the current dictionary and the stored field it continues
// (nullptr for a new field).
struct Carried
{
    const FieldDef* field;
    const StoredField* old;
};

struct Plan
{
    std::vector<Carried> carried;
    std::vector<const StoredField*> dropped;
};

[[nodiscard]] bool makePlan(const TableDef& def, const StoredLayout& old, Plan& plan, std::string& why)
{
    for (const FieldDef& f : def.fields) {
        const StoredField* before = old.field(f.name);
        if (before && kindOf(before->type) != kindOf(f.type)) {
            why = "field " + std::string(f.name) + " changes from " +
                  std::string(fieldTypeName(before->type)) + " to " + std::string(fieldTypeName(f.type));
            return false;
        }
        if (before && kindOf(f.type) == Kind::Integer) {
            const Range from = rangeOf(before->type), to = rangeOf(f.type);
            if (from.low < to.low || from.high > to.high) {
                why = "field " + std::string(f.name) + " cannot hold its values as " +
                      std::string(fieldTypeName(f.type));
                return false;
            }
        }
        plan.carried.push_back({&f, before});
    }
    for (const StoredField& f : old.fields)
        if (def.fieldIndex(f.name) < 0)
            plan.dropped.push_back(&f);
    return true;
}

// A text whose width or kind changed: its stored values are made what the
// new field stores (cut to the new width, padding dropped as on every write).
bool textChanged(const Carried& c)
{
    return c.old && kindOf(c.field->type) == Kind::Text &&
           (c.old->type != c.field->type ||
            textCapacity(c.old->type, c.old->size) != textCapacity(c.field->type, c.field->size));
}

void convertRecord(const Plan& plan, const char* oldRecord, const TableDef& def, char* record)
{
    clearRecordOf(def, record);
    for (const Carried& c : plan.carried) {
        if (!c.old)
            continue;
        const char* from = oldRecord + c.old->offset;
        char* to = record + c.field->offset;
        switch (kindOf(c.field->type)) {
        case Kind::Text: {
            std::string_view value(from, c.old->size);
            value = c.old->type == FieldType::ZText
                        ? value.substr(
                              0, std::min(value.find('\0'), textCapacity(FieldType::ZText, value.size())))
                        : clip(value);
            const std::size_t n = std::min(value.size(), textCapacity(c.field->type, c.field->size));
            std::memcpy(to, value.data(), n);
            break;
        }
        case Kind::Integer:
            storeInteger(c.field->type, to, loadInteger(c.old->type, from));
            break;
        case Kind::Real:
            std::memcpy(to, from, sizeof(double));
            break;
        }
    }
}

[[nodiscard]] int prepare(sqlite3* db, const std::string& sql, sqlite::Statement& out, sqlite::DbError& err)
{
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr);
    out.reset(raw);
    if (rc != SQLITE_OK) {
        err = sqlite::dbError(db, rc);
        return err.code;
    }
    return kOk;
}

[[nodiscard]] int stepDone(sqlite3* db, sqlite3_stmt* stmt, sqlite::DbError& err)
{
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) {
        err = sqlite::dbError(db, rc);
        return err.code;
    }
    return kOk;
}

// The names of the key's columns in order, as an index on them lists them.
std::vector<std::string> keyColumns(const TableDef& def, const KeyDef& key)
{
    std::vector<std::string> out;
    for (std::uint8_t c : key.componentSpan())
        out.emplace_back(def.fields[c].name);
    return out;
}

// Drops the indexes of the file that the dictionary no longer has as they
// are; `kept` receives the names of those that stay.
[[nodiscard]] int dropChangedIndexes(sqlite3* db, const TableDef& def, const std::string& alias,
                                     std::set<std::string>& kept, sqlite::DbError& err)
{
    sqlite::Statement list, info;
    if (prepare(db, "SELECT name, \"unique\" FROM pragma_index_list('records', ?1) WHERE origin = 'c'", list,
                err) != kOk ||
        prepare(db, "SELECT name FROM pragma_index_info(?1, ?2) ORDER BY seqno", info, err) != kOk)
        return err.code;
    sqlite3_bind_text(list.get(), 1, alias.c_str(), -1, SQLITE_TRANSIENT);
    std::vector<std::pair<std::string, bool>> indexes;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(list.get())) == SQLITE_ROW)
        indexes.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list.get(), 0)),
                             sqlite3_column_int(list.get(), 1) != 0);
    if (rc != SQLITE_DONE) {
        err = sqlite::dbError(db, rc);
        return err.code;
    }
    for (const auto& [name, unique] : indexes) {
        std::vector<std::string> columns;
        sqlite3_reset(info.get());
        sqlite3_bind_text(info.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(info.get(), 2, alias.c_str(), -1, SQLITE_TRANSIENT);
        while ((rc = sqlite3_step(info.get())) == SQLITE_ROW)
            columns.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(info.get(), 0)));
        if (rc != SQLITE_DONE) {
            err = sqlite::dbError(db, rc);
            return err.code;
        }
        const KeyDef* key = def.key(name);
        if (key && key->unique == unique && keyColumns(def, *key) == columns) {
            kept.insert(name);
            continue;
        }
        if (sqlite::exec(db, "DROP INDEX " + sqlite::quoted(alias) + '.' + sqlite::quoted(name), err) != kOk)
            return err.code;
    }
    return kOk;
}

// Rewrites the values of a text column whose width or kind changed.
[[nodiscard]] int normaliseText(sqlite3* db, const TableDef& def, const std::string& alias,
                                const FieldDef& field, sqlite::DbError& err)
{
    const std::string table = sqlite::quoted(alias) + ".records";
    const std::string column = sqlite::quoted(field.name);
    sqlite::Statement read, write;
    if (prepare(db, "SELECT rowid, " + column + " FROM " + table, read, err) != kOk ||
        prepare(db, "UPDATE " + table + " SET " + column + " = ?1 WHERE rowid = ?2", write, err) != kOk)
        return err.code;
    std::vector<char> record(def.recordLength);
    std::vector<std::pair<std::int64_t, std::string>> changes;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(read.get())) == SQLITE_ROW) {
        const auto* blob = static_cast<const char*>(sqlite3_column_blob(read.get(), 1));
        const auto length = static_cast<std::size_t>(sqlite3_column_bytes(read.get(), 1));
        const std::string stored = blob ? std::string(blob, length) : std::string();
        columns::readField(read.get(), 1, field, record.data());
        const std::string_view raw(record.data() + field.offset, field.size);
        const std::string_view value = field.type == FieldType::ZText
                                           ? raw.substr(0, std::min(raw.find('\0'), raw.size() - 1))
                                           : clip(raw);
        if (value != stored)
            changes.emplace_back(sqlite3_column_int64(read.get(), 0), std::string(value));
    }
    if (rc != SQLITE_DONE) {
        err = sqlite::dbError(db, rc);
        return err.code;
    }
    for (const auto& [row, value] : changes) {
        sqlite3_bind_blob(write.get(), 1, value.data(), static_cast<int>(value.size()), SQLITE_STATIC);
        sqlite3_bind_int64(write.get(), 2, row);
        if (stepDone(db, write.get(), err) != kOk)
            return err.code;
    }
    return kOk;
}

[[nodiscard]] int upgradeColumns(sqlite3* db, const TableDef& def, const std::string& alias, const Plan& plan,
                                 sqlite::DbError& err)
{
    std::set<std::string> kept;
    if (dropChangedIndexes(db, def, alias, kept, err) != kOk)
        return err.code;
    const std::string alter = "ALTER TABLE " + sqlite::quoted(alias) + ".records ";
    for (const StoredField* f : plan.dropped)
        if (sqlite::exec(db, alter + "DROP COLUMN " + sqlite::quoted(f->name), err) != kOk)
            return err.code;
    for (const Carried& c : plan.carried) {
        if (!c.old && sqlite::exec(db,
                                   alter + "ADD COLUMN " + sqlite::quoted(c.field->name) + ' ' +
                                       schema::columnType(c.field->type),
                                   err) != kOk)
            return err.code;
        if (textChanged(c) && normaliseText(db, def, alias, *c.field, err) != kOk)
            return err.code;
    }
    for (const KeyDef& key : def.keys)
        if (!kept.count(std::string(key.name)) &&
            sqlite::exec(db, schema::createIndexStatement(def, key, alias), err) != kOk)
            return err.code;
    return kOk;
}

// Every sealed record is opened with the old layout, carried over to the new
// one and sealed again (under the same file key, with a fresh nonce).
[[nodiscard]] int upgradeSealedRows(sqlite3* db, const TableDef& def, const std::string& alias,
                                    const StoredLayout& old, const Plan& plan, const std::string& salt,
                                    sqlite::DbError& err)
{
    const sealed::Keys* keys = sealed::keysForSalt(salt);
    if (!keys) {
        err = {kOutOfMemory, 0, "the keys of the sealed table cannot be derived"};
        return err.code;
    }
    const std::string table = sqlite::quoted(alias) + ".records";
    sqlite::Statement read, write;
    if (prepare(db, "SELECT rowid, keyhash, sealed FROM " + table, read, err) != kOk ||
        prepare(db, "UPDATE " + table + " SET keyhash = ?1, sealed = ?2 WHERE rowid = ?3", write, err) != kOk)
        return err.code;
    struct Row
    {
        std::int64_t id;
        std::vector<unsigned char> hash;
        std::vector<unsigned char> sealedRecord;
    };
    std::vector<Row> rows;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(read.get())) == SQLITE_ROW) {
        auto bytes = [&](int column) {
            const auto* p = static_cast<const unsigned char*>(sqlite3_column_blob(read.get(), column));
            return std::vector<unsigned char>(p, p + sqlite3_column_bytes(read.get(), column));
        };
        rows.push_back({sqlite3_column_int64(read.get(), 0), bytes(1), bytes(2)});
    }
    if (rc != SQLITE_DONE) {
        err = sqlite::dbError(db, rc);
        return err.code;
    }
    read.reset();

    std::vector<char> before(old.recordLength), after(def.recordLength);
    std::vector<unsigned char> sealedAfter;
    // The opened records hold the access settings in plain: they are wiped
    // on every way out.
    struct Wipe
    {
        std::vector<char>& a;
        std::vector<char>& b;
        ~Wipe()
        {
            sodium_memzero(a.data(), a.size());
            sodium_memzero(b.data(), b.size());
        }
    } wipe{before, after};
    for (const Row& row : rows) {
        if (!sealed::unseal(*keys, row.hash.data(), row.hash.size(), row.sealedRecord.data(),
                            row.sealedRecord.size(), before.data(), before.size())) {
            err = {kDamagedFile, 0, "a sealed record fails authentication"};
            return err.code;
        }
        convertRecord(plan, before.data(), def, after.data());
        const sealed::KeyHash hash = sealed::keyHash(*keys, sealed::keyValue(def, after.data()));
        if (!sealed::seal(*keys, hash, after.data(), after.size(), sealedAfter)) {
            err = {kDriverError, 0, "the record cannot be sealed"};
            return err.code;
        }
        sqlite3_bind_blob(write.get(), 1, hash.data(), static_cast<int>(hash.size()), SQLITE_STATIC);
        sqlite3_bind_blob(write.get(), 2, sealedAfter.data(), static_cast<int>(sealedAfter.size()),
                          SQLITE_STATIC);
        sqlite3_bind_int64(write.get(), 3, row.id);
        if (stepDone(db, write.get(), err) != kOk)
            return err.code;
    }
    return kOk;
}

} // namespace

int upgradeFile(sqlite3* db, const TableDef& def, const std::string& alias, std::uint32_t fromVersion,
                const std::string& salt, sqlite::DbError& err)
{
    const std::string what = "upgrading the file from version " + std::to_string(fromVersion) + " to " +
                             std::to_string(def.version());
    auto failed = [&](int code) {
        if (!sqlite3_get_autocommit(db))
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        err.code = code;
        err.text = what + ": " + err.text;
        return code;
    };

    // The write lock of this file alone (BEGIN IMMEDIATE would take every
    // attached file's), waited for up to the connection's busy time-out.
    const std::string lock = "UPDATE " + sqlite::quoted(alias) + ".meta SET value = value WHERE 0";
    if (sqlite::exec(db, "BEGIN", err) != kOk || sqlite::exec(db, lock, err) != kOk)
        return failed(err.code);
    // Another program may have upgraded the file while this one waited for
    // the lock: what the file records is read under the lock.
    std::string version, text, why;
    if (schema::readMeta(db, alias, "version", version, err) != kOk)
        return failed(err.code);
    if (version == std::to_string(def.version())) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return kOk;
    }
    StoredLayout old;
    Plan plan;
    if (version != std::to_string(fromVersion)) {
        err = {kBadFileStructure, 0, "the file's version changed to " + version + " meanwhile"};
        return failed(err.code);
    }
    if (schema::readMeta(db, alias, "layout", text, err) != kOk)
        return failed(err.code);
    if (!layout::parseLayout(text, old, why) || !makePlan(def, old, plan, why)) {
        err = {kBadFileStructure, 0, why};
        return failed(err.code);
    }
    const int code = schema::isSealed(def) ? upgradeSealedRows(db, def, alias, old, plan, salt, err)
                                           : upgradeColumns(db, def, alias, plan, err);
    if (code != kOk || schema::writeVersionMeta(db, def, alias, err) != kOk ||
        sqlite::exec(db, "COMMIT", err) != kOk)
        return failed(err.code);
    return kOk;
}

} // namespace store::upgrade
