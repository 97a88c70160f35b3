// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "lists/CalendarDates.h"

#include <QDate>
#include <QDialog>
#include <array>
#include <memory>

class QMenu;

namespace Ui {
class CalendarDialog;
}

// The month calendar ("Календарь") from which the main window takes a date.
namespace lists::ui {

class CalendarDialog final : public QDialog
{
    Q_OBJECT
public:
    // Opens on `date`, or on today when it is null or outside the calendar.
    CalendarDialog(const QDate& date, const QDate& today, QWidget* parent = nullptr);
    ~CalendarDialog() override;

    QDate date() const { return m_date; }
    // The context menu (right button), with the commands' keys.
    QMenu* commandMenu() const { return m_menu; }

    void run(CalendarCommand command);

    // Closing remembers the window's placement.
    void done(int result) override;

private:
    void buildCommands();
    void setDate(const QDate& date);
    void showMonth();
    void takeCell(int row, int column);
    void takeMonthOrYear();

    std::unique_ptr<::Ui::CalendarDialog> m_ui;
    QMenu* m_menu = nullptr;
    std::array<QDate, kCalendarCells> m_grid;
    QDate m_date;
    QDate m_today;
    bool m_showing = false;
};

// Lets the user pick a date from the month calendar, starting on `date` (today
// when it has none). True with `date` set when he chooses one; false and
// `date` unchanged when he closes the calendar.
bool chooseDateFromCalendar(QWidget* parent, QDate& date);

} // namespace lists::ui
