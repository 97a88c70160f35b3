// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/RefsBrowse.h"

#include "platform/CodePage.h"
#include "store/ErrorCodes.h"
#include "store/FieldAccess.h"
#include "store/RecordText.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Refs.h"
#include "workspace/SearchMask.h"

#include <array>

namespace workspace {

namespace {

constexpr int kLastRefsKind = 15;
constexpr int kProductTypeKind = 11;

const std::array<const char16_t*, kLastRefsKind> kRefsKindNames = {
    u"Страны",
    u"Регионы по стране",
    u"Районы по региону",
    u"Населённые пункты по району",
    u"Улицы по населённому пункту",
    u"Населённые пункты по региону",
    u"Методы исследования",
    u"Заболевания",
    u"Единицы измерения",
    u"Назначения груза",
    u"Типы продукции",
    u"Продукция по типу",
    u"Виды продукции по продукту",
    u"Виды упаковки",
    u"Роли пользователя",
};

RefRow refRowOf(const store::RefsRecord& r)
{
    RefRow row;
    row.guid = std::string(store::textOf(r.GUID));
    row.uuid = std::string(store::textOf(r.UUID));
    row.name = platform::fromCp1251(store::textOf(r.NAME));
    row.status = r.STATUS;
    row.created = r.CDATE;
    row.edited = r.EDATE;
    row.code = std::string(store::ztextOf(r.STR40_01));
    row.mark = r.MARK;
    return row;
}

// Runs `change` on every stored record of `guids` inside one transaction on
// m_Refs; `change` returns the table's result, or -1 to leave the record be.
template <typename Change>
RefsChange changeRefs(store::Session& session, const std::vector<std::string>& guids, int* counted,
                      Change change)
{
    if (counted)
        *counted = 0;
    store::TypedTable<store::RefsRecord> refs(session, store::refsTable());
    store::Transaction transaction(session, {&refs}, store::kDataLockTimeoutSeconds);
    if (refs.open() != store::kOk || transaction.start() != store::kOk)
        return RefsChange::NoAccess;
    int count = 0;
    for (const std::string& guid : guids) {
        refs.clear();
        store::setText(refs.rec().GUID, guid);
        const int found = refs.fetch("MRE:BYGUID");
        if (found == store::kRecordNotFound)
            continue;
        const int result = found == store::kOk ? change(refs) : found;
        if (result < 0)
            continue;
        if (result != store::kOk) {
            transaction.rollback();
            return RefsChange::Failed;
        }
        ++count;
    }
    if (transaction.commit() != store::kOk)
        return RefsChange::Failed;
    if (counted)
        *counted = count;
    return RefsChange::Done;
}

} // namespace

QString refsKindName(int kind)
{
    if (kind < 1 || kind > kLastRefsKind)
        return {};
    return QString::fromUtf16(kRefsKindNames[static_cast<std::size_t>(kind - 1)]);
}

QString refsKindTitle(int kind)
{
    if (kind < 1 || kind > kLastRefsKind)
        return QStringLiteral("Меркурий: Vid = ") + QString::number(kind) + QStringLiteral(" ?!");
    return QStringLiteral("Меркурий: ") + refsKindName(kind);
}

std::vector<RefsKindChoice> independentRefsKinds()
{
    std::vector<RefsKindChoice> out;
    for (int kind : {1, 7, 8, 9, 10, 11, 14})
        out.push_back({kind, u' ' + refsKindName(kind)});
    return out;
}

std::vector<RefRow> listRefs(store::Session& session, int kind, const std::string& parent,
                             const QString& mask, int mark)
{
    std::vector<RefRow> out;
    store::TypedTable<store::RefsRecord> refs(session, store::refsTable());
    if (refs.open() != store::kOk)
        return out;
    const SearchMask search(mask);
    refs.clear();
    refs.rec().VID = static_cast<std::uint8_t>(kind);
    store::setZText(refs.rec().PARENT, parent);
    if (refs.set("MRE:BYNAME", 2) != store::kOk)
        return out;
    std::string upper;
    while (refs.next() == store::kOk && refs.rec().VID == kind &&
           store::ztextOf(refs.rec().PARENT) == parent) {
        if (mark != kAnyMark && refs.rec().MARK != mark)
            continue;
        if (!search.empty()) {
            upper = std::string(store::clip(store::textOf(refs.rec().NAME)));
            for (char& c : upper)
                c = upperCp1251(c);
            if (!search.matchesUpper(upper))
                continue;
        }
        out.push_back(refRowOf(refs.rec()));
    }
    return out;
}

namespace {

// The key range listRefIds reads for a kind, parent and mark.
struct RefsRange
{
    const store::KeyDef* key = nullptr;
    int components = 0;
    store::RefsRecord bound{};
};

bool refsRangeOf(int kind, const std::string& parent, int mark, RefsRange& range)
{
    const store::TableDef& def = store::refsTable();
    const bool anyMark = mark == kAnyMark;
    if (!anyMark && (mark < 0 || mark > 255))
        return false;
    range.key = def.key(anyMark ? "MRE:BYNAME" : "MRE:BYMARK");
    range.components = anyMark ? 2 : 3;
    store::clearRecordOf(def, reinterpret_cast<char*>(&range.bound));
    range.bound.VID = static_cast<std::uint8_t>(kind);
    store::setZText(range.bound.PARENT, parent);
    range.bound.MARK = static_cast<std::uint8_t>(anyMark ? 0 : mark);
    return true;
}

const char* sortFieldName(RefsSortField field)
{
    switch (field) {
    case RefsSortField::Mark:
        return "MRE:MARK";
    case RefsSortField::Name:
        return "MRE:NAME";
    case RefsSortField::Status:
        return "MRE:STATUS";
    case RefsSortField::Created:
        return "MRE:CDATE";
    case RefsSortField::Edited:
        return "MRE:EDATE";
    case RefsSortField::Code:
        return "MRE:STR40_01";
    case RefsSortField::Guid:
        return "MRE:GUID";
    case RefsSortField::Uuid:
        return "MRE:UUID";
    }
    return "MRE:NAME";
}

// The value a record sorts by: a number, or the bytes of a text.
struct RefSortValue
{
    std::int64_t number = 0;
    std::string text;

