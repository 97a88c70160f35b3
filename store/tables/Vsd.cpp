// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Vsd.h"

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
} // namespace

const TableDef& vsdTable()
{
    static constexpr TableDef def{"m_VSD", "MVD", "Base/mv08.dat", Storage::File, sizeof(VsdRecord),
                                  kFields, kKeys};
    static_assert(std::size(kFields) == 152);
    return def;
}

} // namespace store
