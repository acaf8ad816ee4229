// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AdifRecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QTimeZone>

// The generated contest log of the benchmarks: contacts one second apart
// from 28 Nov 2026 12:00 UTC on, each with a value for every one of the
// stand-in's seven ADIF columns. Contact i has the call K<i>ABC, so the
// first n contacts of any such log are the same n contacts.
namespace ContestLog {

// Contact i, counted from 0, as one ADI record on a line of its own.
inline QByteArray Record(int i)
{
    static const QDateTime kStart(QDate(2026, 11, 28), QTime(12, 0), QTimeZone::utc());
    const QDateTime when = kStart.addSecs(i);
    const QByteArray exchange = AdifField("RST_SENT", "599") + AdifField("RST_RCVD", "599")
        + AdifField("STX", QByteArray::number(i + 1)) + AdifField("SRX", "155") + AdifField("NAME", "JOE")
        + AdifField("STATE", "MA");
    return AdifRecord("K" + QByteArray::number(i) + "ABC", when.toString(QStringLiteral("yyyyMMdd")).toLatin1(),
                      when.toString(QStringLiteral("HHmmss")).toLatin1(), "CW", "7.025", exchange);
}

// Writes a log of n contacts to path, record by record, so that even a log
// of millions never sits in memory whole. False when the file cannot be
// written.
inline bool Write(const QString &path, int n)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write("Benchmark log <EOH>\n") < 0)
        return false;
    for (int i = 0; i < n; ++i) {
        if (file.write(Record(i)) < 0)
            return false;
    }
    return file.flush();
}

} // namespace ContestLog
