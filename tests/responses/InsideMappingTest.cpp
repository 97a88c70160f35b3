// SPDX-License-Identifier: LicenseRef-Kestrom
#include "WalkerFixtures.h"

#include "platform/CodePage.h"
#include "platform/Dates.h"
#include "responses/InsideMapping.h"
#include "store/FieldAccess.h"
#include "store/tables/Inside.h"

#include <QDate>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

using namespace responses;
using namespace walkertest;

namespace {

// Field values of the m_Inside records the entries of one list give, as UTF-8.
std::vector<std::map<std::string, std::string>> recordsOf(int kind, const ResponseList& list)
{
    std::vector<std::map<std::string, std::string>> out;
    for (std::size_t i = 0; i < list.count(); ++i) {
        store::InsideRecord record{};
        store::clearRecordOf(store::insideTable(), reinterpret_cast<char*>(&record));
        if (!mapInsideEntry(kind, list.layout(), list.row(i), record))
            continue;
        std::map<std::string, std::string> fields;
        for (const store::FieldDef& f : store::insideTable().fields) {
            const std::string value = store::fieldAsUtf8(f, reinterpret_cast<const char*>(&record));
            if (!value.empty() && value != "0")
                fields[std::string(f.name)] = value;
        }
        out.push_back(std::move(fields));
    }
    return out;
}

TEST(InsideMapping, EntriesOfTheSampleBecomeTheirRecords)
{
    VsdListSet lists;
    ASSERT_EQ(
        lists.read(readSample("ams-03-receiveApplicationResult-getVetDocumentList-prefixed.constructed.xml")),
        3);

    const auto documents = recordsOf(2, lists.refDocs);
    ASSERT_FALSE(documents.empty());
    bool waybill = false;
    for (const auto& d : documents)
        if (d.count("MIN:STR40_02") && d.at("MIN:STR40_02") == "1001") {
            waybill = true;
            EXPECT_EQ(d.at("MIN:STR40_01"), "ТТН");
            EXPECT_EQ(d.at("MIN:STR40_03"), "2024-05-11");
            EXPECT_EQ(d.at("MIN:LONG_01"), std::to_string(platform::dayNumber(QDate(2024, 5, 11))));
            EXPECT_EQ(d.at("MIN:BYTE_01"), "1");
            EXPECT_EQ(d.at("MIN:BYTE_02"), "1");
        }
    EXPECT_TRUE(waybill);

    const auto packages = recordsOf(4, lists.packages);
    ASSERT_FALSE(packages.empty());
    for (const auto& p : packages)
        EXPECT_NE(p.count("MIN:BYTE_01"), 0u); // a level other than 0
    bool box = false;
    for (const auto& p : packages)
        box = box || (p.count("MIN:STR250_01") && p.at("MIN:STR250_01") == "Коробка" &&
                      p.at("MIN:STR40_02") == "50");
    EXPECT_TRUE(box);

    const auto statuses = recordsOf(7, lists.statusChanges);
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.front().at("MIN:STR40_04"), "CONFIRMED");
    for (const auto& r : recordsOf(8, lists.routePoints))
        EXPECT_NE(r.count("MIN:LONG_01"), 0u); // a sequence number other than 0
}

TEST(InsideMapping, EntriesAKindDoesNotKeepLeaveNoRecord)
{
    const std::string vsd = "<vd:vetDocument><bs:uuid>83d8e92d-f2ad-4c0e-a683-acdf2060d7c4</bs:uuid>"
                            "<vd:certifiedConsignment><vd:batch><vd:batchID></vd:batchID>"
                            "<vd:packageList><dt:package><dt:level>0</dt:level><dt:quantity>5</dt:quantity>"
                            "</dt:package></vd:packageList></vd:batch></vd:certifiedConsignment>"
                            "<vd:authentication><vd:r13nClause><vd:condition><bs:guid>short</bs:guid>"
                            "<dt:text>x</dt:text></vd:condition></vd:r13nClause>"
                            "<vd:laboratoryResearch><vd:type>LBR</vd:type></vd:laboratoryResearch>"
                            "<vd:immunization><vd:ID>1</vd:ID></vd:immunization></vd:authentication>"
                            "<vd:statusChange><vd:reason>r</vd:reason></vd:statusChange>"
                            "</vd:vetDocument>";
    VsdListSet lists;
    ASSERT_EQ(lists.read(vsdAnswer(vsd)), 1);
    EXPECT_TRUE(recordsOf(1, lists.batchIds).empty());
    EXPECT_TRUE(recordsOf(4, lists.packages).empty());
    EXPECT_TRUE(recordsOf(5, lists.conditions).empty());
    EXPECT_TRUE(recordsOf(6, lists.research).empty());
    EXPECT_TRUE(recordsOf(7, lists.statusChanges).empty());
    EXPECT_TRUE(recordsOf(9, lists.immunizations).empty());
}

} // namespace
