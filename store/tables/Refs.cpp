// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/Refs.h"

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
} // namespace

const TableDef& refsTable()
{
    static constexpr TableDef def{"m_Refs", "MRE", "Base/mv07.dat", Storage::File, sizeof(RefsRecord),
                                  kFields,  kKeys};
    static_assert(std::size(kFields) == 29);
    return def;
}

} // namespace store
