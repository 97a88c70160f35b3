// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Vetis.h"

#include "store/tables/KeyBuilder.h"

namespace store {

namespace {
using tables::KeyKind;
using tables::makeKey;

#define X(m, n, t, s) ZANVO_FIELD_DEF(VetisRecord, m, n, t, s)
constexpr FieldDef kFields[] = {ZANVO_MVS_FIELDS(X)};
#undef X

constexpr KeyDef kKeys[] = {
    makeKey(kFields, "MVS:BYGUID", "mVs:ByGUID", KeyKind::Primary, {"MVS:GUID"}),
};
} // namespace

const TableDef& vetisTable()
{
    static constexpr TableDef def{
        "m_Vetis", "MVS", "Base/mv01.dat", Storage::EncryptedFile, sizeof(VetisRecord), kFields, kKeys};
    static_assert(std::size(kFields) == 43);
    return def;
}

} // namespace store
