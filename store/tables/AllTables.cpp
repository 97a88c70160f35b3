// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/AllTables.h"

#include "store/tables/BFormat.h"
#include "store/tables/BrwMem.h"
#include "store/tables/BrwSet.h"
#include "store/tables/Enterprise.h"
#include "store/tables/Entity.h"
#include "store/tables/Inside.h"
#include "store/tables/Place.h"
#include "store/tables/Product.h"
#include "store/tables/Refs.h"
#include "store/tables/Vetis.h"
#include "store/tables/Vsd.h"

#include <array>

namespace store {

namespace {
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}
} // namespace

std::span<const TableDef* const> allTables()
{
    static const std::array<const TableDef*, 11> tables{
        &vsdTable(),   &insideTable(), &refsTable(),   &productTable(), &entityTable(),  &enterpriseTable(),
        &placeTable(), &vetisTable(),  &brwSetTable(), &brwMemTable(),  &bFormatTable(),
    };
    return tables;
}

const TableDef* tableByName(std::string_view name)
{
    for (const TableDef* t : allTables())
        if (t->name == name)
            return t;
    for (const TableDef* t : allTables())
        if (equalsIgnoringAsciiCase(t->name, name))
            return t;
    return nullptr;
}

std::span<const RelationDef> allRelations()
{
    using enum RelationAction;
    // Deleting an entity removes its access settings and its enterprise links;
    // a changed entity GUID carries its links along. Deleting an enterprise
    // removes its links but never the entity.
    static const std::array<RelationDef, 3> relations{
        RelationDef{&entityTable(), &vetisTable(), "MEN:GUID", "MVS:GUID", vetisTable().key("MVS:BYGUID"),
                    None, Cascade},
        RelationDef{&entityTable(), &placeTable(), "MEN:GUID", "MPL:ENTITY", placeTable().key("MPL:BYENTITY"),
                    Cascade, Cascade},
        RelationDef{&enterpriseTable(), &placeTable(), "MEP:GUID", "MPL:ENTERPRISE",
                    placeTable().key("MPL:BYENTERPRISE"), None, Cascade},
    };
    return relations;
}

} // namespace store
