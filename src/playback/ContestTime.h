// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>
#include <cstdint>
#include <optional>

// A contest's own time (UTC), as the records' time stamps give it: days
// counted from 30 December 1899, as doubles (DateSerial). Compared and
// counted in whole seconds, so that 14:00:00 is never 13:59:59.999.
namespace ContestTime {

constexpr int64_t kSecondsPerDay = 24 * 60 * 60;

// Whole seconds from the serials' epoch, rounded to the nearest.
int64_t Seconds(double days);
double Days(int64_t seconds);

// "2025-03-29 14:03:27Z"
QString Text(double days);
// "2025-03-29 14:00Z", the hour that holds the given moment.
QString HourText(double days);

// A moment as a user writes one: "2025-03-29T14:00", "2025-03-29 14:00" or
// "14:00", each with optional seconds (":27") and an optional "Z".
struct Typed {
    std::optional<QDate> Date; // none for a time of day alone
    int32_t SecondOfDay = 0;
};
std::optional<Typed> Parse(const QString &text);

// The forms that Parse takes, for a message.
QString Forms();

// The moment typed names in a log whose earliest contact is at earliest
// (days): a dated moment as written; a time of day alone the first such
// time at or after earliest.
double Resolve(const Typed &typed, double earliest);

} // namespace ContestTime
