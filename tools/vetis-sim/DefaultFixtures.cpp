// SPDX-License-Identifier: LicenseRef-Kestrom
// The built-in world of the simulator: a few countries down to streets, the small
// dictionaries, products, business entities with their enterprises and product items.
#include "FixtureBuilders.h"

#include <array>

namespace vetissim {
namespace fixtures {

XNode versioned(Ns ns, std::string name, const std::string& uuid, const std::string& guid,
                const std::string& status)
{
    XNode n(ns, std::move(name));
    n.add(Ns::Base, "uuid", uuid);
    n.add(Ns::Base, "guid", guid);
    n.add(Ns::Base, "active", "true");
    n.add(Ns::Base, "last", "true");
    n.add(Ns::Base, "status", status);
    n.add(Ns::Base, "createDate", "2019-03-01T12:00:00+03:00");
    n.add(Ns::Base, "updateDate", "2023-11-20T09:30:00+03:00");
    return n;
}

XNode guidRef(Ns ns, std::string name, const std::string& guid, const std::string& dtName)
{
    XNode n(ns, std::move(name));
    n.add(Ns::Base, "guid", guid);
    n.addIf(Ns::Dict, "name", dtName);
    return n;
}

XNode address(const FixtureStore& store, std::string name, const std::string& regionGuid,
              const std::string& localityGuid, const std::string& house, const std::string& postIndex)
{
    XNode a(Ns::Dict, std::move(name));
    const XNode* region = store.byGuid(RefKind::Region, regionGuid);
    const std::string countryGuid = region ? region->textAt("dt:countryGuid") : known::kRussiaGuid;
    const XNode* country = store.byGuid(RefKind::Country, countryGuid);
    const XNode* locality = store.byGuid(RefKind::Locality, localityGuid);
    const std::string countryName = country ? country->textAt("dt:name") : std::string{};
    a.children.push_back(guidRef(Ns::Dict, "country", countryGuid, countryName));
    std::string view = postIndex + ", " + countryName;
    if (region) {
        a.children.push_back(guidRef(Ns::Dict, "region", regionGuid, region->textAt("dt:name")));
        view += ", " + region->textAt("dt:view");
    }
    if (locality) {
        a.children.push_back(guidRef(Ns::Dict, "locality", localityGuid, locality->textAt("dt:name")));
        view += ", " + locality->textAt("dt:view");
        const auto streets = store.list(
            RefKind::Street, [&](const XNode& s) { return s.textAt("dt:localityGuid") == localityGuid; });
        if (!streets.empty()) {
            const XNode& street = *streets.front();
            a.children.push_back(
                guidRef(Ns::Dict, "street", street.textAt("bs:guid"), street.textAt("dt:name")));
            view += ", " + street.textAt("dt:view");
        }
    }
    a.add(Ns::Dict, "house", house);
    a.add(Ns::Dict, "postIndex", postIndex);
    a.add(Ns::Dict, "addressView", view + ", д. " + house);
    return a;
}

} // namespace fixtures

namespace {

using namespace fixtures;

struct CountryRow
{
    const char* guid;
    const char* name;
    const char* fullName;
    const char* english;
    const char* code;
    const char* code3;
};

struct PlaceRow
{
    const char* guid;
    const char* parent; // country for regions, region for districts
    const char* name;
    const char* view;
    const char* type;
    const char* code;
};

struct LocalityRow
{
    const char* guid;
    const char* region;
    const char* district; // "" for a city of the region
    const char* name;
    const char* view;
    const char* type;
    const char* code;
    int streets;
};

void addCountries(FixtureStore& store, UuidSource& ids)
{
    static constexpr std::array<CountryRow, 6> rows{{
        {known::kRussiaGuid, "Российская Федерация", "Российская Федерация", "Russian Federation", "RU",
         "RUS"},
        {"", "Беларусь", "Республика Беларусь", "Belarus", "BY", "BLR"},
        {"", "Казахстан", "Республика Казахстан", "Kazakhstan", "KZ", "KAZ"},
        {"", "Армения", "Республика Армения", "Armenia", "AM", "ARM"},
        {"", "Китай", "Китайская Народная Республика", "China", "CN", "CHN"},
        {"", "Аргентина", "Аргентинская Республика", "Argentina", "AR", "ARG"},
    }};
    for (const CountryRow& row : rows) {
        const std::string guid = *row.guid ? row.guid : ids.next();
        const std::string uuid = *row.guid ? "72a84b51-5c5e-11e1-b9b7-001966f192f1" : ids.next();
        XNode n = versioned(Ns::Dict, "country", uuid, guid);
        n.add(Ns::Dict, "name", row.name);
        n.add(Ns::Dict, "fullName", row.fullName);
        n.add(Ns::Dict, "englishName", row.english);
        n.add(Ns::Dict, "code", row.code);
        n.add(Ns::Dict, "code3", row.code3);
        store.put(RefKind::Country, std::move(n));
    }
}

constexpr const char* kMoscowRegion = "0c5b2444-70a0-4932-980c-b4dc0d3f02b5";
constexpr const char* kMurmanskRegion = "1c727518-c96a-4f34-9ae6-fd510da3be03";
constexpr const char* kVolzhskyDistrict = "fd56a552-3bfc-4bbd-853f-297a8db00034";
constexpr const char* kKrasnoyarskyDistrict = "2f6b7c1e-4a8d-4f0b-9c3e-5d7a1b2c3d4e";
constexpr const char* kKolskyDistrict = "6a1e0b9c-2d3f-4e5a-8b7c-9d0e1f2a3b4c";
constexpr const char* kTogliattiCity = "242e87c1-584d-4360-8c4c-aae2fe90048e";
constexpr const char* kMurmanskCity = "e43e6a18-a1ae-4b87-9f4e-2c0b4a7e1d53";
constexpr const char* kSmyshlyaevka = "c07d0c34-eadb-4102-bcef-7dd1a3ba27c3";

void addPlaces(FixtureStore& store, UuidSource& ids, int bigStreets)
{
    static constexpr std::array<PlaceRow, 4> regions{{
        {known::kSamaraRegionGuid, known::kRussiaGuid, "Самарская", "Самарская обл.", "область", "63"},
        {kMoscowRegion, known::kRussiaGuid, "Москва", "г. Москва", "город", "77"},
        {kMurmanskRegion, known::kRussiaGuid, "Мурманская", "Мурманская обл.", "область", "51"},
        {"3b0cf1ab-8f0a-4e2d-9b8a-7c6d5e4f3a21", known::kRussiaGuid, "Московская", "Московская обл.",
         "область", "50"},
    }};
    for (const PlaceRow& row : regions) {
        XNode n = versioned(Ns::Dict, "region", ids.next(), row.guid);
        n.add(Ns::Dict, "name", row.name);
        n.add(Ns::Dict, "view", row.view);
        n.add(Ns::Dict, "regionCode", row.code);
        n.add(Ns::Dict, "type", row.type);
        n.add(Ns::Dict, "countryGuid", row.parent);
        n.add(Ns::Dict, "hasStreets", "false");
        store.put(RefKind::Region, std::move(n));
    }
    static constexpr std::array<PlaceRow, 3> districts{{
        {kVolzhskyDistrict, known::kSamaraRegionGuid, "Волжский", "Волжский р-н", "район", "63"},
        {kKrasnoyarskyDistrict, known::kSamaraRegionGuid, "Красноярский", "Красноярский р-н", "район", "63"},
        {kKolskyDistrict, kMurmanskRegion, "Кольский", "Кольский р-н", "район", "51"},
    }};
    for (const PlaceRow& row : districts) {
        XNode n = versioned(Ns::Dict, "district", ids.next(), row.guid);
        n.add(Ns::Dict, "name", row.name);
        n.add(Ns::Dict, "view", row.view);
        n.add(Ns::Dict, "regionCode", row.code);
        n.add(Ns::Dict, "type", row.type);
        n.add(Ns::Dict, "countryGuid", known::kRussiaGuid);
        n.add(Ns::Dict, "hasStreets", "false");
        n.add(Ns::Dict, "regionGuid", row.parent);
        store.put(RefKind::District, std::move(n));
    }
    const std::array<LocalityRow, 6> localities{{
        {known::kSamaraCityGuid, known::kSamaraRegionGuid, "", "Самара", "г. Самара", "город", "63",
         bigStreets},
        {kTogliattiCity, known::kSamaraRegionGuid, "", "Тольятти", "г. Тольятти", "город", "63", 5},
        {kSmyshlyaevka, known::kSamaraRegionGuid, kVolzhskyDistrict, "Смышляевка", "пгт. Смышляевка",
         "посёлок городского типа", "63", 3},
        {"9d2c7e4a-1b3f-4c5d-8e6f-7a8b9c0d1e2f", known::kSamaraRegionGuid, kKrasnoyarskyDistrict,
         "Красный Яр", "с. Красный Яр", "село", "63", 2},
        {kMurmanskCity, kMurmanskRegion, "", "Мурманск", "г. Мурманск", "город", "51", 4},
        {"4e5f6a7b-8c9d-4e0f-a1b2-c3d4e5f6a7b8", kMurmanskRegion, kKolskyDistrict, "Кола", "г. Кола", "город",
         "51", 2},
    }};
    static constexpr std::array<const char*, 36> streetNames{"Садовая",
                                                             "Молодогвардейская",
                                                             "Ленинградская",
                                                             "Самарская",
                                                             "Куйбышева",
                                                             "Фрунзе",
                                                             "Галактионовская",
                                                             "Полевая",
                                                             "Ульяновская",
                                                             "Чапаевская",
                                                             "Некрасовская",
                                                             "Вилоновская",
                                                             "Льва Толстого",
                                                             "Максима Горького",
                                                             "Степана Разина",
                                                             "Красноармейская",
                                                             "Гагарина",
                                                             "Победы",
                                                             "Мичурина",
                                                             "Лесная",
                                                             "Солнечная",
                                                             "Заводская",
                                                             "Речная",
                                                             "Луговая",
                                                             "Школьная",
                                                             "Строителей",
                                                             "Мира",
                                                             "Советская",
                                                             "Дачная",
                                                             "Зелёная",
                                                             "Набережная",
                                                             "Кооперативная",
                                                             "Рабочая",
                                                             "Парковая",
                                                             "Почтовая",
                                                             "Вокзальная"};
    static constexpr std::array<std::array<const char*, 2>, 5> streetTypes{{{"улица", "ул."},
                                                                            {"проспект", "пр-кт"},
                                                                            {"переулок", "пер."},
                                                                            {"проезд", "пр-д"},
                                                                            {"бульвар", "б-р"}}};
    for (const LocalityRow& row : localities) {
        XNode n = versioned(Ns::Dict, "locality", ids.next(), row.guid);
        n.add(Ns::Dict, "name", row.name);
        n.add(Ns::Dict, "view", row.view);
        n.add(Ns::Dict, "regionCode", row.code);
        n.add(Ns::Dict, "type", row.type);
        n.add(Ns::Dict, "countryGuid", known::kRussiaGuid);
        n.add(Ns::Dict, "hasStreets", row.streets > 0 ? "true" : "false");
        n.add(Ns::Dict, "regionGuid", row.region);
        n.addIf(Ns::Dict, "districtGuid", row.district);
        store.put(RefKind::Locality, std::move(n));
        const int combinations = static_cast<int>(streetNames.size() * streetTypes.size());
        for (int i = 0; i < row.streets; ++i) {
            const char* base = streetNames[static_cast<std::size_t>(i) % streetNames.size()];
            const auto& type =
                streetTypes[static_cast<std::size_t>(i / static_cast<int>(streetNames.size())) %
                            streetTypes.size()];
            const int round = i / combinations;
            const std::string name =
                round == 0 ? std::string(base) : std::to_string(round + 1) + "-я " + base;
            XNode s = versioned(Ns::Dict, "street", ids.next(), ids.next());
            s.add(Ns::Dict, "name", name);
            s.add(Ns::Dict, "view", std::string(type[1]) + " " + name);
            s.add(Ns::Dict, "regionCode", row.code);
            s.add(Ns::Dict, "type", type[0]);
            s.add(Ns::Dict, "countryGuid", known::kRussiaGuid);
            s.add(Ns::Dict, "localityGuid", row.guid);
            store.put(RefKind::Street, std::move(s));
        }
    }
}

void addSmallDictionaries(FixtureStore& store, UuidSource& ids)
{
    struct UnitRow
    {
        const char* uuid;
        const char* guid;
        const char* name;
        const char* fullName;
        const char* common;
        const char* factor;
    };
    const std::array<UnitRow, 6> units{{
        {"0e30277e-50b7-484f-8fda-60dc99517a7e", known::kKilogramGuid, "кг", "килограмм",
         known::kKilogramGuid, "1000"},
        {"717eafff-25aa-4128-9069-212df802fea9", "5fdd3a16-8a61-49a7-936c-d61319c06515", "т", "тонна",
         known::kKilogramGuid, "1000000"},
        {"f6b8f116-cc81-437b-9b0f-56452c0188bb", "e644c315-c2cb-4187-b62e-7330ba45cd54", "шт", "штука", "",
         "1"},
        {"", "", "л", "литр", "", "1"},
        {"", "", "г", "грамм", known::kKilogramGuid, "1"},
        {"", "", "упак", "", "", "1"},
    }};
    for (const UnitRow& row : units) {
        XNode n =
            versioned(Ns::Dict, "unit", *row.uuid ? row.uuid : ids.next(), *row.guid ? row.guid : ids.next());
        n.add(Ns::Dict, "name", row.name);
        n.addIf(Ns::Dict, "fullName", row.fullName);
        n.addIf(Ns::Dict, "commonUnitGuid", row.common);
        n.add(Ns::Dict, "factor", row.factor);
        store.put(RefKind::Unit, std::move(n));
    }
    for (const char* name :
         {"Реализация в пищу людям", "Переработка на пищевые цели", "Переработка на корм животным",
          "Для собственных нужд", "Кормление животных", "Утилизация"}) {
        XNode n = versioned(Ns::Dict, "purpose", ids.next(), ids.next());
        n.add(Ns::Dict, "name", name);
        store.put(RefKind::Purpose, std::move(n));
    }
    for (const char* name : {"ящур", "бешенство", "сибирская язва", "высокопатогенный грипп птиц",
                             "африканская чума свиней", "бруцеллёз", "туберкулёз"}) {
        XNode n = versioned(Ns::Dict, "disease", ids.next(), ids.next());
        n.add(Ns::Dict, "name", name);
        store.put(RefKind::Disease, std::move(n));
    }
    for (const char* name : {"ГОСТ 32031-2012", "ГОСТ 31659-2012", "ИФА", "ПЦР", "Органолептический метод"}) {
        XNode n = versioned(Ns::Dict, "researchMethod", ids.next(), ids.next());
        n.add(Ns::Dict, "name", name);
        store.put(RefKind::ResearchMethod, std::move(n));
    }
}

struct ProductRow
{
    int type;
    const char* name;
    const char* code;
    std::array<const char*, 3> subProducts;
};

void addProducts(FixtureStore& store, UuidSource& ids)
{
    static constexpr std::array<ProductRow, 14> rows{{
        {1, "Мясо", "0201", {"Говядина охлажденная", "Свинина охлажденная", "Баранина охлажденная"}},
        {1, "Субпродукты пищевые", "0206", {"Печень говяжья", "Сердце свиное", nullptr}},
        {1, "Колбасные изделия", "1601", {"Колбасы варёные", "Колбасы сырокопчёные", nullptr}},
        {2, "Комбикорм", "2309", {"Комбикорм для птицы", "Комбикорм для КРС", nullptr}},
        {2, "Кормовые добавки", "2309", {"Премиксы", nullptr, nullptr}},
        {3, "Крупный рогатый скот", "0102", {"Тёлки племенные", "Бычки на откорм", nullptr}},
        {3, "Птица живая", "0105", {"Цыплята суточные", nullptr, nullptr}},
        {4, "Вакцины", "3002", {"Вакцины против ящура", nullptr, nullptr}},
        {5, "Молоко и молочная продукция", "0401", {"Молоко питьевое", "Сыры", "Творог"}},
        {5, "Яйцо", "0407", {"Яйцо куриное пищевое", nullptr, nullptr}},
        {6, "Кожевенное сырьё", "4101", {"Шкуры КРС", nullptr, nullptr}},
        {7, "Рыба мороженая", "0303", {"Треска мороженая", "Минтай мороженый", "Сельдь мороженая"}},
        {7, "Рыба охлажденная", "0302", {"Лосось охлажденный", nullptr, nullptr}},
        {8, "Мёд", "0409", {"Мёд натуральный", nullptr, nullptr}},
    }};
    for (const ProductRow& row : rows) {
        const std::string productGuid = ids.next();
        XNode n = versioned(Ns::Dict, "product", ids.next(), productGuid);
        n.add(Ns::Dict, "name", row.name);
        n.add(Ns::Dict, "code", row.code);
        n.add(Ns::Dict, "productType", std::to_string(row.type));
        store.put(RefKind::Product, std::move(n));
        int number = 1;
        for (const char* sub : row.subProducts) {
            if (!sub)
                continue;
            XNode s = versioned(Ns::Dict, "subProduct", ids.next(), ids.next());
            s.add(Ns::Dict, "name", sub);
            s.add(Ns::Dict, "code", std::string(row.code) + std::to_string(10 * number++));
            s.add(Ns::Dict, "productGuid", productGuid);
            store.put(RefKind::SubProduct, std::move(s));
        }
    }
}

} // namespace

void buildDefaultFixtures(FixtureStore& store, const FixtureOptions& options)
{
    UuidSource ids(options.seed);
    addCountries(store, ids);
    addPlaces(store, ids, options.bigLocalityStreets);
    addSmallDictionaries(store, ids);
    addProducts(store, ids);
    addEntitiesAndItems(store, ids, options);
    buildDefaultVsds(store, options);
}

} // namespace vetissim
