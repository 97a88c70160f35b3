// SPDX-License-Identifier: LicenseRef-Kestrom
// One SOAP exchange against a local server: what is sent, what the user is
// shown in each answer mode, TLS trust, cancel and stalls.
#include "TransportTestServer.h"
#include "support/TestSupport.h"

#include "vetis/PostRequest.h"

#include <QByteArray>

#include <curl/curl.h>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using transporttest::LocalServer;
using transporttest::MessageCapture;
using transporttest::RecordingControl;

namespace {

struct Received
{
    std::mutex mutex;
    std::string method, body, contentType, authorization, userAgent;
    bool hasAuthorization = false;
    bool hasSoapAction = false;
};

void recordInto(Received& into, const httplib::Request& req)
{
    std::lock_guard lock(into.mutex);
    into.method = req.method;
    into.body = req.body;
    into.contentType = req.get_header_value("Content-Type");
    into.hasAuthorization = req.has_header("Authorization");
    into.authorization = req.get_header_value("Authorization");
    into.userAgent = req.get_header_value("User-Agent");
    into.hasSoapAction = req.has_header("SOAPAction");
}

std::string basic(const std::string& pair)
{
    return "Basic " + QByteArray::fromStdString(pair).toBase64().toStdString();
}

vetis::TransportSettings quickLimits()
{
    vetis::TransferLimits limits;
    limits.connectTimeout = 2000ms;
    // The posted envelope keeps libcurl's averaged speed above a few bytes per
    // second for a while, so the test's floor is higher than the program's.
    limits.lowSpeedLimit = 1000;
    limits.lowSpeedTime = 1s;
    return vetis::TransportSettings({}, limits);
}

const std::string kEnvelope = "<soapenv:Envelope><soapenv:Body>тест</soapenv:Body></soapenv:Envelope>";

} // namespace

TEST(PostRequest, SendsEnvelopeHeadersAndCredentials)
{
    Received received;
    LocalServer server;
    auto handler = [&](const httplib::Request& req, httplib::Response& res) {
        recordInto(received, req);
        res.set_content("<ok/>", "text/xml");
    };
    server.http().Post("/svc", handler).Put("/svc", handler).Delete("/svc", handler).Get("/svc", handler);
    ASSERT_TRUE(server.start());

    struct Case
    {
        std::string user, password;
        bool expectAuth;
        std::string expected;
    };
    const Case cases[] = {{"login", "secret", true, basic("login:secret")},
                          {"login", "", true, basic("login:")},
                          {"login  ", "secret  ", true, basic("login:secret")},
                          {"", "", false, ""}};
    for (const Case& c : cases) {
        std::int32_t status = -1;
        const auto answer = vetis::PostRequest(&kEnvelope, vetis::kVerbPost, vetis::kAnswerSilent, status,
                                               nullptr, server.url("/svc"), c.user, c.password);
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(*answer, "<ok/>");
        EXPECT_EQ(status, 200);
        std::lock_guard lock(received.mutex);
        EXPECT_EQ(received.method, "POST");
        EXPECT_EQ(received.body, kEnvelope);
        EXPECT_EQ(received.contentType, "text/xml; charset=utf-8");
        EXPECT_EQ(received.userAgent, "Mozilla/1.22 (compatible; MSIE 10.0; Windows 3.1)");
        EXPECT_FALSE(received.hasSoapAction);
        EXPECT_EQ(received.hasAuthorization, c.expectAuth) << c.user;
        EXPECT_EQ(received.authorization, c.expected) << c.user;
    }

    const std::pair<int, std::string> verbs[] = {
        {vetis::kVerbPut, "PUT"}, {vetis::kVerbDelete, "DELETE"}, {0, "GET"}, {7, "GET"}};
    for (const auto& [verb, method] : verbs) {
        std::int32_t status = 0;
        const std::string empty;
        EXPECT_TRUE(vetis::PostRequest(verb == 0 ? &empty : &kEnvelope, verb, vetis::kAnswerSilent, status,
                                       nullptr, server.url("/svc"), "", "")
                        .has_value())
            << method;
        EXPECT_EQ(status, 200) << method;
        std::lock_guard lock(received.mutex);
        EXPECT_EQ(received.method, method);
    }
}

TEST(PostRequest, MissingBodyIsReportedAndNothingSent)
{
    MessageCapture messages;
    std::int32_t status = -1;
    const auto answer = vetis::PostRequest(nullptr, vetis::kVerbPost, vetis::kAnswerSilent, status, nullptr,
                                           "http://127.0.0.1:1/", "", "");
    EXPECT_FALSE(answer.has_value());
    EXPECT_EQ(status, 0);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].caption, QStringLiteral("У нас проблема ..."));
    EXPECT_EQ(messages.shown()[0].text, QStringLiteral("Не удалось установить параметры запроса !"));
    EXPECT_EQ(messages.shown()[0].customButtons, QStringList{QStringLiteral("&1. Закрыть")});
}

