// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/InsideMapping.h"

#include "responses/DictionaryKinds.h"
#include "store/RecordText.h"
#include "store/tables/Inside.h"

#include <array>
#include <string>

namespace responses {

namespace {

// When an entry is kept.
enum class Keep
{
    Always,
    NotEmpty,  // the key field holds a text
    NotZero,   // the key field holds a number other than 0
    WholeGuid, // the key field holds 36 characters
};

struct FieldCopy
{
    std::string_view inside; // "MIN:STR40_01"
    std::string_view list;   // "SERIES"
    bool asDate = false;     // the first ten characters read as yyyy-mm-dd
};

struct InsideKind
{
    int kind;
    Keep keep;
    std::string_view keyField;
    std::array<FieldCopy, 22> fields;
};

// Every row of the table is one contents kind; the field names are those of
// m_Inside and of the kind's response list.
constexpr InsideKind kInsideKinds[] = {
    {1, Keep::NotEmpty, "BATCHID", {{{"MIN:STR120_01", "BATCHID"}}}},
    {2,
     Keep::Always,
     {},
     {{{"MIN:STR40_01", "SERIES"},
       {"MIN:STR40_02", "NUMBER"},
       {"MIN:STR40_03", "DATE"},
       {"MIN:LONG_01", "DATE", true},
       {"MIN:BYTE_01", "TYPE"},
       {"MIN:BYTE_02", "RELTYPE"}}}},
    {3,
     Keep::Always,
     {},
     {{{"MIN:GUID1", "PRODUCER_GUID"},
       {"MIN:GUID2", "PRODUCER_UUID"},
       {"MIN:STR250_01", "PRODUCER_NAME"},
       {"MIN:STR40_01", "PRODUCER_ROLE"}}}},
    {4,
     Keep::NotZero,
     "PACKAGELEVEL",
     {{{"MIN:BYTE_01", "PACKAGELEVEL"},
       {"MIN:GUID1", "PACKINGTYPEGUID"},
       {"MIN:STR40_01", "PACKINGGLOBALID"},
       {"MIN:STR250_01", "PACKAGENAME"},
       {"MIN:STR40_02", "PACKAGEQUANTITY"},
       {"MIN:STR250_02", "PACKAGEMARKS"},
       {"MIN:STR40_03", "PACKAGEMARCLASS"}}}},
    {5,
     Keep::WholeGuid,
     "GUID",
     {{{"MIN:GUID1", "GUID"}, {"MIN:GUID2", "R13_UUID"}, {"MIN:STR250_01", "TEXT"}}}},
    {6,
     Keep::NotEmpty,
     "ID",
     {{{"MIN:STR120_01", "ID"},
       {"MIN:STR40_01", "TYPE"},
       {"MIN:STR40_02", "ACTUALDATETIME"},
       {"MIN:STR250_01", "OPERATORNAME"},
       {"MIN:STR40_03", "REFDOCNUMBER"},
       {"MIN:STR40_04", "REFDOCDATE"},
       {"MIN:BYTE_01", "REFDOCTYPE"},
       {"MIN:STR250_02", "NOTES"},
       {"MIN:STR40_05", "EXPERTISEID"},
       {"MIN:STR250_03", "INDICATORNAME"},
       {"MIN:STR120_02", "DISEASENAME"},
       {"MIN:STR120_03", "METHODNAME"},
       {"MIN:STR40_06", "RESULT"},
       {"MIN:STR250_04", "CONCLUSION"}}}},
    {7,
     Keep::NotEmpty,
     "STATUS",
     {{{"MIN:STR40_04", "STATUS"},
       {"MIN:STR250_01", "PERSONFIO"},
       {"MIN:STR40_01", "PERSONPHONE"},
       {"MIN:STR40_02", "PERSONEMAIL"},
       {"MIN:STR250_02", "ORGANNAME"},
       {"MIN:GUID1", "COUNTRYGUID"},
       {"MIN:STR120_02", "COUNTRYNAME"},
       {"MIN:GUID2", "REGIONGUID"},
       {"MIN:STR120_03", "REGIONNAME"},
       {"MIN:STR250_04", "ADDRESSVIEW"},
       {"MIN:STR120_01", "PERSONPOST"},
       {"MIN:STR250_03", "REASON"},
       {"MIN:STR40_03", "ACTUALDATETIME"}}}},
    {8, Keep::NotZero, "SQNID", {{{"MIN:GUID1", "ROUTEPOINT"},          {"MIN:LONG_01", "SQNID"},
                                  {"MIN:STR250_01", "LOC_NAME"},        {"MIN:GUID3", "LOC_COUNTRY"},
                                  {"MIN:GUID4", "LOC_REGION"},          {"MIN:GUID5", "LOC_DISTRICT"},
                                  {"MIN:GUID6", "LOC_LOCALITY"},        {"MIN:STR40_01", "LOC_SUBLOCALITY"},
                                  {"MIN:STR40_02", "LOC_STREET"},       {"MIN:STR40_03", "LOC_HOUSE"},
                                  {"MIN:STR40_04", "LOC_BUILDING"},     {"MIN:STR40_05", "LOC_ROOM"},
                                  {"MIN:STR250_02", "LOC_ADDRESSVIEW"}, {"MIN:GUID2", "ENTERPRISEGUID"},
                                  {"MIN:BYTE_01", "TRANSSHIPMENT"},     {"MIN:BYTE_02", "TRANSPORTTYPE"},
                                  {"MIN:STR120_01", "CONTAINERNUMBER"}, {"MIN:STR120_02", "WAGONNUMBER"},
                                  {"MIN:STR120_03", "VEHICLENUMBER"},   {"MIN:STR120_04", "TRAILERNUMBER"}}}},
    {9,
     Keep::NotEmpty,
     "TYPE",
     {{{"MIN:STR120_01", "ID"},
       {"MIN:STR40_01", "TYPE"},
       {"MIN:STR40_02", "ACTUALDATETIME"},
       {"MIN:LONG_01", "ACTUALDATETIME", true},
       {"MIN:STR250_01", "NOTES"},
       {"MIN:STR250_02", "DISEASENAME"},
       {"MIN:STR250_03", "MEDICINALDRUGNAME"},
       {"MIN:STR250_04", "MEDICINALDRUGSERIES"},
       {"MIN:STR40_03", "EFFECTIVEBEFOREDATE"},
       {"MIN:LONG_02", "EFFECTIVEBEFOREDATE", true}}}},
};

bool kept(const InsideKind& k, const ListLayout& layout, const std::byte* entry)
{
    const std::string key = k.keyField.empty() ? std::string() : listValue(layout, entry, k.keyField);
    switch (k.keep) {
    case Keep::Always:
        return true;
    case Keep::NotEmpty:
        return !key.empty();
    case Keep::NotZero:
        return !key.empty() && key != "0";
    case Keep::WholeGuid:
        return key.size() == 36;
    }
    return false;
}

void copy(const FieldCopy& f, const ListLayout& layout, const std::byte* entry, store::InsideRecord& record)
{
    const std::string value = listValue(layout, entry, f.list);
    putTableField(store::insideTable(), reinterpret_cast<char*>(&record), f.inside,
                  f.asDate ? std::to_string(dayOfStamp(value)) : value);
}

} // namespace

bool mapInsideEntry(int kind, const ListLayout& layout, const std::byte* entry, store::InsideRecord& record)
{
    for (const InsideKind& k : kInsideKinds) {
        if (k.kind != kind)
            continue;
        if (!kept(k, layout, entry))
            return false;
        for (const FieldCopy& f : k.fields)
            if (!f.inside.empty())
                copy(f, layout, entry, record);
        return true;
    }
    return false;
}

} // namespace responses
