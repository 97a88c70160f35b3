// SPDX-License-Identifier: LicenseRef-Kestrom
// zanvo-cli's VetIS commands: envelope, walk and settings, run as a user runs them.
#include "CliRun.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace clitest;

TEST(CliVetis, EnvelopePrintsExactlyWhatWouldBePosted)
{
    const QByteArray request = R"({"VREQUEST": 3, "GUID": "21ed96c9-337b-4a27-8761-c6e6ad3c9f5b"})";
    const CliResult byGuid = cli({QStringLiteral("envelope"), QStringLiteral("-")}, request);
    ASSERT_EQ(byGuid.exitCode, 0) << byGuid.err.toStdString();
    EXPECT_EQ(byGuid.out.toStdString(),
              "<soapenv:Envelope xmlns:soapenv=\"http://schemas.xmlsoap.org/soap/envelope/\" "
              "xmlns:ws=\"http://api.vetrf.ru/schema/cdm/registry/ws-definitions/v2\" "
              "xmlns:bs=\"http://api.vetrf.ru/schema/cdm/base\"><soapenv:Header/><soapenv:Body>"
              "<ws:getUnitByGuidRequest><bs:guid>21ed96c9-337b-4a27-8761-c6e6ad3c9f5b</bs:guid>"
              "</ws:getUnitByGuidRequest></soapenv:Body></soapenv:Envelope>");

    // An application takes the settings, the given stamp and Cyrillic texts as UTF-8.
    const QByteArray list =
        R"({"VREQUEST": 51, "COUNT": 1000, "OFFSET": 2000, "P2": "88718c96-6f3d-48f7-b4b1-b64633be40f5",
        "P3": "INCOMING", "LTID": "Zanvs_42", "ISSUEDATE": "2024-04-25T10:00:00",
        "settings": {"MVS:GUID": "400cb70f-964e-43c0-b4a3-165de1ab3e01", "MVS:APIKEY": "key-1", "MVS:WEBLOGIN": "Иванов"}})";
    const CliResult app = cli({QStringLiteral("envelope"), QStringLiteral("-")}, list);
    ASSERT_EQ(app.exitCode, 0) << app.err.toStdString();
    const std::string text = app.out.toStdString();
    EXPECT_NE(text.find("<apldef:apiKey>key-1</apldef:apiKey>\r\n"), std::string::npos);
    EXPECT_NE(text.find("<apl:issueDate>2024-04-25T10:00:00</apl:issueDate>\r\n"), std::string::npos);
    EXPECT_NE(text.find("<merc:localTransactionId>Zanvs_42</merc:localTransactionId>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("<vd:login>Иванов</vd:login>"), std::string::npos);
    EXPECT_NE(text.find("<bs:offset>2000</bs:offset>"), std::string::npos);
}

TEST(CliVetis, EnvelopeRefusesWhatItCannotBuild)
{
    const CliResult unknown = cli({QStringLiteral("envelope"), QStringLiteral("-")}, R"({"VREQUEST": 77})");
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("unknown operation code 77")));
    const CliResult noVsd = cli({QStringLiteral("envelope"), QStringLiteral("-")}, R"({"VREQUEST": 55})");
    EXPECT_EQ(noVsd.exitCode, 1);
    const CliResult badField = cli({QStringLiteral("envelope"), QStringLiteral("-")},
                                   R"({"VREQUEST": 55, "vsd": {"MVD:NOSUCH": 1}})");
    EXPECT_EQ(badField.exitCode, 1);
    EXPECT_TRUE(badField.err.contains(QStringLiteral("MVD:NOSUCH")));
    const CliResult notJson = cli({QStringLiteral("envelope"), QStringLiteral("-")}, "not json");
    EXPECT_EQ(notJson.exitCode, 1);
    // Values the request record cannot hold as given, and parts of the wrong
    // kind, are refused rather than turned into another request.
    for (const QByteArray& request : {
             QByteArray(R"({"VREQUEST": 259, "GUID": "21ed96c9-337b-4a27-8761-c6e6ad3c9f5b"})"),
             QByteArray(R"({"VREQUEST": 3.5})"),
             QByteArray(R"({"VREQUEST": 51, "COUNT": 4294967297})"),
             QByteArray(R"({"VREQUEST": 51, "COUNT": 1e300})"),
             QByteArray(R"({"VREQUEST": 51, "settings": "x"})"),
             QByteArray(R"({"VREQUEST": 55, "vsd": [1]})"),
             QByteArray(R"({"VREQUEST": 55, "vsd": {}, "inside": {"MIN:UUID": "x"}})"),
             QByteArray(R"({"VREQUEST": 55, "vsd": {}, "inside": [7]})"),
             QByteArray(R"({"VREQUEST": 55, "vsd": {"MVD:DATE": 1e300}})"),
         }) {
        const CliResult refused = cli({QStringLiteral("envelope"), QStringLiteral("-")}, request);
        EXPECT_EQ(refused.exitCode, 1) << request.toStdString();
        EXPECT_TRUE(refused.out.isEmpty()) << request.toStdString();
    }
}

