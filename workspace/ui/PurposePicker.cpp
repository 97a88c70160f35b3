// SPDX-License-Identifier: LicenseRef-Kestrom
#include "workspace/ui/PurposePicker.h"

#include "ui_PurposePicker.h"

#include "framework/ui/WindowPlacementUi.h"
#include "lists/ui/DialogFont.h"

namespace workspace::ui {

namespace {

const QString kPurposePickerWindowId = QStringLiteral("Form_VSD_Purpose");

} // namespace

PurposePicker::PurposePicker(std::vector<ReferenceChoice> entries, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<::Ui::PurposePicker>())
    , m_entries(std::move(entries))
{
    m_ui->setupUi(this);
    for (const ReferenceChoice& e : m_entries)
        m_ui->LIST->addItem(e.name);
    if (!m_entries.empty())
        m_ui->LIST->setCurrentRow(0);
    m_ui->BOK->setEnabled(!m_entries.empty());
    connect(m_ui->BOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->BCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_ui->LIST, &QListWidget::itemActivated, this, &QDialog::accept);
    lists::ui::useUiFontSize(*this);
    framework::ui::restoreWindowPlacement(*this, kPurposePickerWindowId);
}

PurposePicker::~PurposePicker() = default;

std::optional<ReferenceChoice> PurposePicker::current() const
{
    const int row = m_ui->LIST->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= m_entries.size())
        return std::nullopt;
    return m_entries[static_cast<std::size_t>(row)];
}

void PurposePicker::done(int result)
{
    framework::ui::saveWindowPlacement(*this, kPurposePickerWindowId);
    QDialog::done(result);
}

std::optional<ReferenceChoice> chooseLocalPurpose(QWidget* parent, store::Session& session)
{
    PurposePicker picker(localReferenceChoices(session, kPurposeKind), parent);
    if (picker.exec() != QDialog::Accepted)
        return std::nullopt;
    return picker.current();
}

} // namespace workspace::ui
