// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Product.h"

#include "store/DictionaryFingerprint.h"
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

// One fingerprint per version of the dictionary, oldest first. When the fields
// or keys change, the build stops and names the new fingerprint: append it.
constexpr std::uint64_t kLayouts[] = {
    0xf7065ba22e910a6bull, // 1
};
} // namespace

const TableDef& productTable()
{
    static constexpr TableDef def{"m_Product",           "PRD",   "Base/mv06.dat", Storage::File,
                                  sizeof(ProductRecord), kFields, kKeys,           kLayouts};
    static_assert(std::size(kFields) == 60);
    static_assert(layoutsAreDistinct(kLayouts));
    static_assert(layoutIsRecorded<dictionaryFingerprint(def), kLayouts[std::size(kLayouts) - 1]>());
    return def;
}

} // namespace store
