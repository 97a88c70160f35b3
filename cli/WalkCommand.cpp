// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli walk --list KIND [--max-size MB] [ANSWER.xml]: reads an answer of the VetIS
// services (from FILE, or standard input) into the response lists of one kind and prints
// them: "RLOAD=n ROFFSET=n RCOUNT=n RTOTAL=n", then per list "# name", the field names
// and one tab-separated line per entry. KIND is one of vsd, country, region, district,
// locality, street, purpose, disease, researchMethod, unit, product, subProduct,
// productItem, businessEntity, enterprise; vsd prints the VSD list and its nine contents
// lists. An answer that is refused (not one sound SOAP document, a Fault, longer than
// --max-size, 256 MB by default) prints nothing; why goes to stderr, exit code 1.
#include "cli/Command.h"

#include "responses/ListCatalogue.h"
#include "responses/ResponseWalker.h"
#include "responses/WalkDump.h"

#include <QFile>
#include <QString>

#include <charconv>
#include <cstdio>
#include <string>

namespace cli {

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

// Reads the whole answer unless it is longer than maxBytes (then `tooLong`):
// a file's size is looked at before it is read, standard input is read no
// further than the limit.
bool readAnswer(QFile& file, bool isFile, std::size_t maxBytes, QByteArray& answer, bool& tooLong)
{
    tooLong = false;
    if (isFile && static_cast<std::size_t>(file.size()) > maxBytes) {
        tooLong = true;
        return true;
    }
    answer.clear();
    char chunk[64 * 1024];
    for (;;) {
        const qint64 n = file.read(chunk, sizeof chunk);
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (static_cast<std::size_t>(answer.size()) + static_cast<std::size_t>(n) > maxBytes) {
            tooLong = true;
            return true;
        }
        answer.append(chunk, n);
    }
}

} // namespace

int runWalk(std::span<const std::string> words)
{
    const Command& self = command("walk");
    Arguments args;
    std::string error;
    if (!parseArguments(words, {"--list", "--max-size"}, {}, args, error))
        return usageError(self, error);
    const std::string kind = args.option("--list");
    if (kind.empty() || args.positional.size() > 1)
        return usageError(self, "--list KIND and at most one answer file are required");
    if (!responses::findListKind(kind)) {
        std::string known;
        for (const responses::ListKind& k : responses::listKinds())
            known += (known.empty() ? "" : ", ") + std::string(k.name);
        return usageError(self, "unknown list kind " + kind + " (one of " + known + ")");
    }
    std::size_t maxBytes = framework::process::kDefaultMaxAnswerBytes;
    if (args.options.count("--max-size")) {
        const std::string text = args.option("--max-size");
        std::size_t megabytes = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), megabytes);
        if (ec != std::errc() || end != text.data() + text.size() || megabytes < 1 || megabytes > 1024 * 1024)
            return usageError(self, "--max-size takes a number of megabytes from 1 to 1048576, not " + text);
        maxBytes = megabytes * kMiB;
    }

    QFile file;
    const bool isFile = args.positional.size() == 1;
    bool opened = false;
    if (isFile) {
        file.setFileName(QString::fromLocal8Bit(args.positional[0]));
        opened = file.open(QIODevice::ReadOnly);
    } else {
        opened = file.open(stdin, QIODevice::ReadOnly);
    }
    const std::string source = isFile ? args.positional[0] : std::string("standard input");
    QByteArray answer;
    bool tooLong = false;
    if (!opened || !readAnswer(file, isFile, maxBytes, answer, tooLong)) {
        fail("cannot read " + source + ": " + file.errorString().toStdString());
        return kExitFailure;
    }
    if (tooLong) {
        fail(source + ": Ответ больше допустимого размера (" + std::to_string(maxBytes / kMiB) +
             " МБ), он не прочитан.");
        return kExitFailure;
    }

    const responses::WalkDumpResult dump = responses::walkDump(
        kind, std::string_view(answer.constData(), static_cast<std::size_t>(answer.size())), maxBytes);
    if (!dump.problem.empty()) {
        fail(dump.problem);
        return kExitFailure;
    }
    out(dump.text);
    return kExitOk;
}

} // namespace cli
