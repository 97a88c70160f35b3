// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

#include <string>
#include <string_view>
#include <vector>

namespace store {
class Session;
struct EntityRecord;
struct ProductRecord;
} // namespace store

// What the product, business entity and enterprise cards show besides the
// records' own fields, and the changes the entity card makes. Names come
// from the local tables only: a card never asks the service for a missing
// entry, whose text is then empty.
namespace workspace {

// How a card opens: to add a record, to change it or to view it.
enum class CardMode
{
    Insert,
    Change,
    View,
};

// MEP:TYPE: "Предприятие", "Рынок", "СББЖ", "Судно"; "???" for any other.
QString enterpriseTypeName(int type);
// MEP:REGSTATUS: "Не подтверждён", "Подтверждён", "Исключён", "Удалён"; "???"
// for any other.
QString registrationStatusName(std::string_view status);

// The names the product card looks up.
struct ProductCardTexts
{
    QString productType; // dictionary kind 11 by "11-" and PRD:PRODTYPE as two digits
    QString product;     // kind 12 by PRD:PRODUCT
    QString subProduct;  // kind 13 by PRD:SUBPRODUCT
    QString producer;    // business entity PRD:PRODUCER
    QString tmOwner;     // business entity PRD:TMOWNER
};
ProductCardTexts productCardTexts(store::Session& session, const store::ProductRecord& record);

// The names of a place: country (kind 1), region (kind 2) and locality
// (kind 6, or 4 for one stored under its district).
struct PlaceNames
{
    QString country;
    QString region;
    QString locality;
};
PlaceNames placeNames(store::Session& session, std::string_view country, std::string_view region,
                      std::string_view locality);

// One enterprise of a business entity, as the entity card lists it.
struct EntityEnterpriseRow
{
    std::string guid; // MPL:ENTERPRISE
    QString name;     // empty when the enterprise is not stored
    QString address;
    QString type; // enterpriseTypeName
    int status = 0;
    int added = 0;        // MEP:CDATE
    int changed = 0;      // MEP:EDATE
    QString number;       // MEP:NUMBER1
    QString registration; // registrationStatusName
    bool working = false; // MPL:MARK = 1
};
// The enterprises linked to the entity in m_Place, in key order; empty when
// the tables cannot be read.
std::vector<EntityEnterpriseRow> entityEnterprises(store::Session& session, std::string_view entityGuid);

// Whether the access settings may be opened from the card of this entity.
enum class AccessSettingsCheck
{
    Allowed,
    BadIssuerId, // an own entity whose GUID is not complete
    NotOwn,      // not one of the user's own entities
};
AccessSettingsCheck accessSettingsCheck(const store::EntityRecord& entity);
// Shows the message of a refusal; false when the settings may not be opened.
bool allowAccessSettings(const store::EntityRecord& entity);

// Makes `enterpriseGuid` the working enterprise of `entityGuid`: in one
// transaction every other link of the entity in m_Place loses MPL:MARK and
// the enterprise's link gets 1. A refusal is shown ("Нет доступа к данным
// для выполнения операции !", "Не удалось выполнить операцию !") and leaves
// m_Place as it was. True when the change was written.
bool chooseWorkingEnterprise(store::Session& session, std::string_view entityGuid,
                             std::string_view enterpriseGuid);

} // namespace workspace