TEST(PostRequest, RefusedConnectionIsSilentOnlyInModeZero)
{
    const std::string url = "http://127.0.0.1:" + std::to_string(transporttest::refusedPort()) + "/svc";
    const QString expected =
        QStringLiteral("Ошибка запроса: 7| ") + QString::fromUtf8(curl_easy_strerror(CURLE_COULDNT_CONNECT));
    for (int mode : {vetis::kAnswerSilent, vetis::kAnswerOnError, vetis::kAnswerAlways}) {
        MessageCapture messages;
        std::int32_t status = -1;
        vetis::TransferOutcome outcome;
        const auto answer = vetis::PostRequest(&kEnvelope, vetis::kVerbPost, mode, status, nullptr, url, "u",
                                               "p", quickLimits(), &outcome);
        ASSERT_TRUE(answer.has_value()) << mode;
        EXPECT_TRUE(answer->empty());
        EXPECT_EQ(status, 0);
        EXPECT_EQ(outcome.code, CURLE_COULDNT_CONNECT);
        if (mode == vetis::kAnswerSilent) {
            EXPECT_TRUE(messages.shown().empty());
        } else {
            ASSERT_EQ(messages.shown().size(), 1u) << mode;
            EXPECT_EQ(messages.shown()[0].caption, QStringLiteral("У нас проблема ..."));
            EXPECT_EQ(messages.shown()[0].text, expected);
        }
    }
}

TEST(PostRequest, AnswersAreShownByMode)
{
    const std::string fault = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><soap:Fault><faultstring>Ошибка "
                              "сервиса</faultstring></soap:Fault>";
    const std::string plain1251 = "\xCE\xF8\xE8\xE1\xEA\xE0"; // "Ошибка" in Windows-1251, no declaration
    LocalServer server;
    server.http().Post("/fault", [&](const httplib::Request&, httplib::Response& res) {
        res.status = 500;
        res.set_content(fault, "text/xml");
    });
    server.http().Post(
        "/ok", [](const httplib::Request&, httplib::Response& res) { res.set_content("<ok/>", "text/xml"); });
    server.http().Post("/plain", [&](const httplib::Request&, httplib::Response& res) {
        res.status = 502;
        res.set_content(plain1251, "text/plain");
    });
    ASSERT_TRUE(server.start());

    auto run = [&](const std::string& path, int mode, std::int32_t& status) {
        MessageCapture messages;
        const auto answer = vetis::PostRequest(&kEnvelope, vetis::kVerbPost, mode, status, nullptr,
                                               server.url(path), "u", "p");
        EXPECT_TRUE(answer.has_value());
        return messages.shown();
    };
    std::int32_t status = 0;
    EXPECT_TRUE(run("/fault", vetis::kAnswerSilent, status).empty());
    EXPECT_EQ(status, 500);

    const QString faultText = QStringLiteral("Код ответа сервиса: 500| ") + QString::fromUtf8(fault);
    for (int mode : {vetis::kAnswerOnError, vetis::kAnswerAlways}) {
        const auto shown = run("/fault", mode, status);
        ASSERT_EQ(shown.size(), 1u) << mode;
        EXPECT_EQ(shown[0].caption, QStringLiteral("Ответ сервиса"));
        EXPECT_EQ(shown[0].text, faultText);
        EXPECT_EQ(shown[0].customButtons, QStringList{QStringLiteral("&1. Закрыть")});
    }
    EXPECT_TRUE(run("/ok", vetis::kAnswerOnError, status).empty());
    const auto always = run("/ok", vetis::kAnswerAlways, status);
    ASSERT_EQ(always.size(), 1u);
    EXPECT_EQ(always[0].text, QStringLiteral("Код ответа сервиса: 200| <ok/>"));

    const auto plain = run("/plain", vetis::kAnswerOnError, status);
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(plain[0].text, QStringLiteral("Код ответа сервиса: 502| Ошибка"));
}

TEST(PostRequest, ProgressStaysWithinTheBar)
{
    const std::string big(20000, 'x');
    LocalServer server;
    server.http().Post(
        "/sized", [&](const httplib::Request&, httplib::Response& res) { res.set_content(big, "text/xml"); });
    server.http().Post("/unsized", [&](const httplib::Request&, httplib::Response& res) {
        res.set_chunked_content_provider("text/xml", [&](size_t, httplib::DataSink& sink) {
            for (int i = 0; i < 20; ++i)
                sink.write(big.data(), 1000);
            sink.done();
            return true;
        });
    });
    ASSERT_TRUE(server.start());
    for (const char* path : {"/sized", "/unsized"}) {
        RecordingControl control;
        std::int32_t status = 0;
        const auto answer = vetis::PostRequest(&kEnvelope, vetis::kVerbPost, vetis::kAnswerSilent, status,
                                               &control, server.url(path), "", "");
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(answer->size(), big.size()) << path;
        ASSERT_FALSE(control.values.empty());
        EXPECT_EQ(control.values.front(), 0);
        for (int value : control.values) {
            EXPECT_GE(value, 0) << path;
            EXPECT_LE(value, 100) << path;
        }
        if (std::string(path) == "/sized") {
            EXPECT_EQ(control.values.back(), 100);
        }
    }
}

