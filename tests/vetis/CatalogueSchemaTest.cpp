// SPDX-License-Identifier: LicenseRef-Kestrom
// Every envelope of the catalogue against the official VetIS schemas. Where
// the envelope the service has always been sent differs from the published
// schemas, the envelope is kept and the case is listed here as a known
// deviation: the test then requires the validator to report exactly that.
#include "CatalogueConsignmentFixture.h"
#include "CatalogueSchemaCheck.h"
#include "CatalogueTestSupport.h"
#include "vetis/Catalogue.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

using namespace cataloguetest;
using schemacheck::SchemaSet;
using vetis::RequestCode;

namespace {

struct SchemaCase
{
    std::string name;
    SchemaSet set;
    std::function<void(vetis::RequestRecord&)> fill;
    // Empty when the envelope must be valid; otherwise a text the validator's
    // report must contain (the known deviation).
    std::string knownDeviation;
    const consignmentfixture::Vsd* vsd = nullptr;
};

// Each case sets its own operation.
vetis::RequestRecord request()
{
    vetis::RequestRecord r = makeRequest(RequestCode{});
    r.COUNT = 1000;
    r.OFFSET = 0;
    return r;
}

struct Fixtures
{
    consignmentfixture::Vsd full = consignmentfixture::fullVsd();
    consignmentfixture::Vsd sparse = consignmentfixture::sparseVsd();
    consignmentfixture::Vsd sparseWithYear = withProductionYear(consignmentfixture::sparseVsd());
    consignmentfixture::Vsd sparseComplete = withAuthentication(sparseWithYear);
    consignmentfixture::Vsd producerWithoutUuid = withoutProducerUuids(consignmentfixture::fullVsd());

