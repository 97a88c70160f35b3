// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/ReferenceLookups.h"

#include "platform/CodePage.h"
#include "responses/DictionaryKinds.h"
#include "responses/ListCatalogue.h"
#include "responses/ResponseList.h"
#include "store/BuiltInDictionaries.h"
#include "store/BuiltInRows.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Enterprise.h"
#include "store/tables/Entity.h"
#include "store/tables/Place.h"
#include "store/tables/Product.h"
#include "store/tables/Refs.h"
#include "vetis/Exchange.h"
#include "vetis/RequestRecord.h"

#include <QString>

#include <algorithm>
#include <array>
#include <utility>

namespace responses {

namespace {

using vetis::RequestCode;

std::string cp1251(const char* utf8)
{
    return platform::toCp1251(QString::fromUtf8(utf8));
}

// Asks the service for the one entry of `guid`; true when exactly one entry
// with a GUID of 36 characters came back (then in `out`).
bool askByGuid(vetis::ExchangeContext& context, std::string_view entityGuid, RequestCode code,
               std::string_view guid, ResponseList& out)
{
    vetis::RequestRecord request;
    request.setRequestCode(code);
    store::setText(request.VETISGUID, entityGuid);
    store::setText(request.GUID, guid);
    store::setZText(request.ROWTAG, out.layout().rowTag);
    request.lists[0] = &out;
    return vetis::Exchange(request, context) && request.RLOAD == 1 && out.count() == 1 &&
           listValue(out.layout(), out.row(0), "GUID").size() == 36;
}

const ListLayout& layoutOf(std::string_view listName)
{
    return *findListKind(listName)->main;
}

// Copies list fields into table fields of the same meaning.
void copyFields(const store::TableDef& def, char* record, const ListLayout& layout, const std::byte* row,
                std::initializer_list<std::pair<std::string_view, std::string_view>> fields)
{
    for (const auto& [tableField, listField] : fields)
        putTableField(def, record, tableField, listValue(layout, row, listField));
}

// The name of a business entity as the program keeps it (Windows-1251).
std::string entityName(const ListLayout& layout, const std::byte* row)
{
    const std::string type = listValue(layout, row, "TYPE");
    if (type == "1") {
        const std::string name = listValue(layout, row, "NAME");
        return name.empty() ? listValue(layout, row, "FULLNAME") : name;
    }
    const std::string fio = listValue(layout, row, "FIO");
    if (type == "2")
        return fio;
    const QString head = platform::fromCp1251(store::withoutLeadingBlanks(fio)).left(3).toUpper();
    for (const char* form : {"ГКФ", "КФХ", "ООО", "ЛПХ", "ИП "})
        if (head == QString::fromUtf8(form))
            return fio;
    return cp1251("ИП ") + fio;
}

bool validGuid(std::string_view guid, std::size_t length = 36)
{
    return guid.size() == length;
}

} // namespace

void mapEntityRow(const ListLayout& layout, const std::byte* row, store::EntityRecord& e)
{
    char* record = reinterpret_cast<char*>(&e);
    copyFields(store::entityTable(), record, layout, row,
               {{"MEN:GUID", "GUID"},
                {"MEN:UUID", "UUID"},
                {"MEN:STATUS", "STATUS"},
                {"MEN:INN", "INN"},
                {"MEN:KPP", "KPP"},
                {"MEN:TYPE", "TYPE"},
                {"MEN:FULLNAME", "FULLNAME"},
                {"MEN:ADRVIEW", "ADRVIEW"},
                {"MEN:OGRN", "OGRN"},
                {"MEN:CODE", "CODE"},
                {"MEN:COUNTRY", "COUNTRY"},
                {"MEN:REGION", "REGION"},
                {"MEN:LOCALITY", "LOCALITY"},
                {"MEN:ADDINFO", "ADDINFO"}});
    e.CDATE = dayOfStamp(listValue(layout, row, "CDATE"));
    e.EDATE = dayOfStamp(listValue(layout, row, "EDATE"));
    store::setText(e.NAME, entityName(layout, row));
}

void mapEnterpriseRow(const ListLayout& layout, const std::byte* row, store::EnterpriseRecord& e)
{
    copyFields(store::enterpriseTable(), reinterpret_cast<char*>(&e), layout, row,
               {{"MEP:GUID", "GUID"},
                {"MEP:UUID", "UUID"},
                {"MEP:NAME", "NAME"},
                {"MEP:TYPE", "TYPE"},
                {"MEP:STATUS", "STATUS"},
                {"MEP:REGSTATUS", "REGSTATUS"},
                {"MEP:ADDRESS", "ADDRESS"},
                {"MEP:COUNTRY", "COUNTRY"},
                {"MEP:REGION", "REGION"},
                {"MEP:LOCALITY", "LOCALITY"},
                {"MEP:OWNER", "OWNER"},
                {"MEP:NUMBER1", "NUMBER1"}});
    e.CDATE = dayOfStamp(listValue(layout, row, "CDATE"));
    e.EDATE = dayOfStamp(listValue(layout, row, "EDATE"));
}

ReferenceLookups::ReferenceLookups(store::Session& session, vetis::ExchangeContext& context,
                                   std::string_view entityGuid)
    : m_session(session)
    , m_context(context)
    , m_entityGuid(entityGuid)
{
    // A load makes thousands of small reads: one shared lock for them all.
    m_session.holdReads(true);
}

ReferenceLookups::~ReferenceLookups()
{
    m_session.holdReads(false);
}

// A table of the lookups, opened on first use and kept for the load: opening
// one per lookup would cost more than the lookup.
template <typename Record>
store::TypedTable<Record>* ReferenceLookups::opened(std::unique_ptr<store::TypedTable<Record>>& slot,
                                                    const store::TableDef& def)
{
    if (!slot) {
        auto table = std::make_unique<store::TypedTable<Record>>(m_session, def);
        if (table->open() != store::kOk)
            return nullptr;
        slot = std::move(table);
    }
    return slot.get();
}

std::string ReferenceLookups::answer(const Found* found, LookupMode mode, std::string_view guid,
                                     const char* missing) const
{
    switch (mode) {
    case LookupMode::Name:
        return found ? std::string(store::withoutLeadingBlanks(found->name)) : cp1251(missing);
    case LookupMode::Guid:
        return found ? std::string(guid) : std::string();
    case LookupMode::Inn:
        return found ? found->inn : std::string();
    case LookupMode::None:
        break;
    }
    return {};
}

// The common course of every lookup: remembered, stored, or fetched once.
template <typename Find, typename Fetch>
static const ReferenceLookups::Found*
lookUpOnce(store::Session& session, std::unordered_map<std::string, ReferenceLookups::Found>& found,
           std::set<std::string>& unavailable, const std::string& key, bool fetch, Find find, Fetch fetchIt)
{
    if (const auto it = found.find(key); it != found.end())
        return &it->second;
    ReferenceLookups::Found f;
    if (find(f))
        return &(found[key] = f);
    if (!fetch || unavailable.count(key))
        return nullptr;
    // Nobody waits for the read locks while the service answers.
    session.holdReads(false);
    const bool fetched = fetchIt();
    session.holdReads(true);
    if (fetched && find(f))
        return &(found[key] = f);
    unavailable.insert(key);
    return nullptr;
}

std::string ReferenceLookups::reference(int kind, LookupMode mode, bool fetch, std::string_view guid)
{
    if (!validGuid(guid, kind == store::kProductTypeKind ? 5 : 36))
        return mode == LookupMode::Name ? cp1251("<Нет GUID>") : std::string();
    const std::string key = "R" + std::to_string(kind) + ":" + std::string(guid);
    const Found* f = lookUpOnce(
        m_session, m_found, m_unavailable, key, fetch, [&](Found& out) { return findReference(guid, out); },
        [&] { return fetchReference(kind, guid); });
    return answer(f, mode, guid, "<Нет в справочнике>");
}

std::string ReferenceLookups::businessEntity(LookupMode mode, bool fetch, std::string_view guid)
{
    if (!validGuid(guid))
        return mode == LookupMode::Name ? cp1251("<Нет GUID ХС>") : std::string();
    const Found* f = lookUpOnce(
        m_session, m_found, m_unavailable, "E:" + std::string(guid), fetch,
        [&](Found& out) { return findEntity(guid, out); }, [&] { return fetchEntity(guid); });
    return answer(f, mode, guid, "<Нет в справочнике ХС>");
}

std::string ReferenceLookups::enterprise(LookupMode mode, bool fetch, std::string_view guid,
                                         std::string_view ownerEntity)
{
    if (!validGuid(guid))
        return mode == LookupMode::Name ? cp1251("<Нет GUID площадки>") : std::string();
    const Found* f = lookUpOnce(
        m_session, m_found, m_unavailable, "P:" + std::string(guid), fetch,
        [&](Found& out) { return findEnterprise(guid, out); }, [&] { return fetchEnterprise(guid); });
    if (f && validGuid(ownerEntity))
        linkEnterprise(ownerEntity, guid);
    return answer(f, mode, guid, "<Нет в справочнике площадок>");
}

std::string ReferenceLookups::productItem(LookupMode mode, bool fetch, std::string_view guid)
{
    if (!validGuid(guid))
        return mode == LookupMode::Name ? cp1251("<Нет GUID продукции>") : std::string();
    const Found* f = lookUpOnce(
        m_session, m_found, m_unavailable, "I:" + std::string(guid), fetch,
        [&](Found& out) { return findProductItem(guid, out); }, [&] { return fetchProductItem(guid); });
    return answer(f, mode, guid, "<Нет продукции>");
}

// A GUID names one entry across all kinds.
bool ReferenceLookups::findReference(std::string_view guid, Found& out)
{
    store::TypedTable<store::RefsRecord>* refsTable = opened(m_refs, store::refsTable());
    if (!refsTable)
        return false;
    auto& refs = *refsTable;
    refs.clear();
    store::setText(refs.rec().GUID, guid);
    if (refs.fetch("MRE:BYGUID") != store::kOk)
        return false;
    out.name = std::string(store::textOf(refs.rec().NAME));
    return true;
}

bool ReferenceLookups::fetchReference(int kind, std::string_view guid)
{
    store::TypedTable<store::RefsRecord>* refsTable = opened(m_refs, store::refsTable());
    if (!refsTable)
        return false;
    auto& refs = *refsTable;
    if (kind == store::kProductTypeKind)
        return store::createProductType(refs, guid) == store::kOk;
    if (kind != 1 && kind != 2 && kind != 9 && kind != 12 && kind != 13)
        return false;
    const DictionaryKind& k = *dictionaryKind(kind);
    const ListLayout& layout = layoutOf(k.list);
    ResponseList answer(layout);
    if (!askByGuid(m_context, m_entityGuid, k.request, guid, answer))
        return false;
    const std::byte* row = answer.row(0);
    refs.clear();
    store::RefsRecord& r = refs.rec();
    r.VID = static_cast<std::uint8_t>(kind);
    store::setText(r.GUID, listValue(layout, row, "GUID"));
    mapDictionaryRow(k, layout, row, r);
    // By GUID a few kinds keep their links elsewhere than a refreshed list does.
    switch (kind) {
    case 2:
        store::setZText(r.PARENT, listValue(layout, row, "COUNTRYGUID"));
        break;
    case 9:
        putRefsField("MRE:STR40_01", r, listValue(layout, row, "COMMONUNITGUID"));
        putRefsField("MRE:STR40_02", r, {});
        break;
    case 12:
        store::setZText(r.PARENT, productTypeParent(layout, row));
        break;
    case 13:
        putRefsField("MRE:STR40_01", r, listValue(layout, row, "PRODUCTGUID"));
        putRefsField("MRE:STR40_02", r, {});
        store::setZText(r.PARENT, listValue(layout, row, "PRODUCTGUID"));
        break;
    default:
        break;
    }
    return refs.add() == store::kOk;
}

bool ReferenceLookups::findEntity(std::string_view guid, Found& out)
{
    store::TypedTable<store::EntityRecord>* entitiesTable = opened(m_entities, store::entityTable());
    if (!entitiesTable)
        return false;
    auto& entities = *entitiesTable;
    entities.clear();
    store::setText(entities.rec().GUID, guid);
    if (entities.fetch("MEN:BYGUID") != store::kOk)
        return false;
    out.name = std::string(store::textOf(entities.rec().NAME));
    out.inn = std::string(store::ztextOf(entities.rec().INN));
    return true;
}

bool ReferenceLookups::fetchEntity(std::string_view guid)
{
    const ListLayout& layout = layoutOf("businessEntity");
    ResponseList answer(layout);
    if (!askByGuid(m_context, m_entityGuid, RequestCode::BusinessEntityByGuid, guid, answer))
        return false;
    store::TypedTable<store::EntityRecord>* entitiesTable = opened(m_entities, store::entityTable());
    if (!entitiesTable)
        return false;
    auto& entities = *entitiesTable;
    const std::byte* row = answer.row(0);
    entities.clear();
    store::EntityRecord& e = entities.rec();
    mapEntityRow(layout, row, e);
    return entities.add() == store::kOk;
}

bool ReferenceLookups::findEnterprise(std::string_view guid, Found& out)
{
    store::TypedTable<store::EnterpriseRecord>* enterprisesTable =
        opened(m_enterprises, store::enterpriseTable());
    if (!enterprisesTable)
        return false;
    auto& enterprises = *enterprisesTable;
    enterprises.clear();
    store::setText(enterprises.rec().GUID, guid);
    if (enterprises.fetch("MEP:BYGUID") != store::kOk)
        return false;
    out.name = std::string(store::textOf(enterprises.rec().NAME));
    return true;
}

bool ReferenceLookups::fetchEnterprise(std::string_view guid)
{
    const ListLayout& layout = layoutOf("enterprise");
    ResponseList answer(layout);
    if (!askByGuid(m_context, m_entityGuid, RequestCode::EnterpriseByGuid, guid, answer))
        return false;
    store::TypedTable<store::EnterpriseRecord>* enterprisesTable =
        opened(m_enterprises, store::enterpriseTable());
    if (!enterprisesTable)
        return false;
    auto& enterprises = *enterprisesTable;
    const std::byte* row = answer.row(0);
    enterprises.clear();
    store::EnterpriseRecord& e = enterprises.rec();
    mapEnterpriseRow(layout, row, e);
    return enterprises.add() == store::kOk;
}

void ReferenceLookups::linkEnterprise(std::string_view entity, std::string_view enterprise)
{
    const std::string key = "L:" + std::string(entity) + std::string(enterprise);
    if (m_found.count(key))
        return;
    store::TypedTable<store::PlaceRecord>* placesTable = opened(m_places, store::placeTable());
    if (!placesTable)
        return;
    auto& places = *placesTable;
    places.clear();
    store::setText(places.rec().ENTITY, entity);
    store::setText(places.rec().ENTERPRISE, enterprise);
    const int found = places.fetch("MPL:BYENTITY");
    if (found == store::kRecordNotFound) {
        places.clear();
        store::setText(places.rec().ENTITY, entity);
        store::setText(places.rec().ENTERPRISE, enterprise);
        if (places.add() != store::kOk)
            return;
    } else if (found != store::kOk) {
        return;
    }
    m_found[key] = {};
}

bool ReferenceLookups::findProductItem(std::string_view guid, Found& out)
{
    store::TypedTable<store::ProductRecord>* productsTable = opened(m_products, store::productTable());
    if (!productsTable)
        return false;
    auto& products = *productsTable;
    products.clear();
    store::setText(products.rec().GUID, guid);
    if (products.fetch("PRD:BYGUID") != store::kOk)
        return false;
    out.name = std::string(store::textOf(products.rec().NAME));
    return true;
}

bool ReferenceLookups::fetchProductItem(std::string_view guid)
{
    const ListLayout& layout = layoutOf("productItem");
    ResponseList answer(layout);
    if (!askByGuid(m_context, m_entityGuid, RequestCode::ProductItemByGuid, guid, answer))
        return false;
    store::TypedTable<store::ProductRecord>* productsTable = opened(m_products, store::productTable());
    if (!productsTable)
        return false;
    auto& products = *productsTable;
    const std::byte* row = answer.row(0);
    products.clear();
    store::ProductRecord& p = products.rec();
    copyFields(store::productTable(), reinterpret_cast<char*>(&p), layout, row,
               {{"PRD:GUID", "GUID"},
                {"PRD:UUID", "UUID"},
                {"PRD:STATUS", "STATUS"},
                {"PRD:NAME", "NAME"},
                {"PRD:GLOBALID", "GLOBALID"},
                {"PRD:PRODTYPE", "PRODTYPE"},
                {"PRD:PRODUCT", "PRODUCT"},
                {"PRD:SUBPRODUCT", "SUBPRODUCT"},
                {"PRD:CORRGOST", "CORRGOST"},
                {"PRD:GOST", "GOST"},
                {"PRD:PRODUCER", "PRODUCER"},
                {"PRD:TMOWNER", "TMOWNER"},
                {"PRD:PACKAGINGGUID", "PACKAGINGGUID"},
                {"PRD:PACKAGINGID", "PACKAGINGID"},
                {"PRD:PACKAGINGNAME", "PACKAGINGNAME"},
                {"PRD:QUANTITY", "QUANTITY"},
                {"PRD:VOLUME", "VOLUME"},
                {"PRD:UNITGUID", "UNITGUID"},
                {"PRD:UNITNAME", "UNITNAME"}});
    p.CDATE = dayOfStamp(listValue(layout, row, "CDATE"));
    p.EDATE = dayOfStamp(listValue(layout, row, "EDATE"));
    if (products.add() != store::kOk)
        return false;
    // What the item names is stored with it.
    const std::string producer(store::textOf(p.PRODUCER));
    const std::string owner(store::textOf(p.TMOWNER));
    const std::string product(store::textOf(p.PRODUCT));
    const std::string subProduct(store::textOf(p.SUBPRODUCT));
    const std::string type = store::productTypeGuid(std::min<int>(p.PRODTYPE, 99));
    businessEntity(LookupMode::None, true, producer);
    businessEntity(LookupMode::None, true, owner);
    reference(store::kProductTypeKind, LookupMode::None, true, type);
    reference(12, LookupMode::None, true, product);
    reference(13, LookupMode::None, true, subProduct);
    return true;
}

} // namespace responses
