// SPDX-License-Identifier: LicenseRef-Kestrom
// The demo as the program runs it: its service started inside the process
// answers the VSD list of the demo entity through the program's own exchange
// with the stored settings, brings VSDs the prepared folder does not hold yet,
// prints a VSD, and lets the process go back to the real services at the end.
#include "shell/DemoMode.h"
#include "framework/ProcessSettings.h"
#include "framework/RecordingPresenter.h"
#include "platform/Dates.h"
#include "responses/VsdLoader.h"
#include "responses/WalkerAnswerReader.h"
#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Vsd.h"
#include "support/TestSupport.h"
#include "vetis-sim/SimTypes.h"
#include "vetis/Endpoints.h"
#include "vetis/Exchange.h"
#include "vetis/StoredVetisSettings.h"
#include "workspace/PrintForm.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

constexpr const char* kDemoClerk = vetissim::known::kOwnEntityGuid;

std::set<std::string> storedUuids(const QString& folder)
{
    std::set<std::string> out;
    store::Session session(folder, {}, store::Access::ReadOnly);
    store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
    EXPECT_EQ(vsds.open(), store::kOk);
    vsds.clear();
    EXPECT_EQ(vsds.set("MVD:BYUUID", 0), store::kOk);
    while (vsds.next() == store::kOk)
        out.emplace(store::textOf(vsds.rec().UUID));
    return out;
}

class DemoMode : public ::testing::Test
{
protected:
    void SetUp() override
    {
        framework::setMessagePresenter(&presenter);
        framework::process::setTemporaryExportFolder(exports.path());
    }
    void TearDown() override
    {
        shell::stopDemo();
        QDir::setCurrent(startFolder);
        framework::process::setDataFolder(startDataFolder);
        framework::process::setTemporaryExportFolder({});
        framework::setMessagePresenter(nullptr);
    }

    const QString startFolder = QDir::currentPath();
    const QString startDataFolder = framework::process::dataFolder();
    testsupport::TempFolder demo;
    testsupport::TempFolder exports;
    framework::RecordingPresenter presenter;
};

} // namespace

TEST_F(DemoMode, AnswersTheDemoEntitysVsdListThroughTheExchangeAndStopsCleanly)
{
    QString error;
    ASSERT_TRUE(shell::startDemo(demo.path(), error)) << error.toStdString();
    EXPECT_TRUE(shell::isDemoRun());
    EXPECT_EQ(framework::process::dataFolder(), demo.path());
    const std::string service = vetis::endpointBase(0);
    EXPECT_EQ(service.rfind("http://127.0.0.1:", 0), 0u) << service;
    const std::set<std::string> prepared = storedUuids(demo.path());

    // The window's request of the last 30 days, with the settings as stored.
    store::Session session(demo.path());
    vetis::StoredVetisSettings settings(session);
    responses::WalkerAnswerReader reader;
    vetis::ExchangeContext context;
    context.settings = &settings;
    context.reader = &reader;
    vetis::RequestRecord request;
    request.setRequestCode(vetis::RequestCode::VetDocumentList);
    store::setText(request.VETISGUID, kDemoClerk);
    request.COUNT = 1000;
    request.DATE1 = platform::today() - 30;
    request.DATE2 = platform::today() + 1;
    store::setZText(request.P1, kDemoClerk);
    store::setZText(request.P2, vetissim::known::kOwnEnterpriseGuid);
    store::setZText(request.P3, "INCOMING");
    ASSERT_TRUE(vetis::Exchange(request, context));
    EXPECT_EQ(store::ztextOf(request.APPSTATUS), "ACCEPTED");
    std::string id(store::textOf(request.APPID));
    ASSERT_EQ(id.size(), 36u);

    std::set<std::string> received;
    for (int receive = 0; receive < 5 && !id.empty(); ++receive) {
        vetis::RequestRecord poll;
        poll.setRequestCode(vetis::RequestCode::ReceiveApplicationResult);
        store::setText(poll.VETISGUID, kDemoClerk);
        store::setZText(poll.P1, id);
        responses::VsdAnswerLists lists;
        lists.bind(poll);
        ASSERT_TRUE(vetis::Exchange(poll, context));
        if (store::ztextOf(poll.APPSTATUS) != "COMPLETED")
            continue;
        id.clear();
        EXPECT_GT(poll.RLOAD, 0);
        for (std::size_t row = 0; row < lists.vsd.count(); ++row)
            received.emplace(store::textOf(lists.vsd[row].UUID));
    }
    EXPECT_TRUE(id.empty()) << "the application never completed";
    std::size_t fresh = 0;
    for (const std::string& uuid : received)
        fresh += prepared.count(uuid) == 0 ? 1 : 0;
    EXPECT_GT(fresh, 0u) << "the newest VSDs are not in the prepared folder";
    EXPECT_LT(fresh, received.size());

    // The print form comes from the demo's service too.
    const QString pdf = workspace::downloadPrintForm(session, kDemoClerk, *prepared.begin());
    ASSERT_FALSE(pdf.isEmpty());
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF-"));
    EXPECT_EQ(presenter.count(), 0u);

    shell::stopDemo();
    EXPECT_FALSE(shell::isDemoRun());
    EXPECT_EQ(vetis::endpointBase(0), "https://api.vetrf.ru");
    EXPECT_EQ(vetis::printFormBase(0), "https://mercury.vetrf.ru/pub/operatorui");
}
