// SPDX-License-Identifier: LicenseRef-Kestrom
// What zanvo-cli takes in: secrets on standard input (also from a terminal,
// unechoed), GUIDs, and request files and option values that the records
// cannot hold as given, which are refused without a change on disk.
#include "CliRun.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <chrono>

#if defined(__linux__)
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace clitest;

namespace {

const QString kGuid = QStringLiteral("400cb70f-964e-43c0-b4a3-165de1ab3e01");

// A data folder made by the tool itself.
class DataFolder
{
public:
    DataFolder()
    {
        const CliResult init = cli({QStringLiteral("init"), QStringLiteral("--data"), m_folder.path()});
        EXPECT_EQ(init.exitCode, 0) << init.err.toStdString();
    }
    QString path() const { return m_folder.path(); }
    CliResult settings(QStringList args, const QByteArray& input = {}) const
    {
        args.prepend(path());
        args.prepend(QStringLiteral("--data"));
        args.prepend(QStringLiteral("settings"));
        return cli(args, input);
    }
    // The settings rows with every secret shown.
    QByteArray revealed() const
    {
        return cli({QStringLiteral("dump"), QStringLiteral("m_Vetis"), QStringLiteral("--data"), path(),
                    QStringLiteral("--reveal")})
            .out;
    }
    QByteArray settingsFile() const
    {
        QFile f(m_folder.file(QStringLiteral("Base/mv01.dat")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private:
    testsupport::TempFolder m_folder;
};

} // namespace

TEST(CliInput, SecretsAreReadFromStandardInput)
{
    DataFolder data;
    const QStringList withGuid = {QStringLiteral("--guid"), kGuid, QStringLiteral("--login"),
                                  QStringLiteral("clerk")};

    CliResult r = data.settings(withGuid + QStringList{QStringLiteral("--password"), QStringLiteral("-")},
                                "pass word 1\n");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(data.revealed().contains("\tclerk\tpass word 1\t")) << data.revealed().toStdString();

    // Both: two lines, password first; a Windows line end and a last line
    // without one are read as they are meant.
    r = data.settings(withGuid + QStringList{QStringLiteral("--apikey"), QStringLiteral("-"),
                                             QStringLiteral("--password"), QStringLiteral("-")},
                      "pw-two\r\nkey-two");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(data.revealed().contains("\tclerk\tpw-two\tkey-two\t")) << data.revealed().toStdString();
    EXPECT_TRUE(r.err.isEmpty()) << "no prompt when standard input is no terminal";

    r = data.settings({QStringLiteral("--guid"), kGuid, QStringLiteral("--apikey"), QStringLiteral("-")},
                      "key-three\nignored\n");
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(data.revealed().contains("\tclerk\tpw-two\tkey-three\t")) << data.revealed().toStdString();

    // Input that cannot be a secret of ours is refused, and the record stays.
    const QByteArray before = data.settingsFile();
    const std::pair<QByteArray, QString> refused[] = {
        {"", QStringLiteral("--password -: standard input ended")},
        {"\xFF\xFE\n", QStringLiteral("--password is not UTF-8")},
        {"ab" + QByteArray(1, '\0') + "cd\n", QStringLiteral("--password holds a zero character")},
        {QByteArray(121, 'p') + "\n", QStringLiteral("--password is longer than the field's 120 bytes")},
        {QByteArray(5000, 'p') + "\n", QStringLiteral("longer than 4096 bytes")},
    };
    for (const auto& [input, message] : refused) {
        r = data.settings(
            {QStringLiteral("--guid"), kGuid, QStringLiteral("--password"), QStringLiteral("-")}, input);
        EXPECT_NE(r.exitCode, 0) << message.toStdString();
        EXPECT_TRUE(r.err.contains(message)) << r.err.toStdString();
        EXPECT_EQ(data.settingsFile(), before) << message.toStdString();
    }
}

TEST(CliInput, ATerminalIsAskedWithoutShowingWhatIsTyped)
{
#if !defined(__linux__)
    GTEST_SKIP() << "the terminal is a pseudo-terminal of Linux";
#else
    DataFolder data;
    const std::string exe = cliProgram().toStdString();
    std::vector<std::string> words = {exe,      "settings",          "--data",     data.path().toStdString(),
                                      "--guid", kGuid.toStdString(), "--password", "-"};
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (child == 0) {
        execv(exe.c_str(), argv.data());
        _exit(127);
    }
    ASSERT_GT(child, 0);

    // Everything the terminal shows, until the tool is done with it.
    std::string screen;
    const auto readScreen = [&](const std::string& until) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < end) {
            if (!until.empty() && screen.find(until) != std::string::npos)
                return true;
            pollfd pfd{terminal, POLLIN, 0};
            if (poll(&pfd, 1, 100) <= 0)
                continue;
            char buffer[512];
            const ssize_t n = read(terminal, buffer, sizeof buffer);
            if (n <= 0)
                return until.empty(); // the tool closed the terminal
            screen.append(buffer, std::size_t(n));
        }
        return false;
    };
    const std::string prompt = "Пароль для доступа к Ветис.API: ";
    const bool asked = readScreen(prompt);
    const std::string secret = "typed-secret-42";
    if (asked) {
        EXPECT_EQ(write(terminal, (secret + "\n").data(), secret.size() + 1), ssize_t(secret.size() + 1));
    }
    readScreen({});
    int status = 0;
    waitpid(child, &status, 0);
    close(terminal);

