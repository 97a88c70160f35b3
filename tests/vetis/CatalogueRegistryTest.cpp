// SPDX-License-Identifier: LicenseRef-Kestrom
// Whole envelopes of the registry operations, byte for byte.
#include "CatalogueTestSupport.h"
#include "vetis/Catalogue.h"

#include <gtest/gtest.h>

using namespace cataloguetest;
using vetis::RequestCode;

namespace {

constexpr std::string_view kHeadBs =
    R"(<soapenv:Envelope xmlns:soapenv="http://schemas.xmlsoap.org/soap/envelope/" xmlns:ws="http://api.vetrf.ru/schema/cdm/registry/ws-definitions/v2" xmlns:bs="http://api.vetrf.ru/schema/cdm/base">)";
constexpr std::string_view kHeadBsDt =
    R"(<soapenv:Envelope xmlns:soapenv="http://schemas.xmlsoap.org/soap/envelope/" xmlns:ws="http://api.vetrf.ru/schema/cdm/registry/ws-definitions/v2" xmlns:bs="http://api.vetrf.ru/schema/cdm/base" xmlns:dt="http://api.vetrf.ru/schema/cdm/dictionary/v2">)";
constexpr std::string_view kHeadBase =
    R"(<soapenv:Envelope xmlns:soapenv="http://schemas.xmlsoap.org/soap/envelope/" xmlns:ws="http://api.vetrf.ru/schema/cdm/registry/ws-definitions/v2" xmlns:base="http://api.vetrf.ru/schema/cdm/base">)";
constexpr std::string_view kHeadBaseIkar =
    R"(<soapenv:Envelope xmlns:soapenv="http://schemas.xmlsoap.org/soap/envelope/" xmlns:ws="http://api.vetrf.ru/schema/cdm/registry/ws-definitions/v2" xmlns:base="http://api.vetrf.ru/schema/cdm/base" xmlns:ikar="http://api.vetrf.ru/schema/cdm/dictionary/v2">)";
constexpr std::string_view kHeadBsFirst =
    R"(<soapenv:Envelope xmlns:bs="http://api.vetrf.ru/schema/cdm/base" xmlns:ws="http://api.vetrf.ru/schema/cdm/registry/ws-definitions/v2" xmlns:soapenv="http://schemas.xmlsoap.org/soap/envelope/">)";

std::string build(const vetis::RequestRecord& r)
{
    const store::VetisRecord settings = makeSettings();
    std::string out;
    EXPECT_NE(vetis::BuildEnvelope(r, settings, nullptr, {}, out), 0);
    return out;
}

vetis::RequestRecord listRequest(RequestCode code, int count = 1000, int offset = 0)
{
    vetis::RequestRecord r = makeRequest(code);
    r.COUNT = count;
    r.OFFSET = offset;
    return r;
}

vetis::RequestRecord guidRequest(RequestCode code, std::string_view guid = kGuidA)
{
    vetis::RequestRecord r = makeRequest(code);
    store::setText(r.GUID, guid);
    return r;
}

} // namespace

TEST(CatalogueRegistry, DiseaseListIsElevenCrLfLinesWithoutTrailingBreak)
{
    const std::string text = build(listRequest(RequestCode::DiseaseList));
    EXPECT_EQ(text, crlfLines({kHeadBs, "<soapenv:Header/>", "<soapenv:Body>", "<ws:getDiseaseListRequest>",
                               "<bs:listOptions>", "<bs:count>1000</bs:count>", "<bs:offset>0</bs:offset>",
                               "</bs:listOptions>", "</ws:getDiseaseListRequest>", "</soapenv:Body>",
                               "</soapenv:Envelope>"}));
}

TEST(CatalogueRegistry, PlainMultiLineLists)
{
    struct Case
    {
        RequestCode code;
        std::string_view head;
        std::string_view element;
    };
    const Case cases[] = {
        {RequestCode::RussianEnterpriseList, kHeadBsDt, "ws:getRussianEnterpriseListRequest"},
        {RequestCode::ResearchMethodList, kHeadBs, "ws:getResearchMethodListRequest"},
        {RequestCode::PurposeList, kHeadBs, "ws:getPurposeListRequest"},
    };
    for (const Case& c : cases) {
        const std::string text = build(listRequest(c.code, 500, 2000));
        EXPECT_EQ(text, crlfLines({c.head, "<soapenv:Header/>", "<soapenv:Body>",
                                   std::string("<") + std::string(c.element) + ">", "<bs:listOptions>",
                                   "<bs:count>500</bs:count>", "<bs:offset>2000</bs:offset>",
                                   "</bs:listOptions>", std::string("</") + std::string(c.element) + ">",
                                   "</soapenv:Body>", "</soapenv:Envelope>"}))
            << c.element;
    }
}

