// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/DemoMode.h"

#include "framework/ProcessSettings.h"
#include "platform/Paths.h"
#include "shell/DemoData.h"
#include "shell/DemoService.h"

#include <QDir>

#include <atomic>
#include <memory>
#include <mutex>

namespace shell {

namespace {

std::mutex g_demoMutex;
std::unique_ptr<DemoService> g_demoService;
std::atomic<bool> g_demoRun{false};

} // namespace

bool isDemoRun()
{
    return g_demoRun.load();
}

bool startDemo(const QString& demoFolder, QString& error)
{
    const std::lock_guard lock(g_demoMutex);
    const QString folder = platform::withTrailingSlash(QDir(demoFolder).absolutePath());
    if (!QDir().mkpath(folder + QStringLiteral("Base"))) {
        error = QStringLiteral("Нет доступа к папке демонстрационного режима:|") +
                QDir::toNativeSeparators(folder);
        return false;
    }
    // A demo that runs already keeps its service; a new one stops it again
    // when the folder cannot be had.
    const bool wasRunning = g_demoService != nullptr;
    if (!wasRunning)
        g_demoService = std::make_unique<DemoService>();
    if (!g_demoService->start()) {
        error =
            QStringLiteral("Не удалось запустить учебный сервис Ветис.API:|") + g_demoService->errorText();
        g_demoService.reset();
        return false;
    }
    const DemoPreparation prepared = prepareDemoDataFolder(folder, *g_demoService);
    if (!prepared.ok) {
        if (!wasRunning)
            g_demoService.reset();
        error = QStringLiteral("Не удалось подготовить данные демонстрационного режима в папке|") +
                QDir::toNativeSeparators(folder) + u'|' + prepared.error;
        return false;
    }
    // The data folder is the current folder of the process, for whatever
    // opens tables relative to it.
    QDir::setCurrent(folder);
    framework::process::setDataFolder(folder);
    g_demoRun = true;
    return true;
}

void stopDemo()
{
    const std::lock_guard lock(g_demoMutex);
    g_demoRun = false;
    if (g_demoService)
        g_demoService->stop();
    g_demoService.reset();
}

} // namespace shell
