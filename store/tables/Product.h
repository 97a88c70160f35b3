// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

// m_Product: local copies of Mercury product items.
#define ZANVO_PRD_FIELDS(X)                                                                                  \
    X(GUID, "PRD:GUID", Text, 36)                                                                            \
    X(UUID, "PRD:UUID", Text, 36)                                                                            \
    X(NAME, "PRD:NAME", Text, 250)                                                                           \
    X(MARK, "PRD:MARK", U8, 1)                                                                               \
    X(STATUS, "PRD:STATUS", I32, 4)                                                                          \
    X(CDATE, "PRD:CDATE", I32, 4)                                                                            \
    X(EDATE, "PRD:EDATE", I32, 4)                                                                            \
    X(GLOBALID, "PRD:GLOBALID", ZText, 31)                                                                   \
    X(PRODTYPE, "PRD:PRODTYPE", U8, 1)                                                                       \
    X(PRODUCT, "PRD:PRODUCT", Text, 36)                                                                      \
    X(SUBPRODUCT, "PRD:SUBPRODUCT", Text, 36)                                                                \
    X(CORRGOST, "PRD:CORRGOST", U8, 1)                                                                       \
    X(GOST, "PRD:GOST", ZText, 121)                                                                          \
    X(PRODUCER, "PRD:PRODUCER", Text, 36)                                                                    \
    X(TMOWNER, "PRD:TMOWNER", Text, 36)                                                                      \
    X(PACKAGINGGUID, "PRD:PACKAGINGGUID", Text, 36)                                                          \
    X(PACKAGINGID, "PRD:PACKAGINGID", ZText, 11)                                                             \
    X(PACKAGINGNAME, "PRD:PACKAGINGNAME", ZText, 121)                                                        \
    X(QUANTITY, "PRD:QUANTITY", I32, 4)                                                                      \
    X(VOLUME, "PRD:VOLUME", ZText, 41)                                                                       \
    X(UNITGUID, "PRD:UNITGUID", Text, 36)                                                                    \
    X(UNITNAME, "PRD:UNITNAME", ZText, 41)                                                                   \
    X(GUID1, "PRD:GUID1", Text, 36)                                                                          \
    X(GUID2, "PRD:GUID2", Text, 36)                                                                          \
    X(GUID3, "PRD:GUID3", Text, 36)                                                                          \
    X(GUID4, "PRD:GUID4", Text, 36)                                                                          \
    X(STR40_01, "PRD:STR40_01", ZText, 41)                                                                   \
    X(STR40_02, "PRD:STR40_02", ZText, 41)                                                                   \
    X(STR40_03, "PRD:STR40_03", ZText, 41)                                                                   \
    X(STR40_04, "PRD:STR40_04", ZText, 41)                                                                   \
    X(STR40_05, "PRD:STR40_05", ZText, 41)                                                                   \
    X(STR40_06, "PRD:STR40_06", ZText, 41)                                                                   \
    X(STR120_01, "PRD:STR120_01", ZText, 121)                                                                \
    X(STR120_02, "PRD:STR120_02", ZText, 121)                                                                \
    X(STR120_03, "PRD:STR120_03", ZText, 121)                                                                \
    X(STR120_04, "PRD:STR120_04", ZText, 121)                                                                \
    X(STR250_01, "PRD:STR250_01", ZText, 251)                                                                \
    X(STR250_02, "PRD:STR250_02", ZText, 251)                                                                \
    X(STR250_03, "PRD:STR250_03", ZText, 251)                                                                \
    X(STR250_04, "PRD:STR250_04", ZText, 251)                                                                \
    X(BYTE_01, "PRD:BYTE_01", U8, 1)                                                                         \
    X(BYTE_02, "PRD:BYTE_02", U8, 1)                                                                         \
    X(BYTE_03, "PRD:BYTE_03", U8, 1)                                                                         \
    X(BYTE_04, "PRD:BYTE_04", U8, 1)                                                                         \
    X(BYTE_05, "PRD:BYTE_05", U8, 1)                                                                         \
    X(BYTE_06, "PRD:BYTE_06", U8, 1)                                                                         \
    X(BYTE_07, "PRD:BYTE_07", U8, 1)                                                                         \
    X(BYTE_08, "PRD:BYTE_08", U8, 1)                                                                         \
    X(LONG_01, "PRD:LONG_01", I32, 4)                                                                        \
    X(LONG_02, "PRD:LONG_02", I32, 4)                                                                        \
    X(LONG_03, "PRD:LONG_03", I32, 4)                                                                        \
    X(LONG_04, "PRD:LONG_04", I32, 4)                                                                        \
    X(LONG_05, "PRD:LONG_05", I32, 4)                                                                        \
    X(LONG_06, "PRD:LONG_06", I32, 4)                                                                        \
    X(LONG_07, "PRD:LONG_07", I32, 4)                                                                        \
    X(LONG_08, "PRD:LONG_08", I32, 4)                                                                        \
    X(REAL_01, "PRD:REAL_01", F64, 8)                                                                        \
    X(REAL_02, "PRD:REAL_02", F64, 8)                                                                        \
    X(REAL_03, "PRD:REAL_03", F64, 8)                                                                        \
    X(REAL_04, "PRD:REAL_04", F64, 8)

namespace store {

#pragma pack(push, 1)
struct ProductRecord
{
    ZANVO_PRD_FIELDS(ZANVO_RECORD_MEMBER)
};
#pragma pack(pop)

static_assert(sizeof(ProductRecord) == 2873);

// The table's dictionary (fields, keys, file).
const TableDef& productTable();

} // namespace store
