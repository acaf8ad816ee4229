// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Date and time serials: days counted from 30 December 1899, as doubles.
// Every part beyond its usual range carries over into the next larger unit
// (month 13 is January of the next year, day 0 the last day of the month
// before, second 75 one minute and 15 seconds), as a calendar would.
namespace DateSerial {

double Date(int year, int month, int day);
double Time(int hour, int minute, int second);

} // namespace DateSerial
