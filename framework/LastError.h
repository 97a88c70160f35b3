// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <string>
#include <string_view>

// The last error of a file operation on this thread, as the error manager shows
// it: the runtime's error number (the codes of the storage layer: 35 record not
// found, 40 duplicate key, 32 file locked, ...), the driver's own code and text
// (for 90 and 47, the underlying database's), and the file's name. The store sets
// it on every failure; the error manager reads it when it composes a message.
namespace framework {

struct LastError
{
    int code = 0;           // runtime error number; 0 = none
    std::string fileName;   // %ErrorFile
    int driverCode = 0;     // %FileErrorCode
    std::string driverText; // %FileError (UTF-8)
};

void setLastError(int code, std::string_view fileName, int driverCode = 0, std::string_view driverText = {});
void clearLastError();
const LastError& lastError();

} // namespace framework
