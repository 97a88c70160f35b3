// SPDX-License-Identifier: LicenseRef-Kestrom
#include "WalkerFixtures.h"

#include "platform/CodePage.h"
#include "support/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace responses;
using namespace walkertest;

namespace {

const std::string kVsd1 = "11111111-aaaa-4bbb-8ccc-000000000001";
const std::string kVsd2 = "22222222-aaaa-4bbb-8ccc-000000000002";

std::string routePoint(int sqn, std::string_view extra = "")
{
    return "<vd:routePoint><bs:uuid>rp-" + std::to_string(sqn) + "</bs:uuid><vd:sqnId>" +
           std::to_string(sqn) + "</vd:sqnId>" + std::string(extra) + "</vd:routePoint>";
}

} // namespace

TEST(VsdWalker, EachRoutePointIsOneEntryCarryingItsVsd)
{
    VsdListSet lists;
    const std::string answer = vsdAnswer(
        "<vd:vetDocument><bs:uuid>" + kVsd1 + "</bs:uuid><vd:certifiedConsignment><vd:shipmentRoute>" +
        routePoint(1) + routePoint(2) + "</vd:shipmentRoute></vd:certifiedConsignment></vd:vetDocument>");
    ASSERT_EQ(lists.read(answer), 1);
    ASSERT_EQ(lists.routePoints.count(), 2u);
    EXPECT_EQ(t(lists.routePoints[0].UUID), kVsd1);
    EXPECT_EQ(t(lists.routePoints[1].UUID), kVsd1);
    EXPECT_EQ(t(lists.routePoints[0].ROUTEPOINT), "rp-1");
    EXPECT_EQ(+lists.routePoints[0].SQNID, 1);
    EXPECT_EQ(t(lists.routePoints[1].ROUTEPOINT), "rp-2");
    EXPECT_EQ(+lists.routePoints[1].SQNID, 2);
    // No other contents in this VSD: the other lists stay empty.
    EXPECT_EQ(lists.refDocs.count(), 0u);
    EXPECT_EQ(lists.packages.count(), 0u);
}

TEST(VsdWalker, AbbreviatedPathsReachBelowTheConsignment)
{
    VsdListSet lists;
    const std::string point = routePoint(
        1, "<vd:location><dt:name>Склад "
           "№2</dt:name><dt:address><dt:country><bs:guid>c-guid</bs:guid></dt:country>"
           "<dt:house>12</dt:house></dt:address></vd:location><vd:transshipment>true</vd:transshipment>"
           "<vd:nextTransport><vd:transportType>2</vd:transportType><vd:transportNumber>"
           "<vd:wagonNumber>52839104</vd:wagonNumber></vd:transportNumber></vd:nextTransport>");
    ASSERT_EQ(lists.read(vsdAnswer("<vd:vetDocument><bs:uuid>" + kVsd1 +
                                   "</bs:uuid><vd:certifiedConsignment><vd:shipmentRoute>" + point +
                                   "</vd:shipmentRoute></vd:certifiedConsignment></vd:vetDocument>")),
              1);
    ASSERT_EQ(lists.routePoints.count(), 1u);
    const RoutePointRow& rp = lists.routePoints[0];
    EXPECT_EQ(z(rp.LOC_NAME), platform::utf8ToCp1251("Склад №2"));
    EXPECT_EQ(t(rp.LOC_COUNTRY), "c-guid");
    EXPECT_EQ(z(rp.LOC_HOUSE), "12");
    EXPECT_EQ(+rp.TRANSSHIPMENT, 1);
    EXPECT_EQ(+rp.TRANSPORTTYPE, 2);
    EXPECT_EQ(z(rp.WAGONNUMBER), "52839104");
}

TEST(VsdWalker, MainListDoesNotExpandAbbreviations)
{
    // The same layout read as a main list: "#01" paths match nothing there.
    SingleList<RoutePointRow> main("vd:vetDocument");
    ASSERT_EQ(main.read(vsdAnswer(
                  "<vd:vetDocument><bs:uuid>u</bs:uuid><vd:certifiedConsignment><vd:shipmentRoute>" +
                  routePoint(1, "<vd:location><dt:name>L</dt:name></vd:location>") +
                  "</vd:shipmentRoute></vd:certifiedConsignment></vd:vetDocument>")),
              1);
    EXPECT_EQ(+main.list[0].SQNID, 1);
    EXPECT_EQ(z(main.list[0].LOC_NAME), "");
}

