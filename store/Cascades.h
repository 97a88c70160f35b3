// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <vector>

// The relations between tables, carried out in code: deleting a parent record
// deletes its child records, changing a parent's linking field carries the
// children along (where the relation says so). Everything runs inside the
// parent's transaction, or in one of its own when there is none; a failure
// undoes the whole change, the parent's included. Private to the store.
namespace store {

class Table;

class Cascades
{
public:
    static std::vector<const TableDef*> childTables(const TableDef& parent);
    static bool hasUpdateCascades(const TableDef& parent);
    static bool hasDeleteCascades(const TableDef& parent);

    // put() and deleteRecord() of a parent with cascades.
    [[nodiscard]] static int put(Table& parent);
    [[nodiscard]] static int deleteRecord(Table& parent);

private:
    [[nodiscard]] static int run(Table& parent, bool deleting);
};

} // namespace store
