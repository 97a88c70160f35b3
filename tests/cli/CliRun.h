// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

// zanvo-cli run as a user runs it: the real executable beside the tests,
// with its arguments and, when given, what it reads on standard input.
namespace clitest {

struct CliResult
{
    int exitCode = -1; // -1 when it did not end within a minute
    QByteArray out;
    QString err;

    QString text() const { return QString::fromUtf8(out); }
};

inline QString cliProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/zanvo-cli");
}

inline CliResult cli(const QStringList& args, const QByteArray& input = {})
{
    QProcess p;
    p.start(cliProgram(), args);
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    CliResult r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace clitest
