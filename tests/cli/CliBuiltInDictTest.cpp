// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli builtin-dict: the dictionaries the program carries, from the command line.
#include "CliRun.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace clitest;

namespace {

int refsRowsOfKind(const QString& data, const QString& kind)
{
    const CliResult dump =
        cli({QStringLiteral("dump"), QStringLiteral("m_Refs"), QStringLiteral("--data"), data});
    EXPECT_EQ(dump.exitCode, 0) << dump.err.toStdString();
    int rows = 0;
    for (const QString& line : dump.text().split(u'\n'))
        rows += line.startsWith(kind + u'\t');
    return rows;
}

TEST(CliBuiltInDict, RewritesEitherDictionaryAndSaysHowManyEntries)
{
    testsupport::TempFolder folder;
    const QString data = folder.path() + QStringLiteral("data");
    // Without a data folder nothing is created.
    CliResult r = cli(
        {QStringLiteral("builtin-dict"), QStringLiteral("package-types"), QStringLiteral("--data"), data});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFile::exists(data));

    ASSERT_EQ(cli({QStringLiteral("init"), QStringLiteral("--data"), data}).exitCode, 0);
    for (int round = 0; round < 2; ++round) {
        r = cli({QStringLiteral("builtin-dict"), QStringLiteral("package-types"), QStringLiteral("--data"),
                 data});
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.text(), QStringLiteral("Успешно загружено записей в справочник видов упаковки: 364\n"));
    }
    r = cli(
        {QStringLiteral("builtin-dict"), QStringLiteral("product-types"), QStringLiteral("--data"), data});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.text(), QStringLiteral("Успешно загружено записей в справочник типов продукции: 8\n"));
    EXPECT_EQ(refsRowsOfKind(data, QStringLiteral("14")), 364);
    EXPECT_EQ(refsRowsOfKind(data, QStringLiteral("11")), 8);

    r = cli({QStringLiteral("builtin-dict"), QStringLiteral("units"), QStringLiteral("--data"), data});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.isEmpty());
}

} // namespace
