// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

#include <vector>

class QAbstractButton;
class QProgressBar;
class QWidget;

namespace vetis {
class ExchangeRunner;
}

// A window's part in a run: while the runner works, the window's progress bar
// shows how far the answer has come, its cancel button stops the run, and the
// window's commands that must not start meanwhile are disabled; when the run
// ends, everything is given back as it was. Create the binding before the
// window connects its own handler of the result, so that the window is whole
// again when its handler runs.
namespace vetis::ui {

class ExchangeRunBinding final : public QObject
{
    Q_OBJECT
public:
    // bar and cancel may be null; a hidden bar or button is shown for the
    // length of a run. conflicting: the commands that wait for the run.
    ExchangeRunBinding(ExchangeRunner& runner, QProgressBar* bar, QAbstractButton* cancel,
                       const QList<QWidget*>& conflicting, QObject* parent = nullptr);

private:
    void runStarted();
    void showProgress(int value);
    void runFinished();

    struct SavedState
    {
        QPointer<QWidget> widget;
        bool enabled = false;
        bool hidden = false;
        bool showsDuringRun = false; // the bar and the cancel button
    };
    void save(QWidget* widget, bool showsDuringRun);

    ExchangeRunner& m_runner;
    QPointer<QProgressBar> m_bar;
    QPointer<QAbstractButton> m_cancel;
    QList<QPointer<QWidget>> m_conflicting;
    std::vector<SavedState> m_saved;
};

} // namespace vetis::ui
