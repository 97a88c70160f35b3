// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/ResponseList.h"

// The nine lists of a VSD's repeating contents, read by the VSD walker from the
// same answer as the VSD list. Field 1 of each is the UUID of the VSD the entry
// belongs to. Paths that begin with "#01" stand for "!vd:certifiedConsignment".

// 1. Referenced documents.
#define ZANVO_VSD_REFDOC "!vd:referencedDocument!"
#define ZANVO_REFDOC_LIST_FIELDS(X)                                                                          \
    X(UUID, "UUID", Text, 36, "!bs:uuid")                                                                    \
    X(SERIES, "SERIES", ZText, 41, ZANVO_VSD_REFDOC "vd:issueSeries")                                        \
    X(NUMBER, "NUMBER", ZText, 41, ZANVO_VSD_REFDOC "vd:issueNumber")                                        \
    X(DATE, "DATE", ZText, 31, ZANVO_VSD_REFDOC "vd:issueDate")                                              \
    X(TYPE, "TYPE", U8, 1, ZANVO_VSD_REFDOC "vd:type")                                                       \
    X(RELTYPE, "RELTYPE", U8, 1, ZANVO_VSD_REFDOC "vd:relationshipType")

// 2. Batch identifiers.
#define ZANVO_BATCHID_LIST_FIELDS(X)                                                                         \
    X(UUID, "UUID", Text, 36, "!bs:uuid")                                                                    \
    X(BATCHID, "BATCHID", ZText, 101, "!vd:certifiedConsignment!vd:batch!vd:batchID")

// 3. Producers.
#define ZANVO_VSD_PRODUCER "!vd:certifiedConsignment!vd:batch!vd:origin!vd:producer!"
#define ZANVO_PRODUCER_LIST_FIELDS(X)                                                                        \
    X(UUID, "UUID", Text, 36, "!bs:uuid")                                                                    \
    X(PRODUCER_UUID, "PRODUCER_UUID", Text, 36, ZANVO_VSD_PRODUCER "dt:enterprise!bs:uuid")                  \
    X(PRODUCER_GUID, "PRODUCER_GUID", Text, 36, ZANVO_VSD_PRODUCER "dt:enterprise!bs:guid")                  \
    X(PRODUCER_NAME, "PRODUCER_NAME", Text, 256, ZANVO_VSD_PRODUCER "dt:enterprise!dt:name")                 \
    X(PRODUCER_ROLE, "PRODUCER_ROLE", ZText, 21, ZANVO_VSD_PRODUCER "dt:role")

// 4. Packages (read with attributes: the marking class).
#define ZANVO_VSD_PACKAGE "!vd:certifiedConsignment!vd:batch!vd:packageList!dt:package!"
#define ZANVO_PACKAGE_LIST_FIELDS(X)                                                                         \
    X(UUID, "UUID", Text, 36, "!bs:uuid")                                                                    \
    X(PACKAGELEVEL, "PACKAGELEVEL", U8, 1, ZANVO_VSD_PACKAGE "dt:level")                                     \
    X(PACKINGTYPEGUID, "PACKINGTYPEGUID", Text, 36, ZANVO_VSD_PACKAGE "dt:packingType!bs:guid")              \
    X(PACKINGGLOBALID, "PACKINGGLOBALID", Text, 2, ZANVO_VSD_PACKAGE "dt:packingType!dt:globalID")           \
    X(PACKAGENAME, "PACKAGENAME", ZText, 251, ZANVO_VSD_PACKAGE "dt:packingType!dt:name")                    \
    X(PACKAGEQUANTITY, "PACKAGEQUANTITY", Text, 20, ZANVO_VSD_PACKAGE "dt:quantity")                         \
    X(PACKAGEMARKS, "PACKAGEMARKS", ZText, 251, ZANVO_VSD_PACKAGE "dt:productMarks")                         \
    X(PACKAGEMARCLASS, "PACKAGEMARCLASS", ZText, 41, ZANVO_VSD_PACKAGE "dt:productMarks/Class")

