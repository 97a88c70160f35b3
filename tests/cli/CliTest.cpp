// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli as a user runs it: exit codes, the table descriptions, init, dump.
#include "CliRun.h"
#include "support/TestSupport.h"

#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/AllTables.h"
#include "store/tables/Place.h"
#include "store/tables/Vetis.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <map>

using namespace store;
using namespace clitest;

namespace {

TEST(CliTest, TablesJsonDescribesEveryDictionaryExactly)
{
    const CliResult r = cli({QStringLiteral("tables"), QStringLiteral("--json")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonArray tables = QJsonDocument::fromJson(r.out).array();
    ASSERT_EQ(static_cast<std::size_t>(tables.size()), allTables().size());
    const QStringList types{QStringLiteral("text"), QStringLiteral("ztext"), QStringLiteral("u8"),
                            QStringLiteral("i16"),  QStringLiteral("u16"),   QStringLiteral("i32"),
                            QStringLiteral("f64")};
    for (const QJsonValue& v : tables) {
        const QJsonObject t = v.toObject();
        const TableDef* def = tableByName(t[QStringLiteral("name")].toString().toStdString());
        ASSERT_NE(def, nullptr);
        EXPECT_EQ(t[QStringLiteral("file")].toString().toStdString(), def->fileName);
        EXPECT_EQ(t[QStringLiteral("prefix")].toString().toStdString(), def->prefix);
        const QJsonArray fields = t[QStringLiteral("fields")].toArray();
        ASSERT_EQ(static_cast<std::size_t>(fields.size()), def->fields.size());
        int bytes = 0;
        for (const QJsonValue& f : fields) {
            EXPECT_TRUE(types.contains(f[QStringLiteral("type")].toString()));
            bytes += f[QStringLiteral("size")].toInt();
        }
        EXPECT_EQ(bytes, static_cast<int>(def->recordLength)) << def->name;
    }
    const QJsonObject vsd = tables[0].toObject();
    EXPECT_EQ(vsd[QStringLiteral("name")].toString(), QStringLiteral("m_VSD"));
    const QJsonObject byDate = vsd[QStringLiteral("keys")].toArray()[1].toObject();
    EXPECT_EQ(byDate[QStringLiteral("name")].toString(), QStringLiteral("MVD:BYDATE2"));
    EXPECT_EQ(byDate[QStringLiteral("label")].toString(), QStringLiteral("По дате - входящие ВСД"));
    EXPECT_EQ(byDate[QStringLiteral("components")].toArray(),
              (QJsonArray{QStringLiteral("MVD:CONSIGNEEHS"), QStringLiteral("MVD:CONSIGNEEENT"),
                          QStringLiteral("MVD:DATE"), QStringLiteral("MVD:UUID")}));
    EXPECT_TRUE(byDate[QStringLiteral("unique")].toBool());
    EXPECT_FALSE(byDate[QStringLiteral("primary")].toBool());
}

TEST(CliTest, InitThenDumpShowsRowsAsUtf8)
{
    testsupport::TempFolder folder;
    const QString data = folder.path() + QStringLiteral("data");
    const CliResult init = cli({QStringLiteral("init"), QStringLiteral("--data"), data});
    ASSERT_EQ(init.exitCode, 0) << init.err.toStdString();
    for (const char* f : {"Base/mv01.dat", "Base/mv05.dat", "Base/mv08.dat", "lf.dat"})
        EXPECT_TRUE(QFile::exists(data + u'/' + QString::fromLatin1(f))) << f;

    {
        Session s(data);
        TypedTable<PlaceRecord> place(s, placeTable());
        ASSERT_EQ(place.open(), kOk);
        place.clear();
        setText(place.rec().ENTITY, "e1");
        setText(place.rec().ENTERPRISE, "p1");
        setZText(place.rec().STR40_01, "\xCF\xF0\xE8\xE2\xE5\xF2\tok"); // "Привет", a tab, "ok"
        place.rec().REAL_01 = 2.5;
        ASSERT_EQ(place.add(), kOk);
        TypedTable<VetisRecord> vetis(s, vetisTable());
        ASSERT_EQ(vetis.open(), kOk);
        vetis.clear();
        setText(vetis.rec().GUID, "e1");
        setZText(vetis.rec().LOGIN, "user");
        setZText(vetis.rec().PASSWORD, "secret-pass");
        ASSERT_EQ(vetis.add(), kOk);
    }
    const CliResult dump =
        cli({QStringLiteral("dump"), QStringLiteral("m_place"), QStringLiteral("--data"), data});
    ASSERT_EQ(dump.exitCode, 0) << dump.err.toStdString();
    const QStringList lines = dump.text().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("MPL:ENTITY\tMPL:ENTERPRISE\tMPL:MARK\t")));
    EXPECT_EQ(lines[1], QStringLiteral("e1\tp1\t0\tПривет\\tok\t\t\t0\t0\t0\t0\t0\t0\t0\t0\t2.5\t0"));

    const CliResult settings =
        cli({QStringLiteral("dump"), QStringLiteral("m_Vetis"), QStringLiteral("--data"), data});
    ASSERT_EQ(settings.exitCode, 0) << settings.err.toStdString();
    EXPECT_TRUE(settings.text().contains(QStringLiteral("e1\t0\tuser\t***\t")));
    EXPECT_FALSE(settings.text().contains(QStringLiteral("secret-pass")));
}

TEST(CliTest, FailuresAndUsageErrorsHaveTheirExitCodes)
{
    testsupport::TempFolder folder;
    EXPECT_EQ(cli({}).exitCode, 2);
    EXPECT_EQ(cli({QStringLiteral("nonsense")}).exitCode, 2);
    EXPECT_EQ(cli({QStringLiteral("tables"), QStringLiteral("--bogus")}).exitCode, 2);
    EXPECT_EQ(cli({QStringLiteral("dump"), QStringLiteral("m_VSD")}).exitCode, 2);
    EXPECT_EQ(
        cli({QStringLiteral("dump"), QStringLiteral("m_Nothing"), QStringLiteral("--data"), folder.path()})
            .exitCode,
        2);
    // No such file: dump reports it and creates nothing.
    const CliResult missing =
        cli({QStringLiteral("dump"), QStringLiteral("m_VSD"), QStringLiteral("--data"), folder.path()});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_FALSE(missing.err.isEmpty());
    EXPECT_FALSE(QFile::exists(folder.path() + QStringLiteral("Base/mv08.dat")));
    // A damaged file.
    ASSERT_TRUE(QDir().mkpath(folder.path() + QStringLiteral("Base")));
    QFile f(folder.path() + QStringLiteral("Base/mv05.dat"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    const CliResult damaged =
        cli({QStringLiteral("dump"), QStringLiteral("m_Place"), QStringLiteral("--data"), folder.path()});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_TRUE(damaged.err.contains(QStringLiteral("error 36"))) << damaged.err.toStdString();
}

// Every file under a folder with its bytes.
std::map<QString, QByteArray> snapshot(const QString& folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        files[path] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    return files;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

TEST(CliTest, DumpOnlyReadsTheDataFolder)
{
    testsupport::TempFolder folder;
    const QString data = folder.path() + QStringLiteral("data");
    ASSERT_EQ(cli({QStringLiteral("init"), QStringLiteral("--data"), data}).exitCode, 0);
    {
        Session s(data);
        TypedTable<PlaceRecord> place(s, placeTable());
        ASSERT_EQ(place.open(), kOk);
        place.clear();
        setText(place.rec().ENTITY, "e1");
        ASSERT_EQ(place.add(), kOk);
    }
    ASSERT_TRUE(QFile::remove(data + QStringLiteral("/Base/commit.db")));
    const auto before = snapshot(data);
    for (const TableDef* def : allTables()) {
        const CliResult r =
            cli({QStringLiteral("dump"), QString::fromUtf8(def->name), QStringLiteral("--data"), data});
        EXPECT_EQ(r.exitCode, 0) << def->name << ": " << r.err.toStdString();
    }
    // Not even the anchor of multi-file commits is made.
    EXPECT_EQ(snapshot(data), before);
}

TEST(CliTest, DumpAndInitReportTooShortFilesAsDamagedAndKeepThem)
{
    for (int size : {0, 1, 99}) {
        SCOPED_TRACE(size);
        testsupport::TempFolder folder;
        const QString data = folder.path() + QStringLiteral("data");
        ASSERT_EQ(cli({QStringLiteral("init"), QStringLiteral("--data"), data}).exitCode, 0);
        const QString settings = data + QStringLiteral("/Base/mv01.dat");
        const QByteArray bytes(size, '\x01');
        ASSERT_TRUE(writeFile(settings, bytes));
        const auto before = snapshot(data);

        const CliResult dump =
            cli({QStringLiteral("dump"), QStringLiteral("m_Vetis"), QStringLiteral("--data"), data});
        EXPECT_EQ(dump.exitCode, 1);
        EXPECT_TRUE(dump.err.contains(QStringLiteral("error 36 Поврежденный файл данных")))
            << dump.err.toStdString();
        EXPECT_TRUE(dump.out.isEmpty());
        EXPECT_EQ(snapshot(data), before);

        // A normal open (init opens every table for writing) does not make a
        // new empty table of it either.
        const CliResult init = cli({QStringLiteral("init"), QStringLiteral("--data"), data});
        EXPECT_EQ(init.exitCode, 1);
        EXPECT_TRUE(init.err.contains(QStringLiteral("mv01.dat"))) << init.err.toStdString();
        EXPECT_TRUE(init.err.contains(QStringLiteral("error 36"))) << init.err.toStdString();
        QFile f(settings);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), bytes);
    }
}

TEST(CliTest, DumpWritesRealsAsPlainDecimals)
{
    testsupport::TempFolder folder;
    const QString data = folder.path() + QStringLiteral("data");
    ASSERT_EQ(cli({QStringLiteral("init"), QStringLiteral("--data"), data}).exitCode, 0);
    {
        Session s(data);
        TypedTable<PlaceRecord> place(s, placeTable());
        ASSERT_EQ(place.open(), kOk);
        const std::pair<double, double> values[] = {{100000, 0.1}, {12.5, -3}, {1e21, 1.0 / 3}};
        int i = 0;
        for (const auto& [a, b] : values) {
            place.clear();
            setText(place.rec().ENTITY, "e" + std::to_string(i++));
            place.rec().REAL_01 = a;
            place.rec().REAL_02 = b;
            ASSERT_EQ(place.add(), kOk);
        }
    }
    const CliResult r =
        cli({QStringLiteral("dump"), QStringLiteral("m_Place"), QStringLiteral("--data"), data});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    QStringList reals;
    for (const QString& line : r.text().split(u'\n', Qt::SkipEmptyParts).mid(1))
        reals << line.section(u'\t', -2);
    EXPECT_EQ(reals, (QStringList{QStringLiteral("100000\t0.1"), QStringLiteral("12.5\t-3"),
                                  QStringLiteral("1000000000000000000000\t0.3333333333333333")}));
}

TEST(CliTest, SettingsOfAnEntityWhoseStoredRecordIsDamagedSayItIsDamaged)
{
    testsupport::TempFolder folder;
    const QString data = folder.path() + QStringLiteral("data");
    ASSERT_EQ(cli({QStringLiteral("init"), QStringLiteral("--data"), data}).exitCode, 0);
    const QString guid = QStringLiteral("9a1b2c3d-4e5f-4071-8899-aabbccddeeff");
    const QStringList args{
        QStringLiteral("settings"), QStringLiteral("--data"), data, QStringLiteral("--guid"), guid,
        QStringLiteral("--login"),  QStringLiteral("clerk")};
    ASSERT_EQ(cli(args).exitCode, 0);
    ASSERT_EQ(cli(QStringList(args) << QStringLiteral("--remark") << QStringLiteral("x")).exitCode, 0);
    // The sealed record overwritten with zeros.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((data + QStringLiteral("/Base/mv01.dat")).toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(db, "UPDATE records SET sealed = zeroblob(length(sealed))", nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);

    const auto before = snapshot(data);

    // Changing a value and only showing alike: the record is not taken for
    // missing, and nothing is written.
    for (const QStringList& run :
         {args, QStringList{QStringLiteral("settings"), QStringLiteral("--data"), data,
                            QStringLiteral("--guid"), guid, QStringLiteral("--show")}}) {
        const CliResult r = cli(run);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("cannot be read"))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("error 36"))) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QStringLiteral("UNIQUE"))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_EQ(snapshot(data), before);
    }
}

