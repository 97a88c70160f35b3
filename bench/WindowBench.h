// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QWidget>

#include <chrono>
#include <fstream>
#include <string>

// What the window benchmarks share: a clock in milliseconds, the process's
// resident memory, and painting a list now (the offscreen platform paints
// only when asked).
namespace bench {

using Clock = std::chrono::steady_clock;

inline double msSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// Resident memory in KiB (Linux); 0 where it cannot be read.
inline long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

inline void paintNow(QAbstractItemView* view)
{
    QCoreApplication::processEvents();
    if (view)
        static_cast<void>(view->viewport()->grab());
}

} // namespace bench
