// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "lists/PeriodChoice.h"

#include <QDate>
#include <QDialog>
#include <memory>

class QButtonGroup;
class QSettings;

namespace Ui {
class AskPeriodDialog;
}

// The period dialog of the incoming VSD list (AskPeriod).
namespace lists::ui {

class AskPeriodDialog final : public QDialog
{
    Q_OBJECT
public:
    // Opens on `choice`; `mode` says how kind 10 is taken (PeriodMode).
    AskPeriodDialog(int mode, const PeriodChoice& choice, const QDate& today, QWidget* parent = nullptr);
    ~AskPeriodDialog() override;

    // The choice as the controls show it.
    PeriodChoice choice() const;
    // The period the choice gives today.
    Period period() const;

    // Closing remembers the window's placement.
    void done(int result) override;

private:
    void showChoice(const PeriodChoice& choice);
    void refresh();
    void pickDateFromCalendar();

    std::unique_ptr<::Ui::AskPeriodDialog> m_ui;
    QButtonGroup* m_kinds = nullptr;
    int m_mode = kPeriodModeWholeRange;
    QDate m_today;
};

// Lets the user choose the period, starting from the choice remembered in
// `settings`. Returns kPeriodChosen with `from` and `to` set, kPeriodSwitchedOff
// (mode 2 and kind "Все"; `from` and `to` unchanged) or kPeriodCancelled. A
// confirmed choice is remembered in `settings`; a cancelled one is not.
int askPeriod(QWidget* parent, int mode, QDate& from, QDate& to, QSettings& settings,
              QDate today = QDate::currentDate());

} // namespace lists::ui
