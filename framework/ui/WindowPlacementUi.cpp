// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/ui/WindowPlacementUi.h"

#include "framework/WindowPositions.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace framework::ui {

void restoreWindowPlacement(QWidget& window, const QString& windowId, QRect area)
{
    if (!windowpositions::remembers(windowId))
        return;
    const WindowPlacement p = windowpositions::load(windowId);
    if (!area.isValid()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            area = screen->availableGeometry();
    }
    QRect rect = window.geometry();
    if (p.x)
        rect.moveLeft(*p.x);
    if (p.y)
        rect.moveTop(*p.y);
    if (p.width && *p.width > 0)
        rect.setWidth(*p.width);
    if (p.height && *p.height > 0)
        rect.setHeight(*p.height);
    if (p.x || p.y || p.width || p.height)
        window.setGeometry(windowpositions::fitIntoArea(rect, area));

    Qt::WindowStates states = window.windowState() & ~(Qt::WindowMaximized | Qt::WindowMinimized);
    if (p.maximized.value_or(window.isMaximized()))
        states |= Qt::WindowMaximized;
    if (p.minimized.value_or(window.isMinimized()))
        states |= Qt::WindowMinimized;
    window.setWindowState(states);
}

void saveWindowPlacement(const QWidget& window, const QString& windowId)
{
    if (!windowpositions::remembers(windowId))
        return;
    WindowPlacement p;
    p.maximized = window.isMaximized();
    p.minimized = window.isMinimized();
    // A maximised or minimised window reports the placement it returns to.
    const QRect rect =
        (window.isMaximized() || window.isMinimized()) ? window.normalGeometry() : window.geometry();
    if (!rect.isNull()) {
        p.x = rect.x();
        p.y = rect.y();
    }
    if (rect.isValid() && !rect.isEmpty()) {
        p.width = rect.width();
        p.height = rect.height();
    }
    windowpositions::save(windowId, p);
}

} // namespace framework::ui
