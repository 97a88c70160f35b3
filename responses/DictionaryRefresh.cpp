// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/DictionaryRefresh.h"

#include "framework/MessageBox.h"
#include "platform/Dates.h"
#include "responses/FieldValue.h"
#include "responses/ListCatalogue.h"
#include "responses/ResponseList.h"
#include "store/ErrorCodes.h"
#include "store/FieldAccess.h"
#include "store/RecordText.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Refs.h"
#include "vetis/Exchange.h"
#include "vetis/RequestCodes.h"
#include "vetis/RequestRecord.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace responses {

namespace {

using vetis::RequestCode;

constexpr int kPageSize = 1000;
// A service that keeps saying there is more never holds the refresh for ever.
constexpr int kMaxPages = 1000;
// The Russian Federation sorts first among the countries: its name gets a leading blank.
constexpr std::string_view kRussianFederation = "74a3cbb1-56fa-94f3-ab3f-e8db4940d96b";

// What the request's P1 carries.
enum class Param
{
    None,
    Parent,      // the parent entry's GUID
    ProductType, // the number in characters 4-5 of the parent's code ("11-05" -> 5)
};

// One m_Refs field filled from one list field.
struct Mapping
{
    std::string_view refsField; // "MRE:STR120_01"
    std::string_view listField; // "NAME"
};

struct KindInfo
{
    int kind;
    RequestCode request;
    std::string_view list; // the response list's kind (ListCatalogue)
    Param param;
    const char* success;
    const char* failure;
    // MRE:NAME: the first field, or the second when the first is empty.
    std::string_view name;
    std::string_view nameElse;
    std::array<Mapping, 5> fields;
};

constexpr Mapping kPlaceFields[] = {{"MRE:STR120_01", "NAME"},
                                    {"MRE:STR120_03", "TYPE"},
                                    {"MRE:STR40_01", "REGIONCODE"},
                                    {"MRE:STR40_02", "COUNTRYGUID"},
                                    {"MRE:BYTE_01", "HASSTREETS"}};

constexpr const char* kLocalitiesDone = "Успешно загружено записей в справочник населённых пунктов: ";
constexpr const char* kLocalitiesFailed =
    "Не удалось выполнить операцию изменения справочника населённых пунктов !";
constexpr const char* kProductsDone = "Успешно загружено записей в справочник продукции по типам: ";
constexpr const char* kProductsFailed =
    "Не удалось выполнить операцию изменения справочника продукции по типам !";

constexpr KindInfo kKinds[] = {
    {1,
     RequestCode::CountryByGuidOrAll,
     "country",
     Param::None,
     "Успешно загружено записей в справочник стран: ",
     "Не удалось выполнить операцию изменения справочника стран !",
     "FULLNAME",
     "NAME",
     {{{"MRE:STR120_01", "NAME"},
       {"MRE:STR120_02", "ENGLISHNAME"},
       {"MRE:STR40_01", "CODE"},
       {"MRE:STR40_02", "CODE3"}}}},
    {2,
     RequestCode::RegionByGuidOrByCountry,
     "region",
     Param::Parent,
     "Успешно загружено записей в справочник регионов: ",
     "Не удалось выполнить операцию изменения справочника регионов !",
     "VIEW",
     "NAME",
     {{{"MRE:STR120_01", "NAME"},
       {"MRE:STR120_02", "ENGLISHNAME"},
       {"MRE:STR120_03", "TYPE"},
       {"MRE:STR40_01", "REGIONCODE"},
       {"MRE:BYTE_01", "HASSTREETS"}}}},
    {3,
     RequestCode::DistrictListByRegion,
     "district",
     Param::Parent,
     "Успешно загружено записей в справочник районов: ",
     "Не удалось выполнить операцию изменения справочника районов !",
     "VIEW",
     "NAME",
     {{kPlaceFields[0], kPlaceFields[1], kPlaceFields[2], kPlaceFields[3], kPlaceFields[4]}}},
    {4,
     RequestCode::LocalityListByDistrict,
     "locality",
     Param::Parent,
     kLocalitiesDone,
     kLocalitiesFailed,
     "VIEW",
     "NAME",
     {{kPlaceFields[0], kPlaceFields[1], kPlaceFields[2], kPlaceFields[3], kPlaceFields[4]}}},
    {5,
     RequestCode::StreetListByLocality,
     "street",
     Param::Parent,
     "Успешно загружено записей в справочник улиц: ",
     "Не удалось выполнить операцию изменения справочника улиц !",
     "VIEW",
     "NAME",
     {{kPlaceFields[0], kPlaceFields[1], kPlaceFields[2], kPlaceFields[4]}}},
    {6,
     RequestCode::LocalityListByRegion,
     "locality",
     Param::Parent,
     kLocalitiesDone,
     kLocalitiesFailed,
     "VIEW",
     "NAME",
     {{kPlaceFields[0], kPlaceFields[1], kPlaceFields[2], kPlaceFields[3], kPlaceFields[4]}}},
    {7,
     RequestCode::ResearchMethodList,
     "researchMethod",
     Param::None,
     "Успешно загружено записей в справочник методов исследования: ",
     "Не удалось выполнить операцию изменения справочника методов исследования !",
     "NAME",
     {},
     {}},
    {8,
     RequestCode::DiseaseList,
     "disease",
     Param::None,
     "Успешно загружено записей в справочник заболеваний: ",
     "Не удалось выполнить операцию изменения справочника заболеваний !",
     "NAME",
     {},
     {}},
    {9,
     RequestCode::UnitByGuidOrList,
     "unit",
     Param::None,
     "Успешно загружено записей в справочник единиц измерения: ",
     "Не удалось выполнить операцию изменения справочника единиц измерений !",
     "FULLNAME",
     "NAME",
     {{{"MRE:STR120_01", "NAME"}, {"MRE:STR40_02", "COMMONUNITGUID"}, {"MRE:LONG_01", "FACTOR"}}}},
    {10,
     RequestCode::PurposeList,
     "purpose",
     Param::None,
     "Успешно загружено записей в справочник назначения груза: ",
     "Не удалось выполнить операцию изменения справочника назначения груза !",
     "NAME",
     {},
     {}},
    {12,
     RequestCode::ProductByGuidOrByType,
     "product",
     Param::ProductType,
     kProductsDone,
     kProductsFailed,
     "NAME",
     {},
     {{{"MRE:STR40_01", "CODE"}, {"MRE:STR120_01", "CODE"}, {"MRE:BYTE_01", "PRODUCTTYPE"}}}},
    {13,
     RequestCode::SubProductByGuidOrByProduct,
     "subProduct",
     Param::Parent,
     kProductsDone,
     kProductsFailed,
     "NAME",
     {},
     {{{"MRE:STR120_01", "CODE"}, {"MRE:STR40_02", "PRODUCTGUID"}}}},
};

const KindInfo* kindInfo(int kind)
{
    for (const KindInfo& k : kKinds)
        if (k.kind == kind)
            return &k;
    return nullptr;
}

const store::FieldDef& refsField(std::string_view name)
{
    for (const store::FieldDef& f : store::refsTable().fields)
        if (f.name == name)
            return f;
    return store::refsTable().fields.front(); // every name above is a field of m_Refs
}

// A list field's value as the record keeps it (Windows-1251 text, numbers in decimal).
std::string listValue(const ListLayout& layout, const std::byte* row, std::string_view field)
{
    const int i = layout.fieldIndex(field);
    return i < 0 ? std::string() : fieldText(row, layout.fields[static_cast<std::size_t>(i)]);
}

// Writes a Windows-1251 text (or a number's decimal text) into an m_Refs field.
void putField(const store::FieldDef& f, char* record, std::string_view value)
{
    char* at = record + f.offset;
    switch (f.type) {
    case store::FieldType::Text: {
        const std::size_t n = std::min<std::size_t>(f.size, value.size());
        std::memcpy(at, value.data(), n);
        std::memset(at + n, ' ', f.size - n);
        return;
    }
    case store::FieldType::ZText: {
        const std::size_t n = std::min<std::size_t>(f.size - 1u, value.size());
        std::memcpy(at, value.data(), n);
        std::memset(at + n, 0, f.size - n);
        return;
    }
    default:
        // Numbers of the lists fit the fields they go to; one that does not is left 0.
        if (!store::setFieldFromUtf8(f, record, value))
            std::memset(at, 0, f.size);
        return;
    }
}

std::int32_t dayOf(const std::string& stamp)
{
    return platform::dayFromIso(std::string_view(stamp).substr(0, std::min<std::size_t>(10, stamp.size())));
}

// Maps a list row into the m_Refs record (all but kind, parent and GUID).
void mapRow(const KindInfo& k, const ListLayout& layout, const std::byte* row, store::RefsRecord& r)
{
    char* record = reinterpret_cast<char*>(&r);
    store::setText(r.UUID, listValue(layout, row, "UUID"));
    r.STATUS = static_cast<std::int32_t>(
        fieldNumber(row, layout.fields[static_cast<std::size_t>(layout.fieldIndex("STATUS"))]));
    r.CDATE = dayOf(listValue(layout, row, "CDATE"));
    r.EDATE = dayOf(listValue(layout, row, "EDATE"));
    std::string name = listValue(layout, row, k.name);
    if (name.empty() && !k.nameElse.empty())
        name = listValue(layout, row, k.nameElse);
    if (k.kind == 1 && listValue(layout, row, "GUID") == kRussianFederation)
        name.insert(name.begin(), ' ');
    store::setText(r.NAME, name);
    for (const Mapping& m : k.fields)
        if (!m.refsField.empty())
            putField(refsField(m.refsField), record, listValue(layout, row, m.listField));
}

std::string productTypeParent(const ListLayout& layout, const std::byte* row)
{
    const int type = std::clamp(std::atoi(listValue(layout, row, "PRODUCTTYPE").c_str()), 0, 99);
    char text[8];
    std::snprintf(text, sizeof text, "11-%02d", type);
    return text;
}

// Every page of the service's list into `rows`; false when a page failed.
bool readAllPages(const KindInfo& k, const ListLayout& layout, vetis::ExchangeContext& context,
                  std::string_view parent, std::string_view entityGuid, ResponseList& rows, int& pages)
{
    std::string p1;
    if (k.param == Param::Parent)
        p1 = parent;
    else if (k.param == Param::ProductType)
        p1 = std::to_string(parent.size() >= 5 ? std::atoi(std::string(parent.substr(3, 2)).c_str()) : 0);
    for (pages = 1; pages <= kMaxPages; ++pages) {
        vetis::RequestRecord request;
        request.setRequestCode(k.request);
        request.COUNT = kPageSize;
        request.OFFSET = kPageSize * (pages - 1);
        request.INDICATOR = 16;
        store::setText(request.VETISGUID, entityGuid);
        store::setZText(request.ROWTAG, layout.rowTag);
        store::setZText(request.P1, p1);
        ResponseList page(layout);
        request.lists[0] = &page;
        if (!vetis::Exchange(request, context))
            return false;
        for (std::size_t i = 0; i < page.count(); ++i)
            if (!rows.add(page.row(i)))
                return false;
        // More pages while the answer's total says so; an answer without a
        // total has more while a page comes full.
        const bool full = request.RLOAD >= kPageSize;
        const bool more =
            request.RTOTAL > 0 ? request.OFFSET + request.RLOAD < request.RTOTAL && request.RLOAD > 0 : full;
        if (!more)
            return true;
    }
    return true;
}

} // namespace

