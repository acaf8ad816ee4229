// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Mode codes of SetLogFrequencyEx.
namespace Mode {
constexpr int kNone = 0;
constexpr int kLsb = 1;
constexpr int kUsb = 2;
constexpr int kCw = 3;
constexpr int kFm = 4;
constexpr int kAm = 5;
constexpr int kRtty = 6;

bool IsValid(int code);
QString Label(int code);        // as the window shows it: "LSB", "CW", "" for none
QString AdifMode(int code);     // ADIF MODE: "SSB" for both sidebands
QString AdifSubmode(int code);  // ADIF SUBMODE: "LSB"/"USB", else ""
} // namespace Mode
