// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

namespace shell {

// Writes back the list formats the user changed while the program ran. The
// list-format settings do not exist yet, so there is nothing to write: this is
// the place the list-format manager's write-back is to be called from.
inline void writeBackChangedListFormats() {}

} // namespace shell
