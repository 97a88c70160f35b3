// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "platform/Export.h"

#include <QString>

// Folders the program asks the system for. Every folder returned ends with the
// native separator replaced by '/', and with a trailing '/'.
namespace platform {

// Folder of the running executable.
ZANVO_PLATFORM_EXPORT QString programFolder();
// Full path of the running executable.
ZANVO_PLATFORM_EXPORT QString programPath();
// The current user's local application-data folder (CSIDL 28 on Windows,
// the generic data location elsewhere); empty when the system has none.
ZANVO_PLATFORM_EXPORT QString localAppDataFolder();
// The system's temporary folder.
ZANVO_PLATFORM_EXPORT QString systemTempFolder();
// The long (not 8.3) absolute form of a path; the path itself where the system
// has no short names.
ZANVO_PLATFORM_EXPORT QString longPathName(const QString& path);
// Appends '/' unless the path is empty or already ends with a separator.
ZANVO_PLATFORM_EXPORT QString withTrailingSlash(const QString& path);

} // namespace platform
