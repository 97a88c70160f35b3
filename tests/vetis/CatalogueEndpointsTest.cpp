// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/Catalogue.h"
#include "vetis/Endpoints.h"

#include <gtest/gtest.h>

using namespace vetis;

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

TEST(CatalogueEndpoints, ServiceOfEveryOperation)
{
    const std::pair<int, int> table[] = {
        {1, 2},  {2, 3},  {3, 4},  {4, 2},  {5, 2},  {6, 1},  {7, 1},  {8, 3},  {9, 3},  {10, 3},
        {11, 3}, {12, 3}, {13, 4}, {14, 4}, {15, 4}, {16, 5}, {17, 5}, {18, 2}, {19, 5}, {20, 5},
        {21, 2}, {51, 1}, {53, 1}, {54, 1}, {55, 1}, {56, 1}, {99, 1}, {52, 0}, {22, 0}, {0, 0}};
    for (const auto& [code, service] : table)
        EXPECT_EQ(serviceOfOperation(code), service) << code;
}
