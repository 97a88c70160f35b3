// SPDX-License-Identifier: LicenseRef-Kestrom
// Refreshing the local dictionaries from the VetIS test double: every page
// read before anything changes, stale entries of the kind and parent deleted,
// entries of other parents left alone.
#include "responses/DictionaryRefresh.h"
#include "framework/RecordingPresenter.h"
#include "platform/CodePage.h"
#include "responses/WalkerAnswerReader.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Refs.h"
#include "support/FakeVetisSettingsRepository.h"
#include "support/SimSettings.h"
#include "support/TestSupport.h"
#include "vetis-sim/FixtureStore.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"
#include "vetis/Exchange.h"
#include "vetis/VetisSettings.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <string>

using namespace vetis;
using store::RefsRecord;

namespace {

constexpr const char* kRefreshingEntity = vetissim::known::kOwnEntityGuid;
constexpr int kRegionKind = 2;
constexpr int kStreetKind = 5;

class DictionaryRefresh : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(folder.path() + QStringLiteral("Base")));
        framework::setMessagePresenter(&exchangePresenter);
        ASSERT_TRUE(sim.start()) << sim.errorString();
        setEndpointBaseOverride(sim.baseUrl());
        store::VetisRecord s = simSettings(sim, kRefreshingEntity);
        repo.records[kRefreshingEntity] = s;
        context.settings = &repo;
        context.reader = &reader;
    }
    void TearDown() override
    {
        clearEndpointOverrides();
        framework::setMessagePresenter(nullptr);
    }

    responses::RefreshOutcome refresh(int kind, std::string_view parent = {})
    {
        store::Session session(folder.path());
        return responses::refreshDictionary(session, context, kind, parent, kRefreshingEntity, presenter);
    }

    // Names (UTF-8) by GUID of the entries of a kind and parent.
    std::map<std::string, std::string> stored(int kind, std::string_view parent = {})
    {
        std::map<std::string, std::string> out;
        store::Session session(folder.path());
        store::TypedTable<RefsRecord> refs(session, store::refsTable());
        EXPECT_EQ(refs.open(), store::kOk);
        refs.clear();
        refs.rec().VID = static_cast<std::uint8_t>(kind);
        store::setZText(refs.rec().PARENT, parent);
        EXPECT_EQ(refs.set("MRE:BYNAME", 2), store::kOk);
        while (refs.next() == store::kOk && refs.rec().VID == kind &&
               store::ztextOf(refs.rec().PARENT) == parent)
            out[std::string(store::textOf(refs.rec().GUID))] =
                platform::fromCp1251(store::textOf(refs.rec().NAME)).toStdString();
        return out;
    }

    void addLocal(int kind, std::string_view guid, std::string_view parent)
    {
        store::Session session(folder.path());
        store::TypedTable<RefsRecord> refs(session, store::refsTable());
        ASSERT_EQ(refs.open(), store::kOk);
        refs.clear();
        refs.rec().VID = static_cast<std::uint8_t>(kind);
        store::setText(refs.rec().GUID, guid);
        store::setZText(refs.rec().PARENT, parent);
        store::setText(refs.rec().NAME, "local");
        ASSERT_EQ(refs.add(), store::kOk);
    }

    QString lastMessage() const
    {
        return presenter.shown().empty() ? QString() : presenter.shown().back().text;
    }

    testsupport::TempFolder folder;
    vetissim::VetisSim sim;
    framework::RecordingPresenter exchangePresenter;
    framework::RecordingPresenter presenter;
    FakeVetisSettingsRepository repo;
    responses::WalkerAnswerReader reader;
    ExchangeContext context;
};

TEST_F(DictionaryRefresh, AListOfSeveralPagesIsStoredWholeOrNotAtAll)
{
    const std::string locality = vetissim::known::kSamaraCityGuid;
    addLocal(kStreetKind, "a-street-no-longer-listed", locality);

    // The second of three pages fails: nothing is deleted, nothing stored.
    vetissim::FaultRule secondPage;
    secondPage.kind = vetissim::FaultKind::SoapFault;
    secondPage.operation = "getStreetListByLocalityRequest";
    secondPage.skip = 1;
    sim.addFault(secondPage);
    responses::RefreshOutcome outcome = refresh(kStreetKind, locality);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.pages, 2);
    EXPECT_TRUE(presenter.shown().empty()); // the exchange told the user itself
    auto streets = stored(kStreetKind, locality);
    ASSERT_EQ(streets.size(), 1u);
    EXPECT_EQ(streets.count("a-street-no-longer-listed"), 1u);

    outcome = refresh(kStreetKind, locality);
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.pages, 3);
    EXPECT_EQ(outcome.stored, 2500);
    EXPECT_EQ(lastMessage(), QStringLiteral("Успешно загружено записей в справочник улиц: 2500"));
    streets = stored(kStreetKind, locality);
    EXPECT_EQ(streets.size(), 2500u);
    EXPECT_EQ(streets.count("a-street-no-longer-listed"), 0u);

    // A second refresh stores the same entries again, none twice.
    outcome = refresh(kStreetKind, locality);
    EXPECT_EQ(outcome.stored, 2500);
    EXPECT_EQ(stored(kStreetKind, locality).size(), 2500u);
}

