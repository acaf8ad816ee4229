// SPDX-License-Identifier: GPL-3.0-or-later
#include "logger/Band.h"

#include <cmath>

namespace {

struct BandEdges {
    const char *name;
    double lowKhz;
    double highKhz;
};

// ADIF band edges, kHz.
constexpr BandEdges kBands[] = {
    {"2190m", 135.7, 137.8},       {"630m", 472, 479},
    {"160m", 1800, 2000},          {"80m", 3500, 4000},
    {"60m", 5060, 5450},           {"40m", 7000, 7300},
    {"30m", 10100, 10150},         {"20m", 14000, 14350},
    {"17m", 18068, 18168},         {"15m", 21000, 21450},
    {"12m", 24890, 24990},         {"10m", 28000, 29700},
    {"6m", 50000, 54000},          {"4m", 70000, 71000},
    {"2m", 144000, 148000},        {"1.25m", 222000, 225000},
    {"70cm", 420000, 450000},      {"33cm", 902000, 928000},
    {"23cm", 1240000, 1300000},    {"13cm", 2300000, 2450000},
    {"9cm", 3300000, 3500000},     {"6cm", 5650000, 5925000},
    {"3cm", 10000000, 10500000},   {"1.25cm", 24000000, 24250000},
};

const BandEdges *FindBand(const QString &name)
{
    for (const BandEdges &band : kBands) {
        if (name.compare(QLatin1String(band.name), Qt::CaseInsensitive) == 0)
            return &band;
    }
    return nullptr;
}

} // namespace

QString Band::FromKhz(double khz)
{
    for (const BandEdges &band : kBands) {
        if (khz >= band.lowKhz && khz <= band.highKhz)
            return QString::fromLatin1(band.name);
    }
    return QString();
}

bool Band::IsFrequency(double khz)
{
    return std::isfinite(khz) && khz >= 0;
}

bool Band::IsName(const QString &text)
{
    return FindBand(text) != nullptr;
}

double Band::LowerEdgeKhz(const QString &name)
{
    const BandEdges *band = FindBand(name);
    return band ? band->lowKhz : 0;
}
