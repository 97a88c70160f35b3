// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QDialog>
#include <QIcon>

#include <memory>

namespace Ui {
class SelectMarkDialog;
}

// The mark dialog of the dictionaries window (SelectMark): which of the four
// flags the current or the selected records get, an inversion, or no mark.
namespace workspace::ui {

class SelectMarkDialog final : public QDialog
{
    Q_OBJECT
public:
    // selected: the number of selected records; 0 asks about the current one.
    explicit SelectMarkDialog(int selected, QWidget* parent = nullptr);
    ~SelectMarkDialog() override;

    // 1..4 a flag, 5 inversion, 6 no mark, 0 nothing (workspace::MarkAnswer).
    int answer() const { return m_answer; }

    void done(int result) override;

private:
    std::unique_ptr<::Ui::SelectMarkDialog> m_ui;
    int m_answer = 0;
};

// The icon of flag 1..4 as the dictionaries list and this dialog show it; a
// null icon for no mark.
QIcon markIcon(int mark);

// Shows the dialog modally and returns its answer (0 when closed with "Нет"
// or ESC).
int selectMark(QWidget* parent, int selected);

} // namespace workspace::ui
