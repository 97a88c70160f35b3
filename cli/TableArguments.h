// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "cli/Command.h"

#include <QString>

namespace store {
struct TableDef;
}

namespace cli {

// The arguments of a command about one stored table: TABLE --data DIR
// [--reveal]. False, after the usage message, when they are wrong; `exitCode`
// is then what the command returns.
bool readTableArguments(const Command& self, std::span<const std::string> words, Arguments& args,
                        QString& data, const store::TableDef*& def, int& exitCode);

} // namespace cli
