// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Refs.h"

#include "store/DictionaryFingerprint.h"
#include "store/tables/KeyBuilder.h"

namespace store {

namespace {
using tables::KeyKind;
using tables::makeKey;

#define X(m, n, t, s) ZANVO_FIELD_DEF(RefsRecord, m, n, t, s)
constexpr FieldDef kFields[] = {ZANVO_MRE_FIELDS(X)};
#undef X

// The parent GUID precedes the name, so entries of one kind and parent read as
// one range; under BYMARK the marked entries follow the unmarked ones.
constexpr KeyDef kKeys[] = {
    makeKey(kFields, "MRE:BYGUID", "По GUID коду", KeyKind::Primary, {"MRE:GUID"}),
    makeKey(kFields, "MRE:BYNAME", "По наименованию", KeyKind::Unique,
            {"MRE:VID", "MRE:PARENT", "MRE:NAME", "MRE:GUID"}),
    makeKey(kFields, "MRE:BYMARK", "По отметке", KeyKind::Unique,
            {"MRE:VID", "MRE:PARENT", "MRE:MARK", "MRE:NAME", "MRE:GUID"}),
};

// One fingerprint per version of the dictionary, oldest first. When the fields
// or keys change, the build stops and names the new fingerprint: append it.
constexpr std::uint64_t kLayouts[] = {
    0x922942b8625de3e5ull, // 1
};
} // namespace

const TableDef& refsTable()
{
    static constexpr TableDef def{"m_Refs",           "MRE",   "Base/mv07.dat", Storage::File,
                                  sizeof(RefsRecord), kFields, kKeys,           kLayouts};
    static_assert(std::size(kFields) == 29);
    static_assert(layoutsAreDistinct(kLayouts));
    static_assert(layoutIsRecorded<dictionaryFingerprint(def), kLayouts[std::size(kLayouts) - 1]>());
    return def;
}

} // namespace store
