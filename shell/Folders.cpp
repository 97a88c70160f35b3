// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/Folders.h"

#include "platform/Paths.h"
#include "shell/CommandLine.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace shell {

namespace {

// Longest full path of the per-user folder the program creates.
constexpr qsizetype kMaxCreatedPathLength = 247;

bool folderExists(const QString& folder)
{
    return QFileInfo(folder).isDir();
}

// The per-user folder, created with its parents; empty when that fails.
QString perUserFolder(const QString& applicationName, const QString& localAppData)
{
    if (localAppData.isEmpty())
        return {};
    const QString folder = platform::withTrailingSlash(localAppData) + QString::fromUtf16(kMakerFolder) +
                           u'/' + applicationName + u'/';
    if (folderExists(folder))
        return folder;
    const QString full = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (full.isEmpty() || full.size() > kMaxCreatedPathLength)
        return {};
    if (!QDir().mkpath(full))
        return {};
    return folder;
}

} // namespace

framework::MessageRequest listFormatFolderWarning(const QString& folder)
{
    framework::MessageRequest r;
    r.caption = QStringLiteral("Внимание !");
    r.icon = framework::MessageIcon::Information;
    r.customButtons = {QStringLiteral("Увидел(а)")};
    r.text =
        QStringLiteral(
            "Нет доступа к папке хранения файлов с настройками форматов списков программы !|Проблемная "
            "папка: ") +
        folder + QStringLiteral("||") +
        QStringLiteral("Для хранения файлов с настройками будет использована рабочая папка ОС Windows.|");
    return r;
}

QString ListFormatFilePath(const QString& applicationName, const QString& fpath,
                           framework::MessagePresenter& presenter, const QString& localAppData)
{
    QString folder = fpath;
    if (!folder.isEmpty()) {
        folder = platform::withTrailingSlash(folder);
        if (!folderExists(folder)) {
            framework::showNotice(presenter, listFormatFolderWarning(folder));
            folder.clear();
        }
    }
    if (folder.isEmpty())
        folder = perUserFolder(applicationName, localAppData);
    return platform::longPathName(folder + QStringLiteral("lf.dat"));
}

QString ListFormatFilePath(const QString& applicationName)
{
    const CommandLine args = parseCommandLine(QCoreApplication::arguments());
    return ListFormatFilePath(applicationName, args.fpath, framework::messagePresenter(),
                              platform::localAppDataFolder());
}

QString temporaryExportFolder(const QString& ram)
{
    if (!ram.isEmpty()) {
        const QString folder = platform::withTrailingSlash(platform::longPathName(ram));
        if (folderExists(folder))
            return folder;
    }
    return platform::systemTempFolder();
}

} // namespace shell
