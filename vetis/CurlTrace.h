// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "platform/DebugOutput.h"

#include <string>
#include <string_view>

// The transport has no log file: its trace lines and diagnostics go to the
// operating system's debug output, every one prefixed "[libcurl] ".
namespace vetis {

inline void curlTrace(std::string_view message)
{
    std::string line;
    line.reserve(10 + message.size());
    line.append("[libcurl] ").append(message);
    platform::debugOutput(line);
}

} // namespace vetis
