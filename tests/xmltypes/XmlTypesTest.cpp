// SPDX-License-Identifier: LicenseRef-Kestrom
// The type descriptions: tables with memos and keys, a view of two related
// tables and its joins, structures built field by field, response lists, and
// what an object that is bound to nothing answers.
#include "xmltypes/XmlTypes.h"

#include "responses/ListCatalogue.h"
#include "store/tables/AllTables.h"
#include "store/tables/Entity.h"
#include "store/tables/Place.h"
#include "store/tables/Refs.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using namespace xmltypes;

namespace {

struct Step
{
    std::string label;
    int type;
    int size;
};

std::vector<Step> walk(XMLOBJECTINFO& info, std::uint8_t mode)
{
    std::vector<Step> steps;
    EXPECT_EQ(info.STARTFIELDSITERATE(mode), kOk);
    int code = kOk;
    while ((code = info.GETNEXTFIELD()) == kOk) {
        Step s{std::string(info.GETFIELDLABEL()), 0, 0};
        int places = -1;
        EXPECT_EQ(info.GETFIELDTYPE(s.type, s.size, places), kOk);
        EXPECT_EQ(places, 0);
        steps.push_back(s);
    }
    EXPECT_EQ(code, kNoMoreFields);
    return steps;
}

const std::array<MemoDef, 3> kMemos{
    MemoDef{"NOTE", 1000, false, 4},
    MemoDef{"PICTURE", 0, true, 8},
    MemoDef{"REMARK", 200, false, 0},
};

TEST(XmlFileInfoTest, IteratesRecordFieldsThenMemosAsTheModeSays)
{
    const store::TableDef& refs = store::refsTable();
    XMLFILEINFO info;
    ASSERT_EQ(info.INIT(refs, kMemos), kOk);

    const std::vector<Step> all = walk(info, kModeFields | kModeMemos);
    ASSERT_EQ(all.size(), refs.fields.size() + kMemos.size());
    int bytes = 0;
    for (std::size_t i = 0; i < refs.fields.size(); ++i) {
        EXPECT_EQ(all[i].label, refs.fields[i].name);
        EXPECT_EQ(all[i].type, typeCodeOf(refs.fields[i].type));
        bytes += all[i].size;
    }
    EXPECT_EQ(bytes, static_cast<int>(refs.recordLength));
    const Step& note = all[refs.fields.size()];
    const Step& picture = all[refs.fields.size() + 1];
    EXPECT_EQ(note.label, "NOTE");
    EXPECT_EQ(note.type, kTypeMemo);
    EXPECT_EQ(note.size, 1000);
    EXPECT_EQ(picture.type, kTypeMemo);
    EXPECT_EQ(picture.size, -1); // a blob

    // Memos only: their numbers, counting blobs and not.
    ASSERT_EQ(info.STARTFIELDSITERATE(kModeMemos), kOk);
    std::vector<std::array<int, 3>> infos;
    while (info.GETNEXTFIELD() == kOk) {
        std::array<int, 3> v{};
        ASSERT_EQ(info.GETFIELDINFO(v[0], v[1], v[2]), kOk);
        infos.push_back(v);
    }
    EXPECT_EQ(infos, (std::vector<std::array<int, 3>>{{1, 1, 4}, {2, 1, 8}, {3, 2, 0}}));

    // Record fields only: no memo, and a record field has nothing more to say.
    EXPECT_EQ(walk(info, kModeFields).size(), refs.fields.size());
    ASSERT_EQ(info.STARTFIELDSITERATE(kModeFields), kOk);
    ASSERT_EQ(info.GETNEXTFIELD(), kOk);
    int a = 0, b = 0, c = 0;
    EXPECT_EQ(info.GETFIELDINFO(a, b, c), kFailure);
    EXPECT_EQ(info.currentField()->offset, refs.fields[0].offset);

    // Neither bit: nothing at all; before the first step nothing is current.
    EXPECT_TRUE(walk(info, 0).empty());
    int t = 0, s = 0, p = 0;
    ASSERT_EQ(info.STARTFIELDSITERATE(kModeFields), kOk);
    EXPECT_EQ(info.GETFIELDTYPE(t, s, p), kFailure);
    EXPECT_EQ(info.GETFIELDLABEL(), "");
}

TEST(XmlFileInfoTest, ReportsAndTakesKeysNameAndDriver)
{
    const store::TableDef& place = store::placeTable();
    XMLFILEINFO info;
    ASSERT_EQ(info.INIT(place), kOk);
    ASSERT_EQ(info.GETKEYSCOUNT(), static_cast<int>(place.keys.size()));
    std::string name, label;
    std::vector<int> components;
    std::uint32_t attributes = 0;
    for (std::size_t k = 0; k < place.keys.size(); ++k) {
        ASSERT_EQ(info.GETKEY(static_cast<int>(k + 1), name, label, components, attributes), kOk);
        EXPECT_EQ(name, place.keys[k].name);
        EXPECT_EQ(label, place.keys[k].label);
        ASSERT_EQ(components.size(), place.keys[k].componentCount);
        for (std::size_t i = 0; i < components.size(); ++i)
            EXPECT_EQ(place.fields[static_cast<std::size_t>(components[i] - 1)].name,
                      place.fields[place.keys[k].components[i]].name);
        EXPECT_EQ((attributes & kKeyUnique) != 0, place.keys[k].unique);
    }
    EXPECT_EQ(info.GETKEY(0, name, label, components, attributes), kNoKey);
    EXPECT_EQ(info.GETKEY(info.GETKEYSCOUNT() + 1, name, label, components, attributes), kNoKey);

    const std::array<int, 2> byMark{3, 1};
    EXPECT_EQ(info.ADDKEY("MPL:BYMARK", "По отметке", byMark, 0), kOk);
    ASSERT_EQ(info.GETKEY(info.GETKEYSCOUNT(), name, label, components, attributes), kOk);
    EXPECT_EQ(name, "MPL:BYMARK");
    EXPECT_EQ(components, (std::vector<int>{3, 1}));
    const std::array<int, 1> outside{static_cast<int>(place.fields.size()) + 1};
    EXPECT_EQ(info.ADDKEY("MPL:BAD", "", outside, 0), kFailure);
    EXPECT_EQ(info.ADDKEY("MPL:EMPTY", "", {}, 0), kFailure);

    EXPECT_EQ(info.name(), "m_Place");
    EXPECT_EQ(info.SETNAME("Place2"), kOk);
    EXPECT_EQ(info.name(), "Place2");
    EXPECT_EQ(info.SETDRIVER("SQLite", "/journal=delete"), kOk);
    EXPECT_EQ(info.driverOptions(), "/journal=delete");
}

TEST(XmlViewInfoTest, WalksTheProjectedFieldsOfTwoRelatedTables)
{
    const store::TableDef& entity = store::entityTable();
    const store::TableDef& place = store::placeTable();
    const store::RelationDef* link = nullptr;
    for (const store::RelationDef& r : store::allRelations())
        if (r.parent == &entity && r.child == &place)
            link = &r;
    ASSERT_NE(link, nullptr);

    View view;
    view.name = "EntityPlaces";
    view.tables.push_back(ViewTable{&entity, {}, 0, nullptr, {1, 4}});
    // Out of order and a memo in between: each is found again.
    view.tables.push_back(ViewTable{&place, kMemos, 1, link, {2, -3, 1, 3}});

    XMLVIEWINFO info;
    ASSERT_EQ(info.INIT(view), kOk);
    ASSERT_EQ(info.STARTFIELDSITERATE(kModeFields), kOk);
    std::vector<std::pair<std::string, int>> seen;
    while (info.GETNEXTFIELD() == kOk) {
        int type = 0, size = 0, places = 0;
        ASSERT_EQ(info.GETFIELDTYPE(type, size, places), kOk);
        seen.emplace_back(std::string(info.GETFIELDLABEL()), info.tableNumber());
        if (type == kTypeMemo) {
            int a = 0, b = 0, c = 0;
            ASSERT_EQ(info.GETFIELDINFO(a, b, c), kOk);
            EXPECT_EQ(a, 3);
            EXPECT_EQ(b, 2);
            EXPECT_EQ(size, 200);
        }
    }
    const std::vector<std::pair<std::string, int>> expected{
        {std::string(entity.fields[0].name), 0}, {std::string(entity.fields[3].name), 0},
        {std::string(place.fields[1].name), 1},  {"REMARK", 1},
        {std::string(place.fields[0].name), 1},  {std::string(place.fields[2].name), 1},
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(info.GETNEXTFIELD(), kNoMoreFields);

    // A view describes; it cannot be built.
    EXPECT_EQ(info.ADDFIELD("X", kTypeI32, 4, 0), kNotPossible);
    EXPECT_EQ(info.BUILD(), kNotPossible);

    XMLJOININFO joins;
    ASSERT_EQ(joins.LOADINFO(view), kOk);
    ASSERT_EQ(joins.STARTITERATE(), kOk);
    ASSERT_TRUE(joins.GETNEXTJOIN());
    EXPECT_EQ(joins.GETFILE(), &entity);
    EXPECT_EQ(joins.GETCHILDS(), 1);
    EXPECT_EQ(joins.GETFIELDS(), 0); // it projects fields of its own
    ASSERT_EQ(joins.STARTFIELDSITERATE(), kOk);
    EXPECT_EQ(joins.GETNEXTFIELD(), 1);
    EXPECT_EQ(joins.GETNEXTFIELD(), 4);
    EXPECT_EQ(joins.GETNEXTFIELD(), 0);
    ASSERT_TRUE(joins.GETNEXTJOIN());
    EXPECT_EQ(joins.GETFILE(), &place);
    EXPECT_EQ(joins.GETCHILDS(), 0);
    ASSERT_EQ(joins.STARTFIELDSITERATE(), kOk);
    EXPECT_EQ(joins.GETNEXTFIELD(), 2);
    EXPECT_EQ(joins.GETNEXTFIELD(), -3);
    EXPECT_FALSE(joins.GETNEXTJOIN());

    // Every field of a table that projects none; a field past the table is refused.
    View whole;
    whole.tables.push_back(ViewTable{&place, {}, 0, nullptr, {}});
    ASSERT_EQ(info.INIT(whole), kOk);
    EXPECT_EQ(walk(info, kModeFields).size(), place.fields.size());
    ASSERT_EQ(joins.LOADINFO(whole), kOk);
    ASSERT_TRUE(joins.GETNEXTJOIN());
    EXPECT_EQ(joins.GETFIELDS(), static_cast<int>(place.fields.size()));
    View bad;
    bad.tables.push_back(ViewTable{&place, {}, 0, nullptr, {static_cast<int>(place.fields.size()) + 1}});
    EXPECT_EQ(info.INIT(bad), kFailure);
    bad.tables = {ViewTable{&place, {}, 0, nullptr, {-1}}}; // no memos
    EXPECT_EQ(info.INIT(bad), kFailure);
    bad.tables = {ViewTable{&place, {}, 0, nullptr, {}}, ViewTable{&entity, {}, 2, link, {}}};
    EXPECT_EQ(info.INIT(bad), kFailure); // a join under itself
}

TEST(XmlStructureTest, BuildsAStructureFieldByField)
{
    XMLGROUPINFO group;
    EXPECT_EQ(group.BUILD(), kNotBound); // nothing added
    ASSERT_EQ(group.ADDFIELD("ID", kTypeI32, 4, 0), kOk);
    ASSERT_EQ(group.ADDFIELD("NAME", kTypeText, 40, 0), kOk);
    ASSERT_EQ(group.ADDFIELD("CODE", kTypeZText, 11, 0), kOk);
    ASSERT_EQ(group.ADDFIELD("SUM", kTypeDecimal, 9, 2), kOk); // 9 digits: 5 bytes, reported as 8
    ASSERT_EQ(group.ADDFIELD("MARK", kTypeU8, 0, 0), kOk);     // the natural size
    EXPECT_EQ(group.ADDFIELD("BAD", kTypeI16, 4, 0), kFailure);
    EXPECT_EQ(group.ADDFIELD("NOTE", kTypeMemo, 100, 0), kFailure);
    EXPECT_EQ(group.ADDFIELD("X", 99, 1, 0), kFailure);
    EXPECT_EQ(group.ADDFIELD("EMPTY", kTypeText, 0, 0), kFailure);
    ASSERT_EQ(group.BUILD(), kOk);
    ASSERT_NE(group.structure(), nullptr);
    EXPECT_EQ(group.structure()->length, 4u + 40u + 11u + 5u + 1u);

    ASSERT_EQ(group.STARTFIELDSITERATE(kModeFields), kOk);
    std::vector<std::array<int, 4>> got;
    while (group.GETNEXTFIELD() == kOk) {
        std::array<int, 4> v{};
        ASSERT_EQ(group.GETFIELDTYPE(v[0], v[1], v[2]), kOk);
        v[3] = static_cast<int>(group.currentField()->offset);
        got.push_back(v);
    }
    EXPECT_EQ(got, (std::vector<std::array<int, 4>>{{kTypeI32, 4, 0, 0},
                                                    {kTypeText, 40, 0, 4},
                                                    {kTypeZText, 11, 0, 44},
                                                    {kTypeDecimal, 8, 2, 55},
                                                    {kTypeU8, 1, 0, 60}}));
    // After BUILD a new structure starts again from nothing.
    EXPECT_EQ(group.BUILD(), kNotBound);
}

TEST(XmlQueueInfoTest, DescribesEveryResponseList)
{
    for (const responses::ListKind& kind : responses::listKinds()) {
        XMLQUEUEINFO info;
        ASSERT_EQ(info.INIT(*kind.main), kOk);
        const std::vector<Step> steps = walk(info, kModeFields);
        ASSERT_EQ(steps.size(), kind.main->fields.size()) << kind.name;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            EXPECT_EQ(steps[i].label, kind.main->fields[i].name);
            EXPECT_EQ(storeTypeOf(steps[i].type), kind.main->fields[i].type);
        }
        info.reset();
        EXPECT_EQ(info.fieldNumber(), 0);
    }
}

TEST(XmlObjectInfoTest, AnUnboundObjectAnswersNotBoundAndChangesNothing)
{
    XMLFILEINFO file;
    int t = 0, s = 0, p = 0;
    EXPECT_EQ(file.STARTFIELDSITERATE(kModeFields), kNotBound);
    EXPECT_EQ(file.GETNEXTFIELD(), kNotBound);
    EXPECT_EQ(file.GETFIELDTYPE(t, s, p), kNotBound);
    EXPECT_EQ(file.GETFIELDINFO(t, s, p), kNotBound);
    EXPECT_EQ(file.GETFIELDLABEL(), "");
    EXPECT_EQ(file.GETKEYSCOUNT(), -1);
    std::string name, label;
    std::vector<int> components;
    std::uint32_t attributes = 0;
    EXPECT_EQ(file.GETKEY(1, name, label, components, attributes), kNotBound);
    const std::array<int, 1> one{1};
    EXPECT_EQ(file.ADDKEY("K", "", one, 0), kNotBound);
    EXPECT_EQ(file.SETNAME("x"), kNotBound);
    EXPECT_EQ(file.SETDRIVER("SQLite"), kNotBound);
    EXPECT_EQ(file.BUILD(), kNotBound);
    EXPECT_EQ(t + s + p, 0);

    XMLVIEWINFO view;
    EXPECT_EQ(view.STARTFIELDSITERATE(kModeFields), kNotBound);
    EXPECT_EQ(view.GETNEXTFIELD(), kNotBound);
    EXPECT_EQ(view.GETFIELDTYPE(t, s, p), kNotBound);
    EXPECT_EQ(view.GETFIELDLABEL(), "");

    XMLQUEUEINFO queue;
    EXPECT_EQ(queue.GETNEXTFIELD(), kNotBound);
    XMLJOININFO joins;
    EXPECT_EQ(joins.STARTITERATE(), kNotBound);
    EXPECT_FALSE(joins.GETNEXTJOIN());
    EXPECT_EQ(joins.GETFILE(), nullptr);
    EXPECT_EQ(joins.GETNEXTFIELD(), 0);
}

} // namespace
