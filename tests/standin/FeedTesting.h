// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the feed tests share: known contacts, logging one over the bus, and
// receivers on the loopback address.

#include <QDeadlineTimer>
#include <QUdpSocket>

#include "logger/Band.h"
#include "logger/ContactLog.h"

#include "../support/EntryCalls.h"
#include "../support/StandinProcess.h"

#include <algorithm>

inline constexpr int kFeedWaitMs = 10000;

// A contact on `khz`, in its band, with nothing in its columns.
inline Contact ContactOn(const QString &call, double khz, int mode)
{
    Contact contact;
    contact.call = call;
    contact.band = Band::FromKhz(khz);
    contact.txKhz = khz;
    contact.rxKhz = khz;
    contact.mode = mode;
    return contact;
}

// 2024-03-05 12:34:56.789 UTC, on 14025.5 kHz CW, in the standard columns.
inline Contact KnownContact()
{
    Contact contact = ContactOn(QStringLiteral("K1ABC"), 14025.5, Mode::kCw);
    contact.values = {QStringLiteral("K1ABC"), QStringLiteral("599"), QStringLiteral("579"), QStringLiteral("12"),
                      QStringLiteral("34"), QStringLiteral("Ann"), QStringLiteral("MA"), QStringLiteral("1")};
    contact.loggedUtc = QDateTime(QDate(2024, 3, 5), QTime(12, 34, 56, 789), Qt::UTC);
    return contact;
}

// Types the call, mode and frequency into the running stand-in and logs them.
inline bool LogContact(const QString &call, double khz, int mode = Mode::kCw)
{
    return TypeContact(call, khz, mode) && Answered(CallEntry(QStringLiteral("EnterQso")));
}

// Datagrams as they arrive, until `count` have come or the wait ends.
inline QList<QByteArray> Receive(QUdpSocket &socket, int count, QHostAddress *sender = nullptr,
                                 quint16 *senderPort = nullptr)
{
    QList<QByteArray> datagrams;
    const QDeadlineTimer deadline(kFeedWaitMs);
    while (datagrams.size() < count && !deadline.hasExpired()) {
        if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(100))
            continue;
        QByteArray datagram(int(socket.pendingDatagramSize()), '\0');
        socket.readDatagram(datagram.data(), datagram.size(), sender, senderPort);
        datagrams.append(datagram);
    }
    return datagrams;
}

// A loopback port on which nobody listens: bound for a moment, then let go.
inline quint16 ClosedPort()
{
    QUdpSocket socket;
    socket.bind(QHostAddress::LocalHost, 0);
    return socket.localPort();
}

inline QString Destination(const QUdpSocket &receiver)
{
    return QStringLiteral("127.0.0.1:%1").arg(receiver.localPort());
}

// Logs contacts until the stand-in's standard error names each of these
// destinations, then ten more, the last on 7034 kHz CW. Returns how many
// were logged, or -1 when a call failed; what the stand-in reported meanwhile
// is added to `errors`.
inline int LogUntilReported(StandinProcess &standin, const QStringList &destinations, QString &errors)
{
    const auto allNamed = [&] {
        return std::all_of(destinations.begin(), destinations.end(),
                           [&](const QString &destination) { return errors.contains(destination); });
    };
    int contacts = 0;
    const QDeadlineTimer deadline(kFeedWaitMs);
    while (!allNamed() && !deadline.hasExpired()) {
        if (!LogContact(QStringLiteral("K%1ABC").arg(contacts), 14025 + contacts))
            return -1;
        ++contacts;
        errors += standin.ErrorOutput();
    }
    for (int i = 0; i < 10; ++i, ++contacts) {
        if (!LogContact(QStringLiteral("W%1XYZ").arg(i), 7025 + i))
            return -1;
    }
    return contacts;
}
