// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ColumnSet.h"
#include "ContactLog.h"

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

// Sends every logged contact over UDP to other logging software: WSJT-X
// protocol messages, contactinfo XML datagrams, or both, to any number of
// destinations. It never holds up logging: contacts go out after the call
// that logged them has been answered, host names resolve in the background,
// and a destination's problem (nobody listening, a name that does not
// resolve, ...) is reported once, on standard error and in StatusText(),
// while logging goes on. Whatever a receiver sends back is read and dropped.
class UdpFeed : public QObject {
    Q_OBJECT

public:
    enum class Kind { Wsjtx, ContactInfo };

    static constexpr int kHeartbeatMs = 15000;
    // The largest payload of one IPv4 UDP datagram; a larger message is not sent.
    static constexpr int kMaxDatagramBytes = 65507;
    // Contacts kept for a destination while its host name resolves.
    static constexpr int kMaxWaitingContacts = 1000;

    UdpFeed(const ColumnSet &columns, const QString &stationCall, int heartbeatMs = kHeartbeatMs,
            QObject *parent = nullptr);
    // Sends what is still queued, then a WSJT-X Close.
    ~UdpFeed() override;

    // "HOST:PORT" with a port of 1 to 65535; false when the text is not that.
    static bool ParseHostAndPort(const QString &text, QString &host, quint16 &port);

    void AddDestination(Kind kind, const QString &host, quint16 port);
    bool IsEmpty() const { return m_Destinations.empty(); }

    // Resolves the destinations and sends the first WSJT-X heartbeat.
    void Start();

    // Queues the contact; it goes out once control is back in the event loop.
    void Send(const Contact &contact, const QByteArray &adifRecord);

    // Where contacts go, how many went out, and any problem; one line, the
    // destinations separated by " · ".
    QString StatusText() const;

signals:
    void StatusChanged();

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

    struct QueuedContact {
        Contact contact;
        QByteArray adifRecord;
    };

    void SendQueued();
    QList<QByteArray> Datagrams(Kind kind, const QueuedContact &queued) const;
    void Deliver(Destination &destination, const QList<QByteArray> &datagrams);
    bool Write(Destination &destination, const QList<QByteArray> &datagrams);
    void Resolved(size_t index, const QHostInfo &info);
    void Connect(size_t index, const QHostAddress &address);
    QUdpSocket *NewSocket(size_t index);
    void StopListeningForRefusals(size_t index);
    void SendHeartbeats();
    void Report(Destination &destination, const QString &problem);
    static void DropInbound(QUdpSocket *socket);
    static QString DescribeError(QAbstractSocket::SocketError error, const QString &errorString);
    static QString Name(const Destination &destination);

    const ColumnSet &m_Columns;
    const QString m_StationCall;
    const QString m_StationName;
    std::vector<Destination> m_Destinations;
    QList<QueuedContact> m_Queue;
    QTimer m_Heartbeat;
};
