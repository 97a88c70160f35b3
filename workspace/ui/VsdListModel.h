// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "store/Table.h"
#include "store/tables/Vsd.h"
#include "workspace/SearchMask.h"
#include "workspace/VsdListScope.h"
#include "workspace/VsdSearchIndex.h"
#include "workspace/VsdSelection.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <future>
#include <list>
#include <memory>
#include <unordered_map>
#include <vector>

namespace store {
class Session;
}

// The incoming VSD list over m_VSD. It keeps the row ids of its rows, in the
// list's order, and reads a record only when a row is shown, so a journal of
// a hundred thousand VSDs costs a few hundred kilobytes; the records of the
// rows shown last are cached. The marks live in a set of UUIDs.
namespace workspace::ui {

class VsdListModel final : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The colour of a cell's text while its row is the current one.
    static constexpr int kHighlightedForegroundRole = Qt::UserRole + 1;
    // The background of the first column (it ignores the highlight bar).
    static constexpr int kMarkBackgroundRole = Qt::UserRole + 2;

    // dataFolder: where the search index reads the table beside the window.
    VsdListModel(store::Session& session, QString dataFolder, QObject* parent = nullptr);
    ~VsdListModel() override;

    // Shows the rows of a scope, mask and order; false (and an empty list)
    // when the table could not be read.
    bool setScope(const VsdListScope& scope, const QString& mask, const VsdSort& sort);
    // Re-reads the rows after the table changed.
    bool refresh();
    const VsdListScope& scope() const { return m_scope; }
    const VsdSort& sortOrder() const { return m_sort; }
    const QString& mask() const { return m_maskText; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The record of a row; nullptr when it can no longer be read.
    const store::VsdRecord* record(int row) const;
    std::string uuidAt(int row) const;
    int rowOfUuid(const std::string& uuid, std::int64_t rowIdHint = 0) const;

    // Waits until the search index of the scope is read (it is read beside
    // the window after each read of the range).
    void waitForSearchIndex() const { static_cast<void>(searchIndex()); }

    VsdSelection& selection() { return m_selection; }
    const VsdSelection& selection() const { return m_selection; }
    // Shows a change of the marks of some rows (or of all, row -1).
    void marksChanged(int row = -1);

    // The F8 anchor: its UUID, empty when none.
    const std::string& anchor() const { return m_anchor; }
    void setAnchor(int row);
    void clearAnchor();

    // Every VSD of the scope that passes the mask: add, remove or toggle.
    enum class MarkAll
    {
        Select,
        Deselect,
        Invert
    };
    bool markAll(MarkAll how);

    // F8 from the anchor to `row`: toggles the UUIDs from one to the other,
    // both included, walking first in the direction that worked last time.
    enum class RangeResult
    {
        AnchorSet,
        SameRow,
        Toggled,
        AnchorMissing,
    };
    RangeResult markRange(int row);

private:
    bool reload();
    // Starts reading the search index of the scope beside the window.
    void buildIndex();
    // The index of the scope when there is one (waits for it while it is read).
    const VsdSearchIndex* searchIndex() const;

    store::TypedTable<store::VsdRecord> m_table;
    QString m_dataFolder;
    VsdRangeCache m_rangeCache;
    std::shared_future<std::shared_ptr<const VsdSearchIndex>> m_index;
    VsdListScope m_scope;
    VsdSort m_sort;
    QString m_maskText;
    SearchMask m_mask;
    std::vector<std::int64_t> m_rows;
    VsdSelection m_selection;
    std::string m_anchor;
    std::int64_t m_anchorRowId = 0;

    // The records of the rows shown last, by row id, the oldest first out.
    mutable std::unordered_map<std::int64_t, store::VsdRecord> m_cache;
    mutable std::list<std::int64_t> m_cacheOrder;
    QIcon m_markIcon;
    QIcon m_expiredIcon;
    QIcon m_shortIcon;
};

} // namespace workspace::ui
