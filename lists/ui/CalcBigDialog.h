// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "lists/PackCalculator.h"

#include <QDialog>
#include <memory>

class QButtonGroup;
class QPushButton;

namespace Ui {
class CalcBigDialog;
}

// The calculator of the numeric fields (CalcBig, "Калькулятор"): packs of a
// pack size plus pieces give the total, a keypad edits the chosen field.
namespace lists::ui {

class CalcBigDialog final : public QDialog
{
    Q_OBJECT
public:
    CalcBigDialog(double value, double packSize, QWidget* parent = nullptr);
    ~CalcBigDialog() override;

    const PackCalculator& calculator() const { return m_calc; }

    // Enter applies a pending operation before the dialog closes; a refused
    // one (division by zero) keeps the dialog open.
    void accept() override;
    // Closing remembers the window's placement.
    void done(int result) override;

protected:
    // The keyboard's digits, point, comma and operation keys work as the
    // keypad's.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* digitButton(int digit) const; // 0..9
    void operation(CalcOperation op);
    // Runs a keypad command that cannot be refused and shows the result.
    void edit(void (PackCalculator::*command)());
    void refresh();

    std::unique_ptr<::Ui::CalcBigDialog> m_ui;
    QButtonGroup* m_fields = nullptr;
    PackCalculator m_calc;
    CalcOutcome m_outcome = CalcOutcome::Done; // of the last operation
};

// Lets the user compute a quantity from packs of `packSize` and pieces,
// starting from the total `value`. Returns the total he confirms, or `value`
// unchanged when he cancels; `accepted`, when given, tells which.
double calcBig(QWidget* parent, double value, double packSize, bool* accepted = nullptr);

} // namespace lists::ui
