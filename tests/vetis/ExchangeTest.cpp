// SPDX-License-Identifier: LicenseRef-Kestrom
// The exchange against the VetIS test double: settings, endpoints, answer
// modes, application fields, the result walker hand-off and the exchange files.
#include "vetis/Exchange.h"
#include "framework/ErrorManager.h"
#include "framework/RecordingPresenter.h"
#include "framework/StorageErrorTexts.h"
#include "platform/Dates.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "support/FakeVetisSettingsRepository.h"
#include "support/TestSupport.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/AnswerDocument.h"
#include "vetis/Endpoints.h"
#include "vetis/ExchangeFiles.h"
#include "vetis/StoredVetisSettings.h"
#include "vetis/VetisSettings.h"

#include <QByteArray>
#include <QDir>
#include <gtest/gtest.h>

#include <mutex>
#include <sstream>

#if defined(__linux__)
#include "platform/DebugOutput.h"

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace vetis;

namespace {

constexpr const char* kOwnEntity = vetissim::known::kOwnEntityGuid;
constexpr const char* kOwnEnterprise = vetissim::known::kOwnEnterpriseGuid;

// Counts the answers handed to the walker and returns a fixed count.
class CountingReader final : public AnswerReader
{
public:
    AnswerReading readAnswer(const AnswerDocument& answer, RequestRecord&) override
    {
        ++reads;
        std::ostringstream text;
        answer.document().print(text);
        lastAnswer = text.str();
        return {result, result < 0 ? "refused" : ""};
    }
    void clearList(responses::ResponseList&) override { ++clears; }
    int result = 3;
    int reads = 0;
    int clears = 0;
    std::string lastAnswer;
};

class ExchangeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        framework::setMessagePresenter(&presenter);
        ASSERT_TRUE(sim.start()) << sim.errorString();
        setEndpointBaseOverride(sim.baseUrl());
        store::VetisRecord settings = clearedVetisRecord();
        store::setText(settings.GUID, kOwnEntity);
        store::setZText(settings.LOGIN, sim.config().user);
        store::setZText(settings.PASSWORD, sim.config().password);
        store::setZText(settings.APIKEY, sim.config().apiKey);
        store::setZText(settings.WEBLOGIN, "clerk");
        settings.ANSWER = 1;
        repo.records[kOwnEntity] = settings;
        context.settings = &repo;
        context.reader = &reader;
        context.limits.connectTimeout = std::chrono::milliseconds(3000);
    }
    void TearDown() override
    {
        clearEndpointOverrides();
        framework::setMessagePresenter(nullptr);
    }

    store::VetisRecord& settings() { return repo.records[kOwnEntity]; }

    RequestRecord vsdListRequest()
    {
        RequestRecord r;
        r.setRequestCode(RequestCode::VetDocumentList);
        store::setText(r.VETISGUID, kOwnEntity);
        store::setZText(r.P1, kOwnEntity);
        store::setZText(r.P2, kOwnEnterprise);
        store::setZText(r.P3, "INCOMING");
        r.COUNT = 1000;
        return r;
    }

    QString shownText(std::size_t i) const { return presenter.shown().at(i).text; }

    vetissim::VetisSim sim;
    framework::RecordingPresenter presenter;
    FakeVetisSettingsRepository repo;
    CountingReader reader;
    ExchangeContext context;
};

} // namespace

TEST_F(ExchangeTest, RefusesWithoutEntityOrSettingsAndSendsNothing)
{
    RequestRecord r = vsdListRequest();
    store::setText(r.VETISGUID, "short");
    EXPECT_FALSE(Exchange(r, context));
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_EQ(shownText(0),
              QStringLiteral("Нет номера GUID ХС для получения настроек доступа к АИС Меркурий !"));
    EXPECT_EQ(presenter.shown()[0].caption, QStringLiteral("У нас проблема !"));

    r = vsdListRequest();
    store::setText(r.VETISGUID, "11111111-2222-3333-4444-555555555555");
    EXPECT_FALSE(Exchange(r, context));
    ASSERT_EQ(presenter.shown().size(), 2u);
    EXPECT_EQ(shownText(1),
              QStringLiteral("Нет данных для доступа к АИС Меркурий через интерфейс Ветис.API !"));

    r = vsdListRequest();
    r.VREQUEST = 77;
    EXPECT_FALSE(Exchange(r, context));
    ASSERT_EQ(presenter.shown().size(), 3u);
    EXPECT_EQ(shownText(2), QStringLiteral("Неизвестный номер запроса в систему Меркурий: 77 !"));
    EXPECT_EQ(r.FLAGLUCK, 0);
    EXPECT_TRUE(sim.received().empty());
}

