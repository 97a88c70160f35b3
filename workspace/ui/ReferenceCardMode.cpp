// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/ReferenceCardMode.h"

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

namespace workspace::ui {

void showCardMode(QDialog& card, QPushButton& ok, QPushButton& cancel, CardMode mode)
{
    const QStyle::StandardPixmap icon = mode == CardMode::Insert   ? QStyle::SP_FileDialogNewFolder
                                        : mode == CardMode::Change ? QStyle::SP_FileDialogDetailedView
                                                                   : QStyle::SP_FileDialogContentsView;
    ok.setIcon(card.style()->standardIcon(icon));
    if (mode != CardMode::View) {
        ok.setDefault(true);
        return;
    }
    for (QLineEdit* edit : card.findChildren<QLineEdit*>())
        edit->setReadOnly(true);
    for (QPlainTextEdit* edit : card.findChildren<QPlainTextEdit*>())
        edit->setReadOnly(true);
    ok.hide();
    cancel.setDefault(true);
    cancel.setFocus();
}

} // namespace workspace::ui
