// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QColor>
#include <QLabel>

// A text that works as a link: blue at rest, red while the mouse is over it,
// and activated by a left click or by Space / Enter when it has the focus.
namespace vetis::ui {

class HoverLinkLabel final : public QLabel
{
    Q_OBJECT
public:
    explicit HoverLinkLabel(const QString& text, QWidget* parent = nullptr);

    static QColor restColor() { return QColor(0, 0, 255); }
    static QColor hoverColor() { return QColor(255, 0, 0); }
    QColor textColor() const;

Q_SIGNALS:
    void activated();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setTextColor(const QColor& color);
};

} // namespace vetis::ui
