// SPDX-License-Identifier: LicenseRef-Kestrom
// The update check against a local site: the host fallback, the verdict,
// the installer download and its checksum, and the https requirement.
#include "shell/UpdateCheck.h"

#include "UpdateSite.h"
#include "framework/PrintQString.h"
#include "support/TestSupport.h"
#include "vetis-sim/TlsCertificate.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <string>

#include <gtest/gtest.h>

namespace updatetest {

shell::UpdateSources localSources(const QStringList& bases)
{
    shell::UpdateSources sources;
    sources.baseUrls = bases;
    sources.allowPlainHttp = true;
    return sources;
}

std::string versionFile(const std::string& date, const std::string& link, const std::string& sha = {})
{
    std::string text =
        "[Other]\r\nDate=01.01.2099\r\nLink=http://elsewhere/x.exe\r\n\r\n[VetisZnv]\r\nDate=" + date +
        "\r\nLink=" + link + "\r\n";
    if (!sha.empty())
        text += "Sha256=" + sha + "\r\n";
    return text;
}

QByteArray fileContent(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace updatetest

using namespace updatetest;

TEST(UpdateCheck, FallsBackToTheOtherHost)
{
    UpdateSite broken;
    broken.publish(versionFile("10.05.2024", "")); // no link
    UpdateSite good;
    good.publish(versionFile("10.05.2024", "http://127.0.0.1:1/setup.exe"));
    ASSERT_TRUE(broken.start());
    ASSERT_TRUE(good.start());
    testsupport::TempFolder temp;

    // The first host publishes no link: the second one is asked.
    std::optional<shell::PublishedVersion> published =
        shell::fetchPublishedVersion(localSources({broken.base(), good.base()}), temp.path(), 0);
    ASSERT_TRUE(published.has_value());
    EXPECT_EQ(published->date, QDate(2024, 5, 10));
    EXPECT_EQ(published->link, QStringLiteral("http://127.0.0.1:1/setup.exe"));
    EXPECT_EQ(broken.versionRequests.load(), 1);
    EXPECT_EQ(good.versionRequests.load(), 1);

    // The first host does not answer at all (nothing listens on port 1).
    good.versionRequests = 0;
    published = shell::fetchPublishedVersion(
        localSources({QStringLiteral("http://127.0.0.1:1"), good.base()}), temp.path(), 0);
    ASSERT_TRUE(published.has_value());
    EXPECT_EQ(good.versionRequests.load(), 1);

    // Starting with the second host, a good answer ends the check.
    good.versionRequests = 0;
    broken.versionRequests = 0;
    published = shell::fetchPublishedVersion(localSources({broken.base(), good.base()}), temp.path(), 1);
    ASSERT_TRUE(published.has_value());
    EXPECT_EQ(broken.versionRequests.load(), 0);

    // Both fail: no information, and no temporary file is left behind.
    EXPECT_FALSE(shell::fetchPublishedVersion(
        localSources({broken.base(), QStringLiteral("http://127.0.0.1:1")}), temp.path(), 0));
    EXPECT_TRUE(QDir(temp.path()).entryList(QDir::Files).isEmpty());
}

TEST(UpdateCheck, VerdictAndItsMessages)
{
    const QDate program(2024, 4, 25);
    shell::PublishedVersion published{program, QStringLiteral("https://site/setup.exe"), {}};
    EXPECT_EQ(shell::judgeUpdate(program, published), shell::UpdateVerdict::Current);
    published.date = program.addDays(1);
    EXPECT_EQ(shell::judgeUpdate(program, published), shell::UpdateVerdict::Newer);
    EXPECT_EQ(shell::judgeUpdate(program, std::nullopt), shell::UpdateVerdict::NoInformation);

    const framework::MessageRequest current = shell::verdictMessage(shell::UpdateVerdict::Current);
    EXPECT_EQ(current.caption, QStringLiteral("Информация"));
    EXPECT_EQ(
        current.text,
        QStringLiteral("Вы работаете с современной версией программы Zanvo «Dirirev ODI в АИС Меркурий» !"));
    const framework::MessageRequest none = shell::verdictMessage(shell::UpdateVerdict::NoInformation);
    EXPECT_EQ(none.caption, QStringLiteral("Сообщение"));
    EXPECT_EQ(none.text, QStringLiteral("Не удалось получить информацию о наличии обновлений программы !"));
}

TEST(UpdateCheck, WithoutHostsThereIsNoInformation)
{
    // The program is built without hosts until the maker's site exists.
    const shell::UpdateSources program = shell::programUpdateSources();
    EXPECT_TRUE(program.baseUrls.isEmpty());
    EXPECT_FALSE(program.allowPlainHttp);
    testsupport::TempFolder temp;
    EXPECT_FALSE(shell::fetchPublishedVersion(program, temp.path()));
    EXPECT_FALSE(shell::fetchPublishedVersion(localSources({QString(), QString()}), temp.path()));
}

TEST(UpdateCheck, ProgramSourcesRefusePlainHttp)
{
    UpdateSite site;
    site.publish(versionFile("10.05.2024", "http://127.0.0.1:1/setup.exe"));
    ASSERT_TRUE(site.start());
    testsupport::TempFolder temp;

    shell::UpdateSources sources = localSources({site.base()});
    sources.allowPlainHttp = false;
    EXPECT_FALSE(shell::fetchPublishedVersion(sources, temp.path()));
    EXPECT_EQ(site.versionRequests.load(), 0);

    // Nor is an installer fetched over http, even when the version file
    // came over https.
    const shell::PublishedVersion published{
        QDate(2024, 5, 10), site.base() + QStringLiteral("/setup.exe"), {}};
    EXPECT_EQ(shell::downloadInstaller(published, temp.file(QStringLiteral("kit.exe")), sources),
              shell::InstallerDownload::Failed);
    EXPECT_FALSE(QFileInfo::exists(temp.file(QStringLiteral("kit.exe"))));
}

TEST(UpdateCheck, HttpsServersMustBeTrusted)
{
    testsupport::TempFolder temp;
    std::string cert;
    std::string key;
    ASSERT_TRUE(vetissim::writeSelfSignedCertificate(temp.path().toStdString(), cert, key, nullptr));
    UpdateSite site(cert, key);
    site.publish("[VetisZnv]\nDate=10.05.2024\nLink=https://127.0.0.1:1/setup.exe\n");
    ASSERT_TRUE(site.start());

    shell::UpdateSources sources;
    sources.baseUrls = {site.base()};
    // Turning verification off does not reach the update's transfers.
    sources.transport.tls.verify = false;
    EXPECT_FALSE(shell::fetchPublishedVersion(sources, temp.path()));
    EXPECT_EQ(site.versionRequests.load(), 0);

    // A server whose authority is trusted is asked.
    sources.transport.tls.caBundleFile = QString::fromStdString(cert);
    const std::optional<shell::PublishedVersion> published =
        shell::fetchPublishedVersion(sources, temp.path());
    EXPECT_TRUE(published.has_value());
    EXPECT_EQ(site.versionRequests.load(), 1);
}

TEST(UpdateCheck, DownloadsAndVerifiesTheInstaller)
{
    const std::string installer(50000, 'i');
    UpdateSite site;
    site.http().Get("/files/setup.exe", [&](const httplib::Request&, httplib::Response& res) {
        res.set_content(installer, "application/octet-stream");
    });
    ASSERT_TRUE(site.start());
    testsupport::TempFolder temp;
    const shell::UpdateSources sources = localSources({site.base()});
    const QString sha = QString::fromLatin1(
        QCryptographicHash::hash(QByteArray::fromStdString(installer), QCryptographicHash::Sha256).toHex());
    const QString link = site.base() + QStringLiteral("/files/setup.exe");
    const QString target = temp.file(QStringLiteral("kit.exe"));

    // An old file in the way is replaced; the published checksum matches.
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    EXPECT_EQ(shell::downloadInstaller({QDate(2024, 5, 10), link, sha.toUpper()}, target, sources),
              shell::InstallerDownload::Done);
    EXPECT_EQ(fileContent(target), QByteArray::fromStdString(installer));
    EXPECT_EQ(shell::installerDownloadMessage(shell::InstallerDownload::Done, target).text,
              QStringLiteral("Установочный комплект программы успешно загружен|в файл: ") + target +
                  QStringLiteral("||Закройте программу и запустите установку обновления.|"));

    // A file that is not the published one is deleted and reported.
    const QString wrongSha(64, u'0');
    EXPECT_EQ(shell::downloadInstaller({QDate(2024, 5, 10), link, wrongSha}, target, sources),
              shell::InstallerDownload::ChecksumMismatch);
    EXPECT_FALSE(QFileInfo::exists(target));

    // Without a published checksum the file is taken as it came.
    EXPECT_EQ(shell::downloadInstaller({QDate(2024, 5, 10), link, {}}, target, sources),
              shell::InstallerDownload::Done);

    // A missing installer on the server.
    EXPECT_EQ(shell::downloadInstaller({QDate(2024, 5, 10), site.base() + QStringLiteral("/none.exe"), {}},
                                       target, sources),
              shell::InstallerDownload::Failed);
    EXPECT_EQ(shell::installerDownloadMessage(shell::InstallerDownload::Failed, target).text,
              QStringLiteral("Не удалось выполнить загрузку файла с сервера !"));
}

TEST(UpdateCheck, VersionFileAndNames)
{
    testsupport::TempFolder temp;
    const QString file = temp.file(QStringLiteral("v.ini"));
    auto write = [&](const QByteArray& content) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    };
    write("\xEF\xBB\xBF[VetisZnv]\nDate = 1.6.2024\nLink = https://site/a b/Setup_2024.exe\nSHA256=ABCDEF\n");
    std::optional<shell::PublishedVersion> published = shell::readVersionFile(file);
    ASSERT_TRUE(published.has_value());
    EXPECT_EQ(published->date, QDate(2024, 6, 1));
    EXPECT_EQ(published->sha256, QStringLiteral("abcdef"));
    EXPECT_EQ(shell::proposedKitPath(published->link, QStringLiteral("C:\\")),
              QStringLiteral("C:\\Setup_2024.exe"));

    // An unreadable date counts as no information.
    write("[VetisZnv]\nDate=2024-06-01\nLink=https://site/setup.exe\n");
    EXPECT_FALSE(shell::readVersionFile(file));
    EXPECT_FALSE(shell::readVersionFile(temp.file(QStringLiteral("missing.ini"))));

    EXPECT_EQ(shell::installerParameters(QStringLiteral("D:/Programs/Zanvo")),
              QStringLiteral(" /SILENT /DIR=\"") +
                  QDir::toNativeSeparators(QStringLiteral("D:/Programs/Zanvo")) + u'"');
#ifndef Q_OS_WIN
    // Only the installation kit can be had here.
    EXPECT_FALSE(shell::canRunInstaller(QStringLiteral("/opt/zanvo/zanvo")));
#endif
}
