// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/VsdListScope.h"

#include "store/ErrorCodes.h"
#include "store/FieldAccess.h"
#include "store/RecordText.h"
#include "store/Table.h"
#include "workspace/SearchMask.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <variant>

namespace workspace {

namespace {

const store::TableDef& def()
{
    return store::vsdTable();
}

int fieldOf(std::string_view name)
{
    return def().fieldIndex(name);
}

// The fields the search mask looks at.
std::vector<int> maskFields()
{
    std::vector<int> fields;
    for (const char* name :
         {"MVD:ISSUESERIES", "MVD:ISSUENUMBER", "MVD:PRODITEMNAME", "MVD:PRODITEMGTIN", "MVD:CONSIGNORNAME",
          "MVD:CONSIGNORINN", "MVD:CONSIGNORPLACE", "MVD:PRODITEMCODE"})
        fields.push_back(fieldOf(name));
    return fields;
}

const store::VsdRecord& asVsd(const char* image)
{
    return *reinterpret_cast<const store::VsdRecord*>(image);
}

// A value to order rows by: a number, or text compared as bytes.
using SortValue = std::variant<double, std::string>;

SortValue sortValueOf(const store::FieldDef& f, const char* image)
{
    const char* p = image + f.offset;
    switch (f.type) {
    case store::FieldType::Text: {
        std::string_view text(p, f.size);
        const std::size_t end = text.find_last_not_of(' ');
        return std::string(end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1));
    }
    case store::FieldType::ZText:
        return std::string(p, strnlen(p, f.size));
    default:
        return std::stod(store::fieldAsUtf8(f, image));
    }
}

} // namespace

bool rangeOf(const VsdListScope& scope, VsdRange& out)
{
    if (scope.entity.size() != 36 || scope.enterprise.size() != 36)
        return false;
    store::clearRecordOf(def(), reinterpret_cast<char*>(&out.low));
    store::clearRecordOf(def(), reinterpret_cast<char*>(&out.high));
    for (store::VsdRecord* r : {&out.low, &out.high}) {
        store::setText(r->CONSIGNEEHS, scope.entity);
        store::setText(r->CONSIGNEEENT, scope.enterprise);
    }
    switch (scope.tab) {
    case VsdTab::InProcess:
        out.key = def().key("MVD:BYCONDITION2");
        out.components = 3;
        out.low.CONDITION = 1;
        out.high.CONDITION = 9;
        return true;
    case VsdTab::Rejected:
        out.key = def().key("MVD:BYCONDITION2");
        out.components = 3;
        out.low.CONDITION = out.high.CONDITION = 100;
        return true;
    case VsdTab::Period:
        break;
    }
    if (scope.status >= 1 && scope.status <= 4) {
        out.key = def().key("MVD:BYSTATUS2");
        out.low.CODSTATUS = out.high.CODSTATUS = static_cast<std::uint8_t>(scope.status);
        out.components = scope.periodOn ? 4 : 3;
    } else {
        out.key = def().key("MVD:BYDATE2");
        out.components = scope.periodOn ? 3 : 2;
    }
    out.low.DATE = scope.from;
    out.high.DATE = scope.to;
    return true;
}

int readVsdListRows(store::Table& vsds, const VsdListScope& scope, const SearchMask& mask,
                    const VsdSort& sort, std::vector<std::int64_t>& rows)
{
    rows.clear();
    VsdRange range;
    if (!rangeOf(scope, range))
        return store::kOk;
    const char* low = reinterpret_cast<const char*>(&range.low);
    const char* high = reinterpret_cast<const char*>(&range.high);
    const bool sorted = sort.field >= 0 && sort.field < static_cast<int>(def().fields.size());
    // The rows in key order come from the key alone; what the mask and the
    // sort need is read in the file's own order, which costs no seek per row.
    int code = vsds.scanRange(
        *range.key, range.components, low, high, {},
        [&rows](std::int64_t row, const char*) {
            rows.push_back(row);
            return true;
        },
        !sorted && sort.descending ? store::Table::ScanOrder::KeyDescending
                                   : store::Table::ScanOrder::KeyAscending);
    if (code != store::kOk || (mask.empty() && !sorted))
        return code;

    std::vector<int> fields = mask.empty() ? std::vector<int>() : maskFields();
    if (sorted)
        fields.push_back(sort.field);
    std::unordered_map<std::int64_t, SortValue> values;
    values.reserve(rows.size());
    code = vsds.scanRange(
        *range.key, range.components, low, high, fields,
        [&](std::int64_t row, const char* image) {
            if (mask.matches(asVsd(image)))
                values.emplace(row,
                               sorted ? sortValueOf(def().fields[static_cast<std::size_t>(sort.field)], image)
                                      : SortValue());
            return true;
        },
        store::Table::ScanOrder::Stored);
    if (code != store::kOk)
        return code;
    if (!sorted) {
        std::erase_if(rows, [&values](std::int64_t row) { return !values.count(row); });
        return store::kOk;
    }
    // Each kept row with its value, in key order, then ordered by the value.
    std::vector<std::pair<SortValue, std::int64_t>> keyed;
    keyed.reserve(values.size());
    for (std::int64_t row : rows)
        if (auto it = values.find(row); it != values.end())
            keyed.emplace_back(std::move(it->second), row);
    std::stable_sort(keyed.begin(), keyed.end(), [&sort](const auto& a, const auto& b) {
        return sort.descending ? b.first < a.first : a.first < b.first;
    });
    rows.clear();
    for (const auto& [value, row] : keyed)
        rows.push_back(row);
    return store::kOk;
}

int forEachVsdInScope(store::Table& vsds, const VsdListScope& scope, const SearchMask& mask,
                      const std::function<void(const std::string& uuid)>& visit)
{
    VsdRange range;
    if (!rangeOf(scope, range))
        return store::kOk;
    std::vector<int> fields = mask.empty() ? std::vector<int>() : maskFields();
    fields.push_back(fieldOf("MVD:UUID"));
    return vsds.scanRange(
        *range.key, range.components, reinterpret_cast<const char*>(&range.low),
        reinterpret_cast<const char*>(&range.high), fields,
        [&](std::int64_t, const char* image) {
            const store::VsdRecord& r = asVsd(image);
            if (mask.matches(r))
                visit(std::string(store::textOf(r.UUID)));
            return true;
        },
        store::Table::ScanOrder::Stored);
}

} // namespace workspace