TEST(CliTest, SettingsShowOnlyReads)
{
    testsupport::TempFolder folder;
    const QString data = folder.path() + QStringLiteral("data");
    ASSERT_EQ(cli({QStringLiteral("init"), QStringLiteral("--data"), data}).exitCode, 0);
    const QString guid = QStringLiteral("9a1b2c3d-4e5f-4071-8899-aabbccddeeff");
    const QStringList show{
        QStringLiteral("settings"), QStringLiteral("--data"), data, QStringLiteral("--guid"), guid,
        QStringLiteral("--show")};

    // An entity without settings is reported, not given a record.
    auto before = snapshot(data);
    CliResult r = cli(show);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("no settings are stored"))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(snapshot(data), before);

    ASSERT_EQ(cli({QStringLiteral("settings"), QStringLiteral("--data"), data, QStringLiteral("--guid"), guid,
                   QStringLiteral("--login"), QStringLiteral("clerk"), QStringLiteral("--password"),
                   QStringLiteral("pw")})
                  .exitCode,
              0);
    ASSERT_TRUE(QFile::remove(data + QStringLiteral("/Base/commit.db")));
    before = snapshot(data);
    r = cli(show);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.text().contains(QStringLiteral("MVS:LOGIN\tclerk\n"))) << r.out.toStdString();
    EXPECT_TRUE(r.text().contains(QStringLiteral("MVS:PASSWORD\t***\n"))) << r.out.toStdString();
    // Not even the anchor of multi-file commits is made.
    EXPECT_EQ(snapshot(data), before);

    // Without the settings file: reported, not created.
    ASSERT_TRUE(QFile::remove(data + QStringLiteral("/Base/mv01.dat")));
    r = cli(show);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("mv01.dat"))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(data + QStringLiteral("/Base/mv01.dat")));
}

} // namespace
