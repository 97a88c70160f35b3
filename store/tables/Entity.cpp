// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Entity.h"

#include "store/DictionaryFingerprint.h"
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

// One fingerprint per version of the dictionary, oldest first. When the fields
// or keys change, the build stops and names the new fingerprint: append it.
constexpr std::uint64_t kLayouts[] = {
    0x69c1fa223c2a1b08ull, // 1
};
} // namespace

const TableDef& entityTable()
{
    static constexpr TableDef def{"m_Entity",           "MEN",   "Base/mv02.dat", Storage::File,
                                  sizeof(EntityRecord), kFields, kKeys,           kLayouts};
    static_assert(std::size(kFields) == 54);
    static_assert(layoutsAreDistinct(kLayouts));
    static_assert(layoutIsRecorded<dictionaryFingerprint(def), kLayouts[std::size(kLayouts) - 1]>());
    return def;
}

} // namespace store
