// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

namespace shell {

// Writes the list formats the user changed while the program ran into the
// list-format file of the process (one transaction; failures are shown to the
// user) and forgets them. Called once, after the main window has closed.
void writeBackChangedListFormats();

} // namespace shell
