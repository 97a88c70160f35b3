// SPDX-License-Identifier: LicenseRef-Kestrom
// The program: start-up runs the checks and then the main window.
#include "framework/MessageBox.h"
#include "framework/ProcessSettings.h"
#include "framework/ui/QtMessagePresenter.h"
#include "shell/DemoMode.h"
#include "shell/ExitWriteBack.h"
#include "shell/ProgramVersion.h"
#include "shell/Startup.h"
#include "shell/ui/OpenHelp.h"
#include "shell/ui/UiDefaults.h"
#include "shell/ui/UpdateDialog.h"
#include "workspace/ui/BrowseVsdWindow.h"
#include "xmltypes/XmlTypes.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);

    // The program ships the type-information library and checks it at start;
    // this reference keeps the linker from dropping it, so the loader really
    // loads it with the program.
    [[maybe_unused]] const volatile unsigned xmltypesBuild = zanvo_xmltypes_build();

    framework::ui::QtMessagePresenter presenter;
    framework::setMessagePresenter(&presenter);

    shell::StartupEnvironment env = shell::processEnvironment(QCoreApplication::arguments());
    env.presenter = &presenter;
    env.applyUiDefaults = &shell::ui::applyUiDefaults;
    env.runMainWindow = [] {
        workspace::ui::BrowseVsdWindow::Options options;
        options.dataFolder = framework::process::dataFolder();
        options.versionDate = shell::programVersionDate();
        options.demo = shell::isDemoRun();
        options.checkForUpdate = [](QWidget* parent) {
            return shell::ui::checkForUpdate(parent, shell::programVersionDate());
        };
        options.openHelp = [] { shell::ui::openHelp(framework::process::temporaryExportFolder()); };
        workspace::ui::BrowseVsdWindow window(options);
        window.show();
        return QApplication::exec();
    };
    env.exitWriteBack = &shell::writeBackChangedListFormats;
    // A data folder without an own business entity: the demo is offered.
    env.offerDemo = [&presenter](const QString& question) {
        return framework::questionMessage(presenter, question);
    };

    const shell::StartupOutcome outcome = shell::runStartup(env);
    framework::setMessagePresenter(nullptr);
    return outcome.exitCode;
}
