// SPDX-License-Identifier: LicenseRef-Kestrom
// The fast ways of the walker give what the plain ones give: texts assigned
// from zero-terminated answer bytes read a word at a time, element names
// resolved through the name cache, rows filled where they lie.
#include "WalkerFixtures.h"

#include "responses/ElementNames.h"
#include "responses/FieldValue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace responses;
using namespace walkertest;

namespace {

// Texts that take every way of the conversion: ASCII runs of many lengths,
// Russian letters at every alignment, Ё and ё, letters of other alphabets,
// broken UTF-8, booleans and numbers.
std::vector<std::string> sampleTexts()
{
    std::vector<std::string> texts = {
        "",
        "a",
        "true",
        "FaLsE",
        "trueish",
        "12",
        "007",
        "12.7",
        "1e3",
        "-5",
        " 7",
        "123456789012345",
        "12345678901234567890",
        "2024-05-01",
        "0412b388-6ada-4a2a-b16e-80496e48d159",
        "0412b388-6ada-4a2a-b16e-80496e48d159-and-more",
        "Мясо",
        "Говядина на кости, полутуши, охл.",
        "ООО «Мурманский рыбокомбинат»",
        "Ёлка и ёжик: ЁЁЁЁ ёёёё",
        "Склад №2",
        "АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдежзийклмнопрстуфхцчшщъыьэюя",
        "Ђ and Ѐ",
        "\xD0",
        "abc\xD0",
        "\xD0\x41xyz",
        "\xD1\xC0\xD0\x90\xD0\x90\xD0\x90",
        "caf\xC3\xA9",
    };
    for (std::size_t n : {7u, 8u, 9u, 15u, 16u, 17u, 35u, 36u, 37u, 40u, 250u, 251u, 255u, 256u, 300u})
        texts.push_back(std::string(n, 'x'));
    for (std::size_t shift = 0; shift < 9; ++shift)
        texts.push_back(std::string(shift, '-') + "Пшеница озимая" + std::string(shift, '.'));
    std::string longRussian;
    for (int i = 0; i < 40; ++i)
        longRussian += "щука ";
    texts.push_back(longRussian);
    return texts;
}

std::vector<std::byte> cleared(const ListLayout& layout)
{
    std::vector<std::byte> record(layout.recordLength);
    clearRecord(layout, record.data());
    return record;
}

} // namespace

TEST(AssignFieldText, GivesTheRecordAssignFieldValueGives)
{
    // Fields of every type and width: Text 36, longer and shorter texts,
    // zero-terminated ones of several capacities, numbers.
    std::vector<const ListLayout*> layouts = {&VsdRow::layout(), &PackageRow::layout(), &UnitRow::layout()};
    for (const std::string& text : sampleTexts()) {
        // The text lies in an answer buffer with 0 to 16 bytes after its
        // terminator that may be read, or is read without any.
        for (int slack = -1; slack <= 16; ++slack) {
            std::vector<char> buffer(text.size() + 1 + static_cast<std::size_t>(std::max(slack, 0)), '<');
            std::memcpy(buffer.data(), text.data(), text.size());
            buffer[text.size()] = '\0';
            const char* readableEnd = slack < 0 ? nullptr : buffer.data() + buffer.size();
            for (const ListLayout* layout : layouts)
                for (const ResponseField& f : layout->fields) {
                    SCOPED_TRACE(std::string(f.name) + " <- \"" + text + "\" slack " + std::to_string(slack));
                    // Onto a cleared field, telling it is blank.
                    std::vector<std::byte> expected = cleared(*layout);
                    std::vector<std::byte> got = cleared(*layout);
                    assignFieldValue(expected.data(), f, text);
                    assignFieldText(got.data(), f, buffer.data(), readableEnd, true);
                    ASSERT_EQ(std::memcmp(expected.data(), got.data(), expected.size()), 0);
                    // Over a longer value already there.
                    assignFieldValue(expected.data(), f, std::string(300, 'w'));
                    assignFieldValue(got.data(), f, std::string(300, 'w'));
                    assignFieldValue(expected.data(), f, text);
                    assignFieldText(got.data(), f, buffer.data(), readableEnd, false);
                    ASSERT_EQ(std::memcmp(expected.data(), got.data(), expected.size()), 0);
                }
        }
    }
}