// 5. Regionalization conditions.
#define ZANVO_VSD_CONDITION "!vd:authentication!vd:r13nClause!vd:condition!"
#define ZANVO_CONDITION_LIST_FIELDS(X)                                                                       \
    X(UUID, "UUID", Text, 36, "!bs:uuid")                                                                    \
    X(R13_UUID, "R13_UUID", Text, 36, ZANVO_VSD_CONDITION "bs:uuid")                                         \
    X(GUID, "GUID", Text, 36, ZANVO_VSD_CONDITION "bs:guid")                                                 \
    X(TEXT, "TEXT", ZText, 251, ZANVO_VSD_CONDITION "dt:text")

// 6. Laboratory research.
#define ZANVO_VSD_LAB "!vd:authentication!vd:laboratoryResearch!"
#define ZANVO_LAB_LIST_FIELDS(X)                                                                             \
    X(UUID, "UUID", Text, 36, "!bs:uuid")                                                                    \
    X(ID, "ID", ZText, 101, ZANVO_VSD_LAB "vd:ID")                                                           \
    X(TYPE, "TYPE", Text, 3, ZANVO_VSD_LAB "vd:type")                                                        \
    X(ACTUALDATETIME, "ACTUALDATETIME", ZText, 31, ZANVO_VSD_LAB "vd:actualDateTime")                        \
    X(OPERATORNAME, "OPERATORNAME", ZText, 251, ZANVO_VSD_LAB "vd:operator!dt:name")                         \
    X(REFDOCNUMBER, "REFDOCNUMBER", ZText, 41, ZANVO_VSD_LAB "vd:referencedDocument!vd:issueNumber")         \
    X(REFDOCDATE, "REFDOCDATE", ZText, 11, ZANVO_VSD_LAB "vd:referencedDocument!vd:issueDate")               \
    X(REFDOCTYPE, "REFDOCTYPE", U8, 1, ZANVO_VSD_LAB "vd:referencedDocument!vd:type")                        \
    X(NOTES, "NOTES", ZText, 251, ZANVO_VSD_LAB "vd:notes")                                                  \
    X(EXPERTISEID, "EXPERTISEID", ZText, 41, ZANVO_VSD_LAB "vd:expertiseID")                                 \
    X(INDICATORNAME, "INDICATORNAME", ZText, 251, ZANVO_VSD_LAB "vd:indicator!dt:name")                      \
    X(DISEASENAME, "DISEASENAME", ZText, 251, ZANVO_VSD_LAB "vd:disease!dt:name")                            \
    X(METHODNAME, "METHODNAME", ZText, 251, ZANVO_VSD_LAB "vd:method!dt:name")                               \
    X(RESULT, "RESULT", ZText, 41, ZANVO_VSD_LAB "vd:result")                                                \
    X(CONCLUSION, "CONCLUSION", ZText, 251, ZANVO_VSD_LAB "vd:conclusion")

