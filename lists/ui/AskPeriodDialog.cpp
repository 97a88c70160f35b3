// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/ui/AskPeriodDialog.h"

#include "ui_AskPeriodDialog.h"

#include "framework/ui/WindowPlacementUi.h"
#include "lists/ui/CalendarBigDialog.h"
#include "lists/ui/DialogFont.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QSettings>

namespace lists::ui {

namespace {

const QString kAskPeriodWindowId = QStringLiteral("AskPeriod");

} // namespace

AskPeriodDialog::AskPeriodDialog(int mode, const PeriodChoice& choice, const QDate& today, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<::Ui::AskPeriodDialog>())
    , m_mode(mode)
    , m_today(today)
{
    m_ui->setupUi(this);

    m_kinds = new QButtonGroup(this);
    QRadioButton* const kindButtons[kPeriodKindCount] = {m_ui->KIND1, m_ui->KIND2, m_ui->KIND3, m_ui->KIND4,
                                                         m_ui->KIND5, m_ui->KIND6, m_ui->KIND7, m_ui->KIND8,
                                                         m_ui->KIND9, m_ui->KIND10};
    for (int kind = 1; kind <= kPeriodKindCount; ++kind) {
        kindButtons[kind - 1]->setText(periodKindText(kind, m_today));
        m_kinds->addButton(kindButtons[kind - 1], kind);
    }
    for (int month = 1; month <= 12; ++month)
        m_ui->MONTH->addItem(periodMonthText(month), month);
    for (int quarter = 1; quarter <= 4; ++quarter)
        m_ui->QUARTER->addItem(periodQuarterText(quarter), quarter);
    m_ui->YEAR->setRange(kStoredYearFirst, kStoredYearLast);
    // The dialog offers only what it can remember and read back.
    m_ui->DATE->setDateRange(kStoredDateFirst, kStoredDateLast);
    m_ui->BCANCEL->setAutoDefault(false);
    m_ui->BCALEND->setAutoRaise(false);

    showChoice(choice);

    connect(m_kinds, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            refresh();
    });
    connect(m_ui->DATE, &QDateEdit::dateChanged, this, &AskPeriodDialog::refresh);
    connect(m_ui->MONTH, &QComboBox::currentIndexChanged, this, &AskPeriodDialog::refresh);
    connect(m_ui->QUARTER, &QComboBox::currentIndexChanged, this, &AskPeriodDialog::refresh);
    connect(m_ui->YEAR, &QSpinBox::valueChanged, this, &AskPeriodDialog::refresh);
    connect(m_ui->BCALEND, &QToolButton::clicked, this, &AskPeriodDialog::pickDateFromCalendar);
    connect(m_ui->BOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->BCANCEL, &QPushButton::clicked, this, &QDialog::reject);

    useUiFontSize(*this);
    adjustSize();
    framework::ui::restoreWindowPlacement(*this, kAskPeriodWindowId);
    if (QAbstractButton* checked = m_kinds->checkedButton())
        checked->setFocus();
}

AskPeriodDialog::~AskPeriodDialog() = default;

void AskPeriodDialog::showChoice(const PeriodChoice& choice)
{
    const QSignalBlocker blockKinds(m_kinds);
    const QSignalBlocker blockDate(m_ui->DATE);
    const QSignalBlocker blockMonth(m_ui->MONTH);
    const QSignalBlocker blockQuarter(m_ui->QUARTER);
    const QSignalBlocker blockYear(m_ui->YEAR);
    if (QAbstractButton* b = m_kinds->button(choice.kind))
        b->setChecked(true);
    else
        m_ui->KIND1->setChecked(true);
    m_ui->DATE->setDate(choice.date.isValid() ? choice.date : m_today);
    m_ui->MONTH->setCurrentIndex(m_ui->MONTH->findData(choice.month));
    m_ui->QUARTER->setCurrentIndex(m_ui->QUARTER->findData(choice.quarter));
    m_ui->YEAR->setValue(choice.year);
    refresh();
}

PeriodChoice AskPeriodDialog::choice() const
{
    PeriodChoice c;
    c.kind = m_kinds->checkedId() > 0 ? m_kinds->checkedId() : kPeriodToday;
    c.month = m_ui->MONTH->currentData().isValid() ? m_ui->MONTH->currentData().toInt() : m_today.month();
    c.quarter = m_ui->QUARTER->currentData().isValid() ? m_ui->QUARTER->currentData().toInt()
                                                       : quarterOfMonth(c.month);
    c.year = m_ui->YEAR->value();
    c.date = m_ui->DATE->date();
    return c;
}

Period AskPeriodDialog::period() const
{
    return periodOf(choice(), m_today);
}

void AskPeriodDialog::refresh()
{
    const PeriodChoice c = choice();
    m_ui->DATE->setEnabled(c.kind == kPeriodDay);
    m_ui->BCALEND->setEnabled(c.kind == kPeriodDay);
    m_ui->MONTH->setEnabled(c.kind == kPeriodMonth);
    m_ui->QUARTER->setEnabled(c.kind == kPeriodQuarter);
    m_ui->YEAR->setEnabled(c.kind == kPeriodMonth || c.kind == kPeriodQuarter || c.kind == kPeriodYear);
    m_ui->BOK->setText(periodConfirmText(c, m_mode, m_today));
    m_ui->DAYS->setText(periodDayCountText(c, m_today));
}

void AskPeriodDialog::pickDateFromCalendar()
{
    CalendarBigDialog calendar(m_ui->DATE->date(), m_today, this);
    if (calendar.exec() == QDialog::Accepted && calendar.date().isValid())
        m_ui->DATE->setDate(calendar.date()); // the field keeps it within its range
}

void AskPeriodDialog::done(int result)
{
    framework::ui::saveWindowPlacement(*this, kAskPeriodWindowId);
    QDialog::done(result);
}

int askPeriod(QWidget* parent, int mode, QDate& from, QDate& to, QSettings& settings, QDate today)
{
    AskPeriodDialog dialog(mode, readPeriodChoice(settings, today), today, parent);
    if (dialog.exec() != QDialog::Accepted)
        return kPeriodCancelled;

    const PeriodChoice chosen = dialog.choice();
    int result = kPeriodSwitchedOff;
    if (!switchesPeriodOff(chosen, mode)) {
        const Period p = periodOf(chosen, today);
        from = p.from;
        to = p.to;
        result = kPeriodChosen;
    }
    writePeriodChoice(settings, chosen);
    return result;
}

} // namespace lists::ui
