// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/ui/DialogFont.h"

#include "framework/ProcessSettings.h"

#include <QFont>
#include <QWidget>

namespace lists::ui {

void useUiFontSize(QWidget& dialog)
{
    const int points = framework::process::uiFontSize();
    if (points <= 0 || dialog.font().pointSize() == points)
        return;
    QFont f = dialog.font();
    f.setPointSize(points);
    dialog.setFont(f);
}

} // namespace lists::ui
