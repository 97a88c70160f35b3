// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/MessageCatalogue.h"
#include "platform/CodePage.h"

#include "framework/PrintQString.h"

#include <gtest/gtest.h>
#include <set>

using namespace framework;

// The error manager finds a message by its number: a number given twice would
// hide one of the messages.
TEST(MessageCatalogue, HoldsEveryNumberOnce)
{
    const auto entries = messageCatalogue();
    ASSERT_EQ(entries.size(), 56u);
    std::set<int> ids;
    for (const CatalogueEntry& e : entries)
        ids.insert(messageNumber(e.id));
    EXPECT_EQ(ids.size(), 56u);
    EXPECT_EQ(*ids.begin(), 1);
    EXPECT_EQ(*ids.rbegin(), 56);
}

TEST(MessageCatalogue, StoredFormRoundTripsAndFitsShortStrings)
{
    const std::string bytes = serializeCatalogue(messageCatalogue());
    ASSERT_GE(bytes.size(), 6u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 56);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0);
    // The first entry: id (little-endian), level, title as a short string.
    const CatalogueEntry& first = messageCatalogue()[0];
    const std::string firstTitle = platform::utf8ToCp1251(first.title);
    EXPECT_EQ(static_cast<unsigned char>(bytes[2]), messageNumber(first.id) & 0xFF);
    EXPECT_EQ(static_cast<unsigned char>(bytes[3]), messageNumber(first.id) >> 8);
    EXPECT_EQ(static_cast<unsigned char>(bytes[4]), first.level);
    EXPECT_EQ(static_cast<unsigned char>(bytes[5]), firstTitle.size());
    EXPECT_EQ(bytes.substr(6, firstTitle.size()), firstTitle);

    std::size_t expectedSize = 2;
    for (const CatalogueEntry& e : messageCatalogue()) {
        const std::string title = platform::utf8ToCp1251(e.title);
        const std::string text = platform::utf8ToCp1251(e.text);
        EXPECT_LE(title.size(), 255u) << messageNumber(e.id);
        EXPECT_LE(text.size(), 255u) << messageNumber(e.id);
        EXPECT_FALSE(text.empty()) << messageNumber(e.id); // every character has a Windows-1251 byte
        expectedSize += 3 + 1 + title.size() + 1 + text.size();
    }
    EXPECT_EQ(bytes.size(), expectedSize);

    const auto parsed = parseCatalogue(bytes);
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->size(), 56u);
    for (std::size_t i = 0; i < parsed->size(); ++i) {
        const CatalogueEntry& e = messageCatalogue()[i];
        EXPECT_EQ((*parsed)[i].id, messageNumber(e.id));
        EXPECT_EQ((*parsed)[i].level, e.level);
        EXPECT_EQ((*parsed)[i].title, e.title);
        EXPECT_EQ((*parsed)[i].text, e.text);
    }
}

TEST(MessageCatalogue, DamagedStoredFormIsRejected)
{
    const std::string bytes = serializeCatalogue(messageCatalogue());
    EXPECT_FALSE(parseCatalogue(bytes.substr(0, bytes.size() - 1)).has_value());
    EXPECT_FALSE(parseCatalogue(bytes + 'x').has_value());
    EXPECT_FALSE(parseCatalogue(std::string_view()).has_value());
    EXPECT_FALSE(parseCatalogue(std::string("\x01", 1)).has_value());
}

TEST(MessageCatalogue, OverlongStringsAreCutAtShortStringLength)
{
    const std::string longText(300, 'a');
    const CatalogueEntry entries[] = {{MessageId::RecordChangedElsewhere, 5, "t", longText}};
    const auto parsed = parseCatalogue(serializeCatalogue(entries));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ((*parsed)[0].text.size(), 255u);
}