TEST(CliVetis, OutputThatCannotBeWrittenIsAFailure)
{
    // A full disk: the envelope cannot be written, and the tool says so.
    QProcess p;
    p.setStandardOutputFile(QStringLiteral("/dev/full"));
    p.start(QCoreApplication::applicationDirPath() + QStringLiteral("/zanvo-cli"),
            {QStringLiteral("envelope"), QStringLiteral("-")});
    p.write(R"({"VREQUEST": 3, "GUID": "21ed96c9-337b-4a27-8761-c6e6ad3c9f5b"})");
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("cannot write")));
}

TEST(CliVetis, WalkPrintsPagingAndEveryList)
{
    const QString sample =
        testsupport::sharedFolder() +
        QStringLiteral(
            "vetis-samples/ams-03-receiveApplicationResult-getVetDocumentList-prefixed.constructed.xml");
    const CliResult r =
        cli({QStringLiteral("walk"), QStringLiteral("--list"), QStringLiteral("vsd"), sample});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QList<QByteArray> lines = r.out.split('\n');
    EXPECT_EQ(lines.value(0), "RLOAD=3 ROFFSET=0 RCOUNT=3 RTOTAL=7");
    EXPECT_EQ(lines.value(1), "# vsd");
    EXPECT_EQ(r.out.count("\n# "), 10) << "the main list and the nine contents lists";

    const CliResult bad =
        cli({QStringLiteral("walk"), QStringLiteral("--list"), QStringLiteral("nosuch"), sample});
    EXPECT_EQ(bad.exitCode, 2);
    const CliResult broken =
        cli({QStringLiteral("walk"), QStringLiteral("--list"), QStringLiteral("unit")}, "<a><b>");
    EXPECT_EQ(broken.exitCode, 1);
}

TEST(CliVetis, ARefusedAnswerPrintsNothingButWhy)
{
    // Two answers one after the other, and a Fault: no table, the reason on
    // stderr, exit code 1.
    const QString hostile = testsupport::sourceFolder() + QStringLiteral("/tests/responses/hostile/");
    struct Case
    {
        const char* file;
        const char* reason;
    };
    for (const Case& c : {Case{"two-envelopes.xml", "больше одного корневого элемента"},
                          Case{"soap-fault.xml", "Сервис Ветис.API сообщил об ошибке: APLM0001"}}) {
        SCOPED_TRACE(c.file);
        const CliResult r = cli({QStringLiteral("walk"), QStringLiteral("--list"), QStringLiteral("unit"),
                                 hostile + QString::fromUtf8(c.file)});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.reason))) << r.err.toStdString();
    }
}

