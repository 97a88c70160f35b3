// SPDX-License-Identifier: LicenseRef-Kestrom
#include "RequestLog.h"

#include <algorithm>

namespace vetissim {
namespace {

// What a logged request holds apart from its body.
std::size_t overheadOf(const ReceivedRequest& r)
{
    std::size_t bytes = sizeof(ReceivedRequest) + r.method.size() + r.path.size() + r.authorization.size() +
                        r.operation.size() + r.operationNamespace.size() + r.innerOperation.size();
    for (const auto& [name, value] : r.headers)
        bytes += name.size() + value.size() + 2 * sizeof(std::string);
    return bytes;
}

} // namespace

RequestLog::RequestLog(std::size_t maxRequests, std::size_t maxBytes)
    : m_maxRequests(std::max<std::size_t>(maxRequests, 1))
    , m_maxBytes(maxBytes)
{}

std::uint64_t RequestLog::add(ReceivedRequest request)
{
    ++m_received;
    const std::size_t overhead = overheadOf(request);
    const std::size_t room = m_maxBytes > overhead ? m_maxBytes - overhead : 0;
    if (request.body.size() > room) {
        request.body.resize(room);
        request.body.shrink_to_fit();
    }
    const std::size_t bytes = overhead + request.body.size();
    while (!m_entries.empty() && (m_entries.size() >= m_maxRequests || m_bytes + bytes > m_maxBytes)) {
        m_bytes -= m_entries.front().bytes;
        m_entries.pop_front();
    }
    const std::uint64_t id = m_nextId++;
    m_entries.push_back({id, bytes, std::move(request)});
    m_bytes += bytes;
    return id;
}

void RequestLog::setStatus(std::uint64_t id, int status)
{
    // Newest first: the request asked about is nearly always among the last.
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it) {
        if (it->id == id) {
            it->request.status = status;
            return;
        }
        if (it->id < id)
            return;
    }
}

std::vector<ReceivedRequest> RequestLog::requests() const
{
    std::vector<ReceivedRequest> out;
    out.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        out.push_back(e.request);
    return out;
}

void RequestLog::clear()
{
    m_entries.clear();
    m_bytes = 0;
    m_received = 0;
}

} // namespace vetissim
