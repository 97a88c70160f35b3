// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

// m_Enterprise: local copies of Mercury enterprises.
#define ZANVO_MEP_FIELDS(X)                                                                                  \
    X(GUID, "MEP:GUID", Text, 36)                                                                            \
    X(UUID, "MEP:UUID", Text, 36)                                                                            \
    X(NAME, "MEP:NAME", Text, 180)                                                                           \
    X(TYPE, "MEP:TYPE", U8, 1)                                                                               \
    X(ADDRESS, "MEP:ADDRESS", Text, 250)                                                                     \
    X(OWNER, "MEP:OWNER", Text, 36)                                                                          \
    X(REGSTATUS, "MEP:REGSTATUS", ZText, 21)                                                                 \
    X(MARK, "MEP:MARK", U8, 1)                                                                               \
    X(STATUS, "MEP:STATUS", I32, 4)                                                                          \
    X(CDATE, "MEP:CDATE", I32, 4)                                                                            \
    X(EDATE, "MEP:EDATE", I32, 4)                                                                            \
    X(NUMBER1, "MEP:NUMBER1", ZText, 41)                                                                     \
    X(NUMBER2, "MEP:NUMBER2", ZText, 41)                                                                     \
    X(NUMBER3, "MEP:NUMBER3", ZText, 41)                                                                     \
    X(COUNTRY, "MEP:COUNTRY", Text, 36)                                                                      \
    X(REGION, "MEP:REGION", Text, 36)                                                                        \
    X(LOCALITY, "MEP:LOCALITY", Text, 36)                                                                    \
    X(GUID1, "MEP:GUID1", Text, 36)                                                                          \
    X(GUID2, "MEP:GUID2", Text, 36)                                                                          \
    X(GUID3, "MEP:GUID3", Text, 36)                                                                          \
    X(GUID4, "MEP:GUID4", Text, 36)                                                                          \
    X(STR40_01, "MEP:STR40_01", ZText, 41)                                                                   \
    X(STR40_02, "MEP:STR40_02", ZText, 41)                                                                   \
    X(STR40_03, "MEP:STR40_03", ZText, 41)                                                                   \
    X(STR40_04, "MEP:STR40_04", ZText, 41)                                                                   \
    X(STR120_01, "MEP:STR120_01", ZText, 121)                                                                \
    X(STR120_02, "MEP:STR120_02", ZText, 121)                                                                \
    X(STR120_03, "MEP:STR120_03", ZText, 121)                                                                \
    X(STR120_04, "MEP:STR120_04", ZText, 121)                                                                \
    X(STR250_01, "MEP:STR250_01", ZText, 251)                                                                \
    X(STR250_02, "MEP:STR250_02", ZText, 251)                                                                \
    X(BYTE_01, "MEP:BYTE_01", U8, 1)                                                                         \
    X(BYTE_02, "MEP:BYTE_02", U8, 1)                                                                         \
    X(BYTE_03, "MEP:BYTE_03", U8, 1)                                                                         \
    X(BYTE_04, "MEP:BYTE_04", U8, 1)                                                                         \
    X(BYTE_05, "MEP:BYTE_05", U8, 1)                                                                         \
    X(BYTE_06, "MEP:BYTE_06", U8, 1)                                                                         \
    X(BYTE_07, "MEP:BYTE_07", U8, 1)                                                                         \
    X(BYTE_08, "MEP:BYTE_08", U8, 1)                                                                         \
    X(LONG_01, "MEP:LONG_01", I32, 4)                                                                        \
    X(LONG_02, "MEP:LONG_02", I32, 4)                                                                        \
    X(LONG_03, "MEP:LONG_03", I32, 4)                                                                        \
    X(LONG_04, "MEP:LONG_04", I32, 4)                                                                        \
    X(LONG_05, "MEP:LONG_05", I32, 4)                                                                        \
    X(LONG_06, "MEP:LONG_06", I32, 4)                                                                        \
    X(LONG_07, "MEP:LONG_07", I32, 4)                                                                        \
    X(LONG_08, "MEP:LONG_08", I32, 4)                                                                        \
    X(REAL_01, "MEP:REAL_01", F64, 8)                                                                        \
    X(REAL_02, "MEP:REAL_02", F64, 8)

namespace store {

#pragma pack(push, 1)
struct EnterpriseRecord
{
    ZANVO_MEP_FIELDS(ZANVO_RECORD_MEMBER)
};
#pragma pack(pop)

static_assert(sizeof(EnterpriseRecord) == 2154);

// The table's dictionary (fields, keys, file).
const TableDef& enterpriseTable();

} // namespace store
