// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/HelpPage.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#ifndef ZANVO_HELP_URL
#define ZANVO_HELP_URL ""
#endif

namespace shell {

namespace {

constexpr const char* kShippedPage = ":/help/help.html";
constexpr const char* kPageFileName = "zanvo-help.html";

QByteArray readWhole(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

QUrl makerHelpUrl()
{
    const QUrl url(QString::fromUtf8(ZANVO_HELP_URL), QUrl::StrictMode);
    return url.isValid() && url.scheme() == QLatin1String("https") && !url.host().isEmpty() ? url : QUrl();
}

QUrl helpPageUrl(const QString& folder, QString* error)
{
    if (const QUrl maker = makerHelpUrl(); !maker.isEmpty())
        return maker;
    const QByteArray page = readWhole(QString::fromLatin1(kShippedPage));
    const auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return QUrl();
    };
    if (page.isEmpty())
        return fail(QStringLiteral("в программе нет страницы справки"));
    if (folder.isEmpty() || !QDir().mkpath(folder))
        return fail(QStringLiteral("нет доступа к папке ") + QDir::toNativeSeparators(folder));
    const QString path = QDir(folder).filePath(QString::fromLatin1(kPageFileName));
    if (readWhole(path) != page) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(page) != page.size() || !file.commit())
            return fail(QStringLiteral("не удалось записать файл ") + QDir::toNativeSeparators(path));
    }
    return QUrl::fromLocalFile(path);
}

} // namespace shell
