// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#if defined(_WIN32)
#if defined(ZANVO_XMLTYPES_LIBRARY)
#define ZANVO_XMLTYPES_EXPORT __declspec(dllexport)
#else
#define ZANVO_XMLTYPES_EXPORT __declspec(dllimport)
#endif
#else
#define ZANVO_XMLTYPES_EXPORT __attribute__((visibility("default")))
#endif

// The build number this library was built with.
extern "C" ZANVO_XMLTYPES_EXPORT unsigned zanvo_xmltypes_build(void);
