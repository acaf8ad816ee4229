// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>

// The logger's mode code for a record's mode text, compared exactly (letter
// case counts): SSB is 2 above 10 MHz and 1 at or below, CW 3, RTTY 6, AM 5,
// FM 4, anything else 0.
int16_t ModeCode(const QString &mode, double frequencyMhz);
