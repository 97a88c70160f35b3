// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "framework/MessageBox.h"
#include "vetis/TransportSettings.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace vetis {
class TransferControl;
}

// The check for a newer version of the program and the download of its
// installer. The functions here are synchronous and show nothing: a window
// runs them on a worker thread and tells the user what they returned.
namespace shell {

// Where the maker's site is asked for the version file.
struct UpdateSources
{
    // Base URLs of the site's two hosts, without a trailing '/'. Empty
    // entries are skipped; none at all means no update information exists.
    QStringList baseUrls;
    // Plain http for the version file and the installer. Only tests set it
    // (against a local server); the program's own sources require https
    // with verified certificates.
    bool allowPlainHttp = false;
    vetis::TransportSettings transport;
};

// The sources the program was built with: "https://" + each configured host.
UpdateSources programUpdateSources();

// What the site publishes about its newest version.
struct PublishedVersion
{
    QDate date;
    QString link;   // URL of the installer
    QString sha256; // hex SHA-256 of the installer; empty when not published
};

// Reads the version file (INI, section "VetisZnv", keys "Date" dd.mm.yyyy,
// "Link" and the optional "Sha256"). Nothing when the file cannot be read or
// carries no usable date and link.
std::optional<PublishedVersion> readVersionFile(const QString& path);

// Asks the hosts for the version file, starting with host `firstHost` (0 or
// 1; -1 chooses at random) and falling back to the other when the first one
// fails or publishes no usable date and link. A link the sources may not
// fetch (not https in the program) counts as none. The temporary file is a
// new GUID name + ".tmp" in `temporaryFolder` and is removed afterwards.
std::optional<PublishedVersion> fetchPublishedVersion(const UpdateSources& sources,
                                                      const QString& temporaryFolder, int firstHost = -1);

enum class UpdateVerdict
{
    NoInformation, // no host answered usefully
    Current,       // the program is not older than the published version
    Newer,         // a newer version can be downloaded
};

UpdateVerdict judgeUpdate(const QDate& programVersionDate, const std::optional<PublishedVersion>& published);

// The message of a verdict that ends the check (NoInformation, Current).
framework::MessageRequest verdictMessage(UpdateVerdict verdict);

enum class InstallerDownload
{
    Done,
    TargetLocked,     // an existing target file could not be deleted
    Failed,           // the transfer failed
    Missing,          // the transfer succeeded but no file is there
    ChecksumMismatch, // the file is not the published one; it was deleted
};

// Downloads the installer of `published` into `target` (an existing file is
// deleted first) and checks it against the published SHA-256 when there is
// one. `control` shows the progress and may be null.
InstallerDownload downloadInstaller(const PublishedVersion& published, const QString& target,
                                    const UpdateSources& sources, vetis::TransferControl* control = nullptr);

// What the user is told after a download of `target` (for Done: of the
// installation kit saved there).
framework::MessageRequest installerDownloadMessage(InstallerDownload result, const QString& target);

// Whether the installer may be run from here: only on Windows, and only
// when the program runs from a local drive (not a network path).
bool canRunInstaller(const QString& programPath);

// The installer's parameters: " /SILENT /DIR=" and the program's folder in
// double quotes.
QString installerParameters(const QString& programFolder);

// The name proposed for the installation kit: the installer's file name
// from `link` in `folder` ("C:\" on Windows).
QString proposedKitPath(const QString& link, const QString& folder);

// The file name of a new temporary file: GUID text + suffix in `folder`.
QString newTemporaryFile(const QString& folder, const QString& suffix);

} // namespace shell