    static consignmentfixture::Vsd withProductionYear(consignmentfixture::Vsd f)
    {
        f.vsd.PROYEAR1 = 2024;
        return f;
    }
    static consignmentfixture::Vsd withAuthentication(consignmentfixture::Vsd f)
    {
        store::setText(f.vsd.PURPOSE, "94a2de50-ff54-4939-a9d6-bd800bc49874");
        store::setZText(f.vsd.CARGOEXPERTIZED, "UNFULFILLED");
        return f;
    }
    static consignmentfixture::Vsd withoutProducerUuids(consignmentfixture::Vsd f)
    {
        for (store::InsideRecord& row : f.rows)
            if (row.VID == 3)
                store::setText(row.GUID2, "");
        return f;
    }
};

std::vector<SchemaCase> allCases(const Fixtures& f)
{
    const auto guid = [](vetis::RequestRecord& r) { store::setText(r.GUID, kGuidA); };
    const auto parent = [](vetis::RequestRecord& r) { store::setZText(r.P1, kGuidB); };
    return {
        {"1 activity locations", SchemaSet::Registry,
         [&](auto& r) { r.setRequestCode(RequestCode::ActivityLocationList), guid(r); }, ""},
        {"2 country by guid", SchemaSet::Registry,
         [&](auto& r) { r.setRequestCode(RequestCode::CountryByGuidOrAll), guid(r); }, ""},
        {"2 country list", SchemaSet::Registry,
         [](auto& r) { r.setRequestCode(RequestCode::CountryByGuidOrAll); }, ""},
        {"3 unit by guid", SchemaSet::Registry,
         [&](auto& r) { r.setRequestCode(RequestCode::UnitByGuidOrList), guid(r); }, ""},
        {"3 unit list", SchemaSet::Registry, [](auto& r) { r.setRequestCode(RequestCode::UnitByGuidOrList); },
         ""},
        {"4 business entity by guid", SchemaSet::Registry,
         [&](auto& r) { r.setRequestCode(RequestCode::BusinessEntityByGuid), guid(r); }, ""},
        {"5 russian enterprises", SchemaSet::Registry,
         [](auto& r) { r.setRequestCode(RequestCode::RussianEnterpriseList); }, ""},
        {"8 region by guid", SchemaSet::Registry,
         [&](auto& r) { r.setRequestCode(RequestCode::RegionByGuidOrByCountry), guid(r); }, ""},
        {"8 regions of a country", SchemaSet::Registry,
         [&](auto& r) { r.setRequestCode(RequestCode::RegionByGuidOrByCountry), parent(r); }, ""},
        {"9 districts", SchemaSet::Registry,
         [&](auto& r) { r.setRequestCode(RequestCode::DistrictListByRegion), parent(r); }, ""},
        {"10 localities of a district", SchemaSet::Registry,
         [&](auto& r) { r.setRequestCode(RequestCode::LocalityListByDistrict), parent(r); }, ""},
        {"11 streets", SchemaSet::Registry,
         [&](auto& r) { r.setRequestCode(RequestCode::StreetListByLocality), parent(r); }, ""},
        {"12 localities of a region", SchemaSet::Registry,
         [&](auto& r) { r.setRequestCode(RequestCode::LocalityListByRegion), parent(r); }, ""},
        {"13 diseases", SchemaSet::Registry, [](auto& r) { r.setRequestCode(RequestCode::DiseaseList); }, ""},
        {"14 research methods", SchemaSet::Registry,
         [](auto& r) { r.setRequestCode(RequestCode::ResearchMethodList); }, ""},
        {"15 purposes", SchemaSet::Registry, [](auto& r) { r.setRequestCode(RequestCode::PurposeList); }, ""},
        {"16 product by guid", SchemaSet::Registry,
         [&](auto& r) { r.setRequestCode(RequestCode::ProductByGuidOrByType), guid(r); }, ""},
        {"16 products of a type", SchemaSet::Registry,
         [](auto& r) { r.setRequestCode(RequestCode::ProductByGuidOrByType), store::setZText(r.P1, "1"); },
         ""},
        {"17 sub-product by guid", SchemaSet::Registry,
         [&](auto& r) { r.setRequestCode(RequestCode::SubProductByGuidOrByProduct), guid(r); }, ""},
        {"17 sub-products of a product", SchemaSet::Registry,
         [&](auto& r) { r.setRequestCode(RequestCode::SubProductByGuidOrByProduct), parent(r); }, ""},
        {"18 entity search, no filter", SchemaSet::Registry,
         [](auto& r) { r.setRequestCode(RequestCode::BusinessEntityList); }, ""},
        {"18 entity search, every filter", SchemaSet::Registry,
         [&](auto& r) {
             r.setRequestCode(RequestCode::BusinessEntityList);
             store::setZText(r.P1, "1026300000000");
             store::setZText(r.P2, "6312000000");
             store::setZText(r.P3, "\xCE\xCE\xCE \"\xD0\xEE\xE3\xE0\"");
             store::setZText(r.P4, "\xC8\xE2\xE0\xED\xEE\xE2");
             guid(r);
         },
         ""},
        {"19 product item search, main filters", SchemaSet::Registry,
         [&](auto& r) {
             r.setRequestCode(RequestCode::ProductItemList);
             store::setZText(r.P1, "1");
             store::setZText(r.P2, kGuidA);
             store::setZText(r.P3, kGuidB);
             store::setZText(r.P5, kEntityGuid);
         },
         ""},
        {"19 product item search, producer and GTIN", SchemaSet::Registry,
         [&](auto& r) {
             r.setRequestCode(RequestCode::ProductItemList);
             store::setZText(r.P6, kGuidA);
             store::setZText(r.P4, "4601234567890");
         },
         "producer"},
        {"20 product item by guid", SchemaSet::Registry,
         [&](auto& r) { r.setRequestCode(RequestCode::ProductItemByGuid), guid(r); }, ""},
        {"21 enterprise by guid", SchemaSet::Registry,
         [&](auto& r) { r.setRequestCode(RequestCode::EnterpriseByGuid), guid(r); }, ""},
        {"6 modify enterprise", SchemaSet::Application,
         [](auto& r) {
             r.setRequestCode(RequestCode::ModifyEnterprise);
             store::setZText(r.P1, "\xCC\xE0\xE3\xE0\xE7\xE8\xED");
             store::setZText(r.P2, "\xE3. \xD1\xE0\xEC\xE0\xF0\xE0");
         },
         ""},
        {"7 modify activity locations", SchemaSet::Application,
         [&](auto& r) {
             r.setRequestCode(RequestCode::ModifyActivityLocations);
             store::setZText(r.P1, kEntityGuid);
             store::setZText(r.P2, kGuidA);
         },
         ""},
        {"51 vet document list", SchemaSet::Application,
         [](auto& r) {
             r.setRequestCode(RequestCode::VetDocumentList);
             store::setZText(r.P2, kGuidA);
             store::setZText(r.P3, "INCOMING");
             store::setZText(r.P4, "CONFIRMED");
             r.DATE1 = consignmentfixture::day(2024, 5, 1);
             r.DATE2 = consignmentfixture::day(2024, 5, 31);
         },
         "issueDateInterval"},
        {"51 vet document list, no period", SchemaSet::Application,
         [](auto& r) {
             r.setRequestCode(RequestCode::VetDocumentList);
             store::setZText(r.P2, kGuidA);
             store::setZText(r.P3, "INCOMING");
         },
         ""},
        {"53 business entity users", SchemaSet::Application,
         [](auto& r) { r.setRequestCode(RequestCode::BusinessEntityUserList); }, ""},
        {"54 stock entries", SchemaSet::Application,
         [](auto& r) {
             r.setRequestCode(RequestCode::StockEntryList);
             store::setZText(r.P2, kGuidA);
             store::setZText(r.P3, "NOT_BLANK");
         },
         ""},
        {"54 stock entries by receipt date", SchemaSet::Application,
         [](auto& r) {
             r.setRequestCode(RequestCode::StockEntryList);
             store::setZText(r.P2, kGuidA);
             store::setZText(r.P3, "NOT_BLANK");
             r.DATE1 = consignmentfixture::day(2024, 5, 1);
             r.DATE2 = consignmentfixture::day(2024, 5, 31);
         },
         "receiptDateInterval"},
        {"55 repay, full VSD", SchemaSet::Application,
         [](auto& r) { r.setRequestCode(RequestCode::RepayConsignment); }, "", &f.full},
        {"55 repay, sparse VSD", SchemaSet::Application,
         [](auto& r) { r.setRequestCode(RequestCode::RepayConsignment); }, "", &f.sparseWithYear},
        {"55 repay, production year 0", SchemaSet::Application,
         [](auto& r) { r.setRequestCode(RequestCode::RepayConsignment); },
         "The value '0' is not accepted by the pattern", &f.sparse},
        {"55 repay, producer without UUID", SchemaSet::Application,
         [](auto& r) { r.setRequestCode(RequestCode::RepayConsignment); }, "", &f.producerWithoutUuid},
        {"56 return, full VSD", SchemaSet::Application,
         [](auto& r) { r.setRequestCode(RequestCode::ReturnConsignment); }, "", &f.full},
        {"56 return, sparse VSD", SchemaSet::Application,
         [](auto& r) { r.setRequestCode(RequestCode::ReturnConsignment); }, "", &f.sparseComplete},
        {"56 return, no purpose or expertise recorded", SchemaSet::Application,
         [](auto& r) { r.setRequestCode(RequestCode::ReturnConsignment); },
         "cargoExpertized': [facet 'enumeration'] The value '' is not", &f.sparseWithYear},
        {"57 vet document by uuid", SchemaSet::Application,
         [](auto& r) {
             r.setRequestCode(RequestCode::VetDocumentByUuid);
             store::setText(r.UUID, kGuidB);
             store::setZText(r.P2, kGuidA);
         },
         ""},
        {"99 receive result", SchemaSet::Application,
         [](auto& r) {
             r.setRequestCode(RequestCode::ReceiveApplicationResult);
             store::setZText(r.P1, "a5240b60-20d0-429c-8cf1-97f45625871b");
         },
         ""},
    };
}

} // namespace