namespace {

constexpr ResponseField kNameFields[] = {
    {"A", store::FieldType::Text, 8, 0, "!t:aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa1!t:abcdefghijklmnopqrstuvwxyz"},
    {"B", store::FieldType::Text, 8, 8, "!t:short"},
    {"C", store::FieldType::Text, 8, 16, "!t:0123456789abcdefghij"},
};
constexpr ListLayout kNameLayout{"names", "t:row", 24, kNameFields};

} // namespace

TEST(ElementNames, NamesResolveAlikeWhereverTheyLie)
{
    PathIndex index;
    ASSERT_EQ(index.addList(kNameLayout, "t:row", false), 0);
    const std::int32_t none = PathIndex::kNone;
    const std::int32_t a33 = index.nameId("t:aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa1");
    const std::int32_t a28 = index.nameId("t:abcdefghijklmnopqrstuvwxyz");
    const std::int32_t s7 = index.nameId("t:short");
    const std::int32_t d22 = index.nameId("t:0123456789abcdefghij");
    ASSERT_TRUE(a33 != none && a28 != none && s7 != none && d22 != none);

    // Names that differ in their first, middle or last bytes only, in any
    // case ("t" is bound to no namespace: the literal name counts); the last
    // one ends the buffer.
    const std::vector<std::pair<std::string, std::int32_t>> cases = {
        {"t:short", s7},
        {"t:aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa1", a33},
        {"t:aaaaaaaaaaaaaaaaaaaaaaaaaaaaaa2", none},
        {"t:aaaaaaaaaaaaaaaaXaaaaaaaaaaaaa1", none},
        {"t:abcdefghijklmnopqrstuvwxyz", a28},
        {"T:ABCDEFGHIJKLMNOPQRSTUVWXYZ", a28},
        {"t:abcdefghijklmnopXrstuvwxyz", none},
        {"t:0123456789abcdefghij", d22},
        {"t:0123456X89abcdefghij", none},
        {"u:0123456789abcdefghij", none},
        {"t:shor", none},
        {"t:shorT", s7},
        {"", none},
        {"t:short", s7},
    };
    std::string buffer;
    std::vector<std::size_t> at;
    for (const auto& c : cases) {
        at.push_back(buffer.size());
        buffer += c.first;
        buffer += '\0';
    }

    NamespaceScope scope;
    // Without a readable range, with the whole buffer, with its first half.
    for (std::size_t readable : {std::size_t{0}, buffer.size(), buffer.size() / 2}) {
        ElementNames names(index);
        if (readable)
            names.setReadableRange(buffer.data(), buffer.data() + readable);
        for (int round = 0; round < 2; ++round) // resolved, then from the cache
            for (std::size_t i = 0; i < cases.size(); ++i) {
                SCOPED_TRACE(cases[i].first + " readable " + std::to_string(readable));
                EXPECT_EQ(names.id(buffer.data() + at[i], scope), cases[i].second);
            }
    }
}

TEST(ElementNames, ANameIsResolvedAgainWhenItsPrefixIsBoundAnew)
{
    // The same name as written, in scopes that bind its prefix to the
    // dictionary namespace, to another one, and to the dictionary again.
    SingleList<UnitRow> units("dt:unit");
    const std::string answer =
        R"(<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/" xmlns:bs="http://api.vetrf.ru/schema/cdm/base">)"
        R"(<a:unitList xmlns:a="http://api.vetrf.ru/schema/cdm/dictionary/v2"><a:unit><bs:guid>g1</bs:guid></a:unit></a:unitList>)"
        R"(<a:unitList xmlns:a="urn:other"><a:unit><bs:guid>g2</bs:guid></a:unit></a:unitList>)"
        R"(<unitList xmlns="http://api.vetrf.ru/schema/cdm/dictionary/v2"><unit><bs:guid>g3</bs:guid></unit>)"
        R"(<unit xmlns="urn:other"><bs:guid>g4</bs:guid></unit><unit><bs:guid>g5</bs:guid></unit></unitList></s:Envelope>)";
    ASSERT_EQ(units.read(answer), 3);
    EXPECT_EQ(t(units.list[0].GUID), "g1");
    EXPECT_EQ(t(units.list[1].GUID), "g3");
    EXPECT_EQ(t(units.list[2].GUID), "g5");
}

