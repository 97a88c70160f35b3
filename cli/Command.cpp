// SPDX-License-Identifier: LicenseRef-Kestrom
#include "cli/Command.h"

#include <algorithm>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace cli {

bool parseArguments(std::span<const std::string> words, std::initializer_list<std::string_view> valueOptions,
                    std::initializer_list<std::string_view> flagOptions, Arguments& out, std::string& error)
{
    auto listed = [](std::initializer_list<std::string_view> list, std::string_view w) {
        return std::find(list.begin(), list.end(), w) != list.end();
    };
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (!w.starts_with("--")) {
            out.positional.push_back(w);
        } else if (listed(valueOptions, w)) {
            if (i + 1 >= words.size()) {
                error = "option " + w + " needs a value";
                return false;
            }
            out.options[w] = words[++i];
        } else if (listed(flagOptions, w)) {
            out.flags.insert(w);
        } else {
            error = "unknown option " + w;
            return false;
        }
    }
    return true;
}

void out(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void fail(std::string_view message)
{
    std::fprintf(stderr, "zanvo-cli: %.*s\n", static_cast<int>(message.size()), message.data());
}

namespace {
bool g_progressForced = false;

} // namespace

bool isTerminal(std::FILE* stream)
{
#ifdef _WIN32
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

void forceProgress(bool on)
{
    g_progressForced = on;
}

void progress(std::string_view text)
{
    static const bool terminal = isTerminal(stderr);
    if (terminal || g_progressForced)
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

int usageError(const Command& command, std::string_view message)
{
    fail(message);
    std::fprintf(stderr, "usage: zanvo-cli %.*s\n", static_cast<int>(command.usage.size()),
                 command.usage.data());
    return kExitUsage;
}

} // namespace cli