bool isRefreshableKind(int kind)
{
    return kindInfo(kind) != nullptr;
}

RefreshOutcome refreshDictionary(store::Session& session, vetis::ExchangeContext& context, int kind,
                                 std::string_view parent, std::string_view entityGuid,
                                 framework::MessagePresenter& presenter)
{
    RefreshOutcome outcome;
    const KindInfo* k = kindInfo(kind);
    if (!k) {
        framework::informationMessage(presenter, QStringLiteral("Неизвестный номер справочника: ") +
                                                     QString::number(kind) + QStringLiteral(" !"));
        return outcome;
    }
    const ListLayout& layout = *findListKind(k->list)->main;

    // The service first, so that no lock is held while it answers.
    ResponseList rows(layout);
    if (!readAllPages(*k, layout, context, parent, entityGuid, rows, outcome.pages))
        return outcome; // the exchange has told the user why; nothing changed
    const auto guidOf = [&](const std::byte* row) { return listValue(layout, row, "GUID"); };
    if (!rows.sortRows([&](const std::byte* a, const std::byte* b) { return guidOf(a) < guidOf(b); }))
        return outcome;

    store::TypedTable<store::RefsRecord> refs(session, store::refsTable());
    store::Transaction transaction(session, {&refs}, store::kDataLockTimeoutSeconds);
    if (refs.open() != store::kOk || transaction.start() != store::kOk) {
        framework::informationMessage(presenter,
                                      QStringLiteral("Нет доступа к спискам БД для выполнения операции !"));
        return outcome;
    }
    const auto failed = [&] {
        transaction.rollback();
        outcome.stored = 0;
        framework::informationMessage(presenter, QString::fromUtf8(k->failure));
        return outcome;
    };
    if (rows.empty()) { // nothing listed: nothing deleted
        if (transaction.commit() != store::kOk)
            return failed();
        outcome.ok = true;
        return outcome;
    }

    // Delete pass: local entries of the kind and parent the list does not name.
    std::vector<std::string> listed;
    listed.reserve(rows.count());
    for (std::size_t i = 0; i < rows.count(); ++i)
        listed.push_back(guidOf(rows.row(i)));
    std::vector<std::string> gone;
    refs.clear();
    refs.rec().VID = static_cast<std::uint8_t>(kind);
    store::setZText(refs.rec().PARENT, parent);
    if (refs.set("MRE:BYNAME", 2) != store::kOk)
        return failed();
    for (int rc = refs.next();; rc = refs.next()) {
        if (rc == store::kRecordNotFound)
            break;
        if (rc != store::kOk)
            return failed();
        if (refs.rec().VID != kind || store::ztextOf(refs.rec().PARENT) != parent)
            break;
        const std::string guid(store::textOf(refs.rec().GUID));
        if (!std::binary_search(listed.begin(), listed.end(), guid))
            gone.push_back(guid);
    }
    for (const std::string& guid : gone) {
        refs.clear();
        store::setText(refs.rec().GUID, guid);
        if (refs.fetch("MRE:BYGUID") != store::kOk || refs.deleteRecord() != store::kOk)
            return failed();
    }

    // Store pass, in GUID order, each GUID once.
    for (std::size_t i = 0; i < rows.count(); ++i) {
        const std::string guid = listed[i];
        if (guid.empty() || (kind == 13 && guid.size() != 36) || (i > 0 && listed[i - 1] == guid))
            continue;
        refs.clear();
        store::setText(refs.rec().GUID, guid);
        const int found = refs.fetch("MRE:BYGUID");
        if (found != store::kOk && found != store::kRecordNotFound)
            return failed();
        if (found == store::kRecordNotFound) {
            refs.clear();
            refs.rec().VID = static_cast<std::uint8_t>(kind);
            store::setText(refs.rec().GUID, guid);
            store::setZText(refs.rec().PARENT,
                            kind == 12 ? productTypeParent(layout, rows.row(i)) : std::string(parent));
        }
        mapRow(*k, layout, rows.row(i), refs.rec());
        if ((found == store::kOk ? refs.put() : refs.add()) != store::kOk)
            return failed();
        ++outcome.stored;
    }
    if (transaction.commit() != store::kOk)
        return failed();
    outcome.ok = true;
    framework::informationMessage(presenter, QString::fromUtf8(k->success) + QString::number(outcome.stored));
    return outcome;
}

} // namespace responses
