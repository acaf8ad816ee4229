// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <span>
#include <string_view>

namespace adif {

// One band of the ADIF Band enumeration: its name and its edges in MHz.
struct Band {
    std::string_view name; // "20m", "70cm", as ADIF writes it
    double lowerMhz;
    double upperMhz;

    QString Text() const { return QString::fromLatin1(name.data(), qsizetype(name.size())); }
};

// Every ADIF 3.1.7 band, lowest first.
std::span<const Band> Bands();

// The band of that name in any letter case ("20M"); nullptr when there is none.
const Band *FindBand(std::string_view name);

// The band whose edges (inclusive) hold a frequency; nullptr outside every band.
const Band *BandOfFrequency(double mhz);

} // namespace adif
