// SPDX-License-Identifier: LicenseRef-Kestrom
// Single entries by GUID against the VetIS test double: stored once, named
// as the program names them, and asked for once per load however often a
// load names them.
#include "responses/ReferenceLookups.h"
#include "framework/RecordingPresenter.h"
#include "platform/CodePage.h"
#include "responses/WalkerAnswerReader.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Place.h"
#include "store/tables/Product.h"
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

#include <cstdio>
#include <string>

using responses::LookupMode;

namespace {

constexpr const char* kLookingEntity = vetissim::known::kOwnEntityGuid;

std::string utf8(const std::string& cp1251)
{
    return platform::fromCp1251(cp1251).toStdString();
}

class ReferenceLookups : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(folder.path() + QStringLiteral("Base")));
        framework::setMessagePresenter(&exchangePresenter);
        ASSERT_TRUE(sim.start()) << sim.errorString();
        vetis::setEndpointBaseOverride(sim.baseUrl());
        store::VetisRecord s = simSettings(sim, kLookingEntity);
        s.ANSWER = 1; // failures are told, not asked about
        repo.records[kLookingEntity] = s;
        context.settings = &repo;
        context.reader = &reader;
    }
    void TearDown() override
    {
        vetis::clearEndpointOverrides();
        framework::setMessagePresenter(nullptr);
    }

    int requestsOf(std::string_view operation) const
    {
        int n = 0;
        for (const vetissim::ReceivedRequest& r : sim.received())
            n += r.body.find(operation) != std::string::npos;
        return n;
    }

    testsupport::TempFolder folder;
    store::Session session{folder.path()};
    vetissim::VetisSim sim;
    framework::RecordingPresenter exchangePresenter;
    FakeVetisSettingsRepository repo;
    responses::WalkerAnswerReader reader;
    vetis::ExchangeContext context;
    responses::ReferenceLookups lookups{session, context, kLookingEntity};
};

TEST_F(ReferenceLookups, EntitiesAreNamedByTheirType)
{
    // A company by its name, a person by the full name, an entrepreneur with
    // "ИП " unless the name begins with a form of farming.
    EXPECT_EQ(utf8(lookups.businessEntity(LookupMode::Name, true, "79c8c292-6b94-45b5-b498-82321e35049e")),
              "ООО \"Самарский мясокомбинат\"");
    EXPECT_EQ(utf8(lookups.businessEntity(LookupMode::Name, true, "3c2b1a09-8f7e-4d6c-b5a4-9382716a5b4c")),
              "Иванов Иван Иванович");
    EXPECT_EQ(utf8(lookups.businessEntity(LookupMode::Name, true, "7a6b5c4d-3e2f-4a1b-9c8d-7e6f5a4b3c2d")),
              "ИП Петров Пётр Петрович");
    EXPECT_EQ(utf8(lookups.businessEntity(LookupMode::Name, true, "0f1e2d3c-4b5a-4697-8877-665544332211")),
              "КФХ Сидорова Анна Ивановна");
    EXPECT_EQ(lookups.businessEntity(LookupMode::Inn, false, "0f1e2d3c-4b5a-4697-8877-665544332211"),
              "631100000041");
    // Stored now: a new set of lookups finds them without asking.
    sim.clearReceived();
    responses::ReferenceLookups later(session, context, kLookingEntity);
    EXPECT_EQ(utf8(later.businessEntity(LookupMode::Name, false, "3c2b1a09-8f7e-4d6c-b5a4-9382716a5b4c")),
              "Иванов Иван Иванович");
    EXPECT_TRUE(sim.received().empty());
}

TEST_F(ReferenceLookups, WhatCannotBeHadIsAskedForOncePerLoad)
{
    vetissim::FaultRule failing;
    failing.kind = vetissim::FaultKind::SoapFault;
    failing.times = -1;
    sim.addFault(failing);
    const std::string missing = "00000000-1111-4222-8333-444444444444";
    for (int vsd = 0; vsd < 50; ++vsd) {
        EXPECT_EQ(utf8(lookups.businessEntity(LookupMode::Name, true, missing)), "<Нет в справочнике ХС>");
        EXPECT_EQ(utf8(lookups.enterprise(LookupMode::Name, true, missing)), "<Нет в справочнике площадок>");
        EXPECT_EQ(utf8(lookups.reference(9, LookupMode::Name, true, missing)), "<Нет в справочнике>");
        EXPECT_EQ(lookups.businessEntity(LookupMode::Inn, true, missing), "");
    }
    EXPECT_EQ(requestsOf("getBusinessEntityByGuidRequest"), 1);
    EXPECT_EQ(requestsOf("getEnterpriseByGuidRequest"), 1);
    EXPECT_EQ(requestsOf("getUnitByGuidRequest"), 1);
    // Malformed GUIDs are never sent.
    EXPECT_EQ(utf8(lookups.businessEntity(LookupMode::Name, true, "short")), "<Нет GUID ХС>");
    EXPECT_EQ(utf8(lookups.productItem(LookupMode::Name, true, "")), "<Нет GUID продукции>");
    EXPECT_EQ(utf8(lookups.reference(2, LookupMode::Name, true, "")), "<Нет GUID>");
    EXPECT_EQ(sim.received().size(), 3u);
}

