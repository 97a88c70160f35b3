// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/ui/ListHeaderView.h"

#include "lists/Palette.h"

#include <QColor>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>
#include <QVariant>

#include <algorithm>
#include <optional>

namespace lists::ui {

namespace {

const char* const kHeaderColoursProperty = "zanvoHeaderTextColours";
const char* const kFixedColumnsProperty = "zanvoFixedColumns";

QList<int> headerColours(const QHeaderView& header)
{
    return header.property(kHeaderColoursProperty).value<QList<int>>();
}

void storeHeaderColours(QHeaderView& header, const QList<int>& colours)
{
    header.setProperty(kHeaderColoursProperty, QVariant::fromValue(colours));
    header.viewport()->update();
}

} // namespace

int headerTextColour(const QHeaderView& header, int logicalIndex)
{
    const QList<int> colours = headerColours(header);
    return logicalIndex >= 0 && logicalIndex < colours.size() ? colours[logicalIndex] : 0;
}

void setHeaderTextColour(QHeaderView& header, int logicalIndex, int paletteIndex)
{
    if (logicalIndex < 0 || logicalIndex >= header.count())
        return;
    QList<int> colours = headerColours(header);
    if (colours.size() < header.count())
        colours.resize(header.count(), 0);
    colours[logicalIndex] = paletteIndex >= 0 && paletteIndex < kPaletteSize ? paletteIndex : 0;
    storeHeaderColours(header, colours);
}

void clearHeaderTextColours(QHeaderView& header)
{
    if (!headerColours(header).isEmpty())
        storeHeaderColours(header, {});
}

bool paintsHeaderTextColours(const QHeaderView& header)
{
    return qobject_cast<const ListHeaderView*>(&header) != nullptr;
}

int fixedColumnCount(const QHeaderView& header)
{
    return header.property(kFixedColumnsProperty).toInt();
}

void setFixedColumnCount(QHeaderView& header, int count)
{
    header.setProperty(kFixedColumnsProperty, std::clamp(count, 0, header.count()));
    header.viewport()->update();
}

ListHeaderView::ListHeaderView(Qt::Orientation orientation, QWidget* parent)
    : QHeaderView(orientation, parent)
{}

void ListHeaderView::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const
{
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    const std::optional<quint32> colour = paletteColour(headerTextColour(*this, logicalIndex));
    if (!colour)
        return;
    const Rgb rgb = rgbOfColour(*colour);
    option->palette.setColor(QPalette::ButtonText, QColor(rgb.red, rgb.green, rgb.blue));
}

int ListHeaderView::fixedSectionsWidth() const
{
    if (orientation() != Qt::Horizontal)
        return 0;
    const int fixed = std::min(fixedColumnCount(*this), count());
    int width = 0;
    for (int visual = 0; visual < fixed; ++visual) {
        const int logical = logicalIndex(visual);
        if (!isSectionHidden(logical))
            width += sectionSize(logical);
    }
    return width;
}

int ListHeaderView::paintedSectionPosition(int logicalIndex) const
{
    return m_paintingFixed ? sectionPosition(logicalIndex) : sectionViewportPosition(logicalIndex);
}

bool ListHeaderView::onFixedSection(const QPointF& at) const
{
    return offset() > 0 && at.x() < fixedSectionsWidth();
}

QMouseEvent ListHeaderView::unscrolled(const QMouseEvent& event) const
{
    const QPointF at = event.position() - QPointF(offset(), 0);
    return QMouseEvent(event.type(), at, viewport()->mapToGlobal(at), event.button(), event.buttons(),
                       event.modifiers());
}

void ListHeaderView::paintEvent(QPaintEvent* event)
{
    QHeaderView::paintEvent(event);
    if (offset() <= 0 || fixedSectionsWidth() <= 0)
        return;
    // The fixed sections once more, over the scrolled ones, where they lie
    // unscrolled.
    QPainter painter(viewport());
    m_paintingFixed = true;
    const int fixed = std::min(fixedColumnCount(*this), count());
    int left = 0;
    for (int visual = 0; visual < fixed; ++visual) {
        const int logical = logicalIndex(visual);
        if (isSectionHidden(logical))
            continue;
        const QRect rect(left, 0, sectionSize(logical), viewport()->height());
        painter.fillRect(rect, palette().button());
        painter.save();
        painter.setClipRect(rect);
        paintSection(&painter, rect, logical);
        painter.restore();
        left += rect.width();
    }
    m_paintingFixed = false;
}

void ListHeaderView::mousePressEvent(QMouseEvent* event)
{
    if (!onFixedSection(event->position()))
        return QHeaderView::mousePressEvent(event);
    QMouseEvent moved = unscrolled(*event);
    QHeaderView::mousePressEvent(&moved);
}

void ListHeaderView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!onFixedSection(event->position()))
        return QHeaderView::mouseReleaseEvent(event);
    QMouseEvent moved = unscrolled(*event);
    QHeaderView::mouseReleaseEvent(&moved);
}

void ListHeaderView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!onFixedSection(event->position()))
        return QHeaderView::mouseDoubleClickEvent(event);
    QMouseEvent moved = unscrolled(*event);
    QHeaderView::mouseDoubleClickEvent(&moved);
}

void ListHeaderView::mouseMoveEvent(QMouseEvent* event)
{
    if (!onFixedSection(event->position()))
        return QHeaderView::mouseMoveEvent(event);
    QMouseEvent moved = unscrolled(*event);
    QHeaderView::mouseMoveEvent(&moved);
}

} // namespace lists::ui
