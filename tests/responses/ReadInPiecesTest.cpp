// SPDX-License-Identifier: LicenseRef-Kestrom
// Long answers read by several threads must give exactly the lists a reading
// of the whole answer gives, and answers that cannot be cut into pieces of
// whole records must be read whole.
#include "AnswerGenerator.h"
#include "WalkerFixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace responses;
using namespace walkertest;

namespace {

// Everything a read leaves behind: the paging values and the rows of the ten
// lists, byte for byte.
std::string readingOf(const VsdListSet& s)
{
    const ResponseList* lists[] = {&s.vsd,         &s.refDocs,      &s.batchIds, &s.producers,
                                   &s.packages,    &s.conditions,   &s.research, &s.statusChanges,
                                   &s.routePoints, &s.immunizations};
    std::string out = std::to_string(s.request.RLOAD) + " " + std::to_string(s.request.ROFFSET) + " " +
                      std::to_string(s.request.RCOUNT) + " " + std::to_string(s.request.RTOTAL) + "\n";
    for (const ResponseList* list : lists) {
        out += std::string(list->layout().name) + " " + std::to_string(list->count()) + "\n";
        for (std::size_t i = 0; i < list->count(); ++i)
            out.append(reinterpret_cast<const char*>(list->row(i)), list->layout().recordLength);
    }
    return out;
}

struct Reading
{
    int result = 0;
    bool cut = false;
    std::string lists;
};

Reading readShared(std::string_view answer, const ReadSharing& sharing)
{
    VsdListSet set;
    Reading r;
    r.result = ReadAnswer(answer, set.request, sharing, &r.cut);
    r.lists = readingOf(set);
    return r;
}

// The whole answer on one thread against pieces on several; cut tells
// whether the pieces were expected to be taken.
void expectSameReading(std::string_view answer, const ReadSharing& sharing, bool cut)
{
    const Reading whole = readShared(answer, ReadSharing{});
    const Reading pieces = readShared(answer, sharing);
    EXPECT_FALSE(whole.cut);
    EXPECT_EQ(pieces.cut, cut);
    EXPECT_EQ(pieces.result, whole.result);
    EXPECT_TRUE(pieces.lists == whole.lists) << "the lists differ from those of the whole answer";
}

std::string vsd(int n, std::string_view inner = "")
{
    char uuid[40];
    std::snprintf(uuid, sizeof uuid, "11111111-aaaa-4bbb-8ccc-%012d", n);
    return std::string("<vd:vetDocument><bs:uuid>") + uuid +
           "</bs:uuid><vd:certifiedConsignment><vd:batch><vd:batchID>B" + std::to_string(n) +
           "</vd:batchID></vd:batch></vd:certifiedConsignment>" + std::string(inner) + "</vd:vetDocument>";
}

std::string documents(int count)
{
    std::string s;
    for (int i = 1; i <= count; ++i)
        s += vsd(i);
    return s;
}

constexpr ReadSharing kEveryTag{3, 64}; // more pieces than records: a cut before every start tag

} // namespace

TEST(ReadInPieces, GeneratedAnswersReadAsTheWholeAnswer)
{
    for (const bench::PrefixStyle style :
         {bench::PrefixStyle::Usual, bench::PrefixStyle::Generated, bench::PrefixStyle::Default})
        for (const bool indented : {true, false}) {
            SCOPED_TRACE(static_cast<int>(style) * 2 + indented);
            bench::AnswerOptions options;
            options.documents = 23;
            options.style = style;
            options.indented = indented;
            options.seed = 7;
            options.total = 500;
            const std::string answer = bench::generateVsdAnswer(options);
            for (const ReadSharing sharing : {ReadSharing{2, 2}, ReadSharing{2, 5}, ReadSharing{8, 200}})
                expectSameReading(answer, sharing, true);
            const Reading pieces = readShared(answer, ReadSharing{3, 9});
            EXPECT_EQ(pieces.result, 23);
            EXPECT_EQ(pieces.lists.substr(0, pieces.lists.find('\n')), "23 0 23 500");
        }
}

TEST(ReadInPieces, InPlaceReadingTakesThePiecesToo)
{
    bench::AnswerOptions options;
    options.documents = 11;
    const std::string answer = bench::generateVsdAnswer(options);
    std::vector<char> buffer(answer.begin(), answer.end());
    buffer.push_back('\0');
    VsdListSet set;
    bool cut = false;
    ASSERT_EQ(ReadAnswerInPlace(buffer.data(), answer.size(), set.request, ReadSharing{2, 4}, &cut), 11);
    EXPECT_TRUE(cut);
    EXPECT_TRUE(readingOf(set) == readShared(answer, ReadSharing{}).lists);
}

TEST(ReadInPieces, UsualVariationsOfTheTextStillCut)
{
    // Blanks inside tags, comments and text between records, an end tag
    // with a blank, white space after the document.
    std::string records = vsd(1);
    for (int i = 2; i <= 6; ++i)
        records += "\n  <!-- record " + std::to_string(i) + " -->\n" + vsd(i);
    records.replace(records.find("<vd:vetDocument>"), 16, "<vd:vetDocument\n   >");
    records.replace(records.rfind("</vd:vetDocument>"), 17, "</vd:vetDocument >");
    expectSameReading(vsdAnswer(records, R"( offset="40" count="6" total="46")") + "\n\n", kEveryTag, true);
}

