// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "support/TestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>

// A workbook read back by a real XLSX reader: support/xlsx_dump.py (openpyxl)
// prints the sheet as JSON. Tests skip when no Python with openpyxl exists.
namespace testsupport {

inline QString xlsxDumpScript()
{
    return sourceFolder() + QStringLiteral("/tests/support/xlsx_dump.py");
}

// The first Python that has openpyxl: the one on the PATH, else the
// system's (the Debian package installs for that one). Empty when none.
inline QString pythonWithOpenpyxl()
{
    static const QString found = [] {
        for (const QString& python : {QStringLiteral("python3"), QStringLiteral("/usr/bin/python3")}) {
            QProcess p;
            p.start(python, {xlsxDumpScript(), QStringLiteral("--check")});
            if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
                return python;
        }
        return QString();
    }();
    return found;
}

// The dump of `file`; an empty object with `error` set when it cannot be read.
inline QJsonObject dumpXlsx(const QString& file, QString* error = nullptr)
{
    QProcess p;
    p.start(pythonWithOpenpyxl(), {xlsxDumpScript(), file});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        if (error)
            *error = QString::fromUtf8(p.readAllStandardError());
        return {};
    }
    return QJsonDocument::fromJson(p.readAllStandardOutput()).object();
}

} // namespace testsupport
