// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Driving a modal dialog from a test: the action runs once the dialog of type
// D is up; a dialog the action left open (a failed assertion) is cancelled,
// so that the test goes on.
namespace liststest {

template <typename D>
void whenShown(std::function<void(D&)> act)
{
    auto* timer = new QTimer(qApp);
    timer->setObjectName(QStringLiteral("whenShown"));
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, qApp, [timer, act] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        act(*dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    timer->start();
}

} // namespace liststest