TEST_F(DictionaryRefresh, RegionsOfOneCountryLeaveOtherCountriesAlone)
{
    const std::string russia = vetissim::known::kRussiaGuid;
    addLocal(kRegionKind, "a-region-no-longer-listed", russia);
    addLocal(kRegionKind, "a-region-of-another-country", "another-country");
    const responses::RefreshOutcome outcome = refresh(kRegionKind, russia);
    ASSERT_TRUE(outcome.ok);
    const auto regions = stored(kRegionKind, russia);
    EXPECT_EQ(regions.count("a-region-no-longer-listed"), 0u);
    ASSERT_EQ(regions.count(vetissim::known::kSamaraRegionGuid), 1u);
    EXPECT_EQ(regions.at(vetissim::known::kSamaraRegionGuid), "Самарская обл."); // the view before the name
    EXPECT_EQ(static_cast<int>(regions.size()), outcome.stored);
    EXPECT_EQ(stored(kRegionKind, "another-country").size(), 1u);
}

TEST_F(DictionaryRefresh, TheRussianFederationSortsFirstAndResearchMethodsAreRead)
{
    ASSERT_TRUE(refresh(1).ok);
    const auto countries = stored(1);
    ASSERT_FALSE(countries.empty());
    EXPECT_EQ(countries.at(vetissim::known::kRussiaGuid), " Российская Федерация");
    // Research methods come as dt:method elements of their list.
    const responses::RefreshOutcome methods = refresh(7);
    EXPECT_TRUE(methods.ok);
    EXPECT_GT(methods.stored, 0);
    EXPECT_EQ(static_cast<int>(stored(7).size()), methods.stored);
}

TEST_F(DictionaryRefresh, AWriteThatFailsRollsTheWholeRefreshBack)
{
    const std::string russia = vetissim::known::kRussiaGuid;
    ASSERT_TRUE(refresh(kRegionKind, russia).ok);
    const auto before = stored(kRegionKind, russia);
    addLocal(kRegionKind, "a-region-no-longer-listed", russia);
    // The dictionary file refuses every update, as a full disk would.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((folder.path() + QStringLiteral("Base/mv07.dat")).toUtf8().constData(), &db),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(
                  db,
                  "CREATE TRIGGER full_disk BEFORE UPDATE ON records BEGIN SELECT RAISE(ABORT, 'disk full'); "
                  "END",
                  nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    presenter.clear();
    const responses::RefreshOutcome outcome = refresh(kRegionKind, russia);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.stored, 0);
    EXPECT_EQ(lastMessage(),
              QStringLiteral("Не удалось выполнить операцию изменения справочника регионов !"));
    // The delete pass went back too: the stale region is still there, the rest as before.
    auto after = stored(kRegionKind, russia);
    EXPECT_EQ(after.erase("a-region-no-longer-listed"), 1u);
    EXPECT_EQ(after, before);
}

TEST_F(DictionaryRefresh, ProductsAreAskedForByTheNumberOfTheirTypeAndStoredUnderIt)
{
    const responses::RefreshOutcome outcome = refresh(12, "11-01");
    ASSERT_TRUE(outcome.ok);
    EXPECT_GT(outcome.stored, 0);
    EXPECT_EQ(static_cast<int>(stored(12, "11-01").size()), outcome.stored);
    EXPECT_EQ(lastMessage(), QStringLiteral("Успешно загружено записей в справочник продукции по типам: ") +
                                 QString::number(outcome.stored));
    ASSERT_FALSE(sim.received().empty());
    EXPECT_NE(sim.received().back().body.find("productType>1</"), std::string::npos);
}

TEST_F(DictionaryRefresh, ALocalityOfADistrictKeepsItsKindWhenItsRegionListsItAgain)
{
    std::string district, region, locality;
    sim.withFixtures([&](vetissim::FixtureStore& store) {
        for (const vetissim::XNode* l : store.list(vetissim::RefKind::Locality))
            if (!l->textAt("dt:districtGuid").empty()) {
                district = l->textAt("dt:districtGuid");
                region = l->textAt("dt:regionGuid");
                locality = l->textAt("bs:guid");
                return;
            }
    });
    ASSERT_EQ(locality.size(), 36u);
    ASSERT_TRUE(refresh(4, district).ok);
    ASSERT_EQ(stored(4, district).count(locality), 1u);
    const responses::RefreshOutcome byRegion = refresh(6, region);
    ASSERT_TRUE(byRegion.ok);
    EXPECT_GT(byRegion.stored, 0);
    // Updated in place: still a locality of its district, not one of the region.
    EXPECT_EQ(stored(4, district).count(locality), 1u);
    EXPECT_EQ(stored(6, region).count(locality), 0u);
}

TEST_F(DictionaryRefresh, KindsThatAreNotFetchedAreRefused)
{
    for (int kind : {11, 14, 15, 0}) {
        presenter.clear();
        EXPECT_FALSE(refresh(kind).ok);
        EXPECT_EQ(lastMessage(), QStringLiteral("Неизвестный номер справочника: ") + QString::number(kind) +
                                     QStringLiteral(" !"));
    }
    EXPECT_TRUE(sim.received().empty());
}

} // namespace
