// SPDX-License-Identifier: LicenseRef-Kestrom
// The own business entity and its enterprises loaded from the VetIS test
// double by the entity's issuer id: stored whole, loaded again without
// losing what the user set, and not at all when a write fails.
#include "framework/RecordingPresenter.h"
#include "platform/CodePage.h"
#include "responses/OwnEntityLoad.h"
#include "responses/WalkerAnswerReader.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Enterprise.h"
#include "store/tables/Entity.h"
#include "store/tables/Place.h"
#include "support/FakeVetisSettingsRepository.h"
#include "support/SimSettings.h"
#include "support/TestSupport.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"
#include "vetis/Exchange.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <map>
#include <string>

using responses::EntityLoadResult;

namespace {

constexpr const char* kOwn = vetissim::known::kOwnEntityGuid;
constexpr const char* kStore = vetissim::known::kOwnEnterpriseGuid;
constexpr const char* kShop = vetissim::known::kOwnSecondEnterpriseGuid;
constexpr const char* kOtherEntity = "79c8c292-6b94-45b5-b498-82321e35049e";
constexpr const char* kOtherPlace = "eb7a7995-9588-432d-8242-aadbc8f429a4";

std::string utf8(std::string_view cp1251)
{
    return platform::fromCp1251(store::clip(cp1251)).toStdString();
}

class EntityLoad : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(folder.path() + QStringLiteral("Base")));
        framework::setMessagePresenter(&presenter);
        ASSERT_TRUE(sim.start()) << sim.errorString();
        vetis::setEndpointBaseOverride(sim.baseUrl());
        store::VetisRecord s = simSettings(sim, kOwn);
        s.ANSWER = 1;
        repo.records[kOwn] = s;
        context.settings = &repo;
        context.reader = &reader;

        // The own entity as the user entered it, and a link of another entity.
        store::TypedTable<store::EntityRecord> entities(session, store::entityTable());
        ASSERT_EQ(entities.open(), store::kOk);
        entities.clear();
        store::setText(entities.rec().GUID, kOwn);
        store::setText(entities.rec().NAME, platform::toCp1251(QStringLiteral("Заря (вручную)")));
        store::setZText(entities.rec().REMARK, platform::toCp1251(QStringLiteral("наш")));
        entities.rec().HOME = 1;
        ASSERT_EQ(entities.add(), store::kOk);
        addPlace(kOtherEntity, kOtherPlace, 0);
    }
    void TearDown() override
    {
        vetis::clearEndpointOverrides();
        framework::setMessagePresenter(nullptr);
    }

    void addPlace(const char* entity, const char* enterprise, std::uint8_t mark)
    {
        store::TypedTable<store::PlaceRecord> places(session, store::placeTable());
        ASSERT_EQ(places.open(), store::kOk);
        places.clear();
        store::setText(places.rec().ENTITY, entity);
        store::setText(places.rec().ENTERPRISE, enterprise);
        places.rec().MARK = mark;
        ASSERT_EQ(places.add(), store::kOk);
    }

    store::EntityRecord entity()
    {
        store::TypedTable<store::EntityRecord> entities(session, store::entityTable());
        EXPECT_EQ(entities.open(), store::kOk);
        entities.clear();
        store::setText(entities.rec().GUID, kOwn);
        EXPECT_EQ(entities.fetch("MEN:BYGUID"), store::kOk);
        return entities.rec();
    }
    // Enterprise GUID -> name.
    std::map<std::string, std::string> enterprises()
    {
        std::map<std::string, std::string> out;
        store::TypedTable<store::EnterpriseRecord> table(session, store::enterpriseTable());
        EXPECT_EQ(table.open(), store::kOk);
        table.clear();
        EXPECT_EQ(table.set("MEP:BYGUID", 0), store::kOk);
        while (table.next() == store::kOk)
            out[std::string(store::clip(store::textOf(table.rec().GUID)))] =
                utf8(store::textOf(table.rec().NAME));
        return out;
    }
    // "entity enterprise" -> mark.
    std::map<std::string, int> places()
    {
        std::map<std::string, int> out;
        store::TypedTable<store::PlaceRecord> table(session, store::placeTable());
        EXPECT_EQ(table.open(), store::kOk);
        table.clear();
        EXPECT_EQ(table.set("MPL:BYENTITY", 0), store::kOk);
        while (table.next() == store::kOk)
            out[std::string(store::clip(store::textOf(table.rec().ENTITY))) + " " +
                std::string(store::clip(store::textOf(table.rec().ENTERPRISE)))] = +table.rec().MARK;
        return out;
    }
    void setMark(const char* enterprise, std::uint8_t mark)
    {
        store::TypedTable<store::PlaceRecord> table(session, store::placeTable());
        ASSERT_EQ(table.open(), store::kOk);
        table.clear();
        store::setText(table.rec().ENTITY, kOwn);
        store::setText(table.rec().ENTERPRISE, enterprise);
        ASSERT_EQ(table.fetch("MPL:BYENTITY"), store::kOk);
        table.rec().MARK = mark;
        ASSERT_EQ(table.put(), store::kOk);
    }

    testsupport::TempFolder folder;
    store::Session session{folder.path()};
    vetissim::VetisSim sim;
    framework::RecordingPresenter presenter;
    FakeVetisSettingsRepository repo;
    responses::WalkerAnswerReader reader;
    vetis::ExchangeContext context;
};

