// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QHeaderView>

// What a list's format adds to its header: a text colour per column (a palette
// index) and the number of leading columns fixed against horizontal
// scrolling. Both are kept on the header itself, whatever its class, so that
// the layout text carries them; a ListHeaderView paints the colours.
namespace lists::ui {

// The palette index of the column's header text; 0 when it has none.
int headerTextColour(const QHeaderView& header, int logicalIndex);
void setHeaderTextColour(QHeaderView& header, int logicalIndex, int paletteIndex);
// Every column back to the header's own text colour.
void clearHeaderTextColours(QHeaderView& header);
// Whether the header paints the colours (a ListHeaderView does).
bool paintsHeaderTextColours(const QHeaderView& header);

// The number of leading columns (in display order) fixed in place.
int fixedColumnCount(const QHeaderView& header);
void setFixedColumnCount(QHeaderView& header, int count);

// A header that draws each column's caption in its header text colour and
// keeps its fixed leading sections in place while the list scrolls
// horizontally (clicks on them reach those sections).
class ListHeaderView : public QHeaderView
{
    Q_OBJECT
public:
    explicit ListHeaderView(Qt::Orientation orientation, QWidget* parent = nullptr);

    // The width the fixed sections take at the left edge.
    int fixedSectionsWidth() const;

protected:
    // Where a section is painted: its place in the viewport, or its unscrolled
    // place while a fixed section is painted over the scrolled ones.
    int paintedSectionPosition(int logicalIndex) const;

    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    // Whether the point lies on a fixed section drawn over the scrolled ones.
    bool onFixedSection(const QPointF& at) const;
    // The event moved to where the section lies in the scrolled header.
    QMouseEvent unscrolled(const QMouseEvent& event) const;

    bool m_paintingFixed = false;
};

} // namespace lists::ui
