// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "framework/MessageBox.h"

#include <QString>

// The transport's message boxes: one button "&1. Закрыть", shown through the
// process-wide presenter of the framework (a dialog in the program, a
// recording presenter in tests).
namespace vetis {

void showClosableMessage(const QString& caption, const QString& text,
                         framework::MessageIcon icon = framework::MessageIcon::Information);

// A transport failure: caption "У нас проблема ...".
void showTransportProblem(const QString& text);

} // namespace vetis
