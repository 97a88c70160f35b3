// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/ui/CalendarBigDialog.h"

#include "ui_CalendarBigDialog.h"

#include "framework/ui/WindowPlacementUi.h"
#include "lists/CalendarDates.h"
#include "lists/ui/DialogFont.h"
#include "platform/Dates.h"

namespace lists::ui {

namespace {

const QString kCalendarBigWindowId = QStringLiteral("CalendarBig");

} // namespace

CalendarBigDialog::CalendarBigDialog(const QDate& date, const QDate& today, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<::Ui::CalendarBigDialog>())
    , m_today(today)
{
    m_ui->setupUi(this);
    useUiFontSize(*this);
    QFont big = font();
    big.setPointSize(font().pointSize() * 2);
    big.setBold(true);
    m_ui->CAPTION->setFont(big);

    const auto step = [this](DateStepUnit unit, int delta) {
        return [this, unit, delta] { setDate(stepCalendarBigDate(m_date, unit, delta, m_today)); };
    };
    connect(m_ui->BDAYBACK, &QToolButton::clicked, this, step(DateStepUnit::Day, -1));
    connect(m_ui->BDAYNEXT, &QToolButton::clicked, this, step(DateStepUnit::Day, 1));
    connect(m_ui->BMONTHBACK, &QToolButton::clicked, this, step(DateStepUnit::Month, -1));
    connect(m_ui->BMONTHNEXT, &QToolButton::clicked, this, step(DateStepUnit::Month, 1));
    connect(m_ui->BYEARBACK, &QToolButton::clicked, this, step(DateStepUnit::Year, -1));
    connect(m_ui->BYEARNEXT, &QToolButton::clicked, this, step(DateStepUnit::Year, 1));
    connect(m_ui->BTODAY, &QPushButton::clicked, this,
            [this] { setDate(stepCalendarBigDate(m_today, DateStepUnit::Day, 0, m_today)); });
    connect(m_ui->BYES, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->BNO, &QPushButton::clicked, this, &QDialog::reject);
    m_ui->BYES->setDefault(true);
    m_ui->BTODAY->setAutoDefault(false);
    m_ui->BNO->setAutoDefault(false);

    // A date brought in from outside the dialog's dates is shown as it is;
    // the first step brings it in.
    setDate(date);
    adjustSize();
    framework::ui::restoreWindowPlacement(*this, kCalendarBigWindowId);
    m_ui->BYES->setFocus();
}

CalendarBigDialog::~CalendarBigDialog() = default;

void CalendarBigDialog::setDate(const QDate& date)
{
    m_date = date;
    m_ui->CAPTION->setText(calendarBigCaption(m_date));
}

void CalendarBigDialog::done(int result)
{
    framework::ui::saveWindowPlacement(*this, kCalendarBigWindowId);
    QDialog::done(result);
}

QDate calendarBig(QWidget* parent, QDate date)
{
    CalendarBigDialog dialog(date, platform::currentDateTime().date(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return date;
    return dialog.date();
}

} // namespace lists::ui
