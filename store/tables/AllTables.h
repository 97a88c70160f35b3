// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <span>
#include <string_view>

// The catalogue of all local tables and the relations between them.
namespace store {

// Every table, in the order the program creates them.
std::span<const TableDef* const> allTables();

// The table of this name; an exact match wins, otherwise the name is compared
// ignoring ASCII case. nullptr when there is no such table.
const TableDef* tableByName(std::string_view name);

// What happens to the child rows when the parent's linking field changes
// (update) or the parent row is deleted (delete).
enum class RelationAction : std::uint8_t
{
    None,
    Cascade,
};

// Parent and child are linked by parent.linkParentField == child.linkChildField;
// childKey is the child's key that starts with the linking field. The actions
// run inside the transaction of the parent's change.
struct RelationDef
{
    const TableDef* parent;
    const TableDef* child;
    std::string_view linkParentField; // "MEN:GUID"
    std::string_view linkChildField;  // "MVS:GUID"
    const KeyDef* childKey;
    RelationAction onUpdate;
    RelationAction onDelete;
};

std::span<const RelationDef> allRelations();

} // namespace store
