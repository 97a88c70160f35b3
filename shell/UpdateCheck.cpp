// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/UpdateCheck.h"

#include "vetis/HttpDownload.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QUrl>
#include <QUuid>

#ifndef ZANVO_UPDATE_HOST1
#define ZANVO_UPDATE_HOST1 ""
#endif
#ifndef ZANVO_UPDATE_HOST2
#define ZANVO_UPDATE_HOST2 ""
#endif

namespace shell {

namespace {

constexpr char kVersionSection[] = "VetisZnv";

framework::MessageRequest updateNotice(const QString& caption, const QString& text)
{
    framework::MessageRequest r;
    r.caption = caption;
    r.text = text;
    r.icon = framework::MessageIcon::Information;
    r.customButtons = {QStringLiteral("&1. Закрыть")};
    return r;
}

QDate parseVersionDate(const QString& text)
{
    QDate date = QDate::fromString(text, QStringLiteral("dd.MM.yyyy"));
    if (!date.isValid())
        date = QDate::fromString(text, QStringLiteral("d.M.yyyy"));
    return date;
}

// Whether the sources may fetch `url`: https always, plain http only where
// the sources allow it.
bool fetchableUrl(const UpdateSources& sources, const QString& url)
{
    const QUrl parsed(url, QUrl::StrictMode);
    if (!parsed.isValid() || parsed.host().isEmpty())
        return false;
    const QString scheme = parsed.scheme().toLower();
    return scheme == u"https" || (sources.allowPlainHttp && scheme == u"http");
}

// The transport settings of an update transfer: certificates are always
// verified.
vetis::TransportSettings verifiedTransport(const UpdateSources& sources)
{
    vetis::TransportSettings settings = sources.transport;
    settings.tls.verify = true;
    return settings;
}

std::optional<PublishedVersion> askHost(const UpdateSources& sources, const QString& baseUrl,
                                        const QString& temporaryFolder)
{
    const QString url = baseUrl + QStringLiteral("/_version");
    if (baseUrl.isEmpty() || !fetchableUrl(sources, url))
        return std::nullopt;
    const QString file = newTemporaryFile(temporaryFolder, QStringLiteral(".tmp"));
    QFile::remove(file);
    const vetis::TransferOutcome outcome =
        vetis::DownloadToFile(file, url.toStdString(), {}, {}, false, nullptr, verifiedTransport(sources));
    std::optional<PublishedVersion> published;
    if (outcome.ok() && QFileInfo::exists(file))
        published = readVersionFile(file);
    QFile::remove(file);
    if (published && !fetchableUrl(sources, published->link))
        return std::nullopt;
    return published;
}

} // namespace

UpdateSources programUpdateSources()
{
    UpdateSources sources;
    for (const char* host : {ZANVO_UPDATE_HOST1, ZANVO_UPDATE_HOST2}) {
        const QString name = QString::fromUtf8(host).trimmed();
        if (!name.isEmpty())
            sources.baseUrls << QStringLiteral("https://") + name;
    }
    return sources;
}

std::optional<PublishedVersion> readVersionFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Guard against a server that sends something huge instead.
    QByteArray content = file.read(64 * 1024);
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    PublishedVersion published;
    bool inSection = false;
    for (const QByteArray& rawLine : content.split('\n')) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            inSection = line.mid(1, line.size() - 2)
                            .trimmed()
                            .compare(QLatin1String(kVersionSection), Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inSection || equals <= 0)
            continue;
        const QString key = line.left(equals).trimmed();
        QString value = line.mid(equals + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
            value = value.mid(1, value.size() - 2);
        if (key.compare(u"Date", Qt::CaseInsensitive) == 0)
            published.date = parseVersionDate(value);
        else if (key.compare(u"Link", Qt::CaseInsensitive) == 0)
            published.link = value;
        else if (key.compare(u"Sha256", Qt::CaseInsensitive) == 0)
            published.sha256 = value.toLower();
    }
    if (!published.date.isValid() || published.link.isEmpty())
        return std::nullopt;
    return published;
}

std::optional<PublishedVersion> fetchPublishedVersion(const UpdateSources& sources,
                                                      const QString& temporaryFolder, int firstHost)
{
    QStringList hosts;
    for (const QString& url : sources.baseUrls)
        if (!url.isEmpty())
            hosts << url;
    if (hosts.isEmpty())
        return std::nullopt;
    if (hosts.size() > 1) {
        if (firstHost < 0)
            firstHost = int(QRandomGenerator::global()->bounded(2));
        if (firstHost == 1)
            hosts.swapItemsAt(0, 1);
    }
    for (const QString& host : hosts)
        if (std::optional<PublishedVersion> published = askHost(sources, host, temporaryFolder))
            return published;
    return std::nullopt;
}

