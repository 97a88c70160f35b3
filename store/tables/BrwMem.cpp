// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/BrwMem.h"

#include "store/DictionaryFingerprint.h"
#include "store/tables/KeyBuilder.h"

namespace store {

namespace {
using tables::KeyKind;
using tables::makeKey;

#define X(m, n, t, s) ZANVO_FIELD_DEF(BrwMemRecord, m, n, t, s)
constexpr FieldDef kFields[] = {ZANVO_BXM_FIELDS(X)};
#undef X

constexpr KeyDef kKeys[] = {
    makeKey(kFields, "BXM:BYID", "По идентификатору списка", KeyKind::Unique, {"BXM:IDBROWSE"}),
};

// One fingerprint per version of the dictionary, oldest first. When the fields
// or keys change, the build stops and names the new fingerprint: append it.
constexpr std::uint64_t kLayouts[] = {
    0x0f3035a38395185full, // 1
};
} // namespace

const TableDef& brwMemTable()
{
    static constexpr TableDef def{"BrwMem", "BXM", "BrwFMem", Storage::SharedMemory, sizeof(BrwMemRecord),
                                  kFields,  kKeys, kLayouts};
    static_assert(std::size(kFields) == 14);
    static_assert(layoutsAreDistinct(kLayouts));
    static_assert(layoutIsRecorded<dictionaryFingerprint(def), kLayouts[std::size(kLayouts) - 1]>());
    return def;
}

} // namespace store
