// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <set>
#include <string>
#include <vector>

// The marked VSDs of the incoming list: a set of UUIDs, so that a mark
// survives scrolling, another order and a re-read, and reaches rows that were
// never shown. Kept in ascending UUID order, the order repay and return and
// the export go through it.
namespace workspace {

class VsdSelection
{
public:
    bool contains(const std::string& uuid) const { return m_uuids.count(uuid) != 0; }
    std::size_t size() const { return m_uuids.size(); }
    bool empty() const { return m_uuids.empty(); }
    const std::set<std::string>& uuids() const { return m_uuids; }
    std::vector<std::string> ordered() const { return {m_uuids.begin(), m_uuids.end()}; }

    void add(const std::string& uuid);
    void remove(const std::string& uuid);
    void toggle(const std::string& uuid);
    void clear() { m_uuids.clear(); }

private:
    std::set<std::string> m_uuids;
};

} // namespace workspace
