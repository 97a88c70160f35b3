// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QObject>
#include <QString>
#include <QWidget>

// Controls are addressed by their name in the window ("LOC:ENTITYNAME",
// "BRequest", ...), which is their object name.
namespace framework::ui {

template <typename T = QWidget>
T* control(const QObject* window, const QString& name)
{
    if (!window)
        return nullptr;
    if (window->objectName() == name)
        return qobject_cast<T*>(const_cast<QObject*>(window));
    return window->findChild<T*>(name);
}

// Gives a new control its name and returns it, so windows can build and name
// in one expression.
template <typename T>
T* named(T* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

} // namespace framework::ui
