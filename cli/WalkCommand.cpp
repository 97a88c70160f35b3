// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli walk --list KIND [ANSWER.xml]: reads an answer of the VetIS services (from FILE,
// or standard input) into the response lists of one kind and prints them:
// "RLOAD=n ROFFSET=n RCOUNT=n RTOTAL=n", then per list "# name", the field
// names and one tab-separated line per entry. KIND is one of vsd, country,
// region, district, locality, street, purpose, disease, researchMethod, unit,
// product, subProduct, productItem, businessEntity, enterprise; vsd prints the
// VSD list and its nine contents lists.
#include "cli/Command.h"

#include "responses/ListCatalogue.h"
#include "responses/ResponseWalker.h"
#include "responses/WalkDump.h"

#include <QFile>
#include <QString>

#include <cstdio>
#include <string>

namespace cli {

int runWalk(std::span<const std::string> words)
{
    const Command& self = command("walk");
    Arguments args;
    std::string error;
    if (!parseArguments(words, {"--list"}, {}, args, error))
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

    QFile file;
    bool opened = false;
    if (args.positional.size() == 1) {
        file.setFileName(QString::fromLocal8Bit(args.positional[0]));
        opened = file.open(QIODevice::ReadOnly);
    } else {
        opened = file.open(stdin, QIODevice::ReadOnly);
    }
    if (!opened) {
        fail("cannot read " +
             (args.positional.size() == 1 ? args.positional[0] : std::string("standard input")) + ": " +
             file.errorString().toStdString());
        return kExitFailure;
    }
    const QByteArray answer = file.readAll();

    const responses::WalkDumpResult dump = responses::walkDump(
        kind, std::string_view(answer.constData(), static_cast<std::size_t>(answer.size())));
    out(dump.text);
    if (dump.result == responses::kUnparsableAnswer) {
        fail("the answer is not well-formed XML");
        return kExitFailure;
    }
    if (dump.result == responses::kEmptyAnswer) {
        fail("the answer holds no element");
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace cli
