// SPDX-License-Identifier: LicenseRef-Kestrom
// F9 from the window's side: what the user is told, and the installation kit
// saved where the user chose.
#include "shell/ui/UpdateDialog.h"

#include "UpdateSite.h"
#include "framework/PrintQString.h"
#include "framework/RecordingPresenter.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace updateuitest {

// A site that publishes `date` and serves `installer` as its installer.
void serveVersion(UpdateSite& site, const std::string& date, const std::string& installer)
{
    site.http().Get("/_version", [&site, date](const httplib::Request&, httplib::Response& res) {
        res.set_content("[VetisZnv]\nDate=" + date + "\nLink=" + site.base().toStdString() +
                            "/dl/ZanvoSetup.exe\n",
                        "text/plain");
    });
    site.http().Get("/dl/ZanvoSetup.exe", [installer](const httplib::Request&, httplib::Response& res) {
        res.set_content(installer, "application/octet-stream");
    });
}

// Acts on the update window once it is shown (the check before it takes a
// moment); gives up after ten seconds.
void whenUpdateWindowShown(std::function<void(QDialog&)> act)
{
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, act] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog && ++*tries < 1000)
            return;
        poll->stop();
        poll->deleteLater();
        if (dialog)
            act(*dialog);
    });
    poll->start(10);
}

class UpdateDialogTest : public ::testing::Test
{
protected:
    void SetUp() override { framework::setMessagePresenter(&presenter); }
    void TearDown() override { framework::setMessagePresenter(nullptr); }

    shell::ui::UpdateOptions optionsFor(const UpdateSite& site)
    {
        shell::ui::UpdateOptions options;
        options.sources.baseUrls = {site.base(), site.base()};
        options.sources.allowPlainHttp = true;
        options.temporaryFolder = temp.path();
        options.programPath = QStringLiteral("/opt/zanvo/zanvo");
        return options;
    }

    framework::RecordingPresenter presenter;
    testsupport::TempFolder temp;
};

} // namespace updateuitest

using namespace updateuitest;

TEST_F(UpdateDialogTest, SavesTheInstallationKitWhereTheUserChose)
{
    const std::string installer(40000, 'k');
    UpdateSite site;
    serveVersion(site, "30.06.2024", installer);
    ASSERT_TRUE(site.start());
    shell::ui::UpdateOptions options = optionsFor(site);
    const QString chosen = temp.file(QStringLiteral("kit/Setup.exe"));
    ASSERT_TRUE(QDir().mkpath(temp.file(QStringLiteral("kit"))));
    QString proposed;
    options.chooseSaveFile = [&](QWidget*, const QString& caption, const QString& path, const QString&) {
        EXPECT_EQ(caption, QStringLiteral("Укажите файл для установочного комплекта ..."));
        proposed = path;
        return chosen;
    };

    bool runEnabled = true;
    QString shownDates;
    whenUpdateWindowShown([&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Выполнить обновление программы ?"));
        runEnabled = dialog.findChild<QRadioButton*>(QStringLiteral("VARIANT1"))->isEnabled();
        shownDates = dialog.findChild<QLabel*>(QStringLiteral("NOWDATE"))->text() + u' ' +
                     dialog.findChild<QLabel*>(QStringLiteral("NEWDATE"))->text();
        dialog.findChild<QPushButton*>(QStringLiteral("BYES"))->click();
    });
    EXPECT_FALSE(shell::ui::checkForUpdate(nullptr, QDate(2024, 4, 25), options));

    // Outside Windows only the installation kit is offered.
    EXPECT_FALSE(runEnabled);
    EXPECT_EQ(shownDates, QStringLiteral("25.04.2024 30.06.2024"));
    EXPECT_TRUE(proposed.endsWith(QStringLiteral("ZanvoSetup.exe")));
    QFile kit(chosen);
    ASSERT_TRUE(kit.open(QIODevice::ReadOnly));
    EXPECT_EQ(kit.readAll(), QByteArray::fromStdString(installer));
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_EQ(presenter.shown().front().text,
              QStringLiteral("Установочный комплект программы успешно загружен|в файл: ") +
                  QDir::toNativeSeparators(chosen) +
                  QStringLiteral("||Закройте программу и запустите установку обновления.|"));
}

TEST_F(UpdateDialogTest, TellsWhenThereIsNothingToDo)
{
    UpdateSite site;
    serveVersion(site, "25.04.2024", "x");
    ASSERT_TRUE(site.start());
    EXPECT_FALSE(shell::ui::checkForUpdate(nullptr, QDate(2024, 4, 25), optionsFor(site)));
    ASSERT_EQ(presenter.count(), 1u);
    EXPECT_EQ(presenter.shown().front().caption, QStringLiteral("Информация"));

    // A cancelled save dialog ends the command without a download.
    presenter.clear();
    shell::ui::UpdateOptions cancelled = optionsFor(site);
    cancelled.chooseSaveFile = [](QWidget*, const QString&, const QString&, const QString&) {
        return QString();
    };
    UpdateSite newer;
    serveVersion(newer, "01.05.2024", "x");
    ASSERT_TRUE(newer.start());
    cancelled.sources.baseUrls = {newer.base()};
    bool windowShown = false;
    whenUpdateWindowShown([&](QDialog& dialog) {
        dialog.findChild<QPushButton*>(QStringLiteral("BYES"))->click();
        windowShown = dialog.isVisible();
        dialog.reject();
    });
    EXPECT_FALSE(shell::ui::checkForUpdate(nullptr, QDate(2024, 4, 25), cancelled));
    EXPECT_TRUE(windowShown);
    EXPECT_EQ(presenter.count(), 0u);
}