TEST_F(EntityLoad, StoresTheEntityItsEnterprisesAndLinksAndKeepsTheWorkingMarkWhenLoadedAgain)
{
    const responses::EntityLoadOutcome first = responses::loadEntityFromMercury(session, context, kOwn);
    EXPECT_EQ(first.result, EntityLoadResult::Loaded);
    EXPECT_EQ(first.enterprises, 2);
    const store::EntityRecord e = entity();
    EXPECT_EQ(utf8(store::textOf(e.NAME)), "ООО \"Заря\"");
    EXPECT_EQ(+e.HOME, 1); // still the user's own
    EXPECT_EQ(utf8(store::ztextOf(e.REMARK)), "наш");
    EXPECT_FALSE(store::ztextOf(e.INN).empty());
    const std::map<std::string, std::string> stored = enterprises();
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored.at(kStore), "Склад ООО \"Заря\"");
    EXPECT_EQ(stored.at(kShop), "Магазин \"Заря\" на Садовой");
    const std::map<std::string, int> linked = {{std::string(kOwn) + " " + kShop, 0},
                                               {std::string(kOwn) + " " + kStore, 0},
                                               {std::string(kOtherEntity) + " " + kOtherPlace, 0}};
    EXPECT_EQ(places(), linked);
    EXPECT_TRUE(presenter.shown().empty());

    // The user works for the shop; loading again changes nothing else.
    setMark(kShop, 1);
    const responses::EntityLoadOutcome second = responses::loadEntityFromMercury(session, context, kOwn);
    EXPECT_EQ(second.result, EntityLoadResult::Loaded);
    EXPECT_EQ(enterprises(), stored);
    std::map<std::string, int> marked = linked;
    marked[std::string(kOwn) + " " + kShop] = 1;
    EXPECT_EQ(places(), marked);
    EXPECT_EQ(+entity().HOME, 1);
}

TEST_F(EntityLoad, AnEntityWithMorePlacesThanAPageGetsThemAll)
{
    // 1,200 more enterprises of the entity: two pages of places.
    sim.withFixtures([](vetissim::FixtureStore& fixtures) {
        const vetissim::XNode* shop = fixtures.byGuid(vetissim::RefKind::Enterprise, kShop);
        ASSERT_TRUE(shop);
        for (int n = 0; n < 1200; ++n) {
            vetissim::XNode copy = *shop;
            char guid[40];
            std::snprintf(guid, sizeof guid, "5b0a7ac3-0000-4000-8000-%012d", n);
            copy.child(vetissim::Ns::Base, "guid")->text = guid;
            if (vetissim::XNode* uuid = copy.child(vetissim::Ns::Base, "uuid"))
                uuid->text = guid;
            fixtures.put(vetissim::RefKind::Enterprise, std::move(copy));
        }
    });
    const responses::EntityLoadOutcome outcome = responses::loadEntityFromMercury(session, context, kOwn);
    EXPECT_EQ(outcome.result, EntityLoadResult::Loaded);
    EXPECT_EQ(outcome.enterprises, 1202);
    EXPECT_EQ(enterprises().size(), 1202u);
    EXPECT_EQ(places().size(), 1203u); // and the other entity's link
    int pages = 0;
    for (const auto& request : sim.received())
        pages += request.body.find("getActivityLocationListRequest") != std::string::npos;
    EXPECT_EQ(pages, 2);
}

TEST_F(EntityLoad, AWriteRefusedHalfwayStoresNothing)
{
    // m_Enterprise takes the first enterprise and refuses the second.
    EXPECT_TRUE(enterprises().empty()); // the file exists
    sqlite3* db = nullptr;
    const QString file = folder.path() + QStringLiteral("Base/mv03.dat");
    ASSERT_EQ(sqlite3_open(file.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER second_refused BEFORE INSERT ON records "
                           "WHEN (SELECT COUNT(*) FROM records) >= 1 "
                           "BEGIN SELECT RAISE(ABORT, 'disk full'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    EXPECT_EQ(responses::loadEntityFromMercury(session, context, kOwn).result, EntityLoadResult::WriteFailed);
    ASSERT_EQ(sqlite3_exec(db, "DROP TRIGGER second_refused", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);

    EXPECT_EQ(utf8(store::textOf(entity().NAME)), "Заря (вручную)");
    EXPECT_TRUE(enterprises().empty());
    EXPECT_EQ(places().size(), 1u);

    // Once the file takes writes again the load goes through.
    EXPECT_EQ(responses::loadEntityFromMercury(session, context, kOwn).result, EntityLoadResult::Loaded);
    EXPECT_EQ(enterprises().size(), 2u);
}

TEST_F(EntityLoad, AnEntityTheServiceDoesNotKnowOrAMalformedIdChangesNothing)
{
    EXPECT_EQ(responses::loadEntityFromMercury(session, context, "short").result, EntityLoadResult::NoGuid);
    EXPECT_TRUE(sim.received().empty());
    EXPECT_EQ(
        responses::loadEntityFromMercury(session, context, "00000000-1111-4222-8333-444444444444").result,
        EntityLoadResult::ExchangeFailed);
    EXPECT_EQ(utf8(store::textOf(entity().NAME)), "Заря (вручную)");
    EXPECT_TRUE(enterprises().empty());
    EXPECT_EQ(places().size(), 1u);
}

} // namespace
