// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli xml-export and xml-import: every table goes out and comes back
// exactly, and a wrong file is refused whole.
#include "CliRun.h"
#include "support/TestSupport.h"

#include "store/FieldAccess.h"
#include "store/Session.h"
#include "store/Table.h"
#include "store/tables/AllTables.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace store;
using namespace clitest;

namespace {

bool onDisk(const TableDef& t)
{
    return t.storage != Storage::SharedMemory && t.storage != Storage::ThreadMemory;
}

// Raw Windows-1251 bytes of every kind a text may hold: Cyrillic, markup
// characters, control characters, leading and inner blanks.
void fillRecord(const TableDef& t, char* rec, int seed)
{
    clearRecordOf(t, rec);
    for (std::size_t i = 0; i < t.fields.size(); ++i) {
        const FieldDef& f = t.fields[i];
        char* p = rec + f.offset;
        const int v = seed * 31 + static_cast<int>(i);
        std::string text = std::to_string(seed) + "\xB8\xC6\xFF & <a> \"q\"\t\r\n;";
        if (seed == 2)
            text = "  " + text; // leading blanks
        if (seed == 3)          // bytes XML cannot carry
            text = "\x01" + text + "\x1F";
        switch (f.type) {
        case FieldType::Text:
            if (seed == 3)
                text.insert(2, 1, '\0'); // a zero byte inside the text
            std::memcpy(p, text.data(), std::min<std::size_t>(text.size(), f.size));
            break;
        case FieldType::ZText:
            std::memcpy(p, text.data(), std::min<std::size_t>(text.size(), f.size - 1u));
            break;
        case FieldType::U8: {
            const auto x = static_cast<std::uint8_t>(v % 256);
            std::memcpy(p, &x, 1);
            break;
        }
        case FieldType::I16: {
            const auto x = static_cast<std::int16_t>(-v * 100);
            std::memcpy(p, &x, 2);
            break;
        }
        case FieldType::U16: {
            const auto x = static_cast<std::uint16_t>(60000 + v);
            std::memcpy(p, &x, 2);
            break;
        }
        case FieldType::I32: {
            const std::int32_t x = -2000000000 + v;
            std::memcpy(p, &x, 4);
            break;
        }
        case FieldType::F64: {
            const double x = -12.5 * v + 0.1;
            std::memcpy(p, &x, 8);
            break;
        }
        }
    }
}

// Every record of a table, in the order of its first key.
std::vector<std::string> recordsOf(const QString& data, const TableDef& t)
{
    std::vector<std::string> rows;
    Session s(data);
    Table table(s, t);
    EXPECT_EQ(table.open(), kOk);
    EXPECT_EQ(table.set(t.keys.front(), 0), kOk);
    while (table.next() == kOk)
        rows.emplace_back(table.data(), t.recordLength);
    std::sort(rows.begin(), rows.end()); // the sealed table walks in an order of its own
    return rows;
}

CliResult exportTable(const TableDef& t, const QString& data)
{
    return cli({QStringLiteral("xml-export"),
                QString::fromUtf8(t.name.data(), static_cast<qsizetype>(t.name.size())),
                QStringLiteral("--data"), data, QStringLiteral("--reveal")});
}

CliResult importFile(const QString& table, const QString& file, const QString& data)
{
    return cli({QStringLiteral("xml-import"), table, file, QStringLiteral("--data"), data});
}

// What a reader other than ours thinks of the file: empty when it is one
// well-formed document, else its complaint. Skipped without python3.
QString readByExpat(const QString& path)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        return {};
    QProcess p;
    p.start(python, {QStringLiteral("-c"),
                     QStringLiteral("import sys, xml.etree.ElementTree as E\n"
                                    "E.parse(sys.argv[1])"),
                     path});
    if (!p.waitForFinished(30000))
        return QStringLiteral("python3 did not finish");
    return p.exitCode() == 0 ? QString() : QString::fromUtf8(p.readAllStandardError());
}

void writeXmlFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(CliXmlTest, EveryTableGoesOutAndComesBackExactly)
{
    testsupport::TempFolder tmp;
    const QString first = tmp.file(QStringLiteral("first"));
    const QString second = tmp.file(QStringLiteral("second"));
    ASSERT_TRUE(QDir().mkpath(first + QStringLiteral("/Base")));
    {
        Session s(first);
        for (const TableDef* t : allTables()) {
            if (!onDisk(*t))
                continue;
            Table table(s, *t);
            ASSERT_EQ(table.open(), kOk) << t->name;
            for (int seed = 1; seed <= 3; ++seed) {
                fillRecord(*t, table.data(), seed);
                ASSERT_EQ(table.add(), kOk) << t->name;
            }
        }
    }
    int tables = 0;
    for (const TableDef* t : allTables()) {
        if (!onDisk(*t))
            continue;
        ++tables;
        const QString name = QString::fromUtf8(t->name.data(), static_cast<qsizetype>(t->name.size()));
        const CliResult out1 = exportTable(*t, first);
        ASSERT_EQ(out1.exitCode, 0) << t->name << out1.err.toStdString();
        EXPECT_EQ(out1.out.count("<record>"), 3) << t->name;
        const QString file = tmp.file(name + QStringLiteral(".xml"));
        writeXmlFile(file, out1.out);
        EXPECT_EQ(readByExpat(file), QString()) << t->name;

        const CliResult in = importFile(name, file, second);
        ASSERT_EQ(in.exitCode, 0) << t->name << in.err.toStdString();
        const CliResult out2 = exportTable(*t, second);
        ASSERT_EQ(out2.exitCode, 0) << t->name << out2.err.toStdString();
        EXPECT_TRUE(out1.out == out2.out) << t->name;
        EXPECT_TRUE(recordsOf(first, *t) == recordsOf(second, *t)) << t->name;
    }
    EXPECT_EQ(tables, 9);

    // Texts are UTF-8 with the markup characters escaped; numbers plain.
    const CliResult place = exportTable(*tableByName("m_Place"), first);
    EXPECT_TRUE(
        place.text().contains(QStringLiteral("<ENTITY>1ёЖя &amp; &lt;a&gt; \"q\"&#9;&#13;&#10;;</ENTITY>")))
        << place.out.left(400).toStdString();
    EXPECT_TRUE(place.text().contains(QStringLiteral("<ENTITY>&#32; 2ёЖя")));
    EXPECT_TRUE(place.text().contains(QStringLiteral("<REAL_01>-")));
    // A text with bytes XML cannot carry goes as the hexadecimal of its bytes.
    EXPECT_TRUE(place.text().contains(QStringLiteral("<ENTITY bytes=\"hex\">013300B8C6FF")))
        << place.out.toStdString();
}

TEST(CliXmlTest, SecretsAndMemoryTablesAreNotExportedByDefault)
{
    testsupport::TempFolder tmp;
    const QString data = tmp.path();
    const CliResult vetis =
        cli({QStringLiteral("xml-export"), QStringLiteral("m_Vetis"), QStringLiteral("--data"), data});
    EXPECT_EQ(vetis.exitCode, 1);
    EXPECT_TRUE(vetis.err.contains(QStringLiteral("--reveal")));
    const CliResult memory =
        cli({QStringLiteral("xml-export"), QStringLiteral("BrwMem"), QStringLiteral("--data"), data});
    EXPECT_EQ(memory.exitCode, 1);
    EXPECT_TRUE(memory.err.contains(QStringLiteral("memory")));
}

