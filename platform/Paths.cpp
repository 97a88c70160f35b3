// SPDX-License-Identifier: LicenseRef-Kestrom
#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

QString withTrailingSlash(const QString& path)
{
    if (path.isEmpty() || path.endsWith(u'/') || path.endsWith(u'\\'))
        return path;
    return path + u'/';
}

QString programPath()
{
    QString path = QCoreApplication::applicationFilePath();
    if (path.isEmpty()) {
        // No application object yet: ask the system directly.
#if !defined(_WIN32)
        path = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
#endif
    }
    return longPathName(path);
}

QString programFolder()
{
    return withTrailingSlash(QFileInfo(programPath()).absolutePath());
}

QString localAppDataFolder()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return dir.isEmpty() ? QString() : withTrailingSlash(QDir::cleanPath(dir));
}

QString systemTempFolder()
{
    return withTrailingSlash(longPathName(QDir::tempPath()));
}

QString longPathName(const QString& path)
{
    if (path.isEmpty())
        return path;
    QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return QDir::cleanPath(canonical.isEmpty() ? info.absoluteFilePath() : canonical);
}

} // namespace platform
