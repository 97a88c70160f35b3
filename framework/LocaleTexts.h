// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <QDate>
#include <QString>

// The Russian month names the program writes dates with, and the locale it
// applies before the first window opens.
namespace framework {

// "Января,Февраля,...": genitive case, January first, as dates written out in
// full use them ("25 Апреля 2024").
inline constexpr char kMonthNames[] =
    "Января,Февраля,Марта,Апреля,Мая,Июня,Июля,Августа,Сентября,Октября,Ноября,Декабря";
inline constexpr char kMonthAbbreviations[] = "Янв,Фев,Мар,Апр,Май,Июн,Июл,Авг,Сен,Окт,Ноя,Дек";

// Month 1..12; empty outside.
QString monthName(int month);
QString monthAbbreviation(int month);

// "25 Апреля 2024"; empty for an invalid date.
QString dateInWords(const QDate& date);
// "25 Апр 2024"; empty for an invalid date.
QString dateAbbreviated(const QDate& date);

// Makes Russian (Russia) the default locale of the process.
void applyRussianLocale();

} // namespace framework
