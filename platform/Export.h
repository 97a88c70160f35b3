// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#if defined(_WIN32)
#if defined(ZANVO_PLATFORM_LIBRARY)
#define ZANVO_PLATFORM_EXPORT __declspec(dllexport)
#else
#define ZANVO_PLATFORM_EXPORT __declspec(dllimport)
#endif
#else
#define ZANVO_PLATFORM_EXPORT __attribute__((visibility("default")))
#endif
