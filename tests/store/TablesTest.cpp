// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/AllTables.h"
#include "store/tables/Place.h"
#include "store/tables/Vetis.h"
#include "store/tables/Vsd.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace store;

namespace {

std::uint16_t widthOf(FieldType t)
{
    switch (t) {
    case FieldType::U8:
        return 1;
    case FieldType::I16:
    case FieldType::U16:
        return 2;
    case FieldType::I32:
        return 4;
    case FieldType::F64:
        return 8;
    case FieldType::Text:
    case FieldType::ZText:
        return 0; // any width
    }
    return 0;
}

std::vector<std::string> componentNames(const TableDef& t, const KeyDef& k)
{
    std::vector<std::string> names;
    for (std::uint8_t c : k.componentSpan())
        names.emplace_back(t.fields[c].name);
    return names;
}

const TableDef& table(std::string_view name)
{
    const TableDef* t = tableByName(name);
    EXPECT_NE(t, nullptr) << name;
    return *t;
}

} // namespace

// The layouts are binary record formats: a gap, an overlap or a field with the
// wrong width would corrupt every stored record.
TEST(Tables, EveryLayoutIsContiguousAndWellFormed)
{
    ASSERT_EQ(allTables().size(), 11u);
    for (const TableDef* t : allTables()) {
        SCOPED_TRACE(std::string(t->name));
        ASSERT_FALSE(t->fields.empty());
        const std::string prefix = std::string(t->prefix) + ":";
        std::uint32_t offset = 0;
        std::set<std::string_view> names;
        for (const FieldDef& f : t->fields) {
            EXPECT_EQ(f.offset, offset) << f.name;
            EXPECT_TRUE(f.name.starts_with(prefix)) << f.name;
            EXPECT_GT(f.name.size(), prefix.size()) << f.name;
            EXPECT_TRUE(names.insert(f.name).second) << "duplicate " << f.name;
            if (widthOf(f.type) != 0)
                EXPECT_EQ(f.size, widthOf(f.type)) << f.name;
            else
                EXPECT_GT(f.size, 0) << f.name;
            offset += f.size;
        }
        EXPECT_EQ(offset, t->recordLength);

        std::set<std::string_view> keyNames;
        int primaries = 0;
        for (const KeyDef& k : t->keys) {
            EXPECT_TRUE(k.name.starts_with(prefix)) << k.name;
            EXPECT_TRUE(keyNames.insert(k.name).second) << "duplicate " << k.name;
            EXPECT_FALSE(k.label.empty()) << k.name;
            ASSERT_GE(k.componentCount, 1) << k.name;
            ASSERT_LE(k.componentCount, kMaxKeyComponents) << k.name;
            for (std::uint8_t c : k.componentSpan())
                EXPECT_LT(c, t->fields.size()) << k.name;
            if (k.primary) {
                ++primaries;
                EXPECT_TRUE(k.unique) << k.name;
                EXPECT_EQ(t->primaryKey(), &k);
            }
        }
        EXPECT_LE(primaries, 1);
    }
}

TEST(Tables, CatalogueNamesFilesAndSizes)
{
    struct Expected
    {
        std::string_view name, prefix, file;
        Storage storage;
        std::size_t fields;
        std::uint32_t length;
    };
    const Expected expected[] = {
        {"m_VSD", "MVD", "Base/mv08.dat", Storage::File, 152, 6945},
        {"m_Inside", "MIN", "Base/mv04.dat", Storage::File, 47, 2324},
        {"m_Refs", "MRE", "Base/mv07.dat", Storage::File, 29, 1394},
        {"m_Product", "PRD", "Base/mv06.dat", Storage::File, 60, 2873},
        {"m_Entity", "MEN", "Base/mv02.dat", Storage::File, 54, 2845},
        {"m_Enterprise", "MEP", "Base/mv03.dat", Storage::File, 49, 2154},
        {"m_Place", "MPL", "Base/mv05.dat", Storage::File, 16, 312},
        {"m_Vetis", "MVS", "Base/mv01.dat", Storage::EncryptedFile, 43, 2854},
        {"BrwSet", "BRW", "lf.dat", Storage::ListFormat, 16, 6237},
        {"BrwMem", "BXM", "BrwFMem", Storage::SharedMemory, 14, 8231},
        {"BFormat", "BFO", "BFORMAT", Storage::ThreadMemory, 18, 642},
    };
    ASSERT_EQ(std::size(expected), allTables().size());
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const TableDef& t = *allTables()[i];
        const Expected& e = expected[i];
        SCOPED_TRACE(std::string(e.name));
        EXPECT_EQ(t.name, e.name);
        EXPECT_EQ(t.prefix, e.prefix);
        EXPECT_EQ(t.fileName, e.file);
        EXPECT_EQ(t.storage, e.storage);
        EXPECT_EQ(t.fields.size(), e.fields);
        EXPECT_EQ(t.recordLength, e.length);
    }
    EXPECT_EQ(vetisTable().recordLength, sizeof(VetisRecord));
    EXPECT_EQ(kVetisOwnerPassword.size(), 15u);
}

