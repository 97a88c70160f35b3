// SPDX-License-Identifier: LicenseRef-Kestrom
#include "WalkerFixtures.h"

#include "framework/RecordingPresenter.h"
#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "responses/ReferenceLookups.h"
#include "responses/VsdMapping.h"
#include "store/FieldAccess.h"
#include "store/Session.h"
#include "store/tables/Vsd.h"
#include "support/FakeVetisSettingsRepository.h"
#include "support/TestSupport.h"
#include "vetis/Exchange.h"

#include <QDate>
#include <QDir>
#include <QTime>
#include <gtest/gtest.h>

using namespace responses;
using namespace walkertest;

namespace {

std::int32_t dayOf(int y, int m, int d)
{
    return platform::dayNumber(QDate(y, m, d));
}

TEST(VsdMapping, AVsdOfTheSampleIsStoredWithItsDerivedValues)
{
    testsupport::TempFolder folder;
    ASSERT_TRUE(QDir().mkpath(folder.path() + QStringLiteral("Base")));
    store::Session session(folder.path());
    framework::RecordingPresenter presenter;
    framework::setMessagePresenter(&presenter);
    FakeVetisSettingsRepository noSettings; // nothing can be fetched
    vetis::ExchangeContext context;
    context.settings = &noSettings;
    ReferenceLookups lookups(session, context, "400cb70f-964e-43c0-b4a3-165de1ab3e01");

    VsdListSet lists;
    ASSERT_EQ(
        lists.read(readSample("ams-03-receiveApplicationResult-getVetDocumentList-prefixed.constructed.xml")),
        3);
    store::VsdRecord r{};
    store::clearRecordOf(store::vsdTable(), reinterpret_cast<char*>(&r));
    store::setText(r.APPID, "6d4c6a1e-0000-4000-8000-000000000001");
    r.CONDITION = 3;
    r.KOLVO = 12.5;
    ShelfLifeCounters counters;
    mapVsdHeader(lists.vsd.layout(), lists.vsd.row(0), r, lookups, counters);
    framework::setMessagePresenter(nullptr);

    EXPECT_EQ(store::textOf(r.APPID), "");
    EXPECT_EQ(+r.CONDITION, 0);
    EXPECT_EQ(+r.KOLVO, 12.5); // the caller's
    EXPECT_EQ(+r.DATE, dayOf(2024, 5, 11));
    EXPECT_EQ(+r.CODSTATUS, 4); // finalized wins over CONFIRMED
    EXPECT_EQ(+r.UPDATEDATE, dayOf(2024, 5, 11));
    EXPECT_EQ(+r.UPDATETIME, platform::timeNumber(QTime(9, 11, 5)));
    EXPECT_EQ(+r.PRODATE1, dayOf(2024, 5, 9));
    EXPECT_EQ(+r.PROHOUR1, 14);
    EXPECT_EQ(+r.EXPDATE1, dayOf(2024, 5, 21));
    EXPECT_EQ(+r.EXPDATE2, dayOf(2024, 5, 23));
    EXPECT_EQ(+r.ACTUALSROK, 13);
    EXPECT_EQ(+r.RESERVEDAY, 11);
    EXPECT_EQ(+r.RESERVEPROC, 85);
    EXPECT_EQ(+r.MARK, 0);
    EXPECT_EQ(store::ztextOf(r.VOLUME), "812.4");
    EXPECT_EQ(store::ztextOf(r.VEHICLENUMBER1), platform::utf8ToCp1251("А123ВС163"));
    // Nothing could be fetched: the placeholders, and no INN.
    EXPECT_EQ(store::ztextOf(r.CONSIGNORNAME), platform::utf8ToCp1251("<Нет в справочнике ХС>"));
    EXPECT_EQ(store::ztextOf(r.CONSIGNORINN), "");
    EXPECT_EQ(store::ztextOf(r.CONSIGNEEPLACE), platform::utf8ToCp1251("<Нет в справочнике площадок>"));
    EXPECT_EQ(counters.expired + counters.lowReserve, 0);
}

} // namespace
