// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/Startup.h"
#include "framework/ProcessSettings.h"
#include "framework/RecordingPresenter.h"
#include "framework/StorageErrorTexts.h"
#include "framework/WindowPositions.h"
#include "lists/ui/ListFormat.h"
#include "platform/Paths.h"
#include "shell/CommandLine.h"
#include "shell/DemoData.h"
#include "shell/DemoMode.h"
#include "shell/ExitWriteBack.h"
#include "shell/Folders.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/BrwSet.h"
#include "vetis/Endpoints.h"
#include "vetis/TransportSettings.h"

#include "framework/PrintQString.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QSettings>
#include <QStandardItemModel>
#include <QTableView>
#include <gtest/gtest.h>

using namespace shell;

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

// A made-up installation: a program folder with our two libraries of build
// 0x1005 and two other libraries, a data folder, a per-user folder.
class StartupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        framework::windowpositions::useSettingsFile(root.file(QStringLiteral("Vetis.conf")));
        framework::uninstallStorageErrorTexts();
        QDir(root.path()).mkpath(QStringLiteral("program"));
        QDir(root.path()).mkpath(QStringLiteral("data"));
        QDir(root.path()).mkpath(QStringLiteral("appdata"));
        programFolder = root.path() + QStringLiteral("program/");
        writeFile(programFolder + QStringLiteral("libzanvo_platform.so"), "....ZANVO-BUILD:1005....");
        writeFile(programFolder + QStringLiteral("libzanvo_xmltypes.so"), "..ZANVO-BUILD:1005");
        writeFile(programFolder + QStringLiteral("libQt6Core.so.6"), "elf");
        writeFile(programFolder + QStringLiteral("libcurl.so.4"), "elf");

        env.arguments = {programFolder + QStringLiteral("zanvo")};
        env.programPath = programFolder + QStringLiteral("zanvo");
        env.programFolder = programFolder;
        env.requiredFiles = {{programFolder + QStringLiteral("libzanvo_platform.so"), true},
                             {programFolder + QStringLiteral("libzanvo_xmltypes.so"), true},
                             {programFolder + QStringLiteral("libQt6Core.so.6"), false},
                             {programFolder + QStringLiteral("libcurl.so.4"), false}};
        env.programBuild = 0x1005;
        env.runtimeBuild = 0x1005;
        env.dataFolder = root.path() + QStringLiteral("data");
        env.localAppData = root.path() + QStringLiteral("appdata/");
        env.presenter = &presenter;
        env.runMainWindow = [this] {
            mainWindowRuns++;
            // Nothing may have been written to a table before the window runs.
            EXPECT_TRUE(QDir(env.dataFolder + QStringLiteral("/Base")).isEmpty());
            return 7;
        };
        env.exitWriteBack = [this] {
            EXPECT_EQ(mainWindowRuns, 1);
            writeBacks++;
        };
    }
    void TearDown() override
    {
        framework::windowpositions::useSettingsFile(QString());
        framework::installStorageErrorTexts();
    }

    QString perUserFolder() const { return root.path() + QStringLiteral("appdata/Kestrom/Vetis/"); }

    testsupport::TempFolder root;
    QString programFolder;
    framework::RecordingPresenter presenter;
    StartupEnvironment env;
    int mainWindowRuns = 0;
    int writeBacks = 0;
};

} // namespace

