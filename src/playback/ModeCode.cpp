// SPDX-License-Identifier: GPL-3.0-or-later
#include "ModeCode.h"

int16_t ModeCode(const QString &mode, double frequencyMhz)
{
    if (mode == QLatin1String("SSB"))
        return frequencyMhz > 10.0 ? 2 : 1;
    if (mode == QLatin1String("CW"))
        return 3;
    if (mode == QLatin1String("RTTY"))
        return 6;
    if (mode == QLatin1String("AM"))
        return 5;
    if (mode == QLatin1String("FM"))
        return 4;
    return 0;
}
