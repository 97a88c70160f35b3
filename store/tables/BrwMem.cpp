// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/BrwMem.h"

#include "store/tables/KeyBuilder.h"

namespace store {

namespace {
using tables::KeyKind;
using tables::makeKey;

#define X(m, n, t, s) ZANVO_FIELD_DEF(BrwMemRecord, m, n, t, s)
constexpr FieldDef kFields[] = {ZANVO_BXM_FIELDS(X)};
#undef X

constexpr KeyDef kKeys[] = {
    makeKey(kFields, "BXM:BYID", "По идентификатору списка", KeyKind::Unique, {"BXM:IDBROWSE"}),
};
} // namespace

const TableDef& brwMemTable()
{
    static constexpr TableDef def{"BrwMem", "BXM", "BrwFMem", Storage::SharedMemory, sizeof(BrwMemRecord),
                                  kFields,  kKeys};
    static_assert(std::size(kFields) == 14);
    return def;
}

} // namespace store
