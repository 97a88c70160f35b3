// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli: the program's tables and data from the command line.
#include "cli/Command.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>
#include <vector>

namespace {
void printHelp(std::FILE* to)
{
    std::fprintf(to, "usage: zanvo-cli COMMAND [ARGUMENTS]\n\ncommands:\n");
    for (const cli::Command& c : cli::commands())
        std::fprintf(to, "  %-36.*s %.*s\n", static_cast<int>(c.usage.size()), c.usage.data(),
                     static_cast<int>(c.summary.size()), c.summary.data());
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        printHelp(stderr);
        return cli::kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printHelp(stdout);
        return cli::kExitOk;
    }
    const std::vector<std::string> words(argv + 2, argv + argc);
    for (const cli::Command& c : cli::commands())
        if (c.name == name) {
            const int result = c.run(words);
            // Output that did not reach its file (a full disk, a closed pipe)
            // is a failure, whatever the command thought of it.
            if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
                cli::fail("cannot write the output");
                return result == cli::kExitOk ? cli::kExitFailure : result;
            }
            return result;
        }
    cli::fail("unknown command " + name);
    printHelp(stderr);
    return cli::kExitUsage;
}
