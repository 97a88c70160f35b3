// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "workspace/VsdCardTexts.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class PurposePicker;
}
namespace store {
class Session;
}

// The choice of a cargo purpose among the entries stored locally.
namespace workspace::ui {

class PurposePicker final : public QDialog
{
    Q_OBJECT
public:
    explicit PurposePicker(std::vector<ReferenceChoice> entries, QWidget* parent = nullptr);
    ~PurposePicker() override;

    // The entry under the cursor; nothing when the list is empty.
    std::optional<ReferenceChoice> current() const;

    void done(int result) override;

private:
    std::unique_ptr<::Ui::PurposePicker> m_ui;
    std::vector<ReferenceChoice> m_entries;
};

// Shows the purposes stored in `session`; the chosen one, or nothing.
std::optional<ReferenceChoice> chooseLocalPurpose(QWidget* parent, store::Session& session);

} // namespace workspace::ui
