// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

// BrwSet: the saved list formats, one record per list. The file lives wherever
// the list-format path set at start-up points.
#define ZANVO_BRW_FIELDS(X)                                                                                  \
    X(IDBROWSE, "BRW:IDBROWSE", ZText, 21)                                                                   \
    X(DEFFORMAT, "BRW:DEFFORMAT", ZText, 3075)                                                               \
    X(CURFORMAT, "BRW:CURFORMAT", ZText, 3075)                                                               \
    X(FSETUP, "BRW:FSETUP", U8, 1)                                                                           \
    X(GRIDCOLOR, "BRW:GRIDCOLOR", U8, 1)                                                                     \
    X(BARCOLOR, "BRW:BARCOLOR", U8, 1)                                                                       \
    X(HLINE, "BRW:HLINE", U8, 1)                                                                             \
    X(FONTSIZE, "BRW:FONTSIZE", U8, 1)                                                                       \
    X(FONTCOD, "BRW:FONTCOD", U8, 1)                                                                         \
    X(WHEELSCROLL, "BRW:WHEELSCROLL", U8, 1)                                                                 \
    X(ZB1, "BRW:ZB1", U8, 1)                                                                                 \
    X(ZB2, "BRW:ZB2", U8, 1)                                                                                 \
    X(ZL1, "BRW:ZL1", I32, 4)                                                                                \
    X(ZL2, "BRW:ZL2", I32, 4)                                                                                \
    X(ZR1, "BRW:ZR1", F64, 8)                                                                                \
    X(ZS1, "BRW:ZS1", ZText, 41)

namespace store {

#pragma pack(push, 1)
struct BrwSetRecord
{
    ZANVO_BRW_FIELDS(ZANVO_RECORD_MEMBER)
};
#pragma pack(pop)

static_assert(sizeof(BrwSetRecord) == 6237);

// The table's dictionary (fields, keys, file).
const TableDef& brwSetTable();

} // namespace store
