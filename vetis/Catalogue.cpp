// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/Catalogue.h"

#include "vetis/ApplicationEnvelope.h"
#include "vetis/CatalogueParts.h"
#include "vetis/Endpoints.h"
#include "vetis/RequestRecord.h"

namespace vetis {

int serviceOfOperation(int code)
{
    Service service = Service::None;
    switch (code) {
    case 1:
    case 4:
    case 5:
    case 18:
    case 21:
        service = Service::Enterprise;
        break;
    case 2:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
        service = Service::Ikar;
        break;
    case 3:
    case 13:
    case 14:
    case 15:
        service = Service::Dictionary;
        break;
    case 16:
    case 17:
    case 19:
    case 20:
        service = Service::Product;
        break;
    case 6:
    case 7:
    case 51:
    case 53:
    case 54:
    case 55:
    case 56:
    case 99:
        service = Service::ApplicationManagement;
        break;
    default:
        break;
    }
    return static_cast<int>(service);
}

int BuildEnvelope(const RequestRecord& request, const store::VetisRecord& settings,
                  const store::VsdRecord* vsd, std::span<const store::InsideRecord> inside, std::string& out)
{
    const int code = request.VREQUEST;
    const int service = serviceOfOperation(code);
    if (service == 0)
        return 0;
    switch (code) {
    case 6:
    case 7:
    case 51:
    case 53:
    case 54:
        writeApplicationEnvelope(code, request, settings, out);
        break;
    case 55:
    case 56:
        if (vsd == nullptr)
            return 0;
        writeConsignmentEnvelope(code == 56, request, settings, *vsd, inside, out);
        break;
    case 99:
        writeReceiveRequest(out, settings, request);
        break;
    default:
        writeRegistryEnvelope(code, request, out);
        break;
    }
    return service;
}

} // namespace vetis
