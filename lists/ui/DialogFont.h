// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

class QWidget;

namespace lists::ui {

// Gives a dialog the program's UI font size (points); its controls inherit it.
void useUiFontSize(QWidget& dialog);

} // namespace lists::ui
