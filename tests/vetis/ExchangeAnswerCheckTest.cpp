// SPDX-License-Identifier: LicenseRef-Kestrom
// Every answer of status 200 is one sound SOAP document or a failed exchange,
// whatever the request: submissions and receives without a list are checked
// like list answers, and what they say is read from the checked document. A
// local server gives the exchange answers the test double does not make.
#include "TransportTestServer.h"

#include "framework/RecordingPresenter.h"
#include "platform/CodePage.h"
#include "store/RecordText.h"
#include "support/FakeVetisSettingsRepository.h"
#include "support/TestSupport.h"
#include "vetis/AnswerDocument.h"
#include "vetis/Endpoints.h"
#include "vetis/Exchange.h"
#include "vetis/VetisSettings.h"

#include <QFile>
#include <gtest/gtest.h>

#include <mutex>

using namespace vetis;

namespace {

constexpr const char* kEntity = "400cb70f-964e-43c0-b4a3-165de1ab3e01";
constexpr const char* kAppId = "a5240b60-20d0-429c-8cf1-97f45625871b";

const std::string kAccepted =
    R"(<?xml version="1.0" encoding="UTF-8"?>)"
    R"(<soapenv:Envelope xmlns:soapenv="http://schemas.xmlsoap.org/soap/envelope/")"
    R"( xmlns:apldef="http://api.vetrf.ru/schema/cdm/application/ws-definitions")"
    R"( xmlns:apl="http://api.vetrf.ru/schema/cdm/application"><soapenv:Body>)"
    R"(<apldef:submitApplicationResponse><apl:application>)"
    R"(<apl:applicationId>a5240b60-20d0-429c-8cf1-97f45625871b</apl:applicationId>)"
    R"(<apl:status>ACCEPTED</apl:status>)"
    R"(</apl:application></apldef:submitApplicationResponse></soapenv:Body></soapenv:Envelope>)";

std::string replaced(std::string text, std::string_view from, std::string_view to)
{
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

// The rejected application of the test data, declared and written in
// Windows-1251 as a service may send it.
std::string rejectedInWindows1251()
{
    QFile file(testsupport::sourceFolder() +
               QStringLiteral("tests/vetis/data/ams-rejected-default-namespace.xml"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string utf8 = file.readAll().toStdString();
    return platform::utf8ToCp1251(replaced(utf8, R"(encoding="UTF-8")", R"(encoding="windows-1251")"));
}

// Answers every request with what the test set last.
class CannedService
{
public:
    bool start()
    {
        m_server.http().Post(".*", [this](const httplib::Request&, httplib::Response& response) {
            std::lock_guard lock(m_mutex);
            response.status = m_status;
            response.set_content(m_body, "text/xml");
        });
        return m_server.start();
    }
    void answer(std::string body, int status = 200)
    {
        std::lock_guard lock(m_mutex);
        m_body = std::move(body);
        m_status = status;
    }
    std::string baseUrl() const { return m_server.url(""); }

private:
    transporttest::LocalServer m_server;
    std::mutex m_mutex;
    std::string m_body;
    int m_status = 200;
};

// Counts what reaches the list reader.
class ListReaderSpy final : public AnswerReader
{
public:
    AnswerReading readAnswer(const AnswerDocument&, RequestRecord&) override
    {
        ++reads;
        return {2, {}};
    }
    void clearList(responses::ResponseList&) override {}
    int reads = 0;
};

class ExchangeAnswerCheck : public ::testing::Test
{
protected:
    void SetUp() override
    {
        framework::setMessagePresenter(&presenter);
        ASSERT_TRUE(service.start());
        setEndpointBaseOverride(service.baseUrl());
        store::VetisRecord s = clearedVetisRecord();
        store::setText(s.GUID, kEntity);
        store::setZText(s.LOGIN, "user");
        store::setZText(s.PASSWORD, "password");
        store::setZText(s.APIKEY, "key");
        store::setZText(s.WEBLOGIN, "clerk");
        s.ANSWER = 1;
        repo.records[kEntity] = s;
        context.settings = &repo;
        context.reader = &reader;
        context.limits.connectTimeout = std::chrono::milliseconds(3000);
    }
    void TearDown() override
    {
        clearEndpointOverrides();
        framework::setMessagePresenter(nullptr);
    }

    // A VSD list application (no list of its own) and a receive without a list.
    std::vector<RequestRecord> applicationRequests() const
    {
        RequestRecord submit;
        submit.VREQUEST = 51;
        store::setText(submit.VETISGUID, kEntity);
        store::setZText(submit.P1, kEntity);
        store::setZText(submit.P2, "6b5f7a2e-2f7e-4c8c-9a55-1f0c1c3b6a11");
        store::setZText(submit.P3, "INCOMING");
        submit.COUNT = 1000;
        RequestRecord receive;
        receive.VREQUEST = 99;
        store::setText(receive.VETISGUID, kEntity);
        store::setZText(receive.P1, kAppId);
        return {submit, receive};
    }

    static std::string appError(const RequestRecord& r)
    {
        return std::string(store::clip(std::string_view(r.APPERROR, sizeof r.APPERROR)));
    }
    // The refusals the user was shown, UTF-8.
    std::vector<std::string> problemsShown() const
    {
        std::vector<std::string> texts;
        for (const auto& shown : presenter.shown())
            if (shown.caption == QStringLiteral("У нас проблема ..."))
                texts.push_back(shown.text.toStdString());
        return texts;
    }

    CannedService service;
    framework::RecordingPresenter presenter;
    FakeVetisSettingsRepository repo;
    ListReaderSpy reader;
    ExchangeContext context;
};

} // namespace

TEST_F(ExchangeAnswerCheck, ASoundApplicationAnswerIsTaken)
{
    service.answer(kAccepted);
    for (RequestRecord r : applicationRequests()) {
        SCOPED_TRACE(+r.VREQUEST);
        EXPECT_TRUE(Exchange(r, context));
        EXPECT_EQ(r.FLAGLUCK, 1);
        EXPECT_EQ(store::textOf(r.APPID), kAppId);
        EXPECT_EQ(store::ztextOf(r.APPSTATUS), "ACCEPTED");
        EXPECT_EQ(appError(r), "");
    }
    EXPECT_TRUE(presenter.shown().empty());
    EXPECT_EQ(reader.reads, 0) << "no list referenced";
}

TEST_F(ExchangeAnswerCheck, AnApplicationAnswerThatIsNotOneSoundDocumentFailsSayingWhy)
{
    struct Case
    {
        const char* what;
        std::string answer;
        const char* said;
    };
    const std::string body = kAccepted.substr(kAccepted.find("<soapenv:Envelope"));
    const Case cases[] = {
        {"two envelopes", kAccepted + body, "больше одного корневого элемента"},
        {"a document type declaration",
         replaced(kAccepted, "<soapenv:Envelope", "<!DOCTYPE soapenv:Envelope><soapenv:Envelope"), "DOCTYPE"},
        {"an entity the document type declares",
         replaced(replaced(kAccepted, "<soapenv:Envelope",
                           R"(<!DOCTYPE soapenv:Envelope [<!ENTITY s "ACCEPTED">]><soapenv:Envelope)"),
                  "<apl:status>ACCEPTED<", "<apl:status>&s;<"),
         "DOCTYPE"},
        {"an undefined entity", replaced(kAccepted, "<apl:status>ACCEPTED<", "<apl:status>&e;ACCEPTED<"),
         "неизвестную сущность «&e;»"},
        {"an answer in an unknown encoding", replaced(kAccepted, "UTF-8", "KOI8-R"), "«KOI8-R»"},
        {"another root",
         replaced(replaced(kAccepted, "<soapenv:Envelope", "<soapenv:Letter"), "</soapenv:Envelope",
                  "</soapenv:Letter"),
         "не является SOAP-конвертом"},
        {"a Fault of status 200",
         replaced(kAccepted, "<apldef:submitApplicationResponse>",
                  "<soapenv:Fault><faultcode>soapenv:Server</faultcode><faultstring>Internal service "
                  "error</faultstring></soapenv:Fault><apldef:submitApplicationResponse>"),
         "Сервис Ветис.API сообщил об ошибке: soapenv:Server Internal service error"},
    };
    for (const Case& c : cases) {
        for (RequestRecord r : applicationRequests()) {
            SCOPED_TRACE(std::string(c.what) + ", request " + std::to_string(r.VREQUEST));
            presenter.clear();
            service.answer(c.answer);
            store::setText(r.APPID, "stale");
            EXPECT_FALSE(Exchange(r, context));
            EXPECT_EQ(r.RCODE, 200);
            EXPECT_EQ(r.FLAGLUCK, 0);
            // Nothing of the refused answer is taken...
            EXPECT_EQ(store::textOf(r.APPID), "");
            EXPECT_EQ(store::ztextOf(r.APPSTATUS), "");
            // ...and the user, or a caller in silent mode, learns why.
            const std::string why = platform::cp1251ToUtf8(appError(r));
            EXPECT_NE(why.find(c.said), std::string::npos) << why;
            const std::vector<std::string> shown = problemsShown();
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].substr(0, why.size()), why) << "the record keeps the start of what was shown";
        }
    }
}

TEST_F(ExchangeAnswerCheck, ARejectionInWindows1251KeepsItsCyrillicError)
{
    service.answer(rejectedInWindows1251());
    for (RequestRecord r : applicationRequests()) {
        SCOPED_TRACE(+r.VREQUEST);
        EXPECT_TRUE(Exchange(r, context)) << platform::cp1251ToUtf8(appError(r));
        EXPECT_EQ(store::textOf(r.APPID), "0f2b7c31-1e1c-4b65-9a8a-3f6a0a2d7c10");
        EXPECT_EQ(store::ztextOf(r.APPSTATUS), "REJECTED");
        EXPECT_EQ(appError(r),
                  platform::utf8ToCp1251("MERC13127: Ветеринарный сертификат \"0d6fc2f2\" уже погашен"));
    }
    EXPECT_TRUE(presenter.shown().empty());
}

TEST_F(ExchangeAnswerCheck, TheListReaderIsGivenOnlyCheckedAnswers)
{
    RequestRecord r;
    r.VREQUEST = 3; // unit list
    r.COUNT = 1000;
    store::setText(r.VETISGUID, kEntity);
    store::setZText(r.ROWTAG, "dt:unit");
    r.lists[0] = reinterpret_cast<responses::ResponseList*>(&reader); // never dereferenced by the exchange

    service.answer(kAccepted + kAccepted.substr(kAccepted.find("<soapenv:Envelope")));
    EXPECT_FALSE(Exchange(r, context));
    EXPECT_EQ(reader.reads, 0);
    EXPECT_EQ(r.RLOAD, 0);
    ASSERT_EQ(problemsShown().size(), 1u);
    EXPECT_NE(problemsShown()[0].find("больше одного корневого элемента"), std::string::npos);

    service.answer(kAccepted);
    EXPECT_TRUE(Exchange(r, context));
    EXPECT_EQ(reader.reads, 1);
    EXPECT_EQ(r.RLOAD, 2);
}

TEST_F(ExchangeAnswerCheck, AnotherStatusIsReadOnlyForAFault)
{
    // A server's error page that is no XML at all is no Fault: the status is
    // the failure, nothing is invented from the page.
    service.answer("<html><body>Bad Gateway & co</body></html>", 502);
    RequestRecord r = applicationRequests()[0];
    EXPECT_FALSE(Exchange(r, context));
    EXPECT_EQ(r.RCODE, 502);
    EXPECT_EQ(appError(r), "");
    EXPECT_TRUE(problemsShown().empty());

    // A Fault in a status-500 answer says why, even in an answer the checks
    // of status 200 would refuse (text after the envelope).
    service.answer(replaced(kAccepted, "<apldef:submitApplicationResponse>",
                            "<soapenv:Fault><faultcode>soapenv:Server</faultcode><faultstring>Down for "
                            "maintenance</faultstring></soapenv:Fault><apldef:submitApplicationResponse>") +
                       "\n-- proxy --\n",
                   500);
    presenter.clear();
    EXPECT_FALSE(Exchange(r, context));
    EXPECT_EQ(r.RCODE, 500);
    EXPECT_EQ(platform::cp1251ToUtf8(appError(r)),
              "Сервис Ветис.API сообщил об ошибке: soapenv:Server Down for maintenance");
}