TEST(CatalogueRegistry, AddressRegistryListsUnderAParent)
{
    struct Case
    {
        RequestCode code;
        std::string_view element;
        std::string_view parentTag;
    };
    const Case cases[] = {
        {RequestCode::DistrictListByRegion, "ws:getDistrictListByRegionRequest", "ikar:regionGuid"},
        {RequestCode::LocalityListByDistrict, "ws:getLocalityListByDistrictRequest", "ikar:districtGuid"},
        {RequestCode::StreetListByLocality, "ws:getStreetListByLocalityRequest", "ikar:localityGuid"},
        {RequestCode::LocalityListByRegion, "ws:getLocalityListByRegionRequest", "ikar:regionGuid"},
    };
    for (const Case& c : cases) {
        vetis::RequestRecord r = listRequest(c.code);
        store::setZText(r.P1, kGuidB);
        const std::string text = build(r);
        const std::string e(c.element), p(c.parentTag);
        EXPECT_EQ(text, crlfLines({kHeadBaseIkar, "<soapenv:Header/>", "<soapenv:Body>", "<" + e + ">",
                                   "<base:listOptions>", "<base:count>1000</base:count>",
                                   "<base:offset>0</base:offset>", "</base:listOptions>",
                                   "<" + p + ">b039ee16-9646-4718-8f3d-9a4de6cf02bb</" + p + ">",
                                   "</" + e + ">", "</soapenv:Body>", "</soapenv:Envelope>"}))
            << c.element;
    }
}