TEST_F(ReferenceLookups, ReferencesFetchedByGuidKeepTheirLinks)
{
    // The Russian Federation sorts first by GUID as well; the name mode drops the blank.
    EXPECT_EQ(utf8(lookups.reference(1, LookupMode::Name, true, vetissim::known::kRussiaGuid)),
              "Российская Федерация");
    EXPECT_EQ(utf8(lookups.reference(2, LookupMode::Name, true, vetissim::known::kSamaraRegionGuid)),
              "Самарская обл.");
    EXPECT_EQ(lookups.reference(2, LookupMode::Guid, false, vetissim::known::kSamaraRegionGuid),
              vetissim::known::kSamaraRegionGuid);
    store::TypedTable<store::RefsRecord> refs(session, store::refsTable());
    ASSERT_EQ(refs.open(), store::kOk);
    refs.clear();
    store::setText(refs.rec().GUID, vetissim::known::kRussiaGuid);
    ASSERT_EQ(refs.fetch("MRE:BYGUID"), store::kOk);
    EXPECT_EQ(utf8(std::string(store::textOf(refs.rec().NAME))), " Российская Федерация");
    refs.clear();
    store::setText(refs.rec().GUID, vetissim::known::kSamaraRegionGuid);
    ASSERT_EQ(refs.fetch("MRE:BYGUID"), store::kOk);
    EXPECT_EQ(refs.rec().VID, 2);
    EXPECT_EQ(store::ztextOf(refs.rec().PARENT), vetissim::known::kRussiaGuid);
    // Product types come from the program's own table, without a request.
    sim.clearReceived();
    EXPECT_EQ(utf8(lookups.reference(11, LookupMode::Name, true, "11-05")), "Пищевые продукты");
    EXPECT_TRUE(sim.received().empty());
}

TEST_F(ReferenceLookups, AProductItemComesWithWhatItNames)
{
    std::string item;
    sim.withFixtures([&](vetissim::FixtureStore& store) {
        const auto items = store.list(vetissim::RefKind::ProductItem);
        ASSERT_FALSE(items.empty());
        item = items.front()->textAt("bs:guid");
    });
    ASSERT_EQ(item.size(), 36u);
    EXPECT_NE(utf8(lookups.productItem(LookupMode::Name, true, item)), "<Нет продукции>");

    store::TypedTable<store::ProductRecord> products(session, store::productTable());
    ASSERT_EQ(products.open(), store::kOk);
    products.clear();
    store::setText(products.rec().GUID, item);
    ASSERT_EQ(products.fetch("PRD:BYGUID"), store::kOk);
    const std::string producer(store::textOf(products.rec().PRODUCER));
    const std::string product(store::textOf(products.rec().PRODUCT));
    const std::string subProduct(store::textOf(products.rec().SUBPRODUCT));
    char type[8];
    std::snprintf(type, sizeof type, "11-%02d", products.rec().PRODTYPE);
    ASSERT_EQ(producer.size(), 36u);
    ASSERT_EQ(product.size(), 36u);
    ASSERT_EQ(subProduct.size(), 36u);

    // Everything it names is stored now: nothing more is asked for.
    sim.clearReceived();
    responses::ReferenceLookups later(session, context, kLookingEntity);
    EXPECT_NE(utf8(later.businessEntity(LookupMode::Name, false, producer)), "<Нет в справочнике ХС>");
    EXPECT_NE(utf8(later.reference(11, LookupMode::Name, false, type)), "<Нет в справочнике>");
    EXPECT_NE(utf8(later.reference(12, LookupMode::Name, false, product)), "<Нет в справочнике>");
    EXPECT_NE(utf8(later.reference(13, LookupMode::Name, false, subProduct)), "<Нет в справочнике>");
    store::TypedTable<store::RefsRecord> refs(session, store::refsTable());
    ASSERT_EQ(refs.open(), store::kOk);
    refs.clear();
    store::setText(refs.rec().GUID, subProduct);
    ASSERT_EQ(refs.fetch("MRE:BYGUID"), store::kOk);
    EXPECT_EQ(store::ztextOf(refs.rec().PARENT), product); // a subproduct under its product
    refs.clear();
    store::setText(refs.rec().GUID, product);
    ASSERT_EQ(refs.fetch("MRE:BYGUID"), store::kOk);
    EXPECT_EQ(store::ztextOf(refs.rec().PARENT), type); // a product under its type
    EXPECT_TRUE(sim.received().empty());
}

TEST_F(ReferenceLookups, AnEnterpriseIsLinkedToTheEntityNamed)
{
    EXPECT_EQ(
        utf8(lookups.enterprise(LookupMode::Name, true, vetissim::known::kOwnEnterpriseGuid, kLookingEntity)),
        "Склад ООО \"Заря\"");
    lookups.enterprise(LookupMode::None, true, vetissim::known::kOwnEnterpriseGuid, kLookingEntity);
    store::TypedTable<store::PlaceRecord> places(session, store::placeTable());
    ASSERT_EQ(places.open(), store::kOk);
    places.clear();
    store::setText(places.rec().ENTITY, kLookingEntity);
    store::setText(places.rec().ENTERPRISE, vetissim::known::kOwnEnterpriseGuid);
    EXPECT_EQ(places.fetch("MPL:BYENTITY"), store::kOk);
    std::int64_t links = 0;
    ASSERT_EQ(places.count(links), store::kOk);
    EXPECT_EQ(links, 1);
}

} // namespace
