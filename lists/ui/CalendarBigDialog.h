// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QDate>
#include <QDialog>
#include <memory>

namespace Ui {
class CalendarBigDialog;
}

// The big date dialog (CalendarBig, "Изменить дату ?"): the date spelt out
// and stepped by day, month and year.
namespace lists::ui {

class CalendarBigDialog final : public QDialog
{
    Q_OBJECT
public:
    // `date` may be null: the dialog then shows a form to fill in.
    CalendarBigDialog(const QDate& date, const QDate& today, QWidget* parent = nullptr);
    ~CalendarBigDialog() override;

    QDate date() const { return m_date; }

    // Closing remembers the window's placement.
    void done(int result) override;

private:
    void setDate(const QDate& date);

    std::unique_ptr<::Ui::CalendarBigDialog> m_ui;
    QDate m_date;
    QDate m_today;
};

// The date the user confirms, or `date` unchanged when he cancels.
QDate calendarBig(QWidget* parent, QDate date);

} // namespace lists::ui
