// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/ResponseList.h"

// Response lists of the dictionary, product item, business entity and
// enterprise answers. Every one begins with the same five fields.
#define ZANVO_REF_COMMON_FIELDS(X)                                                                           \
    X(GUID, "GUID", Text, 36, "!bs:guid")                                                                    \
    X(UUID, "UUID", Text, 36, "!bs:uuid")                                                                    \
    X(STATUS, "STATUS", I16, 2, "!bs:status")                                                                \
    X(CDATE, "CDATE", ZText, 31, "!bs:createDate")                                                           \
    X(EDATE, "EDATE", ZText, 31, "!bs:updateDate")

// The has-streets flag is an element of the dictionary namespace (dt:hasStreets).
#define ZANVO_COUNTRY_LIST_FIELDS(X)                                                                         \
    ZANVO_REF_COMMON_FIELDS(X)                                                                               \
    X(NAME, "NAME", ZText, 129, "!dt:name")                                                                  \
    X(FULLNAME, "FULLNAME", ZText, 256, "!dt:fullName")                                                      \
    X(ENGLISHNAME, "ENGLISHNAME", ZText, 129, "!dt:englishName")                                             \
    X(CODE, "CODE", Text, 2, "!dt:code")                                                                     \
    X(CODE3, "CODE3", Text, 3, "!dt:code3")

#define ZANVO_REGION_LIST_FIELDS(X)                                                                          \
    ZANVO_REF_COMMON_FIELDS(X)                                                                               \
    X(NAME, "NAME", ZText, 129, "!dt:name")                                                                  \
    X(ENGLISHNAME, "ENGLISHNAME", ZText, 129, "!dt:englishName")                                             \
    X(VIEW, "VIEW", ZText, 256, "!dt:view")                                                                  \
    X(REGIONCODE, "REGIONCODE", ZText, 41, "!dt:regionCode")                                                 \
    X(TYPE, "TYPE", ZText, 121, "!dt:type")                                                                  \
    X(COUNTRYGUID, "COUNTRYGUID", Text, 36, "!dt:countryGuid")                                               \
    X(HASSTREETS, "HASSTREETS", U8, 1, "!dt:hasStreets")

#define ZANVO_DISTRICT_LIST_FIELDS(X)                                                                        \
    ZANVO_REF_COMMON_FIELDS(X)                                                                               \
    X(NAME, "NAME", ZText, 129, "!dt:name")                                                                  \
    X(VIEW, "VIEW", ZText, 256, "!dt:view")                                                                  \
    X(REGIONCODE, "REGIONCODE", ZText, 41, "!dt:regionCode")                                                 \
    X(TYPE, "TYPE", ZText, 121, "!dt:type")                                                                  \
    X(COUNTRYGUID, "COUNTRYGUID", Text, 36, "!dt:countryGuid")                                               \
    X(HASSTREETS, "HASSTREETS", U8, 1, "!dt:hasStreets")                                                     \
    X(REGIONGUID, "REGIONGUID", Text, 36, "!dt:regionGuid")

#define ZANVO_LOCALITY_LIST_FIELDS(X)                                                                        \
    ZANVO_REF_COMMON_FIELDS(X)                                                                               \
    X(NAME, "NAME", ZText, 129, "!dt:name")                                                                  \
    X(VIEW, "VIEW", ZText, 256, "!dt:view")                                                                  \
    X(REGIONCODE, "REGIONCODE", ZText, 41, "!dt:regionCode")                                                 \
    X(TYPE, "TYPE", ZText, 121, "!dt:type")                                                                  \
    X(COUNTRYGUID, "COUNTRYGUID", Text, 36, "!dt:countryGuid")                                               \
    X(HASSTREETS, "HASSTREETS", U8, 1, "!dt:hasStreets")

#define ZANVO_STREET_LIST_FIELDS(X)                                                                          \
    ZANVO_REF_COMMON_FIELDS(X)                                                                               \
    X(NAME, "NAME", ZText, 129, "!dt:name")                                                                  \
    X(VIEW, "VIEW", ZText, 256, "!dt:view")                                                                  \
    X(REGIONCODE, "REGIONCODE", ZText, 41, "!dt:regionCode")                                                 \
    X(TYPE, "TYPE", ZText, 121, "!dt:type")                                                                  \
    X(HASSTREETS, "HASSTREETS", U8, 1, "!dt:hasStreets")

// Purposes, diseases and research methods share one shape.
#define ZANVO_NAMEDREF_LIST_FIELDS(X)                                                                        \
    ZANVO_REF_COMMON_FIELDS(X)                                                                               \
    X(NAME, "NAME", ZText, 121, "!dt:name")

