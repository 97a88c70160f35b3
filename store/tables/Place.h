// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

// m_Place: which enterprises belong to which business entity.
#define ZANVO_MPL_FIELDS(X)                                                                                  \
    X(ENTITY, "MPL:ENTITY", Text, 36)                                                                        \
    X(ENTERPRISE, "MPL:ENTERPRISE", Text, 36)                                                                \
    X(MARK, "MPL:MARK", U8, 1)                                                                               \
    X(STR40_01, "MPL:STR40_01", ZText, 41)                                                                   \
    X(STR40_02, "MPL:STR40_02", ZText, 41)                                                                   \
    X(STR120_01, "MPL:STR120_01", ZText, 121)                                                                \
    X(BYTE_01, "MPL:BYTE_01", U8, 1)                                                                         \
    X(BYTE_02, "MPL:BYTE_02", U8, 1)                                                                         \
    X(BYTE_03, "MPL:BYTE_03", U8, 1)                                                                         \
    X(BYTE_04, "MPL:BYTE_04", U8, 1)                                                                         \
    X(LONG_01, "MPL:LONG_01", I32, 4)                                                                        \
    X(LONG_02, "MPL:LONG_02", I32, 4)                                                                        \
    X(LONG_03, "MPL:LONG_03", I32, 4)                                                                        \
    X(LONG_04, "MPL:LONG_04", I32, 4)                                                                        \
    X(REAL_01, "MPL:REAL_01", F64, 8)                                                                        \
    X(REAL_02, "MPL:REAL_02", F64, 8)

namespace store {

#pragma pack(push, 1)
struct PlaceRecord
{
    ZANVO_MPL_FIELDS(ZANVO_RECORD_MEMBER)
};
#pragma pack(pop)

static_assert(sizeof(PlaceRecord) == 312);

// The table's dictionary (fields, keys, file).
const TableDef& placeTable();

} // namespace store
