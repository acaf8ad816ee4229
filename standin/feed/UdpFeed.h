// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feed/UdpFeedWorker.h"

#include <QThread>

class StandinLogger;

// Sends every contact the logger logs over UDP to other logging software:
// WSJT-X protocol messages, contactinfo XML datagrams, plain ADIF and Tlf's
// LAN log entries, to any number of destinations. It never holds up logging:
// the feed works on a thread of its own (UdpFeedWorker), and this class, on
// the main thread, only starts and ends that thread, hands it each contact
// the logger announces and keeps the status text.
// Every function of this class runs on the main thread.
class UdpFeed : public QObject {
    Q_OBJECT

public:
    // Follows the logger's contacts from now on.
    UdpFeed(const StandinLogger &logger, const FeedIdentity &identity, const QList<FeedDestination> &destinations,
            QObject *parent = nullptr);
    // The worker sends what is still queued, then a WSJT-X Close; then its thread ends.
    ~UdpFeed() override;

    // Starts the feed's thread: the destinations resolve and the first WSJT-X heartbeat goes out.
    void Start();

    // Where contacts go, how many went out, and any problem; one line, the
    // destinations separated by " · ".
    QString StatusText() const { return m_StatusText; }

signals:
    // Once for each batch of contacts sent, and for each destination's change.
    void StatusChanged();

private:
    void logger_ContactLogged(const Contact &contact, const QByteArray &adifRecord);

    QThread m_Thread;
    UdpFeedWorker *m_Worker; // lives on m_Thread, deleted when it finishes
    QString m_StatusText;
};
