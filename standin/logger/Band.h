// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Amateur bands by ADIF band name. A frequency outside every band has the
// empty band, which counts as a band of its own for dupes.
namespace Band {
QString FromKhz(double khz);
bool IsFrequency(double khz);      // a finite number of kHz, 0 or more
bool IsName(const QString &text);  // "20m", "70CM", ...
double LowerEdgeKhz(const QString &name);  // 0 for a name that is no band
} // namespace Band
