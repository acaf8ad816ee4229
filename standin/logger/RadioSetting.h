// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the logger was last told of the radio (SetLogFrequencyEx).
struct RadioSetting {
    int mode = 0;  // a mode code of SetLogFrequencyEx
    double rxKhz = 0;
    double txKhz = 0;
    bool split = false;

    bool operator==(const RadioSetting &) const = default;
};
