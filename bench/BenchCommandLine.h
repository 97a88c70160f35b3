// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <charconv>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// The command lines of the benchmarks: a few positive numbers, then options.
// "--help" (or "-h") asks for the usage; anything else unknown is refused, so
// that a mistyped option never starts a run of minutes.
namespace bench {

struct CommandLine
{
    std::vector<long> numbers;                 // in the order given
    std::set<std::string, std::less<>> flags;  // options standing alone
    std::map<std::string, std::string> values; // options with a value
    bool help = false;

    bool has(std::string_view flag) const { return flags.count(flag) > 0; }
    long number(std::size_t i, long fallback) const { return i < numbers.size() ? numbers[i] : fallback; }
};

// False with a message when the words do not fit.
inline bool parseCommandLine(int argc, char** argv, std::size_t mostNumbers,
                             std::initializer_list<std::string_view> flags,
                             std::initializer_list<std::string_view> valueOptions, CommandLine& out,
                             std::string& error)
{
    const auto among = [](std::initializer_list<std::string_view> names, std::string_view word) {
        for (std::string_view n : names)
            if (n == word)
                return true;
        return false;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "--help" || word == "-h") {
            out.help = true;
        } else if (among(flags, word)) {
            out.flags.emplace(word);
        } else if (among(valueOptions, word)) {
            if (i + 1 >= argc) {
                error = std::string(word) + " needs a value";
                return false;
            }
            out.values[std::string(word)] = argv[++i];
        } else if (!word.empty() && word[0] == '-') {
            error = "unknown option " + std::string(word);
            return false;
        } else {
            long n = 0;
            const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), n);
            if (ec != std::errc() || end != word.data() + word.size() || n < 1) {
                error = "not a positive number: " + std::string(word);
                return false;
            }
            if (out.numbers.size() >= mostNumbers) {
                error = "too many numbers: " + std::string(word);
                return false;
            }
            out.numbers.push_back(n);
        }
    }
    return true;
}

// Parses the command line; prints the usage and tells the exit code when
// the benchmark is not to run (0 after --help, 2 after a wrong word).
inline bool readCommandLine(int argc, char** argv, const char* usage, std::size_t mostNumbers,
                            std::initializer_list<std::string_view> flags,
                            std::initializer_list<std::string_view> valueOptions, CommandLine& out,
                            int& exitCode)
{
    std::string error;
    if (!parseCommandLine(argc, argv, mostNumbers, flags, valueOptions, out, error)) {
        std::fprintf(stderr, "%s\n\n%s", error.c_str(), usage);
        exitCode = 2;
        return false;
    }
    if (out.help) {
        std::fputs(usage, stdout);
        exitCode = 0;
        return false;
    }
    return true;
}

} // namespace bench
