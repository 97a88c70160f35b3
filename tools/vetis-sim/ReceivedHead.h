// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "SimTypes.h"

#include <httplib.h>

namespace vetissim {

// What the log keeps of a request before its body: method, path, headers and
// the credentials it came with.
inline ReceivedRequest receivedHead(const httplib::Request& request)
{
    ReceivedRequest received;
    received.method = request.method;
    received.path = request.path;
    for (const auto& [key, value] : request.headers)
        received.headers.emplace_back(key, value);
    received.authorization = request.get_header_value("Authorization");
    return received;
}

} // namespace vetissim
