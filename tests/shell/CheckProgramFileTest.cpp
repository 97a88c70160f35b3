// SPDX-License-Identifier: LicenseRef-Kestrom
#include "shell/CheckProgramFile.h"
#include "framework/RecordingPresenter.h"
#include "platform/Build.h"
#include "platform/Paths.h"
#include "shell/RequiredFiles.h"

#include "framework/PrintQString.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace shell;

namespace {

// A made-up library: some bytes, the marker text somewhere inside, more bytes.
QString writeLibrary(const testsupport::TempFolder& dir, const QString& name, const QByteArray& marker)
{
    const QString path = dir.file(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(5000, '\x7f'));
    f.write(marker);
    f.write(QByteArray(300, '\0'));
    return path;
}

class CheckProgramFileTest : public ::testing::Test
{
protected:
    framework::RecordingPresenter presenter;
    testsupport::TempFolder dir;
    CheckContext context{QStringLiteral("C:/Zanvo/zanvo.exe"), &presenter};
};

} // namespace

TEST_F(CheckProgramFileTest, MarkerIsReadFromInsideTheFile)
{
    EXPECT_EQ(readBuildMarker(writeLibrary(dir, QStringLiteral("a.so"), "ZANVO-BUILD:1005")).status,
              BuildMarker::Found);
    EXPECT_EQ(readBuildMarker(writeLibrary(dir, QStringLiteral("b.so"), "ZANVO-BUILD:BEEF")).build, 0xBEEF);
    EXPECT_EQ(readBuildMarker(writeLibrary(dir, QStringLiteral("c.so"), "no marker")).status,
              BuildMarker::Absent);
    EXPECT_EQ(readBuildMarker(writeLibrary(dir, QStringLiteral("d.so"), "ZANVO-BUILD:10g5")).status,
              BuildMarker::Unreadable);
    EXPECT_EQ(readBuildMarker(writeLibrary(dir, QStringLiteral("e.so"), "ZANVO-BUILD:beef")).status,
              BuildMarker::Unreadable);
    EXPECT_EQ(readBuildMarker(dir.file(QStringLiteral("missing.so"))).status, BuildMarker::Absent);
}

TEST_F(CheckProgramFileTest, LibraryOfTheExpectedBuildPasses)
{
    const QString lib = writeLibrary(dir, QStringLiteral("libzanvo_xmltypes.so"), "ZANVO-BUILD:1005");
    EXPECT_FALSE(CheckProgramFile(lib, 0x1005, true, context));
    // Only four hex digits are stored: a build differing above them passes.
    EXPECT_FALSE(CheckProgramFile(lib, 0x31005, true, context));
    // Presence only: the marker is not looked at.
    EXPECT_FALSE(CheckProgramFile(lib, 0, true, context));
    EXPECT_EQ(presenter.count(), 0u);
}

TEST_F(CheckProgramFileTest, LibraryOfAnotherBuildFailsWithBothBuildsNamed)
{
    const QString lib = writeLibrary(dir, QStringLiteral("libzanvo_platform.so"), "ZANVO-BUILD:0FFE");
    EXPECT_TRUE(CheckProgramFile(lib, 4101, false, context));
    ASSERT_EQ(presenter.count(), 1u);
    const framework::MessageRequest m = presenter.shown()[0];
    EXPECT_EQ(m.caption, QStringLiteral("У нас проблема"));
    EXPECT_EQ(m.customButtons, QStringList{QStringLiteral("&1. Закрыть")});
    EXPECT_EQ(m.icon, framework::MessageIcon::Information);
    EXPECT_EQ(
        m.text,
        QStringLiteral("Нарушена целостность библиотек программы !|Различные версии сборки EXE и DLL файлов "
                       "программы.||C:/Zanvo/zanvo.exe|Версия: 0x1005  ( 4101 )||") +
            lib +
            QStringLiteral("|Версия: 0x0FFE  ( 4094 )||Выполните пожалуйста переустановку программы.|"));
}

TEST_F(CheckProgramFileTest, MissingFileFailsNamingIt)
{
    EXPECT_TRUE(CheckProgramFile(dir.file(QStringLiteral("libcurl.so.4")), 0, false, context));
    EXPECT_TRUE(CheckProgramFile(dir.file(QStringLiteral("libzanvo_xmltypes.so")), 0x1005, false, context));
    ASSERT_EQ(presenter.count(), 2u);
    const framework::MessageRequest m = presenter.shown()[0];
    EXPECT_EQ(m.caption, QStringLiteral("У нас проблема"));
    EXPECT_EQ(m.text, QStringLiteral("Нарушена целостность файлов программы !||В папке из которой запущена "
                                     "программа:|C:/Zanvo/zanvo.exe||Нет файла: libcurl.so.4||Выполните "
                                     "пожалуйста переустановку программы.|"));
    EXPECT_TRUE(presenter.shown()[1].text.contains(QStringLiteral("Нет файла: libzanvo_xmltypes.so|")));
}

TEST_F(CheckProgramFileTest, UnreadableOrMissingVersionPassesWhenTheFileIsThere)
{
    const QString bad = writeLibrary(dir, QStringLiteral("bad.so"), "ZANVO-BUILD:XYZ");
    EXPECT_FALSE(CheckProgramFile(bad, 0x1005, false, context));
    EXPECT_EQ(presenter.count(), 0u);
    EXPECT_FALSE(CheckProgramFile(bad, 0x1005, true, context));
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_EQ(presenter.shown()[0].text, QStringLiteral("Ошибка WinGetFileVersionInfo !"));
    EXPECT_EQ(presenter.shown()[0].caption, QStringLiteral("У нас проблема"));

    const QString plain = writeLibrary(dir, QStringLiteral("plain.so"), "nothing");
    EXPECT_FALSE(CheckProgramFile(plain, 0x1005, true, context));
    EXPECT_EQ(presenter.count(), 1u);
}

TEST(RequiredFiles, TheBuiltLibrariesPassTheCheckOfThisBuild)
{
    // The tests lie beside the program's own libraries, as the program does.
    const QString folder = platform::programFolder();
    const auto files = requiredFiles(folder);
    ASSERT_GE(files.size(), 3u);
    EXPECT_EQ(QFileInfo(files[0].path).fileName(), QStringLiteral("libzanvo_platform.so"));
    EXPECT_EQ(QFileInfo(files[1].path).fileName(), QStringLiteral("libzanvo_xmltypes.so"));
    EXPECT_TRUE(files[0].versionChecked);
    EXPECT_TRUE(files[1].versionChecked);

    bool qtCoreListed = false;
    framework::RecordingPresenter presenter;
    const CheckContext context{platform::programPath(), &presenter};
    for (const RequiredFile& f : files) {
        qtCoreListed |= QFileInfo(f.path).fileName().startsWith(QStringLiteral("libQt6Core.so"));
        EXPECT_FALSE(f.versionChecked && f.path.contains(QStringLiteral("Qt6"))) << f.path.toStdString();
        EXPECT_FALSE(
            CheckProgramFile(f.path, f.versionChecked ? platform::runtimeBuild() : 0u, true, context))
            << f.path.toStdString();
    }
    EXPECT_TRUE(qtCoreListed);
    EXPECT_EQ(presenter.count(), 0u);
    EXPECT_EQ(readBuildMarker(files[1].path).build, platform::runtimeBuild());
    EXPECT_TRUE(loadedLibraryPath(QStringLiteral("libno-such-library.so")).isEmpty());
}
