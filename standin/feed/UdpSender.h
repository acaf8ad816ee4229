// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "logger/ColumnSet.h"
#include "logger/ContactLog.h"

#include <QAbstractSocket>
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <vector>

class QHostInfo;
class QUdpSocket;

// A logged contact waiting to be sent, with its ADIF record when the log
// file has made it already (else the sender makes it).
struct QueuedContact {
    Contact contact;
    QByteArray adifRecord;
};

// The sending half of the UDP feed, on a thread of its own (see UdpFeed):
// makes the datagrams of each contact and writes them to every destination,
// resolves host names, sends the WSJT-X heartbeats, and drops whatever a
// receiver sends back. A destination's problem (nobody listening, a name
// that does not resolve, ...) is reported once, on standard error and in
// the status text.
class UdpSender : public QObject {
    Q_OBJECT

public:
    enum class Kind { Wsjtx, ContactInfo };

    // The largest payload of one IPv4 UDP datagram; a larger message is not sent.
    static constexpr int kMaxDatagramBytes = 65507;
    // Contacts kept for a destination while its host name resolves.
    static constexpr int kMaxWaitingContacts = 1000;

    UdpSender(const ColumnSet &columns, const QString &stationCall, int heartbeatMs);

    // Before Start() only.
    void AddDestination(Kind kind, const QString &host, quint16 port);
    bool IsEmpty() const { return m_Destinations.empty(); }

    // Where contacts go, how many went out, and any problem; one line, the
    // destinations separated by " · ".
    QString StatusText() const;

    // On the sender's thread: resolves the destinations and sends the first
    // WSJT-X heartbeat.
    void Start();
    // On the sender's thread: sends these contacts, in order.
    void SendContacts(const QList<QueuedContact> &contacts);
    // On the sender's thread, last: a WSJT-X Close to every destination.
    void Finish();

signals:
    void StatusChanged(const QString &text);

private:
    enum class State { Resolving, Ready, Dead };

    struct Destination {
        Kind kind = Kind::Wsjtx;
        QString host;
        quint16 port = 0;
        State state = State::Resolving;
        QUdpSocket *socket = nullptr;
        QHostAddress address;
        bool connected = false;            // else the socket sends to address datagram by datagram
        QList<QList<QByteArray>> waiting;  // one list of datagrams per contact
        int sent = 0;
        QStringList problems;              // each reported once
    };

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
};
