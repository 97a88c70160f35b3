// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/VsdListScope.h"

#include "store/ErrorCodes.h"
#include "store/FieldAccess.h"
#include "store/RecordText.h"
#include "store/Table.h"
#include "workspace/SearchMask.h"
#include "workspace/VsdSearchIndex.h"

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

namespace {

constexpr std::uint32_t kNoSlot = 0xFFFFFFFFu;

struct TextHash
{
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

// Reads the values of the sort field for every row of the range, in the
// file's own order. Texts are numbered as they come (a journal repeats its
// names) and the numbers ranked afterwards, so that ordering the rows
// compares numbers.
int readSortColumn(store::Table& vsds, const VsdRange& range, int field, VsdRangeCache& cache)
{
    const store::FieldDef& f = def().fields[static_cast<std::size_t>(field)];
    const bool textual = f.type == store::FieldType::Text || f.type == store::FieldType::ZText;
    cache.sortField = -1;
    cache.sortNumbers.clear();
    std::int64_t largest = 0;
    for (std::int64_t row : cache.rows)
        largest = std::max(largest, row);
    cache.sortSlot.assign(static_cast<std::size_t>(largest) + 1, kNoSlot);
    std::unordered_map<std::string, std::uint32_t, TextHash, std::equal_to<>> distinct;
    const int fields[] = {field};
    const int code = vsds.scanRange(
        *range.key, range.components, reinterpret_cast<const char*>(&range.low),
        reinterpret_cast<const char*>(&range.high), fields,
        [&](std::int64_t row, const char* image) {
            if (row < 0 || row > largest)
                return true;
            cache.sortSlot[static_cast<std::size_t>(row)] =
                static_cast<std::uint32_t>(cache.sortNumbers.size());
            if (!textual) {
                cache.sortNumbers.push_back(std::get<double>(sortValueOf(f, image)));
                return true;
            }
            const char* p = image + f.offset;
            std::string_view text(p, f.type == store::FieldType::ZText ? strnlen(p, f.size) : f.size);
            if (f.type == store::FieldType::Text)
                text = text.substr(0, text.find_last_not_of(' ') + 1);
            auto it = distinct.find(text);
            if (it == distinct.end())
                it = distinct.emplace(std::string(text), static_cast<std::uint32_t>(distinct.size())).first;
            cache.sortNumbers.push_back(it->second);
            return true;
        },
        store::Table::ScanOrder::Stored);
    if (code != store::kOk)
        return code;
    if (textual) {
        std::vector<const std::pair<const std::string, std::uint32_t>*> texts;
        texts.reserve(distinct.size());
        for (const auto& entry : distinct)
            texts.push_back(&entry);
        std::sort(texts.begin(), texts.end(),
                  [](const auto* a, const auto* b) { return a->first < b->first; });
        std::vector<double> rankOf(texts.size());
        for (std::size_t rank = 0; rank < texts.size(); ++rank)
            rankOf[texts[rank]->second] = static_cast<double>(rank);
        for (double& value : cache.sortNumbers)
            value = rankOf[static_cast<std::size_t>(value)];
    }
    cache.sortField = field;
    return code;
}

} // namespace

int readVsdListRows(store::Table& vsds, const VsdListScope& scope, const SearchMask& mask,
                    const VsdSort& sort, std::vector<std::int64_t>& rows, VsdRangeCache* cache,
                    const VsdSearchIndex* index)
{
    rows.clear();
    VsdRange range;
    if (!rangeOf(scope, range))
        return store::kOk;
    const bool sorted = sort.field >= 0 && sort.field < static_cast<int>(def().fields.size());
    const bool descending = !sorted && sort.descending;

    // The rows in key order come from the key alone (or from the cache); what
    // the mask and the sort need is read in the file's own order, which costs
    // no seek per row.
    VsdRangeCache local;
    VsdRangeCache& kept = cache ? *cache : local;
    if (!kept.valid || kept.descending != descending) {
        kept.rows.clear();
        kept.sortField = -1;
        const int code = vsds.scanRange(
            *range.key, range.components, reinterpret_cast<const char*>(&range.low),
            reinterpret_cast<const char*>(&range.high), {},
            [&kept](std::int64_t row, const char*) {
                kept.rows.push_back(row);
                return true;
            },
            descending ? store::Table::ScanOrder::KeyDescending : store::Table::ScanOrder::KeyAscending);
        if (code != store::kOk) {
            kept.valid = false;
            return code;
        }
        kept.valid = true;
        kept.descending = descending;
    }
    if (sorted && kept.sortField != sort.field)
        if (const int code = readSortColumn(vsds, range, sort.field, kept))
            return code;

    // The rows that pass the mask, in key order.
    if (mask.empty()) {
        rows = kept.rows;
    } else if (index && index->covers(scope)) {
        for (std::int64_t row : kept.rows)
            if (index->matches(row, mask))
                rows.push_back(row);
    } else {
        std::vector<char> passing;
        const int code = vsds.scanRange(
            *range.key, range.components, reinterpret_cast<const char*>(&range.low),
            reinterpret_cast<const char*>(&range.high), searchMaskFields(),
            [&](std::int64_t row, const char* image) {
                if (row >= 0 && mask.matches(asVsd(image))) {
                    if (passing.size() <= static_cast<std::size_t>(row))
                        passing.resize(static_cast<std::size_t>(row) + 1 + passing.size() / 2, 0);
                    passing[static_cast<std::size_t>(row)] = 1;
                }
                return true;
            },
            store::Table::ScanOrder::Stored);
        if (code != store::kOk)
            return code;
        for (std::int64_t row : kept.rows)
            if (static_cast<std::size_t>(row) < passing.size() && passing[static_cast<std::size_t>(row)])
                rows.push_back(row);
    }
    if (!sorted)
        return store::kOk;

    const auto valueAt = [&kept](std::int64_t row) {
        return static_cast<std::size_t>(row) < kept.sortSlot.size()
                   ? kept.sortSlot[static_cast<std::size_t>(row)]
                   : kNoSlot;
    };
    const auto less = [&](std::int64_t a, std::int64_t b) {
        const std::uint32_t x = valueAt(a), y = valueAt(b);
        if (x == kNoSlot || y == kNoSlot)
            return x != kNoSlot && y == kNoSlot;
        return kept.sortNumbers[x] < kept.sortNumbers[y];
    };
    if (sort.descending)
        std::stable_sort(rows.begin(), rows.end(),
                         [&less](std::int64_t a, std::int64_t b) { return less(b, a); });
    else
        std::stable_sort(rows.begin(), rows.end(), less);
    return store::kOk;
}

int forEachVsdInScope(store::Table& vsds, const VsdListScope& scope, const SearchMask& mask,
                      const std::function<void(const std::string& uuid)>& visit)
{
    VsdRange range;
    if (!rangeOf(scope, range))
        return store::kOk;
    std::vector<int> fields = mask.empty() ? std::vector<int>() : searchMaskFields();
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
