// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "workspace/VsdListScope.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// What the search of the incoming list needs of every VSD of a range, read
// once in the file's own order and kept in memory: the upper-cased texts the
// mask looks at and the UUID. A mask search or "select all" over a hundred
// thousand VSDs then reads nothing from the table. The list builds it beside
// the window after each read of its range and drops it when the table changes.
namespace workspace {

class SearchMask;

class VsdSearchIndex
{
public:
    // Reads the range through a session of its own (so that it can run on a
    // thread of its own); nullptr when the table could not be read.
    static std::shared_ptr<const VsdSearchIndex> build(const QString& dataFolder, const VsdListScope& scope);

    const VsdListScope& scope() const { return m_scope; }
    bool covers(const VsdListScope& scope) const;
    // Whether the row (a row id of the range) passes the mask; false for a row
    // the index does not know.
    bool matches(std::int64_t row, const SearchMask& mask) const;
    // Every VSD of the range that passes the mask.
    template <typename Visit>
    void forEachMatching(const SearchMask& mask, Visit visit) const
    {
        for (std::size_t i = 0; i + 1 < m_offsets.size(); ++i)
            if (matchesAt(i, mask))
                visit(std::string_view(m_uuids).substr(i * 36, 36));
    }
    std::size_t size() const { return m_offsets.empty() ? 0 : m_offsets.size() - 1; }

private:
    bool matchesAt(std::size_t i, const SearchMask& mask) const;

    VsdListScope m_scope;
    std::vector<std::uint32_t> m_slot;    // row id -> entry, or kNone
    std::vector<std::uint32_t> m_offsets; // entry -> start of its text; one more at the end
    std::string m_texts;
    std::string m_uuids; // 36 bytes per entry
};

} // namespace workspace
