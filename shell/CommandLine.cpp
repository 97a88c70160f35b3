// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/CommandLine.h"

namespace shell {

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine result;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        const qsizetype eq = arg.indexOf(u'=');
        if (arg.trimmed().compare(QStringLiteral("DEMO"), Qt::CaseInsensitive) == 0) {
            result.demo = true;
            result.demoFolder.clear();
            continue;
        }
        if (eq <= 0)
            continue;
        const QString name = arg.left(eq).trimmed();
        const QString value = arg.mid(eq + 1);
        if (name.compare(QStringLiteral("FPATH"), Qt::CaseInsensitive) == 0)
            result.fpath = value;
        else if (name.compare(QStringLiteral("RAM"), Qt::CaseInsensitive) == 0)
            result.ram = value;
        else if (name.compare(QStringLiteral("DEMO"), Qt::CaseInsensitive) == 0) {
            result.demo = true;
            result.demoFolder = value;
        }
    }
    return result;
}

} // namespace shell
