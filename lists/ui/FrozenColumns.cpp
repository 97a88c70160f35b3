// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/ui/FrozenColumns.h"

#include "lists/ui/ListHeaderView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <QWheelEvent>

namespace lists::ui {

FrozenColumns::FrozenColumns(QTableView* list)
    : QObject(list)
    , m_listObject(list)
{
    if (!list)
        return;
    list->installEventFilter(this);
    QHeaderView* header = list->horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, &FrozenColumns::scheduleRefresh);
    connect(header, &QHeaderView::sectionMoved, this, &FrozenColumns::scheduleRefresh);
    connect(header, &QHeaderView::geometriesChanged, this, &FrozenColumns::scheduleRefresh);
    connect(list->verticalHeader(), &QHeaderView::sectionResized, this, [this](int row, int, int size) {
        if (view())
            view()->setRowHeight(row, size);
    });
}

QTableView* FrozenColumns::overlay() const
{
    return view() && view()->isVisibleTo(list()) ? view() : nullptr;
}

int FrozenColumns::frozenWidth() const
{
    const QHeaderView& header = *list()->horizontalHeader();
    const int fixed = std::min(fixedColumnCount(header), header.count());
    int width = 0;
    for (int visual = 0; visual < fixed; ++visual) {
        const int logical = header.logicalIndex(visual);
        if (!header.isSectionHidden(logical))
            width += header.sectionSize(logical);
    }
    return width;
}

void FrozenColumns::scheduleRefresh()
{
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    QMetaObject::invokeMethod(this, &FrozenColumns::refresh, Qt::QueuedConnection);
}

void FrozenColumns::refresh()
{
    m_refreshPending = false;
    if (!list())
        return;
    QHeaderView& header = *list()->horizontalHeader();
    const int width = frozenWidth();
    if (width <= 0 || !paintsHeaderTextColours(header) || !list()->model()) {
        if (view())
            view()->hide();
        return;
    }
    if (!view()) {
        auto* overlay = new QTableView(list());
        overlay->setObjectName(QStringLiteral("FROZENCOLUMNS"));
        overlay->setFocusPolicy(Qt::NoFocus);
        overlay->setFrameShape(QFrame::NoFrame);
        overlay->horizontalHeader()->hide();
        overlay->verticalHeader()->hide();
        overlay->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        overlay->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        overlay->viewport()->installEventFilter(this);
        m_overlayObject = overlay;
        QScrollBar* listBar = list()->verticalScrollBar();
        connect(listBar, &QScrollBar::valueChanged, overlay->verticalScrollBar(), &QScrollBar::setValue);
        connect(overlay->verticalScrollBar(), &QScrollBar::valueChanged, listBar, &QScrollBar::setValue);
    }
    QTableView& overlay = *view();
    if (overlay.model() != list()->model())
        overlay.setModel(list()->model());
    if (overlay.selectionModel() != list()->selectionModel())
        overlay.setSelectionModel(list()->selectionModel());
    overlay.setItemDelegate(list()->itemDelegate());
    for (int column = 0; column < header.count(); ++column)
        overlay.setItemDelegateForColumn(column, list()->itemDelegateForColumn(column));
    overlay.setSelectionBehavior(list()->selectionBehavior());
    overlay.setVerticalScrollMode(list()->verticalScrollMode());
    overlay.setShowGrid(list()->showGrid());
    overlay.setFont(list()->font());
    overlay.setPalette(list()->palette());
    overlay.setStyleSheet(list()->styleSheet());
    overlay.setWordWrap(list()->wordWrap());
    overlay.setAlternatingRowColors(list()->alternatingRowColors());
    QHeaderView& rows = *overlay.verticalHeader();
    rows.setMinimumSectionSize(list()->verticalHeader()->minimumSectionSize());
    rows.setDefaultSectionSize(list()->verticalHeader()->defaultSectionSize());

    // The fixed columns in the list's order, every other one hidden.
    QHeaderView& columns = *overlay.horizontalHeader();
    const int fixed = fixedColumnCount(header);
    for (int visual = 0; visual < header.count(); ++visual) {
        const int logical = header.logicalIndex(visual);
        if (const int from = columns.visualIndex(logical); from != visual)
            columns.moveSection(from, visual);
        const bool shown = visual < fixed && !header.isSectionHidden(logical);
        columns.setSectionHidden(logical, !shown);
        if (shown)
            columns.resizeSection(logical, header.sectionSize(logical));
    }
    overlay.verticalScrollBar()->setValue(list()->verticalScrollBar()->value());
    placeOverlay();
    overlay.show();
    overlay.raise();
    header.viewport()->update();
}

void FrozenColumns::placeOverlay()
{
    if (!view() || !list())
        return;
    const QRect area = list()->viewport()->geometry();
    view()->setGeometry(area.left(), area.top(), std::min(frozenWidth(), area.width()), area.height());
}

bool FrozenColumns::eventFilter(QObject* watched, QEvent* event)
{
    if (!list())
        return false;
    if (watched == list()) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)
            placeOverlay();
        return false;
    }
    if (!view() || watched != view()->viewport() || m_forwarding)
        return false;
    // The overlay's columns lie where the list's first columns lie unscrolled:
    // the list gets the event at the same place of its content.
    const int shift = list()->horizontalHeader()->offset();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF at = mouse->position() - QPointF(shift, 0);
        QMouseEvent moved(mouse->type(), at, list()->viewport()->mapToGlobal(at), mouse->button(),
                          mouse->buttons(), mouse->modifiers());
        QScrollBar* bar = list()->horizontalScrollBar();
        const int scrolled = bar->value();
        m_forwarding = true;
        QApplication::sendEvent(list()->viewport(), &moved);
        m_forwarding = false;
        // A click on a fixed column does not scroll the list to it.
        if (list())
            list()->horizontalScrollBar()->setValue(scrolled);
        return true;
    }
    case QEvent::Wheel: {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const QPointF at = wheel->position() - QPointF(shift, 0);
        QWheelEvent moved(at, list()->viewport()->mapToGlobal(at), wheel->pixelDelta(), wheel->angleDelta(),
                          wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted());
        QApplication::sendEvent(list()->viewport(), &moved);
        return true;
    }
    case QEvent::ContextMenu: {
        const auto* menu = static_cast<QContextMenuEvent*>(event);
        QContextMenuEvent moved(menu->reason(), menu->pos() - QPoint(shift, 0), menu->globalPos(),
                                menu->modifiers());
        QApplication::sendEvent(list()->viewport(), &moved);
        return true;
    }
    default:
        return false;
    }
}

} // namespace lists::ui
