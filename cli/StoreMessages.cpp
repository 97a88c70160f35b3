// SPDX-License-Identifier: LicenseRef-Kestrom
#include "cli/StoreMessages.h"

#include "framework/LastError.h"

namespace cli {

std::string describeLastError(const store::TableDef& def)
{
    const framework::LastError& e = framework::lastError();
    std::string s = std::string(def.name) + " (" + e.fileName + "): error " + std::to_string(e.code);
    if (e.driverCode != 0 || !e.driverText.empty())
        s += " [" + std::to_string(e.driverCode) + " " + e.driverText + "]";
    return s;
}

} // namespace cli
