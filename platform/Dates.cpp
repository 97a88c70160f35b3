// SPDX-License-Identifier: LicenseRef-Kestrom
#include "platform/Dates.h"

#include <mutex>

namespace platform {

namespace {
// Julian day of 27 December 1800, so that 28 December 1800 is day 1.
constexpr qint64 kOrigin = 2378857;

std::mutex& clockMutex()
{
    static std::mutex m;
    return m;
}

std::function<QDateTime()>& clockOverride()
{
    static std::function<QDateTime()> f;
    return f;
}
} // namespace

std::int32_t dayNumber(const QDate& date)
{
    if (!date.isValid())
        return 0;
    const qint64 d = date.toJulianDay() - kOrigin;
    return d > 0 ? static_cast<std::int32_t>(d) : 0;
}

QDate dateOfDay(std::int32_t day)
{
    if (day <= 0)
        return {};
    return QDate::fromJulianDay(kOrigin + day);
}

std::int32_t timeNumber(const QTime& time)
{
    if (!time.isValid())
        return 0;
    return time.msecsSinceStartOfDay() / 10 + 1;
}

QTime timeOfNumber(std::int32_t time)
{
    if (time <= 0)
        return {};
    return QTime::fromMSecsSinceStartOfDay(((time - 1) % 8640000) * 10);
}

QString formatDay(std::int32_t day)
{
    const QDate d = dateOfDay(day);
    return d.isValid() ? d.toString(QStringLiteral("dd.MM.yyyy")) : QString();
}

QString formatTime(std::int32_t time)
{
    const QTime t = timeOfNumber(time);
    return t.isValid() ? t.toString(QStringLiteral("hh:mm:ss")) : QString();
}

std::int32_t dayFromIso(std::string_view text)
{
    if (text.size() < 10)
        return 0;
    auto digits = [&](size_t from, size_t n, int& out) {
        out = 0;
        for (size_t i = from; i < from + n; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return false;
            out = out * 10 + (text[i] - '0');
        }
        return true;
    };
    int y = 0, m = 0, d = 0;
    if (!digits(0, 4, y) || text[4] != '-' || !digits(5, 2, m) || text[7] != '-' || !digits(8, 2, d))
        return 0;
    return dayNumber(QDate(y, m, d));
}

QDateTime currentDateTime()
{
    std::lock_guard lock(clockMutex());
    if (clockOverride())
        return clockOverride()();
    return QDateTime::currentDateTime();
}

std::int32_t today()
{
    return dayNumber(currentDateTime().date());
}

void setClockForTesting(std::function<QDateTime()> clock)
{
    std::lock_guard lock(clockMutex());
    clockOverride() = std::move(clock);
}

} // namespace platform
