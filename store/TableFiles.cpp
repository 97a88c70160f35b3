// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/TableFiles.h"

#include "store/ErrorCodes.h"
#include "store/TableSchema.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <memory>

namespace store::files {

namespace {

struct HandleCloser
{
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};

// Writes a new database with the table's schema at `path`, which must not
// exist; the commit makes it durable before the caller moves it into place.
[[nodiscard]] int writeNewFile(const TableDef& def, const std::string& path, sqlite::DbError& err)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    std::unique_ptr<sqlite3, HandleCloser> db(raw);
    if (rc != SQLITE_OK) {
        err = sqlite::dbError(raw, rc);
        return err.code;
    }
    sqlite3_extended_result_codes(raw, 1);
    if (sqlite::exec(raw, "PRAGMA synchronous = FULL", err) != kOk || sqlite::exec(raw, "BEGIN", err) != kOk)
        return err.code;
    for (const std::string& sql : schema::createStatements(def, "main")) {
        if (sqlite::exec(raw, sql, err) != kOk)
            return err.code;
    }
    return sqlite::exec(raw, "COMMIT", err);
}

// The new file is written under a name of its own and moved into place when
// complete, so that no other program ever finds it empty or half made (and
// takes it for damaged). When another program has made the file meanwhile,
// its file stays and ours is dropped.
[[nodiscard]] int createFile(const TableDef& def, const std::string& path, sqlite::DbError& err)
{
    const QString target = QString::fromStdString(path);
    const QString temporary =
        target + QStringLiteral(".new-%1").arg(QRandomGenerator::system()->generate64(), 16, 16, QChar(u'0'));
    const std::string temporaryPath = temporary.toStdString();
    const int code = writeNewFile(def, temporaryPath, err);
    if (code == kOk && QFile::rename(temporary, target))
        return kOk;
    QFile::remove(temporary);
    QFile::remove(temporary + QStringLiteral("-journal"));
    if (code != kOk)
        return code;
    if (QFileInfo::exists(target))
        return kOk;
    err = {kAccessDenied, 0, "the new file cannot be put in place"};
    return err.code;
}

} // namespace

int prepareForAttach(const TableDef& def, const std::string& path, bool readOnly, sqlite::DbError& err)
{
    const QFileInfo file(QString::fromStdString(path));
    if (!file.exists()) {
        if (readOnly) {
            err = {kFileNotFound, 0, "the file does not exist"};
            return err.code;
        }
        const QFileInfo folder(file.absolutePath());
        if (!folder.isDir()) {
            err = {kPathNotFound, 0, "the folder of the file does not exist"};
            return err.code;
        }
        if (!folder.isWritable()) {
            err = {kAccessDenied, 0, "the file cannot be created in its folder"};
            return err.code;
        }
        return createFile(def, path, err);
    }
    if (!file.isFile() || !file.isReadable()) {
        err = {kAccessDenied, 0, "the file cannot be read"};
        return err.code;
    }
    if (file.size() < kDatabaseHeaderBytes) {
        err = {kDamagedFile, 0,
               "the file is shorter than a database header (" + std::to_string(file.size()) + " bytes)"};
        return err.code;
    }
    return kOk;
}

std::string attachUri(const std::string& path, bool readOnly)
{
    const QString absolute = QFileInfo(QString::fromStdString(path)).absoluteFilePath();
    return sqlite::fileUri(absolute.toStdString(), readOnly ? "ro" : "rw");
}

} // namespace store::files
