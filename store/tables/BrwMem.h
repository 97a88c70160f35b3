// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

// BrwMem: the formats of the lists opened since the program started; one
// in-memory table shared by every thread.
#define ZANVO_BXM_FIELDS(X)                                                                                  \
    X(IDBROWSE, "BXM:IDBROWSE", Text, 20)                                                                    \
    X(DEFFORMAT, "BXM:DEFFORMAT", ZText, 4097)                                                               \
    X(CURFORMAT, "BXM:CURFORMAT", ZText, 4097)                                                               \
    X(FSETUP, "BXM:FSETUP", U8, 1)                                                                           \
    X(GRIDCOLOR, "BXM:GRIDCOLOR", U8, 1)                                                                     \
    X(BARCOLOR, "BXM:BARCOLOR", U8, 1)                                                                       \
    X(HLINE, "BXM:HLINE", U8, 1)                                                                             \
    X(FONTSIZE, "BXM:FONTSIZE", U8, 1)                                                                       \
    X(FONTCOD, "BXM:FONTCOD", U8, 1)                                                                         \
    X(WHEELSCROLL, "BXM:WHEELSCROLL", U8, 1)                                                                 \
    X(ZB1, "BXM:ZB1", U8, 1)                                                                                 \
    X(ZB2, "BXM:ZB2", U8, 1)                                                                                 \
    X(ZL1, "BXM:ZL1", I32, 4)                                                                                \
    X(ZL2, "BXM:ZL2", I32, 4)

namespace store {

#pragma pack(push, 1)
struct BrwMemRecord
{
    ZANVO_BXM_FIELDS(ZANVO_RECORD_MEMBER)
};
#pragma pack(pop)

static_assert(sizeof(BrwMemRecord) == 8231);

// The table's dictionary (fields, keys, file).
const TableDef& brwMemTable();

} // namespace store
