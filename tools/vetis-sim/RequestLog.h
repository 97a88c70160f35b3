// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "SimTypes.h"

#include <cstdint>
#include <deque>
#include <vector>

namespace vetissim {

// The requests the simulator received, newest last, kept within a number of
// requests and a number of bytes: the oldest are dropped first, and a request
// too big to keep whole keeps the start of its body. Not thread-safe: the
// simulator uses it under its lock.
class RequestLog
{
public:
    RequestLog(std::size_t maxRequests, std::size_t maxBytes);

    // Logs a request; the number returned names it for setStatus.
    std::uint64_t add(ReceivedRequest request);
    // Sets the status of a logged request (nothing when it was dropped meanwhile).
    void setStatus(std::uint64_t id, int status);
    std::vector<ReceivedRequest> requests() const;
    // Requests received since the last clear, the dropped ones included.
    std::uint64_t received() const { return m_received; }
    void clear();

private:
    struct Entry
    {
        std::uint64_t id;
        std::size_t bytes;
        ReceivedRequest request;
    };

    std::size_t m_maxRequests;
    std::size_t m_maxBytes;
    std::deque<Entry> m_entries;
    std::size_t m_bytes = 0;
    std::uint64_t m_nextId = 1;
    std::uint64_t m_received = 0;
};

} // namespace vetissim