    bool operator<(const RefSortValue& other) const
    {
        return number != other.number ? number < other.number : text < other.text;
    }
};

RefSortValue sortValueOf(const store::RefsRecord& r, RefsSortField field)
{
    RefSortValue v;
    switch (field) {
    case RefsSortField::Mark:
        v.number = r.MARK;
        break;
    case RefsSortField::Status:
        v.number = r.STATUS;
        break;
    case RefsSortField::Created:
        v.number = r.CDATE;
        break;
    case RefsSortField::Edited:
        v.number = r.EDATE;
        break;
    case RefsSortField::Name: {
        std::string_view name = store::clip(store::textOf(r.NAME));
        while (!name.empty() && name.front() == ' ')
            name.remove_prefix(1);
        v.text.assign(name);
        for (char& c : v.text)
            c = upperCp1251(c);
        break;
    }
    case RefsSortField::Code:
        v.text.assign(store::ztextOf(r.STR40_01));
        break;
    case RefsSortField::Guid:
        v.text.assign(store::textOf(r.GUID));
        break;
    case RefsSortField::Uuid:
        v.text.assign(store::textOf(r.UUID));
        break;
    }
    return v;
}

} // namespace

int listRefIds(store::TypedTable<store::RefsRecord>& refs, int kind, const std::string& parent,
               const QString& mask, int mark, std::vector<std::int64_t>& rows,
               std::vector<std::string>* guids)
{
    rows.clear();
    if (guids)
        guids->clear();
    // Both keys hold the name: with a mark the range of that mark lists its
    // records in name order too, and the mask is matched on the key's own
    // names without reading a record.
    RefsRange range;
    if (!refsRangeOf(kind, parent, mark, range))
        return store::kOk;
    const store::TableDef& def = store::refsTable();
    const char* image = reinterpret_cast<const char*>(&range.bound);
    const SearchMask search(mask);
    std::vector<int> fields;
    if (!search.empty())
        fields.push_back(def.fieldIndex("MRE:NAME"));
    if (guids)
        fields.push_back(def.fieldIndex("MRE:GUID"));
    std::string upper;
    const int code = refs.scanRange(
        *range.key, range.components, image, image, fields, [&](std::int64_t row, const char* found) {
            if (!search.empty()) {
                const auto& r = *reinterpret_cast<const store::RefsRecord*>(found);
                upper.assign(store::clip(store::textOf(r.NAME)));
                for (char& c : upper)
                    c = upperCp1251(c);
                if (!search.matchesUpper(upper))
                    return true;
            }
            rows.push_back(row);
            if (guids)
                guids->emplace_back(store::textOf(reinterpret_cast<const store::RefsRecord*>(found)->GUID));
            return true;
        });
    if (code != store::kOk) {
        rows.clear();
        if (guids)
            guids->clear();
    }
    return code;
}

namespace {

// Where each row id of a list stands. While a scan meets the rows in the
// list's own order, as it does for a list in the key's order, no table of
// positions is made.
class RowPositions
{
public:
    explicit RowPositions(const std::vector<std::int64_t>& rows)
        : m_rows(rows)
    {}

