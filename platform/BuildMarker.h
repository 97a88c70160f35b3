// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "platform/Compiler.h"

// Our own shared libraries carry their build number in a marker that start-up
// reads from the file without loading it, the way the Windows build reads the
// version resource: the bytes "ZANVO-BUILD:" followed by four upper-case
// hexadecimal digits. A library without the marker is checked for presence only.
#define ZANVO_BUILD_MARKER_PREFIX "ZANVO-BUILD:"

#define ZANVO_STR2(x) #x
#define ZANVO_STR(x) ZANVO_STR2(x)

// Places the marker into the library that expands it. ZANVO_USED keeps the
// compiler from dropping it; the hex text is produced by the build from ZANVO_BUILD_HEX.
#define ZANVO_DEFINE_BUILD_MARKER(name)                                                                      \
    extern "C" ZANVO_USED const char name[] = ZANVO_BUILD_MARKER_PREFIX ZANVO_STR(ZANVO_BUILD_HEX)
