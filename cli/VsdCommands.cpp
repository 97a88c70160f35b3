// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli request-vsd --from yyyy-mm-dd --to yyyy-mm-dd --enterprise GUID
// [--packet N] --data DIR --guid ENTITY [--endpoint URL]: submits the list
// request of the incoming VSDs issued in the period to the enterprise (packet
// N of 1000 VSDs, the first by default) and prints the application id.
// zanvo-cli fetch-vsd (the same options but --packet, and --poll FIRST,LONGEST,
// LIMIT seconds, 3,15,600 by default): requests the first packet, asks for
// its result first after FIRST seconds and then at doubling pauses of at most
// LONGEST until it is finished (giving up after LIMIT), stores it, and does
// the same for every further packet while the service's total says there
// are more. The window asks for one packet at a time; a script wants them all.
// zanvo-cli receive-vsd APPID --data DIR --guid ENTITY [--endpoint URL]: asks
// once for the result of a VSD list application and stores its VSDs, as the
// list window's F4 does. zanvo-cli load-answer --list vsd FILE.xml --data DIR
// --guid ENTITY [--endpoint URL]: stores a saved application-result answer as
// the loader would (names it refers to are fetched with the entity's
// settings). Progress goes to stderr when it is a terminal or --progress is
// given, the outcome to stdout, failures to stderr.
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
#include <QThread>
#include <QUuid>

#include <algorithm>
#include <array>
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

namespace {

// The period, enterprise and packet of a VSD list request.
struct VsdListOptions
{
    std::int32_t from = 0;
    std::int32_t to = 0;
    std::string enterprise;
    int packet = 1;
};

bool readVsdListOptions(const Arguments& args, VsdListOptions& out, std::string& error)
{
    out.from = platform::dayFromIso(args.option("--from"));
    out.to = platform::dayFromIso(args.option("--to"));
    if (out.from == 0 || out.to == 0 || args.option("--from").size() != 10 ||
        args.option("--to").size() != 10 || out.to < out.from) {
        error = "--from and --to take dates yyyy-mm-dd, the first not after the second";
        return false;
    }
    out.enterprise = args.option("--enterprise");
    if (out.enterprise.size() != 36 || QUuid::fromString(QString::fromStdString(out.enterprise)).isNull()) {
        error = "--enterprise takes the GUID of the enterprise that receives the VSDs";
        return false;
    }
    if (args.options.count("--packet")) {
        const std::string text = args.option("--packet");
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out.packet);
        if (ec != std::errc() || end != text.data() + text.size() || out.packet < 1 || out.packet > 100000) {
            error = "--packet takes a number from 1 to 100000";
            return false;
        }
    }
    return true;
}

constexpr int kPacketSize = 1000;

// Submits the list request of one packet; the application id, empty when
// the exchange failed (it has said why).
std::string submitVsdList(ServiceSessions& service, const std::string& entity, const VsdListOptions& o,
                          int packet)
{
    vetis::RequestRecord request;
    request.setRequestCode(vetis::RequestCode::VetDocumentList);
    store::setText(request.VETISGUID, entity);
    request.COUNT = kPacketSize;
    request.OFFSET = kPacketSize * (packet - 1);
    request.DATE1 = o.from;
    request.DATE2 = o.to;
    store::setZText(request.P1, entity);
    store::setZText(request.P2, o.enterprise);
    store::setZText(request.P3, "INCOMING");
    if (!vetis::Exchange(request, service.context))
        return {};
    return std::string(store::clip(std::string_view(request.APPID, sizeof request.APPID)));
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
    VsdListOptions list;
    NetworkOptions network;
    if (!readVsdListOptions(args, list, error) || !readNetworkOptions(args, network, error))
        return usageError(self, error);
    ServiceSessions service(network);
    const std::string id = submitVsdList(service, network.entityGuid, list, list.packet);
    if (id.empty())
        return kExitFailure;
    out(id + "\n");
    return kExitOk;
}

int runFetchVsd(std::span<const std::string> words)
{
    const Command& self = command("fetch-vsd");
    Arguments args;
    std::string error;
    if (!parseArguments(words, {"--from", "--to", "--enterprise", "--poll", "--data", "--guid", "--endpoint"},
                        {"--progress"}, args, error))
        return usageError(self, error);
    if (!args.positional.empty())
        return usageError(self, "unexpected argument " + args.positional.front());
    forceProgress(args.has("--progress"));
    VsdListOptions list;
    NetworkOptions network;
    if (!readVsdListOptions(args, list, error) || !readNetworkOptions(args, network, error))
        return usageError(self, error);
    // Seconds before the first ask, the longest pause between asks, and the
    // most a packet may be waited for.
    double first = 3, longest = 15, limit = 600;
    if (args.options.count("--poll")) {
        const QStringList parts = QString::fromStdString(args.option("--poll")).split(u',');
        bool ok = parts.size() == 3;
        std::array<double, 3> values{};
        for (int i = 0; ok && i < 3; ++i)
            values[static_cast<std::size_t>(i)] = parts[i].toDouble(&ok);
        if (!ok || values[0] < 0 || values[1] <= 0 || values[2] <= 0 || values[0] > 3600 ||
            values[1] > 3600 || values[2] > 86400)
            return usageError(self, "--poll takes FIRST,LONGEST,LIMIT in seconds, such as 3,15,600");
        first = values[0];
        longest = values[1];
        limit = values[2];
    }

    ServiceSessions service(network);
    framework::RecordingPresenter presenter;
    responses::VsdStoreOutcome total;
    for (int packet = 1;; ++packet) {
        std::string id = submitVsdList(service, network.entityGuid, list, packet);
        if (id.empty())
            return kExitFailure;
        progress("packet " + std::to_string(packet) + ": application " + id + ", waited for at most " +
                 std::to_string(static_cast<int>(limit)) + " s");
        responses::VsdLoadOutcome outcome;
        double pause = first, waited = 0;
        while (!id.empty()) {
            if (waited + pause > limit) {
                fail("the application " + id + " was not finished within " +
                     std::to_string(static_cast<int>(limit)) + " s; receive it later with receive-vsd");
                return kExitFailure;
            }
            QThread::msleep(static_cast<unsigned long>(pause * 1000));
            waited += pause;
            pause = std::min(longest, std::max(pause * 2, 0.001));
            outcome = responses::loadVsdList(service.work, service.references, service.context, id,
                                             network.entityGuid, presenter,
                                             [](const QString& text) { progress(text.toStdString()); });
            if (outcome.failed) {
                report(presenter, false);
                return kExitFailure;
            }
        }
        if (outcome.appStatus != "COMPLETED") {
            fail("the application was " + outcome.appStatus);
            return kExitFailure;
        }
        total.inserted += outcome.stored.inserted;
        total.updated += outcome.stored.updated;
        total.skipped += outcome.stored.skipped;
        if (outcome.count <= 0 || outcome.offset + outcome.count >= outcome.total)
            break;
    }
    out(storedText(total));
    report(presenter, true);
    return kExitOk;
}

int runReceiveVsd(std::span<const std::string> words)
{
    const Command& self = command("receive-vsd");
    Arguments args;
    std::string error;
    if (!parseArguments(words, {"--data", "--guid", "--endpoint"}, {"--progress"}, args, error))
        return usageError(self, error);
    forceProgress(args.has("--progress"));
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
        [](const QString& text) { progress(text.toStdString()); });
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
