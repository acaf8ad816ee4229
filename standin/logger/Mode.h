// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace Mode {
// Mode codes of SetLogFrequencyEx; kNone is also any other mode.
enum Code : int { kNone = 0, kLsb = 1, kUsb = 2, kCw = 3, kFm = 4, kAm = 5, kRtty = 6 };

bool IsValid(int code);
QString Label(int code);        // as the window shows it: "LSB", "CW", "" for none
QString AdifMode(int code);     // ADIF MODE: "SSB" for both sidebands
QString AdifSubmode(int code);  // ADIF SUBMODE: "LSB"/"USB", else ""
} // namespace Mode
