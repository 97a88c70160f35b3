// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli request-vsd --from yyyy-mm-dd --to yyyy-mm-dd --enterprise GUID
// [--packet N] --data DIR --guid ENTITY [--endpoint URL]: submits the list
// request of the incoming VSDs issued in the period to the enterprise (packet
// N of 1000 VSDs, the first by default) and prints the application id.
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
#include "platform/Dates.h"
#include "responses/ReferenceLookups.h"
#include "responses/ResponseWalker.h"
#include "responses/VsdLoader.h"
#include "store/RecordText.h"
#include "vetis/Exchange.h"
#include "vetis/RequestRecord.h"

#include <QFile>
#include <QUuid>

#include <charconv>

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

int runRequestVsd(std::span<const std::string> words)
{
    const Command& self = command("request-vsd");
    Arguments args;
    std::string error;
    if (!parseArguments(words,
                        {"--from", "--to", "--enterprise", "--packet", "--data", "--guid", "--endpoint"}, {},
                        args, error))
        return usageError(self, error);
    if (!args.positional.empty())
        return usageError(self, "unexpected argument " + args.positional.front());
    const std::int32_t from = platform::dayFromIso(args.option("--from"));
    const std::int32_t to = platform::dayFromIso(args.option("--to"));
    if (from == 0 || to == 0 || args.option("--from").size() != 10 || args.option("--to").size() != 10 ||
        to < from)
        return usageError(self, "--from and --to take dates yyyy-mm-dd, the first not after the second");
    const std::string enterprise = args.option("--enterprise");
    if (enterprise.size() != 36 || QUuid::fromString(QString::fromStdString(enterprise)).isNull())
        return usageError(self, "--enterprise takes the GUID of the enterprise that receives the VSDs");
    int packet = 1;
    if (args.options.count("--packet")) {
        const std::string text = args.option("--packet");
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), packet);
        if (ec != std::errc() || end != text.data() + text.size() || packet < 1 || packet > 100000)
            return usageError(self, "--packet takes a number from 1 to 100000");
    }
    NetworkOptions network;
    if (!readNetworkOptions(args, network, error))
        return usageError(self, error);

    ServiceSessions service(network);
    vetis::RequestRecord request;
    request.setRequestCode(vetis::RequestCode::VetDocumentList);
    store::setText(request.VETISGUID, network.entityGuid);
    request.COUNT = 1000;
    request.OFFSET = 1000 * (packet - 1);
    request.DATE1 = from;
    request.DATE2 = to;
    store::setZText(request.P1, network.entityGuid);
    store::setZText(request.P2, enterprise);
    store::setZText(request.P3, "INCOMING");
    if (!vetis::Exchange(request, service.context))
        return kExitFailure; // the exchange has said why
    out(std::string(store::clip(std::string_view(request.APPID, sizeof request.APPID))) + "\n");
    return kExitOk;
}

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

    ServiceSessions service(network);
    framework::RecordingPresenter presenter;
    std::string applicationId = args.positional.front();
    const responses::VsdLoadOutcome outcome = responses::loadVsdList(
        service.work, service.references, service.context, applicationId, network.entityGuid, presenter,
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

    ServiceSessions service(network);
    responses::ReferenceLookups lookups(service.references, service.context, network.entityGuid);
    const responses::VsdStoreOutcome stored = responses::storeVsdLists(service.work, lists, lookups);
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
