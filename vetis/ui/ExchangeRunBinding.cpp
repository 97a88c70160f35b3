// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/ui/ExchangeRunBinding.h"

#include "vetis/ExchangeRunner.h"

#include <QAbstractButton>
#include <QProgressBar>
#include <QWidget>

#include <algorithm>

namespace vetis::ui {

ExchangeRunBinding::ExchangeRunBinding(ExchangeRunner& runner, QProgressBar* bar, QAbstractButton* cancel,
                                       const QList<QWidget*>& conflicting, QObject* parent)
    : QObject(parent)
    , m_runner(runner)
    , m_bar(bar)
    , m_cancel(cancel)
{
    for (QWidget* w : conflicting)
        m_conflicting.append(w);
    connect(&runner, &ExchangeRunner::started, this, &ExchangeRunBinding::runStarted);
    connect(&runner, &ExchangeRunner::progressChanged, this, &ExchangeRunBinding::showProgress);
    connect(&runner, &ExchangeRunner::finished, this, &ExchangeRunBinding::runFinished);
    if (m_cancel)
        connect(m_cancel, &QAbstractButton::clicked, this, [this] {
            m_runner.cancel();
            // Pressed once is enough; the run ends as soon as the worker sees it.
            if (m_cancel)
                m_cancel->setEnabled(false);
        });
}

void ExchangeRunBinding::save(QWidget* widget, bool showsDuringRun)
{
    if (widget)
        m_saved.push_back({widget, widget->isEnabled(), widget->isHidden(), showsDuringRun});
}

void ExchangeRunBinding::runStarted()
{
    m_saved.clear();
    for (const QPointer<QWidget>& w : m_conflicting) {
        save(w, false);
        if (w)
            w->setEnabled(false);
    }
    save(m_bar, true);
    if (m_bar) {
        m_bar->setRange(0, 100);
        m_bar->setValue(0);
        m_bar->setVisible(true);
    }
    save(m_cancel, true);
    if (m_cancel) {
        m_cancel->setEnabled(true);
        m_cancel->setVisible(true);
    }
}

void ExchangeRunBinding::showProgress(int value)
{
    if (m_bar)
        m_bar->setValue(std::clamp(value, 0, 100));
}

void ExchangeRunBinding::runFinished()
{
    for (const SavedState& s : m_saved) {
        if (!s.widget)
            continue;
        s.widget->setEnabled(s.enabled);
        if (s.showsDuringRun)
            s.widget->setHidden(s.hidden);
    }
    m_saved.clear();
    if (m_bar)
        m_bar->setValue(0);
}

} // namespace vetis::ui
