// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli receive-vsd APPID --data DIR --guid ENTITY [--endpoint URL]: asks
// once for the result of a VSD list application and stores its VSDs, as the
// list window's F4 does. zanvo-cli load-answer --list vsd FILE.xml --data DIR
// --guid ENTITY [--endpoint URL]: stores a saved application-result answer as
// the loader would (names it refers to are fetched with the entity's
// settings). Progress goes to stderr, the outcome to stdout.
#include "cli/Command.h"

#include "cli/NetworkOptions.h"
#include "framework/ProcessSettings.h"
#include "framework/RecordingPresenter.h"
#include "responses/ReferenceLookups.h"
#include "responses/ResponseWalker.h"
#include "responses/VsdLoader.h"
#include "responses/WalkerAnswerReader.h"
#include "store/Session.h"
#include "vetis/Exchange.h"
#include "vetis/RequestRecord.h"
#include "vetis/StoredVetisSettings.h"

#include <QFile>
#include <QUuid>

namespace cli {

namespace {

// The program's messages of a command: on stdout when it succeeded, else on stderr.
void report(const framework::RecordingPresenter& presenter, bool ok)
{
    for (const framework::MessageRequest& shown : presenter.shown()) {
        std::string text = shown.text.toStdString();
        for (char& c : text)
            if (c == '|')
                c = '\n';
        if (ok)
            out(text + "\n");
        else
            fail(text);
    }
}

std::string storedText(const responses::VsdStoreOutcome& stored)
{
    return "stored: " + std::to_string(stored.inserted) + " new, " + std::to_string(stored.updated) +
           " changed, " + std::to_string(stored.skipped) + " unchanged\n";
}

} // namespace

int runReceiveVsd(std::span<const std::string> words)
{
    const Command& self = command("receive-vsd");
    Arguments args;
    std::string error;
    if (!parseArguments(words, {"--data", "--guid", "--endpoint"}, {}, args, error))
        return usageError(self, error);
    if (args.positional.size() != 1 || args.positional.front().size() != 36 ||
        QUuid::fromString(QString::fromStdString(args.positional.front())).isNull())
        return usageError(self, "the application id (36 characters) is required");
    NetworkOptions network;
    if (!readNetworkOptions(args, network, error))
        return usageError(self, error);

    store::Session session(network.data);
    store::Session references(network.data);
    // Settings are read while the load holds its transaction: through the other session.
    vetis::StoredVetisSettings settings(references);
    responses::WalkerAnswerReader reader;
    vetis::ExchangeContext context;
    context.settings = &settings;
    context.reader = &reader;
    framework::RecordingPresenter presenter;
    std::string applicationId = args.positional.front();
    const responses::VsdLoadOutcome outcome =
        responses::loadVsdList(session, references, context, applicationId, network.entityGuid, presenter,
                               [](const QString& text) { fail(text.toStdString()); });
    const bool ok = outcome.exchanged && !outcome.failed;
    if (ok) {
        out("status: " + outcome.appStatus + "\n");
        if (outcome.stored.ok)
            out(storedText(outcome.stored));
    }
    report(presenter, ok);
    return ok ? kExitOk : kExitFailure;
}

int runLoadAnswer(std::span<const std::string> words)
{
    const Command& self = command("load-answer");
    Arguments args;
    std::string error;
    if (!parseArguments(words, {"--list", "--data", "--guid", "--endpoint"}, {}, args, error))
        return usageError(self, error);
    if (args.option("--list") != "vsd" || args.positional.size() != 1)
        return usageError(self, "--list vsd and one answer file are required");
    NetworkOptions network;
    if (!readNetworkOptions(args, network, error))
        return usageError(self, error);

    QFile file(QString::fromLocal8Bit(args.positional.front()));
    if (!file.open(QIODevice::ReadOnly)) {
        fail("cannot read " + args.positional.front() + ": " + file.errorString().toStdString());
        return kExitFailure;
    }
    const std::size_t maxBytes = framework::process::maxAnswerBytes();
    if (static_cast<std::size_t>(file.size()) > maxBytes) {
        fail(args.positional.front() + ": Ответ больше допустимого размера, он не прочитан.");
        return kExitFailure;
    }
    const QByteArray answer = file.readAll();

    vetis::RequestRecord request;
    responses::VsdAnswerLists lists;
    lists.bind(request);
    const responses::ReadResult read = responses::ReadAnswer(
        std::string_view(answer.constData(), static_cast<std::size_t>(answer.size())), request);
    if (!read.ok()) {
        fail(args.positional.front() + ": " + read.description);
        return kExitFailure;
    }

    store::Session session(network.data);
    store::Session references(network.data);
    // Settings are read while the load holds its transaction: through the other session.
    vetis::StoredVetisSettings settings(references);
    responses::WalkerAnswerReader reader;
    vetis::ExchangeContext context;
    context.settings = &settings;
    context.reader = &reader;
    responses::ReferenceLookups lookups(references, context, network.entityGuid);
    const responses::VsdStoreOutcome stored = responses::storeVsdLists(session, lists, lookups);
    if (stored.noAccess) {
        fail("Нет доступа к спискам БД для выполнения операции !");
        return kExitFailure;
    }
    if (!stored.ok) {
        fail("Не удалось выполнить операцию загрузки списка ВСД !");
        return kExitFailure;
    }
    out(storedText(stored));
    return kExitOk;
}

} // namespace cli
