// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <utility>

class QHostInfo;
class QTimer;
class QUdpSocket;

// Where the feed sends: the kind of datagrams, and HOST:PORT.
struct FeedDestination {
    enum class Kind { Wsjtx, ContactInfo, Adif, TlfLan };

    Kind kind = Kind::Wsjtx;
    QString host;
    quint16 port = 0;
};

// One destination of the feed and its state: its name resolves (contacts
// wait meanwhile), then it is ready, or dead for good when the name does not
// resolve or the address cannot be used. It writes each contact's datagrams
// to its own socket, a Tlf's at most one every kTlfGapMs, and drops whatever
// comes back. Its problems (nobody listening, a name that does not resolve,
// ...) are reported once each, on standard error and in its status text.
// Everything runs on the feed's thread.
class UdpDestination : public QObject {
    Q_OBJECT

public:
    using Kind = FeedDestination::Kind;

    // The largest payload of one IPv4 UDP datagram; a larger message is not sent.
    static constexpr int kMaxDatagramBytes = 65507;
    // Contacts kept while the host name resolves.
    static constexpr int kMaxWaitingContacts = 1000;
    // Tlf reads one datagram in each turn of its loop, about 90 a second, and
    // loses what overflows its socket: it gets one at most every kTlfGapMs.
    static constexpr int kTlfGapMs = 15;
    // Log entries kept for a Tlf that takes them slower than they come.
    static constexpr int kMaxTlfWaiting = 10000;

    // `greeting` goes out first once the destination is ready (a WSJT-X
    // Heartbeat), before any contact that waited for it; it may be empty.
    UdpDestination(const FeedDestination &where, const QByteArray &greeting, QObject *parent);

    const FeedDestination &Where() const { return m_Where; }
    Kind DatagramKind() const { return m_Where.kind; }
    bool IsReady() const { return m_State == State::Ready; }

    // Resolves the host name, or connects at once to an address.
    void Start();
    // One contact's datagrams: written now, kept until the name resolves, or
    // dropped when dead. Datagrams of no contact (the live session's) are not counted as sent.
    void Deliver(const QList<QByteArray> &datagrams, bool ofAContact = true);
    // A contact this kind of destination cannot hold.
    void CountNotSent() { ++m_NotSent; }
    // A message outside any contact (a Heartbeat, a Close): written when ready, else not at all.
    void SendMessage(const QByteArray &datagram);
    // Last: what still waits for a Tlf is told on standard error, not sent.
    void Finish();

    // "WSJT-X HOST:PORT: N sent", with what was not sent and the last problem.
    QString StatusText() const;

signals:
    // A change that is not a contact going out: ready, a problem, a Tlf's paced entry.
    void StatusChanged();

private:
    enum class State { Resolving, Ready, Dead };

    void Resolved(const QHostInfo &info);
    void Connect(const QHostAddress &address);
    void Die(const QString &problem);
    QUdpSocket *NewSocket();
    void StopListeningForRefusals();
    void SendPaced();
    bool Write(const QList<QByteArray> &datagrams);
    qint64 WriteOne(const QByteArray &datagram);
    void Report(const QString &problem);
    static void DropInbound(QUdpSocket *socket);
    QString Name() const;

    const FeedDestination m_Where;
    const QByteArray m_Greeting;
    State m_State = State::Resolving;
    QUdpSocket *m_Socket = nullptr;
    QHostAddress m_Address;
    bool m_Connected = false;            // else the socket sends to m_Address datagram by datagram
    QList<std::pair<QList<QByteArray>, bool>> m_Waiting; // datagrams as delivered, while resolving
    QList<QByteArray> m_Paced;           // for a Tlf: log entries waiting their turn
    QElapsedTimer m_LastWrite;           // for a Tlf: since the last log entry went out
    QTimer *m_PaceTimer;
    int m_Sent = 0;
    int m_NotSent = 0;
    QStringList m_Problems;              // each reported once
};
