// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/ProcessSettings.h"

#include <atomic>
#include <mutex>

namespace framework::process {

namespace {

std::mutex g_mutex;
QString g_programFolder;
QString g_dataFolder;
QString g_listFormatFile;
QString g_temporaryExportFolder;
std::atomic<int> g_uiFontSize{kDefaultUiFontSize};
std::atomic<std::size_t> g_maxAnswerBytes{kDefaultMaxAnswerBytes};

QString read(const QString& value)
{
    std::lock_guard lock(g_mutex);
    return value;
}

void write(QString& value, const QString& v)
{
    std::lock_guard lock(g_mutex);
    value = v;
}

} // namespace

QString programFolder()
{
    return read(g_programFolder);
}
void setProgramFolder(const QString& folder)
{
    write(g_programFolder, folder);
}
QString dataFolder()
{
    return read(g_dataFolder);
}
void setDataFolder(const QString& folder)
{
    write(g_dataFolder, folder);
}
QString listFormatFile()
{
    return read(g_listFormatFile);
}
void setListFormatFile(const QString& path)
{
    write(g_listFormatFile, path);
}
QString temporaryExportFolder()
{
    return read(g_temporaryExportFolder);
}
void setTemporaryExportFolder(const QString& folder)
{
    write(g_temporaryExportFolder, folder);
}

int uiFontSize()
{
    return g_uiFontSize.load();
}

void setUiFontSize(int points)
{
    g_uiFontSize.store(points);
}

std::size_t maxAnswerBytes()
{
    return g_maxAnswerBytes.load();
}

void setMaxAnswerBytes(std::size_t bytes)
{
    g_maxAnswerBytes.store(bytes);
}

} // namespace framework::process
