// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/TableSchema.h"

#include "store/DictionaryFingerprint.h"
#include "store/ErrorCodes.h"
#include "store/FileLayout.h"
#include "store/SealedRows.h"
#include "store/TableUpgrade.h"

#include <charconv>
#include <cstdio>

namespace store::schema {

namespace {

[[nodiscard]] int countSchemaObjects(sqlite3* db, const std::string& alias, int& count, sqlite::DbError& err)
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
[[nodiscard]] int createSchema(sqlite3* db, const TableDef& def, const std::string& alias,
                               sqlite::DbError& err)
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

[[nodiscard]] int refuse(sqlite::DbError& err, std::string text)
{
    err = {kBadFileStructure, 0, std::move(text)};
    return err.code;
}

// A version as the files record it: a whole number from 1.
[[nodiscard]] bool parseVersion(const std::string& text, std::uint32_t& version)
{
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), version);
    return !text.empty() && ec == std::errc() && end == text.data() + text.size() && version > 0;
}

// Files made before versions were recorded carry only the fingerprint; the
// current program marks them when it may write to them. It is not worth a
// wait: when another program holds the file's write lock, the mark is left
// for the next open.
void markVersion(sqlite3* db, const TableDef& def, const std::string& alias, int lockTimeoutMs)
{
    sqlite3_busy_timeout(db, 0);
    sqlite::DbError ignored;
    const bool marked = sqlite::exec(db, "BEGIN", ignored) == kOk &&
                        writeVersionMeta(db, def, alias, ignored) == kOk &&
                        sqlite::exec(db, "COMMIT", ignored) == kOk;
    if (!marked && !sqlite3_get_autocommit(db))
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_busy_timeout(db, lockTimeoutMs);
}

} // namespace

std::string fingerprintText(std::uint64_t fingerprint)
{
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(fingerprint));
    return hex;
}

std::string fingerprint(const TableDef& def)
{
    return fingerprintText(dictionaryFingerprint(def));
}

const char* columnType(FieldType type)
{
    switch (type) {
    case FieldType::Text:
    case FieldType::ZText:
        return "BLOB NOT NULL DEFAULT x''";
    case FieldType::F64:
        return "REAL NOT NULL DEFAULT 0";
    default:
        return "INTEGER NOT NULL DEFAULT 0";
    }
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

std::string createIndexStatement(const TableDef& def, const KeyDef& key, const std::string& alias)
{
    std::string comps;
    for (std::uint8_t c : key.componentSpan()) {
        if (!comps.empty())
            comps += ',';
        comps += sqlite::quoted(def.fields[c].name);
    }
    return std::string("CREATE ") + (key.unique ? "UNIQUE " : "") + "INDEX " + sqlite::quoted(alias) + '.' +
           sqlite::quoted(key.name) + " ON records(" + comps + ')';
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
        for (const KeyDef& key : def.keys)
            out.push_back(createIndexStatement(def, key, alias));
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
    meta("version", std::to_string(def.version()));
    meta("fields", fingerprint(def));
    meta("layout", layout::layoutText(def));
    if (isSealed(def))
        meta("salt", sealed::newSalt());
    return out;
}

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

int writeVersionMeta(sqlite3* db, const TableDef& def, const std::string& alias, sqlite::DbError& err)
{
    const std::string sql =
        "INSERT OR REPLACE INTO " + sqlite::quoted(alias) + ".meta(key, value) VALUES(?1, ?2)";
    sqlite3_stmt* raw = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &raw, nullptr);
    sqlite::Statement stmt(raw);
    if (rc != SQLITE_OK) {
        err = sqlite::dbError(db, rc);
        return err.code;
    }
    const std::pair<const char*, std::string> values[] = {
        {"version", std::to_string(def.version())},
        {"fields", fingerprint(def)},
        {"layout", layout::layoutText(def)},
    };
    for (const auto& [key, value] : values) {
        sqlite3_reset(raw);
        sqlite3_bind_text(raw, 1, key, -1, SQLITE_STATIC);
        sqlite3_bind_text(raw, 2, value.c_str(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
        rc = sqlite3_step(raw);
        if (rc != SQLITE_DONE) {
            err = sqlite::dbError(db, rc);
            return err.code;
        }
    }
    return kOk;
}

int prepareFile(sqlite3* db, const TableDef& def, const std::string& alias, OpenKind kind, int lockTimeoutMs,
                FileInfo& info, sqlite::DbError& err)
{
    int objects = 0;
    if (countSchemaObjects(db, alias, objects, err) != kOk)
        return err.code;
    if (objects == 0) {
        // New files are made whole before they are attached (TableFiles), so
        // an empty database on disk is not one of ours.
        if (kind != OpenKind::Memory)
            return refuse(err, "the database holds no table");
        if (createSchema(db, def, alias, err) != kOk)
            return err.code;
    }

    std::string table, format, fields, versionText;
    if (readMeta(db, alias, "table", table, err) != kOk ||
        readMeta(db, alias, "format", format, err) != kOk ||
        readMeta(db, alias, "fields", fields, err) != kOk ||
        readMeta(db, alias, "version", versionText, err) != kOk)
        return err.code;
    if (table != def.name || format != std::to_string(kFormatVersion))
        return refuse(err, "the file holds table '" + table + "' format " + format + ", expected '" +
                               std::string(def.name) + "' format " + std::to_string(kFormatVersion));

    const std::uint32_t current = def.version();
    std::uint32_t version = current;
    const bool unmarked = versionText.empty();
    if (unmarked) {
        if (fields != fingerprint(def))
            return refuse(err, "the file holds fields " + fields +
                                   " and records no version; expected fields " + fingerprint(def));
    } else {
        if (!parseVersion(versionText, version))
            return refuse(err, "the file records no readable version ('" + versionText + "')");
        if (version > current)
            return refuse(err, "the file was written by a newer program: its fields are of version " +
                                   versionText + ", this program knows versions up to " +
                                   std::to_string(current));
        if (fields != fingerprintText(def.layouts[version - 1]))
            return refuse(err, "the file holds fields " + fields + ", which are not version " + versionText +
                                   " of the table");
        if (version < current && kind == OpenKind::ReadOnly)
            return refuse(err, "the file's fields are of the older version " + versionText + " (now " +
                                   std::to_string(current) +
                                   "): it is upgraded when the program opens it for writing");
    }

    if (isSealed(def)) {
        if (readMeta(db, alias, "salt", info.salt, err) != kOk)
            return err.code;
        if (!sealed::isValidSalt(info.salt)) {
            err = {kDamagedFile, 0, "the settings file has no valid salt"};
            return err.code;
        }
    }
    if (version < current)
        return upgrade::upgradeFile(db, def, alias, version, info.salt, err);
    if (unmarked && kind == OpenKind::ReadWrite)
        markVersion(db, def, alias, lockTimeoutMs);
    return kOk;
}

} // namespace store::schema
