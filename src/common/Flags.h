// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// On/off states are 16-bit integers: -1 for on, 0 for off, tested for non-zero.
constexpr int16_t kFlagOn = -1;
constexpr int16_t kFlagOff = 0;

constexpr int16_t Flag(bool on) { return on ? kFlagOn : kFlagOff; }
