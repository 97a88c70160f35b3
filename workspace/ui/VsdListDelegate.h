// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QStyledItemDelegate>

// Paints the incoming list's cells: coloured texts change colour on the
// highlighted row, and the first column keeps its own background (the range
// anchor's colour, or the window's) under the highlight bar.
namespace workspace::ui {

class VsdListDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
};

} // namespace workspace::ui
