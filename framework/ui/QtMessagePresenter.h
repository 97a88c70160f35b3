// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "framework/MessageBox.h"

#include <QMessageBox>
#include <functional>
#include <memory>

class QAbstractButton;

// The program's message boxes: a QMessageBox with the caption, the text with
// '|' as line break, the icon, and the buttons with the captions start-up set
// (standard ones) or their own texts. Boxes asked for on another thread are
// shown by the GUI thread while the asking thread waits.
namespace framework::ui {

class QtMessagePresenter final : public MessagePresenter
{
public:
    [[nodiscard]] int present(const MessageRequest& request) override;
    void presentHistory(const std::vector<HistoryEntry>& entries) override;

    // Tests answer boxes without a modal loop: when a hook is set, the box is
    // built as it would be shown and handed to the hook, which returns the
    // button to press (nullptr: the box's escape button, else its default).
    using AnswerHook = std::function<QAbstractButton*(QMessageBox& box)>;
    static void setAnswerHook(AnswerHook hook);
    // Likewise for the history window: receives the built dialog, not shown.
    using HistoryHook = std::function<void(QDialog& dialog)>;
    static void setHistoryHook(HistoryHook hook);
};

// Builds the box for a request; each button carries its answer in the
// property "answer".
std::unique_ptr<QMessageBox> buildMessageBox(const MessageRequest& request, QWidget* parent = nullptr);
// The answer a pressed button of such a box stands for.
int answerOf(const QAbstractButton* button);

} // namespace framework::ui
