// SPDX-License-Identifier: LicenseRef-Kestrom
#include "cli/SecretInput.h"

#include "cli/Command.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <csignal>
#include <iterator>

#include <signal.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace cli {

namespace {

// Longer than any text field of the settings; a longer line is no secret of ours.
constexpr std::size_t kLongestLine = 4096;

#if !defined(_WIN32)
// A signal that ends the tool while the typing is hidden (Ctrl-C, Ctrl-\, a
// kill, the terminal hanging up) must not leave the terminal without echo:
// the handler puts the terminal back as it was, then ends the tool by the same
// signal the way it would have ended without the handler.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGQUIT, SIGHUP};
// Set before the handlers are installed and left alone while they are.
termios g_terminalBefore{};
struct sigaction g_actionsBefore[std::size(kEndingSignals)];
bool g_handled[std::size(kEndingSignals)] = {};

// Only async-signal-safe calls.
extern "C" void restoreTerminalAndEnd(int signal)
{
    // Dropping what was typed so far keeps half a secret from reaching the
    // shell as its next command line.
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_terminalBefore);
    const char lineEnd = '\n';
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, &lineEnd, 1);
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
        if (kEndingSignals[i] == signal)
            sigaction(signal, &g_actionsBefore[i], nullptr);
    // Delivered once the handler returns, with the action as it was before.
    raise(signal);
}

void installEndingHandlers(const termios& before)
{
    g_terminalBefore = before;
    struct sigaction restoring = {};
    restoring.sa_handler = &restoreTerminalAndEnd;
    sigemptyset(&restoring.sa_mask);
    // The other ending signals wait while one restores the terminal.
    for (const int signal : kEndingSignals)
        sigaddset(&restoring.sa_mask, signal);
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i) {
        g_handled[i] = false;
        if (sigaction(kEndingSignals[i], nullptr, &g_actionsBefore[i]) != 0)
            continue;
        // A signal the tool was started to ignore stays ignored.
        if (g_actionsBefore[i].sa_handler == SIG_IGN)
            continue;
        g_handled[i] = sigaction(kEndingSignals[i], &restoring, nullptr) == 0;
    }
}

void removeEndingHandlers()
{
    for (std::size_t i = 0; i < std::size(kEndingSignals); ++i)
        if (g_handled[i])
            sigaction(kEndingSignals[i], &g_actionsBefore[i], nullptr);
}
#endif

// While it lives, what is typed on the terminal is not shown. The line end
// still is, so that the next output starts on a line of its own. However the
// tool leaves the prompt (a line read, the input ended, an error, an ending
// signal on POSIX), the terminal is put back as it was.
class HiddenTyping
{
public:
    HiddenTyping()
    {
#if defined(_WIN32)
        m_console = GetStdHandle(STD_INPUT_HANDLE);
        if (m_console != INVALID_HANDLE_VALUE && GetConsoleMode(m_console, &m_saved))
            m_active = SetConsoleMode(m_console, m_saved & ~DWORD(ENABLE_ECHO_INPUT)) != 0;
#else
        if (tcgetattr(STDIN_FILENO, &m_saved) == 0) {
            termios hidden = m_saved;
            hidden.c_lflag &= ~tcflag_t(ECHO);
            hidden.c_lflag |= ECHONL;
            // The handlers first: a signal right after the change finds them.
            installEndingHandlers(m_saved);
            m_active = tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden) == 0;
            if (!m_active)
                removeEndingHandlers();
        }
#endif
    }
    ~HiddenTyping()
    {
        if (!m_active)
            return;
#if defined(_WIN32)
        SetConsoleMode(m_console, m_saved);
        std::fputc('\n', stderr);
#else
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
        removeEndingHandlers();
#endif
    }
    HiddenTyping(const HiddenTyping&) = delete;
    HiddenTyping& operator=(const HiddenTyping&) = delete;

private:
    bool m_active = false;
#if defined(_WIN32)
    HANDLE m_console = INVALID_HANDLE_VALUE;
    DWORD m_saved = 0;
#else
    termios m_saved{};
#endif
};

// One line without its line end; false at the end of the input before any
// character, or past kLongestLine.
[[nodiscard]] bool readLine(std::string& line, std::string& error)
{
    line.clear();
    for (;;) {
        const int c = std::fgetc(stdin);
        if (c == EOF) {
            if (line.empty()) {
                error = "standard input ended before the line";
                return false;
            }
            break;
        }
        if (c == '\n')
            return true;
        if (line.size() == kLongestLine) {
            error = "the line on standard input is longer than " + std::to_string(kLongestLine) + " bytes";
            return false;
        }
        line.push_back(static_cast<char>(c));
    }
    return true;
}

} // namespace

bool readSecretLine(std::string_view prompt, std::string& line, std::string& error)
{
    bool read = false;
    if (isTerminal(stdin)) {
        HiddenTyping hidden;
        std::fwrite(prompt.data(), 1, prompt.size(), stderr);
        std::fflush(stderr);
        read = readLine(line, error);
    } else {
        read = readLine(line, error);
    }
    // A line end written on Windows: CR LF.
    if (read && !line.empty() && line.back() == '\r')
        line.pop_back();
    return read;
}

} // namespace cli
