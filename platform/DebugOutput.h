// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "platform/Export.h"

#include <functional>
#include <string_view>

// The operating system's debug output: OutputDebugStringA on Windows, the Qt
// logging category "vetis.curl" elsewhere (off unless enabled, for example with
// QT_LOGGING_RULES="vetis.curl.debug=true").
namespace platform {

ZANVO_PLATFORM_EXPORT void debugOutput(std::string_view line);

// Tests listen to the trace through this hook; it is called in addition to the
// system output. Pass an empty function to remove it.
ZANVO_PLATFORM_EXPORT void setDebugOutputListener(std::function<void(std::string_view)> listener);

} // namespace platform