TEST(ResponseWalker, RecordElementBelowAnUnreadElementStartsNoRecordOfItsOwn)
{
    // The second dt:unit lies below an element of no path: it ends the entry
    // before it, but nothing below it is read.
    SingleList<UnitRow> units("dt:unit");
    const std::string answer =
        R"(<s:Envelope xmlns:s="http://schemas.xmlsoap.org/soap/envelope/" xmlns:dt="http://api.vetrf.ru/schema/cdm/dictionary/v2" xmlns:bs="http://api.vetrf.ru/schema/cdm/base")"
        R"( xmlns:x="urn:x"><dt:unitList count="3"><dt:unit><bs:guid>g1</bs:guid></dt:unit><x:wrap><dt:unit>)"
        R"(<bs:guid>g2</bs:guid><dt:name>n2</dt:name></dt:unit></x:wrap><dt:unit><bs:guid>g3</bs:guid></dt:unit>)"
        R"(</dt:unitList></s:Envelope>)";
    ASSERT_EQ(units.read(answer), 2);
    EXPECT_EQ(t(units.list[0].GUID), "g1");
    EXPECT_EQ(t(units.list[1].GUID), "g3");
    EXPECT_EQ(z(units.list[1].NAME), "");
    EXPECT_EQ(+units.request.RCOUNT, 3);
}

TEST(VsdWalker, ListsThatHeldEntriesKeepThemWhenTheMainListGetsNone)
{
    // Contents are filled in the same pass as the main list and taken back
    // when the main list got nothing; entries of an earlier read stay.
    VsdListSet lists;
    const std::string vsd = "<vd:vetDocument><bs:uuid>11111111-aaaa-4bbb-8ccc-000000000001</bs:uuid>"
                            "<vd:certifiedConsignment><vd:batch><vd:batchID>B1</vd:batchID></vd:batch>"
                            "</vd:certifiedConsignment></vd:vetDocument>";
    ASSERT_EQ(lists.read(vsdAnswer(vsd)), 1);
    ASSERT_EQ(lists.batchIds.count(), 1u);
    store::setZText(lists.request.ROWTAG, "vd:somethingElse");
    ASSERT_EQ(lists.read(vsdAnswer(vsd + vsd)), 0);
    ASSERT_EQ(lists.batchIds.count(), 1u);
    EXPECT_EQ(z(lists.batchIds[0].BATCHID), "B1");
    EXPECT_EQ(lists.vsd.count(), 1u);
}

TEST(ResponseList, RowsFilledWhereTheyLie)
{
    // Rows of many chunks filled in place, some room taken and given back.
    ResponseList list(VsdRow::layout());
    const std::size_t length = list.layout().recordLength;
    for (int i = 0; i < 40; ++i) {
        std::byte* row = list.nextRow();
        std::memset(row, i, length);
        if (i % 3 != 2)
            list.commitRow(); // every third row is abandoned and its room filled again
    }
    ASSERT_EQ(list.count(), 27u);
    for (std::size_t i = 0; i < list.count(); ++i) {
        const int expected = static_cast<int>(i / 2 * 3 + i % 2);
        EXPECT_EQ(static_cast<int>(list.row(i)[0]), expected);
        EXPECT_EQ(static_cast<int>(list.row(i)[length - 1]), expected);
    }
    list.truncate(5);
    EXPECT_EQ(list.count(), 5u);
    std::vector<std::byte> record(length, std::byte{0x7F});
    ASSERT_TRUE(list.add(record.data()));
    ASSERT_EQ(list.count(), 6u);
    EXPECT_EQ(list.row(5)[0], std::byte{0x7F});
    EXPECT_EQ(static_cast<int>(list.row(4)[0]), 6);
    list.truncate(100);
    EXPECT_EQ(list.count(), 6u);
}
