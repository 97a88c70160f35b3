// SPDX-License-Identifier: LicenseRef-Kestrom
// The credentials of the access settings against the VetIS test double: they
// go over the wire, and nowhere else a person can read them (the transport
// trace, the XML exchange files), with or without bodies in the trace, over
// HTTP and HTTPS.
#include "TransportTestServer.h"

#include "framework/RecordingPresenter.h"
#include "store/RecordText.h"
#include "support/FakeVetisSettingsRepository.h"
#include "support/TestSupport.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"
#include "vetis/Exchange.h"
#include "vetis/VetisSettings.h"

#include <QByteArray>
#include <QDir>
#include <gtest/gtest.h>

using transporttest::BodyTrace;
using transporttest::TraceCapture;
using namespace vetis;

namespace {

constexpr const char* kClerkEntity = vetissim::known::kOwnEntityGuid;

vetissim::SimConfig secretConfig(bool https)
{
    vetissim::SimConfig config;
    config.https = https;
    config.user = "clerk-login";
    config.password = "Pw-5e1d-very-secret";
    config.apiKey = "ApiKey-93be-7c11-secret";
    return config;
}

// Every text that is not the wire: the trace lines and the exchange files.
struct Readable
{
    std::vector<std::string> traceLines;
    std::vector<std::pair<QString, std::string>> files;
};

Readable collect(const TraceCapture& trace, const QString& dumpFolder)
{
    Readable r;
    r.traceLines = trace.lines();
    for (const QString& name : QDir(dumpFolder).entryList(QDir::Files, QDir::Name)) {
        QFile file(QDir(dumpFolder).filePath(name));
        if (file.open(QIODevice::ReadOnly))
            r.files.emplace_back(name, file.readAll().toStdString());
    }
    return r;
}

// No copy of the key, the password or the Basic credentials anywhere.
void expectNoSecrets(const Readable& r, const vetissim::SimConfig& config, const std::string& context)
{
    const std::string basic =
        QByteArray::fromStdString(config.user + ":" + config.password).toBase64().toStdString();
    for (const std::string& secret : {config.apiKey, config.password, basic}) {
        for (const std::string& line : r.traceLines)
            EXPECT_EQ(line.find(secret), std::string::npos) << context << ": " << line.substr(0, 300);
        for (const auto& [name, bytes] : r.files)
            EXPECT_EQ(bytes.find(secret), std::string::npos) << context << ": " << name.toStdString();
    }
}

bool anyLineStartsWith(const Readable& r, std::string_view prefix)
{
    for (const std::string& line : r.traceLines)
        if (line.starts_with(prefix))
            return true;
    return false;
}

bool anyLineHas(const Readable& r, std::string_view part)
{
    for (const std::string& line : r.traceLines)
        if (line.find(part) != std::string::npos)
            return true;
    return false;
}

class ExchangeSecretsTest : public ::testing::Test
{
protected:
    void SetUp() override { framework::setMessagePresenter(&presenter); }
    void TearDown() override
    {
        clearEndpointOverrides();
        framework::setMessagePresenter(nullptr);
    }

    // The settings of the entity as a user enters them for the double.
    void useSim(const vetissim::VetisSim& sim, const QString& dumpFolder)
    {
        setEndpointBaseOverride(sim.baseUrl());
        store::VetisRecord settings = clearedVetisRecord();
        store::setText(settings.GUID, kClerkEntity);
        store::setZText(settings.LOGIN, sim.config().user);
        store::setZText(settings.PASSWORD, sim.config().password);
        store::setZText(settings.APIKEY, sim.config().apiKey);
        store::setZText(settings.WEBLOGIN, "clerk");
        store::setZText(settings.DUMPPATH, dumpFolder.toStdString());
        settings.ANSWER = 0;
        if (sim.config().https) {
            TlsSettings noVerify;
            noVerify.verify = false;
            setTlsSettings(settings, noVerify);
        }
        repo.records[kClerkEntity] = settings;
        context.settings = &repo;
        context.limits.connectTimeout = std::chrono::milliseconds(3000);
    }

