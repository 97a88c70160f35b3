// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "platform/Export.h"

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

// Texts inside records are Windows-1251 bytes; the services speak UTF-8 and the
// windows speak QString. These are the only conversions between them.
namespace platform {

// UTF-8 -> Windows-1251. Characters the code page lacks become '?'. Invalid
// UTF-8 input gives an empty result (the conversion failed).
ZANVO_PLATFORM_EXPORT std::string utf8ToCp1251(std::string_view utf8);

// Windows-1251 -> UTF-8. Every byte has a meaning, so this never fails.
ZANVO_PLATFORM_EXPORT std::string cp1251ToUtf8(std::string_view cp1251);

// The UI boundary.
ZANVO_PLATFORM_EXPORT std::string toCp1251(QStringView text);
ZANVO_PLATFORM_EXPORT QString fromCp1251(std::string_view cp1251);

} // namespace platform