TEST_F(ExchangeTest, SubmitsAnApplicationAndReadsItsFields)
{
    RequestRecord r = vsdListRequest();
    ASSERT_TRUE(Exchange(r, context));
    EXPECT_EQ(r.FLAGLUCK, 1);
    EXPECT_EQ(r.RCODE, 200);
    EXPECT_EQ(store::clip(std::string_view(r.APPID, 36)).size(), 36u);
    EXPECT_EQ(store::ztextOf(r.APPSTATUS), "ACCEPTED");
    EXPECT_EQ(reader.reads, 0) << "no list referenced: the walker does not run";
    EXPECT_TRUE(presenter.shown().empty());

    // What went over the wire: the right service, Basic credentials, the
    // stamped transaction id.
    const auto received = sim.received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].path, "/platform/services/2.1/ApplicationManagementService");
    EXPECT_EQ(received[0].innerOperation, "getVetDocumentListRequest");
    const QByteArray basic = QByteArray("sim-user:sim-password").toBase64();
    EXPECT_EQ(received[0].authorization, "Basic " + basic.toStdString());
    EXPECT_EQ(received[0].header("Content-Type"), "text/xml; charset=utf-8");
    EXPECT_NE(received[0].body.find(std::string("<merc:localTransactionId>") + store::ztextOf(r.LTID).data()),
              std::string::npos);

    // The receive moves the application on.
    RequestRecord receive;
    receive.setRequestCode(RequestCode::ReceiveApplicationResult);
    store::setText(receive.VETISGUID, kOwnEntity);
    store::setZText(receive.P1, store::clip(std::string_view(r.APPID, sizeof r.APPID)));
    ASSERT_TRUE(Exchange(receive, context));
    EXPECT_EQ(store::ztextOf(receive.APPSTATUS), "IN_PROCESS");
    EXPECT_EQ(std::string_view(receive.APPID, 36), std::string_view(r.APPID, 36));
}

TEST_F(ExchangeTest, HandsAListAnswerToTheWalker)
{
    RequestRecord r;
    r.setRequestCode(RequestCode::UnitByGuidOrList); // unit list
    r.COUNT = 1000;
    store::setText(r.VETISGUID, kOwnEntity);
    store::setZText(r.ROWTAG, "dt:unit");
    auto* someList =
        reinterpret_cast<responses::ResponseList*>(&reader); // never dereferenced by the exchange
    r.lists[0] = someList;
    ASSERT_TRUE(Exchange(r, context));
    EXPECT_EQ(reader.clears, 1);
    EXPECT_EQ(reader.reads, 1);
    EXPECT_EQ(r.RLOAD, 3);
    EXPECT_NE(reader.lastAnswer.find("unitList"), std::string::npos);

    // A walker failure is a failed request with nothing loaded.
    reader.result = -1;
    EXPECT_FALSE(Exchange(r, context));
    EXPECT_EQ(r.RLOAD, 0);
    EXPECT_EQ(r.FLAGLUCK, 0);
}

