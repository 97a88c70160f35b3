// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "platform/Export.h"

#include <QString>
#include <QStringView>
#include <cstddef>
#include <string>
#include <string_view>

// Texts inside records are Windows-1251 bytes; the services speak UTF-8 and the
// windows speak QString. These are the only conversions between them.
namespace platform {

// What a conversion could not carry over as it was.
struct ConversionLoss
{
    // Ill-formed UTF-8: stray or missing continuation bytes, overlong forms,
    // surrogates, code points past U+10FFFF, a sequence cut short. Each
    // maximal ill-formed part counts once.
    std::size_t invalid = 0;
    // Well-formed characters the code page lacks (CJK, emoji, ...).
    std::size_t unmappable = 0;

    bool any() const { return invalid != 0 || unmappable != 0; }
};

// UTF-8 -> Windows-1251. Everything that can be converted is; each ill-formed
// part of the input and each character the code page lacks becomes one '?'.
// When `loss` is given it tells how many of each there were, so that a caller
// who must not accept a changed text can refuse it.
ZANVO_PLATFORM_EXPORT std::string utf8ToCp1251(std::string_view utf8, ConversionLoss* loss = nullptr);

// Windows-1251 -> UTF-8. Every byte has a meaning, so this never fails.
ZANVO_PLATFORM_EXPORT std::string cp1251ToUtf8(std::string_view cp1251);

// The UI boundary.
ZANVO_PLATFORM_EXPORT std::string toCp1251(QStringView text);
ZANVO_PLATFORM_EXPORT QString fromCp1251(std::string_view cp1251);

} // namespace platform