TEST(CliXmlTest, AWrongFileIsRefusedWholeWithWhatWasWrong)
{
    testsupport::TempFolder tmp;
    const QString data = tmp.file(QStringLiteral("data"));
    const QString file = tmp.file(QStringLiteral("in.xml"));
    const QByteArray head = "<?xml version=\"1.0\"?><table name=\"m_Refs\" version=\"1\">";
    const QByteArray good = "<record><VID>3</VID><GUID>g1</GUID><NAME>Один</NAME></record>";
    struct Case
    {
        QByteArray xml;
        const char* says;
    };
    const std::vector<Case> cases{
        {head + good, "not well-formed XML"},
        {"<table name=\"m_Place\" version=\"1\"></table>", "m_Place"},
        {"<table name=\"m_Refs\" version=\"99\"></table>", "version \"99\""},
        {"<rows/>", "not <table>"},
        {"<!DOCTYPE t [<!ENTITY x \"y\">]><table name=\"m_Refs\" version=\"1\"/>", "document type"},
        {head + good + "<row/></table>", "record 2: <row> is not <record>"},
        {head + good + "<record><WEIGHT>1</WEIGHT></record></table>",
         "record 2: m_Refs has no field \"WEIGHT\""},
        {head + "<record><VID>1</VID><VID>2</VID></record></table>", "MRE:VID is given twice"},
        {head + good + "<record><VID>300</VID></record></table>",
         "record 2, MRE:VID: \"300\" is not a value of type u8"},
        {head + "<record><CDATE>12x</CDATE></record></table>", "\"12x\" is not a value of type i32"},
        {head + "<record><GUID>" + QByteArray(37, 'a') + "</GUID></record></table>",
         "longer than the field's 36 bytes"},
        {head + "<record><NAME>日本</NAME></record></table>", "is not Windows-1251 text"},
        {head + "<record><NAME>a<b/>c</NAME></record></table>", "holds markup"},
        {head + good + "stray</table>", "text outside a record"},
        {head + "<record><NAME bytes=\"hex\">0G</NAME></record></table>", "is not the hexadecimal of a text"},
        {head + "<record><NAME bytes=\"hex\">012</NAME></record></table>",
         "is not the hexadecimal of a text"},
        {head + "<record><VID bytes=\"hex\">01</VID></record></table>", "is not the hexadecimal of a text"},
        {head + "<record><NAME bytes=\"base64\">AQ==</NAME></record></table>", "is not known"},
        {head + "<record><GUID bytes=\"hex\">" + QByteArray(74, '1') + "</GUID></record></table>",
         "longer than the field's 36 bytes"},
        {head + "<record><PARENT bytes=\"hex\">410042</PARENT></record></table>", "longer than the field's"},
        // Both records are fine alone; the second repeats the first's unique key,
        // so the store refuses it inside the transaction and the first goes too.
        {head + good + good + "</table>", "record 2: m_Refs"},
    };
    for (const Case& c : cases) {
        writeXmlFile(file, c.xml);
        const CliResult r = importFile(QStringLiteral("m_Refs"), file, data);
        EXPECT_EQ(r.exitCode, 1) << c.says;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says))) << c.says << " / " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("nothing was imported"))) << r.err.toStdString();
        if (QFile::exists(data + QStringLiteral("/Base/mv07.dat"))) {
            EXPECT_TRUE(recordsOf(data, *tableByName("m_Refs")).empty()) << c.says;
        }
    }

    // The same record alone goes in; fields left out are blank.
    writeXmlFile(file, head + good + "</table>");
    const CliResult r = importFile(QStringLiteral("m_Refs"), file, data);
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const std::vector<std::string> rows = recordsOf(data, *tableByName("m_Refs"));
    ASSERT_EQ(rows.size(), 1u);
    const CliResult back = exportTable(*tableByName("m_Refs"), data);
    EXPECT_TRUE(back.text().contains(QStringLiteral("<VID>3</VID><GUID>g1</GUID>")))
        << back.out.toStdString();
    EXPECT_TRUE(back.text().contains(QStringLiteral("<NAME>Один</NAME>")));
    EXPECT_TRUE(back.text().contains(QStringLiteral("<PARENT></PARENT>")));
}

} // namespace
