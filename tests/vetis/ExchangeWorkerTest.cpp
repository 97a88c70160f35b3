// SPDX-License-Identifier: LicenseRef-Kestrom
// The worker of a run reads the stored access settings through a store
// session of its own, opened and closed on the worker.
#include "vetis/ExchangeRunner.h"

#include "framework/RecordingPresenter.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "support/RunnerTestSupport.h"
#include "support/TestSupport.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"
#include "vetis/StoredVetisSettings.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace vetis;

TEST(ExchangeWorker, StoredSettingsComeThroughTheWorkersOwnSession)
{
    framework::RecordingPresenter presenter;
    framework::setMessagePresenter(&presenter);
    vetissim::VetisSim sim{runnertest::quickSimConfig()};
    ASSERT_TRUE(sim.start()) << sim.errorString();
    setEndpointBaseOverride(sim.baseUrl());

    testsupport::TempFolder data;
    ASSERT_TRUE(QDir(data.path()).mkpath(QStringLiteral("Base")));
    {
        store::Session session(data.path());
        StoredVetisSettings stored(session);
        ASSERT_EQ(stored.add(runnertest::simSettings(sim, 1)), 0);
    }

    ExchangeRunner runner(data.path());
    std::atomic<bool> contextGivenBack{false};
    ASSERT_TRUE(runner.start([&contextGivenBack](ExchangeWorker& worker) {
        RequestRecord request;
        request.setRequestCode(RequestCode::UnitByGuidOrList);
        request.COUNT = 1;
        store::setText(request.VETISGUID, vetissim::known::kOwnEntityGuid);
        ExchangeContext context; // no settings given: the stored ones
        // A dictionary answer is no application: the status tells success.
        static_cast<void>(worker.exchange(request, context));
        contextGivenBack.store(context.settings == nullptr);
        return request.RCODE == 200;
    }));
    const std::optional<ExchangeRunResult> result = runnertest::waitForResult(runner);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(result->outcome, RunOutcome::Succeeded);
    EXPECT_EQ(result->request.RCODE, 200);
    EXPECT_TRUE(contextGivenBack.load()) << "the caller's context is given back as it was";
    ASSERT_EQ(sim.received().size(), 1u);
    EXPECT_EQ(sim.received()[0].operation, "getUnitListRequest");
    EXPECT_EQ(presenter.count(), 0u);

    // Nothing stored for the entity: the exchange says so, through the
    // window's thread, and the run fails without sending anything.
    ExchangeRunner empty(data.path() + QStringLiteral("other/"));
    ASSERT_TRUE(QDir(data.path()).mkpath(QStringLiteral("other/Base")));
    ASSERT_TRUE(empty.start([](ExchangeWorker& worker) {
        RequestRecord request;
        request.setRequestCode(RequestCode::UnitByGuidOrList);
        store::setText(request.VETISGUID, vetissim::known::kOwnEntityGuid);
        ExchangeContext context;
        return worker.exchange(request, context);
    }));
    const std::optional<ExchangeRunResult> failed = runnertest::waitForResult(empty);
    ASSERT_TRUE(failed.has_value());
    EXPECT_EQ(failed->outcome, RunOutcome::Failed);
    EXPECT_EQ(failed->transfer.code, -1);
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_EQ(presenter.shown()[0].text,
              QStringLiteral("Нет данных для доступа к АИС Меркурий через интерфейс Ветис.API !"));
    EXPECT_EQ(sim.received().size(), 1u);

    clearEndpointOverrides();
    framework::setMessagePresenter(nullptr);
}