TEST(CatalogueRegistry, SingleLineOperationsChooseByGuidOnlyForAFullGuid)
{
    // Country by GUID, and the list when the GUID is blank or shorter.
    EXPECT_EQ(build(guidRequest(RequestCode::CountryByGuidOrAll)),
              std::string(kHeadBase) + "<soapenv:Header/><soapenv:Body>" +
                  "<ws:getCountryByGuidRequest><base:guid>0e3ab1bf-4ee1-4f7f-a45f-2ca1b9c1d7a1</base:guid>"
                  "</ws:getCountryByGuidRequest></soapenv:Body></soapenv:Envelope>");
    const std::string countryList =
        std::string(kHeadBase) + "<soapenv:Header/><soapenv:Body>" +
        "<ws:getAllCountryListRequest><base:listOptions><base:count>1000</base:count>"
        "<base:offset>0</base:offset></base:listOptions></ws:getAllCountryListRequest>"
        "</soapenv:Body></soapenv:Envelope>";
    EXPECT_EQ(build(listRequest(RequestCode::CountryByGuidOrAll)), countryList);
    vetis::RequestRecord shortGuid = listRequest(RequestCode::CountryByGuidOrAll);
    store::setText(shortGuid.GUID, "0e3ab1bf-4ee1-4f7f-a45f-2ca1b9c1d7a");
    EXPECT_EQ(build(shortGuid), countryList);

    EXPECT_EQ(build(guidRequest(RequestCode::UnitByGuidOrList)),
              std::string(kHeadBs) + "<soapenv:Header/><soapenv:Body><ws:getUnitByGuidRequest><bs:guid>" +
                  "0e3ab1bf-4ee1-4f7f-a45f-2ca1b9c1d7a1</bs:guid></ws:getUnitByGuidRequest>"
                  "</soapenv:Body></soapenv:Envelope>");
    EXPECT_EQ(
        build(listRequest(RequestCode::UnitByGuidOrList, 1000, 1000)),
        std::string(kHeadBs) + "<soapenv:Header/><soapenv:Body><ws:getUnitListRequest><bs:listOptions>" +
            "<bs:count>1000</bs:count><bs:offset>1000</bs:offset></bs:listOptions></ws:getUnitListRequest>"
            "</soapenv:Body></soapenv:Envelope>");

    EXPECT_EQ(build(guidRequest(RequestCode::RegionByGuidOrByCountry)),
              std::string(kHeadBaseIkar) +
                  "<soapenv:Header/><soapenv:Body><ws:getRegionByGuidRequest><base:guid>" +
                  "0e3ab1bf-4ee1-4f7f-a45f-2ca1b9c1d7a1</base:guid></ws:getRegionByGuidRequest>"
                  "</soapenv:Body></soapenv:Envelope>");
    vetis::RequestRecord regions = listRequest(RequestCode::RegionByGuidOrByCountry);
    store::setZText(regions.P1, "74a3cbb1-56fa-94f3-ab3f-e8db4940d96b");
    EXPECT_EQ(build(regions),
              std::string(kHeadBaseIkar) +
                  "<soapenv:Header/><soapenv:Body><ws:getRegionListByCountryRequest><base:listOptions>"
                  "<base:count>1000</base:count><base:offset>0</base:offset></base:listOptions>"
                  "<ikar:countryGuid>74a3cbb1-56fa-94f3-ab3f-e8db4940d96b</ikar:countryGuid>"
                  "</ws:getRegionListByCountryRequest></soapenv:Body></soapenv:Envelope>");

    EXPECT_EQ(build(guidRequest(RequestCode::ProductByGuidOrByType)),
              std::string(kHeadBsDt) +
                  "<soapenv:Header/><soapenv:Body><ws:getProductByGuidRequest><bs:guid>" +
                  "0e3ab1bf-4ee1-4f7f-a45f-2ca1b9c1d7a1</bs:guid></ws:getProductByGuidRequest>"
                  "</soapenv:Body></soapenv:Envelope>");
    vetis::RequestRecord products = listRequest(RequestCode::ProductByGuidOrByType);
    store::setZText(products.P1, "7");
    EXPECT_EQ(build(products),
              std::string(kHeadBsDt) +
                  "<soapenv:Header/><soapenv:Body><ws:getProductByTypeListRequest><bs:listOptions>"
                  "<bs:count>1000</bs:count><bs:offset>0</bs:offset></bs:listOptions>"
                  "<dt:productType>7</dt:productType></ws:getProductByTypeListRequest>"
                  "</soapenv:Body></soapenv:Envelope>");

    EXPECT_EQ(build(guidRequest(RequestCode::SubProductByGuidOrByProduct)),
              std::string(kHeadBsDt) +
                  "<soapenv:Header/><soapenv:Body><ws:getSubProductByGuidRequest><bs:guid>" +
                  "0e3ab1bf-4ee1-4f7f-a45f-2ca1b9c1d7a1</bs:guid></ws:getSubProductByGuidRequest>"
                  "</soapenv:Body></soapenv:Envelope>");
    vetis::RequestRecord subProducts = listRequest(RequestCode::SubProductByGuidOrByProduct);
    store::setZText(subProducts.P1, kGuidB);
    EXPECT_EQ(build(subProducts),
              std::string(kHeadBsDt) +
                  "<soapenv:Header/><soapenv:Body><ws:getSubProductByProductListRequest><bs:listOptions>"
                  "<bs:count>1000</bs:count><bs:offset>0</bs:offset></bs:listOptions>"
                  "<dt:productGuid>b039ee16-9646-4718-8f3d-9a4de6cf02bb</dt:productGuid>"
                  "</ws:getSubProductByProductListRequest></soapenv:Body></soapenv:Envelope>");
}

TEST(CatalogueRegistry, ByGuidMultiLineOperations)
{
    EXPECT_EQ(
        build(guidRequest(RequestCode::BusinessEntityByGuid)),
        crlfLines({kHeadBsFirst, "<soapenv:Header/>", "<soapenv:Body>", "<ws:getBusinessEntityByGuidRequest>",
                   "<bs:guid>0e3ab1bf-4ee1-4f7f-a45f-2ca1b9c1d7a1</bs:guid>",
                   "</ws:getBusinessEntityByGuidRequest>", "</soapenv:Body>", "</soapenv:Envelope>"}));
    EXPECT_EQ(build(guidRequest(RequestCode::ProductItemByGuid)),
              crlfLines({kHeadBs, "<soapenv:Header/>", "<soapenv:Body>", "<ws:getProductItemByGuidRequest>",
                         "<bs:guid>0e3ab1bf-4ee1-4f7f-a45f-2ca1b9c1d7a1</bs:guid>",
                         "</ws:getProductItemByGuidRequest>", "</soapenv:Body>", "</soapenv:Envelope>"}));
    EXPECT_EQ(build(guidRequest(RequestCode::EnterpriseByGuid)),
              crlfLines({kHeadBs, "<soapenv:Header/>", "<soapenv:Body>", "<ws:getEnterpriseByGuidRequest>",
                         "<bs:guid>0e3ab1bf-4ee1-4f7f-a45f-2ca1b9c1d7a1</bs:guid>",
                         "</ws:getEnterpriseByGuidRequest>", "</soapenv:Body>", "</soapenv:Envelope>"}));
}