TEST_F(StartupTest, CompleteInstallationRunsTheMainWindowAndWritesBack)
{
    const StartupOutcome out = runStartup(env);
    EXPECT_EQ(out.stop, StartupStop::None);
    EXPECT_EQ(out.reached, StartupStage::WrittenBack);
    EXPECT_EQ(out.exitCode, 7);
    EXPECT_EQ(mainWindowRuns, 1);
    EXPECT_EQ(writeBacks, 1);
    EXPECT_EQ(presenter.count(), 0u);
    EXPECT_TRUE(framework::storageErrorTextsInstalled());
    EXPECT_EQ(out.listFormatFile, perUserFolder() + QStringLiteral("lf.dat"));
    EXPECT_EQ(framework::process::listFormatFile(), out.listFormatFile);
    EXPECT_EQ(framework::process::dataFolder(), env.dataFolder + u'/');
    EXPECT_EQ(framework::process::uiFontSize(), 11);
    // The per-user folder chain exists; the file itself is the list table's.
    EXPECT_TRUE(QFileInfo(perUserFolder()).isDir());
    EXPECT_FALSE(QFileInfo::exists(out.listFormatFile));
    EXPECT_EQ(framework::standardButtonCaption(framework::ButtonYes), QStringLiteral("&1. Да"));
}

TEST_F(StartupTest, ListFormatsChangedWhileTheMainWindowRanAreInTheListFormatFileAfterwards)
{
    env.runMainWindow = [] {
        store::Session session(framework::process::dataFolder(), framework::process::listFormatFile());
        QStandardItemModel model(1, 3);
        QWidget window;
        auto* view = new QTableView(&window);
        view->setModel(&model);
        lists::ui::attachListFormat(view, QStringLiteral("Brw_m_VSD2"), session);
        view->horizontalHeader()->moveSection(2, 0);
        window.close();
        return 0;
    };
    env.exitWriteBack = &shell::writeBackChangedListFormats;
    const StartupOutcome out = runStartup(env);
    EXPECT_EQ(out.reached, StartupStage::WrittenBack);
    EXPECT_EQ(presenter.count(), 0u);

    store::Session session(env.dataFolder, out.listFormatFile);
    store::TypedTable<store::BrwSetRecord> formats(session, store::brwSetTable());
    ASSERT_EQ(formats.open(), store::kOk);
    formats.clear();
    store::setZText(formats.rec().IDBROWSE, "Brw_m_VSD2");
    ASSERT_EQ(formats.fetch("BRW:BYID"), store::kOk);
    EXPECT_NE(store::ztextOf(formats.rec().CURFORMAT), store::ztextOf(formats.rec().DEFFORMAT));
    EXPECT_NE(store::ztextOf(formats.rec().CURFORMAT).find(";2:"), std::string_view::npos);
}

TEST_F(StartupTest, TheAnswerSizeLimitComesFromTheSettingsWhenItIsAWholeNumberInRange)
{
    const auto limitAfterStartWith = [this](const QString& value) {
        framework::windowpositions::put(QString(), QStringLiteral("MaxAnswerMB"), value);
        framework::process::setMaxAnswerBytes(1);
        mainWindowRuns = 0;
        EXPECT_EQ(runStartup(env).stop, StartupStop::None);
        // Every transfer made from then on takes the setting.
        EXPECT_EQ(vetis::TransferLimits{}.maxAnswerBytes, framework::process::maxAnswerBytes());
        return framework::process::maxAnswerBytes();
    };
    EXPECT_EQ(limitAfterStartWith(QStringLiteral("12")), std::size_t{12} << 20);
    EXPECT_EQ(limitAfterStartWith(QStringLiteral("4096")), std::size_t{4096} << 20);
    for (const char* refused : {"0", "-5", "4097", "12abc", "1e3", " "})
        EXPECT_EQ(limitAfterStartWith(QString::fromLatin1(refused)),
                  framework::process::kDefaultMaxAnswerBytes)
            << refused;
    framework::process::setMaxAnswerBytes(framework::process::kDefaultMaxAnswerBytes);
}

