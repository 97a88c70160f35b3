// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli dump TABLE --data DIR [--reveal]: the rows of one table as UTF-8
// tab-separated text under a header line of the field names. Texts are clipped
// and converted from Windows-1251; a tab, line break or backslash inside a
// text is written as \t, \n, \r or \\ so that every row stays one line. Dates
// and times are their numbers; reals are plain decimals. The secrets of the
// access settings (password, API key) are masked unless --reveal is given.
// The table's file is only read: a missing, damaged or older file is
// reported and left as it is.
#include "cli/Command.h"
#include "cli/TableArguments.h"

#include "cli/StoreMessages.h"
#include "platform/CodePage.h"
#include "responses/WalkDump.h"
#include "store/FieldAccess.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/AllTables.h"

#include <charconv>
#include <cstring>

namespace cli {

namespace {

std::string fieldText(const store::FieldDef& f, const char* record)
{
    std::string s;
    responses::appendEscaped(s, store::fieldAsUtf8(f, record));
    return s;
}

bool isSecret(std::string_view field)
{
    return field == "MVS:PASSWORD" || field == "MVS:APIKEY";
}

} // namespace

int runDump(std::span<const std::string> words)
{
    Arguments args;
    QString data;
    const store::TableDef* def = nullptr;
    int exitCode = kExitOk;
    if (!readTableArguments(command("dump"), words, args, data, def, exitCode))
        return exitCode;

    // Dumping only reads: a missing file is reported, not created, and no
    // file is changed (no upgrade, no journal, no anchor beside the tables).
    store::Session session(data, {}, store::Access::ReadOnly);
    store::Table table(session, *def);
    if (table.open() != store::kOk) {
        fail(describeLastError(*def));
        return kExitFailure;
    }

    std::string line;
    for (const store::FieldDef& f : def->fields)
        line += (line.empty() ? "" : "\t") + std::string(f.name);
    out(line + '\n');

    const store::KeyDef* order = def->primaryKey() ? def->primaryKey() : &def->keys.front();
    if (table.set(*order, 0) != store::kOk) {
        fail(describeLastError(*def));
        return kExitFailure;
    }
    int code = store::kOk;
    while ((code = table.next()) == store::kOk) {
        line.clear();
        bool first = true;
        for (const store::FieldDef& f : def->fields) {
            if (!first)
                line += '\t';
            first = false;
            line +=
                (isSecret(f.name) && !args.has("--reveal")) ? std::string("***") : fieldText(f, table.data());
        }
        out(line + '\n');
    }
    if (code != store::kRecordNotFound) {
        fail(describeLastError(*def));
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace cli
