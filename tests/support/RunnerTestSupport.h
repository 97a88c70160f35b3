// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once
// Helpers of the tests that run exchanges off the window's thread.
#include "framework/MessageBox.h"
#include "store/RecordText.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/ExchangeRunner.h"
#include "vetis/VetisSettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace runnertest {

// A small world of the VetIS test double: quick to build, also under the sanitizers.
inline vetissim::SimConfig quickSimConfig()
{
    vetissim::SimConfig config;
    config.fixtures.vsdCount = 3;
    config.fixtures.bigLocalityStreets = 10;
    return config;
}

// Settings that the VetIS test double accepts.
inline store::VetisRecord simSettings(const vetissim::VetisSim& sim, std::uint8_t answerMode)
{
    store::VetisRecord s = vetis::clearedVetisRecord();
    store::setText(s.GUID, vetissim::known::kOwnEntityGuid);
    store::setZText(s.LOGIN, sim.config().user);
    store::setZText(s.PASSWORD, sim.config().password);
    store::setZText(s.APIKEY, sim.config().apiKey);
    store::setZText(s.WEBLOGIN, "clerk");
    s.ANSWER = answerMode;
    return s;
}

// Runs this thread's event loop until the runner ends its run or the time is up.
[[nodiscard]] inline std::optional<vetis::ExchangeRunResult> waitForResult(vetis::ExchangeRunner& runner,
                                                                           int ms = 10000)
{
    std::optional<vetis::ExchangeRunResult> result;
    if (!runner.isRunning())
        return result;
    QEventLoop loop;
    const auto connection = QObject::connect(&runner, &vetis::ExchangeRunner::finished, &loop,
                                             [&](const vetis::ExchangeRunResult& r) {
                                                 result = r;
                                                 loop.quit();
                                             });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    return result;
}

// Waits without running any event loop: nothing queued to this thread is handled.
[[nodiscard]] inline bool waitWithoutEvents(const std::function<bool()>& condition, int ms = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(5);
    }
    return true;
}

// Runs the event loop until the condition holds or the time is up.
[[nodiscard]] inline bool waitWithEvents(const std::function<bool()>& condition, int ms = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// The program's presenter as the tests see it: keeps every box with the
// thread that showed it and answers through a hook, else with the default.
class ThreadNotingPresenter final : public framework::MessagePresenter
{
public:
    struct Shown
    {
        framework::MessageRequest request;
        QThread* thread = nullptr;
    };

    int present(const framework::MessageRequest& request) override
    {
        std::function<int(const framework::MessageRequest&)> hook;
        {
            std::lock_guard lock(m_mutex);
            m_shown.push_back({request, QThread::currentThread()});
            hook = answer;
        }
        return hook ? hook(request) : request.defaultAnswer();
    }
    void presentHistory(const std::vector<framework::HistoryEntry>&) override {}

    std::vector<Shown> shown() const
    {
        std::lock_guard lock(m_mutex);
        return m_shown;
    }
    std::vector<QString> texts() const
    {
        std::vector<QString> out;
        for (const Shown& s : shown())
            out.push_back(s.request.text);
        return out;
    }

    // Set before the run starts.
    std::function<int(const framework::MessageRequest&)> answer;

private:
    mutable std::mutex m_mutex;
    std::vector<Shown> m_shown;
};

} // namespace runnertest
