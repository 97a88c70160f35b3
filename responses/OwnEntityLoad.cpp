// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/OwnEntityLoad.h"

#include "responses/DictionaryKinds.h"
#include "responses/ListPages.h"
#include "responses/ReferenceLists.h"
#include "responses/ReferenceLookups.h"
#include "responses/ResponseList.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Enterprise.h"
#include "store/tables/Entity.h"
#include "store/tables/Place.h"
#include "vetis/Exchange.h"
#include "vetis/RequestRecord.h"

#include <string>

namespace responses {

namespace {

vetis::RequestRecord entityRequest(std::string_view guid, vetis::RequestCode code, ResponseList& out)
{
    vetis::RequestRecord request;
    request.setRequestCode(code);
    store::setText(request.VETISGUID, guid);
    store::setText(request.GUID, guid);
    store::setZText(request.ROWTAG, out.layout().rowTag);
    request.lists[0] = &out;
    return request;
}

bool askEntity(const EntityLoadExchange& exchange, vetis::ExchangeContext& context, std::string_view guid,
               ResponseList& out)
{
    vetis::RequestRecord request = entityRequest(guid, vetis::RequestCode::BusinessEntityByGuid, out);
    return exchange ? exchange(request, context) : vetis::Exchange(request, context);
}

// Every page of the entity's places of activity into `out`.
bool askPlaces(const EntityLoadExchange& exchange, vetis::ExchangeContext& context, std::string_view guid,
               ResponseList& out)
{
    for (int page = 0; page < kMaxListPages; ++page) {
        ResponseList rows(out.layout());
        vetis::RequestRecord request = entityRequest(guid, vetis::RequestCode::ActivityLocationList, rows);
        request.COUNT = kListPageSize;
        request.OFFSET = kListPageSize * page;
        if (!(exchange ? exchange(request, context) : vetis::Exchange(request, context)))
            return false;
        for (std::size_t i = 0; i < rows.count(); ++i)
            if (!out.add(rows.row(i)))
                return false;
        if (!listHasMorePages(request))
            return true;
    }
    return true;
}

// Writes the entity: updated when stored, else added.
int writeEntity(store::TypedTable<store::EntityRecord>& entities, const ListLayout& layout,
                const std::byte* row, std::string_view guid)
{
    entities.clear();
    store::setText(entities.rec().GUID, guid);
    const int found = entities.fetch("MEN:BYGUID");
    if (found != store::kOk && found != store::kRecordNotFound)
        return found;
    if (found == store::kRecordNotFound) {
        entities.clear();
        store::setText(entities.rec().GUID, guid);
    }
    mapEntityRow(layout, row, entities.rec());
    store::setText(entities.rec().GUID, guid);
    return found == store::kOk ? entities.put() : entities.add();
}

int writeEnterprise(store::TypedTable<store::EnterpriseRecord>& enterprises, const ListLayout& layout,
                    const std::byte* row, const std::string& guid)
{
    enterprises.clear();
    store::setText(enterprises.rec().GUID, guid);
    const int found = enterprises.fetch("MEP:BYGUID");
    if (found != store::kOk && found != store::kRecordNotFound)
        return found;
    if (found == store::kRecordNotFound)
        enterprises.clear();
    mapEnterpriseRow(layout, row, enterprises.rec());
    return found == store::kOk ? enterprises.put() : enterprises.add();
}

// A link already stored stays as it is, with its mark.
int writePlace(store::TypedTable<store::PlaceRecord>& places, std::string_view entity,
               const std::string& enterprise)
{
    places.clear();
    store::setText(places.rec().ENTITY, entity);
    store::setText(places.rec().ENTERPRISE, enterprise);
    const int found = places.fetch("MPL:BYENTITY");
    if (found != store::kRecordNotFound)
        return found;
    places.clear();
    store::setText(places.rec().ENTITY, entity);
    store::setText(places.rec().ENTERPRISE, enterprise);
    return places.add();
}

} // namespace

EntityLoadOutcome loadEntityFromMercury(store::Session& session, vetis::ExchangeContext& context,
                                        std::string_view entityGuid, const EntityLoadExchange& exchange)
{
    EntityLoadOutcome outcome;
    const std::string guid(store::clip(entityGuid));
    if (guid.size() != 36)
        return outcome;

    // Both answers first: no table is locked while the service is asked.
    const ListLayout& entityLayout = BusinessEntityRow::layout();
    ResponseList entity(entityLayout);
    outcome.result = EntityLoadResult::ExchangeFailed;
    if (!askEntity(exchange, context, guid, entity))
        return outcome;
    if (entity.count() != 1 || listValue(entityLayout, entity.row(0), "GUID") != guid) {
        outcome.result = EntityLoadResult::NotFound;
        return outcome;
    }
    const ListLayout& placeLayout = ActivityLocationRow::layout();
    ResponseList located(placeLayout);
    if (!askPlaces(exchange, context, guid, located))
        return outcome;

    store::TypedTable<store::EntityRecord> entities(session, store::entityTable());
    store::TypedTable<store::EnterpriseRecord> enterprises(session, store::enterpriseTable());
    store::TypedTable<store::PlaceRecord> places(session, store::placeTable());
    outcome.result = EntityLoadResult::NoAccess;
    if (entities.open() != store::kOk || enterprises.open() != store::kOk || places.open() != store::kOk)
        return outcome;
    store::Transaction transaction(session, {&entities, &enterprises, &places},
                                   store::kDataLockTimeoutSeconds);
    if (transaction.start() != store::kOk)
        return outcome;

    outcome.result = EntityLoadResult::WriteFailed;
    int rc = writeEntity(entities, entityLayout, entity.row(0), guid);
    int written = 0;
    for (std::size_t i = 0; rc == store::kOk && i < located.count(); ++i) {
        const std::byte* row = located.row(i);
        const std::string enterprise = listValue(placeLayout, row, "GUID");
        if (enterprise.size() != 36)
            continue; // a place without its enterprise
        rc = writeEnterprise(enterprises, placeLayout, row, enterprise);
        if (rc == store::kOk)
            rc = writePlace(places, guid, enterprise);
        written += rc == store::kOk;
    }
    if (rc != store::kOk) {
        transaction.rollback();
        return outcome;
    }
    if (transaction.commit() != store::kOk)
        return outcome;
    outcome.result = EntityLoadResult::Loaded;
    outcome.enterprises = written;
    return outcome;
}

} // namespace responses
