// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ReferenceCardTexts.h"

#include "framework/MessageBox.h"
#include "platform/CodePage.h"
#include "store/BuiltInRows.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Enterprise.h"
#include "store/tables/Entity.h"
#include "store/tables/Place.h"
#include "store/tables/Product.h"
#include "workspace/VsdCardTexts.h"

#include <cstdio>

namespace workspace {

namespace {

constexpr int kRefCardProductKind = 12;
constexpr int kRefCardSubProductKind = 13;
constexpr int kRefCardCountryKind = 1;
constexpr int kRefCardRegionKind = 2;
constexpr int kRefCardDistrictLocalityKind = 4;
constexpr int kRefCardRegionLocalityKind = 6;

QString refCardText(std::string_view cp1251)
{
    return platform::fromCp1251(store::withoutLeadingBlanks(store::clip(cp1251)));
}

} // namespace

QString enterpriseTypeName(int type)
{
    switch (type) {
    case 1:
        return QStringLiteral("Предприятие");
    case 2:
        return QStringLiteral("Рынок");
    case 3:
        return QStringLiteral("СББЖ");
    case 4:
        return QStringLiteral("Судно");
    default:
        return QStringLiteral("???");
    }
}

QString registrationStatusName(std::string_view status)
{
    const std::string_view s = store::clip(status);
    if (s == "UNVERIFIED")
        return QStringLiteral("Не подтверждён");
    if (s == "VERIFIED")
        return QStringLiteral("Подтверждён");
    if (s == "CANCELED")
        return QStringLiteral("Исключён");
    if (s == "DELETED")
        return QStringLiteral("Удалён");
    return QStringLiteral("???");
}

ProductCardTexts productCardTexts(store::Session& session, const store::ProductRecord& r)
{
    ProductCardTexts t;
    if (r.PRODTYPE != 0) {
        char key[8];
        std::snprintf(key, sizeof key, "11-%02u", static_cast<unsigned>(r.PRODTYPE % 100));
        t.productType = localReferenceName(session, store::kProductTypeKind, key);
    }
    t.product = localReferenceName(session, kRefCardProductKind, store::textOf(r.PRODUCT));
    t.subProduct = localReferenceName(session, kRefCardSubProductKind, store::textOf(r.SUBPRODUCT));
    t.producer = localEntityName(session, store::textOf(r.PRODUCER));
    t.tmOwner = localEntityName(session, store::textOf(r.TMOWNER));
    return t;
}

PlaceNames placeNames(store::Session& session, std::string_view country, std::string_view region,
                      std::string_view locality)
{
    PlaceNames names;
    names.country = localReferenceName(session, kRefCardCountryKind, country);
    names.region = localReferenceName(session, kRefCardRegionKind, region);
    names.locality = localReferenceName(session, kRefCardRegionLocalityKind, locality);
    if (names.locality.isEmpty())
        names.locality = localReferenceName(session, kRefCardDistrictLocalityKind, locality);
    return names;
}

std::vector<EntityEnterpriseRow> entityEnterprises(store::Session& session, std::string_view entityGuid)
{
    std::vector<EntityEnterpriseRow> out;
    const std::string_view entity = store::clip(entityGuid);
    store::TypedTable<store::PlaceRecord> places(session, store::placeTable());
    store::TypedTable<store::EnterpriseRecord> enterprises(session, store::enterpriseTable());
    if (entity.empty() || places.open() != store::kOk || enterprises.open() != store::kOk)
        return out;
    places.clear();
    store::setText(places.rec().ENTITY, entity);
    if (places.set("MPL:BYENTITY", 1) != store::kOk)
        return out;
    while (places.next() == store::kOk && store::clip(store::textOf(places.rec().ENTITY)) == entity) {
        EntityEnterpriseRow row;
        row.guid = std::string(store::clip(store::textOf(places.rec().ENTERPRISE)));
        row.working = places.rec().MARK == 1;
        enterprises.clear();
        store::setText(enterprises.rec().GUID, row.guid);
        if (enterprises.fetch("MEP:BYGUID") == store::kOk) {
            const store::EnterpriseRecord& e = enterprises.rec();
            row.name = refCardText(store::textOf(e.NAME));
            row.address = refCardText(store::textOf(e.ADDRESS));
            row.type = enterpriseTypeName(e.TYPE);
            row.status = e.STATUS;
            row.added = e.CDATE;
            row.changed = e.EDATE;
            row.number = refCardText(store::ztextOf(e.NUMBER1));
            row.registration = registrationStatusName(store::ztextOf(e.REGSTATUS));
        } else {
            row.type = enterpriseTypeName(0);
        }
        out.push_back(std::move(row));
    }
    return out;
}

AccessSettingsCheck accessSettingsCheck(const store::EntityRecord& entity)
{
    if (entity.HOME == 0)
        return AccessSettingsCheck::NotOwn;
    return isGuid(store::textOf(entity.GUID)) ? AccessSettingsCheck::Allowed
                                              : AccessSettingsCheck::BadIssuerId;
}

bool allowAccessSettings(const store::EntityRecord& entity)
{
    switch (accessSettingsCheck(entity)) {
    case AccessSettingsCheck::Allowed:
        return true;
    case AccessSettingsCheck::BadIssuerId:
        framework::problemMessage(
            framework::messagePresenter(),
            QStringLiteral("Указан неверный код IssuerID для хозяйствующего субъекта !"));
        return false;
    case AccessSettingsCheck::NotOwn:
        break;
    }
    framework::problemMessage(
        framework::messagePresenter(),
        QStringLiteral("Настройки доступа к сервису Ветис.API доступны только для своих ХС !"));
    return false;
}

bool chooseWorkingEnterprise(store::Session& session, std::string_view entityGuid,
                             std::string_view enterpriseGuid)
{
    const std::string entity(store::clip(entityGuid));
    const std::string chosen(store::clip(enterpriseGuid));
    store::TypedTable<store::PlaceRecord> places(session, store::placeTable());
    store::Transaction transaction(session, {&places}, store::kDataLockTimeoutSeconds);
    if (entity.empty() || chosen.empty() || places.open() != store::kOk ||
        transaction.start() != store::kOk) {
        framework::informationMessage(framework::messagePresenter(),
                                      QStringLiteral("Нет доступа к данным для выполнения операции !"));
        return false;
    }
    const auto failed = [&transaction] {
        transaction.rollback();
        framework::informationMessage(framework::messagePresenter(),
                                      QStringLiteral("Не удалось выполнить операцию !"));
        return false;
    };

    // The marked links other than the chosen one first.
    std::vector<std::string> marked;
    places.clear();
    store::setText(places.rec().ENTITY, entity);
    if (places.set("MPL:BYENTITY", 1) != store::kOk)
        return failed();
    while (places.next() == store::kOk && store::clip(store::textOf(places.rec().ENTITY)) == entity)
        if (places.rec().MARK != 0 && store::clip(store::textOf(places.rec().ENTERPRISE)) != chosen)
            marked.emplace_back(store::clip(store::textOf(places.rec().ENTERPRISE)));
    for (const std::string& enterprise : marked) {
        places.clear();
        store::setText(places.rec().ENTITY, entity);
        store::setText(places.rec().ENTERPRISE, enterprise);
        if (places.fetch("MPL:BYENTITY") != store::kOk)
            return failed();
        places.rec().MARK = 0;
        if (places.put() != store::kOk)
            return failed();
    }

    places.clear();
    store::setText(places.rec().ENTITY, entity);
    store::setText(places.rec().ENTERPRISE, chosen);
    if (places.fetch("MPL:BYENTITY") != store::kOk)
        return failed();
    if (places.rec().MARK != 1) {
        places.rec().MARK = 1;
        if (places.put() != store::kOk)
            return failed();
    }
    if (transaction.commit() != store::kOk) {
        framework::informationMessage(framework::messagePresenter(),
                                      QStringLiteral("Не удалось выполнить операцию !"));
        return false;
    }
    return true;
}

} // namespace workspace