    // An application, its receive (both carry the API key), and a call the
    // service refuses for a wrong password.
    void exchangeSome()
    {
        RequestRecord submit;
        submit.setRequestCode(RequestCode::VetDocumentList);
        submit.COUNT = 100;
        store::setText(submit.VETISGUID, kClerkEntity);
        store::setZText(submit.P1, kClerkEntity);
        store::setZText(submit.P2, vetissim::known::kOwnEnterpriseGuid);
        store::setZText(submit.P3, "INCOMING");
        ASSERT_TRUE(Exchange(submit, context));

        RequestRecord receive;
        receive.setRequestCode(RequestCode::ReceiveApplicationResult);
        store::setText(receive.VETISGUID, kClerkEntity);
        store::setZText(receive.P1, store::clip(std::string_view(submit.APPID, sizeof submit.APPID)));
        ASSERT_TRUE(Exchange(receive, context));

        store::VetisRecord& settings = repo.records[kClerkEntity];
        const std::string password(store::ztextOf(settings.PASSWORD));
        store::setZText(settings.PASSWORD, "wrong");
        submit.RCODE = 0;
        EXPECT_FALSE(Exchange(submit, context));
        EXPECT_EQ(submit.RCODE, 401);
        store::setZText(settings.PASSWORD, password);
    }

    framework::RecordingPresenter presenter;
    FakeVetisSettingsRepository repo;
    ExchangeContext context;
};

} // namespace

TEST_F(ExchangeSecretsTest, CredentialsReachNeitherTheTraceNorTheExchangeFiles)
{
    const vetissim::SimConfig config = secretConfig(false);
    vetissim::VetisSim sim(config);
    ASSERT_TRUE(sim.start()) << sim.errorString();

    for (bool bodies : {false, true}) {
        const std::string context = bodies ? "with bodies" : "without bodies";
        testsupport::TempFolder dump;
        useSim(sim, dump.path());
        sim.clearReceived();
        std::optional<BodyTrace> asked;
        if (bodies)
            asked.emplace();
        TraceCapture trace;
        exchangeSome();
        const Readable r = collect(trace, dump.path());

        // The key did go over the wire.
        const auto received = sim.received();
        ASSERT_EQ(received.size(), 3u);
        EXPECT_NE(received[0].body.find(config.apiKey), std::string::npos);
        expectNoSecrets(r, config, context);

        // The trace and the files are there, and useful: headers with the
        // credentials masked, the envelopes as sent but for the key.
        EXPECT_TRUE(anyLineHas(r, "Authorization: Basic ***")) << context;
        ASSERT_EQ(r.files.size(), 6u) << context;
        std::string sent = received[0].body;
        sent.replace(sent.find(config.apiKey), config.apiKey.size(), "***");
        EXPECT_EQ(r.files[0].second, sent) << context;
        EXPECT_NE(r.files[2].second.find("<ws:apiKey>***</ws:apiKey>"), std::string::npos) << context;
        EXPECT_EQ(anyLineStartsWith(r, "[libcurl] DATA_OUT: "), bodies) << context;
        EXPECT_EQ(anyLineStartsWith(r, "[libcurl] DATA_IN: "), bodies) << context;
        if (bodies) {
            EXPECT_TRUE(anyLineHas(r, "<apldef:apiKey>***</apldef:apiKey>"));
            EXPECT_TRUE(anyLineHas(r, "<ws:apiKey>***</ws:apiKey>"));
        }
    }
}

TEST_F(ExchangeSecretsTest, OverHttpsTheTlsDataIsNeverTraced)
{
    const vetissim::SimConfig config = secretConfig(true);
    vetissim::VetisSim sim(config);
    ASSERT_TRUE(sim.start()) << sim.errorString();
    testsupport::TempFolder dump;
    useSim(sim, dump.path());
    BodyTrace bodies;
    TraceCapture trace;
    exchangeSome();
    const Readable r = collect(trace, dump.path());
    ASSERT_EQ(sim.received().size(), 3u);
    expectNoSecrets(r, config, "https");
    EXPECT_TRUE(anyLineStartsWith(r, "[libcurl] DATA_OUT: "));
    EXPECT_FALSE(anyLineStartsWith(r, "[libcurl] SSL_DATA"));
}
