// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/GroupedHeaderView.h"

#include <QPainter>

namespace workspace::ui {

GroupedHeaderView::GroupedHeaderView(QWidget* parent)
    : ListHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignCenter);
}

void GroupedHeaderView::setSortColumn(int logicalIndex, bool descending)
{
    m_sortColumn = logicalIndex;
    m_descending = descending;
    viewport()->update();
}

QString GroupedHeaderView::groupOf(int logicalIndex) const
{
    return model() ? model()->headerData(logicalIndex, orientation(), Qt::UserRole).toString() : QString();
}

QSize GroupedHeaderView::sectionSizeFromContents(int logicalIndex) const
{
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    size.setHeight(size.height() * 2);
    return size;
}

void GroupedHeaderView::paintSection(QPainter* painter, const QRect& rect, int section) const
{
    const QString group = groupOf(section);
    const int half = rect.height() / 2;
    QRect lower = rect;
    if (!group.isEmpty())
        lower.setTop(rect.top() + half);

    // The column's own header, coloured when the list is sorted by it.
    painter->save();
    QHeaderView::paintSection(painter, lower, section);
    painter->restore();
    if (section == m_sortColumn) {
        painter->save();
        painter->setCompositionMode(QPainter::CompositionMode_Multiply);
        painter->fillRect(lower.adjusted(1, 1, -1, -1),
                          m_descending ? QColor(224, 255, 255) : QColor(255, 224, 224));
        painter->restore();
    }
    if (group.isEmpty())
        return;

    // The group above: one caption across the run of neighbouring columns of
    // the same group, each section painting its own part of it.
    const int visual = visualIndex(section);
    int first = visual, last = visual;
    while (first > 0 && groupOf(logicalIndex(first - 1)) == group)
        --first;
    while (last < count() - 1 && groupOf(logicalIndex(last + 1)) == group)
        ++last;
    const int left = paintedSectionPosition(logicalIndex(first));
    const int right = paintedSectionPosition(logicalIndex(last)) + sectionSize(logicalIndex(last));
    const QRect span(left, rect.top(), right - left, half);
    painter->save();
    painter->setClipRect(QRect(rect.left(), rect.top(), rect.width(), half));
    painter->fillRect(span, palette().button());
    painter->setPen(palette().color(QPalette::Mid));
    painter->drawRect(span.adjusted(0, 0, -1, -1));
    painter->setPen(palette().color(QPalette::ButtonText));
    painter->drawText(span, Qt::AlignCenter, group);
    painter->restore();
}

} // namespace workspace::ui
