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
#include <string>
#include <thread>
#include <vector>

#if defined(__linux__)
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
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

#if defined(__linux__)
const std::string kPasswordPrompt = "Пароль для доступа к Ветис.API: ";

// The settings of a new pseudo-terminal.
termios freshTerminal()
{
    int master = -1;
    int slave = -1;
    termios settings{};
    if (openpty(&master, &slave, nullptr, nullptr, nullptr) == 0) {
        EXPECT_EQ(tcgetattr(slave, &settings), 0);
        close(slave);
        close(master);
    } else {
        ADD_FAILURE() << "no pseudo-terminal";
    }
    return settings;
}

// zanvo-cli on a pseudo-terminal of its own, as a user at a terminal runs it.
class TerminalRun
{
public:
    explicit TerminalRun(std::vector<std::string> words)
    {
        const std::string exe = cliProgram().toStdString();
        words.insert(words.begin(), exe);
        std::vector<char*> argv;
        for (std::string& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        m_pid = forkpty(&m_terminal, nullptr, nullptr, nullptr);
        if (m_pid == 0) {
            execv(exe.c_str(), argv.data());
            _exit(127);
        }
        EXPECT_GT(m_pid, 0);
    }
    ~TerminalRun()
    {
        if (m_pid > 0 && !m_waited) {
            kill(m_pid, SIGKILL);
            static_cast<void>(wait());
        }
        if (m_terminal >= 0)
            close(m_terminal);
    }
    TerminalRun(const TerminalRun&) = delete;
    TerminalRun& operator=(const TerminalRun&) = delete;

    int terminal() const { return m_terminal; }
    pid_t pid() const { return m_pid; }

    // Reads what the terminal shows into `screen` until it shows `until`, or
    // with `until` empty until the tool is done with the terminal.
    bool readScreen(const std::string& until)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < end) {
            if (!until.empty() && screen.find(until) != std::string::npos)
                return true;
            pollfd pfd{m_terminal, POLLIN, 0};
            if (poll(&pfd, 1, 100) <= 0)
                continue;
            char buffer[512];
            const ssize_t n = read(m_terminal, buffer, sizeof buffer);
            if (n <= 0)
                return until.empty(); // the tool closed the terminal
            screen.append(buffer, std::size_t(n));
        }
        return false;
    }
    [[nodiscard]] bool type(const std::string& keys)
    {
        return write(m_terminal, keys.data(), keys.size()) == ssize_t(keys.size());
    }
    // The tool's wait status.
    [[nodiscard]] int wait()
    {
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_waited = true;
        return status;
    }

    std::string screen;

private:
    int m_terminal = -1;
    pid_t m_pid = -1;
    bool m_waited = false;
};
#endif

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
    TerminalRun run(
        {"settings", "--data", data.path().toStdString(), "--guid", kGuid.toStdString(), "--password", "-"});
    const bool asked = run.readScreen(kPasswordPrompt);
    const std::string secret = "typed-secret-42";
    if (asked) {
        EXPECT_TRUE(run.type(secret + "\n"));
    }
    run.readScreen({});
    const int status = run.wait();

    ASSERT_TRUE(asked) << run.screen;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << run.screen;
    EXPECT_EQ(run.screen.find(secret), std::string::npos) << run.screen;
    EXPECT_TRUE(data.revealed().contains(QByteArray::fromStdString("\t" + secret + "\t")));
#endif
}

TEST(CliInput, ATerminalLeftByASignalDuringThePromptEchoesAgain)
{
#if !defined(__linux__)
    GTEST_SKIP() << "the terminal is a pseudo-terminal of Linux";
#else
    DataFolder data;
    const QByteArray before = data.settingsFile();
    // Ctrl-C typed at the prompt, and a kill from elsewhere, each with half a
    // secret typed.
    for (const int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        TerminalRun run({"settings", "--data", data.path().toStdString(), "--guid", kGuid.toStdString(),
                         "--password", "-"});
        ASSERT_TRUE(run.readScreen(kPasswordPrompt)) << run.screen;
        termios prompting{};
        ASSERT_EQ(tcgetattr(run.terminal(), &prompting), 0);
        ASSERT_EQ(prompting.c_lflag & ECHO, 0u) << "the typing is hidden at the prompt";
        EXPECT_TRUE(run.type("half-a-sec"));
        // The kernel takes typed keys into the terminal on its own time; a
        // signal that came first would find echo restored when they arrive
        // and show them, which no user typing by hand can cause.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (signal == SIGINT)
            EXPECT_TRUE(run.type("\x03")); // the terminal's interrupt character
        else
            EXPECT_EQ(kill(run.pid(), SIGTERM), 0);
        run.readScreen({});
        const int status = run.wait();

        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal)
            << "the tool ends by the signal; status " << status;
        termios after{};
        ASSERT_EQ(tcgetattr(run.terminal(), &after), 0);
        EXPECT_NE(after.c_lflag & ECHO, 0u) << "the terminal echoes again";
        // The tool's terminal began as every new one does.
        EXPECT_EQ(after.c_lflag, freshTerminal().c_lflag) << "the terminal is as it was before the prompt";
        EXPECT_EQ(run.screen.find("half-a-sec"), std::string::npos) << run.screen;
        EXPECT_EQ(data.settingsFile(), before);
    }
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
