// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli builtin-dict product-types|package-types --data DIR: rewrites one
// of the dictionaries the program carries (the eight product types, the 364
// package types) in m_Refs, as the dictionaries window does. The program's
// message goes to stdout on success and to stderr on failure.
#include "cli/Command.h"

#include "framework/RecordingPresenter.h"
#include "store/BuiltInDictionaries.h"
#include "store/Session.h"

#include <QDir>

namespace cli {

int runBuiltInDict(std::span<const std::string> words)
{
    const Command& self = command("builtin-dict");
    Arguments args;
    std::string error;
    if (!parseArguments(words, {"--data"}, {}, args, error))
        return usageError(self, error);
    if (args.positional.size() != 1 ||
        (args.positional.front() != "product-types" && args.positional.front() != "package-types"))
        return usageError(self, "name product-types or package-types");
    const QString data = QString::fromLocal8Bit(args.option("--data"));
    if (data.isEmpty())
        return usageError(self, "--data DIR is required");
    if (!QDir(data + QStringLiteral("/Base")).exists()) {
        fail("no data folder " + (data + QStringLiteral("/Base")).toStdString() + " (see zanvo-cli init)");
        return kExitFailure;
    }

    store::Session session(data);
    framework::RecordingPresenter presenter;
    const store::BuiltInResult result = args.positional.front() == "product-types"
                                            ? store::rebuildProductTypes(session, {}, presenter)
                                            : store::rebuildPackageTypes(session, {}, presenter);
    for (const framework::MessageRequest& shown : presenter.shown()) {
        const std::string text = shown.text.toStdString();
        if (result.ok)
            out(text + "\n");
        else
            fail(text);
    }
    return result.ok ? kExitOk : kExitFailure;
}

} // namespace cli
