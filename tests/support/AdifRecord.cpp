// SPDX-License-Identifier: GPL-3.0-or-later
#include "AdifRecord.h"

QByteArray AdifRecord(const QByteArray &call, const QByteArray &date, const QByteArray &time, const QByteArray &mode,
                      const QByteArray &freq, const QByteArray &extra)
{
    return AdifField("CALL", call) + AdifField("QSO_DATE", date) + AdifField("TIME_ON", time)
        + AdifField("MODE", mode) + AdifField("FREQ", freq) + extra + "<EOR>\n";
}
