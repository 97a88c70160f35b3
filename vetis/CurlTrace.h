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

// A trace line of libcurl's debug information: "[libcurl] TYPE: text", built
// in one piece.
inline void curlTrace(std::string_view typeName, std::string_view text)
{
    std::string line;
    line.reserve(12 + typeName.size() + text.size());
    line.append("[libcurl] ").append(typeName).append(": ").append(text);
    platform::debugOutput(line);
}

} // namespace vetis
