// SPDX-License-Identifier: LicenseRef-Kestrom
#include "vetis/ui/TransferProgress.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QProgressBar>
#include <algorithm>

namespace vetis::ui {

namespace {
// Often enough for the window to feel alive, rarely enough to cost nothing.
constexpr qint64 kPumpIntervalMs = 40;
} // namespace

TransferProgress::TransferProgress(QProgressBar* bar, QAbstractButton* cancel)
    : m_bar(bar)
    , m_cancel(cancel)
{
    if (m_cancel) {
        m_cancelWasEnabled = m_cancel->isEnabled();
        m_cancel->setEnabled(true);
        m_clicked =
            QObject::connect(m_cancel, &QAbstractButton::clicked, m_cancel, [this] { m_cancelled = true; });
    }
    if (m_bar) {
        m_bar->setRange(0, 100);
        m_bar->setValue(0);
    }
    m_sincePump.start();
}

TransferProgress::~TransferProgress()
{
    QObject::disconnect(m_clicked);
    if (m_cancel)
        m_cancel->setEnabled(m_cancelWasEnabled);
}

void TransferProgress::setProgress(int value)
{
    if (m_bar)
        m_bar->setValue(std::clamp(value, 0, 100));
    pumpEvents();
}

bool TransferProgress::cancelRequested() const
{
    pumpEvents();
    return m_cancelled;
}

void TransferProgress::pumpEvents() const
{
    if (m_sincePump.elapsed() < kPumpIntervalMs)
        return;
    m_sincePump.restart();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

} // namespace vetis::ui
