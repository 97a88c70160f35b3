// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Inside.h"

#include "store/DictionaryFingerprint.h"
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

// One fingerprint per version of the dictionary, oldest first. When the fields
// or keys change, the build stops and names the new fingerprint: append it.
constexpr std::uint64_t kLayouts[] = {
    0x1495f29f6ad14babull, // 1
};
} // namespace

const TableDef& insideTable()
{
    static constexpr TableDef def{"m_Inside",           "MIN",   "Base/mv04.dat", Storage::File,
                                  sizeof(InsideRecord), kFields, kKeys,           kLayouts};
    static_assert(std::size(kFields) == 47);
    static_assert(layoutsAreDistinct(kLayouts));
    static_assert(layoutIsRecorded<dictionaryFingerprint(def), kLayouts[std::size(kLayouts) - 1]>());
    return def;
}

} // namespace store
