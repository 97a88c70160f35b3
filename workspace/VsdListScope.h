// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/tables/Vsd.h"

#include <cstdint>
#include <functional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace store {
class Table;
struct KeyDef;
} // namespace store

// Which VSDs the incoming list shows, and reading them without reading the
// table into memory: the list keeps only the row ids of its rows, in order,
// and reads a record when it is shown.
namespace workspace {

class SearchMask;

enum class VsdTab
{
    Period = 1,    // " &1. За период "
    InProcess = 2, // " &2. В обработке ": applications running (condition 1..9)
    Rejected = 3,  // " &3. Ошибки ": the last application failed (condition 100)
};

struct VsdListScope
{
    std::string entity;     // the own business entity's GUID
    std::string enterprise; // the working enterprise's GUID
    VsdTab tab = VsdTab::Period;
    int status = 0;        // status filter of the first tab: 0 all, 1..4 a status code
    bool periodOn = true;  // the period restricts the first tab
    std::int32_t from = 0; // day numbers, from <= to
    std::int32_t to = 0;
};

// The key range of a scope: the key and the low and high values of its
// leading components.
struct VsdRange
{
    const store::KeyDef* key = nullptr;
    int components = 0;
    store::VsdRecord low{};
    store::VsdRecord high{};
};

// False when the scope shows nothing (no own entity or enterprise yet).
bool rangeOf(const VsdListScope& scope, VsdRange& out);

// The order of the list: the key's (field -1) or one field's, ascending or
// descending; rows of equal values keep the key's order.
struct VsdSort
{
    int field = -1; // index into the m_VSD field dictionary
    bool descending = false;
};

// The row ids of a scope in key order, kept by a list between reads of the
// same scope (a new mask or order) while the table does not change.
struct VsdKeyOrder
{
    bool valid = false;
    bool descending = false;
    std::vector<std::int64_t> rows;
};

// The row ids of the scope's VSDs that pass the mask, in the sort's order.
// `keyOrder`, when given, is used when valid and filled when not.
[[nodiscard]] int readVsdListRows(store::Table& vsds, const VsdListScope& scope, const SearchMask& mask,
                                  const VsdSort& sort, std::vector<std::int64_t>& rows,
                                  VsdKeyOrder* keyOrder = nullptr);

// Calls `visit` with the UUID of every VSD of the scope that passes the mask
// (what "select all" and its kin work on, shown or not).
[[nodiscard]] int forEachVsdInScope(store::Table& vsds, const VsdListScope& scope, const SearchMask& mask,
                                    const std::function<void(const std::string& uuid)>& visit);

} // namespace workspace
