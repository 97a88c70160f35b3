// SPDX-License-Identifier: LicenseRef-Kestrom
// The main window's exchanges against the VetIS test double: the list
// request runs on the worker while the window goes on, and its VSDs show.
#include "WindowData.h"

#include "framework/ProcessSettings.h"
#include "framework/ui/Controls.h"
#include "support/SimSettings.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/Endpoints.h"
#include "vetis/StoredVetisSettings.h"
#include "workspace/ui/BrowseVsdWindow.h"
#include "workspace/ui/VsdListModel.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

using framework::ui::control;
using namespace windowtest;
using workspace::ui::BrowseVsdWindow;

namespace {

class BrowseVsdExchangeTest : public WindowData
{
protected:
    void SetUp() override
    {
        WindowData::SetUp();
        vetissim::SimConfig config;
        config.inProcessAfterReceives = 0;
        config.completeAfterReceives = 0;
        sim = std::make_unique<vetissim::VetisSim>(config);
        ASSERT_TRUE(sim->start()) << sim->errorString();
        vetis::setEndpointBaseOverride(sim->baseUrl());
        addOwnEntity();
        store::Session s(m_folder.path());
        vetis::StoredVetisSettings settings(s);
        store::VetisRecord record = simSettings(*sim, kOwn);
        record.ANSWER = 1; // failures are shown
        ASSERT_EQ(settings.add(record), store::kOk);
    }
    void TearDown() override
    {
        vetis::clearEndpointOverrides();
        WindowData::TearDown();
    }
    std::unique_ptr<BrowseVsdWindow> open()
    {
        BrowseVsdWindow::Options options;
        options.dataFolder = m_folder.path();
        options.versionDate = QDate(2024, 4, 25);
        options.askBeforeClose = false;
        options.openFile = [this](const QString& file) { opened.push_back(file); };
        auto w = std::make_unique<BrowseVsdWindow>(options);
        w->show();
        return w;
    }

    std::unique_ptr<vetissim::VetisSim> sim;
    QStringList opened;
};

TEST_F(BrowseVsdExchangeTest, TheListRequestRunsBesideTheWindowAndItsVsdsShow)
{
    auto w = open();
    control<QCheckBox>(w.get(), QStringLiteral("LOC:FPERIOD"))->setChecked(false);
    ASSERT_EQ(w->model().rowCount(), 0);
    auto* request = control<QPushButton>(w.get(), QStringLiteral("BRequest"));
    request->click();
    // The window is not blocked: the run goes on while it answers, and the
    // commands that would conflict wait.
    EXPECT_TRUE(w->exchangeRunning());
    EXPECT_FALSE(request->isEnabled());
    EXPECT_TRUE(control<QProgressBar>(w.get(), QStringLiteral("INDICATOR"))->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!w->exchangeRunning(), 30000);
    EXPECT_TRUE(request->isEnabled());
    EXPECT_GT(w->model().rowCount(), 0);
    EXPECT_TRUE(control<QLabel>(w.get(), QStringLiteral("LOC:WORK"))
                    ->text()
                    .startsWith(QStringLiteral("Успешно загружены ВСД по запросу с 1 по ")))
        << control<QLabel>(w.get(), QStringLiteral("LOC:WORK"))->text().toStdString();
    EXPECT_TRUE(w->pendingListRequest().empty());
    // Only the warning about the shelf life of what arrived was shown.
    for (const auto& shown : m_presenter.shown())
        EXPECT_TRUE(shown.text.startsWith(QStringLiteral("Внимание !!!"))) << shown.text.toStdString();
}

TEST_F(BrowseVsdExchangeTest, ARepayFromTheWindowEndsWithTheVsdRepaidAndNothingLeftToAnswer)
{
    auto w = open();
    control<QCheckBox>(w.get(), QStringLiteral("LOC:FPERIOD"))->setChecked(false);
    control<QPushButton>(w.get(), QStringLiteral("BRequest"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w->exchangeRunning(), 30000);
    int row = -1;
    for (int r = 0; r < w->model().rowCount() && row < 0; ++r)
        if (w->model().record(r)->CODSTATUS == 1 && w->model().record(r)->FINALIZED == 0)
            row = r;
    ASSERT_GE(row, 0);
    const std::string uuid = w->model().uuidAt(row);
    auto* view = control<QTableView>(w.get(), QStringLiteral("?BROWSE:1"));
    view->setCurrentIndex(w->model().index(row, 3));
    QTest::keyClick(view, Qt::Key_Space);
    m_presenter.clear();
    m_presenter.setNextAnswer(framework::ButtonYes);
    control<QPushButton>(w.get(), QStringLiteral("BGo"))->click();
    ASSERT_GE(m_presenter.count(), 1u);
    EXPECT_EQ(m_presenter.shown().front().text,
              QStringLiteral("Отправить на гашение выбранные в списке ВСД: 1 ?"));
    QTRY_VERIFY_WITH_TIMEOUT(!w->exchangeRunning(), 30000);
    const int after = w->model().rowOfUuid(uuid);
    ASSERT_GE(after, 0);
    EXPECT_EQ(+w->model().record(after)->CODSTATUS, 3);
    EXPECT_EQ(+w->model().record(after)->CONDITION, 0);
    // The mark stays after a repay; F4 then finds nothing waiting for an answer.
    EXPECT_TRUE(w->model().selection().contains(uuid));
    m_presenter.clear();
    control<QPushButton>(w.get(), QStringLiteral("BAnswer"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w->exchangeRunning(), 30000);
    ASSERT_EQ(m_presenter.count(), 1u);
    EXPECT_EQ(m_presenter.shown().front().text,
              QStringLiteral("Нет запросов требующих получения ответа с сервиса !"));
}

TEST_F(BrowseVsdExchangeTest, ThePrintFormOfTheCurrentVsdIsDownloadedAndOpened)
{
    framework::process::setTemporaryExportFolder(m_folder.path() + QStringLiteral("/export/"));
    ASSERT_TRUE(QDir().mkpath(m_folder.path() + QStringLiteral("/export")));
    auto w = open();
    control<QCheckBox>(w.get(), QStringLiteral("LOC:FPERIOD"))->setChecked(false);
    control<QPushButton>(w.get(), QStringLiteral("BRequest"))->click();
    QTRY_VERIFY_WITH_TIMEOUT(!w->exchangeRunning(), 30000);
    ASSERT_GT(w->model().rowCount(), 0);
    control<QPushButton>(w.get(), QStringLiteral("BPrint"))->click();
    EXPECT_EQ(control<QLabel>(w.get(), QStringLiteral("LOC:WORK"))->text(),
              QStringLiteral("Запрос печатной формы ВСД в PDF формате ..."));
    QTRY_VERIFY_WITH_TIMEOUT(!w->exchangeRunning(), 30000);
    ASSERT_EQ(opened.size(), 1);
    QFile pdf(opened.front());
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    EXPECT_EQ(control<QLabel>(w.get(), QStringLiteral("LOC:WORK"))->text(),
              QStringLiteral("ГОТОВ К ЗАПРОСУ"));
    framework::process::setTemporaryExportFolder(QString());
}

TEST_F(BrowseVsdExchangeTest, APacketBelowOneIsRefusedBeforeAnythingIsSent)
{
    auto w = open();
    auto* packet = control<QSpinBox>(w.get(), QStringLiteral("LOC:VCOUNT"));
    EXPECT_EQ(packet->minimum(), 1);
    packet->setValue(-3);
    EXPECT_EQ(packet->value(), 1);
}

} // namespace
