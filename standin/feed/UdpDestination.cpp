// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/UdpDestination.h"

#include "feed/SocketProblem.h"

#include <QHostInfo>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <cstdio>

namespace {

// Inbound datagrams read per wake-up, so that a flood cannot hold up the bus.
constexpr int kMaxDroppedPerWake = 64;

} // namespace

UdpDestination::UdpDestination(const FeedDestination &where, const QByteArray &greeting, QObject *parent)
    : QObject(parent), m_Where(where), m_Greeting(greeting), m_PaceTimer(new QTimer(this))
{
    m_PaceTimer->setSingleShot(true);
    m_PaceTimer->setTimerType(Qt::PreciseTimer);
    connect(m_PaceTimer, &QTimer::timeout, this, &UdpDestination::SendPaced);
}

void UdpDestination::Start()
{
    const QHostAddress address(m_Where.host);
    if (!address.isNull())
        Connect(address);
    else
        QHostInfo::lookupHost(m_Where.host, this, &UdpDestination::Resolved);
}

void UdpDestination::Deliver(const QList<QByteArray> &datagrams, bool ofAContact)
{
    switch (m_State) {
    case State::Ready:
        if (m_Where.kind == Kind::TlfLan) {
            if (m_Paced.size() < kMaxTlfWaiting) {
                m_Paced.append(datagrams);
            } else {
                ++m_NotSent;
                Report(QStringLiteral("Tlf takes contacts slower than they come; later ones are not sent"));
            }
            SendPaced();
        } else if (Write(datagrams) && ofAContact) {
            ++m_Sent;
        }
        break;
    case State::Resolving:
        if (m_Waiting.size() < kMaxWaitingContacts)
            m_Waiting.append({datagrams, ofAContact});
        else
            Report(QStringLiteral("the name takes long to resolve; later contacts are not sent"));
        break;
    case State::Dead:
        break;
    }
}

void UdpDestination::SendMessage(const QByteArray &datagram)
{
    if (m_State == State::Ready)
        Write({datagram});
}

void UdpDestination::Finish()
{
    if (!m_Paced.isEmpty())
        std::fprintf(stderr, "vantrel-standin: %s: %d contact(s) still waiting their turn are not sent\n",
                     qPrintable(Name()), int(m_Paced.size()));
}

QString UdpDestination::StatusText() const
{
    QString text = QStringLiteral("%1: %2 sent").arg(Name()).arg(m_Sent);
    if (m_NotSent > 0)
        text += QStringLiteral(", %1 not sent").arg(m_NotSent);
    if (m_State == State::Resolving)
        text += QStringLiteral(", resolving");
    if (!m_Problems.isEmpty())
        text += QStringLiteral(" (%1)").arg(m_Problems.last());
    return text;
}

// IPv4 first: the destinations this feed is for listen there.
void UdpDestination::Resolved(const QHostInfo &info)
{
    QHostAddress chosen;
    for (const QHostAddress &address : info.addresses()) {
        if (chosen.isNull() || (address.protocol() == QAbstractSocket::IPv4Protocol
                                && chosen.protocol() != QAbstractSocket::IPv4Protocol))
            chosen = address;
    }
    if (chosen.isNull())
        Die(QStringLiteral("the name does not resolve (%1)").arg(info.errorString()));
    else
        Connect(chosen);
}

// A connected UDP socket learns of "port unreachable" answers, so a
// destination where nobody listens is reported; it also takes inbound
// datagrams only from that destination. Connecting a UDP socket sends nothing.
void UdpDestination::Connect(const QHostAddress &address)
{
    m_Address = address;
    m_Socket = NewSocket();
    m_Socket->connectToHost(address, m_Where.port);
    if (m_Socket->state() != QAbstractSocket::ConnectedState) {
        Die(m_Socket->errorString());
        return;
    }
    m_Connected = true;
    m_State = State::Ready;
    if (!m_Greeting.isEmpty())
        Write({m_Greeting});
    for (const auto &[datagrams, ofAContact] : std::as_const(m_Waiting))
        Deliver(datagrams, ofAContact);
    m_Waiting.clear();
    emit StatusChanged();
}

