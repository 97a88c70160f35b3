// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>
#include <ostream>

// Failed comparisons show texts readably instead of as UTF-16 code units.
inline void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}
