// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/VsdListModel.h"

#include "store/ErrorCodes.h"
#include "store/RecordText.h"
#include "store/Session.h"
#include "workspace/ui/VsdListColumns.h"

#include <QApplication>
#include <QBrush>
#include <QPalette>
#include <QStyle>

#include <algorithm>

namespace workspace::ui {

namespace {
bool sameScope(const VsdListScope& a, const VsdListScope& b)
{
    return a.entity == b.entity && a.enterprise == b.enterprise && a.tab == b.tab && a.status == b.status &&
           a.periodOn == b.periodOn && a.from == b.from && a.to == b.to;
}

// About ten screens of rows.
constexpr std::size_t kCachedRecords = 1024;
} // namespace

VsdListModel::VsdListModel(store::Session& session, QString dataFolder, QObject* parent)
    : QAbstractTableModel(parent)
    , m_table(session, store::vsdTable())
    , m_dataFolder(std::move(dataFolder))
{
    QStyle* style = QApplication::style();
    m_markIcon = style->standardIcon(QStyle::SP_DialogApplyButton);
    m_expiredIcon = style->standardIcon(QStyle::SP_MessageBoxCritical);
    m_shortIcon = style->standardIcon(QStyle::SP_MessageBoxWarning);
}

VsdListModel::~VsdListModel()
{
    // A search index still being read is waited for: it reads the data folder.
    if (m_index.valid())
        m_index.wait();
}

bool VsdListModel::setScope(const VsdListScope& scope, const QString& mask, const VsdSort& sort)
{
    const bool newScope = !m_rangeCache.valid || !sameScope(scope, m_scope);
    if (newScope)
        m_rangeCache.valid = false;
    m_scope = scope;
    m_maskText = mask;
    m_mask = SearchMask(mask);
    m_sort = sort;
    // The first rows are read before the index starts reading beside them.
    const bool ok = reload();
    if (newScope)
        buildIndex();
    return ok;
}

bool VsdListModel::refresh()
{
    // The table may have changed: its key order and its index are read again.
    m_rangeCache.valid = false;
    const bool ok = reload();
    buildIndex();
    return ok;
}

void VsdListModel::buildIndex()
{
    if (m_index.valid())
        m_index.wait();
    m_index = std::async(std::launch::async, &VsdSearchIndex::build, m_dataFolder, m_scope).share();
}

const VsdSearchIndex* VsdListModel::searchIndex() const
{
    if (!m_index.valid())
        return nullptr;
    const std::shared_ptr<const VsdSearchIndex>& index = m_index.get();
    return index && index->covers(m_scope) ? index.get() : nullptr;
}

bool VsdListModel::reload()
{
    beginResetModel();
    m_cache.clear();
    m_cacheOrder.clear();
    bool ok = true;
    if (!m_table.isOpen() && m_table.open() != store::kOk)
        ok = false;
    // The index answers a mask once it is read; a mask typed while it is
    // still being read waits for it rather than reading the table twice.
    const VsdSearchIndex* maskIndex = m_mask.empty() ? nullptr : searchIndex();
    if (ok &&
        readVsdListRows(m_table, m_scope, m_mask, m_sort, m_rows, &m_rangeCache, maskIndex) != store::kOk)
        ok = false;
    if (!ok)
        m_rows.clear();
    endResetModel();
    return ok;
}

int VsdListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int VsdListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(vsdColumns().size());
}

const store::VsdRecord* VsdListModel::record(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return nullptr;
    const std::int64_t id = m_rows[static_cast<std::size_t>(row)];
    if (const auto it = m_cache.find(id); it != m_cache.end())
        return &it->second;
    auto& table = const_cast<store::TypedTable<store::VsdRecord>&>(m_table);
    if (table.readRow(id) != store::kOk)
        return nullptr;
    if (m_cache.size() >= kCachedRecords) {
        m_cache.erase(m_cacheOrder.front());
        m_cacheOrder.pop_front();
    }
    m_cacheOrder.push_back(id);
    return &(m_cache[id] = table.rec());
}

std::string VsdListModel::uuidAt(int row) const
{
    const store::VsdRecord* r = record(row);
    return r ? std::string(store::textOf(r->UUID)) : std::string();
}

int VsdListModel::rowOfUuid(const std::string& uuid, std::int64_t rowIdHint) const
{
    // The row id of a row met before finds it without reading every record.
    if (rowIdHint != 0) {
        const auto it = std::find(m_rows.begin(), m_rows.end(), rowIdHint);
        if (it != m_rows.end()) {
            const int row = static_cast<int>(it - m_rows.begin());
            if (uuidAt(row) == uuid)
                return row;
        }
    }
    for (int row = 0; row < rowCount(); ++row)
        if (uuidAt(row) == uuid)
            return row;
    return -1;
}

