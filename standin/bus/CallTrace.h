// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QString>

// The --trace file: one JSON line per call received, written and flushed
// before the call is carried out, so it survives a planned exit.
class CallTrace {
public:
    // Truncates the file. Throws BadInput when it cannot be opened.
    CallTrace(const QString &path, const QElapsedTimer &clock);

    void Record(const QDBusMessage &call);

    // {"t": ms, "member": ..., "signature": ..., "args": [...]}
    static QByteArray Line(double elapsedMs, const QDBusMessage &call);

private:
    QFile m_File;
    const QElapsedTimer &m_Clock;
};
