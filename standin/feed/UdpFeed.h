// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feed/UdpSender.h"

#include <QMutex>
#include <QThread>

// Sends every logged contact over UDP to other logging software: WSJT-X
// protocol messages, contactinfo XML datagrams, or both, to any number of
// destinations. It never holds up logging: Send() only queues the contact,
// and a sender on a thread of its own (UdpSender) makes and writes the
// datagrams a few milliseconds later, for all the contacts queued by then.
// A destination's problem is reported once, on standard error and in
// StatusText(), while logging goes on.
class UdpFeed : public QObject {
    Q_OBJECT

public:
    using Kind = UdpSender::Kind;

    static constexpr int kHeartbeatMs = 15000;
    static constexpr int kMaxDatagramBytes = UdpSender::kMaxDatagramBytes;
    // How long a contact waits for others to go out with it.
    static constexpr int kGatherMs = 10;
    // StatusChanged comes at most this often: a window shows the count
    // without repainting for every batch.
    static constexpr int kStatusMs = 250;

    UdpFeed(const ColumnSet &columns, const QString &stationCall, int heartbeatMs = kHeartbeatMs,
            QObject *parent = nullptr);
    // Sends what is still queued, then a WSJT-X Close, and ends the sender's thread.
    ~UdpFeed() override;

    // "HOST:PORT" with a port of 1 to 65535; false when the text is not that.
    static bool ParseHostAndPort(const QString &text, QString &host, quint16 &port);

    void AddDestination(Kind kind, const QString &host, quint16 port);
    bool IsEmpty() const { return m_Sender->IsEmpty(); }

    // Starts the sender: the destinations resolve and the first WSJT-X heartbeat goes out.
    void Start();

    // Queues the contact. adifRecord is its ADIF record when the caller has
    // made it already, else empty.
    void Send(const Contact &contact, const QByteArray &adifRecord);

    // Where contacts go, how many went out, and any problem; one line, the
    // destinations separated by " · ".
    QString StatusText() const { return m_StatusText; }

signals:
    void StatusChanged();

private:
    // On the sender's thread: waits kGatherMs, then sends what is queued.
    void Gather();
    void SendQueued();

    UdpSender *m_Sender; // lives on m_Thread, deleted when it finishes
    QThread m_Thread;
    QTimer *m_GatherTimer; // on m_Thread too
    QMutex m_QueueLock;
    QList<QueuedContact> m_Queue; // under m_QueueLock
    QString m_StatusText;
    QTimer m_StatusTimer;
};
