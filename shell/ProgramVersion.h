// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QDate>
#include <QString>

namespace shell {

// The date that identifies this version of the program; the main window shows
// it and the update check compares it with the site's.
inline QDate programVersionDate()
{
    return QDate(2024, 4, 25);
}

// "Версия Zanvo от 25.04.2024 г."
inline QString versionLine(const QDate& versionDate)
{
    return QStringLiteral("Версия Zanvo от ") + versionDate.toString(QStringLiteral("dd.MM.yyyy")) +
           QStringLiteral(" г.");
}

} // namespace shell
