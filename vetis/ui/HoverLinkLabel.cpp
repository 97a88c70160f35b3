// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/ui/HoverLinkLabel.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace vetis::ui {

HoverLinkLabel::HoverLinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    setTextColor(restColor());
}

QColor HoverLinkLabel::textColor() const
{
    return palette().color(QPalette::WindowText);
}

void HoverLinkLabel::setTextColor(const QColor& color)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
}

void HoverLinkLabel::enterEvent(QEnterEvent* event)
{
    setTextColor(hoverColor());
    QLabel::enterEvent(event);
}

void HoverLinkLabel::leaveEvent(QEvent* event)
{
    setTextColor(restColor());
    QLabel::leaveEvent(event);
}

void HoverLinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Q_EMIT activated();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void HoverLinkLabel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Q_EMIT activated();
        return;
    }
    QLabel::keyPressEvent(event);
}

} // namespace vetis::ui
