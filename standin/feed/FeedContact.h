// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logger/ColumnSet.h"
#include "logger/ContactLog.h"

#include <QString>

// A logged contact as the network feeds tell it: the contact, the columns
// that name its values, and the station's own call.
struct FeedContact {
    const ColumnSet &columns;
    const Contact &contact;
    QString stationCall;

    // The value of the column with this ADIF name; "" when there is no such column.
    QString Field(const QString &adifName) const;
    // The first of these fields that is not empty, or "".
    QString FirstField(const QStringList &adifNames) const;
};
