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
    const store::TableDef& def = store::refsTable();
    const bool anyMark = mark == kAnyMark;
    if (!anyMark && (mark < 0 || mark > 255))
        return store::kOk;
    const store::KeyDef* key = def.key(anyMark ? "MRE:BYNAME" : "MRE:BYMARK");
    store::RefsRecord range{};
    store::clearRecordOf(def, reinterpret_cast<char*>(&range));
    range.VID = static_cast<std::uint8_t>(kind);
    store::setZText(range.PARENT, parent);
    range.MARK = static_cast<std::uint8_t>(anyMark ? 0 : mark);
    const char* image = reinterpret_cast<const char*>(&range);
    const SearchMask search(mask);
    std::vector<int> fields;
    if (!search.empty())
        fields.push_back(def.fieldIndex("MRE:NAME"));
    if (guids)
        fields.push_back(def.fieldIndex("MRE:GUID"));
    std::string upper;
    const int code =
        refs.scanRange(*key, anyMark ? 2 : 3, image, image, fields, [&](std::int64_t row, const char* found) {
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
