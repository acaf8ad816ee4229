// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feed/UdpDestination.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QRandomGenerator>
#include <QString>

#include <map>

class QTimer;

// --feed-faults: faults on what the UDP feed sends, struck contact by
// contact and destination by destination. A fault strikes all of one
// contact's datagrams to one destination together, with the live session's
// datagrams that came before it (a WSJT-X Status, a RadioInfo): they are
// dropped, sent twice, held back and sent after the next contact's, delayed,
// or sent after a malformed datagram of the destination's kind. The faults
// are drawn from a seeded generator in the order the contacts are logged and
// the destinations were given, so the same seed and the same replay give the
// same faults. Each fault is told in the fault log, one JSON line each.
//
// Made on the main thread; used only on the feed's thread from then on.
class FeedFaults {
public:
    enum class Fault { None, Loss, Dup, Reorder, Delay, Garbage };
    enum class Malformation { CutShort, UnknownType, BadUtf8, LongField };

    // What --feed-faults asks for: the probability of each fault per contact
    // and destination, the longest delay, the seed.
    struct Plan {
        double loss = 0;
        double dup = 0;
        double reorder = 0;
        double garbage = 0;
        int delayMs = 0;
        quint64 seed = 1;
    };
    static constexpr int kMaxDelayMs = 60000;

    // "loss=P,dup=P,reorder=P,delay=MS,garbage=P,seed=N", each optional, in
    // any order. Throws BadInput, naming the option.
    static Plan Parse(const QString &faults);

    // Opens the fault log when there is a path (throws BadInput when it cannot).
    FeedFaults(const Plan &plan, const QString &logPath);

    // A live-session datagram for a destination: it waits for the next
    // contact there, and shares that contact's fault.
    void HoldLive(UdpDestination &destination, const QList<QByteArray> &datagrams);
    // One contact's datagrams for a destination; contact is its number from 1.
    void Deliver(UdpDestination &destination, int contact, const QList<QByteArray> &datagrams);
    // Last: what is held back or delayed goes out now.
    void Flush();

private:
    // The fault for the next contact at a destination, and its delay or malformation.
    struct Drawn {
        Fault fault = Fault::None;
        int delayMs = 0;
        Malformation malformation = Malformation::CutShort;
    };
    struct PerDestination {
        QList<QByteArray> live;  // live-session datagrams waiting for their contact
        QList<QByteArray> held;  // a reordered contact, waiting for the next one
    };
    struct Delayed {
        QTimer *timer;
        UdpDestination *destination;
        QList<QByteArray> datagrams;
    };

    Drawn Draw(bool mayReorder);
    // A malformed datagram of the kind, made from one good one of that kind.
    static QByteArray Malformed(FeedDestination::Kind kind, Malformation how, const QByteArray &good);
    void DeliverLater(UdpDestination &destination, const QList<QByteArray> &datagrams, int delayMs);
    void Log(const UdpDestination &destination, int contact, const Drawn &drawn);

    const Plan m_Plan;
    QRandomGenerator m_Random;
    QFile m_Log;
    std::map<UdpDestination *, PerDestination> m_Destinations;
    QList<Delayed> m_Delayed;
};
