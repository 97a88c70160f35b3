// SPDX-License-Identifier: LicenseRef-Kestrom
#include "xmltypes/XmlTypes.h"

#include "platform/BuildMarker.h"

ZANVO_DEFINE_BUILD_MARKER(zanvo_xmltypes_build_marker);

extern "C" unsigned zanvo_xmltypes_build(void)
{
    return static_cast<unsigned>(ZANVO_BUILD_NUMBER) & 0xFFFFu;
}
