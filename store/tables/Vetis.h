// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

// m_Vetis: the VetIS.API access settings of each business entity. The file is
// stored encrypted; its rows are readable only with the owner password.
#define ZANVO_MVS_FIELDS(X)                                                                                  \
    X(GUID, "MVS:GUID", Text, 36)                                                                            \
    X(CDATE, "MVS:CDATE", I32, 4)                                                                            \
    X(LOGIN, "MVS:LOGIN", ZText, 121)                                                                        \
    X(PASSWORD, "MVS:PASSWORD", ZText, 121)                                                                  \
    X(APIKEY, "MVS:APIKEY", ZText, 256)                                                                      \
    X(TEST, "MVS:TEST", U8, 1)                                                                               \
    X(ANSWER, "MVS:ANSWER", U8, 1)                                                                           \
    X(DUMPPATH, "MVS:DUMPPATH", ZText, 256)                                                                  \
    X(WEBLOGIN, "MVS:WEBLOGIN", ZText, 121)                                                                  \
    X(REMARK, "MVS:REMARK", ZText, 121)                                                                      \
    X(GUID1, "MVS:GUID1", Text, 36)                                                                          \
    X(GUID2, "MVS:GUID2", Text, 36)                                                                          \
    X(GUID3, "MVS:GUID3", Text, 36)                                                                          \
    X(STR40_01, "MVS:STR40_01", ZText, 41)                                                                   \
    X(STR40_02, "MVS:STR40_02", ZText, 41)                                                                   \
    X(STR40_03, "MVS:STR40_03", ZText, 41)                                                                   \
    X(STR40_04, "MVS:STR40_04", ZText, 41)                                                                   \
    X(STR120_01, "MVS:STR120_01", ZText, 121)                                                                \
    X(STR120_02, "MVS:STR120_02", ZText, 121)                                                                \
    X(STR120_03, "MVS:STR120_03", ZText, 121)                                                                \
    X(STR120_04, "MVS:STR120_04", ZText, 121)                                                                \
    X(STR250_01, "MVS:STR250_01", ZText, 251)                                                                \
    X(STR250_02, "MVS:STR250_02", ZText, 251)                                                                \
    X(STR250_03, "MVS:STR250_03", ZText, 251)                                                                \
    X(STR250_04, "MVS:STR250_04", ZText, 251)                                                                \
    X(WINSFONT, "MVS:WINSFONT", U8, 1)                                                                       \
    X(PERIOD, "MVS:PERIOD", U8, 1)                                                                           \
    X(BYTE_03, "MVS:BYTE_03", U8, 1)                                                                         \
    X(BYTE_04, "MVS:BYTE_04", U8, 1)                                                                         \
    X(BYTE_05, "MVS:BYTE_05", U8, 1)                                                                         \
    X(BYTE_06, "MVS:BYTE_06", U8, 1)                                                                         \
    X(BYTE_07, "MVS:BYTE_07", U8, 1)                                                                         \
    X(BYTE_08, "MVS:BYTE_08", U8, 1)                                                                         \
    X(LONG_01, "MVS:LONG_01", I32, 4)                                                                        \
    X(LONG_02, "MVS:LONG_02", I32, 4)                                                                        \
    X(LONG_03, "MVS:LONG_03", I32, 4)                                                                        \
    X(LONG_04, "MVS:LONG_04", I32, 4)                                                                        \
    X(LONG_05, "MVS:LONG_05", I32, 4)                                                                        \
    X(LONG_06, "MVS:LONG_06", I32, 4)                                                                        \
    X(LONG_07, "MVS:LONG_07", I32, 4)                                                                        \
    X(LONG_08, "MVS:LONG_08", I32, 4)                                                                        \
    X(REAL_01, "MVS:REAL_01", F64, 8)                                                                        \
    X(REAL_02, "MVS:REAL_02", F64, 8)

namespace store {

#pragma pack(push, 1)
struct VetisRecord
{
    ZANVO_MVS_FIELDS(ZANVO_RECORD_MEMBER)
};
#pragma pack(pop)

static_assert(sizeof(VetisRecord) == 2854);

// The fixed owner password the settings file is sealed under.
inline constexpr std::string_view kVetisOwnerPassword = "7/.QmK3.Rv9B.58";

// The table's dictionary (fields, keys, file).
const TableDef& vetisTable();

} // namespace store
