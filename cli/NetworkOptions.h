// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "cli/Command.h"

#include <QString>

#include <string>

// The options every command that talks to the service takes: --data DIR,
// --guid ENTITY (whose stored access settings are used) and --endpoint URL
// (another server, such as the test double, instead of the one the settings
// name; the stored settings stay as they are).
namespace cli {

struct NetworkOptions
{
    QString data;
    std::string entityGuid;
};

// Checks the options and, for --endpoint, points every exchange of this
// process at that server. False with `error` set when one is missing or wrong.
[[nodiscard]] bool readNetworkOptions(const Arguments& args, NetworkOptions& out, std::string& error);

} // namespace cli
