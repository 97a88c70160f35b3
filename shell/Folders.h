// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "framework/MessageBox.h"

#include <QString>

// Where the list formats and the temporary export files live.
namespace shell {

// The maker's folder under the per-user application-data folder.
inline constexpr char16_t kMakerFolder[] = u"Kestrom";

// The full path of the list-format file "lf.dat" for `applicationName`:
// in the folder `fpath` when it is given and exists (else a warning, once);
// otherwise in localAppData + "Kestrom/" + applicationName + "/", created with
// its parents when missing; when that cannot be had, in the current folder.
// `localAppData` is the per-user application-data folder (empty: the system
// has none).
QString ListFormatFilePath(const QString& applicationName, const QString& fpath,
                           framework::MessagePresenter& presenter, const QString& localAppData);
// The same for the running program: FPATH from its command line and the
// system's per-user folder.
QString ListFormatFilePath(const QString& applicationName);

// The warning shown when FPATH names a folder that does not exist.
framework::MessageRequest listFormatFolderWarning(const QString& folder);

// The folder for temporary export files: `ram` when it names an existing
// folder, else the system's temporary folder; long form with a trailing '/'.
QString temporaryExportFolder(const QString& ram);

} // namespace shell
