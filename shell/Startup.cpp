// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/Startup.h"

#include "framework/ErrorManager.h"
#include "framework/LocaleTexts.h"
#include "framework/ProcessSettings.h"
#include "framework/StorageErrorTexts.h"
#include "framework/WindowPositions.h"
#include "platform/Build.h"
#include "platform/Paths.h"
#include "shell/CheckProgramFile.h"
#include "shell/CommandLine.h"
#include "shell/DemoData.h"
#include "shell/DemoMode.h"
#include "shell/Folders.h"

#include <QDir>
#include <QFileInfo>

namespace shell {

namespace {

// Step 11: what has to happen however start-up ends.
void finish()
{
    stopDemo();
    framework::windowpositions::close();
}

// The answer size limit of the program's settings ("MaxAnswerMB"); a value
// that is absent or not a whole number of megabytes in range leaves the default.
std::size_t configuredMaxAnswerBytes()
{
    bool ok = false;
    const int megabytes =
        framework::windowpositions::get(QString(), QStringLiteral("MaxAnswerMB")).toInt(&ok);
    if (!ok || megabytes < 1 || megabytes > framework::process::kMaxAnswerMegabytesLimit)
        return framework::process::kDefaultMaxAnswerBytes;
    return static_cast<std::size_t>(megabytes) << 20;
}

StartupOutcome stopped(StartupOutcome outcome, StartupStop why)
{
    outcome.stop = why;
    outcome.exitCode = kStartupFailedExitCode;
    finish();
    return outcome;
}

} // namespace

StartupEnvironment processEnvironment(const QStringList& arguments)
{
    StartupEnvironment env;
    env.arguments = arguments;
    env.programPath = platform::programPath();
    env.programFolder = platform::programFolder();
    env.requiredFiles = requiredFiles(env.programFolder);
    env.programBuild = platform::kProgramBuild;
    env.runtimeBuild = platform::runtimeBuild();
    env.dataFolder = QDir::currentPath();
    env.localAppData = platform::localAppDataFolder();
    env.homeFolder = QDir::homePath();
    return env;
}

StartupOutcome runStartup(const StartupEnvironment& env)
{
    StartupOutcome outcome;
    framework::MessagePresenter& presenter = env.presenter ? *env.presenter : framework::messagePresenter();
    const CommandLine args = parseCommandLine(env.arguments);

    // 1. The error manager, the window-position store, the UI font size, the
    // longest answer taken from the services.
    framework::errorManager();
    framework::windowpositions::open();
    framework::process::setUiFontSize(framework::process::kDefaultUiFontSize);
    framework::process::setMaxAnswerBytes(configuredMaxAnswerBytes());
    // 2. Locale, button captions, the window layer's defaults.
    framework::applyRussianLocale();
    framework::setStandardButtonCaptions(framework::programButtonCaptions());
    if (env.applyUiDefaults)
        env.applyUiDefaults();
    // 3. The program folder.
    framework::process::setProgramFolder(env.programFolder);
    outcome.reached = StartupStage::SettingsApplied;

    // 4. The program and the runtime library it runs on must be of one build.
    if (env.programBuild != env.runtimeBuild) {
        framework::showNotice(presenter, buildMismatchMessage());
        return stopped(outcome, StartupStop::BuildMismatch);
    }
    // 5. Every required file, in order; the first failure stops.
    const CheckContext context{env.programPath, &presenter};
    for (const RequiredFile& file : env.requiredFiles) {
        if (CheckProgramFile(file.path, file.versionChecked ? env.runtimeBuild : 0u, false, context))
            return stopped(outcome, StartupStop::RequiredFile);
    }
    // 6. The texts of the storage error codes.
    framework::installStorageErrorTexts();
    outcome.reached = StartupStage::InstallationVerified;

    // 7. The data folder must exist; its "Base" is created when missing. A
    // failure to create it shows up when the tables are opened. The demo
    // makes its own data folder.
    QString dataFolderPath = env.dataFolder;
    if (args.demo) {
        dataFolderPath = args.demoFolder.isEmpty() ? defaultDemoFolder(env.homeFolder)
                                                   : QDir(env.dataFolder).absoluteFilePath(args.demoFolder);
        QDir().mkpath(dataFolderPath);
    }
    if (dataFolderPath.isEmpty() || !QFileInfo(dataFolderPath).isDir()) {
        framework::showNotice(presenter, dataFolderMessage());
        return stopped(outcome, StartupStop::DataFolder);
    }
    QString dataFolder = platform::withTrailingSlash(dataFolderPath);
    framework::process::setDataFolder(dataFolder);
    QDir(dataFolder).mkdir(QStringLiteral("Base"));
    // 8. The list-format file and the temporary export folder.
    outcome.listFormatFile =
        ListFormatFilePath(QStringLiteral("Vetis"), args.fpath, presenter, env.localAppData);
    framework::process::setListFormatFile(outcome.listFormatFile);
    outcome.temporaryExportFolder = temporaryExportFolder(args.ram);
    framework::process::setTemporaryExportFolder(outcome.temporaryExportFolder);
    // The demo: asked for, or accepted when offered for a data folder that
    // has no own entity yet (in a folder of its own: the user's stays as it is).
    bool demo = args.demo;
    if (!demo && env.offerDemo && !dataFolderHasOwnEntity(dataFolder) && env.offerDemo(demoOfferQuestion())) {
        demo = true;
        dataFolder = defaultDemoFolder(env.homeFolder);
    }
    if (demo) {
        QString error;
        if (!startDemo(dataFolder, error)) {
            framework::problemMessage(presenter, error, true);
            return stopped(outcome, StartupStop::Demo);
        }
        outcome.demo = true;
    }
    outcome.reached = StartupStage::FoldersReady;

    // 9. The main window.
    outcome.exitCode = env.runMainWindow ? env.runMainWindow() : 0;
    outcome.reached = StartupStage::MainWindowRan;
    // 10. The list formats changed during the run.
    if (env.exitWriteBack)
        env.exitWriteBack();
    outcome.reached = StartupStage::WrittenBack;
    // 11.
    finish();
    return outcome;
}

} // namespace shell
