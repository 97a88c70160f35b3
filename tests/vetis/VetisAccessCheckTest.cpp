// SPDX-License-Identifier: LicenseRef-Kestrom
// The access check run on a worker against the VetIS test double: what the
// user is told for each way it can end, whatever the settings' answer mode.
#include "vetis/VetisAccessCheck.h"

#include "framework/LastError.h"
#include "framework/RecordingPresenter.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "support/RunnerTestSupport.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"

#include <gtest/gtest.h>

using namespace vetis;

namespace {

class VetisAccessCheckTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        framework::setMessagePresenter(&presenter);
        ASSERT_TRUE(sim.start()) << sim.errorString();
        setEndpointBaseOverride(sim.baseUrl());
    }
    void TearDown() override
    {
        clearEndpointOverrides();
        framework::setMessagePresenter(nullptr);
    }

    ExchangeRunResult check(const store::VetisRecord& settings)
    {
        ExchangeRunner runner;
        EXPECT_TRUE(runner.start(accessCheckJob(settings)));
        std::optional<ExchangeRunResult> result = runnertest::waitForResult(runner);
        EXPECT_TRUE(result.has_value());
        return result ? *result : ExchangeRunResult{};
    }

    void fail(vetissim::FaultKind kind)
    {
        vetissim::FaultRule rule;
        rule.kind = kind;
        sim.addFault(rule);
    }

    framework::RecordingPresenter presenter;
    vetissim::VetisSim sim{runnertest::quickSimConfig()};
};

} // namespace

TEST_F(VetisAccessCheckTest, EveryFailureIsToldEvenWhenAnswersAreNotShown)
{
    // Answer mode 0: the exchange itself shows nothing, so the verdict is all
    // the user learns.
    store::VetisRecord settings = runnertest::simSettings(sim, 0);

    store::setZText(settings.PASSWORD, "wrong");
    ExchangeRunResult result = check(settings);
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    std::optional<AccessCheckVerdict> verdict = accessCheckVerdict(result);
    ASSERT_TRUE(verdict.has_value());
    EXPECT_FALSE(verdict->passed);
    EXPECT_EQ(verdict->text, QStringLiteral("Сервис Ветис.API отказал в доступе (код ответа: 401).|"
                                            "Проверьте логин и пароль."));

    settings = runnertest::simSettings(sim, 0);
    fail(vetissim::FaultKind::SoapFault);
    verdict = accessCheckVerdict(check(settings));
    ASSERT_TRUE(verdict.has_value());
    EXPECT_FALSE(verdict->passed);
    EXPECT_EQ(verdict->text, QStringLiteral("Сервис Ветис.API ответил ошибкой (код ответа: 500)."));

    fail(vetissim::FaultKind::Drop);
    result = check(settings);
    verdict = accessCheckVerdict(result);
    ASSERT_TRUE(verdict.has_value());
    EXPECT_FALSE(verdict->passed);
    EXPECT_EQ(result.request.RCODE, 0);
    EXPECT_TRUE(verdict->text.startsWith(
        QStringLiteral("Сервис Ветис.API не ответил.|Ошибка запроса: %1| ").arg(result.transfer.code)))
        << verdict->text.toStdString();
    EXPECT_GT(result.transfer.code, 0);

    // Nobody listens at the address.
    std::string closedBase;
    {
        vetissim::VetisSim gone{runnertest::quickSimConfig()};
        ASSERT_TRUE(gone.start()) << gone.errorString();
        closedBase = gone.baseUrl();
    }
    setEndpointBaseOverride(closedBase);
    verdict = accessCheckVerdict(check(settings));
    ASSERT_TRUE(verdict.has_value());
    EXPECT_FALSE(verdict->passed);
    EXPECT_TRUE(verdict->text.startsWith(QStringLiteral("Сервис Ветис.API не ответил.|Ошибка запроса: 7| ")))
        << verdict->text.toStdString();

    EXPECT_EQ(presenter.count(), 0u) << "answer mode 0: the exchange showed nothing";
}

TEST_F(VetisAccessCheckTest, AnAnswerOfStatus200IsAPassOnlyWhenItIsASoundEnvelope)
{
    const store::VetisRecord settings = runnertest::simSettings(sim, 0);
    ExchangeRunResult result = check(settings);
    EXPECT_EQ(result.outcome, RunOutcome::Succeeded);
    std::optional<AccessCheckVerdict> verdict = accessCheckVerdict(result);
    ASSERT_TRUE(verdict.has_value());
    EXPECT_TRUE(verdict->passed) << verdict->text.toStdString();

    // A proxy's HTML page and broken XML, both with status 200.
    for (const vetissim::FaultKind kind :
         {vetissim::FaultKind::WrongContentType, vetissim::FaultKind::MalformedXml}) {
        SCOPED_TRACE(static_cast<int>(kind));
        fail(kind);
        result = check(settings);
        EXPECT_EQ(result.outcome, RunOutcome::Failed);
        EXPECT_EQ(result.request.RCODE, 200);
        verdict = accessCheckVerdict(result);
        ASSERT_TRUE(verdict.has_value());
        EXPECT_FALSE(verdict->passed);
        const QString lead = QStringLiteral("Сервис Ветис.API ответил, но ответ не принят:|");
        EXPECT_TRUE(verdict->text.startsWith(lead)) << verdict->text.toStdString();
        EXPECT_GT(verdict->text.size(), lead.size() + 10)
            << "the verdict says why: " << verdict->text.toStdString();
    }
    EXPECT_EQ(presenter.count(), 0u) << "answer mode 0: the exchange showed nothing";
}

TEST(EditedVetisSettings, AnswersForItsOwnEntityOnlyAndNeverChanges)
{
    store::VetisRecord record = runnertest::simSettings(vetissim::VetisSim(runnertest::quickSimConfig()), 1);
    EditedVetisSettings edited(record);
    ASSERT_TRUE(edited.find(vetissim::known::kOwnEntityGuid).has_value());
    EXPECT_EQ(store::ztextOf(edited.find(vetissim::known::kOwnEntityGuid)->LOGIN), "sim-user");
    EXPECT_FALSE(edited.find("11111111-2222-3333-4444-555555555555").has_value());

    store::setZText(record.LOGIN, "other");
    EXPECT_EQ(edited.put(record), store::kAccessDenied);
    EXPECT_EQ(framework::lastError().code, store::kAccessDenied);
    EXPECT_EQ(edited.add(record), store::kAccessDenied);
    EXPECT_EQ(edited.remove(vetissim::known::kOwnEntityGuid), store::kAccessDenied);
    EXPECT_EQ(store::ztextOf(edited.find(vetissim::known::kOwnEntityGuid)->LOGIN), "sim-user");
    framework::clearLastError();
}