#define ZANVO_UNIT_LIST_FIELDS(X)                                                                            \
    ZANVO_REF_COMMON_FIELDS(X)                                                                               \
    X(NAME, "NAME", ZText, 256, "!dt:name")                                                                  \
    X(FULLNAME, "FULLNAME", ZText, 256, "!dt:fullName")                                                      \
    X(COMMONUNITGUID, "COMMONUNITGUID", Text, 36, "!dt:commonUnitGuid")                                      \
    X(FACTOR, "FACTOR", I32, 4, "!dt:factor")

#define ZANVO_PRODUCT_LIST_FIELDS(X)                                                                         \
    ZANVO_REF_COMMON_FIELDS(X)                                                                               \
    X(NAME, "NAME", ZText, 256, "!dt:name")                                                                  \
    X(CODE, "CODE", ZText, 121, "!dt:code")                                                                  \
    X(PRODUCTTYPE, "PRODUCTTYPE", U8, 1, "!dt:productType")

#define ZANVO_SUBPRODUCT_LIST_FIELDS(X)                                                                      \
    ZANVO_REF_COMMON_FIELDS(X)                                                                               \
    X(NAME, "NAME", ZText, 256, "!dt:name")                                                                  \
    X(CODE, "CODE", ZText, 121, "!dt:code")                                                                  \
    X(PRODUCTGUID, "PRODUCTGUID", Text, 36, "!dt:productGuid")

#define ZANVO_PRODUCTITEM_LIST_FIELDS(X)                                                                     \
    ZANVO_REF_COMMON_FIELDS(X)                                                                               \
    X(NAME, "NAME", ZText, 256, "!dt:name")                                                                  \
    X(GLOBALID, "GLOBALID", ZText, 15, "!dt:globalID")                                                       \
    X(PRODTYPE, "PRODTYPE", U8, 1, "!dt:productType")                                                        \
    X(PRODUCT, "PRODUCT", Text, 36, "!dt:product!bs:guid")                                                   \
    X(SUBPRODUCT, "SUBPRODUCT", Text, 36, "!dt:subProduct!bs:guid")                                          \
    X(CORRGOST, "CORRGOST", U8, 1, "!dt:correspondsToGost")                                                  \
    X(GOST, "GOST", ZText, 121, "!dt:gost")                                                                  \
    X(PRODUCER, "PRODUCER", Text, 36, "!dt:producer!bs:guid")                                                \
    X(TMOWNER, "TMOWNER", Text, 36, "!dt:tmOwner!bs:guid")                                                   \
    X(PACKAGINGGUID, "PACKAGINGGUID", Text, 36, "!dt:packaging!dt:packagingType!bs:guid")                    \
    X(PACKAGINGID, "PACKAGINGID", ZText, 11, "!dt:packaging!dt:packagingType!dt:globalID")                   \
    X(PACKAGINGNAME, "PACKAGINGNAME", ZText, 41, "!dt:packaging!dt:packagingType!dt:name")                   \
    X(QUANTITY, "QUANTITY", U16, 2, "!dt:packaging!dt:quantity")                                             \
    X(VOLUME, "VOLUME", ZText, 41, "!dt:packaging!dt:volume")                                                \
    X(UNITGUID, "UNITGUID", Text, 36, "!dt:packaging!dt:unit!bs:guid")                                       \
    X(UNITNAME, "UNITNAME", ZText, 41, "!dt:packaging!dt:unit!dt:name")

#define ZANVO_ENTITY_LIST_FIELDS(X)                                                                          \
    ZANVO_REF_COMMON_FIELDS(X)                                                                               \
    X(INN, "INN", ZText, 13, "!dt:inn")                                                                      \
    X(KPP, "KPP", ZText, 13, "!dt:kpp")                                                                      \
    X(OGRN, "OGRN", ZText, 21, "!dt:ogrn")                                                                   \
    X(TYPE, "TYPE", U8, 1, "!dt:type")                                                                       \
    X(FULLNAME, "FULLNAME", ZText, 256, "!dt:fullName")                                                      \
    X(NAME, "NAME", ZText, 256, "!dt:name")                                                                  \
    X(FIO, "FIO", ZText, 256, "!dt:fio")                                                                     \
    X(CODE, "CODE", ZText, 21, "!dt:incorporationForm!dt:code")                                              \
    X(COUNTRY, "COUNTRY", Text, 36, "!dt:juridicalAddress!dt:country!bs:guid")                               \
    X(REGION, "REGION", Text, 36, "!dt:juridicalAddress!dt:region!bs:guid")                                  \
    X(LOCALITY, "LOCALITY", Text, 36, "!dt:juridicalAddress!dt:locality!bs:guid")                            \
    X(ADRVIEW, "ADRVIEW", ZText, 256, "!dt:juridicalAddress!dt:addressView")                                 \
    X(ADDINFO, "ADDINFO", ZText, 256, "!dt:juridicalAddress!dt:additionalInfo")

