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

// True when the trace should carry the bodies of requests and answers as well:
// the Qt logging category "vetis.curl.body" is enabled for debug messages
// (QT_LOGGING_RULES="vetis.curl.body.debug=true"), on every system. Off by
// default, since bodies are large and are the user's business data.
ZANVO_PLATFORM_EXPORT bool debugOutputBodies();

// Tests listen to the trace through this hook; it is called in addition to the
// system output. Pass an empty function to remove it.
ZANVO_PLATFORM_EXPORT void setDebugOutputListener(std::function<void(std::string_view)> listener);

} // namespace platform
