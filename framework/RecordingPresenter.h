// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "framework/MessageBox.h"

#include <deque>
#include <mutex>
#include <vector>

// A presenter that nobody looks at: it keeps every box it was asked to show
// and answers from a queue of prepared answers, else with the box's default
// button. Tests install it; unattended runs can too.
namespace framework {

class RecordingPresenter final : public MessagePresenter
{
public:
    [[nodiscard]] int present(const MessageRequest& request) override;
    void presentHistory(const std::vector<HistoryEntry>& entries) override;

    // The next box is answered with this (a MessageButton or a 1-based custom
    // button number); answers are used in the order given.
    void setNextAnswer(int answer);

    std::vector<MessageRequest> shown() const;
    std::vector<std::vector<HistoryEntry>> historiesShown() const;
    std::size_t count() const;
    void clear();

private:
    mutable std::mutex m_mutex;
    std::vector<MessageRequest> m_shown;
    std::vector<std::vector<HistoryEntry>> m_histories;
    std::deque<int> m_answers;
};

} // namespace framework
