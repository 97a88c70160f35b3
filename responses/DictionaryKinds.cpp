// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/DictionaryKinds.h"

#include "platform/Dates.h"
#include "store/BuiltInRows.h"

#include "responses/FieldValue.h"
#include "store/FieldAccess.h"
#include "store/RecordText.h"
#include "store/tables/Refs.h"
#include <QTime>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace responses {

namespace {

using vetis::RequestCode;

// The Russian Federation sorts first among the countries: its name gets a leading blank.
constexpr std::string_view kRussianFederation = "74a3cbb1-56fa-94f3-ab3f-e8db4940d96b";

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

constexpr DictionaryKind kKinds[] = {
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

} // namespace

const DictionaryKind* dictionaryKind(int kind)
{
    for (const DictionaryKind& k : kKinds)
        if (k.kind == kind)
            return &k;
    return nullptr;
}

std::string listValue(const ListLayout& layout, const std::byte* row, std::string_view field)
{
    const int i = layout.fieldIndex(field);
    return i < 0 ? std::string() : fieldText(row, layout.fields[static_cast<std::size_t>(i)]);
}

void putTableField(const store::TableDef& def, char* record, std::string_view name, std::string_view value)
{
    const store::FieldDef* found = nullptr;
    for (const store::FieldDef& f : def.fields)
        if (f.name == name)
            found = &f;
    if (!found)
        return; // every name the program maps is a field of its table
    const store::FieldDef& f = *found;
    char* at = record + f.offset;
    switch (f.type) {
    case store::FieldType::Text: {
        const std::size_t n = std::min<std::size_t>(f.size, value.size());
        if (n > 0)
            std::memcpy(at, value.data(), n);
        std::memset(at + n, ' ', f.size - n);
        return;
    }
    case store::FieldType::ZText: {
        const std::size_t n = std::min<std::size_t>(f.size - 1u, value.size());
        if (n > 0)
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

void putRefsField(std::string_view name, store::RefsRecord& r, std::string_view value)
{
    putTableField(store::refsTable(), reinterpret_cast<char*>(&r), name, value);
}

std::int32_t dayOfStamp(const std::string& stamp)
{
    return platform::dayFromIso(std::string_view(stamp).substr(0, std::min<std::size_t>(10, stamp.size())));
}

void mapDictionaryRow(const DictionaryKind& k, const ListLayout& layout, const std::byte* row,
                      store::RefsRecord& r)
{
    store::setText(r.UUID, listValue(layout, row, "UUID"));
    r.STATUS = static_cast<std::int32_t>(
        fieldNumber(row, layout.fields[static_cast<std::size_t>(layout.fieldIndex("STATUS"))]));
    r.CDATE = dayOfStamp(listValue(layout, row, "CDATE"));
    r.EDATE = dayOfStamp(listValue(layout, row, "EDATE"));
    std::string name = listValue(layout, row, k.name);
    if (name.empty() && !k.nameElse.empty())
        name = listValue(layout, row, k.nameElse);
    if (k.kind == 1 && listValue(layout, row, "GUID") == kRussianFederation)
        name.insert(name.begin(), ' ');
    store::setText(r.NAME, name);
    for (const Mapping& m : k.fields)
        if (!m.refsField.empty())
            putRefsField(m.refsField, r, listValue(layout, row, m.listField));
}

std::string productTypeParent(const ListLayout& layout, const std::byte* row)
{
    return store::productTypeGuid(
        std::clamp(std::atoi(listValue(layout, row, "PRODUCTTYPE").c_str()), 0, 99));
}

std::int32_t timeOfStamp(const std::string& stamp)
{
    if (stamp.size() < 19)
        return 0;
    return platform::timeNumber(
        QTime::fromString(QString::fromLatin1(stamp.substr(11, 8)), QStringLiteral("HH:mm:ss")));
}

} // namespace responses
