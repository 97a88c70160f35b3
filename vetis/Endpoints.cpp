// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/Endpoints.h"

#include <mutex>

namespace vetis {

namespace {

std::mutex g_overrideMutex;
std::string g_endpointOverride;
std::string g_printFormOverride;

std::string withoutTrailingSlash(std::string_view s)
{
    while (!s.empty() && s.back() == '/')
        s.remove_suffix(1);
    return std::string(s);
}

} // namespace

std::string_view servicePath(int service)
{
    switch (static_cast<Service>(service)) {
    case Service::ApplicationManagement:
        return "/platform/services/2.1/ApplicationManagementService";
    case Service::Enterprise:
        return "/platform/services/2.1/EnterpriseService";
    case Service::Ikar:
        return "/platform/services/2.1/IkarService";
    case Service::Dictionary:
        return "/platform/services/2.1/DictionaryService";
    case Service::Product:
        return "/platform/services/2.1/ProductService";
    case Service::Regionalization:
        return "/platform/services/2.1/RegionalizationService";
    case Service::None:
        break;
    }
    return {};
}

std::string endpointBase(int testFlag)
{
    {
        const std::lock_guard lock(g_overrideMutex);
        if (!g_endpointOverride.empty())
            return g_endpointOverride;
    }
    return std::string(testFlag == 1 ? kTestBase : kProductionBase);
}

std::string serviceUrl(int service, int testFlag)
{
    const std::string_view path = servicePath(service);
    if (path.empty())
        return {};
    return endpointBase(testFlag) + std::string(path);
}

std::string printFormBase(int testFlag)
{
    {
        const std::lock_guard lock(g_overrideMutex);
        if (!g_printFormOverride.empty())
            return g_printFormOverride;
        if (!g_endpointOverride.empty())
            return g_endpointOverride + std::string(kPrintFormPath);
    }
    return std::string(testFlag == 1 ? kPrintFormTestBase : kPrintFormProductionBase);
}

void setEndpointBaseOverride(std::string_view base)
{
    const std::lock_guard lock(g_overrideMutex);
    g_endpointOverride = withoutTrailingSlash(base);
}

void setPrintFormBaseOverride(std::string_view base)
{
    const std::lock_guard lock(g_overrideMutex);
    g_printFormOverride = withoutTrailingSlash(base);
}

void clearEndpointOverrides()
{
    const std::lock_guard lock(g_overrideMutex);
    g_endpointOverride.clear();
    g_printFormOverride.clear();
}

} // namespace vetis
