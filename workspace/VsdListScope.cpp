// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/VsdListScope.h"

#include "store/ErrorCodes.h"
#include "store/FieldAccess.h"
#include "store/RecordText.h"
#include "store/Table.h"
#include "workspace/SearchMask.h"

#include <algorithm>
#include <cstring>
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
                    const VsdSort& sort, std::vector<std::int64_t>& rows, VsdKeyOrder* keyOrder)
{
    rows.clear();
    VsdRange range;
    if (!rangeOf(scope, range))
        return store::kOk;
    const char* low = reinterpret_cast<const char*>(&range.low);
    const char* high = reinterpret_cast<const char*>(&range.high);
    const bool sorted = sort.field >= 0 && sort.field < static_cast<int>(def().fields.size());
    const bool descending = !sorted && sort.descending;

    // The rows in key order come from the key alone (or from the caller, who
    // read them before for the same scope); what the mask and the sort need is
    // read in the file's own order, which costs no seek per row.
    VsdKeyOrder local;
    VsdKeyOrder& order = keyOrder ? *keyOrder : local;
    if (!order.valid || order.descending != descending) {
        order.rows.clear();
        const int code = vsds.scanRange(
            *range.key, range.components, low, high, {},
            [&order](std::int64_t row, const char*) {
                order.rows.push_back(row);
                return true;
            },
            descending ? store::Table::ScanOrder::KeyDescending : store::Table::ScanOrder::KeyAscending);
        if (code != store::kOk) {
            order.valid = false;
            return code;
        }
        order.valid = true;
        order.descending = descending;
    }
    if (mask.empty() && !sorted) {
        rows = order.rows;
        return store::kOk;
    }

    std::vector<int> fields = mask.empty() ? std::vector<int>() : maskFields();
    const store::FieldDef* sortField = sorted ? &def().fields[static_cast<std::size_t>(sort.field)] : nullptr;
    if (sorted)
        fields.push_back(sort.field);
    const bool textual = sortField && (sortField->type == store::FieldType::Text ||
                                       sortField->type == store::FieldType::ZText);
    // Row ids are small numbers: the passing rows are marked in a vector by
    // their id, with where their value is.
    constexpr std::uint32_t kNotPassing = 0xFFFFFFFFu;
    std::int64_t largest = 0;
    for (std::int64_t row : order.rows)
        largest = std::max(largest, row);
    std::vector<std::uint32_t> slot(static_cast<std::size_t>(largest) + 1, kNotPassing);
    std::vector<std::string> texts;
    std::vector<double> numbers;
    std::uint32_t passing = 0;
    const int code = vsds.scanRange(
        *range.key, range.components, low, high, fields,
        [&](std::int64_t row, const char* image) {
            if (row < 0 || row > largest || !mask.matches(asVsd(image)))
                return true;
            slot[static_cast<std::size_t>(row)] = passing++;
            if (textual) {
                const char* p = image + sortField->offset;
                std::string_view text(p, sortField->type == store::FieldType::ZText
                                             ? strnlen(p, sortField->size)
                                             : sortField->size);
                if (sortField->type == store::FieldType::Text)
                    text = text.substr(0, text.find_last_not_of(' ') + 1);
                texts.emplace_back(text);
            } else if (sortField) {
                numbers.push_back(std::get<double>(sortValueOf(*sortField, image)));
            }
            return true;
        },
        store::Table::ScanOrder::Stored);
    if (code != store::kOk)
        return code;
    // The passing rows in key order, with where their values are.
    std::vector<std::pair<std::int64_t, std::uint32_t>> kept;
    kept.reserve(passing);
    for (std::int64_t row : order.rows)
        if (const std::uint32_t at = slot[static_cast<std::size_t>(row)]; at != kNotPassing)
            kept.emplace_back(row, at);
    if (sorted) {
        const auto less = [&](const auto& a, const auto& b) {
            return textual ? texts[a.second] < texts[b.second] : numbers[a.second] < numbers[b.second];
        };
        if (sort.descending)
            std::stable_sort(kept.begin(), kept.end(),
                             [&less](const auto& a, const auto& b) { return less(b, a); });
        else
            std::stable_sort(kept.begin(), kept.end(), less);
    }
    rows.reserve(kept.size());
    for (const auto& [row, at] : kept)
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
