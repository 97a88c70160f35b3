// SPDX-License-Identifier: LicenseRef-Kestrom
// The entity card's load from Mercury on the exchange worker, against the
// VetIS test double: the worker's own session writes what the card then reads.
#include "WindowData.h"

#include "support/SimSettings.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"
#include "vetis/StoredVetisSettings.h"
#include "workspace/ui/EntityCard.h"

using namespace windowtest;

namespace {

class EntityLoadWorkerTest : public WindowData
{
protected:
    void SetUp() override
    {
        WindowData::SetUp();
        ASSERT_TRUE(sim.start()) << sim.errorString();
        vetis::setEndpointBaseOverride(sim.baseUrl());
        addOwnEntity();
        store::Session s(m_folder.path());
        vetis::StoredVetisSettings settings(s);
        store::VetisRecord record = simSettings(sim, kOwn);
        record.ANSWER = 1;
        ASSERT_EQ(settings.add(record), store::kOk);
    }
    void TearDown() override
    {
        vetis::clearEndpointOverrides();
        WindowData::TearDown();
    }

    vetissim::VetisSim sim;
};

TEST_F(EntityLoadWorkerTest, TheWorkerStoresTheEntityAndKeepsTheWorkingEnterprise)
{
    EXPECT_EQ(workspace::ui::loadEntityOnWorker(m_folder.path(), kOwn), responses::EntityLoadResult::Loaded);
    EXPECT_EQ(m_presenter.count(), 0u);

    store::Session s(m_folder.path());
    store::TypedTable<store::EntityRecord> entities(s, store::entityTable());
    ASSERT_EQ(entities.open(), store::kOk);
    entities.clear();
    store::setText(entities.rec().GUID, kOwn);
    ASSERT_EQ(entities.fetch("MEN:BYGUID"), store::kOk);
    EXPECT_EQ(platform::fromCp1251(store::clip(store::textOf(entities.rec().NAME))),
              QStringLiteral("ООО \"Заря\""));
    EXPECT_EQ(+entities.rec().HOME, 1);

    const std::vector<workspace::EntityEnterpriseRow> rows = workspace::entityEnterprises(s, kOwn);
    ASSERT_EQ(rows.size(), 2u);
    for (const workspace::EntityEnterpriseRow& row : rows) {
        EXPECT_EQ(row.working, row.guid == kPlace) << row.guid;
        if (row.guid == kPlace) {
            EXPECT_EQ(row.name, QStringLiteral("Склад ООО \"Заря\""));
        }
    }
}

} // namespace
