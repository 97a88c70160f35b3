// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>
#include <QStringList>

// The program reads these parameters from its command line, each written as
// the name, '=' and the value: FPATH (folder of the list-format file) and RAM
// (folder for temporary export files); and DEMO, alone or with '=' and a
// folder: the demo, in that data folder or in the default one. Everything
// else is ignored.
namespace shell {

struct CommandLine
{
    QString fpath;
    QString ram;
    bool demo = false;
    QString demoFolder; // empty: the default demo folder
};

// `arguments` as QCoreApplication::arguments() gives them (the program first).
// Names are matched without regard to case; a later occurrence wins.
CommandLine parseCommandLine(const QStringList& arguments);

} // namespace shell
