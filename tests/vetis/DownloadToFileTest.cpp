// SPDX-License-Identifier: LicenseRef-Kestrom
// The file download procedure: credentials, progress, what the user is told,
// what is left on disk, TLS trust and cancel.
#include "TransportTestServer.h"
#include "support/TestSupport.h"

#include "vetis/HttpDownload.h"

#include <QByteArray>
#include <QFile>

#include <curl/curl.h>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using transporttest::LocalServer;
using transporttest::MessageCapture;
using transporttest::RecordingControl;

namespace {

const QString kProblem = QStringLiteral("У нас проблема ...");

QString failureText(int code)
{
    return QStringLiteral("Ошибка загрузки файла по протоколу HTTP:|") +
           QString::fromUtf8(curl_easy_strerror(static_cast<CURLcode>(code)));
}

} // namespace

TEST(DownloadToFile, FetchesWithCredentialsAndShowsProgress)
{
    const std::string pdf(30000, 'p');
    std::string authorization;
    std::mutex mutex;
    LocalServer server;
    server.http().Get("/form.pdf", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(mutex);
        authorization = req.get_header_value("Authorization");
        res.set_content(pdf, "application/pdf");
    });
    ASSERT_TRUE(server.start());
    testsupport::TempFolder folder;
    const QString target = folder.file(QStringLiteral("form.pdf"));

    MessageCapture messages;
    RecordingControl control;
    const vetis::TransferOutcome outcome =
        vetis::DownloadToFile(target, server.url("/form.pdf"), "operator", "pw", true, &control);
    EXPECT_TRUE(outcome.ok());
    EXPECT_TRUE(bool(outcome));
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), pdf);
    EXPECT_EQ(authorization, "Basic " + QByteArray("operator:pw").toBase64().toStdString());
    ASSERT_FALSE(control.values.empty());
    EXPECT_EQ(control.values.front(), 0);
    EXPECT_EQ(control.values.back(), 100);
    EXPECT_TRUE(messages.shown().empty());
}

TEST(DownloadToFile, FailuresAreToldAndLeaveNoFile)
{
    LocalServer server;
    server.http().Get("/missing.pdf", [](const httplib::Request&, httplib::Response& res) {
        res.status = 404;
        res.set_content("<html>not here</html>", "text/html");
    });
    server.http().Get("/slow.pdf", [&](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("application/pdf", [&](size_t, httplib::DataSink& sink) {
            sink.write("%PDF-1.4 partial", 16);
            server.stall();
            sink.done();
            return true;
        });
    });
    ASSERT_TRUE(server.start());
    testsupport::TempFolder folder;
    const QString target = folder.file(QStringLiteral("x.pdf"));

    {
        // An error page is not the file.
        MessageCapture messages;
        const auto outcome = vetis::DownloadToFile(target, server.url("/missing.pdf"), "", "", true);
        EXPECT_EQ(outcome.code, CURLE_HTTP_RETURNED_ERROR);
        EXPECT_FALSE(QFile::exists(target));
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].caption, kProblem);
        EXPECT_EQ(messages.shown()[0].text, failureText(CURLE_HTTP_RETURNED_ERROR));
    }
    {
        MessageCapture messages;
        const auto outcome = vetis::DownloadToFile(target, server.url("/missing.pdf"), "", "", false);
        EXPECT_FALSE(outcome.ok());
        EXPECT_TRUE(messages.shown().empty());
    }
    {
        // Cancelled midway: no error box, and the partial file is gone.
        MessageCapture messages;
        RecordingControl control;
        control.cancelAfter(300ms);
        const auto outcome = vetis::DownloadToFile(target, server.url("/slow.pdf"), "", "", true, &control);
        EXPECT_TRUE(outcome.cancelled());
        EXPECT_FALSE(QFile::exists(target));
        EXPECT_TRUE(messages.shown().empty());
    }
    {
        // A file that cannot be written is named in the message.
        MessageCapture messages;
        const QString unwritable = folder.file(QStringLiteral("no-such-folder/x.pdf"));
        const auto outcome = vetis::DownloadToFile(unwritable, server.url("/slow.pdf"), "", "", true);
        EXPECT_EQ(outcome.code, CURLE_WRITE_ERROR);
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].text,
                  QStringLiteral("Ошибка записи файла при загрузке по протоколу HTTP:|") + unwritable);
    }
}

TEST(DownloadToFile, UnverifiedServerIsRefusedByDefault)
{
    testsupport::TempFolder folder;
    const QString cert = folder.file(QStringLiteral("cert.pem"));
    const QString key = folder.file(QStringLiteral("key.pem"));
    ASSERT_TRUE(transporttest::makeSelfSignedCertificate(cert, key));
    LocalServer server(cert, key);
    server.http().Get("/setup.exe", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("MZ installer", "application/octet-stream");
    });
    ASSERT_TRUE(server.start());
    const QString target = folder.file(QStringLiteral("setup.exe"));

    MessageCapture messages;
    const auto refused = vetis::DownloadToFile(target, server.url("/setup.exe"), "", "", true);
    EXPECT_EQ(refused.code, CURLE_PEER_FAILED_VERIFICATION);
    EXPECT_FALSE(QFile::exists(target));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, failureText(CURLE_PEER_FAILED_VERIFICATION));

    vetis::TlsSettings trusted;
    trusted.caBundleFile = cert;
    EXPECT_TRUE(vetis::DownloadToFile(target, server.url("/setup.exe"), "", "", true, nullptr, trusted).ok());
    EXPECT_TRUE(QFile::exists(target));
}
