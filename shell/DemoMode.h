// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

// The demo as a mode of the running program: its service runs for the rest of
// the process, its data folder is the process's data folder, and the windows
// say that they show the demo ("ДЕМО" in the main window's title).
namespace shell {

// True while the process runs the demo.
bool isDemoRun();

// Starts the demo's service (DemoService) for the rest of the process,
// prepares `demoFolder` (created when missing) as the demo's data folder and
// makes it the process's data folder (and current folder). False, with `error` for the user ('|'
// breaks the line), when the service cannot start or the folder cannot be
// prepared; the service is then stopped again and nothing else has changed.
[[nodiscard]] bool startDemo(const QString& demoFolder, QString& error);

// Stops the demo's service and points the process back at the real services;
// nothing when no demo runs. Start-up calls it when the program ends.
void stopDemo();

} // namespace shell
