// SPDX-License-Identifier: LicenseRef-Kestrom
#include "platform/Build.h"

#include "platform/BuildMarker.h"

ZANVO_DEFINE_BUILD_MARKER(zanvo_platform_build_marker);

extern "C" unsigned zanvo_platform_build(void)
{
    return static_cast<unsigned>(ZANVO_BUILD_NUMBER) & 0xFFFFu;
}

namespace platform {

std::uint16_t runtimeBuild()
{
    return static_cast<std::uint16_t>(zanvo_platform_build());
}

} // namespace platform
