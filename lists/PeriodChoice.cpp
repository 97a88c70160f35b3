// SPDX-License-Identifier: LicenseRef-Kestrom
#include "lists/PeriodChoice.h"

#include "lists/CalendarDates.h"
#include "platform/Dates.h"

#include <QSettings>
#include <algorithm>
#include <optional>

namespace lists {

namespace {

const char* const kPeriodKindTexts[kPeriodKindCount] = {
    "&1.  Сегодня",
    "&2.  С начала текущей декады",
    "&3.  С начала текущего месяца",
    "&4.  С начала текущего квартала",
    "&5.  С начала текущего года",
    "&6.  День",
    "&7.  Месяц",
    "&8.  Квартал",
    "&9.  Год",
    "&0.  Все",
};

QString periodValueName(int number)
{
    return QStringLiteral("AskPeriod%1_").arg(number);
}

std::optional<int> storedPeriodNumber(const QSettings& settings, int number)
{
    bool ok = false;
    const int n = settings.value(periodValueName(number)).toString().trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

QDate firstOfMonth(int year, int month)
{
    return QDate(year, month, 1);
}

QDate lastOfMonth(int year, int month)
{
    const QDate first = firstOfMonth(year, month);
    return QDate(year, month, first.daysInMonth());
}

QString periodDateText(const QDate& date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace

int quarterOfMonth(int month)
{
    if (month <= 3)
        return 1;
    if (month <= 6)
        return 2;
    if (month <= 9)
        return 3;
    return 4;
}

PeriodChoice periodChoiceForToday(const QDate& today)
{
    PeriodChoice c;
    c.kind = kPeriodToday;
    c.month = today.month();
    c.quarter = quarterOfMonth(today.month());
    c.year = today.year();
    c.date = today;
    return c;
}

Period periodOf(const PeriodChoice& choice, const QDate& today)
{
    switch (choice.kind) {
    case kPeriodDecadeToDate: {
        const int day = today.day() < 10 ? 1 : today.day() < 20 ? 10 : 20;
        return {QDate(today.year(), today.month(), day), today};
    }
    case kPeriodMonthToDate:
        return {firstOfMonth(today.year(), today.month()), today};
    case kPeriodQuarterToDate:
        return {firstOfMonth(today.year(), (quarterOfMonth(today.month()) - 1) * 3 + 1), today};
    case kPeriodYearToDate:
        return {firstOfMonth(today.year(), 1), today};
    case kPeriodDay: {
        const QDate day = choice.date.isValid() ? choice.date : today;
        return {day, day};
    }
    case kPeriodMonth: {
        const int month = std::clamp(choice.month, 1, 12);
        return {firstOfMonth(choice.year, month), lastOfMonth(choice.year, month)};
    }
    case kPeriodQuarter: {
        const int first = (std::clamp(choice.quarter, 1, 4) - 1) * 3 + 1;
        return {firstOfMonth(choice.year, first), lastOfMonth(choice.year, first + 2)};
    }
    case kPeriodYear:
        return {firstOfMonth(choice.year, 1), lastOfMonth(choice.year, 12)};
    case kPeriodAll:
        return {kWholeRangeFrom, kWholeRangeTo};
    default:
        return {today, today};
    }
}

bool switchesPeriodOff(const PeriodChoice& choice, int mode)
{
    return mode == kPeriodModeMaySwitchOff && choice.kind == kPeriodAll;
}

PeriodChoice readPeriodChoice(const QSettings& settings, const QDate& today)
{
    PeriodChoice c = periodChoiceForToday(today);
    const int kind = storedPeriodNumber(settings, 1).value_or(0);
    c.kind = (kind >= 1 && kind <= kPeriodKindCount) ? kind : kPeriodToday;
    if (c.kind < kPeriodDay)
        return c;

    const int month = storedPeriodNumber(settings, 2).value_or(0);
    c.month = (month >= 1 && month <= 12) ? month : today.month();
    const int quarter = storedPeriodNumber(settings, 3).value_or(0);
    c.quarter = (quarter >= 1 && quarter <= 4) ? quarter : quarterOfMonth(c.month);
    const int year = storedPeriodNumber(settings, 4).value_or(0);
    c.year = (year >= kStoredYearFirst && year <= kStoredYearLast) ? year : today.year();
    const QDate date = platform::dateOfDay(storedPeriodNumber(settings, 5).value_or(0));
    c.date = (date.isValid() && date >= kStoredDateFirst && date <= kStoredDateLast) ? date : today;
    return c;
}

void writePeriodChoice(QSettings& settings, const PeriodChoice& choice)
{
    settings.setValue(periodValueName(1), QString::number(choice.kind));
    settings.setValue(periodValueName(2), QString::number(choice.month));
    settings.setValue(periodValueName(3), QString::number(choice.quarter));
    settings.setValue(periodValueName(4), QString::number(choice.year));
    settings.setValue(periodValueName(5), QString::number(platform::dayNumber(choice.date)));
    settings.sync();
}

QString periodKindText(int kind, const QDate& today)
{
    if (kind == kPeriodToday)
        return QStringLiteral("&1. Сегодня ") + periodDateText(today) + QStringLiteral(" г.");
    if (kind < 1 || kind > kPeriodKindCount)
        return {};
    return QString::fromUtf8(kPeriodKindTexts[kind - 1]);
}

QString periodMonthText(int month)
{
    if (month < 1 || month > 12)
        return {};
    return QStringLiteral(" %1 - ").arg(month, 2, 10, QLatin1Char('0')) + monthName(month);
}

QString periodQuarterText(int quarter)
{
    return QStringLiteral(" %1 квартал").arg(quarter);
}

QString periodConfirmText(const PeriodChoice& choice, int mode, const QDate& today)
{
    if (switchesPeriodOff(choice, mode))
        return QStringLiteral("Отключить период и показать всё ?");
    const Period p = periodOf(choice, today);
    return QStringLiteral("Выбрать период с ") + periodDateText(p.from) + QStringLiteral(" г. по ") +
           periodDateText(p.to) + QStringLiteral(" г. ?");
}

QString periodDayCountText(const PeriodChoice& choice, const QDate& today)
{
    const QString prefix = QStringLiteral("Кол-во дней: ");
    if (choice.kind == kPeriodAll)
        return prefix + QStringLiteral("ВСЕ");
    return prefix + QString::number(periodOf(choice, today).days());
}

} // namespace lists