TEST(Tables, LookupByNameIsExactFirstThenCaseInsensitive)
{
    EXPECT_EQ(tableByName("m_VSD"), &vsdTable());
    EXPECT_EQ(tableByName("M_VSD"), &vsdTable());
    EXPECT_EQ(tableByName("brwmem"), allTables()[9]);
    EXPECT_EQ(tableByName("m_VSD2"), nullptr);
    EXPECT_EQ(tableByName(""), nullptr);
}

// Fields whose position is easy to get wrong: expanded abbreviations, the
// reserve blocks and the fields placed between them.
TEST(Tables, SpotChecksOfFieldPositionsTypesAndWidths)
{
    struct Spot
    {
        std::string_view table, field;
        int position; // 1-based, as the layouts number them
        FieldType type;
        std::uint16_t width;
    };
    const Spot spots[] = {
        {"m_VSD", "MVD:UUID", 1, FieldType::Text, 36},
        {"m_VSD", "MVD:CONSIGNORNAME", 16, FieldType::ZText, 251},
        {"m_VSD", "MVD:FLIGHTNUMBER1", 31, FieldType::ZText, 41},
        {"m_VSD", "MVD:PACKGLOBALID", 39, FieldType::ZText, 4},
        {"m_VSD", "MVD:KOLVO", 46, FieldType::F64, 8},
        {"m_VSD", "MVD:PROYEAR1", 50, FieldType::U16, 2},
        {"m_VSD", "MVD:PROHOUR2", 58, FieldType::U8, 1},
        {"m_VSD", "MVD:EXPYEAR2", 66, FieldType::U16, 2},
        {"m_VSD", "MVD:ORIGINPRODITEM_NAME", 78, FieldType::ZText, 256},
        {"m_VSD", "MVD:QURANTINEDURATION", 89, FieldType::I32, 4},
        {"m_VSD", "MVD:FLIGHTNUMBER2", 102, FieldType::ZText, 41},
        {"m_VSD", "MVD:APPID", 106, FieldType::Text, 36},
        {"m_VSD", "MVD:RESERVEPROC", 110, FieldType::F64, 8},
        {"m_VSD", "MVD:GUID6", 116, FieldType::Text, 36},
        {"m_VSD", "MVD:STR250_04", 130, FieldType::ZText, 251},
        {"m_VSD", "MVD:REAL_06", 152, FieldType::F64, 8},
        {"m_Inside", "MIN:VID", 2, FieldType::I32, 4},
        {"m_Inside", "MIN:STR120_06", 21, FieldType::ZText, 121},
        {"m_Inside", "MIN:REAL_01", 42, FieldType::F64, 8},
        {"m_Refs", "MRE:PARENT", 4, FieldType::ZText, 37},
        {"m_Refs", "MRE:NAME", 8, FieldType::Text, 180},
        {"m_Refs", "MRE:BYTE_01", 20, FieldType::U8, 1},
        {"m_Product", "PRD:PACKAGINGID", 17, FieldType::ZText, 11},
        {"m_Product", "PRD:UNITNAME", 22, FieldType::ZText, 41},
        {"m_Product", "PRD:GUID1", 23, FieldType::Text, 36},
        {"m_Product", "PRD:REAL_04", 60, FieldType::F64, 8},
        {"m_Entity", "MEN:HOME", 3, FieldType::U8, 1},
        {"m_Entity", "MEN:LOCALITY", 19, FieldType::Text, 36},
        {"m_Entity", "MEN:STR250_02", 36, FieldType::ZText, 251},
        {"m_Enterprise", "MEP:ADDRESS", 5, FieldType::Text, 250},
        {"m_Enterprise", "MEP:NUMBER3", 14, FieldType::ZText, 41},
        {"m_Enterprise", "MEP:STR40_04", 25, FieldType::ZText, 41},
        {"m_Vetis", "MVS:APIKEY", 5, FieldType::ZText, 256},
        {"m_Vetis", "MVS:WINSFONT", 26, FieldType::U8, 1},
        {"m_Vetis", "MVS:PERIOD", 27, FieldType::U8, 1},
        {"m_Vetis", "MVS:BYTE_03", 28, FieldType::U8, 1},
        {"BrwSet", "BRW:CURFORMAT", 3, FieldType::ZText, 3075},
        {"BrwSet", "BRW:ZS1", 16, FieldType::ZText, 41},
        {"BrwMem", "BXM:IDBROWSE", 1, FieldType::Text, 20},
        {"BrwMem", "BXM:ZL2", 14, FieldType::I32, 4},
        {"BFormat", "BFO:COLFORMAT", 10, FieldType::ZText, 256},
        {"BFormat", "BFO:HIDEWIDTH", 18, FieldType::I32, 4},
    };
    for (const Spot& s : spots) {
        SCOPED_TRACE(std::string(s.field));
        const TableDef& t = table(s.table);
        const int i = t.fieldIndex(s.field);
        ASSERT_EQ(i, s.position - 1);
        EXPECT_EQ(t.fields[i].type, s.type);
        EXPECT_EQ(t.fields[i].size, s.width);
    }
    // The struct members are the dictionary's fields under their short names.
    EXPECT_EQ(offsetof(VsdRecord, ORIGINPRODITEM_GUID), vsdTable().fields[75].offset);
    EXPECT_EQ(offsetof(VsdRecord, STR40_01), vsdTable().fields[116].offset);
}

