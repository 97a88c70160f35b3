// SPDX-License-Identifier: LicenseRef-Kestrom
#include "WalkerFixtures.h"

#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <vector>

using namespace responses;
using namespace walkertest;

namespace {

const char* const kUnitGuid = "21ed96c9-337b-4a27-8761-c6e6ad3c9f5b";

class RecordingMessages : public WalkerMessages
{
public:
    void show(std::string_view text) override { shown.emplace_back(text); }
    std::vector<std::string> shown;
};

} // namespace

// Which element text lands in which field.
TEST(ResponseWalker, RepeatedElementInOneRecordKeepsTheLastValue)
{
    SingleList<UnitRow> units("dt:unit");
    const std::string answer =
        registryAnswer("<dt:unit><bs:guid>11111111-1111-1111-1111-111111111111</bs:guid>"
                       "<bs:guid>22222222-2222-2222-2222-222222222222</bs:guid></dt:unit>");
    ASSERT_EQ(units.read(answer), 1);
    EXPECT_EQ(t(units.list[0].GUID), "22222222-2222-2222-2222-222222222222");
}

TEST(ResponseWalker, BooleanWordsBecomeNumbersInAnyCase)
{
    VsdListSet lists;
    ASSERT_EQ(lists.read(vsdAnswer("<vd:vetDocument><vd:finalized>TRUE</vd:finalized></vd:vetDocument>"
                                   "<vd:vetDocument><vd:finalized>False</vd:finalized>"
                                   "<vd:issueSeries>true</vd:issueSeries></vd:vetDocument>")),
              2);
    EXPECT_EQ(+lists.vsd[0].FINALIZED, 1);
    EXPECT_EQ(+lists.vsd[1].FINALIZED, 0);
    // Every field type: a text field receives the digit.
    EXPECT_EQ(z(lists.vsd[1].ISSUESERIES), "1");
}

TEST(ResponseWalker, EmptyElementLeavesTheFieldBlank)
{
    SingleList<UnitRow> units("dt:unit");
    ASSERT_EQ(units.read(registryAnswer("<dt:unit><bs:guid>x</bs:guid><dt:name></dt:name><dt:fullName/>"
                                        "<dt:factor>5</dt:factor></dt:unit>")),
              1);
    EXPECT_EQ(z(units.list[0].NAME), "");
    EXPECT_EQ(z(units.list[0].FULLNAME), "");
    EXPECT_EQ(+units.list[0].FACTOR, 5);
}

TEST(ResponseWalker, ElementWhoseFirstChildIsNoTextGivesNothing)
{
    // The name's text follows a child element: it is not the element's value.
    SingleList<UnitRow> units("dt:unit");
    ASSERT_EQ(
        units.read(registryAnswer("<dt:unit><bs:guid>g</bs:guid><dt:name><b>x</b>kg</dt:name></dt:unit>")),
        1);
    EXPECT_EQ(z(units.list[0].NAME), "");
}

TEST(ResponseWalker, GuidsStayAsTheyAreAndNamesArriveInTheProgramCodePage)
{
    SingleList<UnitRow> units("dt:unit");
    const std::string answer = registryAnswer(std::string("<dt:unit><bs:guid>") + kUnitGuid +
                                              "</bs:guid><dt:name>кг</dt:name>"
                                              "<dt:fullName>килограмм (масса)</dt:fullName></dt:unit>");
    ASSERT_EQ(units.read(answer), 1);
    EXPECT_EQ(t(units.list[0].GUID), kUnitGuid);
    EXPECT_EQ(z(units.list[0].NAME), platform::utf8ToCp1251("кг"));
    EXPECT_EQ(z(units.list[0].FULLNAME), platform::utf8ToCp1251("килограмм (масса)"));
    EXPECT_EQ(z(units.list[0].FULLNAME).size(), 17u); // one byte per letter
}

TEST(ResponseWalker, TextsLongerThanTheirFieldAreCut)
{
    SingleList<CountryRow> countries("dt:country");
    const std::string longName(300, 'N');
    ASSERT_EQ(countries.read(registryAnswer("<dt:country><dt:name>" + longName +
                                                "</dt:name><dt:code>RUS</dt:code>"
                                                "<dt:code3>RUSSIA</dt:code3></dt:country>",
                                            "dt:countryList")),
              1);
    const CountryRow& row = countries.list[0];
    EXPECT_EQ(z(row.NAME), std::string(128, 'N'));  // ztext(129) keeps 128
    EXPECT_EQ(std::string_view(row.CODE, 2), "RU"); // text(2) keeps 2
    EXPECT_EQ(std::string_view(row.CODE3, 3), "RUS");
}

TEST(ResponseWalker, NumbersTakeTheLeadingNumberOfTheText)
{
    SingleList<UnitRow> units("dt:unit");
    ASSERT_EQ(units.read(registryAnswer(
                  "<dt:unit><bs:status>200</bs:status><dt:factor>1000.7kg</dt:factor></dt:unit>"
                  "<dt:unit><bs:status>abc</bs:status><dt:factor>-12</dt:factor></dt:unit>"
                  "<dt:unit><bs:status>99999999</bs:status></dt:unit>")),
              3);
    EXPECT_EQ(+units.list[0].STATUS, 200);
    EXPECT_EQ(+units.list[0].FACTOR, 1000);
    EXPECT_EQ(+units.list[1].STATUS, 0);
    EXPECT_EQ(+units.list[1].FACTOR, -12);
    EXPECT_EQ(+units.list[2].STATUS, 32767); // limited to the field's range
}

