// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli refresh-dict KIND [--parent GUID] --data DIR --guid ENTITY
// [--endpoint URL]: refreshes one Mercury dictionary of m_Refs from the
// service with the entity's stored access settings, as the dictionaries
// window does. KIND is the dictionary number (1 to 13) or the list name that
// walk uses. The program's message goes to stdout on success; the exchange's
// own failures and the refresh's go to stderr.
#include "cli/Command.h"

#include "cli/NetworkOptions.h"
#include "framework/RecordingPresenter.h"
#include "responses/DictionaryRefresh.h"

#include <charconv>

namespace cli {

namespace {

// The dictionary number of a KIND word; 0 when it names none.
int dictionaryKind(std::string_view word)
{
    static constexpr std::pair<std::string_view, int> kNames[] = {
        {"country", 1},  {"region", 2},         {"district", 3},   {"locality", 4},
        {"street", 5},   {"researchMethod", 7}, {"disease", 8},    {"unit", 9},
        {"purpose", 10}, {"product", 12},       {"subProduct", 13}};
    for (const auto& [name, kind] : kNames)
        if (name == word)
            return kind;
    int number = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), number);
    return ec == std::errc() && end == word.data() + word.size() ? number : 0;
}

} // namespace

int runRefreshDict(std::span<const std::string> words)
{
    const Command& self = command("refresh-dict");
    Arguments args;
    std::string error;
    if (!parseArguments(words, {"--data", "--guid", "--parent", "--endpoint"}, {}, args, error))
        return usageError(self, error);
    if (args.positional.size() != 1)
        return usageError(self, "one dictionary KIND is required");
    const int kind = dictionaryKind(args.positional.front());
    if (!responses::isRefreshableKind(kind))
        return usageError(self, "KIND is 1 to 10, 12 or 13, or a list name such as country or unit");
    NetworkOptions network;
    if (!readNetworkOptions(args, network, error))
        return usageError(self, error);
    const std::string parent = args.option("--parent");
    if (parent.size() > 36)
        return usageError(self, "--parent takes a GUID or a product type code such as 11-05");

    ServiceSessions service(network);
    framework::RecordingPresenter presenter;
    const responses::RefreshOutcome outcome = responses::refreshDictionary(
        service.work, service.context, kind, parent, network.entityGuid, presenter);
    for (const framework::MessageRequest& shown : presenter.shown()) {
        if (outcome.ok)
            out(shown.text.toStdString() + "\n");
        else
            fail(shown.text.toStdString());
    }
    return outcome.ok ? kExitOk : kExitFailure;
}

} // namespace cli
