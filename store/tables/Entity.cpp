// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Entity.h"

#include "store/tables/KeyBuilder.h"

namespace store {

namespace {
using tables::KeyKind;
using tables::makeKey;

#define X(m, n, t, s) ZANVO_FIELD_DEF(EntityRecord, m, n, t, s)
constexpr FieldDef kFields[] = {ZANVO_MEN_FIELDS(X)};
#undef X

constexpr KeyDef kKeys[] = {
    makeKey(kFields, "MEN:BYGUID", "mEn:ByGUID", KeyKind::Primary, {"MEN:GUID"}),
    makeKey(kFields, "MEN:BYHOME", "По виду ХС", KeyKind::Duplicates, {"MEN:HOME"}),
};
} // namespace

const TableDef& entityTable()
{
    static constexpr TableDef def{"m_Entity", "MEN", "Base/mv02.dat", Storage::File, sizeof(EntityRecord),
                                  kFields,    kKeys};
    static_assert(std::size(kFields) == 54);
    return def;
}

} // namespace store