    ASSERT_TRUE(asked) << screen;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << screen;
    EXPECT_EQ(screen.find(secret), std::string::npos) << screen;
    EXPECT_TRUE(data.revealed().contains(QByteArray::fromStdString("\t" + secret + "\t")));
#endif
}

TEST(CliInput, SettingsTakeOnlyAGuidAndValuesTheRecordHoldsAsGiven)
{
    DataFolder data;
    const QByteArray empty = data.settingsFile();
    for (const QString& notAGuid : {
             QStringLiteral("short"),
             QString(36, u'x'),
             QStringLiteral("400cb70f-964e-43c0-b4a3-165de1ab3e0g"),
             QStringLiteral("400cb70f0964e-43c0-b4a3-165de1ab3e01"),
             QStringLiteral("{00cb70f-964e-43c0-b4a3-165de1ab3e0}"),
             QStringLiteral("400cb70f-964e-43c0-b4a3-165de1ab3e01 "),
         }) {
        const CliResult r = data.settings(
            {QStringLiteral("--guid"), notAGuid, QStringLiteral("--login"), QStringLiteral("clerk")});
        EXPECT_EQ(r.exitCode, 2) << notAGuid.toStdString();
        EXPECT_TRUE(r.err.contains(u'"' + notAGuid + u'"')) << r.err.toStdString();
        EXPECT_EQ(data.settingsFile(), empty) << notAGuid.toStdString();
    }

    // Capital hexadecimal digits are a GUID too; Cyrillic is stored as the
    // bytes of Windows-1251, so 120 letters fit a field of 121.
    const QString upper = kGuid.toUpper();
    const QString longName(120, QChar(0x0416)); // Ж
    CliResult r = data.settings({QStringLiteral("--guid"), upper, QStringLiteral("--login"), longName});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(QString::fromUtf8(data.revealed()).contains(u'\t' + longName + u'\t'));

    const QByteArray stored = data.settingsFile();
    const std::pair<QStringList, QString> refused[] = {
        {{QStringLiteral("--login"), longName + u'Ж'},
         QStringLiteral("--login is longer than the field's 120")},
        {{QStringLiteral("--remark"), QStringLiteral("ok \U0001F600")},
         QStringLiteral("--remark has characters that Windows-1251 cannot store")},
        {{QStringLiteral("--period"), QStringLiteral("12abc")},
         QStringLiteral("--period is not a whole number")},
        {{QStringLiteral("--test"), QStringLiteral("300")},
         QStringLiteral("--test is not a whole number from 0 to 255")},
    };
    for (const auto& [args, message] : refused) {
        r = data.settings(QStringList{QStringLiteral("--guid"), upper} + args);
        EXPECT_EQ(r.exitCode, 2) << message.toStdString();
        EXPECT_TRUE(r.err.contains(message)) << r.err.toStdString();
        EXPECT_EQ(data.settingsFile(), stored) << message.toStdString();
    }
}

TEST(CliInput, EnvelopeRefusesHostileRequestFilesNamingTheField)
{
    const QString folder = testsupport::sourceFolder() + QStringLiteral("/tests/cli/hostile/");
    const std::pair<const char*, const char*> files[] = {
        {"guid-as-number.json", "the value of GUID must be a string, not a number"},
        {"vrequest-as-text.json", "the value of VREQUEST must be a number, not a string"},
        {"count-as-boolean.json", "the value of COUNT must be a number, not true or false"},
        {"ltid-null.json", "the value of LTID must be a string, not null"},
        {"date-with-trailing-text.json", "the value of DATE1 is not a date yyyy-mm-dd"},
        {"date-not-a-day.json", "the value of DATE2 is not a date yyyy-mm-dd"},
        {"date-as-number.json", "the value of DATE1 must be a date string yyyy-mm-dd, not a number"},
        {"guid-too-long.json", "the value of GUID is longer than the field's 36 bytes"},
        {"p1-too-long.json", "the value of P1 is longer than the field's 120 bytes"},
        {"p3-with-nul.json", "the value of P3 holds a zero character"},
        {"settings-apikey-as-number.json", "the value of MVS:APIKEY must be a string, not a number"},
        {"settings-answer-out-of-range.json", "the value of MVS:ANSWER is not a whole number from 0 to 255"},
        {"settings-weblogin-outside-cp1251.json",
         "the value of MVS:WEBLOGIN has characters that Windows-1251 cannot store"},
        {"settings-login-with-nul.json", "the value of MVS:LOGIN holds a zero character"},
        {"vsd-uuid-as-number.json", "the value of MVD:UUID must be a string, not a number"},
        {"vsd-date-with-trailing-text.json", "the value of MVD:DATE is not a date yyyy-mm-dd"},
        {"inside-uuid-too-long.json", "the value of MIN:UUID is longer than the field's 36 bytes"},
        {"inside-number-fraction.json", "the value of MIN:NUMBER must be a whole number"},
    };
    const QStringList onDisk = QDir(folder).entryList({QStringLiteral("*.json")}, QDir::Files);
    EXPECT_EQ(std::size_t(onDisk.size()), std::size(files)) << "every hostile file is checked";
    for (const auto& [file, message] : files) {
        const CliResult r = cli({QStringLiteral("envelope"), folder + QString::fromLatin1(file)});
        EXPECT_EQ(r.exitCode, 1) << file;
        EXPECT_TRUE(r.out.isEmpty()) << file;
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(message))) << file << ": " << r.err.toStdString();
    }

    // The limits themselves are accepted: 36 bytes of GUID, 120 letters of a
    // parameter (240 bytes of UTF-8, 120 of Windows-1251), a real day.
    const QByteArray atLimits =
        R"({"VREQUEST": 51, "GUID": "21ed96c9-337b-4a27-8761-c6e6ad3c9f5b", "P3": ")" +
        QString(120, QChar(0x0416)).toUtf8() + R"(", "DATE1": "2024-02-29", "COUNT": 2147483647})";
    const CliResult r = cli({QStringLiteral("envelope"), QStringLiteral("-")}, atLimits);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
}
