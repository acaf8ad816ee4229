// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Amateur bands by ADIF band name, from the ADIF reader's band table (every
// band of the ADIF Band enumeration). A frequency outside every band has the
// empty band, which counts as a band of its own for dupes.
namespace Band {
QString FromKhz(double khz);                // edges included
bool IsFrequency(double khz);               // a finite number of kHz, 0 or more
QString NameOf(const QString &text);        // "20M" gives "20m"; "" when the text names no band
double LowerEdgeMhz(const QString &name);   // 0 for a name that is no band
} // namespace Band
