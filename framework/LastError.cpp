// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/LastError.h"

namespace framework {

namespace {
LastError& state()
{
    thread_local LastError e;
    return e;
}
} // namespace

void setLastError(int code, std::string_view fileName, int driverCode, std::string_view driverText)
{
    LastError& e = state();
    e.code = code;
    e.fileName = fileName;
    e.driverCode = driverCode;
    e.driverText = driverText;
}

void clearLastError()
{
    state() = LastError{};
}

const LastError& lastError()
{
    return state();
}

} // namespace framework
