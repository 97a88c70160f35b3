// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QRect>
#include <QString>

class QWidget;

// A window's placement between runs (see framework/WindowPositions.h).
namespace framework::ui {

// Restores what is stored under the window's identifier, fitted into `area`
// (by default the available geometry of the primary screen). Nothing stored,
// or a "NoINI_" identifier: the window keeps its designed placement.
void restoreWindowPlacement(QWidget& window, const QString& windowId, QRect area = {});
// Stores the window's normal geometry and whether it is maximised or
// minimised.
void saveWindowPlacement(const QWidget& window, const QString& windowId);

} // namespace framework::ui
