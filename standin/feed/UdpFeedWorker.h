// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feed/RigctldCommands.h"
#include "logger/ColumnSet.h"
#include "logger/ContactLog.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <vector>

class QHostInfo;
class QUdpSocket;
class RigctldClient;

// Where the feed sends: the kind of datagrams (or, for Rigctld, the radio's
// settings over TCP), and HOST:PORT.
struct FeedDestination {
    enum class Kind { Wsjtx, ContactInfo, Adif, TlfLan, Rigctld };

    Kind kind = Kind::Wsjtx;
    QString host;
    quint16 port = 0;
};

// Who the feed says it is. Some receivers take contacts, or all of their
// fields, only from a program whose name they know.
struct FeedIdentity {
    QString stationCall;     // the station's own call, sent with each contact
    QString wsjtxId;         // the client id of the WSJT-X messages
    QString contactInfoApp;  // <app> of the contactinfo datagrams
    char tlfNode = 'B';      // the node letter of Tlf log entries
};

// A logged contact waiting to be sent, with its ADIF record when the log
// file has made it already (else the worker makes it).
struct QueuedContact {
    Contact contact;
    QByteArray adifRecord;
};

// The feed's work, all on the feed's own thread (UdpFeed starts it):
// gathers the contacts handed over, makes the datagrams of each contact and
// writes them to every destination, at most one every kTlfGapMs to a Tlf,
// resolves host names, sends the WSJT-X heartbeats, and drops whatever a
// receiver sends back; and it keeps the radio's rigctld client. A
// destination's problem (nobody listening, a name that does not resolve,
// ...) is reported once, on standard error and in the status text.
//
// It is made on the main thread before its thread starts; from then on the
// main thread only calls Hand() and HandRadio(). Every other function runs
// on the feed's thread.
class UdpFeedWorker : public QObject {
    Q_OBJECT

public:
    using Kind = FeedDestination::Kind;

    // The largest payload of one IPv4 UDP datagram; a larger message is not sent.
    static constexpr int kMaxDatagramBytes = 65507;
    // Contacts kept for a destination while its host name resolves.
    static constexpr int kMaxWaitingContacts = 1000;
    static constexpr int kHeartbeatMs = 15000;
    // How long a contact waits for others to go out with it.
    static constexpr int kGatherMs = 10;
    // Tlf reads one datagram in each turn of its loop, about 90 a second, and
    // loses what overflows its socket: it gets one at most every kTlfGapMs.
    static constexpr int kTlfGapMs = 15;
    // Log entries kept for a Tlf that takes them slower than they come.
    static constexpr int kMaxTlfWaiting = 10000;

    UdpFeedWorker(const ColumnSet &columns, const FeedIdentity &identity, const QList<FeedDestination> &destinations);

    // Called by the main thread: queues the contact. Only the first contact
    // of a gathering wakes the feed's thread.
    void Hand(const Contact &contact, const QByteArray &adifRecord);
    // Called by the main thread: the radio is to follow this setting (without --rigctld, nothing happens).
    void HandRadio(const RadioSetting &setting);

    // Where contacts go, how many went out, and any problem; one line, the
    // destinations separated by " · ".
    QString StatusText() const;

    // Lowers the thread's priority, resolves the destinations and sends the
    // first WSJT-X heartbeat.
    void Start();
    // Last: sends what is still queued, then a WSJT-X Close to every
    // destination; what still waits for a Tlf is told, not sent.
    void Finish();

signals:
    void StatusChanged(const QString &text);

private:
    enum class State { Resolving, Ready, Dead };

    struct Destination : FeedDestination {
        State state = State::Resolving;
        QUdpSocket *socket = nullptr;
        QHostAddress address;
        bool connected = false;            // else the socket sends to address datagram by datagram
        QList<QList<QByteArray>> waiting;  // one list of datagrams per contact
        QList<QByteArray> paced;           // for a Tlf: log entries waiting their turn
        QElapsedTimer lastWrite;           // for a Tlf: since the last log entry went out
        int sent = 0;
        int notSent = 0;                   // contacts this kind of destination cannot hold
        QStringList problems;              // each reported once
    };

    void Gather();
    void SendQueued();
    void SendContacts(const QList<QueuedContact> &contacts);
    QList<QByteArray> Datagrams(Kind kind, const QueuedContact &queued) const;
    QByteArray AdifText(const QueuedContact &queued) const;
    void Deliver(Destination &destination, const QList<QByteArray> &datagrams);
    void SendPaced();
    bool Write(Destination &destination, const QList<QByteArray> &datagrams);
    void Resolved(size_t index, const QHostInfo &info);
    void Connect(size_t index, const QHostAddress &address);
    QUdpSocket *NewSocket(size_t index);
    void StopListeningForRefusals(size_t index);
    QByteArray Heartbeat() const;
    void SendHeartbeats();
    void Report(Destination &destination, const QString &problem);
    void TellStatus();
    static void DropInbound(QUdpSocket *socket);
    static QString Name(const Destination &destination);

    const ColumnSet m_Columns; // a copy: the logger's is read on its own thread
    const FeedIdentity m_Identity;
    const QString m_StationName;
    std::vector<Destination> m_Destinations;
    RigctldClient *m_Radio = nullptr;
    int m_Contacts = 0;       // handed so far; Tlf's QSO number where no serial was sent
    QTimer *m_Heartbeat;
    QTimer *m_GatherTimer;
    QTimer *m_PaceTimer;
    QMutex m_QueueLock;
    QList<QueuedContact> m_Queue; // under m_QueueLock: the one member the main thread touches
};
