// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Enterprise.h"

#include "store/DictionaryFingerprint.h"
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

// One fingerprint per version of the dictionary, oldest first. When the fields
// or keys change, the build stops and names the new fingerprint: append it.
constexpr std::uint64_t kLayouts[] = {
    0x56bcbf9d81cff68dull, // 1
};
} // namespace

const TableDef& enterpriseTable()
{
    static constexpr TableDef def{"m_Enterprise",           "MEP",   "Base/mv03.dat", Storage::File,
                                  sizeof(EnterpriseRecord), kFields, kKeys,           kLayouts};
    static_assert(std::size(kFields) == 49);
    static_assert(layoutsAreDistinct(kLayouts));
    static_assert(layoutIsRecorded<dictionaryFingerprint(def), kLayouts[std::size(kLayouts) - 1]>());
    return def;
}

} // namespace store