TEST(CliVetis, WalkRefusesAnAnswerAboveMaxSizeUnread)
{
    // The file's size decides before anything is read; standard input is
    // read no further than the limit.
    testsupport::TempFolder folder;
    const QString path = folder.file(QStringLiteral("big.xml"));
    QFile big(path);
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    const QByteArray filler((1 << 20) + 1, ' ');
    ASSERT_EQ(big.write(filler), filler.size());
    big.close();
    const CliResult fromFile = cli({QStringLiteral("walk"), QStringLiteral("--list"), QStringLiteral("unit"),
                                    QStringLiteral("--max-size"), QStringLiteral("1"), path});
    EXPECT_EQ(fromFile.exitCode, 1);
    EXPECT_TRUE(fromFile.out.isEmpty());
    EXPECT_TRUE(fromFile.err.contains(QStringLiteral("больше допустимого размера (1 МБ)")))
        << fromFile.err.toStdString();
    const CliResult fromInput = cli({QStringLiteral("walk"), QStringLiteral("--list"), QStringLiteral("unit"),
                                     QStringLiteral("--max-size"), QStringLiteral("1")},
                                    filler);
    EXPECT_EQ(fromInput.exitCode, 1);
    EXPECT_TRUE(fromInput.err.contains(QStringLiteral("больше допустимого размера")))
        << fromInput.err.toStdString();
    for (const char* wrong : {"0", "-1", "1.5", "x"}) {
        const CliResult usage = cli({QStringLiteral("walk"), QStringLiteral("--list"), QStringLiteral("unit"),
                                     QStringLiteral("--max-size"), QString::fromUtf8(wrong), path});
        EXPECT_EQ(usage.exitCode, 2) << wrong;
    }
}

TEST(CliVetis, SettingsCreatesAndChangesTheEncryptedRecord)
{
    testsupport::TempFolder data;
    ASSERT_EQ(cli({QStringLiteral("init"), QStringLiteral("--data"), data.path()}).exitCode, 0);
    const QString guid = QStringLiteral("400cb70f-964e-43c0-b4a3-165de1ab3e01");
    const CliResult created =
        cli({QStringLiteral("settings"), QStringLiteral("--data"), data.path(), QStringLiteral("--guid"),
             guid, QStringLiteral("--login"), QStringLiteral("clerk-login"), QStringLiteral("--password"),
             QStringLiteral("very-secret-pw"), QStringLiteral("--show")});
    ASSERT_EQ(created.exitCode, 0) << created.err.toStdString();
    EXPECT_TRUE(created.out.contains("MVS:PERIOD\t30\n")) << "a new record gets the window's defaults";
    EXPECT_TRUE(created.out.contains("MVS:ANSWER\t1\n"));
    EXPECT_TRUE(created.out.contains("MVS:PASSWORD\t***\n"));

    const CliResult changed =
        cli({QStringLiteral("settings"), QStringLiteral("--data"), data.path(), QStringLiteral("--guid"),
             guid, QStringLiteral("--test"), QStringLiteral("1"), QStringLiteral("--show")});
    ASSERT_EQ(changed.exitCode, 0);
    EXPECT_TRUE(changed.out.contains("MVS:TEST\t1\n"));
    EXPECT_TRUE(changed.out.contains("MVS:LOGIN\tclerk-login\n")) << "other fields are kept";

    QFile file(data.file(QStringLiteral("Base/mv01.dat")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray raw = file.readAll();
    EXPECT_FALSE(raw.contains("very-secret-pw"));
    EXPECT_FALSE(raw.contains("clerk-login"));

    EXPECT_EQ(cli({QStringLiteral("settings"), QStringLiteral("--data"), data.path(),
                   QStringLiteral("--guid"), guid, QStringLiteral("--answer"), QStringLiteral("7")})
                  .exitCode,
              2);
    EXPECT_EQ(cli({QStringLiteral("settings"), QStringLiteral("--data"), data.path(),
                   QStringLiteral("--guid"), QStringLiteral("short")})
                  .exitCode,
              2);
}
