// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/ui/UpdateDialog.h"

#include "ui_UpdateDialog.h"

#include "framework/MessageBox.h"
#include "framework/ProcessSettings.h"
#include "framework/ui/WindowPlacementUi.h"
#include "lists/ui/DialogFont.h"
#include "vetis/RequestRecord.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QThread>

#include <optional>
#include <utility>

namespace shell::ui {

namespace {

const QString kUpdateWindowId = QStringLiteral("UpdateProgram");

// Runs `work` on a thread of its own and waits for it without freezing the
// windows: they are repainted, but take no input meanwhile.
template <class Work>
auto runOffUiThread(Work work) -> decltype(work())
{
    std::optional<decltype(work())> result;
    QEventLoop loop;
    QThread* thread = QThread::create([&] { result.emplace(work()); });
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    delete thread;
    return std::move(*result);
}

// Moves the transfer's progress to the window's bar on the window's thread.
class BarProgress final : public vetis::TransferControl
{
public:
    explicit BarProgress(QProgressBar* bar)
        : m_bar(bar)
    {}
    void setProgress(int value) override
    {
        QPointer<QProgressBar> bar = m_bar;
        QMetaObject::invokeMethod(
            m_bar,
            [bar, value] {
                if (bar)
                    bar->setValue(value % 101);
            },
            Qt::QueuedConnection);
    }

private:
    QProgressBar* m_bar;
};

QString temporaryFolderOf(const UpdateOptions& options)
{
    if (!options.temporaryFolder.isEmpty())
        return options.temporaryFolder;
    const QString folder = framework::process::temporaryExportFolder();
    return folder.isEmpty() ? QDir::tempPath() : folder;
}

QString programPathOf(const UpdateOptions& options)
{
    return options.programPath.isEmpty() ? QCoreApplication::applicationFilePath() : options.programPath;
}

QString systemChooseSaveFile(QWidget* parent, const QString& caption, const QString& proposed,
                             const QString& filter)
{
    return QFileDialog::getSaveFileName(parent, caption, proposed, filter);
}

// Where the installation kit is first proposed.
QString kitFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\");
#else
    return QDir::homePath();
#endif
}

bool startInstaller(const QString& installer, const QString& programFolder)
{
#ifdef Q_OS_WIN
    QProcess process;
    process.setProgram(installer);
    process.setNativeArguments(installerParameters(programFolder));
    return process.startDetached();
#else
    static_cast<void>(installer);
    static_cast<void>(programFolder);
    return false;
#endif
}

} // namespace

UpdateDialog::UpdateDialog(const QDate& programVersionDate, const PublishedVersion& published,
                           const UpdateOptions& options, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<::Ui::UpdateDialog>())
    , m_published(published)
    , m_options(options)
{
    m_ui->setupUi(this);
    const QString format = QStringLiteral("dd.MM.yyyy");
    m_ui->NOWDATE->setText(programVersionDate.toString(format));
    m_ui->NEWDATE->setText(published.date.toString(format));
    m_ui->PROGRESS->setRange(0, 100);
    m_ui->PROGRESS->setValue(0);
    m_ui->BYES->setAutoDefault(false);

    if (canRunInstaller(programPathOf(m_options))) {
        m_ui->VARIANT1->setChecked(true);
    } else {
        // Here the installer cannot replace the program's files.
        m_ui->VARIANT1->setEnabled(false);
        m_ui->VARIANT2->setChecked(true);
    }

    connect(m_ui->BYES, &QPushButton::clicked, this, &UpdateDialog::download);
    connect(m_ui->BNO, &QPushButton::clicked, this, &QDialog::reject);

    lists::ui::useUiFontSize(*this);
    adjustSize();
    framework::ui::restoreWindowPlacement(*this, kUpdateWindowId);
}

UpdateDialog::~UpdateDialog() = default;

void UpdateDialog::done(int result)
{
    // A running download cannot be walked away from.
    if (m_busy)
        return;
    framework::ui::saveWindowPlacement(*this, kUpdateWindowId);
    QDialog::done(result);
}

void UpdateDialog::download()
{
    const bool runIt = m_ui->VARIANT1->isChecked() && m_ui->VARIANT1->isEnabled();
    QString target;
    if (runIt) {
        target = newTemporaryFile(temporaryFolderOf(m_options), QStringLiteral(".exe"));
    } else {
        const ChooseSaveFile choose =
            m_options.chooseSaveFile ? m_options.chooseSaveFile : systemChooseSaveFile;
        target = choose(this, QStringLiteral("Укажите файл для установочного комплекта ..."),
                        proposedKitPath(m_published.link, kitFolder()),
                        QStringLiteral("Программы (*.exe *.msi);;Все файлы (*.*)"));
        if (target.isEmpty())
            return;
    }

    m_busy = true;
    m_ui->BYES->setEnabled(false);
    m_ui->BNO->setEnabled(false);
    BarProgress progress(m_ui->PROGRESS);
    const PublishedVersion published = m_published;
    const UpdateSources sources = m_options.sources;
    const InstallerDownload result =
        runOffUiThread([&] { return downloadInstaller(published, target, sources, &progress); });
    // Let the last progress values reach the bar before the message.
    QCoreApplication::sendPostedEvents();
    m_busy = false;
    m_ui->BYES->setEnabled(true);
    m_ui->BNO->setEnabled(true);

    if (result != InstallerDownload::Done) {
        framework::showNotice(framework::messagePresenter(), installerDownloadMessage(result, target));
        return;
    }
    if (runIt) {
        const QString programFolder = QFileInfo(programPathOf(m_options)).absolutePath();
        if (!startInstaller(target, programFolder)) {
            framework::showNotice(framework::messagePresenter(),
                                  installerDownloadMessage(InstallerDownload::Missing, target));
            return;
        }
        m_installerStarted = true;
        accept();
        return;
    }
    framework::showNotice(framework::messagePresenter(),
                          installerDownloadMessage(InstallerDownload::Done, target));
    accept();
}

bool checkForUpdate(QWidget* parent, const QDate& programVersionDate, const UpdateOptions& options)
{
    const UpdateSources sources = options.sources;
    const QString folder = temporaryFolderOf(options);
    const std::optional<PublishedVersion> published =
        runOffUiThread([&] { return fetchPublishedVersion(sources, folder); });
    const UpdateVerdict verdict = judgeUpdate(programVersionDate, published);
    if (verdict != UpdateVerdict::Newer) {
        framework::showNotice(framework::messagePresenter(), verdictMessage(verdict));
        return false;
    }
    UpdateDialog dialog(programVersionDate, *published, options, parent);
    dialog.exec();
    return dialog.installerStarted();
}

} // namespace shell::ui
