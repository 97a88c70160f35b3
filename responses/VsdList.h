// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "responses/ResponseList.h"

// The VSD list: one entry per vd:vetDocument of a VSD list answer. The
// packaging type of the product item lies inside its dt:packaging element, as
// its quantity, volume and unit do.
#define ZANVO_VSD_CONS "!vd:certifiedConsignment!"
#define ZANVO_VSD_BATCH "!vd:certifiedConsignment!vd:batch!"
#define ZANVO_VSD_AUTH "!vd:authentication!"
#define ZANVO_VSD_TRNUM "!vd:certifiedConsignment!vd:transportInfo!vd:transportNumber!"

#define ZANVO_VSD_LIST_FIELDS(X)                                                                             \
    X(UUID, "UUID", Text, 36, "!bs:uuid")                                                                    \
    X(ISSUESERIES, "ISSUESERIES", ZText, 31, "!vd:issueSeries")                                              \
    X(ISSUENUMBER, "ISSUENUMBER", ZText, 31, "!vd:issueNumber")                                              \
    X(ISSUEDATE, "ISSUEDATE", ZText, 31, "!vd:issueDate")                                                    \
    X(VETDFORM, "VETDFORM", ZText, 31, "!vd:vetDForm")                                                       \
    X(VETDTYPE, "VETDTYPE", ZText, 31, "!vd:vetDType")                                                       \
    X(VETDSTATUS, "VETDSTATUS", ZText, 31, "!vd:vetDStatus")                                                 \
    X(FINALIZED, "FINALIZED", U8, 1, "!vd:finalized")                                                        \
    X(LASTUPDATEDATE, "LASTUPDATEDATE", ZText, 20, "!vd:lastUpdateDate")                                     \
    X(CONSIGNORHS, "CONSIGNORHS", Text, 36, ZANVO_VSD_CONS "vd:consignor!dt:businessEntity!bs:guid")         \
    X(CONSIGNORENT, "CONSIGNORENT", Text, 36, ZANVO_VSD_CONS "vd:consignor!dt:enterprise!bs:guid")           \
    X(CONSIGNEEHS, "CONSIGNEEHS", Text, 36, ZANVO_VSD_CONS "vd:consignee!dt:businessEntity!bs:guid")         \
    X(CONSIGNEEENT, "CONSIGNEEENT", Text, 36, ZANVO_VSD_CONS "vd:consignee!dt:enterprise!bs:guid")           \
    X(BROKER, "BROKER", Text, 36, ZANVO_VSD_CONS "vd:broker!bs:guid")                                        \
    X(TRANSPORTTYPE1, "TRANSPORTTYPE1", U8, 1, ZANVO_VSD_CONS "vd:transportInfo!vd:transportType")           \
    X(CONTAINERNUMBER1, "CONTAINERNUMBER1", ZText, 41, ZANVO_VSD_TRNUM "vd:containerNumber")                 \
    X(WAGONNUMBER1, "WAGONNUMBER1", ZText, 41, ZANVO_VSD_TRNUM "vd:wagonNumber")                             \
    X(VEHICLENUMBER1, "VEHICLENUMBER1", ZText, 41, ZANVO_VSD_TRNUM "vd:vehicleNumber")                       \
    X(TRAILERNUMBER1, "TRAILERNUMBER1", ZText, 41, ZANVO_VSD_TRNUM "vd:trailerNumber")                       \
    X(SHIPNAME1, "SHIPNAME1", ZText, 41, ZANVO_VSD_TRNUM "vd:shipName")                                      \
    X(FLIGHTNUMBER1, "FLIGHTNUMBER1", ZText, 41, ZANVO_VSD_TRNUM "vd:flightNumber")                          \
    X(PRODTYPE, "PRODTYPE", U8, 1, ZANVO_VSD_BATCH "vd:productType")                                         \
    X(PRODUCT, "PRODUCT", Text, 36, ZANVO_VSD_BATCH "vd:product!bs:guid")                                    \
    X(SUBPRODUCT, "SUBPRODUCT", Text, 36, ZANVO_VSD_BATCH "vd:subProduct!bs:guid")                           \
    X(PRODUCTITEM_GUID, "PRODUCTITEM_GUID", Text, 36, ZANVO_VSD_BATCH "vd:productItem!bs:guid")              \
    X(PRODUCTITEM_CODE, "PRODUCTITEM_CODE", ZText, 256, ZANVO_VSD_BATCH "vd:productItem!dt:code")            \
    X(PRODUCTITEM_NAME, "PRODUCTITEM_NAME", ZText, 256, ZANVO_VSD_BATCH "vd:productItem!dt:name")            \
    X(PRODUCTITEM_GTIN, "PRODUCTITEM_GTIN", ZText, 15, ZANVO_VSD_BATCH "vd:productItem!dt:globalID")         \
    X(PACKGUID, "PACKGUID", Text, 36,                                                                        \
      ZANVO_VSD_BATCH "vd:productItem!dt:packaging!dt:packagingType!bs:guid")                                \
    X(PACKGLOBALID, "PACKGLOBALID", ZText, 4,                                                                \
      ZANVO_VSD_BATCH "vd:productItem!dt:packaging!dt:packagingType!dt:globalID")                            \
    X(PACKNAME, "PACKNAME", ZText, 256,                                                                      \
      ZANVO_VSD_BATCH "vd:productItem!dt:packaging!dt:packagingType!dt:name")                                \
    X(PACKQUANTITY, "PACKQUANTITY", I32, 4, ZANVO_VSD_BATCH "vd:productItem!dt:packaging!dt:quantity")       \
    X(PACKVOLUME, "PACKVOLUME", ZText, 41, ZANVO_VSD_BATCH "vd:productItem!dt:packaging!dt:volume")          \
    X(PACKUNITGUID, "PACKUNITGUID", Text, 36, ZANVO_VSD_BATCH "vd:productItem!dt:packaging!dt:unit!bs:guid") \
    X(PACKUNITNAME, "PACKUNITNAME", ZText, 256,                                                              \
      ZANVO_VSD_BATCH "vd:productItem!dt:packaging!dt:unit!dt:name")                                         \
    X(VOLUME, "VOLUME", ZText, 21, ZANVO_VSD_BATCH "vd:volume")                                              \
    X(UNITGUID, "UNITGUID", Text, 36, ZANVO_VSD_BATCH "vd:unit!bs:guid")                                     \
    X(PROYEAR1, "PROYEAR1", U16, 2, ZANVO_VSD_BATCH "vd:dateOfProduction!vd:firstDate!dt:year")              \
    X(PROMONTH1, "PROMONTH1", U8, 1, ZANVO_VSD_BATCH "vd:dateOfProduction!vd:firstDate!dt:month")            \
    X(PRODAY1, "PRODAY1", U8, 1, ZANVO_VSD_BATCH "vd:dateOfProduction!vd:firstDate!dt:day")                  \
    X(PROHOUR1, "PROHOUR1", U8, 1, ZANVO_VSD_BATCH "vd:dateOfProduction!vd:firstDate!dt:hour")               \
    X(PROYEAR2, "PROYEAR2", U16, 2, ZANVO_VSD_BATCH "vd:dateOfProduction!vd:secondDate!dt:year")             \
    X(PROMONTH2, "PROMONTH2", U8, 1, ZANVO_VSD_BATCH "vd:dateOfProduction!vd:secondDate!dt:month")           \
    X(PRODAY2, "PRODAY2", U8, 1, ZANVO_VSD_BATCH "vd:dateOfProduction!vd:secondDate!dt:day")                 \
    X(PROHOUR2, "PROHOUR2", U8, 1, ZANVO_VSD_BATCH "vd:dateOfProduction!vd:secondDate!dt:hour")              \
    X(PROINFORMALDATE, "PROINFORMALDATE", ZText, 256, ZANVO_VSD_BATCH "vd:dateOfProduction!vd:informalDate") \
    X(EXPYEAR1, "EXPYEAR1", U16, 2, ZANVO_VSD_BATCH "vd:expiryDate!vd:firstDate!dt:year")                    \
    X(EXPMONTH1, "EXPMONTH1", U8, 1, ZANVO_VSD_BATCH "vd:expiryDate!vd:firstDate!dt:month")                  \
    X(EXPDAY1, "EXPDAY1", U8, 1, ZANVO_VSD_BATCH "vd:expiryDate!vd:firstDate!dt:day")                        \
    X(EXPHOUR1, "EXPHOUR1", U8, 1, ZANVO_VSD_BATCH "vd:expiryDate!vd:firstDate!dt:hour")                     \
    X(EXPYEAR2, "EXPYEAR2", U16, 2, ZANVO_VSD_BATCH "vd:expiryDate!vd:secondDate!dt:year")                   \
    X(EXPMONTH2, "EXPMONTH2", U8, 1, ZANVO_VSD_BATCH "vd:expiryDate!vd:secondDate!dt:month")                 \
    X(EXPDAY2, "EXPDAY2", U8, 1, ZANVO_VSD_BATCH "vd:expiryDate!vd:secondDate!dt:day")                       \
    X(EXPHOUR2, "EXPHOUR2", U8, 1, ZANVO_VSD_BATCH "vd:expiryDate!vd:secondDate!dt:hour")                    \
    X(EXPINFORMALDATE, "EXPINFORMALDATE", ZText, 256, ZANVO_VSD_BATCH "vd:expiryDate!vd:informalDate")       \
    X(TRSTORAGETYPE, "TRSTORAGETYPE", ZText, 21, ZANVO_VSD_CONS "vd:transportStorageType")                   \
    X(PERISHABLE, "PERISHABLE", U8, 1, ZANVO_VSD_BATCH "vd:perishable")                                      \
    X(LOWGRADECARGO, "LOWGRADECARGO", U8, 1, ZANVO_VSD_BATCH "vd:lowGradeCargo")                             \
    X(OWNER, "OWNER", Text, 36, ZANVO_VSD_BATCH "vd:owner!bs:guid")                                          \
    X(NONFOODSOURCE, "NONFOODSOURCE", ZText, 41,                                                             \
      ZANVO_VSD_BATCH "vd:applicableClassifications!vd:nonFoodSource")                                       \
    X(ORIGINPRODITEM_GUID, "ORIGINPRODITEM_GUID", Text, 36,                                                  \
      ZANVO_VSD_BATCH "vd:origin!vd:productItem!bs:guid")                                                    \
    X(ORIGINPRODITEM_UUID, "ORIGINPRODITEM_UUID", Text, 36,                                                  \
      ZANVO_VSD_BATCH "vd:origin!vd:productItem!bs:uuid")                                                    \
    X(ORIGINPRODITEM_GTIN, "ORIGINPRODITEM_GTIN", ZText, 15,                                                 \
      ZANVO_VSD_BATCH "vd:origin!vd:productItem!dt:globalID")                                                \
    X(ORIGINPRODITEM_NAME, "ORIGINPRODITEM_NAME", ZText, 256,                                                \
      ZANVO_VSD_BATCH "vd:origin!vd:productItem!dt:name")                                                    \
    X(ORIGINPRODITEM_CODE, "ORIGINPRODITEM_CODE", ZText, 256,                                                \
      ZANVO_VSD_BATCH "vd:origin!vd:productItem!dt:code")                                                    \
    X(ORIGINCOUNTRY_GUID, "ORIGINCOUNTRY_GUID", Text, 36, ZANVO_VSD_BATCH "vd:origin!vd:country!bs:guid")    \
    X(ORIGINCOUNTRY_NAME, "ORIGINCOUNTRY_NAME", ZText, 256, ZANVO_VSD_BATCH "vd:origin!vd:country!dt:name")  \
    X(PURPOSE, "PURPOSE", Text, 36, ZANVO_VSD_AUTH "vd:purpose!bs:guid")                                     \
    X(CARGOINSPECTED, "CARGOINSPECTED", U8, 1, ZANVO_VSD_AUTH "vd:cargoInspected")                           \
    X(CARGOEXPERTIZED, "CARGOEXPERTIZED", ZText, 41, ZANVO_VSD_AUTH "vd:cargoExpertized")                    \
    X(LOCATIONPROSPERITY, "LOCATIONPROSPERITY", ZText, 256, ZANVO_VSD_AUTH "vd:locationProsperity")          \
    X(ANIMALSPENTPERIOD, "ANIMALSPENTPERIOD", ZText, 31, ZANVO_VSD_AUTH "vd:animalSpentPeriod")              \
    X(MONTHSSPENT, "MONTHSSPENT", ZText, 31, ZANVO_VSD_AUTH "vd:monthsSpent")                                \
    X(QURANTINELOCATION, "QURANTINELOCATION", ZText, 256,                                                    \
      ZANVO_VSD_AUTH "vd:quarantine!vd:location!dt:name")                                                    \
    X(QURANTINEDURATION, "QURANTINEDURATION", U16, 2, ZANVO_VSD_AUTH "vd:quarantine!vd:duration")

namespace responses {

#pragma pack(push, 1)
struct VsdRow
{
    ZANVO_VSD_LIST_FIELDS(ZANVO_RESPONSE_MEMBER)
    static const ListLayout& layout();
};
#pragma pack(pop)

} // namespace responses