#define ZANVO_ENTERPRISE_LIST_FIELDS(X)                                                                      \
    ZANVO_REF_COMMON_FIELDS(X)                                                                               \
    X(NAME, "NAME", ZText, 256, "!dt:name")                                                                  \
    X(TYPE, "TYPE", U8, 1, "!dt:type")                                                                       \
    X(NUMBER1, "NUMBER1", ZText, 41, "!dt:numberList!dt:enterpriseNumber")                                   \
    X(COUNTRY, "COUNTRY", Text, 36, "!dt:address!dt:country!bs:guid")                                        \
    X(REGION, "REGION", Text, 36, "!dt:address!dt:region!bs:guid")                                           \
    X(LOCALITY, "LOCALITY", Text, 36, "!dt:address!dt:locality!bs:guid")                                     \
    X(ADDRESS, "ADDRESS", ZText, 256, "!dt:address!dt:addressview")                                          \
    X(OWNER, "OWNER", Text, 36, "!dt:owner!bs:guid")                                                         \
    X(REGSTATUS, "REGSTATUS", ZText, 21, "!dt:registryStatus")

// The enterprises of one business entity: each place of activity
// (dt:location) holds its enterprise, whose fields are named as in the
// enterprise list.
#define ZANVO_ACTIVITY_LOCATION_LIST_FIELDS(X)                                                               \
    X(GUID, "GUID", Text, 36, "!dt:enterprise!bs:guid")                                                      \
    X(UUID, "UUID", Text, 36, "!dt:enterprise!bs:uuid")                                                      \
    X(STATUS, "STATUS", I16, 2, "!dt:enterprise!bs:status")                                                  \
    X(CDATE, "CDATE", ZText, 31, "!dt:enterprise!bs:createDate")                                             \
    X(EDATE, "EDATE", ZText, 31, "!dt:enterprise!bs:updateDate")                                             \
    X(NAME, "NAME", ZText, 256, "!dt:enterprise!dt:name")                                                    \
    X(TYPE, "TYPE", U8, 1, "!dt:enterprise!dt:type")                                                         \
    X(NUMBER1, "NUMBER1", ZText, 41, "!dt:enterprise!dt:numberList!dt:enterpriseNumber")                     \
    X(COUNTRY, "COUNTRY", Text, 36, "!dt:enterprise!dt:address!dt:country!bs:guid")                          \
    X(REGION, "REGION", Text, 36, "!dt:enterprise!dt:address!dt:region!bs:guid")                             \
    X(LOCALITY, "LOCALITY", Text, 36, "!dt:enterprise!dt:address!dt:locality!bs:guid")                       \
    X(ADDRESS, "ADDRESS", ZText, 256, "!dt:enterprise!dt:address!dt:addressView")                            \
    X(OWNER, "OWNER", Text, 36, "!dt:enterprise!dt:owner!bs:guid")                                           \
    X(REGSTATUS, "REGSTATUS", ZText, 21, "!dt:enterprise!dt:registryStatus")

namespace responses {

#pragma pack(push, 1)
struct CountryRow
{
    ZANVO_COUNTRY_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct RegionRow
{
    ZANVO_REGION_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct DistrictRow
{
    ZANVO_DISTRICT_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct LocalityRow
{
    ZANVO_LOCALITY_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct StreetRow
{
    ZANVO_STREET_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
// layout() is the purpose list; diseases and research methods have their own.
struct NamedRefRow
{
    ZANVO_NAMEDREF_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
    static const ListLayout& purposeLayout() { return layout(); }
    static const ListLayout& diseaseLayout();
    static const ListLayout& researchMethodLayout();
};
struct UnitRow
{
    ZANVO_UNIT_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct ProductRow
{
    ZANVO_PRODUCT_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct SubProductRow
{
    ZANVO_SUBPRODUCT_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct ProductItemRow
{
    ZANVO_PRODUCTITEM_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct BusinessEntityRow
{
    ZANVO_ENTITY_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct EnterpriseRow
{
    ZANVO_ENTERPRISE_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct ActivityLocationRow
{
    ZANVO_ACTIVITY_LOCATION_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
#pragma pack(pop)

} // namespace responses
