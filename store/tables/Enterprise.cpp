// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Enterprise.h"

#include "store/tables/KeyBuilder.h"

namespace store {

namespace {
using tables::KeyKind;
using tables::makeKey;

#define X(m, n, t, s) ZANVO_FIELD_DEF(EnterpriseRecord, m, n, t, s)
constexpr FieldDef kFields[] = {ZANVO_MEP_FIELDS(X)};
#undef X

constexpr KeyDef kKeys[] = {
    makeKey(kFields, "MEP:BYGUID", "По GUID коду", KeyKind::Primary, {"MEP:GUID"}),
};
} // namespace

const TableDef& enterpriseTable()
{
    static constexpr TableDef def{
        "m_Enterprise", "MEP", "Base/mv03.dat", Storage::File, sizeof(EnterpriseRecord), kFields, kKeys};
    static_assert(std::size(kFields) == 49);
    return def;
}

} // namespace store