// 7. Status changes. The answer writes vd:actualDateTime before vd:reason, so
// ACTUALDATETIME is declared before REASON: in the other order a status change
// with a reason would be split into two entries.
#define ZANVO_VSD_STATUS "!vd:statusChange!"
#define ZANVO_VSD_PERSON "!vd:statusChange!vd:specifiedPerson!"
#define ZANVO_VSD_ORGADDR "!vd:statusChange!vd:specifiedPerson!vd:organization!dt:address!"
#define ZANVO_STATUS_LIST_FIELDS(X)                                                                          \
    X(UUID, "UUID", Text, 36, "!bs:uuid")                                                                    \
    X(STATUS, "STATUS", ZText, 11, ZANVO_VSD_STATUS "vd:status")                                             \
    X(PERSONFIO, "PERSONFIO", ZText, 121, ZANVO_VSD_PERSON "vd:fio")                                         \
    X(PERSONPHONE, "PERSONPHONE", ZText, 41, ZANVO_VSD_PERSON "vd:workPhone")                                \
    X(PERSONEMAIL, "PERSONEMAIL", ZText, 41, ZANVO_VSD_PERSON "vd:workEmail")                                \
    X(ORGANNAME, "ORGANNAME", ZText, 251, ZANVO_VSD_PERSON "vd:organization!dt:name")                        \
    X(COUNTRYGUID, "COUNTRYGUID", Text, 36, ZANVO_VSD_ORGADDR "dt:country!bs:guid")                          \
    X(COUNTRYNAME, "COUNTRYNAME", ZText, 121, ZANVO_VSD_ORGADDR "dt:country!dt:name")                        \
    X(REGIONGUID, "REGIONGUID", Text, 36, ZANVO_VSD_ORGADDR "dt:region!bs:guid")                             \
    X(REGIONNAME, "REGIONNAME", ZText, 121, ZANVO_VSD_ORGADDR "dt:region!dt:name")                           \
    X(ADDRESSVIEW, "ADDRESSVIEW", ZText, 251, ZANVO_VSD_ORGADDR "dt:addressView")                            \
    X(PERSONPOST, "PERSONPOST", ZText, 121, ZANVO_VSD_PERSON "vd:post")                                      \
    X(ACTUALDATETIME, "ACTUALDATETIME", ZText, 31, ZANVO_VSD_STATUS "vd:actualDateTime")                     \
    X(REASON, "REASON", ZText, 251, ZANVO_VSD_STATUS "vd:reason")

// 8. Route points.
#define ZANVO_VSD_ROUTE "!vd:certifiedConsignment!vd:shipmentRoute!vd:routePoint!"
#define ZANVO_VSD_ROUTE01 "#01!vd:shipmentRoute!vd:routePoint!"
#define ZANVO_VSD_ROUTEADDR "#01!vd:shipmentRoute!vd:routePoint!vd:location!dt:address!"
#define ZANVO_VSD_NEXTNUM "#01!vd:shipmentRoute!vd:routePoint!vd:nextTransport!vd:transportNumber!"
#define ZANVO_ROUTE_LIST_FIELDS(X)                                                                           \
    X(UUID, "UUID", Text, 36, "!bs:uuid")                                                                    \
    X(ROUTEPOINT, "ROUTEPOINT", Text, 36, ZANVO_VSD_ROUTE "bs:uuid")                                         \
    X(SQNID, "SQNID", U16, 2, ZANVO_VSD_ROUTE "vd:sqnId")                                                    \
    X(LOC_NAME, "LOC_NAME", ZText, 251, ZANVO_VSD_ROUTE01 "vd:location!dt:name")                             \
    X(LOC_COUNTRY, "LOC_COUNTRY", Text, 36, ZANVO_VSD_ROUTEADDR "dt:country!bs:guid")                        \
    X(LOC_REGION, "LOC_REGION", Text, 36, ZANVO_VSD_ROUTEADDR "dt:region!bs:guid")                           \
    X(LOC_DISTRICT, "LOC_DISTRICT", Text, 36, ZANVO_VSD_ROUTEADDR "dt:district!bs:guid")                     \
    X(LOC_LOCALITY, "LOC_LOCALITY", Text, 36, ZANVO_VSD_ROUTEADDR "dt:locality!bs:guid")                     \
    X(LOC_SUBLOCALITY, "LOC_SUBLOCALITY", Text, 36, ZANVO_VSD_ROUTEADDR "dt:subLocality!bs:guid")            \
    X(LOC_STREET, "LOC_STREET", Text, 36, ZANVO_VSD_ROUTEADDR "dt:street!bs:guid")                           \
    X(LOC_HOUSE, "LOC_HOUSE", ZText, 41, ZANVO_VSD_ROUTEADDR "dt:house")                                     \
    X(LOC_BUILDING, "LOC_BUILDING", ZText, 41, ZANVO_VSD_ROUTEADDR "dt:building")                            \
    X(LOC_ROOM, "LOC_ROOM", ZText, 41, ZANVO_VSD_ROUTEADDR "dt:room")                                        \
    X(LOC_ADDRESSVIEW, "LOC_ADDRESSVIEW", ZText, 251, ZANVO_VSD_ROUTEADDR "dt:addressView")                  \
    X(ENTERPRISEUUID, "ENTERPRISEUUID", Text, 36, ZANVO_VSD_ROUTE "vd:enterprise!bs:uuid")                   \
    X(ENTERPRISEGUID, "ENTERPRISEGUID", Text, 36, ZANVO_VSD_ROUTE "vd:enterprise!bs:guid")                   \
    X(TRANSSHIPMENT, "TRANSSHIPMENT", U8, 1, ZANVO_VSD_ROUTE "vd:transshipment")                             \
    X(TRANSPORTTYPE, "TRANSPORTTYPE", U8, 1, ZANVO_VSD_ROUTE01 "vd:nextTransport!vd:transportType")          \
    X(CONTAINERNUMBER, "CONTAINERNUMBER", ZText, 41, ZANVO_VSD_NEXTNUM "vd:containerNumber")                 \
    X(WAGONNUMBER, "WAGONNUMBER", ZText, 41, ZANVO_VSD_NEXTNUM "vd:wagonNumber")                             \
    X(VEHICLENUMBER, "VEHICLENUMBER", ZText, 41, ZANVO_VSD_NEXTNUM "vd:vehicleNumber")                       \
    X(TRAILERNUMBER, "TRAILERNUMBER", ZText, 41, ZANVO_VSD_NEXTNUM "vd:trailerNumber")                       \
    X(SHIPNAME, "SHIPNAME", ZText, 41, ZANVO_VSD_NEXTNUM "vd:shipName")                                      \
    X(FLIGHTNUMBER, "FLIGHTNUMBER", ZText, 41, ZANVO_VSD_NEXTNUM "vd:flightNumber")

