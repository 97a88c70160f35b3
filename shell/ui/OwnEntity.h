// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

namespace shell::ui {

// MEN:NAME of the user's own business entity: the m_Entity record with
// MEN:HOME = 1 in the data folder's tables. Empty when there is none yet or
// the table cannot be read; the list windows, which open the tables for their
// work, report such failures.
QString readOwnEntityName(const QString& dataFolder, const QString& listFormatFile);

} // namespace shell::ui
