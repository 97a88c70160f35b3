// SPDX-License-Identifier: LicenseRef-Kestrom
// Whole envelopes of the applications (codes 6, 7, 51, 53, 54, 57) and of the
// receive request (code 99), byte for byte.
#include "CatalogueTestSupport.h"
#include "platform/Dates.h"
#include "vetis/Catalogue.h"

#include <QDate>
#include <gtest/gtest.h>
#include <vector>

using namespace cataloguetest;
using vetis::RequestCode;

namespace {

constexpr std::string_view kHeadWithDt =
    R"(<SOAP-ENV:Envelope xmlns:dt="http://api.vetrf.ru/schema/cdm/dictionary/v2" xmlns:bs="http://api.vetrf.ru/schema/cdm/base" xmlns:merc="http://api.vetrf.ru/schema/cdm/mercury/g2b/applications/v2" xmlns:apldef="http://api.vetrf.ru/schema/cdm/application/ws-definitions" xmlns:apl="http://api.vetrf.ru/schema/cdm/application" xmlns:vd="http://api.vetrf.ru/schema/cdm/mercury/vet-document/v2" xmlns:SOAP-ENV="http://schemas.xmlsoap.org/soap/envelope/">)";
constexpr std::string_view kHeadWithoutDt =
    R"(<SOAP-ENV:Envelope xmlns:bs="http://api.vetrf.ru/schema/cdm/base" xmlns:merc="http://api.vetrf.ru/schema/cdm/mercury/g2b/applications/v2" xmlns:apldef="http://api.vetrf.ru/schema/cdm/application/ws-definitions" xmlns:apl="http://api.vetrf.ru/schema/cdm/application" xmlns:vd="http://api.vetrf.ru/schema/cdm/mercury/vet-document/v2" xmlns:SOAP-ENV="http://schemas.xmlsoap.org/soap/envelope/">)";

// The wrapper around an inner request, written out line by line.
std::string application(std::string_view head, std::string_view inner,
                        std::initializer_list<std::string_view> body)
{
    const std::string i(inner);
    std::vector<std::string> lines = {
        std::string(head),
        "<SOAP-ENV:Header/>",
        "<SOAP-ENV:Body>",
        "<apldef:submitApplicationRequest>",
        "<apldef:apiKey>MzY0YWJjZGVmMTIzNDU2Nzg5MA==</apldef:apiKey>",
        "<apl:application>",
        "<apl:serviceId>mercury-g2b.service:2.1</apl:serviceId>",
        "<apl:issuerId>400cb70f-964e-43c0-b4a3-165de1ab3e01</apl:issuerId>",
        "<apl:issueDate>2024-05-15T10:20:30</apl:issueDate>",
        "<apl:data>",
        "<" + i + ">",
        "<merc:localTransactionId>Zanvs_3723001</merc:localTransactionId>",
        "<merc:initiator>",
        "<vd:login>user_ab_150101</vd:login>",
        "</merc:initiator>",
    };
    for (const std::string_view line : body)
        lines.emplace_back(line);
    for (const char* tail : {"", "</apl:data>", "</apl:application>", "</apldef:submitApplicationRequest>",
                             "</SOAP-ENV:Body>", "</SOAP-ENV:Envelope>"})
        lines.push_back(*tail ? std::string(tail) : "</" + i + ">");
    std::string out;
    for (std::size_t n = 0; n < lines.size(); ++n)
        out += lines[n] + (n + 1 < lines.size() ? "\r\n" : "");
    return out;
}

std::string build(const vetis::RequestRecord& r)
{
    const store::VetisRecord settings = makeSettings();
    std::string out;
    EXPECT_NE(vetis::BuildEnvelope(r, settings, nullptr, {}, out), 0);
    return out;
}

std::int32_t day(int y, int m, int d)
{
    return platform::dayNumber(QDate(y, m, d));
}

} // namespace