TEST_F(ExchangeTest, AnswerModesDecideWhatTheUserSees)
{
    // Status 500 with a SOAP fault: shown in mode 1, false, no lists.
    sim.addFault({vetissim::FaultKind::SoapFault});
    RequestRecord r = vsdListRequest();
    EXPECT_FALSE(Exchange(r, context));
    EXPECT_EQ(r.RCODE, 500);
    ASSERT_EQ(presenter.shown().size(), 2u);
    EXPECT_EQ(presenter.shown()[0].caption, QStringLiteral("Ответ сервиса"));
    EXPECT_TRUE(shownText(0).startsWith(QStringLiteral("Код ответа сервиса: 500| ")));
    EXPECT_TRUE(shownText(0).contains(QStringLiteral("Fault")));
    // Then what the Fault says.
    EXPECT_TRUE(shownText(1).startsWith(QStringLiteral("Сервис Ветис.API сообщил об ошибке: APLM0010")));

    // Mode 2 shows every answer, also a good one.
    settings().ANSWER = 2;
    r = vsdListRequest();
    EXPECT_TRUE(Exchange(r, context));
    ASSERT_EQ(presenter.shown().size(), 3u);
    EXPECT_TRUE(shownText(2).startsWith(QStringLiteral("Код ответа сервиса: 200| ")));

    // Mode 0 stays silent even when the service cannot be reached.
    settings().ANSWER = 0;
    sim.stop();
    r = vsdListRequest();
    EXPECT_FALSE(Exchange(r, context));
    EXPECT_EQ(r.RCODE, 0);
    EXPECT_EQ(presenter.shown().size(), 3u);

    // Mode 1 tells of the refused connection with libcurl's code 7.
    settings().ANSWER = 1;
    EXPECT_FALSE(Exchange(r, context));
    ASSERT_EQ(presenter.shown().size(), 4u);
    EXPECT_TRUE(shownText(3).startsWith(QStringLiteral("Ошибка запроса: 7| "))) << shownText(3).toStdString();
}

TEST_F(ExchangeTest, WrongCredentialsAreAFailedRequest)
{
    store::setZText(settings().PASSWORD, "wrong");
    RequestRecord r = vsdListRequest();
    EXPECT_FALSE(Exchange(r, context));
    EXPECT_EQ(r.RCODE, 401);
    EXPECT_EQ(store::clip(std::string_view(r.APPID, 36)), "");
}

TEST_F(ExchangeTest, TestContourGoesToPort8002)
{
    // The test set is reached through an HTTPS test double: libcurl connects to
    // it while the request still names the test host and port.
    clearEndpointOverrides();
    settings().TEST = 1;
    vetissim::SimConfig config;
    config.https = true;
    vetissim::VetisSim tlsSim(config);
    ASSERT_TRUE(tlsSim.start()) << tlsSim.errorString();
    context.connectTo = {"api2.vetrf.ru:8002:127.0.0.1:" + std::to_string(tlsSim.port())};
    // The double's certificate is not for the VetIS host: without the explicit
    // choice to skip verification the call fails...
    RequestRecord r = vsdListRequest();
    EXPECT_FALSE(Exchange(r, context));
    EXPECT_TRUE(tlsSim.received().empty());
    // ...and with it, the request arrives at the test host on port 8002.
    TlsSettings noVerify;
    noVerify.verify = false;
    setTlsSettings(settings(), noVerify);
    r = vsdListRequest();
    EXPECT_TRUE(Exchange(r, context));
    const auto received = tlsSim.received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].header("Host"), "api2.vetrf.ru:8002");
    EXPECT_EQ(received[0].path, "/platform/services/2.1/ApplicationManagementService");
}

TEST_F(ExchangeTest, WritesExchangeFilesWhenAFolderIsSet)
{
    testsupport::TempFolder dump;
    store::setZText(settings().DUMPPATH, dump.path().toStdString());
    RequestRecord r = vsdListRequest();
    ASSERT_TRUE(Exchange(r, context));
    const QStringList files = QDir(dump.path()).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 2);
    EXPECT_TRUE(files[0].endsWith(QStringLiteral("_051_getVetDocumentListRequest_request.xml")))
        << files[0].toStdString();
    EXPECT_TRUE(files[1].endsWith(QStringLiteral("_051_getVetDocumentListRequest_response.xml")));
    QFile request(dump.file(files[0]));
    ASSERT_TRUE(request.open(QIODevice::ReadOnly));
    // What was sent, byte for byte, but for the API key.
    std::string sent = sim.received().at(0).body;
    const std::size_t key = sent.find(sim.config().apiKey);
    ASSERT_NE(key, std::string::npos);
    sent.replace(key, sim.config().apiKey.size(), "***");
    EXPECT_EQ(request.readAll().toStdString(), sent);
}

