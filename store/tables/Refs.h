// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

// m_Refs: every Mercury dictionary in one table; MRE:VID tells the kinds apart.
// A GUID identifies an entry across all kinds.
#define ZANVO_MRE_FIELDS(X)                                                                                  \
    X(VID, "MRE:VID", U8, 1)                                                                                 \
    X(GUID, "MRE:GUID", Text, 36)                                                                            \
    X(UUID, "MRE:UUID", Text, 36)                                                                            \
    X(PARENT, "MRE:PARENT", ZText, 37)                                                                       \
    X(STATUS, "MRE:STATUS", I32, 4)                                                                          \
    X(CDATE, "MRE:CDATE", I32, 4)                                                                            \
    X(EDATE, "MRE:EDATE", I32, 4)                                                                            \
    X(NAME, "MRE:NAME", Text, 180)                                                                           \
    X(MARK, "MRE:MARK", U8, 1)                                                                               \
    X(GUID1, "MRE:GUID1", Text, 36)                                                                          \
    X(GUID2, "MRE:GUID2", Text, 36)                                                                          \
    X(GUID3, "MRE:GUID3", Text, 36)                                                                          \
    X(STR40_01, "MRE:STR40_01", ZText, 41)                                                                   \
    X(STR40_02, "MRE:STR40_02", ZText, 41)                                                                   \
    X(STR120_01, "MRE:STR120_01", ZText, 121)                                                                \
    X(STR120_02, "MRE:STR120_02", ZText, 121)                                                                \
    X(STR120_03, "MRE:STR120_03", ZText, 121)                                                                \
    X(STR250_01, "MRE:STR250_01", ZText, 251)                                                                \
    X(STR250_02, "MRE:STR250_02", ZText, 251)                                                                \
    X(BYTE_01, "MRE:BYTE_01", U8, 1)                                                                         \
    X(BYTE_02, "MRE:BYTE_02", U8, 1)                                                                         \
    X(BYTE_03, "MRE:BYTE_03", U8, 1)                                                                         \
    X(BYTE_04, "MRE:BYTE_04", U8, 1)                                                                         \
    X(LONG_01, "MRE:LONG_01", I32, 4)                                                                        \
    X(LONG_02, "MRE:LONG_02", I32, 4)                                                                        \
    X(LONG_03, "MRE:LONG_03", I32, 4)                                                                        \
    X(LONG_04, "MRE:LONG_04", I32, 4)                                                                        \
    X(REAL_01, "MRE:REAL_01", F64, 8)                                                                        \
    X(REAL_02, "MRE:REAL_02", F64, 8)

namespace store {

#pragma pack(push, 1)
struct RefsRecord
{
    ZANVO_MRE_FIELDS(ZANVO_RECORD_MEMBER)
};
#pragma pack(pop)

static_assert(sizeof(RefsRecord) == 1394);

// The table's dictionary (fields, keys, file).
const TableDef& refsTable();

} // namespace store
