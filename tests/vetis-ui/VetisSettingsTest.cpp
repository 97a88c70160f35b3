// SPDX-License-Identifier: LicenseRef-Kestrom
// Rules of the access settings shared by the window, the exchange and the list.
#include "vetis/VetisSettings.h"
#include "platform/CodePage.h"
#include "store/RecordText.h"

#include <QDir>
#include <gtest/gtest.h>

#include "support/TestSupport.h"

using namespace vetis;

TEST(VetisSettings, ScaleGivesFontSizeAndPercentage)
{
    struct Case
    {
        int value, points, percent;
    };
    const Case cases[] = {{1, 8, 70},
                          {2, 9, 85},
                          {3, 10, 90},
                          {0, 11, 100},
                          {4, 12, 110},
                          {5, 13, 115},
                          {6, 14, 130},
                          {7, 15, 140},
                          {8, 16, 150},
                          // Anything outside the range is the default 100 %.
                          {9, 11, 100},
                          {255, 11, 100},
                          {-1, 11, 100}};
    for (const Case& c : cases) {
        EXPECT_EQ(scaleFontSize(c.value), c.points) << c.value;
        EXPECT_EQ(scalePercent(c.value), c.percent) << c.value;
    }
    EXPECT_EQ(normalizedScale(8), 8);
    EXPECT_EQ(normalizedScale(9), 0);
}

TEST(VetisSettings, DumpFolderIsTrimmedAndEndsWithOneSeparator)
{
    const QString sep = QDir::separator();
    EXPECT_EQ(normalizedDumpFolder(QStringLiteral("   /data/xml  ")), QStringLiteral("/data/xml") + sep);
    // Saving again must not grow the value.
    const QString once = normalizedDumpFolder(QStringLiteral("/data/xml"));
    EXPECT_EQ(normalizedDumpFolder(once), once);
    EXPECT_EQ(normalizedDumpFolder(QStringLiteral("/data/xml/")), QStringLiteral("/data/xml/"));
    EXPECT_EQ(normalizedDumpFolder(QStringLiteral("    ")), QString());
    EXPECT_EQ(normalizedDumpFolder(QString()), QString());
    EXPECT_EQ(normalizedDumpFolder(QStringLiteral(" /папка ")), QStringLiteral("/папка") + sep);
}

TEST(VetisSettings, FolderDialogStartsInExistingFolderElseRoot)
{
    testsupport::TempFolder temp;
    EXPECT_EQ(dumpFolderDialogStart(temp.path()), temp.path());
    const QString root = QDir::toNativeSeparators(QDir::rootPath());
    EXPECT_EQ(dumpFolderDialogStart(temp.file(QStringLiteral("missing"))), root);
    EXPECT_EQ(dumpFolderDialogStart(QString()), root);
#ifndef Q_OS_WIN
    EXPECT_EQ(root, QStringLiteral("/"));
#endif
}

TEST(VetisSettings, TlsIsVerifiedUnlessTheUserTurnedItOff)
{
    store::VetisRecord r = clearedVetisRecord();
    // A record that never had the choice verifies, with the system store only.
    TlsSettings tls = tlsSettingsOf(r);
    EXPECT_TRUE(tls.verify);
    EXPECT_TRUE(tls.caBundleFile.isEmpty());

    setTlsSettings(r, TlsSettings{false, QStringLiteral(" /etc/ssl/Минсельхоз.pem ")});
    EXPECT_EQ(+r.BYTE_03, 1);
    EXPECT_EQ(store::ztextOf(r.STR250_01), platform::utf8ToCp1251("/etc/ssl/Минсельхоз.pem"));
    tls = tlsSettingsOf(r);
    EXPECT_FALSE(tls.verify);
    EXPECT_EQ(tls.caBundleFile, QStringLiteral("/etc/ssl/Минсельхоз.pem"));

    setTlsSettings(r, TlsSettings{true, QString()});
    EXPECT_EQ(+r.BYTE_03, 0);
    EXPECT_TRUE(tlsSettingsOf(r).verify);
    // Only 1 turns verification off; other values of the reserve byte do not.
    r.BYTE_03 = 2;
    EXPECT_TRUE(tlsSettingsOf(r).verify);
}

TEST(VetisSettings, ClearedRecordHasBlankTextsAndZeroNumbers)
{
    const store::VetisRecord r = clearedVetisRecord();
    EXPECT_EQ(std::string_view(r.GUID, sizeof r.GUID), std::string(36, ' '));
    EXPECT_EQ(std::string_view(r.GUID3, sizeof r.GUID3), std::string(36, ' '));
    EXPECT_EQ(store::ztextOf(r.LOGIN), "");
    EXPECT_EQ(+r.CDATE, 0);
    EXPECT_EQ(+r.PERIOD, 0);
    EXPECT_EQ(+r.REAL_02, 0.0);
}