TEST(VsdWalker, ContentsBelongToTheirOwnVsd)
{
    VsdListSet lists;
    const std::string answer =
        vsdAnswer("<vd:vetDocument><bs:uuid>" + kVsd1 +
                  "</bs:uuid><vd:certifiedConsignment><vd:batch><vd:batchID>B-1</vd:batchID><vd:batchID>B-2</"
                  "vd:batchID>"
                  "</vd:batch></vd:certifiedConsignment></vd:vetDocument>"
                  "<vd:vetDocument><bs:uuid>" +
                  kVsd2 +
                  "</bs:uuid><vd:certifiedConsignment><vd:batch><vd:batchID>B-3</vd:batchID></vd:batch>"
                  "</vd:certifiedConsignment></vd:vetDocument>"
                  "<vd:vetDocument><vd:issueNumber>4</vd:issueNumber><vd:certifiedConsignment><vd:batch>"
                  "<vd:batchID>B-4</vd:batchID></vd:batch>"
                  "</vd:certifiedConsignment></vd:vetDocument>");
    ASSERT_EQ(lists.read(answer), 3);
    ASSERT_EQ(lists.batchIds.count(), 4u);
    EXPECT_EQ(t(lists.batchIds[0].UUID), kVsd1);
    EXPECT_EQ(z(lists.batchIds[0].BATCHID), "B-1");
    EXPECT_EQ(t(lists.batchIds[1].UUID), kVsd1);
    EXPECT_EQ(z(lists.batchIds[1].BATCHID), "B-2");
    EXPECT_EQ(t(lists.batchIds[2].UUID), kVsd2);
    EXPECT_EQ(z(lists.batchIds[2].BATCHID), "B-3");
    // A VSD without UUID does not inherit the previous one's.
    EXPECT_EQ(t(lists.batchIds[3].UUID), "");
    EXPECT_EQ(z(lists.batchIds[3].BATCHID), "B-4");
}

TEST(VsdWalker, FieldNotAfterTheLastFilledStartsANewEntry)
{
    VsdListSet lists;
    // Two producers: the second one's enterprise GUID comes after the first one's role.
    const std::string answer = vsdAnswer(
        "<vd:vetDocument><bs:uuid>" + kVsd1 +
        "</bs:uuid><vd:certifiedConsignment><vd:batch><vd:origin>"
        "<vd:producer><dt:enterprise><bs:guid>e-1</bs:guid><dt:name>Бойня</dt:name></dt:enterprise>"
        "<dt:role>SLAUGHTER_HOUSE</dt:role></vd:producer>"
        "<vd:producer><dt:enterprise><bs:guid>e-2</bs:guid></dt:enterprise><dt:role>CUTTING_PLANT</dt:role>"
        "</vd:producer></vd:origin></vd:batch></vd:certifiedConsignment></vd:vetDocument>");
    ASSERT_EQ(lists.read(answer), 1);
    ASSERT_EQ(lists.producers.count(), 2u);
    EXPECT_EQ(t(lists.producers[0].PRODUCER_GUID), "e-1");
    EXPECT_EQ(t(lists.producers[0].PRODUCER_NAME), platform::utf8ToCp1251("Бойня"));
    EXPECT_EQ(z(lists.producers[0].PRODUCER_ROLE), "SLAUGHTER_HOUSE");
    EXPECT_EQ(t(lists.producers[1].PRODUCER_GUID), "e-2");
    EXPECT_EQ(t(lists.producers[1].PRODUCER_NAME), ""); // cleared, not carried over
    EXPECT_EQ(z(lists.producers[1].PRODUCER_ROLE), "CUTTING_PLANT");
    EXPECT_EQ(t(lists.producers[1].UUID), kVsd1);
}

TEST(VsdWalker, StatusChangeWithReasonStaysOneEntry)
{
    VsdListSet lists;
    const std::string answer = vsdAnswer(
        "<vd:vetDocument><bs:uuid>" + kVsd1 +
        "</bs:uuid><vd:statusChange><vd:status>CONFIRMED</vd:status><vd:specifiedPerson><vd:fio>Иванова</"
        "vd:fio>"
        "</vd:specifiedPerson><vd:actualDateTime>2024-05-11T08:55:41+03:00</vd:actualDateTime></"
        "vd:statusChange>"
        "<vd:statusChange><vd:status>WITHDRAWN</vd:status><vd:specifiedPerson><vd:fio>Петров</vd:fio>"
        "</vd:specifiedPerson><vd:actualDateTime>2024-05-12T10:00:00+03:00</vd:actualDateTime>"
        "<vd:reason>Ошибка в сведениях</vd:reason></vd:statusChange></vd:vetDocument>");
    ASSERT_EQ(lists.read(answer), 1);
    ASSERT_EQ(lists.statusChanges.count(), 2u);
    const StatusChangeRow& second = lists.statusChanges[1];
    EXPECT_EQ(z(second.STATUS), "WITHDRAWN");
    EXPECT_EQ(z(second.ACTUALDATETIME), "2024-05-12T10:00:00+03:00");
    EXPECT_EQ(z(second.REASON), platform::utf8ToCp1251("Ошибка в сведениях"));
}

