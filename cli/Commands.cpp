// SPDX-License-Identifier: LicenseRef-Kestrom
#include "cli/Command.h"

#include <array>

namespace cli {

[[nodiscard]] int runTables(std::span<const std::string> words);
[[nodiscard]] int runInit(std::span<const std::string> words);
[[nodiscard]] int runDump(std::span<const std::string> words);
[[nodiscard]] int runEnvelope(std::span<const std::string> words);
[[nodiscard]] int runSettings(std::span<const std::string> words);
[[nodiscard]] int runWalk(std::span<const std::string> words);
[[nodiscard]] int runBuiltInDict(std::span<const std::string> words);
[[nodiscard]] int runRefreshDict(std::span<const std::string> words);
[[nodiscard]] int runRequestVsd(std::span<const std::string> words);
[[nodiscard]] int runReceiveVsd(std::span<const std::string> words);
[[nodiscard]] int runFetchVsd(std::span<const std::string> words);
[[nodiscard]] int runLoadAnswer(std::span<const std::string> words);
[[nodiscard]] int runExportRegister(std::span<const std::string> words);
[[nodiscard]] int runXmlExport(std::span<const std::string> words);
[[nodiscard]] int runXmlImport(std::span<const std::string> words);

std::span<const Command> commands()
{
    // A new command is one more file and one more line here.
    static const std::array<Command, 15> list{
        Command{"tables", "tables [--json]", "every table's fields and keys", runTables},
        Command{"init", "init --data DIR", "create DIR/Base and every table file", runInit},
        Command{"dump", "dump TABLE --data DIR [--reveal]", "a table's rows as UTF-8 tab-separated text",
                runDump},
        Command{"envelope", "envelope REQUEST.json", "the SOAP envelope a request would post", runEnvelope},
        Command{"walk", "walk --list KIND [--max-size MB] ANSWER.xml",
                "read an answer into the response lists of KIND and print them", runWalk},
        Command{"settings", "settings --data DIR --guid GUID [--login X] [--password X|-] ... [--show]",
                "create or change an entity's VetIS.API access settings", runSettings},
        Command{"builtin-dict", "builtin-dict product-types|package-types --data DIR",
                "rewrite a dictionary the program carries in m_Refs", runBuiltInDict},
        Command{"refresh-dict", "refresh-dict KIND [--parent GUID] --data DIR --guid ENTITY [--endpoint URL]",
                "refresh a Mercury dictionary of m_Refs from the service", runRefreshDict},
        Command{"request-vsd",
                "request-vsd --from DATE --to DATE --enterprise GUID [--packet N] --data DIR --guid ENTITY "
                "[--endpoint URL]",
                "submit the list request of incoming VSDs and print the application id", runRequestVsd},
        Command{"receive-vsd", "receive-vsd APPID --data DIR --guid ENTITY [--endpoint URL] [--progress]",
                "ask once for a VSD list application's result and store its VSDs", runReceiveVsd},
        Command{"fetch-vsd",
                "fetch-vsd --from DATE --to DATE --enterprise GUID [--poll FIRST,LONGEST,LIMIT] --data DIR "
                "--guid ENTITY [--endpoint URL] [--progress]",
                "request, wait for and store every packet of incoming VSDs of a period", runFetchVsd},
        Command{"load-answer", "load-answer --list vsd FILE.xml --data DIR --guid ENTITY [--endpoint URL]",
                "store the VSDs of a saved application-result answer", runLoadAnswer},
        Command{"export-register",
                "export-register --data DIR --guid ENTITY [--from DATE --to DATE] [--status N] OUT.xlsx",
                "write the XLSX register of the working enterprise's incoming VSDs", runExportRegister},
        Command{"xml-export", "xml-export TABLE --data DIR [--reveal]", "a table's records as XML",
                runXmlExport},
        Command{"xml-import", "xml-import TABLE FILE.xml --data DIR",
                "add the records of an xml-export file to a table, all or none", runXmlImport},
    };
    return list;
}

const Command& command(std::string_view name)
{
    for (const Command& c : commands())
        if (c.name == name)
            return c;
    return commands().front(); // every caller names a registered command
}

} // namespace cli
