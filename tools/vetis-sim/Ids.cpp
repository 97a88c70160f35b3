// SPDX-License-Identifier: LicenseRef-Kestrom
#include "Ids.h"

#include <chrono>
#include <cstdio>
#include <mutex>

namespace vetissim {

std::string UuidSource::next()
{
    const std::uint64_t high = m_engine();
    const std::uint64_t low = m_engine();
    unsigned char bytes[16];
    for (int i = 0; i < 8; ++i) {
        bytes[i] = static_cast<unsigned char>(high >> (56 - 8 * i));
        bytes[8 + i] = static_cast<unsigned char>(low >> (56 - 8 * i));
    }
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0F) | 0x40);
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3F) | 0x80);
    static constexpr char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(36);
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            out += '-';
        out += hex[bytes[i] >> 4];
        out += hex[bytes[i] & 0x0F];
    }
    return out;
}

std::string freshUuid()
{
    static std::mutex mutex;
    static UuidSource source{
        std::random_device{}() ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    const std::lock_guard lock(mutex);
    return source.next();
}

bool isUuid(std::string_view text)
{
    if (text.size() != 36)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (c != '-')
                return false;
        } else if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) {
            return false;
        }
    }
    return true;
}

int daysFromCivil(CivilDate date)
{
    // Howard Hinnant's days_from_civil.
    int y = date.year - (date.month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int mp = (date.month + 9) % 12;
    const int doy = (153 * mp + 2) / 5 + date.day - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate civilFromDays(int days)
{
    days += 719468;
    const int era = (days >= 0 ? days : days - 146096) / 146097;
    const int doe = days - era * 146097;
    const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int mp = (5 * doy + 2) / 153;
    CivilDate out;
    out.day = doy - (153 * mp + 2) / 5 + 1;
    out.month = mp < 10 ? mp + 3 : mp - 9;
    out.year = yoe + era * 400 + (out.month <= 2 ? 1 : 0);
    return out;
}

int todayDays()
{
    using namespace std::chrono;
    // Moscow time (UTC+3, no daylight saving) decides the service's date.
    const auto now = system_clock::now() + hours(3);
    return static_cast<int>(duration_cast<days>(now.time_since_epoch()).count());
}

std::string isoDate(int days)
{
    const CivilDate d = civilFromDays(days);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buffer;
}

std::string isoDateTime(int days, int secondsOfDay)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "T%02d:%02d:%02d+03:00", secondsOfDay / 3600 % 24,
                  secondsOfDay / 60 % 60, secondsOfDay % 60);
    return isoDate(days) + buffer;
}

std::string nowDateTime()
{
    using namespace std::chrono;
    const auto now = system_clock::now() + hours(3);
    const auto secs = duration_cast<seconds>(now.time_since_epoch()).count();
    return isoDateTime(static_cast<int>(secs / 86400), static_cast<int>(secs % 86400));
}

int daysFromIso(std::string_view text)
{
    if (text.size() < 10 || text[4] != '-' || text[7] != '-')
        return -1;
    auto number = [&](std::size_t from, std::size_t count) {
        int value = 0;
        for (std::size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const int y = number(0, 4);
    const int m = number(5, 2);
    const int d = number(8, 2);
    if (y < 0 || m < 1 || m > 12 || d < 1 || d > 31)
        return -1;
    return daysFromCivil({y, m, d});
}

} // namespace vetissim