// Every key of every table, components in order: the list windows depend on
// these orders (e.g. the VSDs of one enterprise as one range).
TEST(Tables, KeysHaveTheirComponentsFlagsAndLabels)
{
    struct ExpectedKey
    {
        std::string_view table, key, label;
        bool unique, primary;
        std::vector<std::string> components;
    };
    const ExpectedKey keys[] = {
        {"m_VSD", "MVD:BYUUID", "По UUID", true, true, {"MVD:UUID"}},
        {"m_VSD",
         "MVD:BYDATE2",
         "По дате - входящие ВСД",
         true,
         false,
         {"MVD:CONSIGNEEHS", "MVD:CONSIGNEEENT", "MVD:DATE", "MVD:UUID"}},
        {"m_VSD",
         "MVD:BYSTATUS2",
         "По статусу - входящие ВСД",
         true,
         false,
         {"MVD:CONSIGNEEHS", "MVD:CONSIGNEEENT", "MVD:CODSTATUS", "MVD:DATE", "MVD:UUID"}},
        {"m_VSD",
         "MVD:BYCONDITION2",
         "По состоянию - входящие ВСД",
         true,
         false,
         {"MVD:CONSIGNEEHS", "MVD:CONSIGNEEENT", "MVD:CONDITION", "MVD:DATE", "MVD:UUID"}},
        {"m_Inside", "MIN:BYUUID", "По UUID записи", true, true, {"MIN:UUID", "MIN:VID", "MIN:NUMBER"}},
        {"m_Refs", "MRE:BYGUID", "По GUID коду", true, true, {"MRE:GUID"}},
        {"m_Refs",
         "MRE:BYNAME",
         "По наименованию",
         true,
         false,
         {"MRE:VID", "MRE:PARENT", "MRE:NAME", "MRE:GUID"}},
        {"m_Refs",
         "MRE:BYMARK",
         "По отметке",
         true,
         false,
         {"MRE:VID", "MRE:PARENT", "MRE:MARK", "MRE:NAME", "MRE:GUID"}},
        {"m_Product", "PRD:BYGUID", "По GUID коду", true, true, {"PRD:GUID"}},
        {"m_Entity", "MEN:BYGUID", "mEn:ByGUID", true, true, {"MEN:GUID"}},
        {"m_Entity", "MEN:BYHOME", "По виду ХС", false, false, {"MEN:HOME"}},
        {"m_Enterprise", "MEP:BYGUID", "По GUID коду", true, true, {"MEP:GUID"}},
        {"m_Place", "MPL:BYENTITY", "По ХС", true, true, {"MPL:ENTITY", "MPL:ENTERPRISE"}},
        {"m_Place", "MPL:BYENTERPRISE", "По площадке", true, false, {"MPL:ENTERPRISE", "MPL:ENTITY"}},
        {"m_Vetis", "MVS:BYGUID", "mVs:ByGUID", true, true, {"MVS:GUID"}},
        {"BrwSet", "BRW:BYID", "По идентификатору списка", true, true, {"BRW:IDBROWSE"}},
        {"BrwMem", "BXM:BYID", "По идентификатору списка", true, false, {"BXM:IDBROWSE"}},
        {"BFormat", "BFO:BYNUMBER", "По номеру", false, false, {"BFO:COLNUMBER"}},
        {"BFormat", "BFO:BYCOUNT", "BFO:ByCount", false, false, {"BFO:COUNT"}},
    };
    std::size_t keyCount = 0;
    for (const TableDef* t : allTables())
        keyCount += t->keys.size();
    EXPECT_EQ(keyCount, std::size(keys));

    for (const ExpectedKey& e : keys) {
        SCOPED_TRACE(std::string(e.key));
        const TableDef& t = table(e.table);
        const KeyDef* k = t.key(e.key);
        ASSERT_NE(k, nullptr);
        EXPECT_EQ(k->label, e.label);
        EXPECT_EQ(k->unique, e.unique);
        EXPECT_EQ(k->primary, e.primary);
        EXPECT_EQ(componentNames(t, *k), e.components);
    }
}

