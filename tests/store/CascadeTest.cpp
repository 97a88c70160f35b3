// SPDX-License-Identifier: LicenseRef-Kestrom
// Relations: deleting or re-keying a parent carries its children along, all
// or nothing.
#include "support/TestSupport.h"

#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/Transaction.h"
#include "store/tables/Enterprise.h"
#include "store/tables/Entity.h"
#include "store/tables/Place.h"
#include "store/tables/Vetis.h"

#include <QDir>
#include <gtest/gtest.h>

#include <set>

using namespace store;

namespace {

using Links = std::set<std::pair<std::string, std::string>>;

class CascadeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(m_folder.path() + QStringLiteral("Base")));
        ASSERT_EQ(entity.open(), kOk);
        ASSERT_EQ(enterprise.open(), kOk);
        ASSERT_EQ(place.open(), kOk);
        ASSERT_EQ(vetis.open(), kOk);
        Transaction t(session, {&entity, &enterprise, &place, &vetis});
        ASSERT_EQ(t.start(), kOk);
        for (const char* e : {"E1", "E2"}) {
            entity.clear();
            setText(entity.rec().GUID, e);
            ASSERT_EQ(entity.add(), kOk);
            vetis.clear();
            setText(vetis.rec().GUID, e);
            setZText(vetis.rec().LOGIN, std::string("login-") + e);
            ASSERT_EQ(vetis.add(), kOk);
        }
        for (const char* p : {"P1", "P2", "P3"}) {
            enterprise.clear();
            setText(enterprise.rec().GUID, p);
            ASSERT_EQ(enterprise.add(), kOk);
        }
        for (auto [e, p] : {std::pair{"E1", "P1"}, {"E1", "P2"}, {"E2", "P2"}, {"E2", "P3"}}) {
            place.clear();
            setText(place.rec().ENTITY, e);
            setText(place.rec().ENTERPRISE, p);
            ASSERT_EQ(place.add(), kOk);
        }
        ASSERT_EQ(t.commit(), kOk);
    }

    Links links()
    {
        Links out;
        EXPECT_EQ(place.set("MPL:BYENTITY", 0), kOk);
        int code = kOk;
        while ((code = place.next()) == kOk)
            out.emplace(std::string(textOf(place.rec().ENTITY)), std::string(textOf(place.rec().ENTERPRISE)));
        EXPECT_EQ(code, kRecordNotFound);
        return out;
    }
    bool hasSettings(const char* guid)
    {
        vetis.clear();
        setText(vetis.rec().GUID, guid);
        return vetis.fetch("MVS:BYGUID") == kOk;
    }
    std::int64_t countOf(Table& t)
    {
        std::int64_t n = -1;
        EXPECT_EQ(t.count(n), kOk);
        return n;
    }
    int findEntity(const char* guid)
    {
        entity.clear();
        setText(entity.rec().GUID, guid);
        return entity.fetch("MEN:BYGUID");
    }

    testsupport::TempFolder m_folder;
    Session session{m_folder.path()};
    TypedTable<EntityRecord> entity{session, entityTable()};
    TypedTable<EnterpriseRecord> enterprise{session, enterpriseTable()};
    TypedTable<PlaceRecord> place{session, placeTable()};
    TypedTable<VetisRecord> vetis{session, vetisTable()};
};

TEST_F(CascadeTest, DeletingAnEntityRemovesItsSettingsAndLinksButNotTheEnterprises)
{
    ASSERT_EQ(findEntity("E1"), kOk);
    ASSERT_EQ(entity.deleteRecord(), kOk);
    EXPECT_EQ(findEntity("E1"), kRecordNotFound);
    EXPECT_FALSE(hasSettings("E1"));
    EXPECT_TRUE(hasSettings("E2"));
    EXPECT_EQ(links(), (Links{{"E2", "P2"}, {"E2", "P3"}}));
    EXPECT_EQ(countOf(enterprise), 3);
}

TEST_F(CascadeTest, ChangedEntityGuidCarriesItsLinks)
{
    ASSERT_EQ(findEntity("E1"), kOk);
    setText(entity.rec().GUID, "E9");
    ASSERT_EQ(entity.put(), kOk);
    EXPECT_EQ(links(), (Links{{"E9", "P1"}, {"E9", "P2"}, {"E2", "P2"}, {"E2", "P3"}}));
    // The settings are not carried (that relation only cascades deletes).
    EXPECT_TRUE(hasSettings("E1"));
    // A put that leaves the GUID alone touches no link.
    ASSERT_EQ(findEntity("E2"), kOk);
    setText(entity.rec().NAME, "renamed");
    ASSERT_EQ(entity.put(), kOk);
    EXPECT_EQ(countOf(place), 4);
}

TEST_F(CascadeTest, DeletingAnEnterpriseRemovesOnlyItsLinks)
{
    enterprise.clear();
    setText(enterprise.rec().GUID, "P2");
    ASSERT_EQ(enterprise.fetch("MEP:BYGUID"), kOk);
    ASSERT_EQ(enterprise.deleteRecord(), kOk);
    EXPECT_EQ(links(), (Links{{"E1", "P1"}, {"E2", "P3"}}));
    EXPECT_EQ(countOf(entity), 2);
}

TEST_F(CascadeTest, AFailingCascadeUndoesTheWholeChange)
{
    const Links original{{"E1", "P1"}, {"E1", "P2"}, {"E2", "P2"}, {"E2", "P3"}};
    // E1 -> E2: the link (E1, P1) moves, then (E1, P2) clashes with (E2, P2).
    ASSERT_EQ(findEntity("E1"), kOk);
    setText(entity.rec().GUID, "E2");
    EXPECT_EQ(entity.put(), kDuplicateKey);
    EXPECT_EQ(findEntity("E1"), kOk);
    EXPECT_EQ(links(), original);

    // Inside the caller's transaction the failed change is undone alone; the
    // caller's own earlier write stays until the caller decides.
    Transaction t(session, {&entity, &place, &vetis});
    ASSERT_EQ(t.start(), kOk);
    place.clear();
    setText(place.rec().ENTITY, "E3");
    setText(place.rec().ENTERPRISE, "P3");
    ASSERT_EQ(place.add(), kOk);
    ASSERT_EQ(findEntity("E1"), kOk);
    setText(entity.rec().GUID, "E2");
    EXPECT_EQ(entity.put(), kDuplicateKey);
    Links withNew = original;
    withNew.emplace("E3", "P3");
    EXPECT_EQ(links(), withNew);
    // A deletion in the same transaction, then the caller rolls everything back.
    ASSERT_EQ(findEntity("E1"), kOk);
    ASSERT_EQ(entity.deleteRecord(), kOk);
    EXPECT_FALSE(hasSettings("E1"));
    t.rollback();
    EXPECT_EQ(findEntity("E1"), kOk);
    EXPECT_TRUE(hasSettings("E1"));
    EXPECT_EQ(links(), original);
}

} // namespace
