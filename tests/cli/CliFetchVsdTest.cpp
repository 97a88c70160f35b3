// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli fetch-vsd against a test double with more VSDs than one packet
// holds, answering IN_PROCESS twice before each result.
#include "CliRun.h"
#include "support/SimSettings.h"
#include "support/TestSupport.h"

#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Vsd.h"
#include "vetis-sim/VetisSim.h"
#include "vetis/StoredVetisSettings.h"

#include <QDate>
#include <gtest/gtest.h>

using namespace clitest;

namespace {

vetissim::SimConfig manyVsds()
{
    vetissim::SimConfig config;
    config.fixtures.vsdCount = 3000; // some 2,500 of them to the enterprise: three packets of 1000
    return config;
}

TEST(CliFetchVsd, EveryPacketIsWaitedForAndStored)
{
    vetissim::VetisSim sim(manyVsds());
    ASSERT_TRUE(sim.start()) << sim.errorString();
    sim.setCompletion(1, 3); // ACCEPTED, IN_PROCESS, IN_PROCESS, then COMPLETED
    testsupport::TempFolder folder;
    const QString data = folder.path() + QStringLiteral("data");
    ASSERT_EQ(cli({QStringLiteral("init"), QStringLiteral("--data"), data}).exitCode, 0);
    {
        store::Session session(data);
        vetis::StoredVetisSettings settings(session);
        ASSERT_EQ(settings.add(simSettings(sim, vetissim::known::kOwnEntityGuid)), 0);
    }
    const CliResult r = cli(
        {QStringLiteral("fetch-vsd"), QStringLiteral("--from"), QStringLiteral("2000-01-01"),
         QStringLiteral("--to"), QDate::currentDate().toString(Qt::ISODate), QStringLiteral("--enterprise"),
         QString::fromLatin1(vetissim::known::kOwnEnterpriseGuid), QStringLiteral("--poll"),
         QStringLiteral("0.01,0.05,30"), QStringLiteral("--data"), data, QStringLiteral("--guid"),
         QString::fromLatin1(vetissim::known::kOwnEntityGuid), QStringLiteral("--endpoint"),
         QString::fromStdString(sim.baseUrl()), QStringLiteral("--progress")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    store::Session session(data);
    store::Table vsds(session, store::vsdTable());
    ASSERT_EQ(vsds.open(), store::kOk);
    std::int64_t stored = 0;
    ASSERT_EQ(vsds.count(stored), store::kOk);
    EXPECT_TRUE(r.text().startsWith(QStringLiteral("stored: ") + QString::number(stored) +
                                    QStringLiteral(" new, 0 changed, 0 unchanged\n")))
        << r.text().toStdString();
    const int packets = static_cast<int>((stored + 999) / 1000);
    EXPECT_GE(packets, 3);
    EXPECT_EQ(r.err.count(QStringLiteral("Успешно загружены ВСД по запросу")), packets)
        << r.err.toStdString();
    EXPECT_EQ(r.err.count(QStringLiteral(" (В ОБРАБОТКЕ)")), 2 * packets) << r.err.toStdString();
}

} // namespace
