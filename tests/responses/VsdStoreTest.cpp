// SPDX-License-Identifier: LicenseRef-Kestrom
// Storing constructed VSD answers: which document fills the waybill fields and
// which route point the transshipment fields, whatever order the service
// writes them in.
#include "WalkerFixtures.h"

#include "framework/RecordingPresenter.h"
#include "platform/CodePage.h"
#include "responses/ReferenceLookups.h"
#include "responses/ResponseWalker.h"
#include "responses/VsdLoader.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/Inside.h"
#include "store/tables/Vsd.h"
#include "support/FakeVetisSettingsRepository.h"
#include "support/TestSupport.h"
#include "vetis/Exchange.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace responses;
using namespace walkertest;

namespace {

constexpr const char* kUuid = "0b1c2d3e-4f50-4617-8829-3a4b5c6d7e8f";

std::string document(const char* number, int type, const char* date)
{
    return "<vd:referencedDocument><vd:issueNumber>" + std::string(number) +
           "</vd:issueNumber><vd:issueDate>" + date + "</vd:issueDate><vd:type>" + std::to_string(type) +
           "</vd:type><vd:relationshipType>1</vd:relationshipType></vd:referencedDocument>";
}

std::string routePoint(int sqn, const char* vehicle)
{
    return "<vd:routePoint><vd:sqnId>" + std::to_string(sqn) +
           "</vd:sqnId><vd:nextTransport><vd:transportType>1</vd:transportType><vd:transportNumber>"
           "<vd:vehicleNumber>" +
           vehicle + "</vd:vehicleNumber></vd:transportNumber></vd:nextTransport></vd:routePoint>";
}

class VsdStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(folder.path() + QStringLiteral("Base")));
        framework::setMessagePresenter(&presenter);
        context.settings = &noSettings; // nothing can be fetched
    }
    void TearDown() override { framework::setMessagePresenter(nullptr); }

    store::VsdRecord stored(const std::string& body)
    {
        vetis::RequestRecord request;
        VsdAnswerLists lists;
        lists.bind(request);
        EXPECT_TRUE(ReadAnswer(vsdAnswer(body), request).ok());
        store::Session session(folder.path());
        store::Session references(folder.path());
        ReferenceLookups lookups(references, context, "400cb70f-964e-43c0-b4a3-165de1ab3e01");
        EXPECT_TRUE(storeVsdLists(session, lists, lookups).ok);
        store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
        EXPECT_EQ(vsds.open(), store::kOk);
        vsds.clear();
        store::setText(vsds.rec().UUID, kUuid);
        EXPECT_EQ(vsds.fetch("MVD:BYUUID"), store::kOk);
        return vsds.rec();
    }

    testsupport::TempFolder folder;
    framework::RecordingPresenter presenter;
    FakeVetisSettingsRepository noSettings;
    vetis::ExchangeContext context;
};

TEST_F(VsdStore, TheWaybillIsTheFirstDocumentOfType1Or5InSortedOrder)
{
    // Written 5 before 1, and an order (16) first of all: the sorted order puts 1 first.
    const store::VsdRecord r =
        stored(std::string("<vd:vetDocument><bs:uuid>") + kUuid +
               "</bs:uuid><vd:issueDate>2024-05-11</vd:issueDate>" + document("order-16", 16, "2024-05-16") +
               document("tn-5", 5, "2024-05-05") + document("ttn-1", 1, "2024-05-01") + "</vd:vetDocument>");
    EXPECT_EQ(+r.TTN_TYPE, 1);
    EXPECT_EQ(store::ztextOf(r.TTN_NUMBER), "ttn-1");
    EXPECT_EQ(store::ztextOf(r.TTN_DATE), "2024-05-01");
    EXPECT_EQ(+r.TTN_RELTYPE, 1);
}

TEST_F(VsdStore, TheRoutePointWithTheHighestNumberDecidesTheTransshipment)
{
    const store::VsdRecord r = stored(
        std::string("<vd:vetDocument><bs:uuid>") + kUuid +
        "</bs:uuid><vd:issueDate>2024-05-11</vd:issueDate><vd:certifiedConsignment><vd:shipmentRoute>" +
        routePoint(2, "B222BB") + routePoint(1, "A111AA") + routePoint(0, "C333CC") +
        "</vd:shipmentRoute></vd:certifiedConsignment></vd:vetDocument>");
    EXPECT_EQ(+r.TRANSPORTTYPE2, 1);
    EXPECT_EQ(store::ztextOf(r.VEHICLENUMBER2), "B222BB");
    // Route points numbered 0 are not kept.
    store::Session session(folder.path());
    store::Table inside(session, store::insideTable());
    ASSERT_EQ(inside.open(), store::kOk);
    std::int64_t rows = 0;
    ASSERT_EQ(inside.count(rows), store::kOk);
    EXPECT_EQ(rows, 2);
}

} // namespace
