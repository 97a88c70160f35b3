// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/TableSchema.h"

#include "store/ErrorCodes.h"
#include "store/SealedRows.h"

#include <cstdio>

namespace store::schema {

namespace {

const char* columnType(FieldType t)
{
    switch (t) {
    case FieldType::Text:
    case FieldType::ZText:
        return "BLOB NOT NULL DEFAULT x''";
    case FieldType::F64:
        return "REAL NOT NULL DEFAULT 0";
    default:
        return "INTEGER NOT NULL DEFAULT 0";
    }
}

// FNV-1a, 64 bits: enough to tell two dictionaries apart, and stable across
// platforms and builds.
struct Fnv
{
    std::uint64_t h = 1469598103934665603ull;
    void add(std::string_view s)
    {
        for (unsigned char c : s) {
            h ^= c;
            h *= 1099511628211ull;
        }
        h ^= 0xFF; // separator
        h *= 1099511628211ull;
    }
    void add(std::uint64_t v) { add(std::to_string(v)); }
};

int readMeta(sqlite3* db, const std::string& alias, const char* key, std::string& value, sqlite::DbError& err)
{
    const std::string sql = "SELECT value FROM " + sqlite::quoted(alias) + ".meta WHERE key = ?1";
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr);
    sqlite::Statement stmt(raw);
    if (rc != SQLITE_OK) {
        err = sqlite::dbError(db, rc);
        // A database without our meta table is somebody else's.
        if ((rc & 0xFF) == SQLITE_ERROR)
            err.code = kBadFileStructure;
        return err.code;
    }
    sqlite3_bind_text(raw, 1, key, -1, SQLITE_STATIC);
    rc = sqlite3_step(raw);
    if (rc == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
        value = text ? text : "";
        return kOk;
    }
    if (rc == SQLITE_DONE) {
        value.clear();
        return kOk;
    }
    err = sqlite::dbError(db, rc);
    return err.code;
}

int countSchemaObjects(sqlite3* db, const std::string& alias, int& count, sqlite::DbError& err)
{
    const std::string sql = "SELECT count(*) FROM " + sqlite::quoted(alias) + ".sqlite_master";
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr);
    sqlite::Statement stmt(raw);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(raw);
    if (rc != SQLITE_ROW) {
        err = sqlite::dbError(db, rc);
        return err.code;
    }
    count = sqlite3_column_int(raw, 0);
    return kOk;
}

// The schema of a new in-memory database. Another thread may be creating the
// same shared one right now: the immediate transaction serialises us, and the
// second one finds the schema in place.
int createSchema(sqlite3* db, const TableDef& def, const std::string& alias, sqlite::DbError& err)
{
    if (sqlite::exec(db, "BEGIN IMMEDIATE", err) != kOk)
        return err.code;
    int objects = 0;
    int code = countSchemaObjects(db, alias, objects, err);
    if (code == kOk && objects == 0) {
        for (const std::string& sql : createStatements(def, alias)) {
            code = sqlite::exec(db, sql, err);
            if (code != kOk)
                break;
        }
    }
    if (code == kOk)
        code = sqlite::exec(db, "COMMIT", err);
    if (code != kOk && !sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return code;
}

} // namespace

std::string fingerprint(const TableDef& def)
{
    Fnv f;
    f.add(def.name);
    f.add(static_cast<std::uint64_t>(def.storage == Storage::EncryptedFile));
    for (const FieldDef& field : def.fields) {
        f.add(field.name);
        f.add(static_cast<std::uint64_t>(field.type));
        f.add(field.size);
        f.add(field.offset);
    }
    for (const KeyDef& key : def.keys) {
        f.add(key.name);
        f.add(static_cast<std::uint64_t>(key.unique));
        for (std::uint8_t c : key.componentSpan())
            f.add(c);
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(f.h));
    return hex;
}

std::string selectColumns(const TableDef& def)
{
    if (isSealed(def))
        return "keyhash,sealed";
    std::string cols;
    for (const FieldDef& field : def.fields) {
        if (!cols.empty())
            cols += ',';
        cols += sqlite::quoted(field.name);
    }
    return cols;
}

std::vector<std::string> createStatements(const TableDef& def, const std::string& alias)
{
    const std::string schema = sqlite::quoted(alias) + '.';
    std::vector<std::string> out;
    out.push_back("CREATE TABLE " + schema + "meta(key TEXT PRIMARY KEY, value TEXT NOT NULL)");
    if (isSealed(def)) {
        out.push_back("CREATE TABLE " + schema +
                      "records(keyhash BLOB NOT NULL UNIQUE, sealed BLOB NOT NULL)");
    } else {
        std::string cols;
        for (const FieldDef& field : def.fields) {
            if (!cols.empty())
                cols += ", ";
            cols += sqlite::quoted(field.name) + ' ' + columnType(field.type);
        }
        out.push_back("CREATE TABLE " + schema + "records(" + cols + ')');
        for (const KeyDef& key : def.keys) {
            std::string comps;
            for (std::uint8_t c : key.componentSpan()) {
                if (!comps.empty())
                    comps += ',';
                comps += sqlite::quoted(def.fields[c].name);
            }
            out.push_back(std::string("CREATE ") + (key.unique ? "UNIQUE " : "") + "INDEX " + schema +
                          sqlite::quoted(key.name) + " ON records(" + comps + ')');
        }
    }
    auto meta = [&](std::string_view key, const std::string& value) {
        std::string v;
        for (char c : value) {
            if (c == '\'')
                v += '\'';
            v += c;
        }
        out.push_back("INSERT INTO " + schema + "meta(key, value) VALUES('" + std::string(key) + "', '" + v +
                      "')");
    };
    meta("table", std::string(def.name));
    meta("format", std::to_string(kFormatVersion));
    meta("fields", fingerprint(def));
    if (isSealed(def))
        meta("salt", sealed::newSalt());
    return out;
}

int prepareFile(sqlite3* db, const TableDef& def, const std::string& alias, OpenKind kind, FileInfo& info,
                sqlite::DbError& err)
{
    int objects = 0;
    if (countSchemaObjects(db, alias, objects, err) != kOk)
        return err.code;
    if (objects == 0) {
        // New files are made whole before they are attached (TableFiles), so
        // an empty database on disk is not one of ours.
        if (kind != OpenKind::Memory) {
            err = {kBadFileStructure, 0, "the database holds no table"};
            return err.code;
        }
        if (createSchema(db, def, alias, err) != kOk)
            return err.code;
    }

    std::string table, format, fields;
    if (readMeta(db, alias, "table", table, err) != kOk ||
        readMeta(db, alias, "format", format, err) != kOk ||
        readMeta(db, alias, "fields", fields, err) != kOk)
        return err.code;
    if (table != def.name || format != std::to_string(kFormatVersion) || fields != fingerprint(def)) {
        err.code = kBadFileStructure;
        err.sqliteCode = 0;
        err.text = "the file holds table '" + table + "' format " + format + " fields " + fields +
                   ", expected '" + std::string(def.name) + "' format " + std::to_string(kFormatVersion) +
                   " fields " + fingerprint(def);
        return err.code;
    }
    if (isSealed(def)) {
        if (readMeta(db, alias, "salt", info.salt, err) != kOk)
            return err.code;
        if (!sealed::isValidSalt(info.salt)) {
            err = {kDamagedFile, 0, "the settings file has no valid salt"};
            return err.code;
        }
    }
    return kOk;
}

} // namespace store::schema
