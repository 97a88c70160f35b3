// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli xml-export TABLE --data DIR [--reveal]: the records of one table as
// XML on standard output (the form is described in TableXml.h), in the order
// of the primary key (the sealed settings sorted by their text). The access settings hold passwords and API
// keys: they are written only with --reveal. The table's file is only read.
#include "cli/Command.h"
#include "cli/TableArguments.h"

#include "cli/StoreMessages.h"
#include "cli/TableXml.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/AllTables.h"

#include <QString>

#include <algorithm>
#include <vector>

namespace cli {

int runXmlExport(std::span<const std::string> words)
{
    Arguments args;
    QString data;
    const store::TableDef* def = nullptr;
    int exitCode = kExitOk;
    if (!readTableArguments(command("xml-export"), words, args, data, def, exitCode))
        return exitCode;
    if (def->storage == store::Storage::SharedMemory || def->storage == store::Storage::ThreadMemory) {
        fail(std::string(def->name) + " lives in the program's memory only: there is nothing to export");
        return kExitFailure;
    }
    if (def->storage == store::Storage::EncryptedFile && !args.has("--reveal")) {
        fail(std::string(def->name) +
             " holds passwords and API keys: give --reveal to write them in plain text");
        return kExitFailure;
    }

    store::Session session(data, {}, store::Access::ReadOnly);
    store::Table table(session, *def);
    if (table.open() != store::kOk) {
        fail(describeLastError(*def));
        return kExitFailure;
    }
    const store::KeyDef* order = def->primaryKey() ? def->primaryKey() : &def->keys.front();
    if (table.set(*order, 0) != store::kOk) {
        fail(describeLastError(*def));
        return kExitFailure;
    }

    TableXmlWriter writer(*def);
    std::string text;
    writer.begin(text);
    // The sealed table walks in an order of its file's own: its few records
    // are sorted so that the same records give the same file everywhere.
    const bool sorted = def->storage == store::Storage::EncryptedFile;
    std::vector<std::string> records;
    int code = store::kOk;
    while ((code = table.next()) == store::kOk) {
        if (sorted) {
            records.emplace_back();
            writer.record(table.data(), records.back());
            continue;
        }
        writer.record(table.data(), text);
        if (text.size() >= (1u << 20)) {
            out(text);
            text.clear();
        }
    }
    if (code != store::kRecordNotFound) {
        out(text);
        fail(describeLastError(*def));
        return kExitFailure;
    }
    std::sort(records.begin(), records.end());
    for (const std::string& r : records)
        text += r;
    writer.end(text);
    out(text);
    return kExitOk;
}

} // namespace cli
