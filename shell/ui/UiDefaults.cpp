// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/ui/UiDefaults.h"

#include "framework/ProcessSettings.h"

#include <QApplication>
#include <QFont>
#include <QToolTip>

namespace shell::ui {

void applyUiDefaults()
{
    // The three default sizes of the window layer: windows, tips and menus all
    // follow the application font.
    QFont font = QApplication::font();
    font.setPointSize(framework::process::uiFontSize());
    QApplication::setFont(font);
    QToolTip::setFont(font);
}

} // namespace shell::ui
