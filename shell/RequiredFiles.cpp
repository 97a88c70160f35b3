// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/RequiredFiles.h"

#include <QFileInfo>

#if !defined(_WIN32)
#include <link.h>
#endif

namespace shell {

namespace {

#if defined(_WIN32)
const char* const kOtherLibraries[] = {"Qt6Core.dll", "Qt6Gui.dll",        "Qt6Widgets.dll",
                                       "sqlite3.dll", "libsodium.dll",     "pugixml.dll",
                                       "libcurl.dll", "libxlsxwriter.dll", "zlib1.dll"};
#else
// Prefixes of the sonames: the window layer, the table driver and its
// encryption, the XML library, the transport, the workbook writer and zlib.
const char* const kOtherLibraries[] = {"libQt6Core.so", "libQt6Gui.so",     "libQt6Widgets.so",
                                       "libsqlite3.so", "libsodium.so",     "libpugixml.so",
                                       "libcurl.so",    "libxlsxwriter.so", "libz.so"};

struct Search
{
    QString prefix;
    QString found;
};

int visit(struct dl_phdr_info* info, size_t, void* data)
{
    auto* search = static_cast<Search*>(data);
    if (!info->dlpi_name || !*info->dlpi_name)
        return 0;
    const QString path = QString::fromLocal8Bit(info->dlpi_name);
    if (QFileInfo(path).fileName().startsWith(search->prefix)) {
        search->found = path;
        return 1;
    }
    return 0;
}
#endif

} // namespace

std::vector<RequiredFile> ownLibraries(const QString& programFolder)
{
#if defined(_WIN32)
    return {{programFolder + QStringLiteral("zanvo_platform.dll"), true},
            {programFolder + QStringLiteral("zanvo_xmltypes.dll"), true}};
#else
    return {{programFolder + QStringLiteral("libzanvo_platform.so"), true},
            {programFolder + QStringLiteral("libzanvo_xmltypes.so"), true}};
#endif
}

QString loadedLibraryPath(const QString& prefix)
{
#if defined(_WIN32)
    Q_UNUSED(prefix);
    return {};
#else
    Search search{prefix, {}};
    dl_iterate_phdr(visit, &search);
    return search.found;
#endif
}

std::vector<RequiredFile> requiredFiles(const QString& programFolder)
{
    std::vector<RequiredFile> files = ownLibraries(programFolder);
    for (const char* name : kOtherLibraries) {
#if defined(_WIN32)
        files.push_back({programFolder + QString::fromLatin1(name), false});
#else
        const QString path = loadedLibraryPath(QString::fromLatin1(name));
        if (!path.isEmpty())
            files.push_back({path, false});
#endif
    }
    return files;
}

} // namespace shell
