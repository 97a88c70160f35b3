// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Vsd.h"

#include "store/DictionaryFingerprint.h"
#include "store/tables/KeyBuilder.h"

namespace store {

namespace {
using tables::KeyKind;
using tables::makeKey;

#define X(m, n, t, s) ZANVO_FIELD_DEF(VsdRecord, m, n, t, s)
constexpr FieldDef kFields[] = {ZANVO_MVD_FIELDS(X)};
#undef X

// The secondary keys start with the consignee entity and enterprise, so the
// VSDs of one enterprise form one contiguous range; the UUID makes them unique.
constexpr KeyDef kKeys[] = {
    makeKey(kFields, "MVD:BYUUID", "По UUID", KeyKind::Primary, {"MVD:UUID"}),
    makeKey(kFields, "MVD:BYDATE2", "По дате - входящие ВСД", KeyKind::Unique,
            {"MVD:CONSIGNEEHS", "MVD:CONSIGNEEENT", "MVD:DATE", "MVD:UUID"}),
    makeKey(kFields, "MVD:BYSTATUS2", "По статусу - входящие ВСД", KeyKind::Unique,
            {"MVD:CONSIGNEEHS", "MVD:CONSIGNEEENT", "MVD:CODSTATUS", "MVD:DATE", "MVD:UUID"}),
    makeKey(kFields, "MVD:BYCONDITION2", "По состоянию - входящие ВСД", KeyKind::Unique,
            {"MVD:CONSIGNEEHS", "MVD:CONSIGNEEENT", "MVD:CONDITION", "MVD:DATE", "MVD:UUID"}),
};

// One fingerprint per version of the dictionary, oldest first. When the fields
// or keys change, the build stops and names the new fingerprint: append it.
constexpr std::uint64_t kLayouts[] = {
    0x0586747d435da5c7ull, // 1
};
} // namespace

const TableDef& vsdTable()
{
    static constexpr TableDef def{"m_VSD",           "MVD",   "Base/mv08.dat", Storage::File,
                                  sizeof(VsdRecord), kFields, kKeys,           kLayouts};
    static_assert(std::size(kFields) == 152);
    static_assert(layoutsAreDistinct(kLayouts));
    static_assert(layoutIsRecorded<dictionaryFingerprint(def), kLayouts[std::size(kLayouts) - 1]>());
    return def;
}

} // namespace store
