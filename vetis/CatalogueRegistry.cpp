// SPDX-License-Identifier: LicenseRef-Kestrom
// The registry operations (codes 1..21 of RequestCode): dictionaries, the address registry
// (Ikar), products, business entities and enterprises. Sent directly to their
// services, not wrapped in an application.
#include "store/RecordText.h"
#include "vetis/CatalogueParts.h"
#include "vetis/EnvelopeWriter.h"
#include "vetis/RequestRecord.h"

namespace vetis {

namespace {

// The Mercury GUID of the Russian Federation.
constexpr std::string_view kRussiaGuid = "74a3cbb1-56fa-94f3-ab3f-e8db4940d96b";

std::string_view guidOf(const RequestRecord& r)
{
    return store::textOf(r.GUID);
}

bool hasFullGuid(const RequestRecord& r)
{
    return guidOf(r).size() == 36;
}

// The operations of two elements: one element on one line, by GUID or as a list.
void writeSingleLine(RequestCode code, const RequestRecord& r, std::string& out)
{
    EnvelopeWriter w(out, LineStyle::Single);
    const bool byGuid = hasFullGuid(r);
    const std::string_view p1 = store::ztextOf(r.P1);
    switch (code) {
    case RequestCode::CountryByGuidOrAll:
        w.begin(EnvelopeHead::Registry, {"base"});
        if (byGuid) {
            w.open("ws:getCountryByGuidRequest");
            w.leafAsIs("base:guid", guidOf(r));
            w.close("ws:getCountryByGuidRequest");
        } else {
            w.open("ws:getAllCountryListRequest");
            w.listOptions("base", r.COUNT, r.OFFSET);
            w.close("ws:getAllCountryListRequest");
        }
        break;
    case RequestCode::UnitByGuidOrList:
        w.begin(EnvelopeHead::Registry, {"bs"});
        if (byGuid) {
            w.open("ws:getUnitByGuidRequest");
            w.leafAsIs("bs:guid", guidOf(r));
            w.close("ws:getUnitByGuidRequest");
        } else {
            w.open("ws:getUnitListRequest");
            w.listOptions("bs", r.COUNT, r.OFFSET);
            w.close("ws:getUnitListRequest");
        }
        break;
    case RequestCode::RegionByGuidOrByCountry:
        w.begin(EnvelopeHead::Registry, {"base", "ikar"});
        if (byGuid) {
            w.open("ws:getRegionByGuidRequest");
            w.leafAsIs("base:guid", guidOf(r));
            w.close("ws:getRegionByGuidRequest");
        } else {
            w.open("ws:getRegionListByCountryRequest");
            w.listOptions("base", r.COUNT, r.OFFSET);
            w.leafAsIs("ikar:countryGuid", p1);
            w.close("ws:getRegionListByCountryRequest");
        }
        break;
    case RequestCode::ProductByGuidOrByType:
        w.begin(EnvelopeHead::Registry, {"bs", "dt"});
        if (byGuid) {
            w.open("ws:getProductByGuidRequest");
            w.leafAsIs("bs:guid", guidOf(r));
            w.close("ws:getProductByGuidRequest");
        } else {
            w.open("ws:getProductByTypeListRequest");
            w.listOptions("bs", r.COUNT, r.OFFSET);
            w.leafAsIs("dt:productType", p1);
            w.close("ws:getProductByTypeListRequest");
        }
        break;
    case RequestCode::SubProductByGuidOrByProduct:
        w.begin(EnvelopeHead::Registry, {"bs", "dt"});
        if (byGuid) {
            w.open("ws:getSubProductByGuidRequest");
            w.leafAsIs("bs:guid", guidOf(r));
            w.close("ws:getSubProductByGuidRequest");
        } else {
            w.open("ws:getSubProductByProductListRequest");
            w.listOptions("bs", r.COUNT, r.OFFSET);
            w.leafAsIs("dt:productGuid", p1);
            w.close("ws:getSubProductByProductListRequest");
        }
        break;
    default:
        return;
    }
    w.end();
}

// The lists of the address registry under one parent (P1).
void writeIkarList(std::string_view element, std::string_view parentTag, const RequestRecord& r,
                   EnvelopeWriter& w)
{
    w.begin(EnvelopeHead::Registry, {"base", "ikar"});
    w.open(element);
    w.listOptions("base", r.COUNT, r.OFFSET);
    w.leafAsIs(parentTag, store::ztextOf(r.P1));
    w.close(element);
}

// The dictionary lists and the Russian enterprises: a plain list.
void writeList(std::string_view element, std::initializer_list<std::string_view> prefixes,
               const RequestRecord& r, EnvelopeWriter& w)
{
    w.begin(EnvelopeHead::Registry, prefixes);
    w.open(element);
    w.listOptions("bs", r.COUNT, r.OFFSET);
    w.close(element);
}

// The search of business entities; every filter is optional.
void writeBusinessEntitySearch(const RequestRecord& r, EnvelopeWriter& w)
{
    w.begin(EnvelopeHead::Registry, {"bs", "dt"});
    w.open("ws:getBusinessEntityListRequest");
    w.listOptions("bs", r.COUNT, r.OFFSET);
    w.open("dt:businessEntity");
    const std::pair<std::string_view, std::string_view> filters[] = {
        {"dt:name", store::ztextOf(r.P3)},
        {"dt:fio", store::ztextOf(r.P4)},
        {"dt:inn", store::ztextOf(r.P2)},
        {"dt:ogrn", store::ztextOf(r.P1)},
    };
    for (const auto& [tag, value] : filters)
        if (!store::isBlank(value))
            w.leafEsc(tag, value);
    if (!store::isBlank(guidOf(r))) {
        w.open("dt:juridicalAddress");
        w.guidRef("dt:country", "bs:guid", kRussiaGuid);
        w.guidRef("dt:region", "bs:guid", guidOf(r));
        w.close("dt:juridicalAddress");
    }
    w.close("dt:businessEntity");
    w.close("ws:getBusinessEntityListRequest");
}

// One filter of the product item search written on one line: <c><bs:guid>v</bs:guid></c>.
void oneLineGuidRef(EnvelopeWriter& w, std::string_view container, std::string_view value)
{
    const bool breaks = w.setBreaks(false);
    w.guidRef(container, "bs:guid", value);
    w.setBreaks(breaks);
    if (breaks)
        w.lineBreak();
}

// The search of product items.
void writeProductItemSearch(const RequestRecord& r, EnvelopeWriter& w)
{
    w.begin(EnvelopeHead::Registry, {"bs", "dt"});
    w.open("ws:getProductItemListRequest");
    w.listOptions("bs", r.COUNT, r.OFFSET);
    const std::string_view p1 = store::ztextOf(r.P1), p2 = store::ztextOf(r.P2), p3 = store::ztextOf(r.P3),
                           p4 = store::ztextOf(r.P4), p5 = store::ztextOf(r.P5), p6 = store::ztextOf(r.P6),
                           p7 = store::ztextOf(r.P7);
    if (!store::isBlank(p1))
        w.leafAsIs("dt:productType", p1);
    if (!store::isBlank(p2))
        oneLineGuidRef(w, "dt:product", p2);
    if (!store::isBlank(p3))
        oneLineGuidRef(w, "dt:subProduct", p3);
    if (!store::isBlank(p5))
        oneLineGuidRef(w, "dt:businessEntity", p5);
    if (!store::isBlank(p6) || !store::isBlank(p7)) {
        w.open("dt:producer");
        if (!store::isBlank(p6))
            oneLineGuidRef(w, "dt:businessEntity", p6);
        if (!store::isBlank(p7))
            oneLineGuidRef(w, "dt:enterprise", p7);
        w.close("dt:producer");
    }
    if (!store::isBlank(p4))
        w.leafEsc("dt:globalID", p4);
    w.close("ws:getProductItemListRequest");
}

// One business entity, product item or enterprise by its GUID.
void writeByGuid(EnvelopeHead head, std::string_view element, const RequestRecord& r, EnvelopeWriter& w)
{
    if (head == EnvelopeHead::Registry)
        w.begin(head, {"bs"});
    else
        w.begin(head);
    w.open(element);
    w.leafAsIs("bs:guid", guidOf(r));
    w.close(element);
}

} // namespace

void writeRegistryEnvelope(RequestCode code, const RequestRecord& r, std::string& out)
{
    switch (code) {
    case RequestCode::CountryByGuidOrAll:
    case RequestCode::UnitByGuidOrList:
    case RequestCode::RegionByGuidOrByCountry:
    case RequestCode::ProductByGuidOrByType:
    case RequestCode::SubProductByGuidOrByProduct:
        writeSingleLine(code, r, out);
        return;
    default:
        break;
    }
    EnvelopeWriter w(out, LineStyle::Multi);
    switch (code) {
    case RequestCode::ActivityLocationList:
        w.begin(EnvelopeHead::Registry, {"bs", "dt"});
        w.open("ws:getActivityLocationListRequest");
        w.listOptions("bs", r.COUNT, r.OFFSET);
        w.guidRef("dt:businessEntity", "bs:guid", guidOf(r));
        w.close("ws:getActivityLocationListRequest");
        break;
    case RequestCode::BusinessEntityByGuid:
        writeByGuid(EnvelopeHead::RegistryBsFirst, "ws:getBusinessEntityByGuidRequest", r, w);
        break;
    case RequestCode::RussianEnterpriseList:
        writeList("ws:getRussianEnterpriseListRequest", {"bs", "dt"}, r, w);
        break;
    case RequestCode::DistrictListByRegion:
        writeIkarList("ws:getDistrictListByRegionRequest", "ikar:regionGuid", r, w);
        break;
    case RequestCode::LocalityListByDistrict:
        writeIkarList("ws:getLocalityListByDistrictRequest", "ikar:districtGuid", r, w);
        break;
    case RequestCode::StreetListByLocality:
        writeIkarList("ws:getStreetListByLocalityRequest", "ikar:localityGuid", r, w);
        break;
    case RequestCode::LocalityListByRegion:
        writeIkarList("ws:getLocalityListByRegionRequest", "ikar:regionGuid", r, w);
        break;
    case RequestCode::DiseaseList:
        writeList("ws:getDiseaseListRequest", {"bs"}, r, w);
        break;
    case RequestCode::ResearchMethodList:
        writeList("ws:getResearchMethodListRequest", {"bs"}, r, w);
        break;
    case RequestCode::PurposeList:
        writeList("ws:getPurposeListRequest", {"bs"}, r, w);
        break;
    case RequestCode::BusinessEntityList:
        writeBusinessEntitySearch(r, w);
        break;
    case RequestCode::ProductItemList:
        writeProductItemSearch(r, w);
        break;
    case RequestCode::ProductItemByGuid:
        writeByGuid(EnvelopeHead::Registry, "ws:getProductItemByGuidRequest", r, w);
        break;
    case RequestCode::EnterpriseByGuid:
        writeByGuid(EnvelopeHead::Registry, "ws:getEnterpriseByGuidRequest", r, w);
        break;
    default:
        return;
    }
    w.end();
}

} // namespace vetis
