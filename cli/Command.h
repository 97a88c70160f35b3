// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstdio>
#include <map>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The commands of zanvo-cli. Each command lives in its own file and is listed
// once in Commands.cpp; main.cpp only dispatches.
namespace cli {

enum ExitCode : int
{
    kExitOk = 0,
    kExitFailure = 1, // the work failed; a message went to stderr
    kExitUsage = 2,   // the command line was wrong
};

struct Arguments
{
    std::vector<std::string> positional;
    std::map<std::string, std::string, std::less<>> options; // --name value
    std::set<std::string, std::less<>> flags;                // --name

    bool has(std::string_view flag) const { return flags.count(flag) > 0; }
    std::string option(std::string_view name) const
    {
        auto it = options.find(name);
        return it == options.end() ? std::string() : it->second;
    }
};

// Splits the words after the command name. Options named in `valueOptions`
// take the next word as their value, those in `flagOptions` stand alone; any
// other word starting with "--" is an error (false, with `error` set).
[[nodiscard]] bool parseArguments(std::span<const std::string> words,
                                  std::initializer_list<std::string_view> valueOptions,
                                  std::initializer_list<std::string_view> flagOptions, Arguments& out,
                                  std::string& error);

struct Command
{
    std::string_view name;
    std::string_view usage;   // "tables [--json]"
    std::string_view summary; // one line
    int (*run)(std::span<const std::string> words);
};

std::span<const Command> commands();
// The registry entry of a command, for its usage line in error messages.
const Command& command(std::string_view name);

// Output helpers: UTF-8 to stdout, messages to stderr.
void out(std::string_view text);
void fail(std::string_view message);
// A progress line on stderr, shown when stderr is a terminal (a script's log
// gets the outcome, not every step) or when the command was given --progress.
void progress(std::string_view text);
bool isTerminal(std::FILE* stream);
void forceProgress(bool on);
[[nodiscard]] int usageError(const Command& command, std::string_view message);

} // namespace cli
