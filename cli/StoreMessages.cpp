// SPDX-License-Identifier: LicenseRef-Kestrom
#include "cli/StoreMessages.h"

#include "framework/LastError.h"
#include "framework/StorageErrorTexts.h"

namespace cli {

std::string describeLastError(const store::TableDef& def)
{
    // The command line has no start-up of its own that would install the
    // texts of the storage codes; doing it here costs nothing.
    framework::installStorageErrorTexts();
    const framework::LastError& e = framework::lastError();
    std::string s = std::string(def.name) + " (" + e.fileName + "): error " + std::to_string(e.code) + " " +
                    framework::storageErrorText(e.code).toStdString();
    if (e.driverCode != 0 || !e.driverText.empty())
        s += " [" + std::to_string(e.driverCode) + " " + e.driverText + "]";
    return s;
}

} // namespace cli
