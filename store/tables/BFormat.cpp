// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/BFormat.h"

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
} // namespace

const TableDef& bFormatTable()
{
    static constexpr TableDef def{"BFormat", "BFO", "BFORMAT", Storage::ThreadMemory, sizeof(BFormatRecord),
                                  kFields,   kKeys};
    static_assert(std::size(kFields) == 18);
    return def;
}

} // namespace store