TEST(VsdWalker, PackagesReadTheMarkingClassAttribute)
{
    VsdListSet lists;
    const std::string answer =
        vsdAnswer("<vd:vetDocument><bs:uuid>" + kVsd1 +
                  "</bs:uuid><vd:certifiedConsignment><vd:batch><vd:packageList>"
                  "<dt:package><dt:level>4</dt:level><dt:packingType><bs:guid>p-guid</"
                  "bs:guid><dt:globalID>BX</dt:globalID>"
                  "<dt:name>Коробка</dt:name></dt:packingType><dt:quantity>50</dt:quantity>"
                  "<dt:productMarks class=\"BATCHID\">4401-2024</dt:productMarks></dt:package>"
                  "<dt:package><dt:level>3</dt:level><dt:productMarks>M2</dt:productMarks></dt:package>"
                  "</vd:packageList></vd:batch></vd:certifiedConsignment></vd:vetDocument>");
    ASSERT_EQ(lists.read(answer), 1);
    ASSERT_EQ(lists.packages.count(), 2u);
    const PackageRow& p = lists.packages[0];
    EXPECT_EQ(+p.PACKAGELEVEL, 4);
    EXPECT_EQ(t(p.PACKINGTYPEGUID), "p-guid");
    EXPECT_EQ(std::string_view(p.PACKINGGLOBALID, 2), "BX");
    EXPECT_EQ(z(p.PACKAGENAME), platform::utf8ToCp1251("Коробка"));
    EXPECT_EQ(std::string_view(p.PACKAGEQUANTITY, 20), "50                  ");
    EXPECT_EQ(z(p.PACKAGEMARKS), "4401-2024");
    EXPECT_EQ(z(p.PACKAGEMARCLASS), "BATCHID");
    EXPECT_EQ(+lists.packages[1].PACKAGELEVEL, 3);
    EXPECT_EQ(z(lists.packages[1].PACKAGEMARKS), "M2");
    EXPECT_EQ(z(lists.packages[1].PACKAGEMARCLASS), "");
}

TEST(VsdWalker, AttributesAreReadOnlyForThePackageList)
{
    // The same package layout in another position reads no attributes.
    VsdListSet lists;
    TypedList<PackageRow> elsewhere;
    lists.request.lists[9] = &elsewhere;
    ASSERT_EQ(
        lists.read(vsdAnswer("<vd:vetDocument><bs:uuid>" + kVsd1 +
                             "</bs:uuid><vd:certifiedConsignment><vd:batch><vd:packageList><dt:package>"
                             "<dt:productMarks class=\"EAN13\">460</dt:productMarks></dt:package>"
                             "</vd:packageList></vd:batch></vd:certifiedConsignment></vd:vetDocument>")),
        1);
    ASSERT_EQ(lists.packages.count(), 1u);
    ASSERT_EQ(elsewhere.count(), 1u);
    EXPECT_EQ(z(lists.packages[0].PACKAGEMARCLASS), "EAN13");
    EXPECT_EQ(z(elsewhere[0].PACKAGEMARKS), "460");
    EXPECT_EQ(z(elsewhere[0].PACKAGEMARCLASS), "");
}

TEST(VsdWalker, ContentsAreNotReadWhenTheMainListGotNothing)
{
    VsdListSet lists;
    store::setZText(lists.request.ROWTAG, "vd:somethingElse");
    ASSERT_EQ(lists.read(vsdAnswer("<vd:vetDocument><bs:uuid>" + kVsd1 +
                                   "</bs:uuid><vd:certifiedConsignment><vd:batch><vd:batchID>B</vd:batchID>"
                                   "</vd:batch></vd:certifiedConsignment></vd:vetDocument>")),
              0);
    EXPECT_EQ(lists.batchIds.count(), 0u);
}

