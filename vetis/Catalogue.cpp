// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/Catalogue.h"

#include "vetis/ApplicationEnvelope.h"
#include "vetis/CatalogueParts.h"
#include "vetis/Endpoints.h"
#include "vetis/RequestRecord.h"

namespace vetis {

int serviceOfOperation(RequestCode code)
{
    Service service = Service::None;
    switch (code) {
    case RequestCode::ActivityLocationList:
    case RequestCode::BusinessEntityByGuid:
    case RequestCode::RussianEnterpriseList:
    case RequestCode::BusinessEntityList:
    case RequestCode::EnterpriseByGuid:
        service = Service::Enterprise;
        break;
    case RequestCode::CountryByGuidOrAll:
    case RequestCode::RegionByGuidOrByCountry:
    case RequestCode::DistrictListByRegion:
    case RequestCode::LocalityListByDistrict:
    case RequestCode::StreetListByLocality:
    case RequestCode::LocalityListByRegion:
        service = Service::Ikar;
        break;
    case RequestCode::UnitByGuidOrList:
    case RequestCode::DiseaseList:
    case RequestCode::ResearchMethodList:
    case RequestCode::PurposeList:
        service = Service::Dictionary;
        break;
    case RequestCode::ProductByGuidOrByType:
    case RequestCode::SubProductByGuidOrByProduct:
    case RequestCode::ProductItemList:
    case RequestCode::ProductItemByGuid:
        service = Service::Product;
        break;
    case RequestCode::ModifyEnterprise:
    case RequestCode::ModifyActivityLocations:
    case RequestCode::VetDocumentList:
    case RequestCode::BusinessEntityUserList:
    case RequestCode::StockEntryList:
    case RequestCode::RepayConsignment:
    case RequestCode::ReturnConsignment:
    case RequestCode::VetDocumentByUuid:
    case RequestCode::ReceiveApplicationResult:
        service = Service::ApplicationManagement;
        break;
    default:
        // A record may hold any byte; it is not an operation.
        break;
    }
    return static_cast<int>(service);
}

int BuildEnvelope(const RequestRecord& request, const store::VetisRecord& settings,
                  const store::VsdRecord* vsd, std::span<const store::InsideRecord> inside, std::string& out)
{
    const RequestCode code = request.requestCode();
    const int service = serviceOfOperation(code);
    if (service == 0)
        return 0;
    switch (code) {
    case RequestCode::ModifyEnterprise:
    case RequestCode::ModifyActivityLocations:
    case RequestCode::VetDocumentList:
    case RequestCode::BusinessEntityUserList:
    case RequestCode::StockEntryList:
    case RequestCode::VetDocumentByUuid:
        writeApplicationEnvelope(code, request, settings, out);
        break;
    case RequestCode::RepayConsignment:
    case RequestCode::ReturnConsignment:
        if (vsd == nullptr)
            return 0;
        writeConsignmentEnvelope(code == RequestCode::ReturnConsignment, request, settings, *vsd, inside,
                                 out);
        break;
    case RequestCode::ReceiveApplicationResult:
        writeReceiveRequest(out, settings, request);
        break;
    default:
        writeRegistryEnvelope(code, request, out);
        break;
    }
    return service;
}

} // namespace vetis
