// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "vetis/RequestRecord.h"

#include <QElapsedTimer>
#include <QPointer>

class QAbstractButton;
class QProgressBar;

// The calling window's part in a transfer: its progress bar shows how far the
// answer has come, and its cancel button stops the transfer. The exchange runs
// on the window's thread, so while it waits this control keeps the window
// alive by letting it process its events a few times a second. The caller
// disables its other commands for the length of the call, so that nothing else
// starts meanwhile.
namespace vetis::ui {

class TransferProgress final : public TransferControl
{
public:
    // Either may be null. The button is enabled for the length of the object.
    TransferProgress(QProgressBar* bar, QAbstractButton* cancel);
    ~TransferProgress() override;
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;

    void setProgress(int value) override;
    bool cancelRequested() const override;

private:
    void pumpEvents() const;

    QPointer<QProgressBar> m_bar;
    QPointer<QAbstractButton> m_cancel;
    bool m_cancelWasEnabled = false;
    mutable bool m_cancelled = false;
    mutable QElapsedTimer m_sincePump;
    QMetaObject::Connection m_clicked;
};

} // namespace vetis::ui
