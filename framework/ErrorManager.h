// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "framework/MessageBox.h"
#include "framework/MessageCatalogue.h"
#include "framework/MessageIds.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

// The error manager: every failure of a file operation and every framework
// question (save the changes? delete the record?) is reported through it by
// message number. It fills the placeholders of the catalogue text, optionally
// logs the text and keeps a history, and shows the dialog of the message's
// level.
//
// The placeholder values and the current message belong to the calling thread;
// the settings and the history are shared and guarded by one lock, which is
// never held while a dialog is shown.
namespace framework {

class ErrorManager
{
public:
    ErrorManager();
    ~ErrorManager();
    ErrorManager(const ErrorManager&) = delete;
    ErrorManager& operator=(const ErrorManager&) = delete;

    // Placeholder values of the current thread.
    void set_file_name(const QString& name);
    void set_key_name(const QString& name);
    void set_field_name(const QString& name);
    void set_message_text(const QString& text);
    void set_procedure_name(const QString& name);
    // Shared by all threads; "QFX" unless set.
    void set_category(const QString& text);

    // Reports message `id` and returns the resulting level: 0 for a benign
    // message or a question answered Yes, 4 for a question answered otherwise,
    // 5 for a notification. A fatal message (level 2, 3 or unknown) ends the
    // program after OK; when the end-program action returns (tests), 3.
    // The runtime's and driver's codes and texts come from the thread's last
    // error at this moment.
    [[nodiscard]] int report(MessageId id);
    [[nodiscard]] int report_for_file(MessageId id, const QString& file);
    [[nodiscard]] int report_with_text(MessageId id, const QString& text);

    // Shows the kept messages ("Errors History").
    void show_history();

    // Shared settings.
    void setLogging(bool on);
    void setLogFileName(const QString& path);
    void setHistoryThreshold(int threshold); // 0: no history
    void setHistoryViewLevel(int level);     // 3 unless set
    void setHistoryReset(bool on);           // empty the history after showing it
    void setSilent(bool on);                 // no dialogs at all
    QString category() const;
    std::vector<HistoryEntry> history() const;

    // The current message of this thread after a report.
    MessageId currentId() const;
    int currentLevel() const;
    QString currentTitle() const;
    QString currentText() const;

    // Where dialogs go; nullptr (default) is the process-wide presenter.
    void setPresenter(MessagePresenter* presenter);
    // What ends the program after a fatal message; by default the process
    // exits. Tests observe it instead.
    void setEndProgramAction(std::function<void()> action);

    const StoredEntry* entry(MessageId id) const;

private:
    struct ThreadState;
    ThreadState& state() const;
    MessagePresenter& presenter() const;
    void writeLog(const QString& text, const QString& title);
    [[nodiscard]] int dispatch(int level, const QString& title, const QString& text);
    void endProgram();

    const std::uint64_t m_serial;
    std::vector<StoredEntry> m_catalogue;

    mutable std::mutex m_mutex; // guards everything below
    QString m_category = QStringLiteral("QFX");
    bool m_logging = false;
    QString m_logFileName;
    int m_historyThreshold = 0;
    int m_historyViewLevel = LevelFatal;
    bool m_historyReset = false;
    bool m_silent = false;
    std::vector<HistoryEntry> m_history;
    MessagePresenter* m_presenter = nullptr;
    std::function<void()> m_endProgram;
};

// The program's one manager, created on first use.
ErrorManager& errorManager();

// Longest text kept in the history, in bytes of the stored code page.
constexpr int kHistoryTextBytes = 1024;
// Appended to the text of a fatal message.
inline constexpr char16_t kFatalSuffix[] = u"  Press OK to end this application";

} // namespace framework
