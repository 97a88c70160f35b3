// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

// The data folder of the demo: the demo service's own business entity as the
// user's own, its two enterprises (the first one the working enterprise), its
// access settings, and a few hundred of its incoming VSDs as the program
// would have loaded them from the service a few days ago, some of them with a
// repay or return in process and some with a rejected one.
namespace shell {

class DemoService;

// "Zanvo-demo" in the user's home folder, with a trailing '/'.
QString defaultDemoFolder(const QString& homeFolder);

// The question start-up may ask before the main window opens on a data
// folder without an own business entity ('|' breaks the line); Yes starts the
// demo in its own data folder, the user's folder stays as it is.
QString demoOfferQuestion();

// True when the tables of the data folder hold the user's own business
// entity: an m_Entity record with MEN:HOME = 1 and a GUID of 36 characters
// (the window's placeholder for an entity not yet entered does not count).
// Only reads: no file is created or changed. A folder whose entities cannot
// be read counts as having none.
bool dataFolderHasOwnEntity(const QString& dataFolder);

struct DemoPreparation
{
    bool ok = false;
    // The folder already had an own entity and was left as it was.
    bool alreadyPrepared = false;
    // VSDs of the working enterprise stored by this preparation.
    int vsdCount = 0;
    // Why it failed, for the user ('|' breaks the line).
    QString error;
};

// Makes `dataFolder` the demo's data folder, unless it has an own entity
// already. `service` must run (the process talks to it): the VSDs are
// requested from it and stored through the program's own loader, so they
// look exactly as the program keeps them; then a few of them are given an
// application in process or a rejected one (one transaction), and at last
// the own entity, its enterprises and its access settings are written (one
// transaction). The own entity is written last, so a preparation that fails
// on the way is done again on the next start. The same service and day give
// the same data.
DemoPreparation prepareDemoDataFolder(const QString& dataFolder, const DemoService& service);

} // namespace shell
