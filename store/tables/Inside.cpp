// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Inside.h"

#include "store/tables/KeyBuilder.h"

namespace store {

namespace {
using tables::KeyKind;
using tables::makeKey;

#define X(m, n, t, s) ZANVO_FIELD_DEF(InsideRecord, m, n, t, s)
constexpr FieldDef kFields[] = {ZANVO_MIN_FIELDS(X)};
#undef X

constexpr KeyDef kKeys[] = {
    makeKey(kFields, "MIN:BYUUID", "По UUID записи", KeyKind::Primary, {"MIN:UUID", "MIN:VID", "MIN:NUMBER"}),
};
} // namespace

const TableDef& insideTable()
{
    static constexpr TableDef def{"m_Inside", "MIN", "Base/mv04.dat", Storage::File, sizeof(InsideRecord),
                                  kFields,    kKeys};
    static_assert(std::size(kFields) == 47);
    return def;
}

} // namespace store
