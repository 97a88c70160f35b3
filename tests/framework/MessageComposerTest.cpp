// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/MessageComposer.h"
#include "framework/StorageErrorTexts.h"
#include "platform/CodePage.h"

#include "framework/PrintQString.h"

#include <gtest/gtest.h>

using namespace framework;

TEST(MessageComposer, TextWithoutPlaceholdersStaysAndEmptyValuesVanish)
{
    PlaceholderValues v;
    EXPECT_EQ(composeMessage(QStringLiteral("Нет записей доступных процессу."), v),
              QStringLiteral("Нет записей доступных процессу."));
    EXPECT_EQ(composeMessage(QStringLiteral("Файл %File - ключ"), v), QStringLiteral("Файл  - ключ"));
    EXPECT_EQ(composeMessage(QStringLiteral("100 %"), v), QStringLiteral("100 %"));
}

TEST(MessageComposer, LongerPlaceholdersWinAndEveryOccurrenceIsReplaced)
{
    PlaceholderValues v;
    v.errorFile = QStringLiteral("EF");
    v.fileErrorCode = QStringLiteral("FEC");
    v.fileError = QStringLiteral("FE");
    v.file = QStringLiteral("F");
    v.errorCode = QStringLiteral("EC");
    v.errorText = QStringLiteral("ET");
    v.error = QStringLiteral("E");
    v.message = QStringLiteral("M");
    v.key = QStringLiteral("K");
    v.field = QStringLiteral("FL");
    v.procedure = QStringLiteral("P");
    v.category = QStringLiteral("QFX");
    v.previous = QStringLiteral("PR");
    EXPECT_EQ(
        composeMessage(QStringLiteral("%ErrorFile|%FileErrorCode|%FileError|%File|%Key|%ErrorCode|%ErrorText|"
                                      "%Error|%Message|%Field|%Procedure|%Category|%Previous"),
                       v),
        QStringLiteral("EF|FEC|FE|F|K|EC|ET|E|M|FL|P|QFX|PR"));
    EXPECT_EQ(composeMessage(QStringLiteral("%File и %File, %File."), v), QStringLiteral("F и F, F."));
}

TEST(MessageComposer, InsertedValuesAreTakenLiterally)
{
    PlaceholderValues v;
    v.file = QStringLiteral("%Message%File");
    v.message = QStringLiteral("boom");
    EXPECT_EQ(composeMessage(QStringLiteral("%File / %Message"), v), QStringLiteral("%Message%File / boom"));
}

TEST(MessageComposer, ResultIsCutToTheWorkingBuffer)
{
    PlaceholderValues v;
    v.message = QString(1500, u'Ж');
    const QString out = composeMessage(QStringLiteral("%Message %Message"), v);
    EXPECT_EQ(out.size(), kComposeBufferBytes - 1);
    EXPECT_EQ(platform::toCp1251(out).size(), static_cast<std::size_t>(kComposeBufferBytes - 1));
    EXPECT_TRUE(out.startsWith(QString(1500, u'Ж') + u' '));
}

TEST(MessageComposer, ErrorTextUsesTheDriverForItsOwnFailures)
{
    for (int code : {90, 100, 47})
        EXPECT_EQ(errorTextFor(code, QStringLiteral("runtime"), 19, QStringLiteral("constraint failed")),
                  QStringLiteral("constraint failed (19)"))
            << code;
    EXPECT_EQ(errorTextFor(35, QStringLiteral("Запись не найдена"), 19, QStringLiteral("constraint failed")),
              QStringLiteral("Запись не найдена (35)"));
}

TEST(StorageErrorTexts, InstalledTextsReplaceTheGenericOne)
{
    uninstallStorageErrorTexts();
    const QString generic = storageErrorText(40);
    EXPECT_FALSE(generic.isEmpty());
    EXPECT_EQ(storageErrorText(2), generic);

    installStorageErrorTexts();
    EXPECT_NE(storageErrorText(2), generic);
    EXPECT_NE(storageErrorText(40), generic);
    EXPECT_NE(storageErrorText(2), storageErrorText(40));
    EXPECT_EQ(storageErrorText(6), generic);   // not in the table
    EXPECT_EQ(storageErrorText(0), QString()); // no error
}
