// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "framework/MessageBox.h"

#include <QString>
#include <cstdint>

// Start-up checks that every file the program needs lies where it should and
// that our own libraries carry the program's build number. On Windows the
// number is read from a library's version resource; elsewhere from the build
// marker inside the file ("ZANVO-BUILD:" and four upper-case hex digits).
namespace shell {

struct BuildMarker
{
    enum Status
    {
        Absent,     // no marker (or the file cannot be read): presence only
        Found,      // `build` holds the marker's number
        Unreadable, // a marker whose digits are not four upper-case hex digits
    };
    Status status = Absent;
    std::uint16_t build = 0;
};

BuildMarker readBuildMarker(const QString& path);

// Where the messages of the check go and what they name.
struct CheckContext
{
    QString programPath; // the program's own full path (long form)
    framework::MessagePresenter* presenter = nullptr;
};

// Checks one required file. `expectedBuild` 0 means presence only; otherwise
// the low 16 bits of the library's build must equal those of `expectedBuild`.
// Returns true when the check failed (after showing its message), false when
// it passed. `reportUnreadable` shows a message when the version information
// cannot be read; the check passes then anyway.
[[nodiscard]] bool CheckProgramFile(const QString& path, unsigned expectedBuild, bool reportUnreadable,
                                    const CheckContext& context);
// The same for the running program and the process-wide presenter.
[[nodiscard]] bool CheckProgramFile(const QString& path, unsigned expectedBuild, bool reportUnreadable);

// The messages of start-up (they are shown exactly like this).
framework::MessageRequest buildMismatchMessage();                                                     // M1
framework::MessageRequest missingFileMessage(const QString& programPath, const QString& missingFile); // M2
framework::MessageRequest unreadableVersionMessage();                                                 // M3
framework::MessageRequest dataFolderMessage();                                                        // M4
framework::MessageRequest otherBuildMessage(const QString& programPath, unsigned expectedBuild,
                                            const QString& libraryPath, unsigned libraryBuild); // M5

// "1005  ( 4101 )": four upper-case hex digits of the low 16 bits, then the
// decimal value of the same.
QString buildText(unsigned build);

} // namespace shell
