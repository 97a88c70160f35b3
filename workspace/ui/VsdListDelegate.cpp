// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/VsdListDelegate.h"

#include "workspace/ui/VsdListModel.h"

#include <QIcon>
#include <QPainter>

namespace workspace::ui {

void VsdListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    const QVariant markBackground = index.data(VsdListModel::kMarkBackgroundRole);
    if (markBackground.isValid()) {
        painter->fillRect(option.rect, markBackground.value<QColor>());
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        if (!icon.isNull())
            icon.paint(painter, option.rect.adjusted(2, 2, -2, -2), Qt::AlignCenter);
        return;
    }
    QStyleOptionViewItem opt = option;
    if (opt.state & QStyle::State_Selected) {
        const QVariant highlighted = index.data(VsdListModel::kHighlightedForegroundRole);
        if (highlighted.isValid())
            opt.palette.setColor(QPalette::HighlightedText, highlighted.value<QColor>());
    }
    QStyledItemDelegate::paint(painter, opt, index);
}

} // namespace workspace::ui
