// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/FieldDef.h"

#include <string>

namespace cli {

// "m_VSD (/data/Base/mv08.dat): error 47 Неверная структура файла [0 ...]"
// from the thread's last file error: the code, its Russian text, and the
// database's own code and text when there are any.
std::string describeLastError(const store::TableDef& def);

} // namespace cli
