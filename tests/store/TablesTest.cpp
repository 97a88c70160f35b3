// SPDX-License-Identifier: LicenseRef-Kestrom
#include "store/tables/AllTables.h"
#include "store/tables/Vsd.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace store;

// The layouts are binary record formats: a gap or an overlap would corrupt
// every stored record. (A number field of the wrong width does not compile:
// the record struct and the dictionary come from one list, and the storage
// of a number type exists for its own width only.)
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

TEST(Tables, LookupByNameIsExactFirstThenCaseInsensitive)
{
    EXPECT_EQ(tableByName("m_VSD"), &vsdTable());
    EXPECT_EQ(tableByName("M_VSD"), &vsdTable());
    EXPECT_EQ(tableByName("brwmem"), allTables()[9]);
    EXPECT_EQ(tableByName("m_VSD2"), nullptr);
    EXPECT_EQ(tableByName(""), nullptr);
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
}
