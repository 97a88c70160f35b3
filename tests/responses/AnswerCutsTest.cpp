// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/AnswerCuts.h"

#include <gtest/gtest.h>

#include <string>

using responses::cutAnswer;

TEST(AnswerCuts, RecordsAreFoundByTheirLocalNameUnderAnyPrefix)
{
    struct Case
    {
        std::string answer;
        std::string name;
    };
    const Case cases[] = {
        {"<l xmlns:vd='u'><vd:vetDocument>a</vd:vetDocument><vd:vetDocument>b</vd:vetDocument></l>",
         "vd:vetDocument"},
        {"<ns3:l xmlns:ns3='u'><ns3:vetDocument a='1'>a</ns3:vetDocument></ns3:l>", "ns3:vetDocument"},
        {"<l xmlns='u'><vetDocument\n>a</vetDocument>  </l>\n", "vetDocument"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const auto cuts = cutAnswer(c.answer, "vetDocument", 1);
        ASSERT_TRUE(cuts.has_value());
        EXPECT_EQ(cuts->recordName, c.name);
        EXPECT_EQ(cuts->recordsBegin, c.answer.find("<" + c.name));
        EXPECT_EQ(cuts->recordsEnd, c.answer.rfind("</" + c.name) + c.name.size() + 3);
        EXPECT_EQ(cuts->pieceBegins, std::vector<std::size_t>{cuts->recordsBegin});
    }
}

TEST(AnswerCuts, OtherTagsOfTheSameLettersAreNoRecords)
{
    // A longer name, an end tag, text and an attribute value come before the
    // first start tag of the record.
    const std::string answer =
        "<r xmlns:vd='u'><vd:vetDocumentList n='vetDocument'>vetDocument</vd:vetDocumentX>"
        "<vd:vetDocument/><vd:vetDocument >x</vd:vetDocument >\t</vd:vetDocumentList></r>";
    const auto cuts = cutAnswer(answer, "vetDocument", 4);
    ASSERT_TRUE(cuts.has_value());
    EXPECT_EQ(cuts->recordsBegin, answer.find("<vd:vetDocument/>"));
    EXPECT_EQ(answer.substr(cuts->recordsEnd), "\t</vd:vetDocumentList></r>");
    EXPECT_EQ(cuts->pieceBegins,
              (std::vector<std::size_t>{answer.find("<vd:vetDocument/>"), answer.find("<vd:vetDocument >")}));
}

TEST(AnswerCuts, PiecesBeginAtStartTagsInOrder)
{
    std::string answer = "<l xmlns:vd='u'>";
    for (int i = 0; i < 50; ++i)
        answer += "<vd:vetDocument><x>" + std::string(static_cast<std::size_t>(i % 7) * 10, 'x') +
                  "</x></vd:vetDocument>";
    answer += "</l>";
    for (const std::size_t pieces : {2u, 3u, 10u, 50u, 80u}) {
        SCOPED_TRACE(pieces);
        const auto cuts = cutAnswer(answer, "vetDocument", pieces);
        ASSERT_TRUE(cuts.has_value());
        const auto& begins = cuts->pieceBegins;
        EXPECT_EQ(begins.front(), cuts->recordsBegin);
        // Records differ in length, so a cut may fall into the piece after.
        EXPECT_LE(begins.size(), std::min<std::size_t>(pieces, 50));
        EXPECT_GE(begins.size(), std::min<std::size_t>(pieces, 50) * 3 / 4);
        for (std::size_t k = 0; k < begins.size(); ++k) {
            EXPECT_EQ(answer.compare(begins[k], 16, "<vd:vetDocument>"), 0);
            if (k > 0) {
                EXPECT_LT(begins[k - 1], begins[k]);
            }
            EXPECT_LT(begins[k], cuts->recordsEnd);
        }
    }
}

TEST(AnswerCuts, NothingWhenTheRecordsCannotBeDelimited)
{
    for (const char* answer : {
             "<l><a/></l>",                                               // no record
             "<l><vd:vetDocument>x</vd:vetDocument><after/></l>",         // an element after the last record
             "<l><vd:vetDocument>x</vd:vetDocument></l>tail",             // text after the document
             "<l><vd:vetDocument>x</l>",                                  // no end tag
             "<l><vd:vetDocument>x</vd:vetDocument></l><!-- comment -->", // anything but end tags
         }) {
        SCOPED_TRACE(answer);
        EXPECT_FALSE(cutAnswer(answer, "vetDocument", 4).has_value());
    }
    EXPECT_FALSE(cutAnswer("<l><vd:vetDocument/></l>", "", 4).has_value());
}