TEST_F(ExchangeTest, AnUnreadableSettingsFileIsReportedNotTakenForNoSettings)
{
    testsupport::TempFolder data;
    ASSERT_TRUE(QDir(data.path()).mkpath(QStringLiteral("Base")));
    {
        QFile file(data.file(QStringLiteral("Base/mv01.dat")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(4096, 'z'));
    }
    store::Session session(data.path());
    StoredVetisSettings stored(session);
    context.settings = &stored;
    framework::installStorageErrorTexts();
    bool ended = false;
    framework::errorManager().setEndProgramAction([&ended] { ended = true; });

    RequestRecord r = vsdListRequest();
    EXPECT_FALSE(Exchange(r, context));

    framework::errorManager().setEndProgramAction({});
    ASSERT_EQ(presenter.shown().size(), 1u);
    EXPECT_TRUE(shownText(0).contains(QStringLiteral("mv01.dat"))) << shownText(0).toStdString();
    EXPECT_TRUE(shownText(0).contains(QStringLiteral("Поврежденный файл данных")))
        << shownText(0).toStdString();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(sim.received().empty());
}

TEST_F(ExchangeTest, AnExchangeFolderThatCannotBeWrittenDoesNotStopTheCall)
{
    testsupport::TempFolder dump;
    store::setZText(settings().DUMPPATH, dump.path().toStdString());
    // The folder goes away between the settings and the call: the files are
    // lost, the answer is not.
    QDir(dump.path()).removeRecursively();
    RequestRecord r = vsdListRequest();
    EXPECT_TRUE(Exchange(r, context));
    EXPECT_EQ(store::ztextOf(r.APPSTATUS), "ACCEPTED");
    EXPECT_FALSE(writeExchangeFiles(dump.path(), QDateTime::currentDateTime(), RequestCode::VetDocumentList,
                                    "<a/>", "<b/>"));
}

#if defined(__linux__)
namespace {

// While it lives, the calling thread reaches files as an unprivileged user, so
// that folder permissions hold even in a test run as root. Only the file
// system identity of this one thread changes: the test double's threads and
// the rest of the process keep theirs.
class UnprivilegedFileAccess
{
public:
    UnprivilegedFileAccess()
    {
        if (geteuid() == 0) {
            setfsgid(65534);
            setfsuid(65534);
            m_changed = true;
        }
    }
    ~UnprivilegedFileAccess()
    {
        if (m_changed) {
            setfsuid(0);
            setfsgid(0);
        }
    }
    UnprivilegedFileAccess(const UnprivilegedFileAccess&) = delete;
    UnprivilegedFileAccess& operator=(const UnprivilegedFileAccess&) = delete;

private:
    bool m_changed = false;
};

} // namespace
#endif

TEST_F(ExchangeTest, AnExchangeFolderThatRefusesWritesDoesNotStopTheCall)
{
#if !defined(__linux__)
    GTEST_SKIP() << "the folder is made read-only for the test's own thread on Linux only";
#else
    testsupport::TempFolder outer;
    const QString dumpPath = outer.file(QStringLiteral("dump"));
    ASSERT_TRUE(QDir().mkpath(dumpPath));
    ASSERT_EQ(chmod(QFile::encodeName(outer.path()).constData(), 0755), 0);
    ASSERT_EQ(chmod(QFile::encodeName(dumpPath).constData(), 0555), 0);
    store::setZText(settings().DUMPPATH, dumpPath.toStdString());

    std::mutex linesMutex;
    std::vector<std::string> lines;
    platform::setDebugOutputListener([&](std::string_view line) {
        std::lock_guard lock(linesMutex);
        lines.emplace_back(line);
    });
    RequestRecord r = vsdListRequest();
    bool result = false;
    {
        UnprivilegedFileAccess unprivileged;
        QFile probe(dumpPath + QStringLiteral("/probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
            platform::setDebugOutputListener({});
            GTEST_SKIP() << "the folder cannot be made read-only here";
        }
        result = Exchange(r, context);
    }
    platform::setDebugOutputListener({});
    chmod(QFile::encodeName(dumpPath).constData(), 0755);

    // The folder exists, so the exchange tries to write its files there and
    // fails: the answer still counts, and nobody is asked to close a box.
    EXPECT_TRUE(result);
    EXPECT_EQ(r.RCODE, 200);
    EXPECT_EQ(store::ztextOf(r.APPSTATUS), "ACCEPTED");
    EXPECT_EQ(r.FLAGLUCK, 1);
    EXPECT_TRUE(presenter.shown().empty());
    EXPECT_EQ(sim.received().size(), 1u);
    EXPECT_TRUE(QDir(dumpPath).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    bool reported = false;
    for (const std::string& line : lines)
        reported = reported || line.find("[exchange] the XML exchange files could not be written to") == 0;
    EXPECT_TRUE(reported);
#endif
}
