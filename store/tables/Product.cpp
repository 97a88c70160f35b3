// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Product.h"

#include "store/tables/KeyBuilder.h"

namespace store {

namespace {
using tables::KeyKind;
using tables::makeKey;

#define X(m, n, t, s) ZANVO_FIELD_DEF(ProductRecord, m, n, t, s)
constexpr FieldDef kFields[] = {ZANVO_PRD_FIELDS(X)};
#undef X

constexpr KeyDef kKeys[] = {
    makeKey(kFields, "PRD:BYGUID", "По GUID коду", KeyKind::Primary, {"PRD:GUID"}),
};
} // namespace

const TableDef& productTable()
{
    static constexpr TableDef def{"m_Product", "PRD", "Base/mv06.dat", Storage::File, sizeof(ProductRecord),
                                  kFields,     kKeys};
    static_assert(std::size(kFields) == 60);
    return def;
}

} // namespace store
