// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// Message boxes as the program asks for them, independent of any window
// toolkit: the store, the exchange and start-up describe what to show, and the
// installed presenter shows it (a Qt message box in the program, a recording
// presenter in tests, the error stream in the command-line tool).
namespace framework {

// The standard buttons; a box shows any combination of them.
enum MessageButton : unsigned
{
    ButtonOk = 1,
    ButtonYes = 2,
    ButtonNo = 4,
    ButtonAbort = 8,
    ButtonRetry = 16,
    ButtonIgnore = 32,
    ButtonCancel = 64,
    ButtonHelp = 128,
};

enum class MessageIcon
{
    None,
    Information,
    Warning, // the exclamation mark
    Question,
    Critical,
};

struct MessageRequest
{
    QString caption;
    QString text; // '|' breaks the line
    MessageIcon icon = MessageIcon::Information;
    // Standard buttons, used when customButtons is empty. The answer is the
    // MessageButton pressed.
    unsigned buttons = ButtonOk;
    unsigned defaultButton = 0; // 0: the first one shown
    // Buttons with texts of their own instead of the standard ones; the
    // answer is the 1-based number of the button pressed.
    QStringList customButtons;
    int defaultCustomButton = 1;

    // The answer a box gives when nobody can press anything.
    int defaultAnswer() const;
};

// One kept message of the error manager's history.
struct HistoryEntry
{
    QString text;
    QString category;
    int level = 0;
};

class MessagePresenter
{
public:
    virtual ~MessagePresenter() = default;
    // Shows the box modally and returns the answer (see MessageRequest).
    [[nodiscard]] virtual int present(const MessageRequest& request) = 0;
    // The window "Errors History" listing the kept messages.
    virtual void presentHistory(const std::vector<HistoryEntry>& entries) = 0;
};

// The presenter of the calling thread: the thread's own when it installed
// one, else the process-wide presenter. Until one is installed, boxes go to
// the error stream and are answered with their default button.
MessagePresenter& messagePresenter();
// Installs the process-wide presenter (not owned; it must outlive its use);
// nullptr restores the error-stream presenter.
void setMessagePresenter(MessagePresenter* presenter);

// Installs a presenter for the calling thread only (not owned; nullptr removes
// it). A worker whose window may wait for it must never wait on the window's
// thread in a way the window cannot release: it puts its own presenter here.
void setThreadMessagePresenter(MessagePresenter* presenter);

// Installs a thread presenter for the length of a scope and restores the one
// that was there before.
class ScopedThreadMessagePresenter
{
public:
    explicit ScopedThreadMessagePresenter(MessagePresenter* presenter);
    ~ScopedThreadMessagePresenter();
    ScopedThreadMessagePresenter(const ScopedThreadMessagePresenter&) = delete;
    ScopedThreadMessagePresenter& operator=(const ScopedThreadMessagePresenter&) = delete;

private:
    MessagePresenter* m_previous;
};

// Captions of the standard buttons, in the order OK, Yes, No, Abort, Retry,
// Ignore, Cancel, Help, as one comma-separated text. Start-up sets the
// program's own; missing items keep the previous caption.
void setStandardButtonCaptions(const QString& commaSeparated);
QString standardButtonCaption(MessageButton button);
// The captions start-up installs.
QString programButtonCaptions();

// The text as it is displayed: every '|' becomes a line break.
QString displayText(const QString& text);

// Shows a box whose only button closes it (OK, "&1. Закрыть", ...): its
// answer says nothing, so there is none to read. Questions go through
// present() and their answer is looked at.
void showNotice(MessagePresenter& presenter, const MessageRequest& request);

// The three message styles of the program's own messages.
// Information: caption "Сообщение", one button "&1. Закрыть", information icon.
void informationMessage(MessagePresenter& presenter, const QString& text);
// Problem: caption "У нас проблема" (or "У нас проблема !"), one button
// "&1. Закрыть".
void problemMessage(MessagePresenter& presenter, const QString& text, bool exclamationCaption = false);
// Question: caption "Вопрос", Yes and No with No preselected, warning icon.
// True when the user answered Yes.
[[nodiscard]] bool questionMessage(MessagePresenter& presenter, const QString& text);

} // namespace framework