TEST_F(StartupTest, ProgramAndRuntimeOfDifferentBuildsStopBeforeAnyFileIsChecked)
{
    env.runtimeBuild = 0x1006;
    env.requiredFiles.insert(env.requiredFiles.begin(),
                             {programFolder + QStringLiteral("missing.so"), false});
    const StartupOutcome out = runStartup(env);
    EXPECT_EQ(out.stop, StartupStop::BuildMismatch);
    EXPECT_EQ(out.exitCode, kStartupFailedExitCode);
    EXPECT_EQ(out.reached, StartupStage::SettingsApplied);
    ASSERT_EQ(presenter.count(), 1u); // M1 only: no M2 for the missing file
    const framework::MessageRequest m = presenter.shown()[0];
    EXPECT_EQ(m.caption, QStringLiteral("Нарушена целостность программы"));
    EXPECT_EQ(m.customButtons, QStringList{QStringLiteral("  &1. Переустановите программу ! .")});
    EXPECT_EQ(m.text, QStringLiteral("У нас проблема !     ."));
    EXPECT_EQ(mainWindowRuns, 0);
    EXPECT_EQ(writeBacks, 0);
    EXPECT_FALSE(framework::storageErrorTextsInstalled());
}

TEST_F(StartupTest, FirstMissingFileInTableOrderIsTheOneNamed)
{
    QFile::remove(programFolder + QStringLiteral("libzanvo_xmltypes.so"));
    QFile::remove(programFolder + QStringLiteral("libcurl.so.4"));
    const StartupOutcome out = runStartup(env);
    EXPECT_EQ(out.stop, StartupStop::RequiredFile);
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_TRUE(presenter.shown()[0].text.contains(QStringLiteral("Нет файла: libzanvo_xmltypes.so||")));
    EXPECT_TRUE(presenter.shown()[0].text.contains(env.programPath));
    EXPECT_EQ(mainWindowRuns, 0);
    EXPECT_FALSE(QFileInfo::exists(env.dataFolder + QStringLiteral("/Base")));
}

TEST_F(StartupTest, LibraryOfAnotherBuildStopsWithItsMessage)
{
    writeFile(programFolder + QStringLiteral("libzanvo_platform.so"), "ZANVO-BUILD:1004");
    const StartupOutcome out = runStartup(env);
    EXPECT_EQ(out.stop, StartupStop::RequiredFile);
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_TRUE(presenter.shown()[0].text.contains(QStringLiteral("|Версия: 0x1004  ( 4100 )||")));
    EXPECT_TRUE(
        presenter.shown()[0].text.startsWith(QStringLiteral("Нарушена целостность библиотек программы !")));
}

TEST_F(StartupTest, MissingDataFolderStopsWithoutListFormatFolders)
{
    env.dataFolder = root.path() + QStringLiteral("gone");
    env.arguments << QStringLiteral("FPATH=") + root.path() + QStringLiteral("lists");
    const StartupOutcome out = runStartup(env);
    EXPECT_EQ(out.stop, StartupStop::DataFolder);
    EXPECT_EQ(out.reached, StartupStage::InstallationVerified);
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_EQ(presenter.shown()[0].caption, QStringLiteral("Сообщение"));
    EXPECT_EQ(presenter.shown()[0].text, QStringLiteral("Нет доступа к папке с БД программы Zanvo !"));
    EXPECT_EQ(mainWindowRuns, 0);
    EXPECT_TRUE(out.listFormatFile.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(root.path() + QStringLiteral("appdata/Kestrom")));
    EXPECT_FALSE(QFileInfo::exists(env.dataFolder));

    env.dataFolder.clear(); // the current folder could not be determined
    presenter.clear();
    EXPECT_EQ(runStartup(env).stop, StartupStop::DataFolder);
}

TEST_F(StartupTest, BaseFolderIsCreatedWhenMissing)
{
    ASSERT_FALSE(QFileInfo::exists(env.dataFolder + QStringLiteral("/Base")));
    EXPECT_EQ(runStartup(env).stop, StartupStop::None);
    EXPECT_TRUE(QFileInfo(env.dataFolder + QStringLiteral("/Base")).isDir());
    EXPECT_EQ(mainWindowRuns, 1);
}

