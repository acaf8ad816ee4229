// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feed/FeedFaults.h"
#include "feed/UdpDestination.h"
#include "logger/ColumnSet.h"
#include "logger/ContactLog.h"

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

// Who the feed says it is. Some receivers take contacts, or all of their
// fields, only from a program whose name they know.
struct FeedIdentity {
    QString stationCall;     // the station's own call, sent with each contact
    QString wsjtxId;         // the client id of the WSJT-X messages
    QString contactInfoApp;  // <app> of the contactinfo datagrams
    char tlfNode = 'B';      // the node letter of Tlf log entries
};

// What waits to be sent: a logged contact, with its ADIF record when the log
// file has made it already (else the worker makes it); or, in the live
// session, the entry row before it is logged: a station selected (its call,
// frequency or mode changed: a WSJT-X Status) or the radio set (a RadioInfo).
struct QueuedContact {
    enum class Event { Logged, Selected, RadioSet };

    Event event = Event::Logged;
    Contact contact;
    QByteArray adifRecord;
};

// The feed's work of sending, all on the feed's own thread (UdpFeed starts
// it): gathers the contacts handed over, makes each kind's datagrams of a
// contact once and hands them to every destination of that kind (through
// the fault plan, with --feed-faults), sends the WSJT-X heartbeats, and
// joins the destinations' status texts.
//
// It is made on the main thread before its thread starts; from then on the
// main thread only calls Hand(). Every other function runs on the feed's thread.
class UdpFeedWorker : public QObject {
    Q_OBJECT

public:
    using Kind = FeedDestination::Kind;

    static constexpr int kHeartbeatMs = 15000;
    // How long a contact waits for others to go out with it.
    static constexpr int kGatherMs = 10;

    // faults may be null: then everything goes out as it is.
    UdpFeedWorker(const ColumnSet &columns, const FeedIdentity &identity, const QList<FeedDestination> &destinations,
                  std::unique_ptr<FeedFaults> faults);

    // Called by the main thread: queues the contact or live-session event.
    // Only the first of a gathering wakes the feed's thread.
    void Hand(const QueuedContact &queued);

    // Where contacts go, how many went out, and any problem; one line, the
    // destinations separated by " · ".
    QString StatusText() const;

    // Lowers the thread's priority, resolves the destinations and sends the
    // first WSJT-X heartbeat.
    void Start();
    // Last: sends what is still queued, held back or delayed, then a WSJT-X
    // Close to every destination; what still waits for a Tlf is told, not sent.
    void Finish();

signals:
    void StatusChanged(const QString &text);

private:
    void Gather();
    void SendQueued();
    void SendContacts(const QList<QueuedContact> &contacts);
    void Send(UdpDestination &destination, const QueuedContact &queued, const QList<QByteArray> &datagrams);
    QList<QByteArray> Datagrams(Kind kind, const QueuedContact &queued) const;
    QByteArray AdifText(const QueuedContact &queued) const;
    QByteArray Heartbeat() const;
    void SendHeartbeats();
    void TellStatus();

    const ColumnSet m_Columns; // a copy: the logger's is read on its own thread
    const FeedIdentity m_Identity;
    const QString m_StationName;
    std::vector<UdpDestination *> m_Destinations; // children
    const std::unique_ptr<FeedFaults> m_Faults;
    int m_Contacts = 0;       // logged contacts handed so far; Tlf's QSO number where no serial was sent
    QTimer *m_Heartbeat;
    QTimer *m_GatherTimer;
    QMutex m_QueueLock;
    QList<QueuedContact> m_Queue; // under m_QueueLock: the one member the main thread touches
};
