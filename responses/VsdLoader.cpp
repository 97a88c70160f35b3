// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/VsdLoader.h"

#include "framework/MessageBox.h"
#include "platform/Dates.h"
#include "responses/DictionaryKinds.h"
#include "responses/InsideMapping.h"
#include "responses/ReferenceLookups.h"
#include "responses/VsdDerivedValues.h"
#include "responses/WalkerAnswerReader.h"
#include "store/ErrorCodes.h"
#include "store/FieldAccess.h"
#include "store/RecordText.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Inside.h"
#include "store/tables/Vsd.h"
#include "vetis/Exchange.h"
#include "vetis/RequestCodes.h"
#include "vetis/RequestRecord.h"

#include <array>
#include <cstdlib>
#include <unordered_map>
#include <vector>

namespace responses {

namespace {

// A contents list with its kind, and its entries by the UUID of their VSD.
struct ContentsIndex
{
    int kind;
    const ResponseList* list;
    std::unordered_map<std::string, std::vector<std::size_t>> byVsd;

    ContentsIndex(int k, const ResponseList& l)
        : kind(k)
        , list(&l)
    {
        for (std::size_t i = 0; i < l.count(); ++i)
            byVsd[listValue(l.layout(), l.row(i), "UUID")].push_back(i);
    }
};

bool sameUpdate(const store::VsdRecord& stored, const ListLayout& layout, const std::byte* entry)
{
    const std::string updated = listValue(layout, entry, "LASTUPDATEDATE");
    return stored.UPDATEDATE == dayOfStamp(updated) && stored.UPDATETIME == timeOfStamp(updated) &&
           store::ztextOf(stored.VETDSTATUS) == listValue(layout, entry, "VETDSTATUS");
}

// The document's TTN fields, from the first referenced document of type 1 or 5.
void takeWaybill(store::VsdRecord& r, const ListLayout& layout, const std::byte* doc)
{
    r.TTN_TYPE = static_cast<std::uint8_t>(std::atoi(listValue(layout, doc, "TYPE").c_str()));
    store::setZText(r.TTN_SERIES, listValue(layout, doc, "SERIES"));
    store::setZText(r.TTN_NUMBER, listValue(layout, doc, "NUMBER"));
    const std::string date = listValue(layout, doc, "DATE");
    store::setZText(r.TTN_DATE, date);
    r.TTN_ORVDATE = platform::dayFromIso(date);
    r.TTN_RELTYPE = static_cast<std::uint8_t>(std::atoi(listValue(layout, doc, "RELTYPE").c_str()));
}

void clearWaybill(store::VsdRecord& r)
{
    r.TTN_TYPE = 0;
    store::setZText(r.TTN_SERIES, {});
    store::setZText(r.TTN_NUMBER, {});
    store::setZText(r.TTN_DATE, {});
    r.TTN_ORVDATE = 0;
    r.TTN_RELTYPE = 0;
}

// The transshipment transport, from a route point.
void takeTransshipment(store::VsdRecord& r, const ListLayout& layout, const std::byte* point)
{
    const auto v = [&](std::string_view f) { return listValue(layout, point, f); };
    r.TRANSPORTTYPE2 = static_cast<std::uint8_t>(std::atoi(v("TRANSPORTTYPE").c_str()));
    store::setZText(r.CONTAINERNUMBER2, v("CONTAINERNUMBER"));
    store::setZText(r.WAGONNUMBER2, v("WAGONNUMBER"));
    store::setZText(r.VEHICLENUMBER2, v("VEHICLENUMBER"));
    store::setZText(r.TRAILERNUMBER2, v("TRAILERNUMBER"));
    store::setZText(r.SHIPNAME2, v("SHIPNAME"));
    store::setZText(r.FLIGHTNUMBER2, v("FLIGHTNUMBER"));
}

void clearTransshipment(store::VsdRecord& r)
{
    r.TRANSPORTTYPE2 = 0;
    store::setZText(r.CONTAINERNUMBER2, {});
    store::setZText(r.WAGONNUMBER2, {});
    store::setZText(r.VEHICLENUMBER2, {});
    store::setZText(r.TRAILERNUMBER2, {});
    store::setZText(r.SHIPNAME2, {});
    store::setZText(r.FLIGHTNUMBER2, {});
}

// Rewrites the m_Inside records of the VSD in `vsd`; false when a write failed.
bool writeContents(store::TypedTable<store::InsideRecord>& inside, store::VsdRecord& vsd,
                   const std::vector<ContentsIndex>& contents, ReferenceLookups& lookups)
{
    const std::string uuid(store::textOf(vsd.UUID));
    // Delete what the VSD had.
    inside.clear();
    store::setText(inside.rec().UUID, uuid);
    if (inside.deleteEqual("MIN:BYUUID", 1) != store::kOk)
        return false;
    clearWaybill(vsd);
    clearTransshipment(vsd);
    bool waybillTaken = false;
    for (int kind : kInsideKindsInOrder) {
        const ContentsIndex* index = nullptr;
        for (const ContentsIndex& c : contents)
            if (c.kind == kind)
                index = &c;
        const auto entries = index->byVsd.find(uuid);
        if (entries == index->byVsd.end())
            continue;
        const ListLayout& layout = index->list->layout();
        for (std::size_t i : entries->second) {
            const std::byte* entry = index->list->row(i);
            inside.clear();
            store::InsideRecord& r = inside.rec();
            if (!mapInsideEntry(kind, layout, entry, r))
                continue;
            store::setText(r.UUID, uuid);
            r.VID = kind;
            r.NUMBER = static_cast<std::int32_t>(i + 1);
            if (inside.add() != store::kOk)
                return false;
            const auto v = [&](std::string_view f) { return listValue(layout, entry, f); };
            if (kind == 2 && !waybillTaken && (v("TYPE") == "1" || v("TYPE") == "5")) {
                takeWaybill(vsd, layout, entry);
                waybillTaken = true;
            } else if (kind == 3) {
                lookups.enterprise(LookupMode::None, true, v("PRODUCER_GUID"));
            } else if (kind == 8) {
                takeTransshipment(vsd, layout, entry);
                lookups.enterprise(LookupMode::None, true, v("ENTERPRISEGUID"));
                lookups.reference(1, LookupMode::None, true, v("LOC_COUNTRY"));
                lookups.reference(2, LookupMode::None, true, v("LOC_REGION"));
            }
        }
    }
    return true;
}

} // namespace

void VsdAnswerLists::bind(vetis::RequestRecord& request)
{
    store::setZText(request.ROWTAG, "vd:vetDocument");
    request.lists = {&vsd,        &refDocs,  &batchIds,      &producers,   &packages,
                     &conditions, &research, &statusChanges, &routePoints, &immunizations,
                     nullptr,     nullptr,   nullptr,        nullptr,      nullptr};
}

VsdStoreOutcome storeVsdLists(store::Session& session, VsdAnswerLists& lists, ReferenceLookups& lookups)
{
    VsdStoreOutcome outcome;
    const auto byFields = [](const ListLayout& layout, std::initializer_list<std::string_view> fields) {
        return [&layout, fields](const std::byte* a, const std::byte* b) {
            for (std::string_view f : fields) {
                const std::string x = listValue(layout, a, f), y = listValue(layout, b, f);
                if (x != y) {
                    const bool numeric = f != "UUID";
                    return numeric ? std::atoi(x.c_str()) < std::atoi(y.c_str()) : x < y;
                }
            }
            return false;
        };
    };
    if (!lists.refDocs.sortRows(byFields(lists.refDocs.layout(), {"UUID", "TYPE", "RELTYPE"})) ||
        !lists.routePoints.sortRows(byFields(lists.routePoints.layout(), {"UUID", "SQNID"})))
        return outcome;

    std::vector<ContentsIndex> contents;
    contents.emplace_back(1, lists.batchIds);
    contents.emplace_back(2, lists.refDocs);
    contents.emplace_back(3, lists.producers);
    contents.emplace_back(4, lists.packages);
    contents.emplace_back(5, lists.conditions);
    contents.emplace_back(6, lists.research);
    contents.emplace_back(7, lists.statusChanges);
    contents.emplace_back(8, lists.routePoints);
    contents.emplace_back(9, lists.immunizations);

    store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
    store::TypedTable<store::InsideRecord> inside(session, store::insideTable());
    store::Transaction transaction(session, {&vsds, &inside}, store::kDataLockTimeoutSeconds);
    if (vsds.open() != store::kOk || inside.open() != store::kOk || transaction.start() != store::kOk) {
        outcome.noAccess = true;
        return outcome;
    }
    const ListLayout& layout = lists.vsd.layout();
    for (std::size_t i = 0; i < lists.vsd.count(); ++i) {
        const std::byte* entry = lists.vsd.row(i);
        const std::string uuid = listValue(layout, entry, "UUID");
        if (uuid.size() != 36)
            continue;
        vsds.clear();
        store::setText(vsds.rec().UUID, uuid);
        const int found = vsds.fetch("MVD:BYUUID");
        if (found != store::kOk && found != store::kRecordNotFound) {
            transaction.rollback();
            return outcome;
        }
        if (found == store::kOk && sameUpdate(vsds.rec(), layout, entry)) {
            ++outcome.skipped;
            continue;
        }
        if (found == store::kRecordNotFound) {
            vsds.clear();
            store::setText(vsds.rec().UUID, uuid);
        }
        store::VsdRecord& r = vsds.rec();
        mapVsdHeader(layout, entry, r, lookups, outcome.counters);
        if (found == store::kRecordNotFound && r.CODSTATUS == 1)
            r.KOLVO = std::atof(std::string(store::ztextOf(r.VOLUME)).c_str());
        // The contents go through their own table; the VSD's record stays current here.
        if (!writeContents(inside, r, contents, lookups) ||
            (found == store::kOk ? vsds.put() : vsds.add()) != store::kOk) {
            transaction.rollback();
            return outcome;
        }
        ++(found == store::kOk ? outcome.updated : outcome.inserted);
    }
    if (transaction.commit() != store::kOk)
        return outcome;
    outcome.ok = true;
    return outcome;
}

VsdLoadOutcome loadVsdList(store::Session& session, store::Session& referenceSession,
                           vetis::ExchangeContext& context, std::string& applicationId,
                           std::string_view entityGuid, framework::MessagePresenter& presenter,
                           const std::function<void(const QString&)>& progress,
                           vetis::TransferControl* control)
{
    VsdLoadOutcome outcome;
    if (applicationId.size() != 36)
        return outcome;
    const QString id = QString::fromStdString(applicationId);
    progress(QStringLiteral("Загрузка списка ВСД по запросу ..."));

    vetis::RequestRecord request;
    request.setRequestCode(vetis::RequestCode::ReceiveApplicationResult);
    request.INDICATOR = 1;
    request.control = control;
    store::setText(request.VETISGUID, entityGuid);
    store::setZText(request.P1, applicationId);
    VsdAnswerLists lists;
    lists.bind(request);
    // The lists (and those of the names fetched on the way) are read by the
    // walker unless the caller brings a reader.
    WalkerAnswerReader walker;
    struct ReaderInUse
    {
        vetis::ExchangeContext& context;
        vetis::AnswerReader* callers;
        ~ReaderInUse() { context.reader = callers; }
    } readerInUse{context, context.reader};
    if (!context.reader)
        context.reader = &walker;
    if (!vetis::Exchange(request, context)) {
        progress(QStringLiteral("ОЖИДАЕМ ОТВЕТ НА ЗАПРОС ВСД: ") + id);
        return outcome;
    }
    outcome.exchanged = true;
    outcome.appStatus = std::string(store::ztextOf(request.APPSTATUS));
    outcome.offset = request.ROFFSET;
    outcome.count = request.RCOUNT;
    outcome.total = request.RTOTAL;
    const QString suffix = applicationStatusSuffix(outcome.appStatus);
    if (outcome.appStatus == "COMPLETED" || outcome.appStatus == "REJECTED") {
        applicationId.clear();
        outcome.finished = true;
    }
    if (request.RLOAD < 1) {
        progress(QStringLiteral("НЕТ ВСД ПО ЗАПРОСУ: ") + id + suffix);
        return outcome;
    }

    ReferenceLookups lookups(referenceSession, context, entityGuid);
    outcome.stored = storeVsdLists(session, lists, lookups);
    outcome.failed = !outcome.stored.ok;
    if (outcome.stored.noAccess) {
        framework::informationMessage(presenter,
                                      QStringLiteral("Нет доступа к спискам БД для выполнения операции !"));
        return outcome;
    }
    if (!outcome.stored.ok) {
        progress(QStringLiteral("ОШИБКА ПРИ ЗАГРУЗКЕ СПИСКА ВСД ПО ЗАПРОСУ: ") + id);
        framework::informationMessage(presenter,
                                      QStringLiteral("Не удалось выполнить операцию загрузки списка ВСД !"));
        return outcome;
    }
    if (outcome.appStatus != "COMPLETED") {
        progress(QStringLiteral("ПОЛУЧЕН ОТВЕТ НА ЗАПРОС СПИСКА ВСД: ") + id + suffix);
        return outcome;
    }
    progress(QStringLiteral("Успешно загружены ВСД по запросу с ") + QString::number(request.ROFFSET + 1) +
             QStringLiteral(" по ") + QString::number(request.ROFFSET + request.RCOUNT) +
             QStringLiteral(" из ") + QString::number(request.RTOTAL));
    const QString warning =
        shelfLifeWarning(outcome.stored.counters.expired, outcome.stored.counters.lowReserve);
    if (!warning.isEmpty())
        framework::problemMessage(presenter, warning, true);
    return outcome;
}

} // namespace responses