TEST_F(StartupTest, ExistingFpathWithoutTrailingSlashHoldsTheListFormats)
{
    QDir(root.path()).mkdir(QStringLiteral("lists"));
    env.arguments << QStringLiteral("fpath=") + root.path() + QStringLiteral("lists");
    const StartupOutcome out = runStartup(env);
    EXPECT_EQ(out.listFormatFile, root.path() + QStringLiteral("lists/lf.dat"));
    EXPECT_EQ(presenter.count(), 0u);
    EXPECT_FALSE(QFileInfo::exists(root.path() + QStringLiteral("appdata/Kestrom")));
}

TEST_F(StartupTest, MissingFpathWarnsOnceAndFallsBackToThePerUserFolder)
{
    const QString missing = root.path() + QStringLiteral("nowhere");
    env.arguments << QStringLiteral("FPATH=") + missing;
    const StartupOutcome out = runStartup(env);
    ASSERT_EQ(presenter.count(), 1u);
    const framework::MessageRequest m = presenter.shown()[0];
    EXPECT_EQ(m.caption, QStringLiteral("Внимание !"));
    EXPECT_EQ(m.customButtons, QStringList{QStringLiteral("Увидел(а)")});
    EXPECT_EQ(m.text,
              QStringLiteral("Нет доступа к папке хранения файлов с настройками форматов списков программы "
                             "!|Проблемная папка: ") +
                  missing +
                  QStringLiteral("/||Для хранения файлов с настройками будет использована рабочая "
                                 "папка ОС Windows.|"));
    EXPECT_EQ(out.listFormatFile, perUserFolder() + QStringLiteral("lf.dat"));
    EXPECT_TRUE(QFileInfo(perUserFolder()).isDir());
    EXPECT_EQ(mainWindowRuns, 1);
}

TEST_F(StartupTest, TemporaryFolderComesFromRamWhenItExists)
{
    env.exitWriteBack = {};
    env.arguments << QStringLiteral("RAM=") + root.path() + QStringLiteral("data");
    EXPECT_EQ(runStartup(env).temporaryExportFolder, root.path() + QStringLiteral("data/"));
    env.arguments << QStringLiteral("RAM=") + root.path() + QStringLiteral("none");
    EXPECT_EQ(runStartup(env).temporaryExportFolder, platform::systemTempFolder());
    EXPECT_EQ(framework::process::temporaryExportFolder(), platform::systemTempFolder());
}

TEST_F(StartupTest, UnusablePerUserFolderFallsBackToTheCurrentFolder)
{
    // A path the program refuses to create: longer than 247 characters.
    const QString deep = root.path() + QString(240, u'x') + u'/';
    const QString file = ListFormatFilePath(QStringLiteral("Vetis"), QString(), presenter, deep);
    EXPECT_EQ(file, QDir::current().absoluteFilePath(QStringLiteral("lf.dat")));
    EXPECT_FALSE(QFileInfo::exists(deep));
    // No per-user folder at all.
    EXPECT_EQ(ListFormatFilePath(QStringLiteral("Vetis"), QString(), presenter, QString()), file);
    EXPECT_EQ(presenter.count(), 0u);
}

