// SPDX-License-Identifier: LicenseRef-Kestrom
// Generated VSDs of the built-in world: every content a VSD can carry appears in
// some of them, with issue dates over the last weeks and shelf lives that give
// expired and short-reserve goods.
#include "FixtureBuilders.h"

#include <array>

namespace vetissim {
namespace {

using namespace fixtures;

struct Party
{
    std::string entity;
    std::string enterprise;
};

// The pieces one VSD is made of, chosen from its number.
struct VsdPlan
{
    int number = 0;
    std::string uuid;
    std::string previousUuid;
    Party consignor;
    Party consignee;
    const XNode* item = nullptr;
    int issueDay = 0;
    std::string status;
    bool finalized = true;
};

std::string twoDigits(int value)
{
    return value < 10 ? "0" + std::to_string(value) : std::to_string(value);
}

XNode complexDate(const char* name, int days, bool withMonth, bool withDay, int hour)
{
    const CivilDate d = civilFromDays(days);
    XNode n(Ns::VetDoc, name);
    n.add(Ns::Dict, "year", std::to_string(d.year));
    if (withMonth)
        n.add(Ns::Dict, "month", std::to_string(d.month));
    if (withMonth && withDay)
        n.add(Ns::Dict, "day", std::to_string(d.day));
    if (hour > 0)
        n.add(Ns::Dict, "hour", std::to_string(hour));
    return n;
}

void addParty(XNode& parent, const char* name, const Party& party)
{
    XNode& p = parent.add(Ns::VetDoc, name);
    p.add(Ns::Dict, "businessEntity").add(Ns::Base, "guid", party.entity);
    p.add(Ns::Dict, "enterprise").add(Ns::Base, "guid", party.enterprise);
}

void addTransportNumber(XNode& info, int type, int number)
{
    XNode& tn = info.add(Ns::VetDoc, "transportNumber");
    switch (type) {
    case 1:
        tn.add(Ns::VetDoc, "vehicleNumber", "А" + std::to_string(100 + number % 900) + "ВС163");
        tn.add(Ns::VetDoc, "trailerNumber", "АВ" + std::to_string(1000 + number) + " 63");
        break;
    case 2:
        tn.add(Ns::VetDoc, "wagonNumber", std::to_string(52839100 + number));
        break;
    case 3:
        tn.add(Ns::VetDoc, "flightNumber", "SU-" + std::to_string(1400 + number));
        break;
    default:
        tn.add(Ns::VetDoc, "containerNumber", "MSCU" + std::to_string(1234500 + number));
        tn.add(Ns::VetDoc, "shipName", "Капитан Хлебников");
        break;
    }
}

void productionAndExpiry(XNode& batch, const VsdPlan& plan)
{
    // Shelf-life patterns by number: long, short reserve, expired on issue,
    // expiry known to the month, production period with an informal date.
    const int pattern = plan.number % 5;
    const int issue = plan.issueDay;
    XNode& production = batch.add(Ns::VetDoc, "dateOfProduction");
    XNode& expiry = batch.add(Ns::VetDoc, "expiryDate");
    switch (pattern) {
    case 0:
        production.children.push_back(complexDate("firstDate", issue - 2, true, true, 14));
        expiry.children.push_back(complexDate("firstDate", issue + 178, true, true, 0));
        break;
    case 1:
        production.children.push_back(complexDate("firstDate", issue - 20, true, true, 0));
        expiry.children.push_back(complexDate("firstDate", issue + 3, true, true, 0));
        expiry.children.push_back(complexDate("secondDate", issue + 5, true, true, 0));
        break;
    case 2:
        production.children.push_back(complexDate("firstDate", issue - 30, true, true, 9));
        expiry.children.push_back(complexDate("firstDate", issue - 2, true, true, 0));
        break;
    case 3:
        production.children.push_back(complexDate("firstDate", issue - 40, true, false, 0));
        expiry.children.push_back(complexDate("firstDate", issue + 300, true, false, 0));
        break;
    default:
        production.children.push_back(complexDate("firstDate", issue - 6, true, true, 0));
        production.children.push_back(complexDate("secondDate", issue - 4, true, true, 0));
        production.add(Ns::VetDoc, "informalDate", "партия выработана в течение трёх смен");
        expiry.children.push_back(complexDate("firstDate", issue + 60, true, true, 0));
        break;
    }
}

void addPackages(XNode& batch, const VsdPlan& plan, const XNode& item)
{
    const XNode* packing = item.at("dt:packaging/dt:packagingType");
    XNode& list = batch.add(Ns::VetDoc, "packageList");
    const int boxes = 10 + plan.number % 40;
    XNode& outer = list.add(Ns::Dict, "package");
    outer.add(Ns::Dict, "level", "4");
    XNode& outerType = outer.add(Ns::Dict, "packingType");
    outerType.add(Ns::Base, "guid", "c10c2788-a8e1-4980-86f6-d2e1c91d6da3");
    outerType.add(Ns::Dict, "globalID", packing ? "CT" : "BG");
    outerType.add(Ns::Dict, "name", packing ? "Картонная коробка" : "Мешок");
    outer.add(Ns::Dict, "quantity", std::to_string(boxes));
    outer.add(Ns::Dict, "productMarks", "BN-" + std::to_string(4400 + plan.number)).attr("class", "BN");
    if (plan.number % 4 == 0)
        outer.add(Ns::Dict, "productMarks", "04601234" + std::to_string(100000000 + plan.number))
            .attr("class", "SSCC");
    if (packing) {
        XNode& inner = list.add(Ns::Dict, "package");
        inner.add(Ns::Dict, "level", "2");
        XNode& innerType = inner.add(Ns::Dict, "packingType");
        innerType.add(Ns::Base, "guid", packing->textAt("bs:guid"));
        innerType.add(Ns::Dict, "globalID", packing->textAt("dt:globalID"));
        innerType.add(Ns::Dict, "name", packing->textAt("dt:name"));
        inner.add(Ns::Dict, "quantity", std::to_string(boxes * 12));
        const std::string gtin = item.textAt("dt:globalID");
        if (!gtin.empty())
            inner.add(Ns::Dict, "productMarks", gtin).attr("class", "EAN13");
    }
}

void addBatch(XNode& consignment, const FixtureStore& store, const VsdPlan& plan,
              const FixtureOptions& options)
{
    const XNode& item = *plan.item;
    XNode& batch = consignment.add(Ns::VetDoc, "batch");
    const std::string type = item.textAt("dt:productType");
    batch.add(Ns::VetDoc, "productType", type);
    batch.children.push_back(
        guidRef(Ns::VetDoc, "product", item.textAt("dt:product/bs:guid"), item.textAt("dt:product/dt:name")));
    batch.children.push_back(guidRef(Ns::VetDoc, "subProduct", item.textAt("dt:subProduct/bs:guid"),
                                     item.textAt("dt:subProduct/dt:name")));
    XNode& productItem = batch.add(Ns::VetDoc, "productItem");
    productItem.add(Ns::Base, "guid", item.textAt("bs:guid"));
    productItem.addIf(Ns::Dict, "globalID", item.textAt("dt:globalID"));
    productItem.add(Ns::Dict, "name", item.textAt("dt:name"));
    productItem.add(Ns::Dict, "code", item.textAt("dt:code"));
    if (const XNode* packaging = item.child(Ns::Dict, "packaging"))
        productItem.children.push_back(*packaging);
    const bool pieces = type == "3" || item.textAt("dt:packaging/dt:packagingType/dt:globalID") == "PU";
    batch.add(Ns::VetDoc, "volume",
              pieces ? std::to_string(20 + plan.number % 200)
                     : std::to_string(100 + plan.number * 37 % 900) + "." + std::to_string(plan.number % 10));
    const std::string unitGuid = pieces ? "e644c315-c2cb-4187-b62e-7330ba45cd54" : known::kKilogramGuid;
    const XNode* unit = store.byGuid(RefKind::Unit, unitGuid);
    batch.children.push_back(guidRef(Ns::VetDoc, "unit", unitGuid, unit ? unit->textAt("dt:name") : ""));
    productionAndExpiry(batch, plan);
    for (int k = 0; k <= plan.number % 3; ++k)
        batch.add(Ns::VetDoc, "batchID", std::to_string(4400 + plan.number) + "-" + std::to_string(k + 1));
    batch.add(Ns::VetDoc, "perishable", type == "1" || type == "5" || type == "7" ? "true" : "false");
    XNode& origin = batch.add(Ns::VetDoc, "origin");
    const bool foreign = plan.number % 8 == 7;
    const auto countries = store.list(RefKind::Country);
    const XNode* country =
        foreign && countries.size() > 1 ? countries[1] : store.byGuid(RefKind::Country, known::kRussiaGuid);
    if (country) {
        XNode& c = origin.add(Ns::VetDoc, "country");
        c.add(Ns::Base, "uuid", country->textAt("bs:uuid"));
        c.add(Ns::Base, "guid", country->textAt("bs:guid"));
        c.add(Ns::Dict, "name", country->textAt("dt:name"));
    }
    const auto producers = store.list(RefKind::Enterprise, [&](const XNode& e) {
        return e.textAt("dt:owner/bs:guid") == item.textAt("dt:producer/bs:guid");
    });
    const char* role = type == "1" ? "SLAUGHTER_HOUSE" : "PRODUCER";
    for (std::size_t k = 0; k < producers.size() && k < (plan.number % 2 ? 2u : 1u); ++k) {
        XNode& producer = origin.add(Ns::VetDoc, "producer");
        XNode& enterprise = producer.add(Ns::Dict, "enterprise");
        enterprise.add(Ns::Base, "uuid", producers[k]->textAt("bs:uuid"));
        enterprise.add(Ns::Base, "guid", producers[k]->textAt("bs:guid"));
        enterprise.add(Ns::Dict, "name", producers[k]->textAt("dt:name"));
        producer.add(Ns::Dict, "role", k == 0 ? role : (type == "1" ? "CUTTING_PLANT" : "COLD_STORE"));
    }
    batch.add(Ns::VetDoc, "lowGradeCargo", plan.number % 9 == 8 ? "true" : "false");
    addPackages(batch, plan, item);
    batch.add(Ns::VetDoc, "owner").add(Ns::Base, "guid", plan.consignor.entity);
    if (!options.schema20Only && (type == "2" || type == "6"))
        batch.add(Ns::VetDoc, "applicableClassifications").add(Ns::VetDoc, "nonFoodSource", "ANIMAL_ORIGIN");
}

void addRoute(XNode& consignment, const FixtureStore& store, const VsdPlan& plan, int transportType)
{
    XNode& route = consignment.add(Ns::VetDoc, "shipmentRoute");
    std::array<XNode, 3> points;
    for (int k = 0; k < 3; ++k) {
        XNode& p = points[static_cast<std::size_t>(k)];
        p = XNode(Ns::VetDoc, "routePoint");
        p.add(Ns::Base, "uuid", UuidSource(plan.number * 31u + static_cast<unsigned>(k) + 7u).next());
        p.add(Ns::VetDoc, "sqnId", std::to_string(k + 1));
    }
    points[0].add(Ns::VetDoc, "enterprise").add(Ns::Base, "guid", plan.consignor.enterprise);
    points[0].add(Ns::VetDoc, "transshipment", "false");
    const XNode* hub = store.byGuid(RefKind::Enterprise, "82b9bfbc-91ba-4257-9abe-22cad37b17c6");
    XNode& hubRef = points[1].add(Ns::VetDoc, "enterprise");
    if (hub)
        hubRef.add(Ns::Base, "uuid", hub->textAt("bs:uuid"));
    hubRef.add(Ns::Base, "guid", "82b9bfbc-91ba-4257-9abe-22cad37b17c6");
    points[1].add(Ns::VetDoc, "transshipment", "true");
    const int nextType = transportType == 1 ? 2 : 1;
    XNode& next = points[1].add(Ns::VetDoc, "nextTransport");
    next.add(Ns::VetDoc, "transportType", std::to_string(nextType));
    addTransportNumber(next, nextType, plan.number + 500);
    XNode& location = points[2].add(Ns::VetDoc, "location");
    location.add(Ns::Dict, "name", "Пункт выгрузки");
    location.children.push_back(
        address(store, "address", known::kSamaraRegionGuid, known::kSamaraCityGuid, "12", "443010"));
    points[2].add(Ns::VetDoc, "transshipment", "false");
    // Some VSDs list their route points out of order, as the service may.
    const std::array<int, 3> order =
        plan.number % 6 == 4 ? std::array<int, 3>{1, 0, 2} : std::array<int, 3>{0, 1, 2};
    for (int k : order)
        route.children.push_back(points[static_cast<std::size_t>(k)]);
}

XNode namedRef(const char* name, const XNode* entry)
{
    XNode n(Ns::VetDoc, name);
    if (entry) {
        n.add(Ns::Base, "guid", entry->textAt("bs:guid"));
        n.add(Ns::Dict, "name", entry->textAt("dt:name"));
    }
    return n;
}

template <typename List>
const XNode* pick(const List& list, int number)
{
    return list.empty() ? nullptr : list[static_cast<std::size_t>(number) % list.size()];
}

void addAuthentication(XNode& vsd, const FixtureStore& store, const VsdPlan& plan)
{
    const std::string type = plan.item->textAt("dt:productType");
    XNode& auth = vsd.add(Ns::VetDoc, "authentication");
    auth.children.push_back(
        namedRef("purpose", pick(store.list(RefKind::Purpose), plan.number % 2 ? 0 : plan.number)));
    auth.add(Ns::VetDoc, "cargoInspected", "true");
    static constexpr std::array<const char*, 3> expertise{"VSEFULL", "VSERAW", "UNFULFILLED"};
    auth.add(Ns::VetDoc, "cargoExpertized",
             expertise[static_cast<std::size_t>(plan.number) % expertise.size()]);
    auth.add(Ns::VetDoc, "locationProsperity", "Местность благополучна по заразным болезням животных");
    if (type == "3") {
        auth.add(Ns::VetDoc, "animalSpentPeriod", plan.number % 2 ? "IN_MONTHS" : "FROM_BIRTH");
        if (plan.number % 2)
            auth.add(Ns::VetDoc, "monthsSpent", "6");
    }
    const auto methods = store.list(RefKind::ResearchMethod);
    const auto diseases = store.list(RefKind::Disease);
    if (plan.number % 2 == 0) {
        XNode& lab = auth.add(Ns::VetDoc, "laboratoryResearch");
        lab.add(Ns::VetDoc, "ID", "ЛИ-" + std::to_string(7000 + plan.number));
        lab.add(Ns::VetDoc, "type", "LBR");
        lab.add(Ns::VetDoc, "actualDateTime", isoDateTime(plan.issueDay - 5, 0));
        lab.add(Ns::VetDoc, "operator").add(Ns::Dict, "name", "ФГБУ \"Самарская МВЛ\"");
        XNode& doc = lab.add(Ns::VetDoc, "referencedDocument");
        doc.add(Ns::VetDoc, "issueNumber", "12-34/" + std::to_string(500 + plan.number));
        doc.add(Ns::VetDoc, "issueDate", isoDate(plan.issueDay - 5));
        doc.add(Ns::VetDoc, "type", "10");
        lab.add(Ns::VetDoc, "notes", "Пробы отобраны от каждой партии");
        lab.add(Ns::VetDoc, "expertiseID", "12-34/" + std::to_string(500 + plan.number));
        // A research names either the indicator or the disease it looked for.
        if (plan.number % 4 == 0) {
            XNode& indicator = lab.add(Ns::VetDoc, "indicator");
            indicator.add(Ns::Base, "guid", "764ae4d4-359e-4d02-9cb2-5c12903c3ad2");
            indicator.add(Ns::Dict, "name", "Listeria monocytogenes");
        } else {
            lab.children.push_back(namedRef("disease", pick(diseases, plan.number)));
        }
        lab.children.push_back(namedRef("method", pick(methods, plan.number)));
        lab.add(Ns::VetDoc, "result", "NEGATIVE");
        lab.add(Ns::VetDoc, "conclusion", "не обнаружено");
    }
    if (type == "3") {
        XNode& quarantine = auth.add(Ns::VetDoc, "quarantine");
        quarantine.add(Ns::VetDoc, "type", "QRT");
        quarantine.add(Ns::VetDoc, "actualDateTime", isoDateTime(plan.issueDay - 35, 0));
        quarantine.add(Ns::VetDoc, "location").add(Ns::Dict, "name", "Карантинная площадка фермы");
        quarantine.add(Ns::VetDoc, "duration", "30");
    }
    if (type == "3" || plan.number % 4 == 0) {
        XNode& imm = auth.add(Ns::VetDoc, "immunization");
        imm.add(Ns::VetDoc, "ID", "ВАК-" + std::to_string(300 + plan.number));
        imm.add(Ns::VetDoc, "type", "IMM");
        imm.add(Ns::VetDoc, "actualDateTime", isoDateTime(plan.issueDay - 90, 0));
        imm.add(Ns::VetDoc, "notes", "Вакцинация проведена в плановом порядке");
        imm.children.push_back(namedRef("disease", pick(diseases, 0)));
        XNode& drug = imm.add(Ns::VetDoc, "medicinalDrug");
        drug.add(Ns::Dict, "name", "Вакцина против ящура инактивированная");
        drug.add(Ns::Dict, "series", "01" + twoDigits(plan.number % 100));
        imm.add(Ns::VetDoc, "effectiveBeforeDate", isoDateTime(plan.issueDay + 90, 0));
    }
    static constexpr std::array<const char*, 2> conditions{
        "Продукция получена от убоя животных, не подвергавшихся воздействию природных или искусственных "
        "стимуляторов роста.",
        "Животные происходят из хозяйств, благополучных по ящуру в течение последних 12 месяцев."};
    for (int k = 0; k < (plan.number % 2 ? 2 : 1); ++k) {
        XNode& clause = auth.add(Ns::VetDoc, "r13nClause");
        XNode& condition = clause.add(Ns::VetDoc, "condition");
        condition.add(Ns::Base, "uuid", UuidSource(9000u + static_cast<unsigned>(k)).next());
        condition.add(Ns::Base, "guid", UuidSource(9100u + static_cast<unsigned>(k)).next());
        condition.add(Ns::Dict, "text", conditions[static_cast<std::size_t>(k)]);
        condition.add(Ns::Dict, "strict", "true");
    }
    auth.add(Ns::VetDoc, "specialMarks",
             plan.number % 3 ? "Без особых отметок"
                             : "Груз опломбирован, пломба № " + std::to_string(7700 + plan.number));
}

void addReferencedDocuments(XNode& vsd, const VsdPlan& plan)
{
    auto waybill = [&](int type, const std::string& series, int number) {
        XNode& doc = vsd.add(Ns::VetDoc, "referencedDocument");
        doc.addIf(Ns::VetDoc, "issueSeries", series);
        doc.add(Ns::VetDoc, "issueNumber", std::to_string(number));
        doc.add(Ns::VetDoc, "issueDate", isoDate(plan.issueDay));
        doc.add(Ns::VetDoc, "type", std::to_string(type));
        doc.add(Ns::VetDoc, "relationshipType", "1");
    };
    // A consignment note of type 5 before the waybill of type 1 in some VSDs.
    if (plan.number % 3 == 0)
        waybill(5, "", 5000 + plan.number);
    waybill(1, "ТТН", 1000 + plan.number);
    if (plan.number % 4 == 1 && !plan.previousUuid.empty()) {
        XNode& doc = vsd.add(Ns::VetDoc, "referencedDocument");
        doc.add(Ns::Base, "uuid", plan.previousUuid);
        doc.add(Ns::VetDoc, "issueDate", isoDate(plan.issueDay - 3));
        doc.add(Ns::VetDoc, "type", "11");
        doc.add(Ns::VetDoc, "relationshipType", "2");
    }
}

XNode statusChange(const std::string& status, const char* fio, const char* post, const std::string& when,
                   const char* reason, int number)
{
    XNode change(Ns::VetDoc, "statusChange");
    change.add(Ns::VetDoc, "status", status);
    XNode& person = change.add(Ns::VetDoc, "specifiedPerson");
    person.add(Ns::Base, "uuid", UuidSource(7000u + static_cast<unsigned>(number)).next());
    person.add(Ns::VetDoc, "fio", fio);
    person.add(Ns::VetDoc, "workPhone", "+7 (846) 200-00-" + twoDigits(number % 100));
    person.add(Ns::VetDoc, "workEmail", "vet" + std::to_string(number % 7) + "@vet.samregion.ru");
    XNode& organization = person.add(Ns::VetDoc, "organization");
    organization.add(Ns::Dict, "name", "ГБУ СО \"Самарское ветеринарное объединение\"");
    XNode& address = organization.add(Ns::Dict, "address");
    address.children.push_back(guidRef(Ns::Dict, "country", known::kRussiaGuid, "Российская Федерация"));
    address.children.push_back(guidRef(Ns::Dict, "region", known::kSamaraRegionGuid, "Самарская"));
    address.add(Ns::Dict, "addressView",
                "443010, Российская Федерация, Самарская обл., г. Самара, ул. Садовая, д. 1");
    person.add(Ns::VetDoc, "post", post);
    change.add(Ns::VetDoc, "actualDateTime", when);
    if (reason)
        change.add(Ns::VetDoc, "reason", reason);
    return change;
}

XNode makeVsd(const FixtureStore& store, const VsdPlan& plan, const FixtureOptions& options)
{
    const std::string type = plan.item->textAt("dt:productType");
    XNode vsd(Ns::VetDoc, "vetDocument");
    vsd.add(Ns::Base, "uuid", plan.uuid);
    if (plan.number % 5 == 3) {
        vsd.add(Ns::VetDoc, "issueSeries", "63АА");
        vsd.add(Ns::VetDoc, "issueNumber", std::to_string(1200340 + plan.number));
    }
    vsd.add(Ns::VetDoc, "issueDate", isoDate(plan.issueDay));
    const char* form = type == "3" ? "LIC1" : (type == "2" || type == "6") ? "LIC3" : "LIC2";
    vsd.add(Ns::VetDoc, "vetDForm", plan.number % 8 == 7 ? "CERTCU2" : form);
    vsd.add(Ns::VetDoc, "vetDType", "TRANSPORT");
    vsd.add(Ns::VetDoc, "vetDStatus", plan.status);
    vsd.add(Ns::VetDoc, "finalized", plan.finalized ? "true" : "false");
    const int issueSecond = 8 * 3600 + 55 * 60 + plan.number % 60;
    const bool changedLater = plan.status != "CONFIRMED";
    vsd.add(Ns::VetDoc, "lastUpdateDate",
            isoDateTime(plan.issueDay + (changedLater ? 1 : 0), changedLater ? 16 * 3600 : issueSecond + 60));

    XNode& consignment = vsd.add(Ns::VetDoc, "certifiedConsignment");
    addParty(consignment, "consignor", plan.consignor);
    addParty(consignment, "consignee", plan.consignee);
    if (plan.number % 5 == 2)
        consignment.add(Ns::VetDoc, "broker").add(Ns::Base, "guid", "6d5c4b3a-2918-4f7e-8d6c-5b4a39281706");
    const int transportType = 1 + plan.number % 4;
    XNode& transport = consignment.add(Ns::VetDoc, "transportInfo");
    transport.add(Ns::VetDoc, "transportType", std::to_string(transportType));
    addTransportNumber(transport, transportType, plan.number);
    const char* storage = type == "7"   ? "FROZEN"
                          : type == "1" ? "CHILLED"
                          : type == "5" ? "COOLED"
                                        : "VENTILATED";
    consignment.add(Ns::VetDoc, "transportStorageType", storage);
    if (plan.number % 3 == 1)
        addRoute(consignment, store, plan, transportType);
    addBatch(consignment, store, plan, options);
    addAuthentication(vsd, store, plan);
    addReferencedDocuments(vsd, plan);
    vsd.children.push_back(statusChange("CONFIRMED", "Иванова Мария Петровна", "Ветеринарный врач",
                                        isoDateTime(plan.issueDay, issueSecond), nullptr, plan.number));
    if (changedLater) {
        const char* reason = plan.status == "WITHDRAWN" ? "Ошибка в сведениях о продукции" : nullptr;
        vsd.children.push_back(statusChange(plan.status, "Петров Пётр Петрович", "Товаровед",
                                            isoDateTime(plan.issueDay + 1, 16 * 3600), reason,
                                            plan.number + 50));
    }
    return vsd;
}

} // namespace

void buildDefaultVsds(FixtureStore& store, const FixtureOptions& options)
{
    const auto items = store.list(RefKind::ProductItem);
    if (items.empty() || options.vsdCount < 0)
        return;
    UuidSource ids(options.seed ^ 0x5eedULL);
    const int today = options.today > 0 ? options.today : todayDays();
    auto enterpriseOf = [&](const std::string& entity) {
        const auto list = store.list(RefKind::Enterprise,
                                     [&](const XNode& e) { return e.textAt("dt:owner/bs:guid") == entity; });
        return list.empty() ? std::string{} : list.front()->textAt("bs:guid");
    };
    static constexpr std::array<const char*, 12> statuses{"CONFIRMED", "CONFIRMED", "CONFIRMED", "CONFIRMED",
                                                          "CONFIRMED", "CONFIRMED", "CONFIRMED", "CONFIRMED",
                                                          "UTILIZED",  "WITHDRAWN", "CONFIRMED", "FINALIZED"};
    const Party own{known::kOwnEntityGuid, known::kOwnEnterpriseGuid};
    const Party ownSecond{known::kOwnEntityGuid, known::kOwnSecondEnterpriseGuid};
    std::string previous;
    // The own entity's incoming VSDs, then three that are not: one outgoing and
    // two between other parties, so that filters have something to leave out.
    const int total = options.vsdCount + 3;
    for (int i = 0; i < total; ++i) {
        VsdPlan plan;
        plan.number = i;
        plan.uuid = ids.next();
        plan.previousUuid = previous;
        plan.item = items[static_cast<std::size_t>(i) % items.size()];
        const std::string producer = plan.item->textAt("dt:producer/bs:guid");
        plan.consignor = {producer, enterpriseOf(producer)};
        plan.consignee = i % 6 == 5 ? ownSecond : own;
        plan.issueDay = today - (i * 7) % 45;
        plan.status = statuses[static_cast<std::size_t>(i) % statuses.size()];
        plan.finalized = i % 5 != 4;
        if (i == options.vsdCount) {
            plan.consignor = own;
            plan.consignee = {"3c2b1a09-8f7e-4d6c-b5a4-9382716a5b4c", "c7d6e5f4-a3b2-4c1d-8e0f-9a8b7c6d5e4f"};
        } else if (i > options.vsdCount) {
            plan.consignee = {"0f1e2d3c-4b5a-4697-8877-665544332211", "a9b8c7d6-e5f4-4a3b-8c2d-1e0f9a8b7c6d"};
        }
        store.putVsd(makeVsd(store, plan, options));
        previous = plan.uuid;
    }
}

} // namespace vetissim