TEST(CatalogueSchema, EveryEnvelopeAgainstTheOfficialSchemas)
{
    const Fixtures fixtures;
    const store::VetisRecord settings = makeSettings();
    for (const SchemaCase& c : allCases(fixtures)) {
        vetis::RequestRecord r = request();
        c.fill(r);
        std::string envelope;
        const store::VsdRecord* vsd = c.vsd ? &c.vsd->vsd : nullptr;
        const std::span<const store::InsideRecord> rows =
            c.vsd ? std::span(c.vsd->rows) : std::span<const store::InsideRecord>();
        ASSERT_NE(vetis::BuildEnvelope(r, settings, vsd, rows, envelope), 0) << c.name;
        const schemacheck::Result result = schemacheck::validateEnvelope(envelope, c.set);
        ASSERT_TRUE(result.parsed) << c.name << ": " << result.errors;
        if (c.knownDeviation.empty()) {
            EXPECT_TRUE(result.valid) << c.name << ":\n" << result.errors;
        } else {
            EXPECT_FALSE(result.valid) << c.name << ": the known deviation is gone";
            EXPECT_NE(result.errors.find(c.knownDeviation), std::string::npos) << c.name << ":\n"
                                                                               << result.errors;
            RecordProperty("deviation: " + c.name, result.errors);
            std::printf("known deviation [%s]: %s", c.name.c_str(), result.errors.c_str());
        }
    }
}
