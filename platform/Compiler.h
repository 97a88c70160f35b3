// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

// The few compiler-specific spellings the sources use, each with a form every
// compiler we build with (GCC, Clang, MSVC) accepts.

// Keeps an object the program never references in the object file. MSVC drops
// unreferenced data only under /Gw, which the build does not use, so it needs
// no marking.
#if defined(__GNUC__) || defined(__clang__)
#define ZANVO_USED __attribute__((used))
#else
#define ZANVO_USED
#endif

// Asks for the cache line at ADDRESS ahead of a write. A hint only: where the
// compiler has no such built-in it does nothing.
#if defined(__GNUC__) || defined(__clang__)
#define ZANVO_PREFETCH_FOR_WRITE(address) __builtin_prefetch((address), 1)
#else
#define ZANVO_PREFETCH_FOR_WRITE(address) ((void)(address))
#endif

// SSE2 instructions may be used: always on x86-64 (GCC, Clang, MSVC), on
// 32-bit x86 when the compiler targets them. Code that uses them keeps a
// portable branch for other processors.
#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define ZANVO_HAVE_SSE2 1
#else
#define ZANVO_HAVE_SSE2 0
#endif
