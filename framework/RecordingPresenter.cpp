// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/RecordingPresenter.h"

namespace framework {

int RecordingPresenter::present(const MessageRequest& request)
{
    std::lock_guard lock(m_mutex);
    m_shown.push_back(request);
    if (!m_answers.empty()) {
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return request.defaultAnswer();
}

void RecordingPresenter::presentHistory(const std::vector<HistoryEntry>& entries)
{
    std::lock_guard lock(m_mutex);
    m_histories.push_back(entries);
}

void RecordingPresenter::setNextAnswer(int answer)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back(answer);
}

std::vector<MessageRequest> RecordingPresenter::shown() const
{
    std::lock_guard lock(m_mutex);
    return m_shown;
}

std::vector<std::vector<HistoryEntry>> RecordingPresenter::historiesShown() const
{
    std::lock_guard lock(m_mutex);
    return m_histories;
}

std::size_t RecordingPresenter::count() const
{
    std::lock_guard lock(m_mutex);
    return m_shown.size();
}

void RecordingPresenter::clear()
{
    std::lock_guard lock(m_mutex);
    m_shown.clear();
    m_histories.clear();
    m_answers.clear();
}

} // namespace framework
