// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include "platform/Export.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <cstdint>
#include <functional>

// Dates are day numbers and times are time-of-day numbers, 0 meaning none.
// Day 1 is 28 December 1800, so consecutive days differ by one and a difference
// of two dates is a count of days. A time is hundredths of a second after
// midnight plus one, so that midnight itself is not "none".
namespace platform {

constexpr std::int32_t kNoDate = 0;

ZANVO_PLATFORM_EXPORT std::int32_t dayNumber(const QDate& date);  // invalid date -> 0
ZANVO_PLATFORM_EXPORT QDate dateOfDay(std::int32_t day);          // 0 or negative -> invalid
ZANVO_PLATFORM_EXPORT std::int32_t timeNumber(const QTime& time); // invalid time -> 0
ZANVO_PLATFORM_EXPORT QTime timeOfNumber(std::int32_t time);      // 0 -> invalid

// "dd.mm.yyyy"; empty for 0.
ZANVO_PLATFORM_EXPORT QString formatDay(std::int32_t day);
// "hh:mm:ss"; empty for 0.
ZANVO_PLATFORM_EXPORT QString formatTime(std::int32_t time);
// "yyyy-mm-dd" -> day number; 0 when the text is not such a date.
ZANVO_PLATFORM_EXPORT std::int32_t dayFromIso(std::string_view text);

// The program's clock. Tests replace it to make days and time stamps fixed.
ZANVO_PLATFORM_EXPORT QDateTime currentDateTime();
ZANVO_PLATFORM_EXPORT std::int32_t today();
ZANVO_PLATFORM_EXPORT void setClockForTesting(std::function<QDateTime()> clock);

} // namespace platform
