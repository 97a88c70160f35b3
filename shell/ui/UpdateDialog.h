// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "shell/UpdateCheck.h"

#include <QDate>
#include <QDialog>
#include <QString>

#include <functional>
#include <memory>

namespace Ui {
class UpdateDialog;
}

// The program update of the main window (F9).
namespace shell::ui {

// Asks where to save a file: (parent, caption, proposed path, filter in Qt's
// "Name (*.a *.b);;..." form) -> the chosen path, empty when cancelled.
using ChooseSaveFile = std::function<QString(QWidget* parent, const QString& caption, const QString& proposed,
                                             const QString& filter)>;

struct UpdateOptions
{
    UpdateSources sources = programUpdateSources();
    // Where the version file and the installer to run are downloaded; empty:
    // the process's temporary export folder.
    QString temporaryFolder;
    // Asks where to save the installation kit; empty: the system's save dialog.
    ChooseSaveFile chooseSaveFile;
    // The running program's file; empty: this process's executable.
    QString programPath;
};

// Asks the maker's site whether a newer version exists and, when one does,
// offers to download it: to run its installer at once (Windows, program on a
// local drive only) or to save the installation kit where the user chooses.
// The downloads run on a worker thread; the window stays responsive. Every
// outcome is told through framework::messagePresenter(). Returns true when
// the installer has been started: the program must then close so that it
// can replace the program's files (never true outside Windows).
bool checkForUpdate(QWidget* parent, const QDate& programVersionDate, const UpdateOptions& options = {});

// The update window: both dates, the two variants, the download's progress.
class UpdateDialog final : public QDialog
{
    Q_OBJECT
public:
    UpdateDialog(const QDate& programVersionDate, const PublishedVersion& published,
                 const UpdateOptions& options, QWidget* parent = nullptr);
    ~UpdateDialog() override;

    // True once the installer has been started.
    bool installerStarted() const { return m_installerStarted; }

    void done(int result) override;

private:
    void download();

    std::unique_ptr<::Ui::UpdateDialog> m_ui;
    PublishedVersion m_published;
    UpdateOptions m_options;
    bool m_busy = false;
    bool m_installerStarted = false;
};

} // namespace shell::ui
