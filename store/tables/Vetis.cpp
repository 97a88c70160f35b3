// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Vetis.h"

#include "store/DictionaryFingerprint.h"
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

// One fingerprint per version of the dictionary, oldest first. When the fields
// or keys change, the build stops and names the new fingerprint: append it.
constexpr std::uint64_t kLayouts[] = {
    0x9712dc04c2e79bdfull, // 1
};
} // namespace

const TableDef& vetisTable()
{
    static constexpr TableDef def{"m_Vetis",           "MVS",   "Base/mv01.dat", Storage::EncryptedFile,
                                  sizeof(VetisRecord), kFields, kKeys,           kLayouts};
    static_assert(std::size(kFields) == 43);
    static_assert(layoutsAreDistinct(kLayouts));
    static_assert(layoutIsRecorded<dictionaryFingerprint(def), kLayouts[std::size(kLayouts) - 1]>());
    return def;
}

} // namespace store
