// SPDX-License-Identifier: LicenseRef-Kestrom
#include "cli/TableArguments.h"

#include "store/tables/AllTables.h"

namespace cli {

bool readTableArguments(const Command& self, std::span<const std::string> words, Arguments& args,
                        QString& data, const store::TableDef*& def, int& exitCode)
{
    std::string error;
    if (!parseArguments(words, {"--data"}, {"--reveal"}, args, error)) {
        exitCode = usageError(self, error);
        return false;
    }
    if (args.positional.size() != 1) {
        exitCode = usageError(self, "one table name is required");
        return false;
    }
    data = QString::fromLocal8Bit(args.option("--data"));
    if (data.isEmpty()) {
        exitCode = usageError(self, "--data DIR is required");
        return false;
    }
    def = store::tableByName(args.positional.front());
    if (!def) {
        fail("no table named " + args.positional.front() + " (see zanvo-cli tables)");
        exitCode = kExitUsage;
        return false;
    }
    return true;
}

} // namespace cli
