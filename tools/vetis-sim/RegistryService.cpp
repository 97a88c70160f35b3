// SPDX-License-Identifier: LicenseRef-Kestrom
#include "RegistryService.h"

#include "Ids.h"

#include <array>
#include <charconv>

namespace vetissim {
namespace {

enum class Mode
{
    List,
    ByGuid,
    Custom
};

struct OperationDef
{
    std::string_view name;
    Service service;
    RefKind kind;
    Mode mode;
    std::string_view listName;
    // For lists filtered by a parent: the request element holding it and the entry's path to compare.
    std::string_view requestPath;
    std::string_view entryPath;
};

constexpr std::array<OperationDef, 33> kOperations{{
    {"getAllCountryListRequest", Service::Ikar, RefKind::Country, Mode::List, "countryList", {}, {}},
    {"getCountryByGuidRequest", Service::Ikar, RefKind::Country, Mode::ByGuid, {}, {}, {}},
    {"getRegionListByCountryRequest", Service::Ikar, RefKind::Region, Mode::List, "regionList",
     "dt:countryGuid", "dt:countryGuid"},
    {"getRegionByGuidRequest", Service::Ikar, RefKind::Region, Mode::ByGuid, {}, {}, {}},
    {"getDistrictListByRegionRequest", Service::Ikar, RefKind::District, Mode::List, "districtList",
     "dt:regionGuid", "dt:regionGuid"},
    {"getDistrictByGuidRequest", Service::Ikar, RefKind::District, Mode::ByGuid, {}, {}, {}},
    {"getLocalityListByRegionRequest", Service::Ikar, RefKind::Locality, Mode::List, "localityList",
     "dt:regionGuid", "dt:regionGuid"},
    {"getLocalityListByDistrictRequest", Service::Ikar, RefKind::Locality, Mode::List, "localityList",
     "dt:districtGuid", "dt:districtGuid"},
    {"getLocalityByGuidRequest", Service::Ikar, RefKind::Locality, Mode::ByGuid, {}, {}, {}},
    {"getStreetListByLocalityRequest", Service::Ikar, RefKind::Street, Mode::List, "streetList",
     "dt:localityGuid", "dt:localityGuid"},
    {"getUnitListRequest", Service::Dictionary, RefKind::Unit, Mode::List, "unitList", {}, {}},
    {"getUnitByGuidRequest", Service::Dictionary, RefKind::Unit, Mode::ByGuid, {}, {}, {}},
    {"getPurposeListRequest", Service::Dictionary, RefKind::Purpose, Mode::List, "purposeList", {}, {}},
    {"getPurposeByGuidRequest", Service::Dictionary, RefKind::Purpose, Mode::ByGuid, {}, {}, {}},
    {"getDiseaseListRequest", Service::Dictionary, RefKind::Disease, Mode::List, "diseaseList", {}, {}},
    {"getDiseaseByGuidRequest", Service::Dictionary, RefKind::Disease, Mode::ByGuid, {}, {}, {}},
    {"getResearchMethodListRequest",
     Service::Dictionary,
     RefKind::ResearchMethod,
     Mode::List,
     "researchMethodList",
     {},
     {}},
    {"getResearchMethodByGuidRequest",
     Service::Dictionary,
     RefKind::ResearchMethod,
     Mode::ByGuid,
     {},
     {},
     {}},
    {"getProductByTypeListRequest", Service::Product, RefKind::Product, Mode::List, "productList",
     "dt:productType", "dt:productType"},
    {"getProductByGuidRequest", Service::Product, RefKind::Product, Mode::ByGuid, {}, {}, {}},
    {"getSubProductByProductListRequest", Service::Product, RefKind::SubProduct, Mode::List, "subProductList",
     "dt:productGuid", "dt:productGuid"},
    {"getSubProductByGuidRequest", Service::Product, RefKind::SubProduct, Mode::ByGuid, {}, {}, {}},
    {"getProductItemListRequest",
     Service::Product,
     RefKind::ProductItem,
     Mode::Custom,
     "productItemList",
     {},
     {}},
    {"getProductItemByGuidRequest", Service::Product, RefKind::ProductItem, Mode::ByGuid, {}, {}, {}},
    {"getBusinessEntityListRequest",
     Service::Enterprise,
     RefKind::BusinessEntity,
     Mode::Custom,
     "businessEntityList",
     {},
     {}},
    {"getBusinessEntityByGuidRequest",
     Service::Enterprise,
     RefKind::BusinessEntity,
     Mode::ByGuid,
     {},
     {},
     {}},
    {"getRussianEnterpriseListRequest",
     Service::Enterprise,
     RefKind::Enterprise,
     Mode::Custom,
     "enterpriseList",
     {},
     {}},
    {"getForeignEnterpriseListRequest",
     Service::Enterprise,
     RefKind::Enterprise,
     Mode::Custom,
     "enterpriseList",
     {},
     {}},
    {"getEnterpriseByGuidRequest", Service::Enterprise, RefKind::Enterprise, Mode::ByGuid, {}, {}, {}},
    {"getActivityLocationListRequest",
     Service::Enterprise,
     RefKind::Enterprise,
     Mode::Custom,
     "activityLocationList",
     {},
     {}},
    // Regionalization is listed by the client's endpoints but never asked; these
    // answer empty lists so that a stray call gets a well-formed answer.
    {"getR13nConditionListRequest",
     Service::Regionalization,
     RefKind::Count,
     Mode::List,
     "r13nConditionList",
     {},
     {}},
    {"getActualR13nRegionStatusListRequest",
     Service::Regionalization,
     RefKind::Count,
     Mode::List,
     "r13nRegionStatusList",
     {},
     {}},
    {"getActualR13nShippingRuleListRequest",
     Service::Regionalization,
     RefKind::Count,
     Mode::List,
     "r13nShippingRuleList",
     {},
     {}},
}};

const OperationDef* findOperation(std::string_view name)
{
    for (const OperationDef& def : kOperations) {
        if (def.name == name)
            return &def;
    }
    return nullptr;
}

std::string responseName(std::string_view requestName)
{
    std::string name(requestName);
    if (name.ends_with("Request"))
        name.resize(name.size() - 7);
    return name + "Response";
}

bool contains(const std::string& haystack, const std::string& needle)
{
    return needle.empty() || haystack.find(needle) != std::string::npos;
}

OpResult incorrectRequest(const std::string& message)
{
    return soapFault(true, "Incorrect request", "incorrectRequestFault", message, "APLM0001");
}

} // namespace

Service serviceFromPath(std::string_view path)
{
    static constexpr std::string_view prefix = "/platform/services/2.1/";
    if (!path.starts_with(prefix))
        return Service::Unknown;
    path.remove_prefix(prefix.size());
    for (int s = 0; s < static_cast<int>(Service::Unknown); ++s) {
        if (servicePath(static_cast<Service>(s)) == path)
            return static_cast<Service>(s);
    }
    return Service::Unknown;
}

std::string_view servicePath(Service service)
{
    switch (service) {
    case Service::ApplicationManagement:
        return "ApplicationManagementService";
    case Service::Enterprise:
        return "EnterpriseService";
    case Service::Ikar:
        return "IkarService";
    case Service::Dictionary:
        return "DictionaryService";
    case Service::Product:
        return "ProductService";
    case Service::Regionalization:
        return "RegionalizationService";
    case Service::Unknown:
        break;
    }
    return {};
}

Service RegistryService::serviceOf(std::string_view operation)
{
    const OperationDef* def = findOperation(operation);
    return def ? def->service : Service::Unknown;
}

bool readListOptions(const XNode& operation, const SimConfig& config, int& count, int& offset,
                     OpResult& fault)
{
    count = config.defaultPageSize;
    offset = 0;
    const XNode* options = operation.child(Ns::Base, "listOptions");
    if (!options)
        return true;
    auto number = [&](const char* name, int& value) {
        const XNode* node = options->child(Ns::Base, name);
        if (!node)
            return true;
        const std::string& text = node->text;
        long long parsed = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
        if (ec != std::errc{} || end != text.data() + text.size() || parsed < 0 || parsed > 2000000000) {
            fault = incorrectRequest("Параметр " + std::string(name) + " имеет неверный формат");
            return false;
        }
        value = static_cast<int>(parsed);
        return true;
    };
    if (!number("count", count) || !number("offset", offset))
        return false;
    if (count > config.maxPageSize)
        count = config.maxPageSize;
    return true;
}

OpResult RegistryService::answer(const XNode& operation) const
{
    const OperationDef* def = findOperation(operation.name);
    if (!def || operation.ns != Ns::RegWs)
        return soapFault(true, "Unexpected wrapper element " + operation.name + " found.", {}, {}, {});
    switch (def->mode) {
    case Mode::ByGuid:
        return byGuid(operation, def->kind);
    case Mode::List: {
        if (def->requestPath.empty())
            return list(operation, def->kind, def->listName, {});
        const std::string wanted = operation.textAt(def->requestPath);
        if (wanted.empty())
            return incorrectRequest("Не указан параметр " + std::string(def->requestPath.substr(3)));
        const std::string entryPath(def->entryPath);
        return list(operation, def->kind, def->listName,
                    [&](const XNode& e) { return e.textAt(entryPath) == wanted; });
    }
    case Mode::Custom:
        break;
    }
    if (operation.name == "getActivityLocationListRequest")
        return activityLocations(operation);
    if (operation.name == "getProductItemListRequest") {
        const std::string type = operation.textAt("dt:productType");
        const std::string product = operation.textAt("dt:product/bs:guid");
        const std::string sub = operation.textAt("dt:subProduct/bs:guid");
        const std::string producer = operation.textAt("dt:businessEntity/bs:guid");
        const std::string gtin = operation.textAt("dt:globalID");
        return list(operation, def->kind, def->listName, [&](const XNode& e) {
            return (type.empty() || e.textAt("dt:productType") == type) &&
                   (product.empty() || e.textAt("dt:product/bs:guid") == product) &&
                   (sub.empty() || e.textAt("dt:subProduct/bs:guid") == sub) &&
                   (producer.empty() || e.textAt("dt:producer/bs:guid") == producer) &&
                   (gtin.empty() || e.textAt("dt:globalID") == gtin);
        });
    }
    if (operation.name == "getBusinessEntityListRequest") {
        const XNode empty;
        const XNode* f = operation.child(Ns::Dict, "businessEntity");
        if (!f)
            f = &empty;
        const std::string name = f->textAt("dt:name");
        const std::string fio = f->textAt("dt:fio");
        const std::string inn = f->textAt("dt:inn");
        const std::string ogrn = f->textAt("dt:ogrn");
        const std::string region = f->textAt("dt:juridicalAddress/dt:region/bs:guid");
        return list(operation, def->kind, def->listName, [&](const XNode& e) {
            return contains(e.textAt("dt:name"), name) && contains(e.textAt("dt:fio"), fio) &&
                   (inn.empty() || e.textAt("dt:inn") == inn) &&
                   (ogrn.empty() || e.textAt("dt:ogrn") == ogrn) &&
                   (region.empty() || e.textAt("dt:juridicalAddress/dt:region/bs:guid") == region);
        });
    }
    // Russian or foreign enterprises, optionally by a part of the name.
    const bool russian = operation.name == "getRussianEnterpriseListRequest";
    const std::string name = operation.textAt("dt:enterprise/dt:name");
    return list(operation, def->kind, def->listName, [&](const XNode& e) {
        const bool isRussian = e.textAt("dt:address/dt:country/bs:guid") == known::kRussiaGuid;
        return isRussian == russian && contains(e.textAt("dt:name"), name);
    });
}

OpResult RegistryService::list(const XNode& operation, RefKind kind, std::string_view listName,
                               const FixtureStore::Filter& filter) const
{
    OpResult result;
    int count = 0;
    int offset = 0;
    if (!readListOptions(operation, m_config, count, offset, result))
        return result;
    const std::vector<const XNode*> all =
        kind == RefKind::Count ? std::vector<const XNode*>{} : m_store.list(kind, filter);
    const int total = static_cast<int>(all.size());
    if (m_config.faultOnOffsetOutOfRange && offset > 0 && offset >= total)
        return soapFault(true, "Offset out of range", "offsetOutOfRangeFault",
                         "Значение offset превышает количество записей", "APLM0002");
    result.body = XNode(Ns::RegWs, responseName(operation.name));
    XNode& listNode = result.body.add(Ns::Dict, std::string(listName));
    const int first = std::min(offset, total);
    const int last = std::min(total, first + count);
    listNode.attr("count", std::to_string(last - first));
    listNode.attr("total", std::to_string(total));
    listNode.attr("offset", std::to_string(offset));
    listNode.attr("hasMore", last < total ? "true" : "false");
    listNode.children.reserve(static_cast<std::size_t>(last - first));
    for (int i = first; i < last; ++i)
        listNode.children.push_back(*all[static_cast<std::size_t>(i)]);
    // The schema names the members of a research method list dt:method, unlike
    // the single dt:researchMethod of a by-GUID answer; the service follows it.
    if (kind == RefKind::ResearchMethod) {
        for (XNode& member : listNode.children)
            member.name = "method";
    }
    return result;
}

OpResult RegistryService::byGuid(const XNode& operation, RefKind kind) const
{
    const std::string guid = operation.textAt("bs:guid");
    if (!isUuid(guid))
        return incorrectRequest("Параметр guid имеет неверный формат");
    const XNode* entry = m_store.byGuid(kind, guid);
    if (!entry)
        return soapFault(true, "Entity not found", "entityNotFoundFault",
                         "Запись с идентификатором " + guid + " не найдена", "APLM0003");
    OpResult result;
    result.body = XNode(Ns::RegWs, responseName(operation.name));
    result.body.children.push_back(*entry);
    return result;
}

OpResult RegistryService::activityLocations(const XNode& operation) const
{
    const std::string owner = operation.textAt("dt:businessEntity/bs:guid");
    if (!isUuid(owner))
        return incorrectRequest("Параметр businessEntity имеет неверный формат");
    OpResult result = list(operation, RefKind::Enterprise, "activityLocationList",
                           [&](const XNode& e) { return e.textAt("dt:owner/bs:guid") == owner; });
    if (result.fault)
        return result;
    // Each place of activity is a business member holding the enterprise.
    XNode& listNode = result.body.children.front();
    for (XNode& enterprise : listNode.children) {
        XNode location(Ns::Dict, "location");
        location.children.push_back(std::move(enterprise));
        enterprise = std::move(location);
    }
    return result;
}

} // namespace vetissim