// The cascades are driven by these records alone, so each must name real
// fields and a child key that starts with the child's linking field.
TEST(Tables, RelationsLinkExistingFieldsThroughTheChildKey)
{
    const auto relations = allRelations();
    ASSERT_EQ(relations.size(), 3u);
    for (const RelationDef& r : relations) {
        SCOPED_TRACE(std::string(r.parent->name) + " -> " + std::string(r.child->name));
        const int parentField = r.parent->fieldIndex(r.linkParentField);
        const int childField = r.child->fieldIndex(r.linkChildField);
        ASSERT_GE(parentField, 0);
        ASSERT_GE(childField, 0);
        EXPECT_EQ(r.parent->fields[parentField].size, r.child->fields[childField].size);
        ASSERT_NE(r.childKey, nullptr);
        EXPECT_TRUE(r.childKey >= r.child->keys.data() &&
                    r.childKey < r.child->keys.data() + r.child->keys.size());
        EXPECT_EQ(r.childKey->components[0], childField);
    }

    using enum RelationAction;
    EXPECT_EQ(relations[0].parent, &table("m_Entity"));
    EXPECT_EQ(relations[0].child, &vetisTable());
    EXPECT_EQ(relations[0].childKey->name, "MVS:BYGUID");
    EXPECT_EQ(relations[0].onUpdate, None);
    EXPECT_EQ(relations[0].onDelete, Cascade);

    EXPECT_EQ(relations[1].parent, &table("m_Entity"));
    EXPECT_EQ(relations[1].child, &placeTable());
    EXPECT_EQ(relations[1].childKey->name, "MPL:BYENTITY");
    EXPECT_EQ(relations[1].onUpdate, Cascade);
    EXPECT_EQ(relations[1].onDelete, Cascade);

    EXPECT_EQ(relations[2].parent, &table("m_Enterprise"));
    EXPECT_EQ(relations[2].child, &placeTable());
    EXPECT_EQ(relations[2].childKey->name, "MPL:BYENTERPRISE");
    EXPECT_EQ(relations[2].onUpdate, None);
    EXPECT_EQ(relations[2].onDelete, Cascade);
}
