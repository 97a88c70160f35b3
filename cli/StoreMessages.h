// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <string>

namespace cli {

// "m_VSD (/data/Base/mv08.dat): error 47 ..." from the thread's last file error.
std::string describeLastError(const store::TableDef& def);

} // namespace cli
