// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/ui/HistoryDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace framework::ui {

HistoryDialog::HistoryDialog(const std::vector<HistoryEntry>& entries, QWidget* parent)
    : QDialog(parent)
    , m_list(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("Errors History"));
    setObjectName(QStringLiteral("ErrorsHistory"));
    m_list->setObjectName(QStringLiteral("HistoryList"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels(
        {QStringLiteral("Категория"), QStringLiteral("Уровень"), QStringLiteral("Сообщение")});
    for (const HistoryEntry& e : entries) {
        auto* item = new QTreeWidgetItem(m_list);
        item->setText(0, e.category);
        item->setText(1, QString::number(e.level));
        item->setText(2, displayText(e.text).replace(u'\n', u' '));
        item->setToolTip(2, displayText(e.text));
    }
    m_list->header()->setStretchLastSection(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QStringLiteral("&1. Закрыть"), QDialogButtonBox::RejectRole);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(640, 320);
}

int HistoryDialog::rowCount() const
{
    return m_list->topLevelItemCount();
}

QString HistoryDialog::rowText(int row, int column) const
{
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    return item ? item->text(column) : QString();
}

} // namespace framework::ui
