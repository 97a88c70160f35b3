// SPDX-License-Identifier: LicenseRef-Kestrom
#include "responses/VsdDerivedValues.h"

#include "platform/Dates.h"

#include <QDate>

#include <algorithm>

namespace responses {

namespace {

bool validYear(int year)
{
    return year >= 1990 && year <= 2090;
}

bool validMonth(int month)
{
    return month >= 1 && month <= 12;
}

bool validDay(int day)
{
    return day >= 1 && day <= 31;
}

std::int32_t dayOf(int year, int month, int day)
{
    const QDate first(year, month, 1);
    return platform::dayNumber(QDate(year, month, std::min(day, first.daysInMonth())));
}

// The earliest day the parts may mean.
std::int32_t earliest(const DateParts& p)
{
    if (!validYear(p.year))
        return 0;
    if (!validMonth(p.month))
        return dayOf(p.year, 1, 1);
    return dayOf(p.year, p.month, validDay(p.day) ? p.day : 1);
}

// The latest day the parts may mean.
std::int32_t latest(const DateParts& p)
{
    if (!validYear(p.year))
        return 0;
    if (!validMonth(p.month))
        return dayOf(p.year, 12, 31);
    return dayOf(p.year, p.month, validDay(p.day) ? p.day : 31);
}

// The second date of a range: as written when its day is known, else the
// part-date but not before the first.
std::int32_t second(const DateParts& p, std::int32_t partDate, std::int32_t first)
{
    if (partDate == 0)
        return 0;
    if (validMonth(p.month) && validDay(p.day))
        return partDate;
    return std::max(partDate, first);
}

// a / b rounded half away from zero, b > 0.
std::int64_t roundedQuotient(std::int64_t a, std::int64_t b)
{
    return a >= 0 ? (2 * a + b) / (2 * b) : -((-2 * a + b) / (2 * b));
}

} // namespace

std::int32_t productionDate1(const DateParts& parts)
{
    return earliest(parts);
}

std::int32_t productionDate2(const DateParts& parts, std::int32_t productionDate1)
{
    return second(parts, earliest(parts), productionDate1);
}

std::int32_t expiryDate1(const DateParts& parts)
{
    return latest(parts);
}

std::int32_t expiryDate2(const DateParts& parts, std::int32_t expiryDate1)
{
    return second(parts, latest(parts), expiryDate1);
}

ShelfLife shelfLife(std::int32_t issueDate, std::int32_t productionDate1, std::int32_t productionDate2,
                    std::int32_t expiryDate1)
{
    ShelfLife s;
    if (expiryDate1 <= 0)
        return s;
    const std::int32_t produced = productionDate2 >= 1 ? productionDate2 : productionDate1;
    if (produced >= 1)
        s.actualDays = std::max<std::int32_t>(0, expiryDate1 - produced + 1);
    s.reserveDays = expiryDate1 - issueDate + 1;
    if (s.actualDays > 0)
        s.reservePercent =
            static_cast<double>(roundedQuotient(std::int64_t{s.reserveDays} * 100, s.actualDays));
    if (s.reserveDays <= 0)
        s.mark = ShelfMark::Expired;
    else if (s.actualDays > 0 && s.reservePercent < 30)
        s.mark = ShelfMark::LowReserve;
    return s;
}

int statusCode(bool finalized, std::string_view vetDStatus)
{
    if (finalized)
        return 4;
    if (vetDStatus == "CONFIRMED")
        return 1;
    if (vetDStatus == "WITHDRAWN")
        return 2;
    if (vetDStatus == "UTILIZED")
        return 3;
    return 0;
}

QString applicationStatusSuffix(std::string_view appStatus)
{
    if (appStatus == "ACCEPTED")
        return QStringLiteral(" (ПРИНЯТА)");
    if (appStatus == "IN_PROCESS")
        return QStringLiteral(" (В ОБРАБОТКЕ)");
    if (appStatus == "COMPLETED")
        return QStringLiteral(" (УСПЕХ)");
    if (appStatus == "REJECTED")
        return QStringLiteral(" (ОТКЛОНЕНА)");
    // Written in two pieces: "??)" in one literal would read as a trigraph.
    return QStringLiteral(" (??"
                          "?)");
}

QString shelfLifeWarning(int expired, int lowReserve)
{
    if (expired <= 0 && lowReserve <= 0)
        return {};
    QString text = QStringLiteral("Внимание !!!|| В журнал ВСД добавлены записи с продукцией:||");
    if (expired > 0)
        text += QStringLiteral("- просроченной на дату оформления ВСД: ") + QString::number(expired);
    if (expired > 0 && lowReserve > 0)
        text += QStringLiteral(";|");
    if (lowReserve > 0)
        text +=
            QStringLiteral("- с запасом срока годности менее рекомендуемого: ") + QString::number(lowReserve);
    text += QStringLiteral(" !|");
    return text;
}

} // namespace responses