// 9. Immunizations.
#define ZANVO_VSD_IMM "!vd:authentication!vd:immunization!"
#define ZANVO_IMMUNIZATION_LIST_FIELDS(X)                                                                    \
    X(UUID, "UUID", Text, 36, "!bs:uuid")                                                                    \
    X(ID, "ID", ZText, 101, ZANVO_VSD_IMM "vd:ID")                                                           \
    X(TYPE, "TYPE", ZText, 4, ZANVO_VSD_IMM "vd:type")                                                       \
    X(ACTUALDATETIME, "ACTUALDATETIME", ZText, 31, ZANVO_VSD_IMM "vd:actualDateTime")                        \
    X(NOTES, "NOTES", ZText, 256, ZANVO_VSD_IMM "vd:notes")                                                  \
    X(DISEASENAME, "DISEASENAME", ZText, 256, ZANVO_VSD_IMM "vd:disease!dt:name")                            \
    X(MEDICINALDRUGNAME, "MEDICINALDRUGNAME", ZText, 256, ZANVO_VSD_IMM "vd:medicinalDrug!dt:name")          \
    X(MEDICINALDRUGSERIES, "MEDICINALDRUGSERIES", ZText, 256, ZANVO_VSD_IMM "vd:medicinalDrug!dt:series")    \
    X(EFFECTIVEBEFOREDATE, "EFFECTIVEBEFOREDATE", ZText, 31, ZANVO_VSD_IMM "vd:effectiveBeforeDate")

namespace responses {

#pragma pack(push, 1)
struct RefDocRow
{
    ZANVO_REFDOC_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct BatchIdRow
{
    ZANVO_BATCHID_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct ProducerRow
{
    ZANVO_PRODUCER_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct PackageRow
{
    ZANVO_PACKAGE_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct ConditionRow
{
    ZANVO_CONDITION_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct LabResearchRow
{
    ZANVO_LAB_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct StatusChangeRow
{
    ZANVO_STATUS_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct RoutePointRow
{
    ZANVO_ROUTE_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
struct ImmunizationRow
{
    ZANVO_IMMUNIZATION_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
#pragma pack(pop)

// The contents lists in the order of the request record's list references
// after the main list (references 1..9); the 4th is read with attributes.
constexpr int kContentsListCount = 9;
constexpr int kPackageListPosition = 4;
const ListLayout& contentsLayout(int position); // 1..9

} // namespace responses
