// SPDX-License-Identifier: LicenseRef-Kestrom
// Answers that are not one sound SOAP document are refused, never read as
// success: the refusal names what was wrong and the lists stay as they were.
// The hostile answers lie beside this file (hostile/*.xml); answers in the
// encodings the program converts lie in encodings/*.xml.
#include "WalkerFixtures.h"

#include "platform/CodePage.h"
#include "platform/Utf8.h"
#include "vetis/AnswerText.h"

#include <QFile>
#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

using namespace responses;
using namespace walkertest;

namespace {

std::string readTestFile(const char* folder, const char* name)
{
    QFile f(testsupport::sourceFolder() + QStringLiteral("/tests/responses/") + QString::fromUtf8(folder) +
            QStringLiteral("/") + QString::fromUtf8(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = f.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

struct Hostile
{
    const char* file;
    AnswerProblem problem;
    const char* said; // a part of the description
};

std::ostream& operator<<(std::ostream& out, const Hostile& h)
{
    return out << h.file;
}

class HostileAnswer : public ::testing::TestWithParam<Hostile>
{};

} // namespace

TEST_P(HostileAnswer, IsRefusedSayingWhatWasWrong)
{
    const Hostile& h = GetParam();
    const std::string answer = readTestFile("hostile", h.file);
    ASSERT_FALSE(answer.empty()) << h.file;

    // Lists that hold an entry of an earlier answer keep just that.
    SingleList<UnitRow> units("dt:unit");
    ASSERT_EQ(units.read(registryAnswer("<dt:unit><dt:name>earlier</dt:name></dt:unit>", "dt:unitList",
                                        R"( count="1")")),
              1);
    const ReadResult read = units.readResult(answer);
    EXPECT_FALSE(read.ok());
    EXPECT_EQ(read.problem, h.problem);
    EXPECT_EQ(read.entries, h.problem == AnswerProblem::Empty ? kEmptyAnswer : kUnparsableAnswer);
    EXPECT_NE(read.description.find(h.said), std::string::npos) << read.description;
    EXPECT_TRUE(platform::utf8ToCp1251(read.description).size() > 0) << "the description is valid UTF-8";
    ASSERT_EQ(units.list.count(), 1u);
    EXPECT_EQ(z(units.list[0].NAME), "earlier");
    EXPECT_EQ(+units.request.RLOAD, 0);
    EXPECT_EQ(+units.request.RCOUNT, 0);
    EXPECT_EQ(+units.request.RTOTAL, 0);
    EXPECT_EQ(+units.request.ROFFSET, 0);

    // The VSD lists too (paging attributes count only where records are).
    if (h.problem == AnswerProblem::BadPagingAttribute)
        return;
    VsdListSet set;
    EXPECT_EQ(set.read(answer), read.entries);
    for (const responses::ResponseList* list : set.request.lists) {
        if (list) {
            EXPECT_EQ(list->count(), 0u) << list->layout().name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileAnswer,
    ::testing::Values(
        Hostile{"two-envelopes.xml", AnswerProblem::NotOneDocument, "больше одного корневого элемента"},
        Hostile{"text-after-envelope.xml", AnswerProblem::NotOneDocument, "текст вне корневого элемента"},
        Hostile{"undefined-entity.xml", AnswerProblem::BadText, "неизвестную сущность «&e;»"},
        Hostile{"undefined-entity-in-attribute.xml", AnswerProblem::BadText, "«&three;»"},
        Hostile{"bare-ampersand.xml", AnswerProblem::BadText, "символ «&»"},
        Hostile{"bad-character-reference.xml", AnswerProblem::BadText, "ссылку на символ «&#0;»"},
        Hostile{"doctype-entities.xml", AnswerProblem::DocumentType, "DOCTYPE"},
        Hostile{"doctype-plain.xml", AnswerProblem::DocumentType, "DOCTYPE"},
        Hostile{"invalid-utf8.xml", AnswerProblem::BadText, "UTF-8"},
        Hostile{"overlong-utf8.xml", AnswerProblem::BadText, "UTF-8"},
        Hostile{"utf16-unpaired-surrogate.xml", AnswerProblem::BadText, "UTF-16"},
        Hostile{"utf32.xml", AnswerProblem::BadText, "UTF-32"},
        Hostile{"unknown-encoding.xml", AnswerProblem::BadText, "«KOI8-R»"},
        Hostile{"not-an-envelope.xml", AnswerProblem::NotSoapEnvelope, "«dt:unitList»"},
        Hostile{"soap12-envelope.xml", AnswerProblem::NotSoapEnvelope, "«soapenv:Envelope»"},
        Hostile{"count-negative.xml", AnswerProblem::BadPagingAttribute, "«count» списка: «-1»"},
        Hostile{"count-with-letters.xml", AnswerProblem::BadPagingAttribute, "«count» списка: «3abc»"},
        Hostile{"total-beyond-32-bits.xml", AnswerProblem::BadPagingAttribute,
                "«total» списка: «99999999999»"},
        Hostile{"offset-empty.xml", AnswerProblem::BadPagingAttribute, "«offset» списка: «»"},
        Hostile{"truncated.xml", AnswerProblem::NotWellFormed, "не является правильным XML-документом"},
        Hostile{
            "soap-fault.xml", AnswerProblem::SoapFault,
            "Сервис Ветис.API сообщил об ошибке: APLM0001 Incorrect request (Параметр guid имеет неверный "
            "формат)"},
        Hostile{"soap-fault-without-detail.xml", AnswerProblem::SoapFault,
                "Сервис Ветис.API сообщил об ошибке: S:Server Internal service error"},
        Hostile{"empty.xml", AnswerProblem::Empty, "нет ни одного элемента"}));

TEST(AnswerEncodings, ConvertedAnswersReadLikeUtf8)
{
    // The same answer of three units, each named "кг", in every encoding the
    // program takes: the names arrive in the program's code page.
    for (const char* file : {"no-declaration.xml", "utf8-bom.xml", "windows-1251.xml", "cp1251-upper.xml",
                             "utf16le-bom.xml", "utf16be-bom.xml"}) {
        SCOPED_TRACE(file);
        const std::string answer = readTestFile("encodings", file);
        ASSERT_FALSE(answer.empty());
        SingleList<UnitRow> units("dt:unit");
        const ReadResult read = units.readResult(answer);
        ASSERT_TRUE(read.ok()) << read.description;
        ASSERT_EQ(read.entries, 3);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_EQ(z(units.list[i].NAME), platform::utf8ToCp1251("кг"));
        EXPECT_EQ(t(units.list[2].GUID), "21ed96c9-337b-4a27-8761-c6e6ad3c9003");
        EXPECT_EQ(+units.request.RCOUNT, 3);
    }
}

TEST(AnswerText, ReferencesTheParserExpandsOrNeverSees)
{
    // Predefined entities and character references are read; an "&" in a
    // comment, a CDATA section or a processing instruction begins nothing.
    SingleList<UnitRow> units("dt:unit");
    const ReadResult read = units.readResult(registryAnswer(
        "<!-- AT&T --><?note a&b?><dt:unit><dt:name>&lt;&#1082;&#x433;&gt; &amp; &quot;&apos;</dt:name>"
        "<dt:fullName><![CDATA[R&D &e;]]></dt:fullName></dt:unit>"));
    ASSERT_TRUE(read.ok()) << read.description;
    ASSERT_EQ(read.entries, 1);
    EXPECT_EQ(z(units.list[0].NAME), platform::utf8ToCp1251("<кг> & \"'"));
    EXPECT_EQ(z(units.list[0].FULLNAME), "R&D &e;");

    // The same "&" outside those is refused, also after them.
    for (const char* text :
         {"<dt:name>a&b</dt:name>", "<dt:name>&#xD800;</dt:name>", "<dt:name>&#1114112;</dt:name>",
          "<dt:name>&#x;</dt:name>", "<dt:name>&e</dt:name>", "<dt:name x='&e;'>n</dt:name>"}) {
        SCOPED_TRACE(text);
        SingleList<UnitRow> refused("dt:unit");
        const ReadResult r = refused.readResult(
            registryAnswer(std::string("<!-- & --><![CDATA[&]]>") + "<dt:unit>" + text + "</dt:unit>"));
        EXPECT_EQ(r.problem, AnswerProblem::BadText);
        EXPECT_EQ(refused.list.count(), 0u);
    }
}

TEST(AnswerText, Utf8IsCheckedWhereverTheFaultLies)
{
    // Faults at every alignment of the eight-byte steps and at the very end.
    const std::string good = "<a>" + std::string(29, 'x') + "кг</a>";
    EXPECT_EQ(vetis::firstInvalidUtf8(good), good.size());
    EXPECT_TRUE(vetis::checkUtf8Text(good).ok());
    for (std::size_t at = 0; at <= good.size(); ++at)
        for (const std::string& bad :
             {std::string("\xC0\xAF"), std::string("\xED\xA0\x80"), std::string("\xF4\x90\x80\x80"),
              std::string("\x80"), std::string("\xD0")}) {
            std::string text = good;
            if (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80)
                continue; // inside "к" or "г"
            text.insert(at, bad);
            SCOPED_TRACE(at);
            EXPECT_EQ(vetis::firstInvalidUtf8(text), at);
            EXPECT_FALSE(vetis::checkUtf8Text(text).ok());
        }
}

TEST(AnswerText, Utf8CheckAgreesWithTheByteWiseReadingOnMixedText)
{
    // Texts of ASCII, Cyrillic, three- and four-byte characters and faults in
    // every mix, so that the sixteen-byte steps meet lead bytes at their last
    // byte, faults straddling their borders and blocks they must leave to the
    // byte-wise reading.
    const std::vector<std::string> pieces = {"a",
                                             "<dt:name>",
                                             "\xD0\xBA",
                                             "\xD0\xB3\xD1\x80",
                                             "\xC2\xAB",
                                             "\xE2\x84\x96",
                                             "\xF0\x9F\x98\x80",
                                             "\x80",
                                             "\xD0",
                                             "\xC1\xBF",
                                             "\xE0\x80\x80",
                                             "\xED\xA0\x80",
                                             "\xF4\x90\x80\x80",
                                             "\xFF"};
    const auto byteWise = [](const std::string& text) {
        std::size_t i = 0;
        while (i < text.size()) {
            const platform::Utf8Step step = platform::utf8Step(text.data() + i, text.size() - i);
            if (!step.valid)
                return i;
            i += step.length;
        }
        return text.size();
    };
    std::mt19937 random(20261207);
    int faulty = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const bool clean = round % 2 == 0;
        const int count = static_cast<int>(random() % 40);
        for (int k = 0; k < count; ++k)
            text += pieces[random() % (clean ? 7 : pieces.size())];
        const std::size_t expected = byteWise(text);
        faulty += expected != text.size();
        ASSERT_EQ(vetis::firstInvalidUtf8(text), expected) << "round " << round;
    }
    EXPECT_GT(faulty, 5000); // the faults were met, not only clean texts
}

TEST(PagingAttributes, IntegersFromZeroToTheLargest32BitValueAreRead)
{
    struct Case
    {
        const char* attributes;
        int count;
        int total;
    };
    for (const Case& c :
         {Case{R"( count=" 3 " total="+7")", 3, 7}, Case{R"( count="0" total="2147483647")", 0, 2147483647},
          Case{R"( COUNT="012" Total="12")", 12, 12}}) {
        SCOPED_TRACE(c.attributes);
        SingleList<UnitRow> units("dt:unit");
        ASSERT_EQ(units.read(
                      registryAnswer("<dt:unit><dt:name>a</dt:name></dt:unit>", "dt:unitList", c.attributes)),
                  1);
        EXPECT_EQ(+units.request.RCOUNT, c.count);
        EXPECT_EQ(+units.request.RTOTAL, c.total);
    }
    for (const char* attributes : {R"( total="2147483648")", R"( offset="-0")", R"( count="1e3")",
                                   R"( count="3 4")", R"( count="+")", R"( offset="0x10")"}) {
        SCOPED_TRACE(attributes);
        SingleList<UnitRow> units("dt:unit");
        const ReadResult read = units.readResult(
            registryAnswer("<dt:unit><dt:name>a</dt:name></dt:unit>", "dt:unitList", attributes));
        EXPECT_EQ(read.problem, AnswerProblem::BadPagingAttribute);
        EXPECT_EQ(units.list.count(), 0u);
    }
}

TEST(PagingAttributes, ARefusedValueLeavesEveryListAsItWas)
{
    // The records are walked before the paging attributes are looked at: the
    // VSD list and its contents lists give back what the walk put in.
    const std::string vsd = "<vd:vetDocument><bs:uuid>11111111-aaaa-4bbb-8ccc-000000000001</bs:uuid>"
                            "<vd:certifiedConsignment><vd:batch><vd:batchID>B1</vd:batchID></vd:batch>"
                            "</vd:certifiedConsignment></vd:vetDocument>";
    VsdListSet set;
    ASSERT_EQ(set.read(vsdAnswer(vsd)), 1);
    const ReadResult read = set.readResult(vsdAnswer(vsd + vsd, R"( count="2" total="-2")"));
    EXPECT_EQ(read.problem, AnswerProblem::BadPagingAttribute);
    EXPECT_EQ(set.vsd.count(), 1u);
    EXPECT_EQ(set.batchIds.count(), 1u);
    EXPECT_EQ(+set.request.RLOAD, 0);
    EXPECT_EQ(+set.request.RCOUNT, 0);
}
