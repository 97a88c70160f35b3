// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/ApplicationAnswer.h"
#include "platform/CodePage.h"
#include "store/RecordText.h"
#include "support/TestSupport.h"
#include "vetis/RequestRecord.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace vetis;

namespace {

std::string readFile(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll().toStdString();
}

std::string sample(const char* name)
{
    return readFile(testsupport::sharedFolder() + QStringLiteral("vetis-samples/") +
                    QString::fromLatin1(name));
}

std::string replaceAll(std::string text, std::string_view from, std::string_view to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The same answer with another prefix for the application namespace.
std::string withPrefix(std::string text, std::string_view prefix)
{
    const std::string p(prefix);
    text = replaceAll(text, "xmlns:apl=", "xmlns:" + p + "=");
    text = replaceAll(text, "<apl:", "<" + p + ":");
    return replaceAll(text, "</apl:", "</" + p + ":");
}

// The same answer with the application namespace as the default namespace.
std::string withDefaultNamespace(std::string text)
{
    text = replaceAll(text, " xmlns:apl=\"http://api.vetrf.ru/schema/cdm/application\"", "");
    text = replaceAll(text, "<apl:application>",
                      "<application xmlns=\"http://api.vetrf.ru/schema/cdm/application\">");
    text = replaceAll(text, "<apl:", "<");
    return replaceAll(text, "</apl:", "</");
}

struct Expected
{
    const char* file;
    const char* id;
    const char* status;
};

const Expected kSamples[] = {
    {"ams-01-submitApplicationResponse.constructed.xml", "a5240b60-20d0-429c-8cf1-97f45625871b", "ACCEPTED"},
    {"ams-02-receiveApplicationResult-IN_PROCESS.constructed.xml", "a5240b60-20d0-429c-8cf1-97f45625871b",
     "IN_PROCESS"},
    {"ams-03-receiveApplicationResult-getVetDocumentList-prefixed.constructed.xml",
     "a5240b60-20d0-429c-8cf1-97f45625871b", "COMPLETED"},
};

} // namespace

TEST(ApplicationAnswer, SamplesReadTheSameWhateverThePrefixes)
{
    for (const Expected& e : kSamples) {
        const std::string original = sample(e.file);
        ASSERT_FALSE(original.empty()) << e.file;
        const std::string variants[] = {original, withPrefix(original, "ns2"), withPrefix(original, "ns1"),
                                        withDefaultNamespace(original)};
        for (const std::string& answer : variants) {
            const ApplicationFields f = readApplicationFields(answer);
            EXPECT_EQ(f.appId, e.id) << e.file;
            EXPECT_EQ(f.status, e.status) << e.file;
            EXPECT_EQ(f.error, "") << e.file;
        }
        // The rewriting really changed the text.
        EXPECT_EQ(withDefaultNamespace(original).find("apl:"), std::string::npos);
    }
}

TEST(ApplicationAnswer, ElementsOfAnotherNamespaceDoNotCount)
{
    // "apl" bound to something else; the application namespace under ns7.
    const std::string answer =
        R"(<e:Envelope xmlns:e="http://schemas.xmlsoap.org/soap/envelope/" xmlns:apl="urn:not-vetis"><e:Body>)"
        R"(<apl:applicationId>11111111-1111-4111-8111-111111111111</apl:applicationId><apl:status>REJECTED</apl:status>)"
        R"(<x:submitApplicationResponse xmlns:x="http://api.vetrf.ru/schema/cdm/application/ws-definitions">)"
        R"(<ns7:application xmlns:ns7="http://api.vetrf.ru/schema/cdm/application">)"
        R"(<ns7:applicationId>22222222-2222-4222-8222-222222222222</ns7:applicationId><ns7:status>ACCEPTED</ns7:status>)"
        R"(</ns7:application></x:submitApplicationResponse></e:Body></e:Envelope>)";
    const ApplicationFields f = readApplicationFields(answer);
    EXPECT_EQ(f.appId, "22222222-2222-4222-8222-222222222222");
    EXPECT_EQ(f.status, "ACCEPTED");
}

TEST(ApplicationAnswer, RejectedApplicationGivesCodeColonTextInWindows1251)
{
    const std::string answer = readFile(
        testsupport::sourceFolder() + QStringLiteral("tests/vetis/data/ams-rejected-default-namespace.xml"));
    for (const std::string& variant :
         {answer, replaceAll(answer, "xmlns=\"http://api.vetrf.ru/schema/cdm/application\"",
                             "xmlns=\"http://api.vetrf.ru/schema/cdm/application\" "
                             "xmlns:ns1=\"http://api.vetrf.ru/schema/cdm/application\"")}) {
        vetis::RequestRecord r;
        EXPECT_TRUE(extractApplicationFields(variant, r));
        EXPECT_EQ(store::textOf(r.APPID), "0f2b7c31-1e1c-4b65-9a8a-3f6a0a2d7c10");
        EXPECT_EQ(store::ztextOf(r.APPSTATUS), "REJECTED");
        EXPECT_EQ(store::textOf(r.APPERROR),
                  platform::utf8ToCp1251("MERC13127: Ветеринарный сертификат \"0d6fc2f2\" уже погашен"));
    }
}

TEST(ApplicationAnswer, TheFieldsAreFoundInAnyOrderAndOnlyInTheFirstApplication)
{
    // The reading stops once it has what it needs: the id may come after the
    // status and a long result, the error of a rejected application after
    // both; a second application adds nothing.
    std::string result;
    for (int i = 0; i < 50; ++i)
        result +=
            R"(<m:vetDocument><m:status>CONFIRMED</m:status><m:error code="X">no</m:error></m:vetDocument>)";
    const auto application = [&](std::string_view status, std::string_view id, std::string_view error) {
        return "<a:application><a:status>" + std::string(status) + "</a:status><a:result>" + result +
               "</a:result><a:applicationId>" + std::string(id) + "</a:applicationId><a:errors>" +
               std::string(error) + "</a:errors></a:application>";
    };
    for (const char* status : {"REJECTED", "COMPLETED"}) {
        SCOPED_TRACE(status);
        const std::string answer =
            R"(<e:Envelope xmlns:e="http://schemas.xmlsoap.org/soap/envelope/" xmlns:m="urn:result")"
            R"( xmlns:a="http://api.vetrf.ru/schema/cdm/application"><e:Body>)" +
            application(status, "33333333-3333-4333-8333-333333333333",
                        R"(<a:error code="E2">Вторая ошибка</a:error>)") +
            application("REJECTED", "44444444-4444-4444-8444-444444444444",
                        R"(<a:error code="E3">Не та заявка</a:error>)") +
            "</e:Body></e:Envelope>";
        const ApplicationFields f = readApplicationFields(answer);
        EXPECT_TRUE(f.complete);
        EXPECT_EQ(f.appId, "33333333-3333-4333-8333-333333333333");
        EXPECT_EQ(f.status, status);
        EXPECT_EQ(f.error, std::string_view(status) == "REJECTED"
                               ? platform::utf8ToCp1251("E2: Вторая ошибка")
                               : std::string());
    }
}

TEST(ApplicationAnswer, LongErrorsAreClippedToTheField)
{
    const std::string text(400, 'x');
    const std::string answer =
        R"(<a:application xmlns:a="http://api.vetrf.ru/schema/cdm/application"><a:status>REJECTED</a:status>)"
        R"(<a:errors><a:error code="E1">)" +
        text + "</a:error></a:errors></a:application>";
    vetis::RequestRecord r;
    EXPECT_TRUE(extractApplicationFields(answer, r));
    EXPECT_EQ(store::textOf(r.APPERROR), "E1: " + std::string(255 - 4, 'x'));
    EXPECT_EQ(store::textOf(r.APPID), "");
}

TEST(ApplicationAnswer, MissingOrDamagedAnswers)
{
    // A SOAP fault, plain text and nothing at all leave every field empty.
    for (const std::string& answer : {sample("fault-01-incorrectRequestFault.constructed.xml"),
                                      std::string("Service Unavailable"), std::string()}) {
        vetis::RequestRecord r;
        store::setText(r.APPID, "stale");
        EXPECT_FALSE(extractApplicationFields(answer, r));
        EXPECT_EQ(store::textOf(r.APPID), "");
        EXPECT_EQ(store::ztextOf(r.APPSTATUS), "");
        EXPECT_EQ(store::textOf(r.APPERROR), "");
    }
    // An answer cut off after the status is read as far as it goes.
    const std::string full = sample(kSamples[2].file);
    const std::string cut = full.substr(0, full.find("<apl:result>") + 20);
    const ApplicationFields f = readApplicationFields(cut);
    EXPECT_EQ(f.appId, "a5240b60-20d0-429c-8cf1-97f45625871b");
    EXPECT_EQ(f.status, "COMPLETED");
    // An error of an application that is not rejected is not read.
    const std::string accepted =
        R"(<a:application xmlns:a="http://api.vetrf.ru/schema/cdm/application"><a:status>ACCEPTED</a:status>)"
        R"(<a:errors><a:error code="W1">warning</a:error></a:errors></a:application>)";
    EXPECT_EQ(readApplicationFields(accepted).error, "");
}

TEST(ApplicationAnswer, StatusTexts)
{
    const std::pair<const char*, const char*> table[] = {
        {"ACCEPTED", "ПРИНЯТА"},
        {"IN_PROCESS", "В ОБРАБОТКЕ"},
        {"COMPLETED", "УСПЕХ"},
        {"REJECTED", "ОТКЛОНЕНА"},
        {"", "???"},
        {"accepted", "???"},
        {"DONE", "???"},
    };
    for (const auto& [word, text] : table) {
        const ApplicationStatus s = applicationStatusOf(word);
        EXPECT_EQ(applicationStatusText(s), platform::utf8ToCp1251(text)) << word;
        EXPECT_EQ(applicationStatusSuffix(s), platform::utf8ToCp1251(std::string(" (") + text + ")")) << word;
    }
}
