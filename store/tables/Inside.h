// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

// m_Inside: the repeating parts of a VSD, one record per element. The meaning of
// the general-purpose fields depends on the contents kind in MIN:VID.
#define ZANVO_MIN_FIELDS(X)                                                                                  \
    X(UUID, "MIN:UUID", Text, 36)                                                                            \
    X(VID, "MIN:VID", I32, 4)                                                                                \
    X(NUMBER, "MIN:NUMBER", I32, 4)                                                                          \
    X(GUID1, "MIN:GUID1", Text, 36)                                                                          \
    X(GUID2, "MIN:GUID2", Text, 36)                                                                          \
    X(GUID3, "MIN:GUID3", Text, 36)                                                                          \
    X(GUID4, "MIN:GUID4", Text, 36)                                                                          \
    X(GUID5, "MIN:GUID5", Text, 36)                                                                          \
    X(GUID6, "MIN:GUID6", Text, 36)                                                                          \
    X(STR40_01, "MIN:STR40_01", ZText, 41)                                                                   \
    X(STR40_02, "MIN:STR40_02", ZText, 41)                                                                   \
    X(STR40_03, "MIN:STR40_03", ZText, 41)                                                                   \
    X(STR40_04, "MIN:STR40_04", ZText, 41)                                                                   \
    X(STR40_05, "MIN:STR40_05", ZText, 41)                                                                   \
    X(STR40_06, "MIN:STR40_06", ZText, 41)                                                                   \
    X(STR120_01, "MIN:STR120_01", ZText, 121)                                                                \
    X(STR120_02, "MIN:STR120_02", ZText, 121)                                                                \
    X(STR120_03, "MIN:STR120_03", ZText, 121)                                                                \
    X(STR120_04, "MIN:STR120_04", ZText, 121)                                                                \
    X(STR120_05, "MIN:STR120_05", ZText, 121)                                                                \
    X(STR120_06, "MIN:STR120_06", ZText, 121)                                                                \
    X(STR250_01, "MIN:STR250_01", ZText, 251)                                                                \
    X(STR250_02, "MIN:STR250_02", ZText, 251)                                                                \
    X(STR250_03, "MIN:STR250_03", ZText, 251)                                                                \
    X(STR250_04, "MIN:STR250_04", ZText, 251)                                                                \
    X(BYTE_01, "MIN:BYTE_01", U8, 1)                                                                         \
    X(BYTE_02, "MIN:BYTE_02", U8, 1)                                                                         \
    X(BYTE_03, "MIN:BYTE_03", U8, 1)                                                                         \
    X(BYTE_04, "MIN:BYTE_04", U8, 1)                                                                         \
    X(BYTE_05, "MIN:BYTE_05", U8, 1)                                                                         \
    X(BYTE_06, "MIN:BYTE_06", U8, 1)                                                                         \
    X(BYTE_07, "MIN:BYTE_07", U8, 1)                                                                         \
    X(BYTE_08, "MIN:BYTE_08", U8, 1)                                                                         \
    X(LONG_01, "MIN:LONG_01", I32, 4)                                                                        \
    X(LONG_02, "MIN:LONG_02", I32, 4)                                                                        \
    X(LONG_03, "MIN:LONG_03", I32, 4)                                                                        \
    X(LONG_04, "MIN:LONG_04", I32, 4)                                                                        \
    X(LONG_05, "MIN:LONG_05", I32, 4)                                                                        \
    X(LONG_06, "MIN:LONG_06", I32, 4)                                                                        \
    X(LONG_07, "MIN:LONG_07", I32, 4)                                                                        \
    X(LONG_08, "MIN:LONG_08", I32, 4)                                                                        \
    X(REAL_01, "MIN:REAL_01", F64, 8)                                                                        \
    X(REAL_02, "MIN:REAL_02", F64, 8)                                                                        \
    X(REAL_03, "MIN:REAL_03", F64, 8)                                                                        \
    X(REAL_04, "MIN:REAL_04", F64, 8)                                                                        \
    X(REAL_05, "MIN:REAL_05", F64, 8)                                                                        \
    X(REAL_06, "MIN:REAL_06", F64, 8)

namespace store {

#pragma pack(push, 1)
struct InsideRecord
{
    ZANVO_MIN_FIELDS(ZANVO_RECORD_MEMBER)
};
#pragma pack(pop)

static_assert(sizeof(InsideRecord) == 2324);

// The table's dictionary (fields, keys, file).
const TableDef& insideTable();

} // namespace store
