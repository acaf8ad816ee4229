// SPDX-License-Identifier: GPL-3.0-or-later
#include "DateSerial.h"

#include "Numbers.h"

#include <cstdint>

namespace DateSerial {

namespace {

// Days from 1970-01-01 to the given proleptic Gregorian date (month 1..12).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d)
{
    y -= m <= 2;
    const int64_t era = Numbers::FloorDiv(y, 400);
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

const int64_t kEpoch = DaysFromCivil(1899, 12, 30);

} // namespace

double Date(int year, int month, int day)
{
    // Carry surplus months into years first, then count the days from the
    // first of that month, so day 0 and day 32 land in the neighbouring months.
    const int64_t monthIndex = int64_t(month) - 1;
    const int64_t y = int64_t(year) + Numbers::FloorDiv(monthIndex, 12);
    const int64_t m = monthIndex - Numbers::FloorDiv(monthIndex, 12) * 12 + 1;
    return static_cast<double>(DaysFromCivil(y, m, 1) - kEpoch + (int64_t(day) - 1));
}

double Time(int hour, int minute, int second)
{
    const int64_t seconds = int64_t(hour) * 3600 + int64_t(minute) * 60 + second;
    return static_cast<double>(seconds) / 86400.0;
}

} // namespace DateSerial
