// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/ui/CalcBigDialog.h"

#include "ui_CalcBigDialog.h"

#include "framework/ui/WindowPlacementUi.h"
#include "lists/ui/DialogFont.h"

#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>

namespace lists::ui {

namespace {

const QString kCalcBigWindowId = QStringLiteral("CalcBig");

QString operationSign(CalcOperation op)
{
    switch (op) {
    case CalcOperation::Add:
        return QStringLiteral("+");
    case CalcOperation::Subtract:
        return QStringLiteral("-");
    case CalcOperation::Multiply:
        return QStringLiteral("*");
    case CalcOperation::Divide:
        return QStringLiteral("/");
    case CalcOperation::None:
        break;
    }
    return {};
}

} // namespace

CalcBigDialog::CalcBigDialog(double value, double packSize, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<::Ui::CalcBigDialog>())
    , m_calc(value, packSize)
{
    m_ui->setupUi(this);
    m_ui->PACKSR->setText(QStringLiteral("Фасовка (") + calcNumberText(m_calc.packSize()) +
                          QStringLiteral(")"));

    m_fields = new QButtonGroup(this);
    m_fields->addButton(m_ui->PACKSR, static_cast<int>(CalcField::Packs));
    m_fields->addButton(m_ui->PIECESR, static_cast<int>(CalcField::Pieces));
    m_fields->addButton(m_ui->TOTALR, static_cast<int>(CalcField::Total));
    m_ui->TOTALR->setChecked(true);
    connect(m_fields, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked)
            return;
        m_calc.selectField(static_cast<CalcField>(id));
        m_outcome = CalcOutcome::Done;
        refresh();
    });

    for (int digit = 0; digit < 10; ++digit) {
        connect(digitButton(digit), &QPushButton::clicked, this, [this, digit] {
            m_calc.typeDigit(digit);
            m_outcome = CalcOutcome::Done;
            refresh();
        });
    }
    connect(m_ui->BPOINT, &QPushButton::clicked, this, [this] { edit(&PackCalculator::typeDecimalPoint); });
    connect(m_ui->BSIGN, &QPushButton::clicked, this, [this] { edit(&PackCalculator::toggleSign); });
    connect(m_ui->BCLEAR, &QPushButton::clicked, this, [this] { edit(&PackCalculator::clear); });
    connect(m_ui->BADD, &QPushButton::clicked, this, [this] { operation(CalcOperation::Add); });
    connect(m_ui->BSUB, &QPushButton::clicked, this, [this] { operation(CalcOperation::Subtract); });
    connect(m_ui->BMUL, &QPushButton::clicked, this, [this] { operation(CalcOperation::Multiply); });
    connect(m_ui->BDIV, &QPushButton::clicked, this, [this] { operation(CalcOperation::Divide); });
    connect(m_ui->BOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->BCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    m_ui->BOK->setDefault(true);

    refresh();
    useUiFontSize(*this);
    adjustSize();
    framework::ui::restoreWindowPlacement(*this, kCalcBigWindowId);
    m_ui->TOTALR->setFocus();
}

CalcBigDialog::~CalcBigDialog() = default;

QPushButton* CalcBigDialog::digitButton(int digit) const
{
    QPushButton* const digits[10] = {m_ui->BDIGIT0, m_ui->BDIGIT1, m_ui->BDIGIT2, m_ui->BDIGIT3,
                                     m_ui->BDIGIT4, m_ui->BDIGIT5, m_ui->BDIGIT6, m_ui->BDIGIT7,
                                     m_ui->BDIGIT8, m_ui->BDIGIT9};
    return digits[digit];
}

void CalcBigDialog::operation(CalcOperation op)
{
    m_outcome = m_calc.operation(op);
    if (m_outcome != CalcOutcome::Done)
        QApplication::beep();
    refresh();
}

void CalcBigDialog::edit(void (PackCalculator::*command)())
{
    (m_calc.*command)();
    m_outcome = CalcOutcome::Done;
    refresh();
}

void CalcBigDialog::refresh()
{
    m_ui->PACKS->setText(m_calc.fieldText(CalcField::Packs));
    m_ui->PIECES->setText(m_calc.fieldText(CalcField::Pieces));
    m_ui->TOTAL->setText(m_calc.fieldText(CalcField::Total));
    // A refused operation leaves the field as it was and says why.
    if (m_outcome == CalcOutcome::DivisionByZero)
        m_ui->OPERATION->setText(QStringLiteral("Деление на ноль невозможно"));
    else if (m_outcome == CalcOutcome::OutOfRange)
        m_ui->OPERATION->setText(QStringLiteral("Слишком большое число"));
    else if (m_calc.pendingOperation() == CalcOperation::None)
        m_ui->OPERATION->clear();
    else
        m_ui->OPERATION->setText(operationSign(m_calc.pendingOperation()) + QLatin1Char(' ') +
                                 m_calc.operandText());
}

void CalcBigDialog::accept()
{
    operation(CalcOperation::None);
    if (m_outcome != CalcOutcome::Done)
        return;
    QDialog::accept();
}

void CalcBigDialog::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    if (text.size() == 1 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const QChar c = text.front();
        if (c >= u'0' && c <= u'9') {
            digitButton(c.unicode() - u'0')->click();
            return;
        }
        if (c == u'.' || c == u',') {
            m_ui->BPOINT->click();
            return;
        }
        const struct
        {
            char16_t key;
            CalcOperation op;
        } keys[] = {{u'+', CalcOperation::Add},
                    {u'-', CalcOperation::Subtract},
                    {u'*', CalcOperation::Multiply},
                    {u'/', CalcOperation::Divide}};
        for (const auto& k : keys) {
            if (c == k.key) {
                operation(k.op);
                return;
            }
        }
    }
    if (event->key() == Qt::Key_Delete) {
        m_ui->BCLEAR->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CalcBigDialog::done(int result)
{
    framework::ui::saveWindowPlacement(*this, kCalcBigWindowId);
    QDialog::done(result);
}

double calcBig(QWidget* parent, double value, double packSize, bool* accepted)
{
    CalcBigDialog dialog(value, packSize, parent);
    const bool ok = dialog.exec() == QDialog::Accepted;
    if (accepted)
        *accepted = ok;
    return ok ? dialog.calculator().total() : value;
}

} // namespace lists::ui
