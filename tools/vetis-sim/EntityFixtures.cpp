// SPDX-License-Identifier: LicenseRef-Kestrom
// Business entities, their enterprises and product items of the built-in world.
#include "FixtureBuilders.h"

#include <array>

namespace vetissim {
namespace {

using namespace fixtures;

constexpr const char* kMeatEntity = "79c8c292-6b94-45b5-b498-82321e35049e";
constexpr const char* kFishEntity = "5b08acc2-13a5-4f07-9a1b-195060c40eb7";
constexpr const char* kFarmerEntity = "0f1e2d3c-4b5a-4697-8877-665544332211";
constexpr const char* kPoultryEntity = "7a6b5c4d-3e2f-4a1b-9c8d-7e6f5a4b3c2d";
constexpr const char* kPersonEntity = "3c2b1a09-8f7e-4d6c-b5a4-9382716a5b4c";
constexpr const char* kBrokerEntity = "6d5c4b3a-2918-4f7e-8d6c-5b4a39281706";
constexpr const char* kTogliatti = "242e87c1-584d-4360-8c4c-aae2fe90048e";
constexpr const char* kMurmansk = "e43e6a18-a1ae-4b87-9f4e-2c0b4a7e1d53";
constexpr const char* kMurmanskRegion = "1c727518-c96a-4f34-9ae6-fd510da3be03";
constexpr const char* kSmyshlyaevka = "c07d0c34-eadb-4102-bcef-7dd1a3ba27c3";

struct EntityRow
{
    const char* guid;
    int type;
    const char* name;
    const char* fullName;
    const char* fio;
    const char* inn;
    const char* kpp;
    const char* ogrn;
    const char* formCode;
    const char* formName;
    const char* region;
    const char* locality;
    const char* house;
    const char* postIndex;
};

struct EnterpriseRow
{
    const char* guid;
    const char* owner;
    const char* name;
    const char* number;
    const char* activity;
    const char* region;
    const char* locality;
    const char* house;
    const char* postIndex;
};

struct ItemRow
{
    const char* name;
    const char* code;
    const char* gtin;
    const char* subProduct; // name of the subproduct
    const char* gost;       // "" when made to the producer's own standard
    const char* producer;
    const char* packingCode;
    const char* packingName;
    int quantity;
    const char* volume;
    const char* unitGuid;
};

const std::array<EntityRow, 7> kEntities{{
    {known::kOwnEntityGuid, 1, "ООО \"Заря\"", "ОБЩЕСТВО С ОГРАНИЧЕННОЙ ОТВЕТСТВЕННОСТЬЮ \"ЗАРЯ\"", "",
     "6312000015", "631201001", "1026300000015", "12300", "Общества с ограниченной ответственностью",
     known::kSamaraRegionGuid, known::kSamaraCityGuid, "12", "443010"},
    {kMeatEntity, 1, "ООО \"Самарский мясокомбинат\"",
     "ОБЩЕСТВО С ОГРАНИЧЕННОЙ ОТВЕТСТВЕННОСТЬЮ \"САМАРСКИЙ МЯСОКОМБИНАТ\"", "", "6316000027", "631601001",
     "1026300000027", "12300", "Общества с ограниченной ответственностью", known::kSamaraRegionGuid,
     kTogliatti, "7", "445000"},
    {kFishEntity, 1, "АО \"Мурманский рыбокомбинат\"", "АКЦИОНЕРНОЕ ОБЩЕСТВО \"МУРМАНСКИЙ РЫБОКОМБИНАТ\"", "",
     "5190000039", "519001001", "1025100000039", "12267", "Непубличные акционерные общества", kMurmanskRegion,
     kMurmansk, "1", "183001"},
    {kFarmerEntity, 3, "", "", "КФХ Сидорова Анна Ивановна", "631100000041", "", "316630000000041", "50102",
     "Индивидуальные предприниматели", known::kSamaraRegionGuid, kSmyshlyaevka, "3", "443548"},
    {kPoultryEntity, 3, "", "", "Петров Пётр Петрович", "631100000053", "", "316630000000053", "50102",
     "Индивидуальные предприниматели", known::kSamaraRegionGuid, kSmyshlyaevka, "18", "443548"},
    {kPersonEntity, 2, "", "", "Иванов Иван Иванович", "631100000065", "", "", "", "",
     known::kSamaraRegionGuid, known::kSamaraCityGuid, "40", "443011"},
    {kBrokerEntity, 1, "ООО \"ТрансЛогистик\"", "ОБЩЕСТВО С ОГРАНИЧЕННОЙ ОТВЕТСТВЕННОСТЬЮ \"ТРАНСЛОГИСТИК\"",
     "", "6318000077", "631801001", "1026300000077", "12300", "Общества с ограниченной ответственностью",
     known::kSamaraRegionGuid, known::kSamaraCityGuid, "101", "443022"},
}};

const std::array<EnterpriseRow, 9> kEnterprises{{
    {known::kOwnEnterpriseGuid, known::kOwnEntityGuid, "Склад ООО \"Заря\"", "63-00101", "Хранение продукции",
     known::kSamaraRegionGuid, known::kSamaraCityGuid, "12", "443010"},
    {known::kOwnSecondEnterpriseGuid, known::kOwnEntityGuid, "Магазин \"Заря\" на Садовой", "63-00102",
     "Розничная торговля", known::kSamaraRegionGuid, known::kSamaraCityGuid, "156", "443010"},
    {"eb7a7995-9588-432d-8242-aadbc8f429a4", kMeatEntity, "Самарский мясокомбинат, цех убоя", "63-00201",
     "Убой животных", known::kSamaraRegionGuid, kTogliatti, "7", "445000"},
    {"d1c2b3a4-9584-4736-a251-04f3e2d1c0b9", kMeatEntity, "Самарский мясокомбинат, колбасный цех", "63-00202",
     "Производство колбасных изделий", known::kSamaraRegionGuid, kTogliatti, "7а", "445000"},
    {"4a894db7-e48f-42b9-aa5d-670af9a3638e", kFishEntity, "Мурманский рыбокомбинат", "51-00301",
     "Переработка рыбы", kMurmanskRegion, kMurmansk, "1", "183001"},
    {"a9b8c7d6-e5f4-4a3b-8c2d-1e0f9a8b7c6d", kFarmerEntity, "Молочная ферма КФХ Сидоровой", "63-00401",
     "Производство молока", known::kSamaraRegionGuid, kSmyshlyaevka, "3", "443548"},
    {"b8c7d6e5-f4a3-4b2c-9d1e-0f9a8b7c6d5e", kPoultryEntity, "Птицеферма ИП Петрова", "63-00501",
     "Разведение птицы", known::kSamaraRegionGuid, kSmyshlyaevka, "18", "443548"},
    {"82b9bfbc-91ba-4257-9abe-22cad37b17c6", kBrokerEntity, "Перевалочная база ООО \"ТрансЛогистик\"",
     "63-00701", "Хранение и перевалка грузов", known::kSamaraRegionGuid, known::kSamaraCityGuid, "101",
     "443022"},
    {"c7d6e5f4-a3b2-4c1d-8e0f-9a8b7c6d5e4f", kPersonEntity, "Подворье Иванова И.И.", "63-00601",
     "Личное подсобное хозяйство", known::kSamaraRegionGuid, known::kSamaraCityGuid, "40", "443011"},
}};

const std::array<ItemRow, 9> kItems{{
    {"Говядина на кости, полутуши, охл.", "МК-001", "4601234000017", "Говядина охлажденная",
     "ГОСТ 31797-2012", kMeatEntity, "", "", 0, "", ""},
    {"Свинина охлажденная, лопатка", "МК-002", "4601234000024", "Свинина охлажденная", "ГОСТ 31778-2012",
     kMeatEntity, "", "", 0, "", ""},
    {"Колбаса варёная \"Докторская\" 0,5 кг", "МК-105", "4601234000031", "Колбасы варёные", "ГОСТ 23670-2019",
     kMeatEntity, "CT", "Картонная коробка", 20, "0.5", known::kKilogramGuid},
    {"Треска б/г с/м, ГОСТ 32366-2013", "МР-010", "4607654000012", "Треска мороженая", "ГОСТ 32366-2013",
     kFishEntity, "BX", "Коробка", 1, "20", known::kKilogramGuid},
    {"Минтай б/г с/м", "МР-011", "4607654000029", "Минтай мороженый", "", kFishEntity, "BX", "Коробка", 1,
     "22", known::kKilogramGuid},
    {"Молоко питьевое 3,2% 1 л", "КФХ-1", "4609876000015", "Молоко питьевое", "ГОСТ 31450-2013",
     kFarmerEntity, "PA", "Пакет", 1, "1", ""},
    {"Творог 9% 0,2 кг", "КФХ-2", "4609876000022", "Творог", "", kFarmerEntity, "PA", "Пакет", 1, "0.2",
     known::kKilogramGuid},
    {"Яйцо куриное столовое С1", "ИП-1", "4601111000019", "Яйцо куриное пищевое", "ГОСТ 31654-2012",
     kPoultryEntity, "PU", "Лоток", 10, "", ""},
    {"Тёлки голштинской породы", "ИП-2", "", "Тёлки племенные", "", kPersonEntity, "", "", 0, "", ""},
}};

void addEntities(FixtureStore& store, UuidSource& ids)
{
    for (const EntityRow& row : kEntities) {
        XNode n = versioned(Ns::Dict, "businessEntity", ids.next(), row.guid, "200");
        n.add(Ns::Dict, "type", std::to_string(row.type));
        n.addIf(Ns::Dict, "name", row.name);
        if (*row.formCode) {
            XNode& form = n.add(Ns::Dict, "incorporationForm");
            form.add(Ns::Base, "uuid", ids.next());
            form.add(Ns::Dict, "name", row.formName);
            form.add(Ns::Dict, "code", row.formCode);
        }
        n.addIf(Ns::Dict, "fullName", row.fullName);
        n.addIf(Ns::Dict, "fio", row.fio);
        n.add(Ns::Dict, "inn", row.inn);
        n.addIf(Ns::Dict, "kpp", row.kpp);
        n.addIf(Ns::Dict, "ogrn", row.ogrn);
        XNode juridical =
            address(store, "juridicalAddress", row.region, row.locality, row.house, row.postIndex);
        n.children.push_back(std::move(juridical));
        store.put(RefKind::BusinessEntity, std::move(n));
    }
}

void addEnterprises(FixtureStore& store, UuidSource& ids, bool schema20Only)
{
    for (const EnterpriseRow& row : kEnterprises) {
        XNode n = versioned(Ns::Dict, "enterprise", ids.next(), row.guid);
        n.add(Ns::Dict, "name", row.name);
        n.add(Ns::Dict, "type", "1");
        n.add(Ns::Dict, "numberList").add(Ns::Dict, "enterpriseNumber", row.number);
        n.children.push_back(address(store, "address", row.region, row.locality, row.house, row.postIndex));
        XNode& activities = n.add(Ns::Dict, "activityList");
        activities.attr("count", "1").attr("total", "1").attr("offset", "0");
        activities.add(Ns::Dict, "activity").add(Ns::Dict, "name", row.activity);
        const XNode* owner = store.byGuid(RefKind::BusinessEntity, row.owner);
        XNode& ownerRef = n.add(Ns::Dict, "owner");
        ownerRef.add(Ns::Base, "guid", row.owner);
        if (owner) {
            const std::string name = owner->textAt("dt:name");
            ownerRef.add(Ns::Dict, "name", name.empty() ? owner->textAt("dt:fio") : name);
        }
        if (!schema20Only)
            n.add(Ns::Dict, "registryStatus", "RS_ACTIVE");
        store.put(RefKind::Enterprise, std::move(n));
    }
}

void addProductItems(FixtureStore& store, UuidSource& ids)
{
    for (const ItemRow& row : kItems) {
        const auto subs = store.list(RefKind::SubProduct,
                                     [&](const XNode& s) { return s.textAt("dt:name") == row.subProduct; });
        if (subs.empty())
            continue;
        const XNode& sub = *subs.front();
        const XNode* product = store.byGuid(RefKind::Product, sub.textAt("dt:productGuid"));
        if (!product)
            continue;
        XNode n = versioned(Ns::Dict, "productItem", ids.next(), ids.next());
        n.addIf(Ns::Dict, "globalID", row.gtin);
        n.add(Ns::Dict, "name", row.name);
        n.add(Ns::Dict, "code", row.code);
        n.add(Ns::Dict, "productType", product->textAt("dt:productType"));
        n.children.push_back(
            guidRef(Ns::Dict, "product", product->textAt("bs:guid"), product->textAt("dt:name")));
        n.children.push_back(guidRef(Ns::Dict, "subProduct", sub.textAt("bs:guid"), sub.textAt("dt:name")));
        n.add(Ns::Dict, "correspondsToGost", *row.gost ? "true" : "false");
        n.addIf(Ns::Dict, "gost", row.gost);
        n.children.push_back(guidRef(Ns::Dict, "producer", row.producer));
        n.children.push_back(guidRef(Ns::Dict, "tmOwner", row.producer));
        if (*row.packingCode) {
            XNode& packaging = n.add(Ns::Dict, "packaging");
            XNode& type = packaging.add(Ns::Dict, "packagingType");
            type.add(Ns::Base, "guid", ids.next());
            type.add(Ns::Dict, "globalID", row.packingCode);
            type.add(Ns::Dict, "name", row.packingName);
            packaging.add(Ns::Dict, "quantity", std::to_string(row.quantity));
            packaging.addIf(Ns::Dict, "volume", row.volume);
            if (*row.unitGuid) {
                const XNode* unit = store.byGuid(RefKind::Unit, row.unitGuid);
                packaging.children.push_back(
                    guidRef(Ns::Dict, "unit", row.unitGuid, unit ? unit->textAt("dt:name") : std::string{}));
            }
        }
        n.add(Ns::Dict, "isPublic", "true");
        store.put(RefKind::ProductItem, std::move(n));
    }
}

} // namespace

void addEntitiesAndItems(FixtureStore& store, UuidSource& ids, const FixtureOptions& options)
{
    addEntities(store, ids);
    addEnterprises(store, ids, options.schema20Only);
    addProductItems(store, ids);
}

} // namespace vetissim
