// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

// BFormat: the columns of the list being configured; in memory, each thread
// sees only its own rows.
#define ZANVO_BFO_FIELDS(X)                                                                                  \
    X(COLNUMBER, "BFO:COLNUMBER", I32, 4)                                                                    \
    X(COUNT, "BFO:COUNT", I32, 4)                                                                            \
    X(COLNAME, "BFO:COLNAME", Text, 40)                                                                      \
    X(COLWIDTH, "BFO:COLWIDTH", I32, 4)                                                                      \
    X(COLRESIZE, "BFO:COLRESIZE", U8, 1)                                                                     \
    X(SAVWIDTH, "BFO:SAVWIDTH", I32, 4)                                                                      \
    X(GROUPNAME, "BFO:GROUPNAME", Text, 40)                                                                  \
    X(BSCOLOR, "BFO:BSCOLOR", I32, 4)                                                                        \
    X(BCOLOR, "BFO:BCOLOR", I32, 4)                                                                          \
    X(COLFORMAT, "BFO:COLFORMAT", ZText, 256)                                                                \
    X(FIELDNO, "BFO:FIELDNO", I32, 4)                                                                        \
    X(GROUPNO, "BFO:GROUPNO", I32, 4)                                                                        \
    X(GROUPFORMAT, "BFO:GROUPFORMAT", ZText, 256)                                                            \
    X(GROUPCOUNT, "BFO:GROUPCOUNT", I32, 4)                                                                  \
    X(COLFIXED, "BFO:COLFIXED", U8, 1)                                                                       \
    X(HCOLOR, "BFO:HCOLOR", I32, 4)                                                                          \
    X(TSCOLOR, "BFO:TSCOLOR", I32, 4)                                                                        \
    X(HIDEWIDTH, "BFO:HIDEWIDTH", I32, 4)

namespace store {

#pragma pack(push, 1)
struct BFormatRecord
{
    ZANVO_BFO_FIELDS(ZANVO_RECORD_MEMBER)
};
#pragma pack(pop)

static_assert(sizeof(BFormatRecord) == 642);

// The table's dictionary (fields, keys, file).
const TableDef& bFormatTable();

} // namespace store