QVariant VsdListModel::data(const QModelIndex& index, int role) const
{
    const store::VsdRecord* r = record(index.row());
    if (!r)
        return {};
    const int column = index.column();
    const VsdColumn& c = vsdColumns()[static_cast<std::size_t>(column)];
    switch (role) {
    case Qt::DisplayRole:
        return c.kind == ColumnKind::Text ? vsdColumnText(column, *r) : QVariant();
    case Qt::DecorationRole:
        if (c.kind == ColumnKind::SelectionIcon)
            return m_selection.contains(std::string(store::textOf(r->UUID))) ? m_markIcon : QVariant();
        if (c.kind == ColumnKind::ExpiryIcon)
            return r->MARK == 1 ? m_expiredIcon : r->MARK == 2 ? m_shortIcon : QVariant();
        return {};
    case Qt::ForegroundRole:
    case kHighlightedForegroundRole: {
        const QColor colour = vsdColumnColour(column, *r, role == kHighlightedForegroundRole);
        return colour.isValid() ? QVariant(colour) : QVariant();
    }
    case kMarkBackgroundRole:
        if (c.kind != ColumnKind::SelectionIcon)
            return {};
        if (!m_anchor.empty() && store::textOf(r->UUID) == m_anchor)
            return QColor(255, 128, 128);
        return QApplication::palette().color(QPalette::Window);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (c.rightAligned ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

QVariant VsdListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const VsdColumn& c = vsdColumns()[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole)
        return QString::fromUtf16(c.header);
    if (role == Qt::UserRole)
        return QString::fromUtf16(c.group);
    if (role == Qt::ToolTipRole)
        return QStringLiteral("Список входящих ВСД  [ ПРОБЕЛ ] - выбор одной записи в списке, [ F8 ] - выбор "
                              "диапазона записей");
    return {};
}

void VsdListModel::marksChanged(int row)
{
    if (rowCount() == 0)
        return;
    const int first = row < 0 ? 0 : row;
    const int last = row < 0 ? rowCount() - 1 : row;
    Q_EMIT dataChanged(index(first, 0), index(last, 0), {Qt::DecorationRole, kMarkBackgroundRole});
}

void VsdListModel::setAnchor(int row)
{
    m_anchor = uuidAt(row);
    m_anchorRowId = m_anchor.empty() ? 0 : m_rows[static_cast<std::size_t>(row)];
    marksChanged();
}

void VsdListModel::clearAnchor()
{
    m_anchor.clear();
    m_anchorRowId = 0;
    marksChanged();
}

bool VsdListModel::markAll(MarkAll how)
{
    const auto mark = [&](const std::string& uuid) {
        switch (how) {
        case MarkAll::Select:
            m_selection.add(uuid);
            break;
        case MarkAll::Deselect:
            m_selection.remove(uuid);
            break;
        case MarkAll::Invert:
            m_selection.toggle(uuid);
            break;
        }
    };
    if (const VsdSearchIndex* found = searchIndex()) {
        found->forEachMatching(m_mask, [&](std::string_view uuid) { mark(std::string(uuid)); });
        marksChanged();
        return true;
    }
    if (!m_table.isOpen() && m_table.open() != store::kOk)
        return false;
    const int code = forEachVsdInScope(m_table, m_scope, m_mask, mark);
    marksChanged();
    return code == store::kOk;
}

VsdListModel::RangeResult VsdListModel::markRange(int row)
{
    const std::string current = uuidAt(row);
    if (m_anchor.empty()) {
        setAnchor(row);
        return RangeResult::AnchorSet;
    }
    const std::string anchor = m_anchor;
    const std::int64_t anchorRowId = m_anchorRowId;
    m_anchor.clear();
    m_anchorRowId = 0;
    if (anchor == current) {
        m_selection.toggle(current);
        marksChanged();
        return RangeResult::SameRow;
    }
    const int from = rowOfUuid(anchor, anchorRowId);
    if (from < 0) {
        marksChanged();
        return RangeResult::AnchorMissing;
    }
    // The walk from the anchor that reaches the current row.
    const bool forward = from < row;
    for (int r = from;; r += forward ? 1 : -1) {
        m_selection.toggle(uuidAt(r));
        if (r == row)
            break;
    }
    marksChanged();
    return RangeResult::Toggled;
}

} // namespace workspace::ui
