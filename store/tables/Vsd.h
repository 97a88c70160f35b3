// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

// m_VSD: one record per incoming VSD received from Mercury.
#define ZANVO_MVD_FIELDS(X)                                                                                  \
    X(UUID, "MVD:UUID", Text, 36)                                                                            \
    X(DATE, "MVD:DATE", I32, 4)                                                                              \
    X(VETDFORM, "MVD:VETDFORM", ZText, 21)                                                                   \
    X(VETDTYPE, "MVD:VETDTYPE", ZText, 21)                                                                   \
    X(VETDSTATUS, "MVD:VETDSTATUS", ZText, 21)                                                               \
    X(CODSTATUS, "MVD:CODSTATUS", U8, 1)                                                                     \
    X(CONDITION, "MVD:CONDITION", U8, 1)                                                                     \
    X(FINALIZED, "MVD:FINALIZED", U8, 1)                                                                     \
    X(UPDATEDATE, "MVD:UPDATEDATE", I32, 4)                                                                  \
    X(UPDATETIME, "MVD:UPDATETIME", I32, 4)                                                                  \
    X(CONSIGNORHS, "MVD:CONSIGNORHS", Text, 36)                                                              \
    X(CONSIGNORENT, "MVD:CONSIGNORENT", Text, 36)                                                            \
    X(CONSIGNEEHS, "MVD:CONSIGNEEHS", Text, 36)                                                              \
    X(CONSIGNEEENT, "MVD:CONSIGNEEENT", Text, 36)                                                            \
    X(PRODITEMGUID, "MVD:PRODITEMGUID", Text, 36)                                                            \
    X(CONSIGNORNAME, "MVD:CONSIGNORNAME", ZText, 251)                                                        \
    X(CONSIGNORINN, "MVD:CONSIGNORINN", ZText, 21)                                                           \
    X(CONSIGNORPLACE, "MVD:CONSIGNORPLACE", ZText, 251)                                                      \
    X(CONSIGNEENAME, "MVD:CONSIGNEENAME", ZText, 251)                                                        \
    X(CONSIGNEEINN, "MVD:CONSIGNEEINN", ZText, 21)                                                           \
    X(CONSIGNEEPLACE, "MVD:CONSIGNEEPLACE", ZText, 251)                                                      \
    X(BROKER, "MVD:BROKER", Text, 36)                                                                        \
    X(ISSUESERIES, "MVD:ISSUESERIES", ZText, 31)                                                             \
    X(ISSUENUMBER, "MVD:ISSUENUMBER", ZText, 31)                                                             \
    X(TRANSPORTTYPE1, "MVD:TRANSPORTTYPE1", U8, 1)                                                           \
    X(CONTAINERNUMBER1, "MVD:CONTAINERNUMBER1", ZText, 41)                                                   \
    X(WAGONNUMBER1, "MVD:WAGONNUMBER1", ZText, 41)                                                           \
    X(VEHICLENUMBER1, "MVD:VEHICLENUMBER1", ZText, 41)                                                       \
    X(TRAILERNUMBER1, "MVD:TRAILERNUMBER1", ZText, 41)                                                       \
    X(SHIPNAME1, "MVD:SHIPNAME1", ZText, 41)                                                                 \
    X(FLIGHTNUMBER1, "MVD:FLIGHTNUMBER1", ZText, 41)                                                         \
    X(PRODTYPE, "MVD:PRODTYPE", U8, 1)                                                                       \
    X(PRODUCT, "MVD:PRODUCT", Text, 36)                                                                      \
    X(SUBPRODUCT, "MVD:SUBPRODUCT", Text, 36)                                                                \
    X(PRODITEMCODE, "MVD:PRODITEMCODE", ZText, 121)                                                          \
    X(PRODITEMNAME, "MVD:PRODITEMNAME", ZText, 256)                                                          \
    X(PRODITEMGTIN, "MVD:PRODITEMGTIN", ZText, 21)                                                           \
    X(PACKGUID, "MVD:PACKGUID", Text, 36)                                                                    \
    X(PACKGLOBALID, "MVD:PACKGLOBALID", ZText, 4)                                                            \
    X(PACKNAME, "MVD:PACKNAME", ZText, 121)                                                                  \
    X(PACKQUANTITY, "MVD:PACKQUANTITY", I32, 4)                                                              \
    X(PACKVOLUME, "MVD:PACKVOLUME", ZText, 41)                                                               \
    X(PACKUNITGUID, "MVD:PACKUNITGUID", Text, 36)                                                            \
    X(PACKUNITNAME, "MVD:PACKUNITNAME", ZText, 121)                                                          \
    X(VOLUME, "MVD:VOLUME", ZText, 31)                                                                       \
    X(KOLVO, "MVD:KOLVO", F64, 8)                                                                            \
    X(UNITGUID, "MVD:UNITGUID", Text, 36)                                                                    \
    X(UNITNAME, "MVD:UNITNAME", ZText, 121)                                                                  \
    X(PRODATE1, "MVD:PRODATE1", I32, 4)                                                                      \
    X(PROYEAR1, "MVD:PROYEAR1", U16, 2)                                                                      \
    X(PROMONTH1, "MVD:PROMONTH1", U8, 1)                                                                     \
    X(PRODAY1, "MVD:PRODAY1", U8, 1)                                                                         \
    X(PROHOUR1, "MVD:PROHOUR1", U8, 1)                                                                       \
    X(PRODATE2, "MVD:PRODATE2", I32, 4)                                                                      \
    X(PROYEAR2, "MVD:PROYEAR2", U16, 2)                                                                      \
    X(PROMONTH2, "MVD:PROMONTH2", U8, 1)                                                                     \
    X(PRODAY2, "MVD:PRODAY2", U8, 1)                                                                         \
    X(PROHOUR2, "MVD:PROHOUR2", U8, 1)                                                                       \
    X(PROINFORMALDATE, "MVD:PROINFORMALDATE", ZText, 121)                                                    \
    X(EXPDATE1, "MVD:EXPDATE1", I32, 4)                                                                      \
    X(EXPYEAR1, "MVD:EXPYEAR1", U16, 2)                                                                      \
    X(EXPMONTH1, "MVD:EXPMONTH1", U8, 1)                                                                     \
    X(EXPDAY1, "MVD:EXPDAY1", U8, 1)                                                                         \
    X(EXPHOUR1, "MVD:EXPHOUR1", U8, 1)                                                                       \
    X(EXPDATE2, "MVD:EXPDATE2", I32, 4)                                                                      \
    X(EXPYEAR2, "MVD:EXPYEAR2", U16, 2)                                                                      \
    X(EXPMONTH2, "MVD:EXPMONTH2", U8, 1)                                                                     \
    X(EXPDAY2, "MVD:EXPDAY2", U8, 1)                                                                         \
    X(EXPHOUR2, "MVD:EXPHOUR2", U8, 1)                                                                       \
    X(EXPINFORMALDATE, "MVD:EXPINFORMALDATE", ZText, 121)                                                    \
    X(TRSTORAGETYPE, "MVD:TRSTORAGETYPE", ZText, 21)                                                         \
    X(PERISHABLE, "MVD:PERISHABLE", U8, 1)                                                                   \
    X(LOWGRADECARGO, "MVD:LOWGRADECARGO", U8, 1)                                                             \
    X(OWNER, "MVD:OWNER", Text, 36)                                                                          \
    X(NONFOODSOURCE, "MVD:NONFOODSOURCE", ZText, 41)                                                         \
    X(ORIGINPRODITEM_GUID, "MVD:ORIGINPRODITEM_GUID", Text, 36)                                              \
    X(ORIGINPRODITEM_GTIN, "MVD:ORIGINPRODITEM_GTIN", ZText, 21)                                             \
    X(ORIGINPRODITEM_NAME, "MVD:ORIGINPRODITEM_NAME", ZText, 256)                                            \
    X(ORIGINPRODITEM_CODE, "MVD:ORIGINPRODITEM_CODE", ZText, 121)                                            \
    X(ORIGINCOUNTRY_GUID, "MVD:ORIGINCOUNTRY_GUID", Text, 36)                                                \
    X(ORIGINCOUNTRY_NAME, "MVD:ORIGINCOUNTRY_NAME", ZText, 121)                                              \
    X(PURPOSE, "MVD:PURPOSE", Text, 36)                                                                      \
    X(CARGOINSPECTED, "MVD:CARGOINSPECTED", U8, 1)                                                           \
    X(CARGOEXPERTIZED, "MVD:CARGOEXPERTIZED", ZText, 41)                                                     \
    X(PROSPERITY, "MVD:PROSPERITY", ZText, 121)                                                              \
    X(ANIMALSPENTPERIOD, "MVD:ANIMALSPENTPERIOD", ZText, 31)                                                 \
    X(MONTHSSPENT, "MVD:MONTHSSPENT", ZText, 31)                                                             \
    X(QURANTINELOCATION, "MVD:QURANTINELOCATION", ZText, 251)                                                \
    X(QURANTINEDURATION, "MVD:QURANTINEDURATION", I32, 4)                                                    \
    X(TTN_TYPE, "MVD:TTN_TYPE", U8, 1)                                                                       \
    X(TTN_SERIES, "MVD:TTN_SERIES", ZText, 41)                                                               \
    X(TTN_NUMBER, "MVD:TTN_NUMBER", ZText, 41)                                                               \
    X(TTN_DATE, "MVD:TTN_DATE", ZText, 31)                                                                   \
    X(TTN_ORVDATE, "MVD:TTN_ORVDATE", I32, 4)                                                                \
    X(TTN_RELTYPE, "MVD:TTN_RELTYPE", U8, 1)                                                                 \
    X(TRANSPORTTYPE2, "MVD:TRANSPORTTYPE2", U8, 1)                                                           \
    X(CONTAINERNUMBER2, "MVD:CONTAINERNUMBER2", ZText, 41)                                                   \
    X(WAGONNUMBER2, "MVD:WAGONNUMBER2", ZText, 41)                                                           \
    X(VEHICLENUMBER2, "MVD:VEHICLENUMBER2", ZText, 41)                                                       \
    X(TRAILERNUMBER2, "MVD:TRAILERNUMBER2", ZText, 41)                                                       \
    X(SHIPNAME2, "MVD:SHIPNAME2", ZText, 41)                                                                 \
    X(FLIGHTNUMBER2, "MVD:FLIGHTNUMBER2", ZText, 41)                                                         \
    X(MARK, "MVD:MARK", U8, 1)                                                                               \
    X(COLOR, "MVD:COLOR", U8, 1)                                                                             \
    X(APPSTATUS, "MVD:APPSTATUS", ZText, 31)                                                                 \
    X(APPID, "MVD:APPID", Text, 36)                                                                          \
    X(APPERROR, "MVD:APPERROR", ZText, 256)                                                                  \
    X(ACTUALSROK, "MVD:ACTUALSROK", I32, 4)                                                                  \
    X(RESERVEDAY, "MVD:RESERVEDAY", I32, 4)                                                                  \
    X(RESERVEPROC, "MVD:RESERVEPROC", F64, 8)                                                                \
    X(GUID1, "MVD:GUID1", Text, 36)                                                                          \
    X(GUID2, "MVD:GUID2", Text, 36)                                                                          \
    X(GUID3, "MVD:GUID3", Text, 36)                                                                          \
    X(GUID4, "MVD:GUID4", Text, 36)                                                                          \
    X(GUID5, "MVD:GUID5", Text, 36)                                                                          \
    X(GUID6, "MVD:GUID6", Text, 36)                                                                          \
    X(STR40_01, "MVD:STR40_01", ZText, 41)                                                                   \
    X(STR40_02, "MVD:STR40_02", ZText, 41)                                                                   \
    X(STR40_03, "MVD:STR40_03", ZText, 41)                                                                   \
    X(STR40_04, "MVD:STR40_04", ZText, 41)                                                                   \
    X(STR40_05, "MVD:STR40_05", ZText, 41)                                                                   \
    X(STR40_06, "MVD:STR40_06", ZText, 41)                                                                   \
    X(STR120_01, "MVD:STR120_01", ZText, 121)                                                                \
    X(STR120_02, "MVD:STR120_02", ZText, 121)                                                                \
    X(STR120_03, "MVD:STR120_03", ZText, 121)                                                                \
    X(STR120_04, "MVD:STR120_04", ZText, 121)                                                                \
    X(STR250_01, "MVD:STR250_01", ZText, 251)                                                                \
    X(STR250_02, "MVD:STR250_02", ZText, 251)                                                                \
    X(STR250_03, "MVD:STR250_03", ZText, 251)                                                                \
    X(STR250_04, "MVD:STR250_04", ZText, 251)                                                                \
    X(BYTE_01, "MVD:BYTE_01", U8, 1)                                                                         \
    X(BYTE_02, "MVD:BYTE_02", U8, 1)                                                                         \
    X(BYTE_03, "MVD:BYTE_03", U8, 1)                                                                         \
    X(BYTE_04, "MVD:BYTE_04", U8, 1)                                                                         \
    X(BYTE_05, "MVD:BYTE_05", U8, 1)                                                                         \
    X(BYTE_06, "MVD:BYTE_06", U8, 1)                                                                         \
    X(BYTE_07, "MVD:BYTE_07", U8, 1)                                                                         \
    X(BYTE_08, "MVD:BYTE_08", U8, 1)                                                                         \
    X(LONG_01, "MVD:LONG_01", I32, 4)                                                                        \
    X(LONG_02, "MVD:LONG_02", I32, 4)                                                                        \
    X(LONG_03, "MVD:LONG_03", I32, 4)                                                                        \
    X(LONG_04, "MVD:LONG_04", I32, 4)                                                                        \
    X(LONG_05, "MVD:LONG_05", I32, 4)                                                                        \
    X(LONG_06, "MVD:LONG_06", I32, 4)                                                                        \
    X(LONG_07, "MVD:LONG_07", I32, 4)                                                                        \
    X(LONG_08, "MVD:LONG_08", I32, 4)                                                                        \
    X(REAL_01, "MVD:REAL_01", F64, 8)                                                                        \
    X(REAL_02, "MVD:REAL_02", F64, 8)                                                                        \
    X(REAL_03, "MVD:REAL_03", F64, 8)                                                                        \
    X(REAL_04, "MVD:REAL_04", F64, 8)                                                                        \
    X(REAL_05, "MVD:REAL_05", F64, 8)                                                                        \
    X(REAL_06, "MVD:REAL_06", F64, 8)

namespace store {

#pragma pack(push, 1)
struct VsdRecord
{
    ZANVO_MVD_FIELDS(ZANVO_RECORD_MEMBER)
};
#pragma pack(pop)

static_assert(sizeof(VsdRecord) == 6945);

// The table's dictionary (fields, keys, file).
const TableDef& vsdTable();

} // namespace store
