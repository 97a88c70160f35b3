// SPDX-License-Identifier: LicenseRef-Kestrom
// A slow answer neither freezes the window nor traps the user: the cancel
// button, pressed while the exchange waits, stops the transfer at once.
#include "vetis/ui/TransferProgress.h"
#include "framework/RecordingPresenter.h"
#include "store/RecordText.h"
#include "support/FakeVetisSettingsRepository.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"
#include "vetis/Exchange.h"
#include "vetis/VetisSettings.h"

#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

TEST(TransferProgress, CancelStopsASlowExchangeAndTheWindowKeepsWorking)
{
    framework::RecordingPresenter presenter;
    framework::setMessagePresenter(&presenter);
    vetissim::VetisSim sim;
    ASSERT_TRUE(sim.start()) << sim.errorString();
    vetissim::FaultRule slow;
    slow.kind = vetissim::FaultKind::Delay;
    slow.delayMs = 8000;
    sim.addFault(slow);
    vetis::setEndpointBaseOverride(sim.baseUrl());

    FakeVetisSettingsRepository repo;
    store::VetisRecord s = vetis::clearedVetisRecord();
    store::setText(s.GUID, vetissim::known::kOwnEntityGuid);
    store::setZText(s.LOGIN, sim.config().user);
    store::setZText(s.PASSWORD, sim.config().password);
    store::setZText(s.APIKEY, sim.config().apiKey);
    s.ANSWER = 1;
    repo.records[vetissim::known::kOwnEntityGuid] = s;

    QProgressBar bar;
    QPushButton cancel;
    cancel.setEnabled(false);
    vetis::RequestRecord r;
    r.VREQUEST = 3;
    store::setText(r.VETISGUID, vetissim::known::kOwnEntityGuid);
    vetis::ExchangeContext context;
    context.settings = &repo;

    int timerTicks = 0;
    QTimer ticker; // stands for everything else the window does meanwhile
    QObject::connect(&ticker, &QTimer::timeout, &ticker, [&] { ++timerTicks; });
    ticker.start(50);
    QTimer::singleShot(600, &cancel, [&] { cancel.click(); });

    QElapsedTimer clock;
    clock.start();
    bool result = true;
    {
        vetis::ui::TransferProgress progress(&bar, &cancel);
        EXPECT_TRUE(cancel.isEnabled());
        r.control = &progress;
        result = vetis::Exchange(r, context);
    }
    const qint64 elapsed = clock.elapsed();

    EXPECT_FALSE(result);
    EXPECT_TRUE(context.outcome.cancelled());
    EXPECT_LT(elapsed, 5000) << "the transfer stopped long before the answer would have come";
    EXPECT_GE(timerTicks, 5) << "the window went on processing its events";
    EXPECT_FALSE(cancel.isEnabled()) << "the button is given back as it was";
    EXPECT_TRUE(presenter.shown().empty()) << "a cancel is no error to report";

    vetis::clearEndpointOverrides();
    framework::setMessagePresenter(nullptr);
}
