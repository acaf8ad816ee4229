// SPDX-License-Identifier: GPL-3.0-or-later
#include "logger/Band.h"

#include "Bands.h"

#include <cmath>

namespace {

const adif::Band *Find(const QString &name)
{
    return adif::FindBand(name.toStdString());
}

QString NameText(const adif::Band *band)
{
    return band ? band->Text() : QString();
}

} // namespace

QString Band::FromKhz(double khz)
{
    return NameText(adif::BandOfFrequency(khz / 1000.0));
}

bool Band::IsFrequency(double khz)
{
    return std::isfinite(khz) && khz >= 0;
}

QString Band::NameOf(const QString &text)
{
    return NameText(Find(text));
}

double Band::LowerEdgeMhz(const QString &name)
{
    const adif::Band *band = Find(name);
    return band ? band->lowerMhz : 0;
}
