// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/OwnEntity.h"

#include "platform/CodePage.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Enterprise.h"
#include "store/tables/Entity.h"
#include "store/tables/Place.h"
#include "workspace/ReferenceCardTexts.h"

namespace workspace {

namespace {

QString fixedText(std::string_view field)
{
    return platform::fromCp1251(field).trimmed();
}

} // namespace

OwnEntity openOwnEntity(store::Session& session)
{
    OwnEntity own;
    store::TypedTable<store::EntityRecord> entities(session, store::entityTable());
    if (entities.open() != store::kOk)
        return own;
    entities.clear();
    entities.rec().HOME = 1;
    if (entities.set("MEN:BYHOME") == store::kOk && entities.next() == store::kOk &&
        entities.rec().HOME == 1) {
        own.stored = true;
        own.name = fixedText(store::textOf(entities.rec().NAME));
        own.guid = std::string(store::textOf(entities.rec().GUID));
    } else {
        entities.clear();
        entities.rec().HOME = 1;
        store::setText(
            entities.rec().NAME,
            platform::toCp1251(u"Укажите в настройке IssuerID Вашего Хозяйствующего Субъекта (ХС)"));
        store::setZText(
            entities.rec().ADRVIEW,
            platform::toCp1251(u"Нажмите кнопку \"Доступ к Ветис.API\" и укажите параметры доступа к "
                               u"сервису !"));
        if (entities.add() == store::kOk) {
            own.stored = true;
            own.name = fixedText(store::textOf(entities.rec().NAME));
        }
        return own;
    }
    if (own.guid.size() != 36)
        return own;
    for (const EnterpriseChoice& e : enterprisesOf(session, own.guid))
        if (e.marked) {
            own.workingEnterprise = e.guid;
            break;
        }
    return own;
}

std::vector<EnterpriseChoice> enterprisesOf(store::Session& session, const std::string& entityGuid)
{
    std::vector<EnterpriseChoice> out;
    store::TypedTable<store::PlaceRecord> places(session, store::placeTable());
    store::TypedTable<store::EnterpriseRecord> enterprises(session, store::enterpriseTable());
    if (entityGuid.size() != 36 || places.open() != store::kOk || enterprises.open() != store::kOk)
        return out;
    places.clear();
    store::setText(places.rec().ENTITY, entityGuid);
    if (places.set("MPL:BYENTITY", 1) != store::kOk)
        return out;
    while (places.next() == store::kOk && store::textOf(places.rec().ENTITY) == entityGuid) {
        EnterpriseChoice choice;
        choice.guid = std::string(store::textOf(places.rec().ENTERPRISE));
        choice.marked = places.rec().MARK == 1;
        enterprises.clear();
        store::setText(enterprises.rec().GUID, choice.guid);
        if (enterprises.fetch("MEP:BYGUID") == store::kOk) {
            choice.name = fixedText(store::textOf(enterprises.rec().NAME));
            choice.type = enterpriseTypeName(enterprises.rec().TYPE);
            choice.address = fixedText(store::textOf(enterprises.rec().ADDRESS));
        } else {
            choice.type = enterpriseTypeName(0);
        }
        out.push_back(std::move(choice));
    }
    return out;
}

} // namespace workspace
