// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Place.h"

namespace store {

namespace {
#define X(m, n, t, s) ZANVO_FIELD_DEF(PlaceRecord, m, n, t, s)
constexpr FieldDef kFields[] = {ZANVO_MPL_FIELDS(X)};
#undef X

// Field indexes: 0 ENTITY, 1 ENTERPRISE.
constexpr KeyDef kKeys[] = {
    {"MPL:BYENTITY", "По ХС", true, true, 2, {0, 1}},
    {"MPL:BYENTERPRISE", "По площадке", true, false, 2, {1, 0}},
};
} // namespace

const TableDef& placeTable()
{
    static constexpr TableDef def{"m_Place", "MPL", "Base/mv05.dat", Storage::File, sizeof(PlaceRecord), kFields, kKeys};
    static_assert(std::size(kFields) == 16);
    return def;
}

} // namespace store
