// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/VsdSearchIndex.h"

#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "store/Table.h"
#include "workspace/SearchMask.h"

namespace workspace {

namespace {
constexpr std::uint32_t kNone = 0xFFFFFFFFu;
} // namespace

std::shared_ptr<const VsdSearchIndex> VsdSearchIndex::build(const QString& dataFolder,
                                                            const VsdListScope& scope)
{
    auto index = std::make_shared<VsdSearchIndex>();
    index->m_scope = scope;
    index->m_offsets.push_back(0);
    VsdRange range;
    if (!rangeOf(scope, range))
        return index;
    store::Session session(dataFolder, {}, store::Access::ReadOnly);
    store::TypedTable<store::VsdRecord> vsds(session, store::vsdTable());
    if (vsds.open() != store::kOk)
        return nullptr;
    std::vector<int> fields = searchMaskFields();
    fields.push_back(store::vsdTable().fieldIndex("MVD:UUID"));
    const int code = vsds.scanRange(
        *range.key, range.components, reinterpret_cast<const char*>(&range.low),
        reinterpret_cast<const char*>(&range.high), fields,
        [&index](std::int64_t row, const char* image) {
            const auto& r = *reinterpret_cast<const store::VsdRecord*>(image);
            if (row < 0 || row > 0x7FFFFFFF)
                return true;
            auto& slot = index->m_slot;
            if (slot.size() <= static_cast<std::size_t>(row))
                slot.resize(static_cast<std::size_t>(row) + 1 + slot.size() / 2, kNone);
            slot[static_cast<std::size_t>(row)] = static_cast<std::uint32_t>(index->m_offsets.size() - 1);
            appendSearchText(r, index->m_texts);
            index->m_offsets.push_back(static_cast<std::uint32_t>(index->m_texts.size()));
            index->m_uuids.append(store::textOf(r.UUID));
            return true;
        },
        store::Table::ScanOrder::Stored);
    if (code != store::kOk)
        return nullptr;
    return index;
}

bool VsdSearchIndex::covers(const VsdListScope& scope) const
{
    const VsdListScope& a = m_scope;
    return a.entity == scope.entity && a.enterprise == scope.enterprise && a.tab == scope.tab &&
           a.status == scope.status && a.periodOn == scope.periodOn && a.from == scope.from &&
           a.to == scope.to;
}

bool VsdSearchIndex::matchesAt(std::size_t i, const SearchMask& mask) const
{
    return mask.empty() ||
           mask.matchesUpper(std::string_view(m_texts).substr(m_offsets[i], m_offsets[i + 1] - m_offsets[i]));
}

bool VsdSearchIndex::matches(std::int64_t row, const SearchMask& mask) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= m_slot.size() ||
        m_slot[static_cast<std::size_t>(row)] == kNone)
        return false;
    return matchesAt(m_slot[static_cast<std::size_t>(row)], mask);
}

} // namespace workspace
