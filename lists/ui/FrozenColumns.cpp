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
    , m_list(list)
{
    if (!list)
        return;
    list->installEventFilter(this);
    QHeaderView* header = list->horizontalHeader();
    connect(header, &QHeaderView::sectionResized, this, &FrozenColumns::refresh);
    connect(header, &QHeaderView::sectionMoved, this, &FrozenColumns::refresh);
    connect(header, &QHeaderView::geometriesChanged, this, &FrozenColumns::refresh);
    connect(list->verticalHeader(), &QHeaderView::sectionResized, this, [this](int row, int, int size) {
        if (m_overlay)
            m_overlay->setRowHeight(row, size);
    });
}

QTableView* FrozenColumns::overlay() const
{
    return m_overlay && m_overlay->isVisibleTo(m_list) ? m_overlay.data() : nullptr;
}

int FrozenColumns::frozenWidth() const
{
    const QHeaderView& header = *m_list->horizontalHeader();
    const int fixed = std::min(fixedColumnCount(header), header.count());
    int width = 0;
    for (int visual = 0; visual < fixed; ++visual) {
        const int logical = header.logicalIndex(visual);
        if (!header.isSectionHidden(logical))
            width += header.sectionSize(logical);
    }
    return width;
}

void FrozenColumns::refresh()
{
    if (!m_list)
        return;
    QHeaderView& header = *m_list->horizontalHeader();
    const int width = frozenWidth();
    if (width <= 0 || !paintsHeaderTextColours(header) || !m_list->model()) {
        if (m_overlay)
            m_overlay->hide();
        return;
    }
    if (!m_overlay) {
        auto* overlay = new QTableView(m_list);
        overlay->setObjectName(QStringLiteral("FROZENCOLUMNS"));
        overlay->setFocusPolicy(Qt::NoFocus);
        overlay->setFrameShape(QFrame::NoFrame);
        overlay->horizontalHeader()->hide();
        overlay->verticalHeader()->hide();
        overlay->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        overlay->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        overlay->viewport()->installEventFilter(this);
        m_overlay = overlay;
        QScrollBar* listBar = m_list->verticalScrollBar();
        connect(listBar, &QScrollBar::valueChanged, overlay->verticalScrollBar(), &QScrollBar::setValue);
        connect(overlay->verticalScrollBar(), &QScrollBar::valueChanged, listBar, &QScrollBar::setValue);
    }
    QTableView& overlay = *m_overlay;
    if (overlay.model() != m_list->model())
        overlay.setModel(m_list->model());
    if (overlay.selectionModel() != m_list->selectionModel())
        overlay.setSelectionModel(m_list->selectionModel());
    overlay.setItemDelegate(m_list->itemDelegate());
    for (int column = 0; column < header.count(); ++column)
        overlay.setItemDelegateForColumn(column, m_list->itemDelegateForColumn(column));
    overlay.setSelectionBehavior(m_list->selectionBehavior());
    overlay.setVerticalScrollMode(m_list->verticalScrollMode());
    overlay.setShowGrid(m_list->showGrid());
    overlay.setFont(m_list->font());
    overlay.setPalette(m_list->palette());
    overlay.setStyleSheet(m_list->styleSheet());
    overlay.setWordWrap(m_list->wordWrap());
    overlay.setAlternatingRowColors(m_list->alternatingRowColors());
    QHeaderView& rows = *overlay.verticalHeader();
    rows.setMinimumSectionSize(m_list->verticalHeader()->minimumSectionSize());
    rows.setDefaultSectionSize(m_list->verticalHeader()->defaultSectionSize());

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
    overlay.verticalScrollBar()->setValue(m_list->verticalScrollBar()->value());
    placeOverlay();
    overlay.show();
    overlay.raise();
    header.viewport()->update();
}

void FrozenColumns::placeOverlay()
{
    if (!m_overlay || !m_list)
        return;
    const QRect area = m_list->viewport()->geometry();
    m_overlay->setGeometry(area.left(), area.top(), std::min(frozenWidth(), area.width()), area.height());
}

bool FrozenColumns::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_list)
        return false;
    if (watched == m_list) {
        if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)
            placeOverlay();
        return false;
    }
    if (!m_overlay || watched != m_overlay->viewport() || m_forwarding)
        return false;
    // The overlay's columns lie where the list's first columns lie unscrolled:
    // the list gets the event at the same place of its content.
    const int shift = m_list->horizontalHeader()->offset();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPointF at = mouse->position() - QPointF(shift, 0);
        QMouseEvent moved(mouse->type(), at, m_list->viewport()->mapToGlobal(at), mouse->button(),
                          mouse->buttons(), mouse->modifiers());
        QScrollBar* bar = m_list->horizontalScrollBar();
        const int scrolled = bar->value();
        m_forwarding = true;
        QApplication::sendEvent(m_list->viewport(), &moved);
        m_forwarding = false;
        // A click on a fixed column does not scroll the list to it.
        if (m_list)
            m_list->horizontalScrollBar()->setValue(scrolled);
        return true;
    }
    case QEvent::Wheel: {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const QPointF at = wheel->position() - QPointF(shift, 0);
        QWheelEvent moved(at, m_list->viewport()->mapToGlobal(at), wheel->pixelDelta(), wheel->angleDelta(),
                          wheel->buttons(), wheel->modifiers(), wheel->phase(), wheel->inverted());
        QApplication::sendEvent(m_list->viewport(), &moved);
        return true;
    }
    case QEvent::ContextMenu: {
        const auto* menu = static_cast<QContextMenuEvent*>(event);
        QContextMenuEvent moved(menu->reason(), menu->pos() - QPoint(shift, 0), menu->globalPos(),
                                menu->modifiers());
        QApplication::sendEvent(m_list->viewport(), &moved);
        return true;
    }
    default:
        return false;
    }
}

} // namespace lists::ui