UpdateVerdict judgeUpdate(const QDate& programVersionDate, const std::optional<PublishedVersion>& published)
{
    if (!published || !published->date.isValid())
        return UpdateVerdict::NoInformation;
    return programVersionDate >= published->date ? UpdateVerdict::Current : UpdateVerdict::Newer;
}

framework::MessageRequest verdictMessage(UpdateVerdict verdict)
{
    if (verdict == UpdateVerdict::Current)
        return updateNotice(
            QStringLiteral("Информация"),
            QStringLiteral("Вы работаете с современной версией программы Zanvo «Dirirev ODI в АИС "
                           "Меркурий» !"));
    return updateNotice(QStringLiteral("Сообщение"),
                        QStringLiteral("Не удалось получить информацию о наличии обновлений программы !"));
}

InstallerDownload downloadInstaller(const PublishedVersion& published, const QString& target,
                                    const UpdateSources& sources, vetis::TransferControl* control)
{
    QFile::remove(target);
    if (QFileInfo::exists(target))
        return InstallerDownload::TargetLocked;
    if (!fetchableUrl(sources, published.link))
        return InstallerDownload::Failed;
    const vetis::TransferOutcome outcome = vetis::DownloadToFile(target, published.link.toStdString(), {}, {},
                                                                 false, control, verifiedTransport(sources));
    if (!outcome.ok())
        return InstallerDownload::Failed;
    if (!QFileInfo::exists(target))
        return InstallerDownload::Missing;
    if (!published.sha256.isEmpty()) {
        QFile file(target);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        const bool read = file.open(QIODevice::ReadOnly) && hash.addData(&file);
        file.close();
        if (!read)
            return InstallerDownload::Missing;
        if (QString::fromLatin1(hash.result().toHex())
                .compare(published.sha256.trimmed(), Qt::CaseInsensitive) != 0) {
            // Not the file the site published: it must not be run or kept.
            QFile::remove(target);
            return InstallerDownload::ChecksumMismatch;
        }
    }
    return InstallerDownload::Done;
}

framework::MessageRequest installerDownloadMessage(InstallerDownload result, const QString& target)
{
    const QString shown = QDir::toNativeSeparators(target);
    const QString caption = QStringLiteral("Сообщение");
    switch (result) {
    case InstallerDownload::TargetLocked:
        return updateNotice(caption, QStringLiteral("Нет доступа к файлу: ") + shown);
    case InstallerDownload::Failed:
        return updateNotice(caption, QStringLiteral("Не удалось выполнить загрузку файла с сервера !"));
    case InstallerDownload::Missing:
        return updateNotice(caption, QStringLiteral("Нет доступа к загруженному файлу !"));
    case InstallerDownload::ChecksumMismatch:
        return updateNotice(caption, QStringLiteral("Загруженный файл не совпадает с опубликованным "
                                                    "(контрольная сумма SHA-256) и удалён !"));
    case InstallerDownload::Done:
        break;
    }
    return updateNotice(caption, QStringLiteral("Установочный комплект программы успешно загружен|в файл: ") +
                                     shown + QStringLiteral("||") +
                                     QStringLiteral("Закройте программу и запустите установку обновления.|"));
}

bool canRunInstaller(const QString& programPath)
{
#ifdef Q_OS_WIN
    const QString path = QDir::toNativeSeparators(QFileInfo(programPath).absoluteFilePath());
    if (path.startsWith(QStringLiteral("\\\\")))
        return false;
    return path.size() >= 2 && path.at(0).isLetter() && path.at(1) == u':';
#else
    static_cast<void>(programPath);
    return false;
#endif
}

QString installerParameters(const QString& programFolder)
{
    return QStringLiteral(" /SILENT /DIR=\"") + QDir::toNativeSeparators(programFolder) + u'"';
}

QString proposedKitPath(const QString& link, const QString& folder)
{
    QString name = QFileInfo(QUrl(link).path()).fileName();
    if (name.isEmpty())
        name = QStringLiteral("setup.exe");
    QString base = folder;
    if (!base.isEmpty() && !base.endsWith(u'/') && !base.endsWith(u'\\'))
        base += u'/';
    return base + name;
}

QString newTemporaryFile(const QString& folder, const QString& suffix)
{
    QString base = folder.isEmpty() ? QDir::tempPath() : folder;
    if (!base.endsWith(u'/') && !base.endsWith(u'\\'))
        base += u'/';
    return base + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper() + suffix;
}

} // namespace shell
