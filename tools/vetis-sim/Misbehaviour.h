// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "SimTypes.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace httplib {
struct Response;
} // namespace httplib

namespace vetissim {

// Lets slow and stalled answers end at once when the server stops.
class StopSignal
{
public:
    // Waits up to ms milliseconds; true when the server stops meanwhile.
    bool waitFor(int ms);
    void raise();
    void reset();

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
};

// The misbehaviour rules set by tests, consumed request by request.
class FaultBook
{
public:
    void add(const FaultRule& rule);
    void clear();
    std::size_t size() const { return m_rules.size(); }
    // The first rule for this operation (or its inner request), counted down.
    std::optional<FaultRule> take(const std::string& operation, const std::string& innerOperation);

private:
    std::vector<FaultRule> m_rules;
};

// Whether the misbehaviour is built from the right answer (delay, truncation, ...).
bool faultNeedsAnswer(FaultKind kind);

// Fills the response for a misbehaviour. answer is the right answer's text when
// faultNeedsAnswer(kind). Returns the status the client will see (0 when none).
// Called while the request's connection is being served (see GuardedConnection).
[[nodiscard]] int applyFault(const FaultRule& rule, const std::string& answer, httplib::Response& response,
                             const std::shared_ptr<StopSignal>& stop);

// The 401 answer of the service to missing or wrong credentials.
void setUnauthorized(httplib::Response& response);

} // namespace vetissim
