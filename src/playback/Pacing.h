// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>

// The pace of a playback: how long the main window waits after logging a
// record before it logs the next one, from the two records' time stamps and
// the chosen speed.
namespace Pacing {

// The speeds, by their position in the speed list.
enum Speed : int16_t { k1X = 0, k2X = 1, k4X = 2, k8X = 3, kFivePerSecond = 4 };

// The text of each speed in the speed list ("1X" ... "5/sec"), by position;
// empty for a position that is no speed.
QString SpeedName(int16_t speed);

constexpr int32_t kShortestWaitMs = 200;      // five records a second at most
constexpr int32_t kLongestPlainWaitMs = 1000; // longer waits count down in seconds

// How many seconds of contest time pass in a second of the replay at the
// speed of the given list position: 1, 2, 4 or 8, and 0 at "5/sec", whose
// pace is not the contest's.
double ContestSecondsPerSecond(int16_t speed);

// The wait before the next log step.
struct Wait {
    int32_t DelayMs = 0;   // the scaled gap in milliseconds, at least kShortestWaitMs
    int32_t Countdown = 0; // whole seconds to count down; 0 when DelayMs is one timer interval
};

// The wait from the current record's time stamp to the next one's (in days)
// at the speed of the given list position; a position that is no speed
// waits the gap unchanged. A next record that is earlier waits as long as if
// it were that much later; a gap too long for a 32-bit count of
// milliseconds waits the longest count instead. Time stamps whose gap is not
// a number raise Overflow.
Wait NextWait(double currentTimeStamp, double nextTimeStamp, int16_t speed);

} // namespace Pacing