TEST(CatalogueRegistry, ActivityLocationsOfAnEntity)
{
    vetis::RequestRecord r = guidRequest(RequestCode::ActivityLocationList);
    r.COUNT = 100;
    EXPECT_EQ(
        build(r),
        crlfLines({kHeadBsDt, "<soapenv:Header/>", "<soapenv:Body>", "<ws:getActivityLocationListRequest>",
                   "<bs:listOptions>", "<bs:count>100</bs:count>", "<bs:offset>0</bs:offset>",
                   "</bs:listOptions>", "<dt:businessEntity>",
                   "<bs:guid>0e3ab1bf-4ee1-4f7f-a45f-2ca1b9c1d7a1</bs:guid>", "</dt:businessEntity>",
                   "</ws:getActivityLocationListRequest>", "</soapenv:Body>", "</soapenv:Envelope>"}));
}

TEST(CatalogueRegistry, BusinessEntitySearch)
{
    // No filter: an empty dt:businessEntity, start and end tag on their own lines.
    vetis::RequestRecord empty = listRequest(RequestCode::BusinessEntityList, 10, 0);
    EXPECT_EQ(
        build(empty),
        crlfLines({kHeadBsDt, "<soapenv:Header/>", "<soapenv:Body>", "<ws:getBusinessEntityListRequest>",
                   "<bs:listOptions>", "<bs:count>10</bs:count>", "<bs:offset>0</bs:offset>",
                   "</bs:listOptions>", "<dt:businessEntity>", "</dt:businessEntity>",
                   "</ws:getBusinessEntityListRequest>", "</soapenv:Body>", "</soapenv:Envelope>"}));

    // Every filter, escaped and converted to UTF-8; the region puts Russia first.
    vetis::RequestRecord all = listRequest(RequestCode::BusinessEntityList, 10, 0);
    store::setZText(all.P1, "1026300000000");
    store::setZText(all.P2, " 6312000000");
    store::setZText(all.P3,
                    "\xCE\xCE\xCE \"\xD0\xEE\xE3\xE0 & \xCA\xEE\xEF\xFB\xF2\xE0\""); // ООО "Рога & Копыта"
    store::setZText(all.P4, "\xC8\xE2\xE0\xED\xEE\xE2 <\xC8.>");                     // Иванов <И.>
    store::setText(all.GUID, "f10763dc-63e3-48db-83e1-9c566fe3092b");
    EXPECT_EQ(build(all), crlfLines({kHeadBsDt,
                                     "<soapenv:Header/>",
                                     "<soapenv:Body>",
                                     "<ws:getBusinessEntityListRequest>",
                                     "<bs:listOptions>",
                                     "<bs:count>10</bs:count>",
                                     "<bs:offset>0</bs:offset>",
                                     "</bs:listOptions>",
                                     "<dt:businessEntity>",
                                     "<dt:name>ООО &quot;Рога &amp; Копыта&quot;</dt:name>",
                                     "<dt:fio>Иванов &lt;И.&gt;</dt:fio>",
                                     "<dt:inn>6312000000</dt:inn>",
                                     "<dt:ogrn>1026300000000</dt:ogrn>",
                                     "<dt:juridicalAddress>",
                                     "<dt:country>",
                                     "<bs:guid>74a3cbb1-56fa-94f3-ab3f-e8db4940d96b</bs:guid>",
                                     "</dt:country>",
                                     "<dt:region>",
                                     "<bs:guid>f10763dc-63e3-48db-83e1-9c566fe3092b</bs:guid>",
                                     "</dt:region>",
                                     "</dt:juridicalAddress>",
                                     "</dt:businessEntity>",
                                     "</ws:getBusinessEntityListRequest>",
                                     "</soapenv:Body>",
                                     "</soapenv:Envelope>"}));
}

