// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>
#include <vector>

// The files the program cannot run without, in the order start-up checks
// them: our own libraries first (they must carry the program's build number),
// then every other shared library the program loads (presence only).
namespace shell {

struct RequiredFile
{
    QString path;
    bool versionChecked = false;
};

// Our own libraries, looked for in the program folder.
std::vector<RequiredFile> ownLibraries(const QString& programFolder);

// The whole list for the running program. On Windows every library lies in
// the program folder. Elsewhere the other libraries are wherever the dynamic
// loader found them; a library of the list that this program does not load
// at all is not required of it.
std::vector<RequiredFile> requiredFiles(const QString& programFolder);

// Where the dynamic loader found the loaded library whose file name begins
// with `prefix` ("libQt6Core.so"); empty when none is loaded.
QString loadedLibraryPath(const QString& prefix);

} // namespace shell
