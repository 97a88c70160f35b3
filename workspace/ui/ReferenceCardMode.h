// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "workspace/ReferenceCardTexts.h"

class QDialog;
class QPushButton;

namespace workspace::ui {

// Shows the mode on a card: the icon of " Да" (add, pen or view); in view
// mode every text field is read-only, " Да" is hidden and " Нет" is the
// default button that closes the card.
void showCardMode(QDialog& card, QPushButton& ok, QPushButton& cancel, CardMode mode);

} // namespace workspace::ui
