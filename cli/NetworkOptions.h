// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "cli/Command.h"

#include "responses/WalkerAnswerReader.h"
#include "store/Session.h"
#include "vetis/Exchange.h"
#include "vetis/StoredVetisSettings.h"

#include <QString>

#include <string>

// The options every command that talks to the service takes: --data DIR,
// --guid ENTITY (whose stored access settings are used) and --endpoint URL
// (another server, such as the test double, instead of the one the settings
// name; the stored settings stay as they are).
namespace cli {

struct NetworkOptions
{
    QString data;
    std::string entityGuid;
};

// What a command needs to talk to the service: the session its work uses,
// a second one for the access settings and the names fetched while the
// first holds a transaction, and the exchange's context over them.
struct ServiceSessions
{
    explicit ServiceSessions(const NetworkOptions& options)
        : work(options.data)
        , references(options.data)
        , settings(references)
    {
        context.settings = &settings;
        context.reader = &reader;
    }

    store::Session work;
    store::Session references;
    vetis::StoredVetisSettings settings;
    responses::WalkerAnswerReader reader;
    vetis::ExchangeContext context;
};

// Checks the options and, for --endpoint, points every exchange of this
// process at that server. False with `error` set when one is missing or wrong.
[[nodiscard]] bool readNetworkOptions(const Arguments& args, NetworkOptions& out, std::string& error);

} // namespace cli