TEST(PostRequest, SelfSignedServerIsTrustedOnlyWhenTheCallerSaysSo)
{
    testsupport::TempFolder folder;
    const QString cert = folder.file(QStringLiteral("cert.pem"));
    const QString key = folder.file(QStringLiteral("key.pem"));
    ASSERT_TRUE(transporttest::makeSelfSignedCertificate(cert, key));
    LocalServer server(cert, key);
    server.http().Post("/svc", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<ok/>", "text/xml");
    });
    ASSERT_TRUE(server.start());

    auto post = [&](const vetis::TlsSettings& tls, int mode, vetis::TransferOutcome& outcome,
                    std::int32_t& status) {
        return vetis::PostRequest(&kEnvelope, vetis::kVerbPost, mode, status, nullptr, server.url("/svc"),
                                  "login", "secret", vetis::TransportSettings(tls, quickLimits().limits),
                                  &outcome);
    };
    {
        MessageCapture messages;
        vetis::TransferOutcome outcome;
        std::int32_t status = -1;
        const auto answer = post({}, vetis::kAnswerOnError, outcome, status);
        EXPECT_EQ(outcome.code, CURLE_PEER_FAILED_VERIFICATION);
        EXPECT_EQ(status, 0);
        ASSERT_TRUE(answer.has_value());
        EXPECT_TRUE(answer->empty());
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_TRUE(messages.shown()[0].text.startsWith(QStringLiteral("Ошибка запроса: 60| ")));
    }
    {
        vetis::TlsSettings trusted;
        trusted.caBundleFile = cert;
        vetis::TransferOutcome outcome;
        std::int32_t status = -1;
        const auto answer = post(trusted, vetis::kAnswerSilent, outcome, status);
        EXPECT_EQ(outcome.code, CURLE_OK);
        EXPECT_EQ(status, 200);
        EXPECT_EQ(answer.value_or(""), "<ok/>");
    }
    {
        vetis::TlsSettings unverified;
        unverified.verify = false;
        vetis::TransferOutcome outcome;
        std::int32_t status = -1;
        const auto answer = post(unverified, vetis::kAnswerSilent, outcome, status);
        EXPECT_EQ(outcome.code, CURLE_OK);
        EXPECT_EQ(status, 200);
        EXPECT_EQ(answer.value_or(""), "<ok/>");
    }
}

TEST(PostRequest, CancelAndStallEndTheWait)
{
    LocalServer server;
    server.http().Post("/stall", [&](const httplib::Request&, httplib::Response& res) {
        server.stall();
        res.set_content("<late/>", "text/xml");
    });
    ASSERT_TRUE(server.start());

    {
        MessageCapture messages;
        RecordingControl control;
        control.cancelAfter(200ms);
        vetis::TransferOutcome outcome;
        std::int32_t status = -1;
        const auto started = std::chrono::steady_clock::now();
        const auto answer =
            vetis::PostRequest(&kEnvelope, vetis::kVerbPost, vetis::kAnswerOnError, status, &control,
                               server.url("/stall"), "", "", vetis::TransportSettings(), &outcome);
        EXPECT_LT(std::chrono::steady_clock::now() - started, 4s);
        EXPECT_TRUE(outcome.cancelled());
        EXPECT_EQ(status, 0);
        EXPECT_TRUE(answer.has_value() && answer->empty());
        EXPECT_TRUE(messages.shown().empty()); // the user cancelled: no error box
    }
    {
        MessageCapture messages;
        vetis::TransferOutcome outcome;
        std::int32_t status = -1;
        const auto started = std::chrono::steady_clock::now();
        const auto answer =
            vetis::PostRequest(&kEnvelope, vetis::kVerbPost, vetis::kAnswerOnError, status, nullptr,
                               server.url("/stall"), "", "", quickLimits(), &outcome);
        EXPECT_LT(std::chrono::steady_clock::now() - started, 4s);
        EXPECT_EQ(outcome.code, CURLE_OPERATION_TIMEDOUT);
        EXPECT_TRUE(answer.has_value() && answer->empty()); // a transport error: no answer text
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_TRUE(messages.shown()[0].text.startsWith(QStringLiteral("Ошибка запроса: 28| ")));
    }
}
