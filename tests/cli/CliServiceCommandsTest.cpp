// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli's commands that talk to the service, against the VetIS test
// double, with the entity's stored settings and --endpoint pointing at it.
#include "CliRun.h"
#include "support/SimSettings.h"
#include "support/TestSupport.h"

#include "store/RecordText.h"
#include "store/Session.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/StoredVetisSettings.h"
#include "vetis/VetisSettings.h"

#include <QDate>
#include <QFile>
#include <gtest/gtest.h>

using namespace clitest;

namespace {

class CliServiceCommands : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.start()) << sim.errorString();
        ASSERT_EQ(cli({QStringLiteral("init"), QStringLiteral("--data"), data}).exitCode, 0);
        store::Session session(data);
        vetis::StoredVetisSettings settings(session);
        store::VetisRecord s = simSettings(sim, vetissim::known::kOwnEntityGuid);
        ASSERT_EQ(settings.add(s), 0);
    }

    CliResult refresh(QStringList args) { return run(QStringLiteral("refresh-dict"), std::move(args)); }
    CliResult run(const QString& name, QStringList args)
    {
        args.prepend(name);
        args << QStringLiteral("--data") << data << QStringLiteral("--guid")
             << QString::fromLatin1(vetissim::known::kOwnEntityGuid);
        return cli(args);
    }

    testsupport::TempFolder folder;
    QString data = folder.path() + QStringLiteral("data");
    vetissim::VetisSim sim;
};

TEST_F(CliServiceCommands, RefreshesAKindByNameOrNumberFromTheGivenServer)
{
    const QString endpoint = QString::fromStdString(sim.baseUrl());
    CliResult r = refresh({QStringLiteral("unit"), QStringLiteral("--endpoint"), endpoint});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(
        r.text().startsWith(QStringLiteral("Успешно загружено записей в справочник единиц измерения: ")))
        << r.text().toStdString();
    r = refresh({QStringLiteral("2"), QStringLiteral("--parent"),
                 QString::fromLatin1(vetissim::known::kRussiaGuid), QStringLiteral("--endpoint"), endpoint});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.text().startsWith(QStringLiteral("Успешно загружено записей в справочник регионов: ")));
    // The settings the program stored are the ones used: the double saw our requests.
    EXPECT_EQ(sim.received().size(), 2u);
}

TEST_F(CliServiceCommands, WrongOptionsAreRefusedBeforeAnythingIsSent)
{
    const QString endpoint = QString::fromStdString(sim.baseUrl());
    for (const QStringList& args :
         {QStringList{QStringLiteral("11"), QStringLiteral("--endpoint"), endpoint},
          QStringList{QStringLiteral("streets"), QStringLiteral("--endpoint"), endpoint},
          QStringList{QStringLiteral("unit"), QStringLiteral("--endpoint"), QStringLiteral("ftp://host/")},
          QStringList{QStringLiteral("unit"), QStringLiteral("--endpoint"), QStringLiteral("not a url")}}) {
        const CliResult r = refresh(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    const CliResult noGuid =
        cli({QStringLiteral("refresh-dict"), QStringLiteral("unit"), QStringLiteral("--data"), data,
             QStringLiteral("--guid"), QStringLiteral("12345")});
    EXPECT_EQ(noGuid.exitCode, 2);
    EXPECT_TRUE(sim.received().empty());
}

TEST_F(CliServiceCommands, ASavedAnswerIsStoredAsTheLoaderWould)
{
    const QString endpoint = QString::fromStdString(sim.baseUrl());
    const QString sample = testsupport::sharedFolder() +
                           QStringLiteral("/vetis-samples/ams-03-receiveApplicationResult-getVetDocumentList-"
                                          "prefixed.constructed.xml");
    const QStringList args{QStringLiteral("--list"), QStringLiteral("vsd"), sample,
                           QStringLiteral("--endpoint"), endpoint};
    CliResult r = run(QStringLiteral("load-answer"), args);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.text(), QStringLiteral("stored: 3 new, 0 changed, 0 unchanged\n"));
    r = run(QStringLiteral("load-answer"), args);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.text(), QStringLiteral("stored: 0 new, 0 changed, 3 unchanged\n"));

    // Not an answer: refused, nothing stored.
    const QString notXml = folder.path() + QStringLiteral("not.xml");
    QFile f(notXml);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<a><b></a>");
    f.close();
    r = run(QStringLiteral("load-answer"), {QStringLiteral("--list"), QStringLiteral("vsd"), notXml});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    r = run(QStringLiteral("receive-vsd"), {QStringLiteral("not-an-application-id")});
    EXPECT_EQ(r.exitCode, 2);
}

TEST_F(CliServiceCommands, TheMorningsWorkFromTheCommandLine)
{
    const QString endpoint = QString::fromStdString(sim.baseUrl());
    CliResult r = run(QStringLiteral("request-vsd"),
                      {QStringLiteral("--from"), QStringLiteral("2020-01-01"), QStringLiteral("--to"),
                       QDate::currentDate().toString(Qt::ISODate), QStringLiteral("--enterprise"),
                       QString::fromLatin1(vetissim::known::kOwnEnterpriseGuid), QStringLiteral("--endpoint"),
                       endpoint});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString id = r.text().trimmed();
    ASSERT_EQ(id.size(), 36) << r.text().toStdString();
    QString status;
    for (int call = 0; call < 6 && status != QStringLiteral("COMPLETED"); ++call) {
        r = run(QStringLiteral("receive-vsd"), {id, QStringLiteral("--endpoint"), endpoint});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        // Progress is for a person at a terminal; a script's log gets the outcome.
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        status = r.text().section(u'\n', 0, 0).section(u' ', 1);
    }
    EXPECT_EQ(status, QStringLiteral("COMPLETED"));
    EXPECT_TRUE(r.text().contains(QStringLiteral(" new, 0 changed, 0 unchanged"))) << r.text().toStdString();

    // Dates the other way round, or not dates at all, are refused before anything is sent.
    sim.clearReceived();
    r = run(QStringLiteral("request-vsd"),
            {QStringLiteral("--from"), QStringLiteral("2024-05-02"), QStringLiteral("--to"),
             QStringLiteral("2024-05-01"), QStringLiteral("--enterprise"),
             QString::fromLatin1(vetissim::known::kOwnEnterpriseGuid), QStringLiteral("--endpoint"),
             endpoint});
    EXPECT_EQ(r.exitCode, 2);
    r = run(QStringLiteral("request-vsd"),
            {QStringLiteral("--from"), QStringLiteral("yesterday"), QStringLiteral("--to"),
             QStringLiteral("2024-05-01"), QStringLiteral("--enterprise"),
             QString::fromLatin1(vetissim::known::kOwnEnterpriseGuid), QStringLiteral("--endpoint"),
             endpoint});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(sim.received().empty());
}

} // namespace
