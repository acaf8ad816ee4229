// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logger/ColumnSet.h"
#include "logger/ContactLog.h"

#include <QAbstractSocket>
#include <QByteArray>
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

// Where the feed sends: the kind of datagrams, and HOST:PORT.
struct FeedDestination {
    enum class Kind { Wsjtx, ContactInfo };

    Kind kind = Kind::Wsjtx;
    QString host;
    quint16 port = 0;
};

// A logged contact waiting to be sent, with its ADIF record when the log
// file has made it already (else the worker makes it).
struct QueuedContact {
    Contact contact;
    QByteArray adifRecord;
};

// The UDP feed's work, all on the feed's own thread (UdpFeed starts it):
// gathers the contacts handed over, makes the datagrams of each contact and
// writes them to every destination, resolves host names, sends the WSJT-X
// heartbeats, and drops whatever a receiver sends back. A destination's
// problem (nobody listening, a name that does not resolve, ...) is reported
// once, on standard error and in the status text.
//
// It is made on the main thread before its thread starts; from then on the
// main thread only calls Hand(). Every other function runs on the feed's thread.
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

    UdpFeedWorker(const ColumnSet &columns, const QString &stationCall, const QList<FeedDestination> &destinations);

    // Called by the main thread: queues the contact. Only the first contact
    // of a gathering wakes the feed's thread.
    void Hand(const Contact &contact, const QByteArray &adifRecord);

    // Where contacts go, how many went out, and any problem; one line, the
    // destinations separated by " · ".
    QString StatusText() const;

    // Lowers the thread's priority, resolves the destinations and sends the
    // first WSJT-X heartbeat.
    void Start();
    // Last: sends what is still queued, then a WSJT-X Close to every destination.
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
        int sent = 0;
        QStringList problems;              // each reported once
    };

    void Gather();
    void SendQueued();
    void SendContacts(const QList<QueuedContact> &contacts);
    QList<QByteArray> Datagrams(Kind kind, const QueuedContact &queued) const;
    void Deliver(Destination &destination, const QList<QByteArray> &datagrams);
    bool Write(Destination &destination, const QList<QByteArray> &datagrams);
    void Resolved(size_t index, const QHostInfo &info);
    void Connect(size_t index, const QHostAddress &address);
    QUdpSocket *NewSocket(size_t index);
    void StopListeningForRefusals(size_t index);
    void SendHeartbeats();
    void Report(Destination &destination, const QString &problem);
    void TellStatus();
    static void DropInbound(QUdpSocket *socket);
    static QString DescribeError(QAbstractSocket::SocketError error, const QString &errorString);
    static QString Name(const Destination &destination);

    const ColumnSet m_Columns; // a copy: the logger's is read on its own thread
    const QString m_StationCall;
    const QString m_StationName;
    std::vector<Destination> m_Destinations;
    QTimer *m_Heartbeat;
    QTimer *m_GatherTimer;
    QMutex m_QueueLock;
    QList<QueuedContact> m_Queue; // under m_QueueLock: the one member the main thread touches
};