void UdpDestination::Die(const QString &problem)
{
    m_State = State::Dead;
    m_Waiting.clear();
    Report(problem);
}

QUdpSocket *UdpDestination::NewSocket()
{
    auto *socket = new QUdpSocket(this);
    connect(socket, &QUdpSocket::readyRead, this, [socket] { DropInbound(socket); });
    connect(socket, &QUdpSocket::errorOccurred, this, [this, socket](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::TemporaryError) // nothing to read after all
            return;
        Report(DescribeSocketProblem(error, socket->errorString()));
        if (error == QAbstractSocket::ConnectionRefusedError)
            StopListeningForRefusals();
    });
    return socket;
}

// Once told, a refusal per datagram would only wake the stand-in for nothing:
// the destination gets an unconnected socket, which hears none, and keeps
// being sent to, for its receiver may start later.
void UdpDestination::StopListeningForRefusals()
{
    if (!m_Connected)
        return;
    m_Socket->deleteLater();
    m_Socket = NewSocket();
    m_Connected = false;
}

// One log entry when its turn has come; then waits for the next turn.
void UdpDestination::SendPaced()
{
    if (m_Paced.isEmpty())
        return;
    const bool turnHasCome = !m_LastWrite.isValid() || m_LastWrite.elapsed() >= kTlfGapMs;
    if (turnHasCome) {
        if (Write({m_Paced.takeFirst()}))
            ++m_Sent;
        m_LastWrite.start();
    }
    if (!m_Paced.isEmpty() && !m_PaceTimer->isActive())
        m_PaceTimer->start(int(std::max<qint64>(kTlfGapMs - m_LastWrite.elapsed(), 1)));
    if (turnHasCome)
        emit StatusChanged();
}

// Socket errors arrive through errorOccurred and are reported there.
bool UdpDestination::Write(const QList<QByteArray> &datagrams)
{
    bool allWritten = true;
    for (const QByteArray &datagram : datagrams) {
        if (datagram.size() > kMaxDatagramBytes) {
            Report(QStringLiteral("a contact too large for one datagram was not sent"));
            allWritten = false;
        } else if (WriteOne(datagram) != datagram.size()) {
            allWritten = false;
        }
    }
    return allWritten;
}

// The "port unreachable" that a datagram brings back fails the next write
// on the connected socket, and errorOccurred does not tell it (Qt reports
// its last error again): so a failed write is taken as that refusal, told
// once, and the datagram goes again from an unconnected socket.
qint64 UdpDestination::WriteOne(const QByteArray &datagram)
{
    if (m_Connected) {
        const qint64 written = m_Socket->write(datagram);
        if (written >= 0)
            return written;
        Report(DescribeSocketProblem(QAbstractSocket::ConnectionRefusedError, QString()));
        StopListeningForRefusals();
    }
    return m_Socket->writeDatagram(datagram, m_Address, m_Where.port);
}

void UdpDestination::Report(const QString &problem)
{
    if (m_Problems.contains(problem))
        return;
    m_Problems.append(problem);
    std::fprintf(stderr, "vantrel-standin: %s: %s; contacts are still logged\n", qPrintable(Name()),
                 qPrintable(problem));
    emit StatusChanged();
}

// Servers answer clients (Reply, Halt Tx, Replay, Close, ...); the stand-in
// acts on none of it. A one-byte read drops a datagram of any size. The
// first read comes before asking for more: a wake-up may bring a
// "port unreachable" instead of data, which only a read reports (as
// errorOccurred); asking first would swallow it.
void UdpDestination::DropInbound(QUdpSocket *socket)
{
    char byte = 0;
    for (int i = 0; i < kMaxDroppedPerWake; ++i) {
        if (socket->readDatagram(&byte, 1) < 0 || !socket->hasPendingDatagrams())
            break;
    }
}

QString UdpDestination::Name() const
{
    static const QString kNames[] = {QStringLiteral("WSJT-X"), QStringLiteral("contactinfo"), QStringLiteral("ADIF"),
                                     QStringLiteral("Tlf")};
    return QStringLiteral("%1 %2:%3").arg(kNames[int(m_Where.kind)], m_Where.host).arg(m_Where.port);
}
