// SPDX-License-Identifier: LicenseRef-Kestrom
#include "framework/LocaleTexts.h"

#include <QLocale>
#include <QStringList>

namespace framework {

namespace {

QString item(const char* list, int month)
{
    if (month < 1 || month > 12)
        return {};
    const QStringList names = QString::fromUtf8(list).split(u',');
    return month <= names.size() ? names[month - 1] : QString();
}

QString written(const QDate& date, const QString& month)
{
    if (!date.isValid())
        return {};
    return QString::number(date.day()) + u' ' + month + u' ' + QString::number(date.year());
}

} // namespace

QString monthName(int month)
{
    return item(kMonthNames, month);
}

QString monthAbbreviation(int month)
{
    return item(kMonthAbbreviations, month);
}

QString dateInWords(const QDate& date)
{
    return written(date, monthName(date.month()));
}

QString dateAbbreviated(const QDate& date)
{
    return written(date, monthAbbreviation(date.month()));
}

void applyRussianLocale()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

} // namespace framework