TEST(CatalogueApplication, VetDocumentListAsTheListWindowSendsIt)
{
    vetis::RequestRecord r = makeRequest(RequestCode::VetDocumentList);
    r.COUNT = 1000;
    r.OFFSET = 2000;
    store::setZText(r.P1, kEntityGuid); // not sent
    store::setZText(r.P2, "88718c96-6f3d-48f7-b4b1-b64633be40f5");
    store::setZText(r.P3, "INCOMING");
    store::setZText(r.P4, "CONFIRMED");
    r.DATE1 = day(2024, 5, 1);
    r.DATE2 = day(2024, 5, 31);
    EXPECT_EQ(build(r),
              application(kHeadWithDt, "merc:getVetDocumentListRequest",
                          {"<bs:listOptions>", "<bs:count>1000</bs:count>", "<bs:offset>2000</bs:offset>",
                           "</bs:listOptions>", "<vd:vetDocumentType>INCOMING</vd:vetDocumentType>",
                           "<vd:vetDocumentStatus>CONFIRMED</vd:vetDocumentStatus>", "<vd:issueDateInterval>",
                           "<bs:beginDate>2024-05-01T00:00:00</bs:beginDate>",
                           "<bs:endDate>2024-05-31T23:59:59</bs:endDate>", "</vd:issueDateInterval>",
                           "<dt:enterpriseGuid>88718c96-6f3d-48f7-b4b1-b64633be40f5</dt:enterpriseGuid>"}));

    // All statuses, and only one end of the period: no status, no interval.
    store::setZText(r.P4, "");
    r.DATE2 = 0;
    EXPECT_EQ(build(r),
              application(kHeadWithDt, "merc:getVetDocumentListRequest",
                          {"<bs:listOptions>", "<bs:count>1000</bs:count>", "<bs:offset>2000</bs:offset>",
                           "</bs:listOptions>", "<vd:vetDocumentType>INCOMING</vd:vetDocumentType>",
                           "<dt:enterpriseGuid>88718c96-6f3d-48f7-b4b1-b64633be40f5</dt:enterpriseGuid>"}));
}

TEST(CatalogueApplication, VetDocumentByUuidAsksForOneVsdOfTheEnterprise)
{
    vetis::RequestRecord r = makeRequest(RequestCode::VetDocumentByUuid);
    store::setText(r.UUID, "5b8c2b7e-1f0a-4a59-9d1e-6f1c2a3b4c5d");
    store::setZText(r.P2, "88718c96-6f3d-48f7-b4b1-b64633be40f5");
    EXPECT_EQ(build(r),
              application(kHeadWithDt, "merc:getVetDocumentByUuidRequest",
                          {"<bs:uuid>5b8c2b7e-1f0a-4a59-9d1e-6f1c2a3b4c5d</bs:uuid>",
                           "<dt:enterpriseGuid>88718c96-6f3d-48f7-b4b1-b64633be40f5</dt:enterpriseGuid>"}));
}

TEST(CatalogueApplication, StockEntryList)
{
    vetis::RequestRecord r = makeRequest(RequestCode::StockEntryList);
    r.COUNT = 100;
    store::setZText(r.P2, "88718c96-6f3d-48f7-b4b1-b64633be40f5");
    store::setZText(r.P3, "NOT_BLANK");
    r.DATE1 = day(2024, 1, 2);
    r.DATE2 = day(2024, 2, 29);
    EXPECT_EQ(build(r),
              application(kHeadWithDt, "merc:getStockEntryListRequest",
                          {"<bs:listOptions>", "<bs:count>100</bs:count>", "<bs:offset>0</bs:offset>",
                           "</bs:listOptions>",
                           "<dt:enterpriseGuid>88718c96-6f3d-48f7-b4b1-b64633be40f5</dt:enterpriseGuid>",
                           "<merc:searchPattern>", "<vd:blankFilter>NOT_BLANK</vd:blankFilter>",
                           "<vd:receiptDateInterval>", "<bs:beginDate>2024-01-02T00:00:00</bs:beginDate>",
                           "<bs:endDate>2024-02-29T23:59:59</bs:endDate>", "</vd:receiptDateInterval>",
                           "</merc:searchPattern>"}));
    r.DATE1 = 0;
    EXPECT_EQ(build(r),
              application(kHeadWithDt, "merc:getStockEntryListRequest",
                          {"<bs:listOptions>", "<bs:count>100</bs:count>", "<bs:offset>0</bs:offset>",
                           "</bs:listOptions>",
                           "<dt:enterpriseGuid>88718c96-6f3d-48f7-b4b1-b64633be40f5</dt:enterpriseGuid>",
                           "<merc:searchPattern>", "<vd:blankFilter>NOT_BLANK</vd:blankFilter>",
                           "</merc:searchPattern>"}));
}

TEST(CatalogueApplication, BusinessEntityUsers)
{
    vetis::RequestRecord r = makeRequest(RequestCode::BusinessEntityUserList);
    r.COUNT = 50;
    r.OFFSET = 50;
    EXPECT_EQ(build(r), application(kHeadWithoutDt, "merc:getBusinessEntityUserListRequest",
                                    {"<bs:listOptions>", "<bs:count>50</bs:count>",
                                     "<bs:offset>50</bs:offset>", "</bs:listOptions>"}));
}

