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
class VsdSearchIndex;

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

// What a list keeps of its range between reads of the same range (a new
// mask or order) while the table does not change: the row ids in key order,
// and the values of the field it was last sorted by. Clear `valid` when the
// table or the range changes.
struct VsdRangeCache
{
    bool valid = false;
    bool descending = false;
    std::vector<std::int64_t> rows;

    int sortField = -1;                  // the field of the values below; -1 none
    std::vector<std::uint32_t> sortSlot; // row id -> index into the values
    std::vector<double> sortNumbers;     // numbers, or the ranks of the texts
};

// The row ids of the scope's VSDs that pass the mask, in the sort's order.
// `cache`, when given, is used when valid and filled when not; `index`,
// when it covers the scope, answers the mask without reading the table.
[[nodiscard]] int readVsdListRows(store::Table& vsds, const VsdListScope& scope, const SearchMask& mask,
                                  const VsdSort& sort, std::vector<std::int64_t>& rows,
                                  VsdRangeCache* cache = nullptr, const VsdSearchIndex* index = nullptr);

// Calls `visit` with the UUID of every VSD of the scope that passes the mask
// (what "select all" and its kin work on, shown or not).
[[nodiscard]] int forEachVsdInScope(store::Table& vsds, const VsdListScope& scope, const SearchMask& mask,
                                    const std::function<void(const std::string& uuid)>& visit);

} // namespace workspace
