// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/ReferenceLists.h"

namespace responses {

namespace {
#define ZANVO_REF_TABLE(Record, FIELDS, array)                                                               \
    constexpr ResponseField array[] = {FIELDS(ZANVO_REF_X_##Record)};

#define ZANVO_REF_X_CountryRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(CountryRow, m, n, t, s, p)
#define ZANVO_REF_X_RegionRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(RegionRow, m, n, t, s, p)
#define ZANVO_REF_X_DistrictRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(DistrictRow, m, n, t, s, p)
#define ZANVO_REF_X_LocalityRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(LocalityRow, m, n, t, s, p)
#define ZANVO_REF_X_StreetRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(StreetRow, m, n, t, s, p)
#define ZANVO_REF_X_NamedRefRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(NamedRefRow, m, n, t, s, p)
#define ZANVO_REF_X_UnitRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(UnitRow, m, n, t, s, p)
#define ZANVO_REF_X_ProductRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(ProductRow, m, n, t, s, p)
#define ZANVO_REF_X_SubProductRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(SubProductRow, m, n, t, s, p)
#define ZANVO_REF_X_ProductItemRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(ProductItemRow, m, n, t, s, p)
#define ZANVO_REF_X_BusinessEntityRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(BusinessEntityRow, m, n, t, s, p)
#define ZANVO_REF_X_EnterpriseRow(m, n, t, s, p) ZANVO_RESPONSE_FIELD(EnterpriseRow, m, n, t, s, p)
#define ZANVO_REF_X_ActivityLocationRow(m, n, t, s, p)                                                       \
    ZANVO_RESPONSE_FIELD(ActivityLocationRow, m, n, t, s, p)

ZANVO_REF_TABLE(CountryRow, ZANVO_COUNTRY_LIST_FIELDS, kCountryFields)
ZANVO_REF_TABLE(RegionRow, ZANVO_REGION_LIST_FIELDS, kRegionFields)
ZANVO_REF_TABLE(DistrictRow, ZANVO_DISTRICT_LIST_FIELDS, kDistrictFields)
ZANVO_REF_TABLE(LocalityRow, ZANVO_LOCALITY_LIST_FIELDS, kLocalityFields)
ZANVO_REF_TABLE(StreetRow, ZANVO_STREET_LIST_FIELDS, kStreetFields)
ZANVO_REF_TABLE(NamedRefRow, ZANVO_NAMEDREF_LIST_FIELDS, kNamedRefFields)
ZANVO_REF_TABLE(UnitRow, ZANVO_UNIT_LIST_FIELDS, kUnitFields)
ZANVO_REF_TABLE(ProductRow, ZANVO_PRODUCT_LIST_FIELDS, kProductFields)
ZANVO_REF_TABLE(SubProductRow, ZANVO_SUBPRODUCT_LIST_FIELDS, kSubProductFields)
ZANVO_REF_TABLE(ProductItemRow, ZANVO_PRODUCTITEM_LIST_FIELDS, kProductItemFields)
ZANVO_REF_TABLE(BusinessEntityRow, ZANVO_ENTITY_LIST_FIELDS, kEntityFields)
ZANVO_REF_TABLE(EnterpriseRow, ZANVO_ENTERPRISE_LIST_FIELDS, kEnterpriseFields)
ZANVO_REF_TABLE(ActivityLocationRow, ZANVO_ACTIVITY_LOCATION_LIST_FIELDS, kActivityLocationFields)

static_assert(std::size(kCountryFields) == 10);
static_assert(std::size(kRegionFields) == 12);
static_assert(std::size(kDistrictFields) == 12);
static_assert(std::size(kLocalityFields) == 11);
static_assert(std::size(kStreetFields) == 10);
static_assert(std::size(kNamedRefFields) == 6);
static_assert(std::size(kUnitFields) == 9);
static_assert(std::size(kProductFields) == 8);
static_assert(std::size(kSubProductFields) == 8);
static_assert(std::size(kProductItemFields) == 21);
static_assert(std::size(kEntityFields) == 18);
static_assert(std::size(kEnterpriseFields) == 14);
static_assert(std::size(kActivityLocationFields) == std::size(kEnterpriseFields));
} // namespace

#define ZANVO_DEFINE_REF_LAYOUT(function, Record, listName, rowTag, array)                                   \
    const ListLayout& function()                                                                             \
    {                                                                                                        \
        static constexpr ListLayout def{listName, rowTag, sizeof(Record), array};                            \
        return def;                                                                                          \
    }

ZANVO_DEFINE_REF_LAYOUT(CountryRow::layout, CountryRow, "country", "dt:country", kCountryFields)
ZANVO_DEFINE_REF_LAYOUT(RegionRow::layout, RegionRow, "region", "dt:region", kRegionFields)
ZANVO_DEFINE_REF_LAYOUT(DistrictRow::layout, DistrictRow, "district", "dt:district", kDistrictFields)
ZANVO_DEFINE_REF_LAYOUT(LocalityRow::layout, LocalityRow, "locality", "dt:locality", kLocalityFields)
ZANVO_DEFINE_REF_LAYOUT(StreetRow::layout, StreetRow, "street", "dt:street", kStreetFields)
ZANVO_DEFINE_REF_LAYOUT(NamedRefRow::layout, NamedRefRow, "purpose", "dt:purpose", kNamedRefFields)
ZANVO_DEFINE_REF_LAYOUT(NamedRefRow::diseaseLayout, NamedRefRow, "disease", "dt:disease", kNamedRefFields)
// The service lists research methods as dt:method elements of a dt:researchMethodList.
ZANVO_DEFINE_REF_LAYOUT(NamedRefRow::researchMethodLayout, NamedRefRow, "researchMethod", "dt:method",
                        kNamedRefFields)
ZANVO_DEFINE_REF_LAYOUT(UnitRow::layout, UnitRow, "unit", "dt:unit", kUnitFields)
ZANVO_DEFINE_REF_LAYOUT(ProductRow::layout, ProductRow, "product", "dt:product", kProductFields)
ZANVO_DEFINE_REF_LAYOUT(SubProductRow::layout, SubProductRow, "subProduct", "dt:subProduct",
                        kSubProductFields)
ZANVO_DEFINE_REF_LAYOUT(ProductItemRow::layout, ProductItemRow, "productItem", "dt:productItem",
                        kProductItemFields)
ZANVO_DEFINE_REF_LAYOUT(BusinessEntityRow::layout, BusinessEntityRow, "businessEntity", "dt:businessEntity",
                        kEntityFields)
ZANVO_DEFINE_REF_LAYOUT(EnterpriseRow::layout, EnterpriseRow, "enterprise", "dt:enterprise",
                        kEnterpriseFields)
ZANVO_DEFINE_REF_LAYOUT(ActivityLocationRow::layout, ActivityLocationRow, "activityLocation", "dt:location",
                        kActivityLocationFields)

} // namespace responses
