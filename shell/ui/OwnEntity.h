// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

namespace shell::ui {

// MEN:NAME of the user's own business entity: the m_Entity record with
// MEN:HOME = 1 in the data folder's tables; empty when there is none yet (no
// such record, or no table file). The table is only read: nothing on disk is
// created or changed. A table that cannot be opened (damaged, foreign,
// unreachable) is reported through the error manager (message 29, which ends
// the program) and gives an empty name.
QString readOwnEntityName(const QString& dataFolder, const QString& listFormatFile);

} // namespace shell::ui
