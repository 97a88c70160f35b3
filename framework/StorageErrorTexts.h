// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

// What the error manager shows as the text of a storage error code (%Error).
// Start-up installs the Russian texts of the codes the store reports; a code
// without a text of its own, or any code before installation, gets the generic
// text of the storage layer.
namespace framework {

void installStorageErrorTexts();
// Back to the state before installation (tests).
void uninstallStorageErrorTexts();
bool storageErrorTextsInstalled();

// The text of a code; empty for 0 (no error).
QString storageErrorText(int code);

} // namespace framework
