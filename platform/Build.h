// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "platform/Export.h"

#include <cstdint>

namespace platform {

// The build number the executable was compiled with (P).
constexpr std::uint16_t kProgramBuild = static_cast<std::uint16_t>(ZANVO_BUILD_NUMBER);

// The build number of the runtime library actually loaded (R).
ZANVO_PLATFORM_EXPORT std::uint16_t runtimeBuild();

} // namespace platform

extern "C" ZANVO_PLATFORM_EXPORT unsigned zanvo_platform_build(void);
