// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "framework/MessageBox.h"
#include "shell/RequiredFiles.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

// The program's start-up: settings, the integrity checks, the folders, the
// main window, the write-back at exit. Every failed check stops start-up after
// exactly one message, before anything is written to any table.
namespace shell {

// Everything start-up takes from the outside world, so that a test can run it
// against a made-up installation.
struct StartupEnvironment
{
    QStringList arguments; // the command line, the program first
    QString programPath;   // the program's own full path
    QString programFolder; // its folder, with a trailing '/'
    std::vector<RequiredFile> requiredFiles;
    std::uint16_t programBuild = 0;                   // P: the build the program was compiled with
    std::uint16_t runtimeBuild = 0;                   // R: the build of the loaded runtime library
    QString dataFolder;                               // the current folder at start
    QString localAppData;                             // the per-user application-data folder
    QString homeFolder;                               // the user's home folder (the default demo folder)
    framework::MessagePresenter* presenter = nullptr; // nullptr: the process-wide one

    // Asked, with the question of the demo offer, when the data folder has no
    // own business entity yet; true starts the demo in the default demo
    // folder. Null: the demo is never offered.
    std::function<bool(const QString& question)> offerDemo;
    // Font sizes and other settings of the window layer (none without windows).
    std::function<void()> applyUiDefaults;
    // Runs the main window until it closes; returns the exit code.
    std::function<int()> runMainWindow;
    // Writes back the list formats changed during the run.
    std::function<void()> exitWriteBack;
};

// The environment of the running program; the caller adds the window parts.
StartupEnvironment processEnvironment(const QStringList& arguments);

enum class StartupStage
{
    NotStarted,
    SettingsApplied,      // steps 1-3
    InstallationVerified, // steps 4-6
    FoldersReady,         // steps 7-8
    MainWindowRan,        // step 9
    WrittenBack,          // step 10
};

enum class StartupStop
{
    None,
    BuildMismatch, // P differs from R
    RequiredFile,  // a required file is missing or of another build
    DataFolder,    // the data folder does not exist
    Demo,          // the demo's service or data folder could not be had
};

struct StartupOutcome
{
    int exitCode = 0;
    StartupStage reached = StartupStage::NotStarted; // last stage completed
    StartupStop stop = StartupStop::None;
    QString listFormatFile;
    QString temporaryExportFolder;
    bool demo = false; // the program ran the demo
};

[[nodiscard]] StartupOutcome runStartup(const StartupEnvironment& environment);

// Exit code of a start-up stopped by a failed check.
constexpr int kStartupFailedExitCode = 1;

} // namespace shell
