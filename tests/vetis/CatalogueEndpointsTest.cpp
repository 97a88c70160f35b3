// SPDX-License-Identifier: LicenseRef-Kestrom
#include "CatalogueConsignmentFixture.h"
#include "CatalogueTestSupport.h"
#include "store/RecordText.h"
#include "vetis-sim/FixtureStore.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Catalogue.h"
#include "vetis/Endpoints.h"
#include "vetis/PostRequest.h"

#include <gtest/gtest.h>

using namespace vetis;
using namespace cataloguetest;

TEST(CatalogueEndpoints, ProductionAndTestSets)
{
    clearEndpointOverrides();
    EXPECT_EQ(serviceUrl(1, 0), "https://api.vetrf.ru/platform/services/2.1/ApplicationManagementService");
    EXPECT_EQ(serviceUrl(2, 1), "https://api2.vetrf.ru:8002/platform/services/2.1/EnterpriseService");
    EXPECT_EQ(serviceUrl(3, 1), "https://api2.vetrf.ru:8002/platform/services/2.1/IkarService");
    EXPECT_EQ(serviceUrl(4, 0), "https://api.vetrf.ru/platform/services/2.1/DictionaryService");
    EXPECT_EQ(serviceUrl(5, 2),
              "https://api.vetrf.ru/platform/services/2.1/ProductService"); // only 1 is test
    EXPECT_EQ(serviceUrl(6, 1), "https://api2.vetrf.ru:8002/platform/services/2.1/RegionalizationService");
    EXPECT_EQ(serviceUrl(0, 0), "");
    EXPECT_EQ(serviceUrl(7, 0), "");
    EXPECT_EQ(printFormBase(0), "https://mercury.vetrf.ru/pub/operatorui");
    EXPECT_EQ(printFormBase(1), "https://t2-mercury.vetrf.ru/pub/operatorui");
}

TEST(CatalogueEndpoints, OverrideTargetsALocalTestDouble)
{
    setEndpointBaseOverride("http://127.0.0.1:18080/");
    setPrintFormBaseOverride("http://127.0.0.1:18080/pub/operatorui");
    EXPECT_EQ(serviceUrl(2, 0), "http://127.0.0.1:18080/platform/services/2.1/EnterpriseService");
    EXPECT_EQ(serviceUrl(2, 1), "http://127.0.0.1:18080/platform/services/2.1/EnterpriseService");
    EXPECT_EQ(printFormBase(1), "http://127.0.0.1:18080/pub/operatorui");
    clearEndpointOverrides();
    EXPECT_EQ(serviceUrl(2, 0), "https://api.vetrf.ru/platform/services/2.1/EnterpriseService");
}

// Every operation the catalogue builds is posted, as the program posts it, to
// the service the catalogue names; the test double answers an operation only
// at the service that answers it at VetIS, and refuses it elsewhere.
TEST(CatalogueEndpoints, EveryOperationReachesTheServiceThatAnswersIt)
{
    const store::VetisRecord settings = makeSettings();
    vetissim::SimConfig config;
    config.fixtures.vsdCount = 3;
    config.fixtures.bigLocalityStreets = 10;
    config.apiKey = std::string(store::ztextOf(settings.APIKEY));
    config.issuerId = std::string(kEntityGuid);
    vetissim::VetisSim sim(config);
    ASSERT_TRUE(sim.start()) << sim.errorString();
    std::string productItem;
    sim.withFixtures([&](vetissim::FixtureStore& store) {
        productItem = store.list(vetissim::RefKind::ProductItem).front()->textAt("bs:guid");
    });
    setEndpointBaseOverride(sim.baseUrl());

    const consignmentfixture::Vsd vsd = consignmentfixture::fullVsd();
    int posted = 0;
    for (int number = 0; number < 256; ++number) {
        const auto code = static_cast<RequestCode>(number);
        if (!isKnownOperation(code))
            continue;
        SCOPED_TRACE(number);
        // Values the operations need: a parent no entry has gives an empty list,
        // the single entries asked for by GUID exist.
        RequestRecord r = makeRequest(code);
        r.COUNT = 10;
        store::setZText(r.P1, code == RequestCode::ProductByGuidOrByType ? "1" : std::string(kGuidB));
        store::setZText(r.P2, vetissim::known::kOwnEnterpriseGuid);
        store::setZText(r.P3, "INCOMING");
        if (code == RequestCode::ActivityLocationList || code == RequestCode::BusinessEntityByGuid)
            store::setText(r.GUID, vetissim::known::kOwnEntityGuid);
        else if (code == RequestCode::EnterpriseByGuid)
            store::setText(r.GUID, vetissim::known::kOwnEnterpriseGuid);
        else if (code == RequestCode::ProductItemByGuid)
            store::setText(r.GUID, productItem);
        std::string envelope;
        const int service = BuildEnvelope(r, settings, &vsd.vsd, vsd.rows, envelope);
        ASSERT_NE(service, 0);

        std::int32_t status = 0;
        const auto answer = PostRequest(&envelope, kVerbPost, kAnswerSilent, status, nullptr,
                                        serviceUrl(service, 0), sim.config().user, sim.config().password);
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(status, 200) << answer->substr(0, 300);
        const vetissim::ReceivedRequest received = sim.received().back();
        ASSERT_FALSE(received.operation.empty());
        const std::string response =
            received.operation.substr(0, received.operation.size() - std::string_view("Request").size()) +
            "Response";
        EXPECT_NE(answer->find(response), std::string::npos) << received.operation;
        ++posted;
    }
    clearEndpointOverrides();
    EXPECT_EQ(posted, static_cast<int>(sim.received().size()));
    EXPECT_GT(posted, 0);
}
