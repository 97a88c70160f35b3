// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/VsdMapping.h"

#include "platform/Dates.h"
#include "responses/DictionaryKinds.h"
#include "responses/ReferenceLookups.h"
#include "responses/VsdDerivedValues.h"
#include "store/RecordText.h"
#include "store/tables/Vsd.h"

#include <QString>

#include <cstdlib>
#include <string>
#include <utility>

namespace responses {

namespace {

// m_VSD fields that take a list field's value as it is (texts cut to the field).
constexpr std::pair<std::string_view, std::string_view> kCopied[] = {
    {"MVD:ISSUESERIES", "ISSUESERIES"},
    {"MVD:ISSUENUMBER", "ISSUENUMBER"},
    {"MVD:VETDFORM", "VETDFORM"},
    {"MVD:VETDTYPE", "VETDTYPE"},
    {"MVD:VETDSTATUS", "VETDSTATUS"},
    {"MVD:FINALIZED", "FINALIZED"},
    {"MVD:PRODTYPE", "PRODTYPE"},
    {"MVD:PRODUCT", "PRODUCT"},
    {"MVD:SUBPRODUCT", "SUBPRODUCT"},
    {"MVD:PRODITEMGUID", "PRODUCTITEM_GUID"},
    {"MVD:PRODITEMCODE", "PRODUCTITEM_CODE"},
    {"MVD:PRODITEMNAME", "PRODUCTITEM_NAME"},
    {"MVD:PRODITEMGTIN", "PRODUCTITEM_GTIN"},
    {"MVD:ORIGINPRODITEM_GUID", "ORIGINPRODITEM_GUID"},
    {"MVD:ORIGINPRODITEM_GTIN", "ORIGINPRODITEM_GTIN"},
    {"MVD:ORIGINPRODITEM_NAME", "ORIGINPRODITEM_NAME"},
    {"MVD:ORIGINPRODITEM_CODE", "ORIGINPRODITEM_CODE"},
    {"MVD:ORIGINCOUNTRY_GUID", "ORIGINCOUNTRY_GUID"},
    {"MVD:ORIGINCOUNTRY_NAME", "ORIGINCOUNTRY_NAME"},
    {"MVD:PACKGUID", "PACKGUID"},
    {"MVD:PACKGLOBALID", "PACKGLOBALID"},
    {"MVD:PACKQUANTITY", "PACKQUANTITY"},
    {"MVD:PACKNAME", "PACKNAME"},
    {"MVD:PACKVOLUME", "PACKVOLUME"},
    {"MVD:PACKUNITGUID", "PACKUNITGUID"},
    {"MVD:PACKUNITNAME", "PACKUNITNAME"},
    {"MVD:UNITGUID", "UNITGUID"},
    {"MVD:PROYEAR1", "PROYEAR1"},
    {"MVD:PROMONTH1", "PROMONTH1"},
    {"MVD:PRODAY1", "PRODAY1"},
    {"MVD:PROHOUR1", "PROHOUR1"},
    {"MVD:PROYEAR2", "PROYEAR2"},
    {"MVD:PROMONTH2", "PROMONTH2"},
    {"MVD:PRODAY2", "PRODAY2"},
    {"MVD:PROHOUR2", "PROHOUR2"},
    {"MVD:PROINFORMALDATE", "PROINFORMALDATE"},
    {"MVD:EXPYEAR1", "EXPYEAR1"},
    {"MVD:EXPMONTH1", "EXPMONTH1"},
    {"MVD:EXPDAY1", "EXPDAY1"},
    {"MVD:EXPHOUR1", "EXPHOUR1"},
    {"MVD:EXPYEAR2", "EXPYEAR2"},
    {"MVD:EXPMONTH2", "EXPMONTH2"},
    {"MVD:EXPDAY2", "EXPDAY2"},
    {"MVD:EXPHOUR2", "EXPHOUR2"},
    {"MVD:EXPINFORMALDATE", "EXPINFORMALDATE"},
    {"MVD:TRSTORAGETYPE", "TRSTORAGETYPE"},
    {"MVD:PERISHABLE", "PERISHABLE"},
    {"MVD:LOWGRADECARGO", "LOWGRADECARGO"},
    {"MVD:NONFOODSOURCE", "NONFOODSOURCE"},
    {"MVD:CONSIGNORHS", "CONSIGNORHS"},
    {"MVD:CONSIGNORENT", "CONSIGNORENT"},
    {"MVD:CONSIGNEEHS", "CONSIGNEEHS"},
    {"MVD:CONSIGNEEENT", "CONSIGNEEENT"},
    {"MVD:OWNER", "OWNER"},
    {"MVD:BROKER", "BROKER"},
    {"MVD:TRANSPORTTYPE1", "TRANSPORTTYPE1"},
    {"MVD:CONTAINERNUMBER1", "CONTAINERNUMBER1"},
    {"MVD:WAGONNUMBER1", "WAGONNUMBER1"},
    {"MVD:VEHICLENUMBER1", "VEHICLENUMBER1"},
    {"MVD:TRAILERNUMBER1", "TRAILERNUMBER1"},
    {"MVD:SHIPNAME1", "SHIPNAME1"},
    {"MVD:FLIGHTNUMBER1", "FLIGHTNUMBER1"},
    {"MVD:PURPOSE", "PURPOSE"},
    {"MVD:CARGOINSPECTED", "CARGOINSPECTED"},
    {"MVD:CARGOEXPERTIZED", "CARGOEXPERTIZED"},
    {"MVD:PROSPERITY", "LOCATIONPROSPERITY"},
    {"MVD:ANIMALSPENTPERIOD", "ANIMALSPENTPERIOD"},
    {"MVD:MONTHSSPENT", "MONTHSSPENT"},
    {"MVD:QURANTINELOCATION", "QURANTINELOCATION"},
    {"MVD:QURANTINEDURATION", "QURANTINEDURATION"},
};

int number(const ListLayout& layout, const std::byte* entry, std::string_view field)
{
    return std::atoi(listValue(layout, entry, field).c_str());
}

DateParts partsOf(const ListLayout& layout, const std::byte* entry, const char* prefix, char which)
{
    const std::string p(prefix);
    return {number(layout, entry, p + "YEAR" + which), number(layout, entry, p + "MONTH" + which),
            number(layout, entry, p + "DAY" + which)};
}

} // namespace

void mapVsdHeader(const ListLayout& layout, const std::byte* entry, store::VsdRecord& r,
                  ReferenceLookups& lookups, ShelfLifeCounters& counters)
{
    char* record = reinterpret_cast<char*>(&r);
    const auto value = [&](std::string_view field) { return listValue(layout, entry, field); };

    store::setZText(r.APPSTATUS, {});
    store::setText(r.APPID, {});
    store::setZText(r.APPERROR, {});
    r.CONDITION = 0;
    r.MARK = 0;
    for (const auto& [vsdField, listField] : kCopied)
        putTableField(store::vsdTable(), record, vsdField, value(listField));
    store::setZText(r.VOLUME, store::withoutLeadingBlanks(value("VOLUME")));

    r.DATE = platform::dayFromIso(value("ISSUEDATE"));
    r.CODSTATUS = static_cast<std::uint8_t>(statusCode(r.FINALIZED != 0, store::ztextOf(r.VETDSTATUS)));
    const std::string updated = value("LASTUPDATEDATE");
    r.UPDATEDATE = dayOfStamp(updated);
    r.UPDATETIME = timeOfStamp(updated);

    r.PRODATE1 = productionDate1(partsOf(layout, entry, "PRO", '1'));
    r.PRODATE2 = productionDate2(partsOf(layout, entry, "PRO", '2'), r.PRODATE1);
    r.EXPDATE1 = expiryDate1(partsOf(layout, entry, "EXP", '1'));
    r.EXPDATE2 = expiryDate2(partsOf(layout, entry, "EXP", '2'), r.EXPDATE1);
    const ShelfLife life = shelfLife(r.DATE, r.PRODATE1, r.PRODATE2, r.EXPDATE1);
    r.ACTUALSROK = life.actualDays;
    r.RESERVEDAY = life.reserveDays;
    r.RESERVEPROC = life.reservePercent;
    r.MARK = static_cast<std::uint8_t>(life.mark);
    counters.expired += life.mark == ShelfMark::Expired;
    counters.lowReserve += life.mark == ShelfMark::LowReserve;

    // What the VSD names, stored locally for the list and the cards.
    lookups.productItem(LookupMode::None, true, store::textOf(r.PRODITEMGUID));
    lookups.reference(1, LookupMode::None, true, store::textOf(r.ORIGINCOUNTRY_GUID));
    store::setZText(r.UNITNAME, lookups.reference(9, LookupMode::Name, true, store::textOf(r.UNITGUID)));
    const std::string consignor(store::textOf(r.CONSIGNORHS));
    store::setZText(r.CONSIGNORNAME, lookups.businessEntity(LookupMode::Name, true, consignor));
    store::setZText(r.CONSIGNORINN, lookups.businessEntity(LookupMode::Inn, false, consignor));
    store::setZText(r.CONSIGNORPLACE,
                    lookups.enterprise(LookupMode::Name, true, store::textOf(r.CONSIGNORENT), consignor));
    const std::string consignee(store::textOf(r.CONSIGNEEHS));
    store::setZText(r.CONSIGNEENAME, lookups.businessEntity(LookupMode::Name, true, consignee));
    store::setZText(r.CONSIGNEEINN, lookups.businessEntity(LookupMode::Inn, false, consignee));
    store::setZText(r.CONSIGNEEPLACE,
                    lookups.enterprise(LookupMode::Name, true, store::textOf(r.CONSIGNEEENT), consignee));
    lookups.businessEntity(LookupMode::None, true, store::textOf(r.OWNER));
    lookups.businessEntity(LookupMode::None, true, store::textOf(r.BROKER));
}

} // namespace responses
