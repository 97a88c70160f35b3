// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/PackCalculator.h"

#include <cmath>

namespace lists {

namespace {

constexpr int kCalcMaxDigits = 15;

int significantDigits(const QString& entry)
{
    int digits = 0;
    bool leading = true;
    for (QChar c : entry) {
        if (!c.isDigit())
            continue;
        if (leading && c == u'0')
            continue;
        leading = false;
        ++digits;
    }
    return digits;
}

double entryValue(const QString& entry)
{
    bool ok = false;
    const double v = entry.toDouble(&ok);
    return ok ? v : 0.0; // "", "-", "0." and the like read as 0
}

} // namespace

PackCalculator::PackCalculator(double value, double packSize)
    : m_packSize(std::isfinite(packSize) ? packSize : 0.0)
{
    if (!std::isfinite(value) || !setEdited(value))
        m_total = std::isfinite(value) ? value : 0.0;
}

double PackCalculator::value(CalcField field) const
{
    switch (field) {
    case CalcField::Packs:
        return m_packs;
    case CalcField::Pieces:
        return m_pieces;
    case CalcField::Total:
        break;
    }
    return m_total;
}

bool PackCalculator::setEdited(double value)
{
    if (value == 0.0)
        value = 0.0; // no "-0"
    double packs = m_packs;
    double pieces = m_pieces;
    double total = m_total;
    switch (m_field) {
    case CalcField::Packs:
        packs = value;
        total = packs * m_packSize + pieces;
        break;
    case CalcField::Pieces:
        pieces = value;
        total = packs * m_packSize + pieces;
        break;
    case CalcField::Total:
        total = value;
        // Without a pack size packs and pieces say nothing about the total.
        if (m_packSize != 0.0) {
            packs = std::trunc(total / m_packSize) + 0.0;
            pieces = std::trunc(std::fmod(total, m_packSize)) + 0.0;
        }
        break;
    }
    if (!std::isfinite(packs) || !std::isfinite(pieces) || !std::isfinite(total))
        return false;
    m_packs = packs;
    m_pieces = pieces;
    m_total = total;
    return true;
}

void PackCalculator::selectField(CalcField field)
{
    m_field = field;
    m_pending = CalcOperation::None;
    m_entry.clear();
    m_typing = false;
}

void PackCalculator::appendToEntry(QChar c)
{
    if (!m_typing) {
        m_entry.clear();
        m_typing = true;
    }
    if (c == u'.') {
        if (m_entry.contains(u'.'))
            return;
        if (m_entry.isEmpty() || m_entry == u'-')
            m_entry += u'0';
    } else {
        if (significantDigits(m_entry) >= kCalcMaxDigits)
            return;
        // "0" followed by a digit is that digit.
        if (m_entry == u'0')
            m_entry.clear();
        else if (m_entry == QStringLiteral("-0"))
            m_entry.chop(1);
    }
    m_entry += c;
    if (m_pending == CalcOperation::None && !setEdited(entryValue(m_entry)))
        m_entry.chop(1);
}

void PackCalculator::typeDigit(int digit)
{
    if (digit < 0 || digit > 9)
        return;
    appendToEntry(QChar(u'0' + digit));
}

void PackCalculator::typeDecimalPoint()
{
    appendToEntry(u'.');
}

void PackCalculator::toggleSign()
{
    if (m_pending != CalcOperation::None) {
        // The operand of the pending operation; before its first digit the
        // sign starts it.
        if (!m_typing) {
            m_entry.clear();
            m_typing = true;
        }
        if (m_entry.startsWith(u'-'))
            m_entry.remove(0, 1);
        else
            m_entry.prepend(u'-');
        return;
    }
    setEdited(-value(m_field)); // a change of sign keeps every field finite
    if (m_typing) {
        if (m_entry.startsWith(u'-'))
            m_entry.remove(0, 1);
        else
            m_entry.prepend(u'-');
    }
}

void PackCalculator::clear()
{
    m_pending = CalcOperation::None;
    m_entry.clear();
    m_typing = false;
    setEdited(0.0);
}

QString PackCalculator::fieldText(CalcField field) const
{
    if (field == m_field && m_pending == CalcOperation::None && m_typing)
        return m_entry;
    return calcNumberText(value(field));
}

CalcOutcome PackCalculator::operation(CalcOperation op)
{
    CalcOutcome outcome = CalcOutcome::Done;
    if (m_pending != CalcOperation::None && m_typing) {
        const double a = value(m_field);
        const double b = entryValue(m_entry);
        double result = a;
        switch (m_pending) {
        case CalcOperation::Add:
            result = a + b;
            break;
        case CalcOperation::Subtract:
            result = a - b;
            break;
        case CalcOperation::Multiply:
            result = a * b;
            break;
        case CalcOperation::Divide:
            if (b == 0.0)
                outcome = CalcOutcome::DivisionByZero;
            else
                result = a / b;
            break;
        case CalcOperation::None:
            break;
        }
        if (outcome == CalcOutcome::Done && (!std::isfinite(result) || !setEdited(result)))
            outcome = CalcOutcome::OutOfRange;
        if (outcome != CalcOutcome::Done)
            op = CalcOperation::None;
    }
    // An operation key pressed right after another one replaces it.
    m_pending = op;
    m_entry.clear();
    m_typing = false;
    return outcome;
}

QString calcNumberText(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    if (std::fabs(value) >= 1e15)
        return QString::number(value, 'g', 15);
    QString text = QString::number(value, 'f', 10);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    if (text == QStringLiteral("-0"))
        text = QStringLiteral("0");
    return text;
}

} // namespace lists
