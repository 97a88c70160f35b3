// SPDX-License-Identifier: LicenseRef-Kestrom
// "Справка": the page shipped with the program, written where the browser can
// open it, and what the user is told when that fails.
#include "shell/HelpPage.h"
#include "shell/ui/OpenHelp.h"

#include "framework/RecordingPresenter.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class HelpPageTest : public ::testing::Test
{
protected:
    void SetUp() override { framework::setMessagePresenter(&presenter); }
    void TearDown() override { framework::setMessagePresenter(nullptr); }

    testsupport::TempFolder folder;
    framework::RecordingPresenter presenter;
};

TEST_F(HelpPageTest, TheShippedPageIsWrittenOnceAndAStaleOneReplaced)
{
    ASSERT_TRUE(shell::makerHelpUrl().isEmpty()); // no maker's site in this build
    const QString where = folder.path() + QStringLiteral("Временные");
    QString error;
    const QUrl url = shell::helpPageUrl(where, &error);
    ASSERT_TRUE(url.isLocalFile()) << error.toStdString();
    const QString path = url.toLocalFile();
    EXPECT_EQ(QFileInfo(path).absolutePath(), QFileInfo(where).absoluteFilePath());
    const QByteArray page = readFile(path);
    EXPECT_TRUE(page.startsWith("<!DOCTYPE html>"));
    EXPECT_TRUE(page.contains(QStringLiteral("Утренняя работа").toUtf8()));
    EXPECT_TRUE(page.trimmed().endsWith("</html>"));

    // A page left by an older program is replaced; an equal one is not rewritten.
    {
        QFile stale(path);
        ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
        stale.write("<html>old</html>");
    }
    EXPECT_EQ(shell::helpPageUrl(where), url);
    EXPECT_EQ(readFile(path), page);
    const QDateTime written = QFileInfo(path).lastModified();
    EXPECT_EQ(shell::helpPageUrl(where), url);
    EXPECT_EQ(QFileInfo(path).lastModified(), written);
}

TEST_F(HelpPageTest, AFolderThatCannotBeWrittenOrABrowserThatFailsIsToldToTheUser)
{
    // A file stands where the folder should be.
    const QString blocked = folder.file(QStringLiteral("blocked"));
    {
        QFile f(blocked);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QString error;
    EXPECT_TRUE(shell::helpPageUrl(blocked + QStringLiteral("/inner"), &error).isEmpty());
    EXPECT_TRUE(error.startsWith(QStringLiteral("нет доступа к папке "))) << error.toStdString();

    int opened = 0;
    shell::ui::openHelp(blocked + QStringLiteral("/inner"), [&opened](const QUrl&) { return ++opened > 0; });
    EXPECT_EQ(opened, 0);
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_TRUE(presenter.shown().back().text.startsWith(QStringLiteral("Не удалось подготовить справку: ")));

    QUrl asked;
    shell::ui::openHelp(folder.path(), [&asked](const QUrl& url) {
        asked = url;
        return false;
    });
    EXPECT_TRUE(asked.isLocalFile());
    ASSERT_EQ(presenter.count(), 2u);
    EXPECT_TRUE(
        presenter.shown().back().text.startsWith(QStringLiteral("Не удалось открыть справку в браузере.")));

    shell::ui::openHelp(folder.path(), [](const QUrl&) { return true; });
    EXPECT_EQ(presenter.count(), 2u);
}

} // namespace
