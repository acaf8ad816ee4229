// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feed/UdpFeedWorker.h"

#include <QThread>
#include <QTimer>

// Sends every logged contact over UDP to other logging software: WSJT-X
// protocol messages, contactinfo XML datagrams, plain ADIF and Tlf's LAN log
// entries, to any number of destinations; and moves a radio through rigctld
// as the logger's frequency and mode are set. It never holds up logging: the
// feed works on a thread of its own (UdpFeedWorker), and this class, on the
// main thread, only starts and ends that thread, hands it each contact and
// radio setting and keeps the status text.
// Every function of this class runs on the main thread.
class UdpFeed : public QObject {
    Q_OBJECT

public:
    // StatusChanged comes at most this often: a window shows the count
    // without repainting for every batch.
    static constexpr int kStatusMs = 250;

    UdpFeed(const ColumnSet &columns, const FeedIdentity &identity, const QList<FeedDestination> &destinations,
            QObject *parent = nullptr);
    // The worker sends what is still queued, then a WSJT-X Close; then its thread ends.
    ~UdpFeed() override;

    // Starts the feed's thread: the destinations resolve and the first WSJT-X heartbeat goes out.
    void Start();

    // Hands the contact to the feed's thread. adifRecord is its ADIF record
    // when the caller has made it already, else empty.
    void Send(const Contact &contact, const QByteArray &adifRecord);

    // Hands the radio's new setting to the feed's thread, which passes the
    // newest on to rigctld (without --rigctld, nothing happens).
    void SetRadio(const RadioSetting &setting);

    // Where contacts go, how many went out, and any problem; one line, the
    // destinations separated by " · ".
    QString StatusText() const { return m_StatusText; }

signals:
    void StatusChanged();

private:
    QThread m_Thread;
    UdpFeedWorker *m_Worker; // lives on m_Thread, deleted when it finishes
    QString m_StatusText;
    QTimer m_StatusTimer;
};
