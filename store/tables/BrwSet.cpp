// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/BrwSet.h"

#include "store/tables/KeyBuilder.h"

namespace store {

namespace {
using tables::KeyKind;
using tables::makeKey;

#define X(m, n, t, s) ZANVO_FIELD_DEF(BrwSetRecord, m, n, t, s)
constexpr FieldDef kFields[] = {ZANVO_BRW_FIELDS(X)};
#undef X

constexpr KeyDef kKeys[] = {
    makeKey(kFields, "BRW:BYID", "По идентификатору списка", KeyKind::Primary, {"BRW:IDBROWSE"}),
};
} // namespace

const TableDef& brwSetTable()
{
    static constexpr TableDef def{"BrwSet", "BRW", "lf.dat", Storage::ListFormat, sizeof(BrwSetRecord),
                                  kFields,  kKeys};
    static_assert(std::size(kFields) == 16);
    return def;
}

} // namespace store