TEST(ResponseWalker, PathsCompareWithoutRegardToCase)
{
    // The record element is asked for in capitals; the list spells
    // "dt:addressview" while the answer writes dt:addressView.
    SingleList<EnterpriseRow> enterprises("DT:ENTERPRISE");
    ASSERT_EQ(enterprises.read(
                  registryAnswer("<dt:enterprise><dt:address><dt:addressView>ул. Мира, 1</dt:addressView>"
                                 "</dt:address></dt:enterprise>",
                                 "dt:enterpriseList")),
              1);
    EXPECT_EQ(z(enterprises.list[0].ADDRESS), platform::utf8ToCp1251("ул. Мира, 1"));
}

TEST(ResponseWalker, EveryRecordElementStartsAnEntryAndEmptyRecordsAreSkipped)
{
    SingleList<UnitRow> units("dt:unit");
    ASSERT_EQ(units.read(registryAnswer(
                  "<dt:unit><dt:name>a</dt:name></dt:unit><dt:unit/>"
                  "<dt:unit><dt:other>x</dt:other></dt:unit><dt:unit><dt:name>b</dt:name></dt:unit>")),
              2);
    EXPECT_EQ(z(units.list[0].NAME), "a");
    EXPECT_EQ(z(units.list[1].NAME), "b");
    // The walker appends; the caller empties the list between answers.
    EXPECT_EQ(units.read(registryAnswer("<dt:unit><dt:name>c</dt:name></dt:unit>")), 1);
    EXPECT_EQ(units.list.count(), 3u);
    EXPECT_EQ(+units.request.RLOAD, 1);
}

// Paging values and results.
TEST(ResponseWalker, ListAttributesGiveThePagingValues)
{
    SingleList<UnitRow> units("dt:unit");
    units.request.ROFFSET = units.request.RCOUNT = units.request.RTOTAL = 77;
    ASSERT_EQ(units.read(registryAnswer("<dt:unit><dt:name>a</dt:name></dt:unit>", "dt:unitList",
                                        R"( count="3" total="3" offset="0" hasMore="false")")),
              1);
    EXPECT_EQ(+units.request.RCOUNT, 3);
    EXPECT_EQ(+units.request.RTOTAL, 3);
    EXPECT_EQ(+units.request.ROFFSET, 0);

    ASSERT_EQ(units.read(registryAnswer("<dt:unit><dt:name>a</dt:name></dt:unit>", "dt:unitList",
                                        R"( Offset="2000" COUNT="1000" total="2500")")),
              1);
    EXPECT_EQ(+units.request.ROFFSET, 2000);
    EXPECT_EQ(+units.request.RCOUNT, 1000);
    EXPECT_EQ(+units.request.RTOTAL, 2500);
}

TEST(ResponseWalker, UnreadableAndEmptyAnswersFail)
{
    SingleList<UnitRow> units("dt:unit");
    units.request.RLOAD = 5;
    units.request.RTOTAL = 9;
    EXPECT_EQ(units.read("<soapenv:Envelope><dt:unit>"), kUnparsableAnswer);
    EXPECT_EQ(+units.request.RLOAD, 0);
    EXPECT_EQ(+units.request.RTOTAL, 0);
    EXPECT_EQ(units.read("not xml at all <"), kUnparsableAnswer);
    EXPECT_EQ(units.read(""), kEmptyAnswer);
    EXPECT_EQ(units.read("<?xml version=\"1.0\"?>\n  "), kEmptyAnswer);
    EXPECT_EQ(units.list.count(), 0u);
}

TEST(ResponseWalker, AnswerWithoutRecordElementsReadsNothing)
{
    SingleList<UnitRow> units("dt:unit");
    EXPECT_EQ(units.read(registryAnswer("", "dt:unitList", R"( count="0" total="0" offset="0")")), 0);
    EXPECT_EQ(units.list.count(), 0u);
    EXPECT_EQ(+units.request.RLOAD, 0);
}

TEST(ResponseWalker, NoMessagesOnWellFormedAnswers)
{
    RecordingMessages messages;
    SingleList<UnitRow> units("dt:unit");
    EXPECT_EQ(ReadAnswer(registryAnswer("<dt:unit><dt:name>a</dt:name></dt:unit>"), units.request, &messages)
                  .entries,
              1);
    EXPECT_EQ(z(units.list[0].NAME), "a");
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ResponseWalker, InPlaceReadingGivesTheSameLists)
{
    SingleList<UnitRow> a("dt:unit");
    SingleList<UnitRow> b("dt:unit");
    std::string answer =
        registryAnswer("<dt:unit><dt:name>кг &amp; т</dt:name><dt:factor>3</dt:factor></dt:unit>");
    ASSERT_EQ(a.read(answer), 1);
    ASSERT_EQ(ReadAnswerInPlace(answer.data(), answer.size(), b.request).entries, 1);
    EXPECT_EQ(z(b.list[0].NAME), platform::utf8ToCp1251("кг & т"));
    EXPECT_EQ(0, std::memcmp(a.list.row(0), b.list.row(0), a.list.layout().recordLength));
}
