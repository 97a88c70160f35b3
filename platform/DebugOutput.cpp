// SPDX-License-Identifier: LicenseRef-Kestrom
#include "platform/DebugOutput.h"

#include <QLoggingCategory>
#include <mutex>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

Q_LOGGING_CATEGORY(vetisCurl, "vetis.curl", QtWarningMsg)
Q_LOGGING_CATEGORY(vetisCurlBody, "vetis.curl.body", QtWarningMsg)

namespace platform {

namespace {
std::mutex& listenerMutex()
{
    static std::mutex m;
    return m;
}
std::function<void(std::string_view)>& listener()
{
    static std::function<void(std::string_view)> f;
    return f;
}
} // namespace

void debugOutput(std::string_view line)
{
#if defined(_WIN32)
    std::string z(line);
    OutputDebugStringA(z.c_str());
#else
    if (vetisCurl().isDebugEnabled())
        qCDebug(vetisCurl).noquote() << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
#endif
    std::lock_guard lock(listenerMutex());
    if (listener())
        listener()(line);
}

bool debugOutputBodies()
{
    return vetisCurlBody().isDebugEnabled();
}

void setDebugOutputListener(std::function<void(std::string_view)> f)
{
    std::lock_guard lock(listenerMutex());
    listener() = std::move(f);
}

} // namespace platform
