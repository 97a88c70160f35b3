// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QDialog>
#include <memory>
#include <optional>

namespace Ui {
class MarkerDialog;
}

// The marker dialog (SelectMark, "Выбор маркера"): one button per palette
// entry for the colour fields of the list settings.
namespace lists::ui {

class MarkerDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit MarkerDialog(QWidget* parent = nullptr);
    ~MarkerDialog() override;

    // The palette index of the button pressed; none before one is.
    std::optional<int> chosen() const { return m_chosen; }

    // Closing remembers the window's placement.
    void done(int result) override;

private:
    std::unique_ptr<::Ui::MarkerDialog> m_ui;
    std::optional<int> m_chosen;
};

// The palette index 0..35 the user picks (0: "not set", the list keeps its own
// colour), or none when he cancels. The buttons are named MARKER0..MARKER35.
std::optional<int> chooseMarker(QWidget* parent);

} // namespace lists::ui
