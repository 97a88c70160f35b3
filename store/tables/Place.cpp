// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Place.h"

#include "store/tables/KeyBuilder.h"

namespace store {

namespace {
using tables::KeyKind;
using tables::makeKey;

#define X(m, n, t, s) ZANVO_FIELD_DEF(PlaceRecord, m, n, t, s)
constexpr FieldDef kFields[] = {ZANVO_MPL_FIELDS(X)};
#undef X

constexpr KeyDef kKeys[] = {
    makeKey(kFields, "MPL:BYENTITY", "По ХС", KeyKind::Primary, {"MPL:ENTITY", "MPL:ENTERPRISE"}),
    makeKey(kFields, "MPL:BYENTERPRISE", "По площадке", KeyKind::Unique, {"MPL:ENTERPRISE", "MPL:ENTITY"}),
};
} // namespace

const TableDef& placeTable()
{
    static constexpr TableDef def{"m_Place", "MPL", "Base/mv05.dat", Storage::File, sizeof(PlaceRecord),
                                  kFields,   kKeys};
    static_assert(std::size(kFields) == 16);
    return def;
}

} // namespace store
