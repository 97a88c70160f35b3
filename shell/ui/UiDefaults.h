// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

// The window layer's defaults start-up applies before the first window: the
// application font at the UI font size (11 points at start) and Cyrillic
// texts.
namespace shell::ui {

void applyUiDefaults();

} // namespace shell::ui
