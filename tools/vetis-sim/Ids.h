// SPDX-License-Identifier: LicenseRef-Kestrom
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace vetissim {

// Identifiers in the form the services use: 36 lower-case characters, version 4.
// A seeded source gives the same fixture identifiers on every run.
class UuidSource
{
public:
    explicit UuidSource(std::uint64_t seed)
        : m_engine(seed)
    {}
    std::string next();

private:
    std::mt19937_64 m_engine;
};

// A fresh random identifier (application ids).
std::string freshUuid();
bool isUuid(std::string_view text);

// Calendar days counted from 1970-01-01, enough for issue, production and expiry dates.
struct CivilDate
{
    int year = 1970;
    int month = 1;
    int day = 1;
};

int daysFromCivil(CivilDate date);
CivilDate civilFromDays(int days);
int todayDays();
// yyyy-mm-dd
std::string isoDate(int days);
// yyyy-mm-ddThh:mm:ss+03:00, Moscow time as the service writes it.
std::string isoDateTime(int days, int secondsOfDay);
std::string nowDateTime();
// The day of the first 10 characters (yyyy-mm-dd); -1 when they are not a date.
int daysFromIso(std::string_view text);

} // namespace vetissim
