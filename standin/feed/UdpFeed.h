// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "feed/UdpFeedWorker.h"

#include <QThread>

#include <memory>
#include <optional>

class StandinLogger;

// Sends every contact the logger logs over UDP to other logging software:
// WSJT-X protocol messages, contactinfo XML datagrams, plain ADIF and Tlf's
// LAN log entries, to any number of destinations; and, in the live session,
// what a live station sends before the contact is logged: a WSJT-X Status
// when the entry row's call, frequency or mode changes, and a contactinfo
// RadioInfo whenever the frequency or mode is set. It never holds up
// logging: the feed works on a thread of its own (UdpFeedWorker), and this
// class, on the main thread, only starts and ends that thread, hands it what
// the logger announces and keeps the status text.
// Every function of this class runs on the main thread.
class UdpFeed : public QObject {
    Q_OBJECT

public:
    // Follows the logger from now on; without liveSession only its contacts.
    // faults may be null: then everything goes out as it is.
    UdpFeed(const StandinLogger &logger, const FeedIdentity &identity, const QList<FeedDestination> &destinations,
            bool liveSession, std::unique_ptr<FeedFaults> faults, QObject *parent = nullptr);
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
    // What a WSJT-X Status tells of the entry row.
    struct Station {
        QString call;
        double txKhz;
        int mode;
        bool operator==(const Station &) const = default;
    };

    void logger_EntryChanged();
    void logger_FrequencySet();
    void logger_ContactLogged(const Contact &contact, const QByteArray &adifRecord);
    void SelectStation(const Contact &entry);

    const StandinLogger &m_Logger;
    bool m_SendsStatus = false;    // live session, to a WSJT-X destination
    bool m_SendsRadioInfo = false; // live session, to a contactinfo destination
    std::optional<Station> m_StatusSent; // since the entry row last had no frequency

    QThread m_Thread;
    UdpFeedWorker *m_Worker; // lives on m_Thread, deleted when it finishes
    QString m_StatusText;
};
