// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "framework/MessageBox.h"

#include <QDialog>
#include <vector>

class QTreeWidget;

// "Errors History": the messages the error manager kept, oldest first.
namespace framework::ui {

class HistoryDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit HistoryDialog(const std::vector<HistoryEntry>& entries, QWidget* parent = nullptr);
    int rowCount() const;
    QString rowText(int row, int column) const;

private:
    QTreeWidget* m_list;
};

} // namespace framework::ui
