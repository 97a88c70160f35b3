// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/BFormat.h"

#include "store/DictionaryFingerprint.h"
#include "store/tables/KeyBuilder.h"

namespace store {

namespace {
using tables::KeyKind;
using tables::makeKey;

#define X(m, n, t, s) ZANVO_FIELD_DEF(BFormatRecord, m, n, t, s)
constexpr FieldDef kFields[] = {ZANVO_BFO_FIELDS(X)};
#undef X

constexpr KeyDef kKeys[] = {
    makeKey(kFields, "BFO:BYNUMBER", "По номеру", KeyKind::Duplicates, {"BFO:COLNUMBER"}),
    makeKey(kFields, "BFO:BYCOUNT", "BFO:ByCount", KeyKind::Duplicates, {"BFO:COUNT"}),
};

// One fingerprint per version of the dictionary, oldest first. When the fields
// or keys change, the build stops and names the new fingerprint: append it.
constexpr std::uint64_t kLayouts[] = {
    0xe765209ac55f563cull, // 1
};
} // namespace

const TableDef& bFormatTable()
{
    static constexpr TableDef def{"BFormat", "BFO", "BFORMAT", Storage::ThreadMemory, sizeof(BFormatRecord),
                                  kFields,   kKeys, kLayouts};
    static_assert(std::size(kFields) == 18);
    static_assert(layoutsAreDistinct(kLayouts));
    static_assert(layoutIsRecorded<dictionaryFingerprint(def), kLayouts[std::size(kLayouts) - 1]>());
    return def;
}

} // namespace store