TEST(CatalogueApplication, ModifyEnterpriseCreatesTheTestEnterprise)
{
    vetis::RequestRecord r = makeRequest(RequestCode::ModifyEnterprise);
    store::setZText(r.P1, "\xCC\xE0\xE3\xE0\xE7\xE8\xED \xB9 1 & \xCA\xEE"); // Магазин № 1 & Ко
    store::setZText(
        r.P2, "\xE3. \xD1\xE0\xEC\xE0\xF0\xE0, \xF3\xEB. \xCB\xE5\xED\xE8\xED\xE0"); // г. Самара, ул. Ленина
    EXPECT_EQ(build(r), application(kHeadWithDt, "merc:modifyEnterpriseRequest",
                                    {"<merc:modificationOperation>",
                                     "<vd:type>CREATE</vd:type>",
                                     "<vd:resultingList>",
                                     "<dt:enterprise>",
                                     "<dt:name>Магазин № 1 &amp; Ко</dt:name>",
                                     "<dt:type>1</dt:type>",
                                     "<dt:address>",
                                     "<dt:country>",
                                     "<bs:guid>74a3cbb1-56fa-94f3-ab3f-e8db4940d96b</bs:guid>",
                                     "</dt:country>",
                                     "<dt:region>",
                                     "<bs:guid>f10763dc-63e3-48db-83e1-9c566fe3092b</bs:guid>",
                                     "</dt:region>",
                                     "<dt:district>",
                                     "<bs:guid>fd56a552-3bfc-4bbd-853f-297a8db00034</bs:guid>",
                                     "</dt:district>",
                                     "<dt:locality>",
                                     "<bs:guid>c07d0c34-eadb-4102-bcef-7dd1a3ba27c3</bs:guid>",
                                     "</dt:locality>",
                                     "<dt:addressView>г. Самара, ул. Ленина</dt:addressView>",
                                     "</dt:address>",
                                     "<dt:activityList>",
                                     "<dt:activity>",
                                     "<dt:name>Торгуем всем что движется</dt:name>",
                                     "</dt:activity>",
                                     "</dt:activityList>",
                                     "<dt:owner>",
                                     "<bs:guid>400cb70f-964e-43c0-b4a3-165de1ab3e01</bs:guid>",
                                     "</dt:owner>",
                                     "</dt:enterprise>",
                                     "</vd:resultingList>",
                                     "<vd:reason>Тестовое предприятие для гашения ВСД</vd:reason>",
                                     "</merc:modificationOperation>"}));
}

TEST(CatalogueApplication, ModifyActivityLocations)
{
    vetis::RequestRecord r = makeRequest(RequestCode::ModifyActivityLocations);
    store::setZText(r.P1, "515c6123-6c88-4537-bcf3-bd58da60fb1c");
    store::setZText(r.P2, "88718c96-6f3d-48f7-b4b1-b64633be40f5");
    EXPECT_EQ(build(r),
              application(kHeadWithoutDt, "merc:modifyActivityLocationsRequest",
                          {"<merc:modificationOperation>", "<vd:type>CREATE</vd:type>", "<vd:businessEntity>",
                           "<bs:guid>515c6123-6c88-4537-bcf3-bd58da60fb1c</bs:guid>", "</vd:businessEntity>",
                           "<vd:activityLocation>", "<vd:enterprise>",
                           "<bs:guid>88718c96-6f3d-48f7-b4b1-b64633be40f5</bs:guid>", "</vd:enterprise>",
                           "</vd:activityLocation>", "</merc:modificationOperation>"}));
}

TEST(CatalogueApplication, ReceiveApplicationResult)
{
    vetis::RequestRecord r = makeRequest(RequestCode::ReceiveApplicationResult);
    store::setZText(r.P1, "a5240b60-20d0-429c-8cf1-97f45625871b");
    EXPECT_EQ(
        build(r),
        crlfLines(
            {R"(<soapenv:Envelope xmlns:soapenv="http://schemas.xmlsoap.org/soap/envelope/" xmlns:ws="http://api.vetrf.ru/schema/cdm/application/ws-definitions">)",
             "<soapenv:Header/>", "<soapenv:Body>", "<ws:receiveApplicationResultRequest>",
             "<ws:apiKey>MzY0YWJjZGVmMTIzNDU2Nzg5MA==</ws:apiKey>",
             "<ws:issuerId>400cb70f-964e-43c0-b4a3-165de1ab3e01</ws:issuerId>",
             "<ws:applicationId>a5240b60-20d0-429c-8cf1-97f45625871b</ws:applicationId>",
             "</ws:receiveApplicationResultRequest>", "</soapenv:Body>", "</soapenv:Envelope>"}));
}

TEST(CatalogueApplication, CredentialsWithSpecialCharactersStayXmlSafe)
{
    store::VetisRecord settings = makeSettings();
    store::setZText(settings.APIKEY, "key<&>");
    store::setZText(settings.WEBLOGIN, "o'neil");
    vetis::RequestRecord r = makeRequest(RequestCode::BusinessEntityUserList);
    std::string out;
    ASSERT_EQ(vetis::BuildEnvelope(r, settings, nullptr, {}, out), 1);
    EXPECT_NE(out.find("<apldef:apiKey>key&lt;&amp;&gt;</apldef:apiKey>\r\n"), std::string::npos);
    EXPECT_NE(out.find("<vd:login>o&apos;neil</vd:login>\r\n"), std::string::npos);
}