TEST(CatalogueRegistry, ProductItemSearch)
{
    vetis::RequestRecord none = listRequest(RequestCode::ProductItemList, 1000, 0);
    EXPECT_EQ(build(none),
              crlfLines({kHeadBsDt, "<soapenv:Header/>", "<soapenv:Body>", "<ws:getProductItemListRequest>",
                         "<bs:listOptions>", "<bs:count>1000</bs:count>", "<bs:offset>0</bs:offset>",
                         "</bs:listOptions>", "</ws:getProductItemListRequest>", "</soapenv:Body>",
                         "</soapenv:Envelope>"}));

    vetis::RequestRecord all = listRequest(RequestCode::ProductItemList, 1000, 0);
    store::setZText(all.P1, "1");
    store::setZText(all.P2, "11111111-1111-4111-8111-111111111111");
    store::setZText(all.P3, "22222222-2222-4222-8222-222222222222");
    store::setZText(all.P4, "4601234567890");
    store::setZText(all.P5, "55555555-5555-4555-8555-555555555555");
    store::setZText(all.P6, "66666666-6666-4666-8666-666666666666");
    store::setZText(all.P7, "77777777-7777-4777-8777-777777777777");
    EXPECT_EQ(
        build(all),
        crlfLines(
            {kHeadBsDt,
             "<soapenv:Header/>",
             "<soapenv:Body>",
             "<ws:getProductItemListRequest>",
             "<bs:listOptions>",
             "<bs:count>1000</bs:count>",
             "<bs:offset>0</bs:offset>",
             "</bs:listOptions>",
             "<dt:productType>1</dt:productType>",
             "<dt:product><bs:guid>11111111-1111-4111-8111-111111111111</bs:guid></dt:product>",
             "<dt:subProduct><bs:guid>22222222-2222-4222-8222-222222222222</bs:guid></dt:subProduct>",
             "<dt:businessEntity><bs:guid>55555555-5555-4555-8555-555555555555</bs:guid></dt:businessEntity>",
             "<dt:producer>",
             "<dt:businessEntity><bs:guid>66666666-6666-4666-8666-666666666666</bs:guid></dt:businessEntity>",
             "<dt:enterprise><bs:guid>77777777-7777-4777-8777-777777777777</bs:guid></dt:enterprise>",
             "</dt:producer>",
             "<dt:globalID>4601234567890</dt:globalID>",
             "</ws:getProductItemListRequest>",
             "</soapenv:Body>",
             "</soapenv:Envelope>"}));

    // Only the enterprise of the producer.
    vetis::RequestRecord producer = listRequest(RequestCode::ProductItemList, 1000, 0);
    store::setZText(producer.P7, "77777777-7777-4777-8777-777777777777");
    EXPECT_EQ(
        build(producer),
        crlfLines({kHeadBsDt, "<soapenv:Header/>", "<soapenv:Body>", "<ws:getProductItemListRequest>",
                   "<bs:listOptions>", "<bs:count>1000</bs:count>", "<bs:offset>0</bs:offset>",
                   "</bs:listOptions>", "<dt:producer>",
                   "<dt:enterprise><bs:guid>77777777-7777-4777-8777-777777777777</bs:guid></dt:enterprise>",
                   "</dt:producer>", "</ws:getProductItemListRequest>", "</soapenv:Body>",
                   "</soapenv:Envelope>"}));
}

TEST(CatalogueRegistry, UnknownCodesBuildNothing)
{
    // The numbers around the known ones, as a record may hold them.
    for (const int number : {0, 22, 50, 52, 58, 98, 100, 255}) {
        const auto code = static_cast<RequestCode>(number);
        vetis::RequestRecord r = listRequest(code);
        std::string out = "kept";
        const store::VetisRecord settings = makeSettings();
        EXPECT_EQ(vetis::BuildEnvelope(r, settings, nullptr, {}, out), 0) << number;
        EXPECT_EQ(out, "kept") << number;
        EXPECT_FALSE(vetis::isKnownOperation(code)) << number;
    }
}

TEST(CatalogueRegistry, ValuesInsertedAsTheyStandStayXmlSafe)
{
    // A GUID parameter that is not a GUID at all must not break the envelope;
    // a well-formed one is sent unchanged (see the tests above).
    vetis::RequestRecord r = listRequest(RequestCode::DistrictListByRegion);
    store::setZText(r.P1, "a<b>&\"c'\x01\xC4");
    const std::string text = build(r);
    EXPECT_NE(text.find("<ikar:regionGuid>a&lt;b&gt;&amp;&quot;c&apos; Д</ikar:regionGuid>"),
              std::string::npos)
        << text;
}
