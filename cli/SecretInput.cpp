// SPDX-License-Identifier: LicenseRef-Kestrom
#include "cli/SecretInput.h"

#include <cstdio>

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace cli {

namespace {

// Longer than any text field of the settings; a longer line is no secret of ours.
constexpr std::size_t kLongestLine = 4096;

bool inputIsTerminal()
{
#if defined(_WIN32)
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(STDIN_FILENO) != 0;
#endif
}

// While it lives, what is typed on the terminal is not shown. The line end
// still is, so that the next output starts on a line of its own.
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
            m_active = tcsetattr(STDIN_FILENO, TCSAFLUSH, &hidden) == 0;
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
    if (inputIsTerminal()) {
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
