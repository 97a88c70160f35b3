// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QString>

// The calculator behind the numeric fields (CalcBig): a quantity kept as packs
// of a given size plus pieces, and their total. The keypad edits one of the
// three fields; the other two follow it.
namespace lists {

enum class CalcField
{
    Packs,
    Pieces,
    Total,
};

// What became of an operation.
enum class CalcOutcome
{
    Done,
    DivisionByZero, // refused
    OutOfRange,     // refused: the result is too large for a number
};

enum class CalcOperation
{
    None,
    Add,
    Subtract,
    Multiply,
    Divide,
};

class PackCalculator
{
public:
    // Starts on the total `value`; packs and pieces are taken from it when the
    // pack size is not 0, else they are 0.
    PackCalculator(double value, double packSize);

    double packSize() const { return m_packSize; }
    double packs() const { return m_packs; }
    double pieces() const { return m_pieces; }
    double total() const { return m_total; }
    double value(CalcField field) const;

    CalcField editedField() const { return m_field; }
    // Switches the keypad to another field; a pending operation is dropped
    // and the next digit starts a new number.
    void selectField(CalcField field);

    // Typing: without a pending operation the digits replace the edited
    // field's value (the first digit starts a new number); with one they make
    // its operand. Digits beyond the 15 significant ones a double keeps are
    // ignored.
    void typeDigit(int digit);
    void typeDecimalPoint();
    // Changes the sign of the number being typed, or of the field's value.
    void toggleSign();
    // Clears the edited field to 0 and drops a pending operation.
    void clear();

    // Applies the pending operation with the typed operand to the edited
    // field, then makes `op` the pending one. Division by zero, or a result
    // too large for a number, is refused: the field keeps its value and the
    // pending operation is dropped.
    CalcOutcome operation(CalcOperation op);
    // Applies the pending operation and leaves none pending (Enter).
    CalcOutcome finish() { return operation(CalcOperation::None); }

    // A field as the calculator shows it: the number being typed as typed
    // ("0." after the point), else its value (calcNumberText).
    QString fieldText(CalcField field) const;

    CalcOperation pendingOperation() const { return m_pending; }
    // The operand typed for the pending operation, as typed ("" before the
    // first digit).
    QString operandText() const { return m_pending == CalcOperation::None ? QString() : m_entry; }

private:
    // Sets the edited field and makes the others follow; false (nothing
    // changed) when a field would leave the range of numbers.
    bool setEdited(double value);
    void appendToEntry(QChar c);

    double m_packSize = 0;
    double m_packs = 0;
    double m_pieces = 0;
    double m_total = 0;
    CalcField m_field = CalcField::Total;
    CalcOperation m_pending = CalcOperation::None;
    QString m_entry;       // the number being typed ("" when none)
    bool m_typing = false; // the next digit extends m_entry rather than starting anew
};

// A value as the calculator shows it: no exponent, no trailing zeros, a point
// for the decimal separator ("12", "0.5", "-3.25").
QString calcNumberText(double value);

} // namespace lists
