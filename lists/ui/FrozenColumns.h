// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QObject>
#include <QPointer>

class QTableView;

// Keeps the leading columns of a list (fixedColumnCount() of its header) in
// place while the list scrolls horizontally: a second view without headers
// lies over the list's left edge and shows those columns from the same model,
// selection and delegate, its rows scrolled with the list's. Mouse events on
// it go to the list itself, so that the list's own handling of clicks is the
// only one. The header (a ListHeaderView) draws its fixed sections itself.
namespace lists::ui {

class FrozenColumns final : public QObject
{
    Q_OBJECT
public:
    explicit FrozenColumns(QTableView* list);

    // Follows the list's fixed count, columns, widths and appearance.
    void refresh();
    // The same, once, when the event loop next runs: a run of changes to the
    // list's columns (a format applied, a zoom) costs one refresh.
    void scheduleRefresh();
    // The overlay, while it is shown; for tests.
    QTableView* overlay() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeOverlay();
    int frozenWidth() const;

    // The list and the overlay while they live as table views (not while
    // they are destroyed, when they still send events).
    QTableView* list() const { return qobject_cast<QTableView*>(m_listObject.data()); }
    QTableView* view() const { return qobject_cast<QTableView*>(m_overlayObject.data()); }

    QPointer<QObject> m_listObject;
    QPointer<QObject> m_overlayObject;
    bool m_forwarding = false;
    bool m_refreshPending = false;
};

} // namespace lists::ui
