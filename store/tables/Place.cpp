// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Place.h"

#include "store/DictionaryFingerprint.h"
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

// One fingerprint per version of the dictionary, oldest first. When the fields
// or keys change, the build stops and names the new fingerprint: append it.
constexpr std::uint64_t kLayouts[] = {
    0x589d578fb69716bdull, // 1
};
} // namespace

const TableDef& placeTable()
{
    static constexpr TableDef def{"m_Place",           "MPL",   "Base/mv05.dat", Storage::File,
                                  sizeof(PlaceRecord), kFields, kKeys,           kLayouts};
    static_assert(std::size(kFields) == 16);
    static_assert(layoutsAreDistinct(kLayouts));
    static_assert(layoutIsRecorded<dictionaryFingerprint(def), kLayouts[std::size(kLayouts) - 1]>());
    return def;
}

} // namespace store
