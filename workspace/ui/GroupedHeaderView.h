// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "lists/ui/ListHeaderView.h"

// A horizontal header of two lines: the group of a run of neighbouring
// columns above (the model's Qt::UserRole header data), each column's own
// header below. The sort column's header is coloured by its direction; the
// captions take the header colours of the list's format.
namespace workspace::ui {

class GroupedHeaderView final : public lists::ui::ListHeaderView
{
    Q_OBJECT
public:
    explicit GroupedHeaderView(QWidget* parent = nullptr);

    // The column the list is sorted by (-1: the key's order) and the direction.
    void setSortColumn(int logicalIndex, bool descending);

protected:
    QSize sectionSizeFromContents(int logicalIndex) const override;
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    QString groupOf(int logicalIndex) const;

    int m_sortColumn = -1;
    bool m_descending = false;
};

} // namespace workspace::ui