TEST_F(StartupTest, DemoRunsInItsOwnFolderWithItsServiceUntilTheProgramEnds)
{
    const QString startFolder = QDir::currentPath();
    const QString demoFolder = root.path() + QStringLiteral("demo/");
    env.arguments << QStringLiteral("DEMO=") + demoFolder;
    env.offerDemo = [](const QString&) {
        ADD_FAILURE() << "the demo asked for is not offered";
        return false;
    };
    env.runMainWindow = [&] {
        ++mainWindowRuns;
        EXPECT_TRUE(isDemoRun());
        EXPECT_EQ(framework::process::dataFolder(), demoFolder);
        EXPECT_EQ(QDir::currentPath() + u'/', demoFolder);
        EXPECT_TRUE(dataFolderHasOwnEntity(demoFolder));
        EXPECT_EQ(vetis::endpointBase(0).rfind("http://127.0.0.1:", 0), 0u);
        return 0;
    };
    const StartupOutcome outcome = runStartup(env);
    QDir::setCurrent(startFolder);
    EXPECT_TRUE(outcome.demo);
    EXPECT_EQ(outcome.stop, StartupStop::None);
    EXPECT_EQ(mainWindowRuns, 1);
    EXPECT_EQ(presenter.count(), 0u);
    // The service stopped with the program; the user's data folder was not touched.
    EXPECT_FALSE(isDemoRun());
    EXPECT_EQ(vetis::endpointBase(0), "https://api.vetrf.ru");
    EXPECT_TRUE(QDir(env.dataFolder + QStringLiteral("/Base")).isEmpty());
}

TEST_F(StartupTest, DemoIsOfferedOnlyForAFolderWithoutOwnEntity)
{
    const QString startFolder = QDir::currentPath();
    env.homeFolder = root.path() + QStringLiteral("home");
    QStringList asked;
    bool accept = false;
    env.offerDemo = [&](const QString& question) {
        asked << question;
        return accept;
    };
    // Declined: the program runs on its data folder.
    EXPECT_FALSE(runStartup(env).demo);
    EXPECT_EQ(asked, QStringList{demoOfferQuestion()});
    EXPECT_EQ(framework::process::dataFolder(), root.path() + QStringLiteral("data/"));

    // Accepted: the demo runs in the default demo folder.
    accept = true;
    env.runMainWindow = [&] {
        EXPECT_TRUE(isDemoRun());
        EXPECT_EQ(framework::process::dataFolder(), defaultDemoFolder(env.homeFolder));
        return 0;
    };
    EXPECT_TRUE(runStartup(env).demo);
    QDir::setCurrent(startFolder);
    EXPECT_EQ(asked.size(), 2);
    EXPECT_TRUE(dataFolderHasOwnEntity(defaultDemoFolder(env.homeFolder)));
    EXPECT_TRUE(QDir(env.dataFolder + QStringLiteral("/Base")).isEmpty());

    // A folder with an own entity is not asked about.
    env.dataFolder = defaultDemoFolder(env.homeFolder);
    env.runMainWindow = [] { return 0; };
    EXPECT_FALSE(runStartup(env).demo);
    EXPECT_EQ(asked.size(), 2);
}

TEST(CommandLine, ReadsOnlyItsParameters)
{
    const CommandLine c = parseCommandLine({QStringLiteral("zanvo"), QStringLiteral("FPATH=C:/Formats"),
                                            QStringLiteral("OTHER=1"), QStringLiteral("RAM"),
                                            QStringLiteral("ram=R:/tmp=x"), QStringLiteral("=v")});
    EXPECT_EQ(c.fpath, QStringLiteral("C:/Formats"));
    EXPECT_EQ(c.ram, QStringLiteral("R:/tmp=x"));
    EXPECT_FALSE(c.demo);
    // The program's own name is never a parameter.
    EXPECT_TRUE(parseCommandLine({QStringLiteral("FPATH=x")}).fpath.isEmpty());
}

TEST(CommandLine, DemoAloneOrWithItsFolder)
{
    const QString program = QStringLiteral("zanvo");
    const CommandLine alone = parseCommandLine({program, QStringLiteral("demo")});
    EXPECT_TRUE(alone.demo);
    EXPECT_TRUE(alone.demoFolder.isEmpty());
    const CommandLine given = parseCommandLine({program, QStringLiteral("DEMO=/data/demo")});
    EXPECT_TRUE(given.demo);
    EXPECT_EQ(given.demoFolder, QStringLiteral("/data/demo"));
    EXPECT_EQ(defaultDemoFolder(QStringLiteral("/home/clerk")), QStringLiteral("/home/clerk/Zanvo-demo/"));
}
