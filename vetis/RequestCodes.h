// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstdint>

// The operation codes of a request record (RequestRecord::VREQUEST): which
// VetIS.API operation one exchange performs. Codes 1..21 are registry requests
// sent straight to their service; 6, 7 and 51..57 are Mercury g2b requests that
// travel inside an application; 99 fetches the result of an application.
// Where a code names two operations, a 36-character GUID in the request sends
// the by-GUID one and anything else the list.
//
// The record field keeps the plain byte of its fixed layout, so a record may
// hold a number that is none of these; the catalogue refuses such a code.
namespace vetis {

enum class RequestCode : std::uint8_t
{
    ActivityLocationList = 1,         // getActivityLocationListRequest: enterprises of a business entity
    CountryByGuidOrAll = 2,           // getCountryByGuidRequest / getAllCountryListRequest
    UnitByGuidOrList = 3,             // getUnitByGuidRequest / getUnitListRequest
    BusinessEntityByGuid = 4,         // getBusinessEntityByGuidRequest
    RussianEnterpriseList = 5,        // getRussianEnterpriseListRequest
    ModifyEnterprise = 6,             // modifyEnterpriseRequest: creates a test enterprise of the entity
    ModifyActivityLocations = 7,      // modifyActivityLocationsRequest: ties an enterprise to an entity
    RegionByGuidOrByCountry = 8,      // getRegionByGuidRequest / getRegionListByCountryRequest
    DistrictListByRegion = 9,         // getDistrictListByRegionRequest
    LocalityListByDistrict = 10,      // getLocalityListByDistrictRequest
    StreetListByLocality = 11,        // getStreetListByLocalityRequest
    LocalityListByRegion = 12,        // getLocalityListByRegionRequest
    DiseaseList = 13,                 // getDiseaseListRequest
    ResearchMethodList = 14,          // getResearchMethodListRequest
    PurposeList = 15,                 // getPurposeListRequest
    ProductByGuidOrByType = 16,       // getProductByGuidRequest / getProductByTypeListRequest
    SubProductByGuidOrByProduct = 17, // getSubProductByGuidRequest / getSubProductByProductListRequest
    BusinessEntityList = 18,          // getBusinessEntityListRequest: search of business entities
    ProductItemList = 19,             // getProductItemListRequest: search of product items
    ProductItemByGuid = 20,           // getProductItemByGuidRequest
    EnterpriseByGuid = 21,            // getEnterpriseByGuidRequest
    VetDocumentList = 51,             // getVetDocumentListRequest: the VSDs of an enterprise
    BusinessEntityUserList = 53,      // getBusinessEntityUserListRequest
    StockEntryList = 54,              // getStockEntryListRequest
    RepayConsignment = 55,            // processIncomingConsignmentRequest accepting the whole VSD
    ReturnConsignment = 56,           // processIncomingConsignmentRequest returning the whole VSD
    VetDocumentByUuid = 57,           // getVetDocumentByUuidRequest: one VSD as Mercury holds it now
    ReceiveApplicationResult = 99,    // receiveApplicationResultRequest: status and result of an application
};

// The number written into the record field and into file names.
constexpr int requestCodeNumber(RequestCode code)
{
    return static_cast<int>(code);
}

} // namespace vetis