TEST(VsdWalker, SampleResultOfThreeVsds)
{
    const std::string answer =
        readSample("ams-03-receiveApplicationResult-getVetDocumentList-prefixed.constructed.xml");
    ASSERT_FALSE(answer.empty());
    VsdListSet lists;
    ASSERT_EQ(lists.read(answer), 3);
    EXPECT_EQ(+lists.request.RCOUNT, 3);
    EXPECT_EQ(+lists.request.RTOTAL, 7);
    EXPECT_EQ(+lists.request.ROFFSET, 0);

    const VsdRow& first = lists.vsd[0];
    EXPECT_EQ(t(first.UUID), "83d8e92d-f2ad-4c0e-a683-acdf2060d7c4");
    EXPECT_EQ(z(first.ISSUEDATE), "2024-05-11");
    EXPECT_EQ(z(first.VETDSTATUS), "CONFIRMED");
    EXPECT_EQ(+first.FINALIZED, 1);
    EXPECT_EQ(t(first.CONSIGNORHS), "79c8c292-6b94-45b5-b498-82321e35049e");
    EXPECT_EQ(t(first.CONSIGNEEENT), "88718c96-6f3d-48f7-b4b1-b64633be40f5");
    EXPECT_EQ(+first.TRANSPORTTYPE1, 1);
    EXPECT_EQ(z(first.VEHICLENUMBER1), platform::utf8ToCp1251("А123ВС163"));
    EXPECT_EQ(z(first.TRSTORAGETYPE), "CHILLED");
    EXPECT_EQ(z(first.PRODUCTITEM_NAME), platform::utf8ToCp1251("Говядина на кости, полутуши, охл."));
    EXPECT_EQ(z(first.VOLUME), "812.4");
    EXPECT_EQ(+first.PROYEAR1, 2024);
    EXPECT_EQ(+first.PROMONTH1, 5);
    EXPECT_EQ(+first.PRODAY1, 9);
    EXPECT_EQ(+first.PROHOUR1, 14);
    EXPECT_EQ(+first.EXPDAY2, 23);
    EXPECT_EQ(+first.PERISHABLE, 1);
    EXPECT_EQ(+first.LOWGRADECARGO, 0);
    EXPECT_EQ(t(first.ORIGINCOUNTRY_GUID), "74a3cbb1-56fa-94f3-ab3f-e8db4940d96b");
    EXPECT_EQ(+first.CARGOINSPECTED, 1);
    EXPECT_EQ(t(lists.vsd[1].UUID), "a22fa1f7-2560-4b2f-8a7c-e6e5f89c8d33");

    // Route points: three in the second VSD only.
    ASSERT_EQ(lists.routePoints.count(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(t(lists.routePoints[i].UUID), "a22fa1f7-2560-4b2f-8a7c-e6e5f89c8d33");
        EXPECT_EQ(+lists.routePoints[i].SQNID, i + 1);
    }
    EXPECT_EQ(+lists.routePoints[1].TRANSSHIPMENT, 1);
    EXPECT_EQ(z(lists.routePoints[1].WAGONNUMBER), "52839104");
    // The first VSD has two producers and one referenced document, the second two documents.
    std::size_t producersOfFirst = 0;
    for (std::size_t i = 0; i < lists.producers.count(); ++i)
        producersOfFirst += t(lists.producers[i].UUID) == t(first.UUID);
    EXPECT_EQ(producersOfFirst, 2u);
    ASSERT_GE(lists.refDocs.count(), 3u);
    EXPECT_EQ(z(lists.refDocs[0].NUMBER), "1001");
    EXPECT_EQ(+lists.refDocs[0].TYPE, 1);
    EXPECT_EQ(+lists.refDocs[2].TYPE, 11);
    EXPECT_EQ(+lists.refDocs[2].RELTYPE, 2);
    ASSERT_GE(lists.conditions.count(), 2u);
    EXPECT_EQ(t(lists.conditions[0].GUID), "a30354ef-398b-4edf-a326-3c49440a9a11");
    EXPECT_EQ(t(lists.conditions[1].GUID), "67c8765c-5781-4ce8-98f0-1733d942b204");
    ASSERT_GE(lists.immunizations.count(), 1u);
    EXPECT_EQ(z(lists.immunizations[0].TYPE), "IMM");
    EXPECT_EQ(z(lists.immunizations[0].MEDICINALDRUGSERIES), "0122");
    ASSERT_GE(lists.research.count(), 2u);
    EXPECT_EQ(z(lists.research[0].RESULT), "NEGATIVE");
    EXPECT_EQ(z(lists.research[0].REFDOCDATE), "2024-05-06");
}