    std::optional<std::size_t> of(std::int64_t row)
    {
        if (m_inOrder) {
            if (m_next < m_rows.size() && m_rows[m_next] == row)
                return m_next++;
            m_inOrder = false;
            m_position.reserve(m_rows.size());
            for (std::size_t i = 0; i < m_rows.size(); ++i)
                m_position.emplace(m_rows[i], i);
        }
        const auto it = m_position.find(row);
        return it == m_position.end() ? std::nullopt : std::optional(it->second);
    }

private:
    const std::vector<std::int64_t>& m_rows;
    std::size_t m_next = 0;
    bool m_inOrder = true;
    std::unordered_map<std::int64_t, std::size_t> m_position;
};

} // namespace

int sortRefIds(store::TypedTable<store::RefsRecord>& refs, int kind, const std::string& parent, int mark,
               RefsSortField field, bool descending, std::vector<std::int64_t>& rows)
{
    RefsRange range;
    if (!refsRangeOf(kind, parent, mark, range) || rows.empty())
        return store::kOk;
    RowPositions positions(rows);
    std::vector<RefSortValue> values(rows.size());
    const int fields[] = {store::refsTable().fieldIndex(sortFieldName(field))};
    const char* bound = reinterpret_cast<const char*>(&range.bound);
    const int code = refs.scanRange(
        *range.key, range.components, bound, bound, fields, [&](std::int64_t row, const char* found) {
            if (const std::optional<std::size_t> at = positions.of(row))
                values[*at] = sortValueOf(*reinterpret_cast<const store::RefsRecord*>(found), field);
            return true;
        });
    if (code != store::kOk)
        return code;
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return descending ? values[b] < values[a] : values[a] < values[b];
    });
    std::vector<std::int64_t> sorted;
    sorted.reserve(rows.size());
    for (const std::size_t i : order)
        sorted.push_back(rows[i]);
    rows = std::move(sorted);
    return store::kOk;
}

bool refGuidsOf(store::TypedTable<store::RefsRecord>& refs, int kind, const std::string& parent, int mark,
                const std::vector<std::int64_t>& rows, std::vector<std::string>& guids)
{
    guids.clear();
    RefsRange range;
    if (!refsRangeOf(kind, parent, mark, range))
        return rows.empty();
    RowPositions positions(rows);
    guids.resize(rows.size());
    std::size_t found = 0;
    const int fields[] = {store::refsTable().fieldIndex("MRE:GUID")};
    const char* bound = reinterpret_cast<const char*>(&range.bound);
    const int code = refs.scanRange(
        *range.key, range.components, bound, bound, fields, [&](std::int64_t row, const char* image) {
            if (const std::optional<std::size_t> at = positions.of(row)) {
                guids[*at] = store::textOf(reinterpret_cast<const store::RefsRecord*>(image)->GUID);
                ++found;
            }
            return true;
        });
    if (code != store::kOk || found != rows.size()) {
        guids.clear();
        return false;
    }
    return true;
}

std::optional<RefRow> readRefRow(store::TypedTable<store::RefsRecord>& refs, std::int64_t row)
{
    if (refs.readRow(row) != store::kOk)
        return std::nullopt;
    return refRowOf(refs.rec());
}

std::optional<int> followedKind(int kind, int button)
{
    if (button == 1) {
        if ((kind >= 1 && kind <= 4) || kind == 11 || kind == 12)
            return kind + 1;
        if (kind == 6)
            return 5;
    } else if (button == 2 && kind == 2) {
        return 6;
    }
    return std::nullopt;
}

int markAfter(int answer, int old)
{
    if (answer >= 1 && answer <= 4)
        return answer;
    if (answer == MarkInvert)
        return old == 0 ? 1 : 0;
    if (answer == MarkClear)
        return 0;
    return old;
}

bool isRefsGuid(int kind, const std::string& guid)
{
    return guid.size() == (kind == kProductTypeKind ? 5u : 36u);
}

RefsChange markRefs(store::Session& session, const std::vector<std::string>& guids, int answer, int* changed)
{
    return changeRefs(session, guids, changed, [answer](store::TypedTable<store::RefsRecord>& refs) {
        const int mark = markAfter(answer, refs.rec().MARK);
        if (mark == refs.rec().MARK)
            return -1;
        refs.rec().MARK = static_cast<std::uint8_t>(mark);
        return refs.put();
    });
}

RefsChange deleteRefs(store::Session& session, const std::vector<std::string>& guids, int* deleted)
{
    return changeRefs(session, guids, deleted,
                      [](store::TypedTable<store::RefsRecord>& refs) { return refs.deleteRecord(); });
}

RefsChange clearRefs(store::Session& session, int kind, const std::string& parent, int* deleted)
{
    std::vector<std::string> guids;
    for (const RefRow& row : listRefs(session, kind, parent))
        guids.push_back(row.guid);
    return deleteRefs(session, guids, deleted);
}

QString refsDownloadRefusal(int kind)
{
    if (kind == 15)
        return QStringLiteral("Для загрузки ролей - обновите справочник пользователей ХС !");
    if (kind < 1 || kind > 14)
        return QStringLiteral("Неизвестный номер справочника: ") + QString::number(kind) +
               QStringLiteral(" !");
    return {};
}

} // namespace workspace
