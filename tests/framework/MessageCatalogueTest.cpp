// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/MessageCatalogue.h"
#include "platform/CodePage.h"

#include "framework/PrintQString.h"

#include <gtest/gtest.h>
#include <set>

using namespace framework;

namespace {
const CatalogueEntry* find(int id)
{
    for (const CatalogueEntry& e : messageCatalogue())
        if (e.id == id)
            return &e;
    return nullptr;
}
} // namespace

TEST(MessageCatalogue, HoldsEveryNumberOnceInStoredOrder)
{
    const auto entries = messageCatalogue();
    ASSERT_EQ(entries.size(), 56u);
    std::set<int> ids;
    for (const CatalogueEntry& e : entries)
        ids.insert(e.id);
    EXPECT_EQ(ids.size(), 56u);
    EXPECT_EQ(*ids.begin(), 1);
    EXPECT_EQ(*ids.rbegin(), 56);

    EXPECT_EQ(entries[0].id, 33);
    EXPECT_EQ(entries[1].id, 32);
    EXPECT_EQ(entries[51].id, 56);
    // The four texts with line breaks stand last.
    EXPECT_EQ(entries[52].id, 9);
    EXPECT_EQ(entries[53].id, 26);
    EXPECT_EQ(entries[54].id, 16);
    EXPECT_EQ(entries[55].id, 17);
}

TEST(MessageCatalogue, KeepsTextsExactlyWithTheirBlanks)
{
    EXPECT_EQ(find(48)->text, "Произошла ошибка SMTP: %Message ");
    EXPECT_EQ(find(49)->text, "%Message ");
    EXPECT_EQ(find(50)->text, "%Message ");
    EXPECT_EQ(find(1)->text,
              "Ошибка: (%ErrorText) возникла при доступе к файлу %File.  Возвращаемся к предыдущему окну.");
    EXPECT_EQ(find(6)->text, "Файл %File не может быть закрыт.  Ошибка: %ErrorText.");
    EXPECT_EQ(find(23)->text, "Ошибка загрузки файла %File.  Ошибка: %ErrorText.");
    EXPECT_EQ(find(29)->text, "Файл %File не может быть открыт.  Ошибка: %ErrorText.");
    EXPECT_EQ(find(9)->text,
              "Запись изменена или удалена с другого компьютера.|Ошибка: (%ErrorText)  Попытка доступа к "
              "записи файла %File.");
    EXPECT_EQ(find(26)->text, "Повреждена структура файла %File.|Ошибка: %ErrorCode - %Error|FileError: "
                              "%FileErrorCode - %FileError|");
    EXPECT_EQ(find(43)->title, "Ошибка \"Конец Файла\"");
    EXPECT_EQ(find(56)->title, "Ошибка Генератора Отчётов");
    EXPECT_EQ(find(11)->level, 1);
    EXPECT_EQ(find(29)->level, 3);
    EXPECT_EQ(find(45)->level, 2);
    EXPECT_EQ(find(7)->level, 5);
}

TEST(MessageCatalogue, StoredFormRoundTripsAndFitsShortStrings)
{
    const std::string bytes = serializeCatalogue(messageCatalogue());
    ASSERT_GE(bytes.size(), 5u);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 56);
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), 0);
    // First entry: id 33, level 5, "Неверный ключ" in 13 single bytes.
    EXPECT_EQ(static_cast<unsigned char>(bytes[2]), 33);
    EXPECT_EQ(static_cast<unsigned char>(bytes[3]), 0);
    EXPECT_EQ(static_cast<unsigned char>(bytes[4]), 5);
    EXPECT_EQ(static_cast<unsigned char>(bytes[5]), 13);
    EXPECT_EQ(bytes.substr(6, 13), platform::utf8ToCp1251("Неверный ключ"));

    std::size_t expectedSize = 2;
    for (const CatalogueEntry& e : messageCatalogue()) {
        const std::string title = platform::utf8ToCp1251(e.title);
        const std::string text = platform::utf8ToCp1251(e.text);
        EXPECT_LE(title.size(), 255u) << e.id;
        EXPECT_LE(text.size(), 255u) << e.id;
        EXPECT_FALSE(text.empty()) << e.id; // every character has a Windows-1251 byte
        expectedSize += 3 + 1 + title.size() + 1 + text.size();
    }
    EXPECT_EQ(bytes.size(), expectedSize);

    const auto parsed = parseCatalogue(bytes);
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->size(), 56u);
    for (std::size_t i = 0; i < parsed->size(); ++i) {
        const CatalogueEntry& e = messageCatalogue()[i];
        EXPECT_EQ((*parsed)[i].id, e.id);
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
    const CatalogueEntry entries[] = {{7, 5, "t", longText}};
    const auto parsed = parseCatalogue(serializeCatalogue(entries));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ((*parsed)[0].text.size(), 255u);
}
