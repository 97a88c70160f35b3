// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

// m_Entity: business entities, the user's own (MEN:HOME not 0) and counterparties.
#define ZANVO_MEN_FIELDS(X)                                                                                  \
    X(GUID, "MEN:GUID", Text, 36)                                                                            \
    X(UUID, "MEN:UUID", Text, 36)                                                                            \
    X(HOME, "MEN:HOME", U8, 1)                                                                               \
    X(STATUS, "MEN:STATUS", I32, 4)                                                                          \
    X(CDATE, "MEN:CDATE", I32, 4)                                                                            \
    X(EDATE, "MEN:EDATE", I32, 4)                                                                            \
    X(MARK, "MEN:MARK", U8, 1)                                                                               \
    X(TYPE, "MEN:TYPE", U8, 1)                                                                               \
    X(NAME, "MEN:NAME", Text, 180)                                                                           \
    X(FULLNAME, "MEN:FULLNAME", ZText, 251)                                                                  \
    X(INN, "MEN:INN", ZText, 41)                                                                             \
    X(KPP, "MEN:KPP", ZText, 41)                                                                             \
    X(ADRVIEW, "MEN:ADRVIEW", ZText, 251)                                                                    \
    X(ADDINFO, "MEN:ADDINFO", ZText, 251)                                                                    \
    X(OGRN, "MEN:OGRN", ZText, 41)                                                                           \
    X(CODE, "MEN:CODE", ZText, 41)                                                                           \
    X(COUNTRY, "MEN:COUNTRY", Text, 36)                                                                      \
    X(REGION, "MEN:REGION", Text, 36)                                                                        \
    X(LOCALITY, "MEN:LOCALITY", Text, 36)                                                                    \
    X(REMARK, "MEN:REMARK", ZText, 121)                                                                      \
    X(GUID1, "MEN:GUID1", Text, 36)                                                                          \
    X(GUID2, "MEN:GUID2", Text, 36)                                                                          \
    X(GUID3, "MEN:GUID3", Text, 36)                                                                          \
    X(GUID4, "MEN:GUID4", Text, 36)                                                                          \
    X(STR40_01, "MEN:STR40_01", ZText, 41)                                                                   \
    X(STR40_02, "MEN:STR40_02", ZText, 41)                                                                   \
    X(STR40_03, "MEN:STR40_03", ZText, 41)                                                                   \
    X(STR40_04, "MEN:STR40_04", ZText, 41)                                                                   \
    X(STR40_05, "MEN:STR40_05", ZText, 41)                                                                   \
    X(STR40_06, "MEN:STR40_06", ZText, 41)                                                                   \
    X(STR120_01, "MEN:STR120_01", ZText, 121)                                                                \
    X(STR120_02, "MEN:STR120_02", ZText, 121)                                                                \
    X(STR120_03, "MEN:STR120_03", ZText, 121)                                                                \
    X(STR120_04, "MEN:STR120_04", ZText, 121)                                                                \
    X(STR250_01, "MEN:STR250_01", ZText, 251)                                                                \
    X(STR250_02, "MEN:STR250_02", ZText, 251)                                                                \
    X(BYTE_01, "MEN:BYTE_01", U8, 1)                                                                         \
    X(BYTE_02, "MEN:BYTE_02", U8, 1)                                                                         \
    X(BYTE_03, "MEN:BYTE_03", U8, 1)                                                                         \
    X(BYTE_04, "MEN:BYTE_04", U8, 1)                                                                         \
    X(BYTE_05, "MEN:BYTE_05", U8, 1)                                                                         \
    X(BYTE_06, "MEN:BYTE_06", U8, 1)                                                                         \
    X(BYTE_07, "MEN:BYTE_07", U8, 1)                                                                         \
    X(BYTE_08, "MEN:BYTE_08", U8, 1)                                                                         \
    X(LONG_01, "MEN:LONG_01", I32, 4)                                                                        \
    X(LONG_02, "MEN:LONG_02", I32, 4)                                                                        \
    X(LONG_03, "MEN:LONG_03", I32, 4)                                                                        \
    X(LONG_04, "MEN:LONG_04", I32, 4)                                                                        \
    X(LONG_05, "MEN:LONG_05", I32, 4)                                                                        \
    X(LONG_06, "MEN:LONG_06", I32, 4)                                                                        \
    X(LONG_07, "MEN:LONG_07", I32, 4)                                                                        \
    X(LONG_08, "MEN:LONG_08", I32, 4)                                                                        \
    X(REAL_01, "MEN:REAL_01", F64, 8)                                                                        \
    X(REAL_02, "MEN:REAL_02", F64, 8)

namespace store {

#pragma pack(push, 1)
struct EntityRecord
{
    ZANVO_MEN_FIELDS(ZANVO_RECORD_MEMBER)
};
#pragma pack(pop)

static_assert(sizeof(EntityRecord) == 2845);

// The table's dictionary (fields, keys, file).
const TableDef& entityTable();

} // namespace store