TEST(ReadInPieces, EntriesFollowThoseOfAnEarlierRead)
{
    // Lists that hold entries already (their last chunk part-filled) get the
    // pieces' entries after them, as a whole reading would append them.
    const std::string first = vsdAnswer(documents(3));
    const std::string second = vsdAnswer(documents(9));
    VsdListSet whole;
    ASSERT_EQ(ReadAnswer(first, whole.request, ReadSharing{}), 3);
    ASSERT_EQ(ReadAnswer(second, whole.request, ReadSharing{}), 9);
    VsdListSet pieces;
    ASSERT_EQ(ReadAnswer(first, pieces.request, ReadSharing{}), 3);
    bool cut = false;
    ASSERT_EQ(ReadAnswer(second, pieces.request, ReadSharing{2, 4}, &cut), 9);
    EXPECT_TRUE(cut);
    EXPECT_TRUE(readingOf(pieces) == readingOf(whole));
    EXPECT_EQ(pieces.vsd.count(), 12u);
}

TEST(ReadInPieces, AnswersThatCannotBeCutAreReadWhole)
{
    const std::string vdUri = "http://api.vetrf.ru/schema/cdm/mercury/vet-document/v2";
    struct Case
    {
        const char* what;
        std::string answer;
    };
    const Case cases[] = {
        {"a start tag inside a comment between records",
         vsdAnswer(documents(3) + "<!-- <vd:vetDocument> -->" + documents(3))},
        {"a start tag inside a CDATA section",
         vsdAnswer(
             vsd(1) +
             vsd(2, "<vd:waybillNumber><![CDATA[<vd:vetDocument>x</vd:vetDocument>]]></vd:waybillNumber>") +
             vsd(3))},
        {"a record element nested in a record", vsdAnswer(vsd(1) + vsd(2, vsd(20)) + vsd(3))},
        {"an element between records that is no record",
         vsdAnswer(vsd(1) + "<vd:note>x</vd:note>" + vsd(2) + vsd(3))},
        {"a record whose prefix is bound to another VetIS namespace",
         vsdAnswer(vsd(1) +
                   R"(<vd:vetDocument xmlns:vd="http://api.vetrf.ru/schema/cdm/dictionary/v2">)"
                   R"(<bs:uuid>x</bs:uuid></vd:vetDocument>)" +
                   vsd(3))},
        {"records in two list elements",
         vsdAnswer(documents(2) + "</vd:vetDocumentList><vd:vetDocumentList>" + documents(2))},
        {"a record element before the list",
         [&] {
             std::string a = vsdAnswer(documents(3));
             a.insert(a.find("<apl:result>"), "<apl:issuer>" + vsd(9) + "</apl:issuer>");
             return a;
         }()},
        {"a record of another prefix before the list",
         [&] {
             std::string a = vsdAnswer(documents(3));
             a.insert(a.find("<apl:result>"), "<apl:issuer><x:vetDocument xmlns:x=\"" + vdUri +
                                                  "\"><bs:uuid>u</bs:uuid></x:vetDocument></apl:issuer>");
             return a;
         }()},
        {"an element after the records", vsdAnswer(documents(3)) + "<trailer/>"},
        {"a record left open", vsdAnswer(vsd(1) + "<vd:vetDocument><bs:uuid>u</bs:uuid>" + vsd(3))},
        {"an end tag that closes nothing", vsdAnswer(vsd(1) + "</vd:batch>" + vsd(2) + vsd(3))},
        {"an encoding the pieces would not be read in",
         R"(<?xml version="1.0" encoding="ISO-8859-1"?>)" + vsdAnswer(documents(4))},
        {"a record as the root element",
         "<vd:vetDocument xmlns:vd=\"" + vdUri + "\"><bs:uuid>u</bs:uuid></vd:vetDocument>"},
        {"no record at all", vsdAnswer("")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        expectSameReading(c.answer, kEveryTag, false);
    }
}

TEST(ReadInPieces, ListsWithoutContentsAndOtherRecordElements)
{
    // A dictionary list is cut at its own record element; the stray element
    // between records makes the answer be read whole.
    std::string items;
    for (int i = 0; i < 12; ++i)
        items += "<dt:unit><bs:guid>g" + std::to_string(i) + "</bs:guid><dt:name>n</dt:name></dt:unit>";
    for (const bool stray : {false, true}) {
        const std::string answer = registryAnswer(
            stray ? items + "<x:wrap xmlns:x=\"urn:x\"/>" + items : items, "dt:unitList", R"( count="12")");
        SingleList<UnitRow> whole("dt:unit");
        ASSERT_EQ(ReadAnswer(answer, whole.request, ReadSharing{}), stray ? 24 : 12);
        SingleList<UnitRow> pieces("dt:unit");
        bool cut = !stray;
        ASSERT_EQ(ReadAnswer(answer, pieces.request, kEveryTag, &cut), stray ? 24 : 12);
        EXPECT_EQ(cut, !stray);
        ASSERT_EQ(pieces.list.count(), whole.list.count());
        for (std::size_t i = 0; i < whole.list.count(); ++i)
            EXPECT_EQ(std::memcmp(pieces.list.row(i), whole.list.row(i), whole.list.layout().recordLength),
                      0);
        EXPECT_EQ(+pieces.request.RCOUNT, 12);
    }
}

TEST(ReadInPieces, ContentsOfAnotherRecordElementAreReadWhole)
{
    // The contents lists belong to vd:vetDocument; a main list of another
    // record element reads the answer whole (and gets nothing here).
    VsdListSet set;
    store::setZText(set.request.ROWTAG, "vd:certifiedConsignment");
    bool cut = true;
    ReadAnswer(vsdAnswer(documents(5)), set.request, kEveryTag, &cut);
    EXPECT_FALSE(cut);
}
