// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli init --data DIR: the data folder with Base/ and every table file.
#include "cli/Command.h"

#include "cli/StoreMessages.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/AllTables.h"

#include <QDir>

namespace cli {

int runInit(std::span<const std::string> words)
{
    const Command& self = command("init");
    Arguments args;
    std::string error;
    if (!parseArguments(words, {"--data"}, {}, args, error))
        return usageError(self, error);
    if (!args.positional.empty())
        return usageError(self, "unexpected argument " + args.positional.front());
    const QString data = QString::fromLocal8Bit(args.option("--data"));
    if (data.isEmpty())
        return usageError(self, "--data DIR is required");

    if (!QDir().mkpath(data + QStringLiteral("/Base"))) {
        fail("cannot create the folder " + (data + QStringLiteral("/Base")).toStdString());
        return kExitFailure;
    }
    store::Session session(data);
    for (const store::TableDef* def : store::allTables()) {
        store::Table table(session, *def);
        if (table.open() != store::kOk) {
            fail(describeLastError(*def));
            return kExitFailure;
        }
        if (def->storage != store::Storage::SharedMemory && def->storage != store::Storage::ThreadMemory)
            out(std::string(def->name) + "\t" + table.filePath().toStdString() + "\n");
    }
    return kExitOk;
}

} // namespace cli
