// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/BrwSet.h"

#include "store/DictionaryFingerprint.h"
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

// One fingerprint per version of the dictionary, oldest first. When the fields
// or keys change, the build stops and names the new fingerprint: append it.
constexpr std::uint64_t kLayouts[] = {
    0x4a10b0a9d35e0093ull, // 1
};
} // namespace

const TableDef& brwSetTable()
{
    static constexpr TableDef def{"BrwSet", "BRW", "lf.dat", Storage::ListFormat, sizeof(BrwSetRecord),
                                  kFields,  kKeys, kLayouts};
    static_assert(std::size(kFields) == 16);
    static_assert(layoutsAreDistinct(kLayouts));
    static_assert(layoutIsRecorded<dictionaryFingerprint(def), kLayouts[std::size(kLayouts) - 1]>());
    return def;
}

} // namespace store
