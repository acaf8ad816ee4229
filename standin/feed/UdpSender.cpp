// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/UdpSender.h"

#include "feed/ContactInfoXml.h"
#include "feed/FeedContact.h"
#include "feed/WsjtxMessage.h"
#include "logger/AdifLogFile.h"

#include <QHostInfo>
#include <QSysInfo>
#include <QUdpSocket>
#include <QUuid>

#include <cstdio>

namespace {

// Inbound datagrams read per wake-up, so that a flood cannot hold up the bus.
constexpr int kMaxDroppedPerWake = 64;

QByteArray Heartbeat()
{
    return WsjtxMessage::Heartbeat(WsjtxMessage::kClientId, QStringLiteral(VANTREL_STANDIN_VERSION), QString());
}

} // namespace

UdpSender::UdpSender(const ColumnSet &columns, const QString &stationCall, int heartbeatMs)
    : m_Columns(columns), m_StationCall(stationCall), m_StationName(QSysInfo::machineHostName()),
      m_Heartbeat(new QTimer(this))
{
    m_Heartbeat->setInterval(heartbeatMs);
    connect(m_Heartbeat, &QTimer::timeout, this, &UdpSender::SendHeartbeats);
}

void UdpSender::Finish()
{
    m_Heartbeat->stop();
    for (Destination &destination : m_Destinations) {
        if (destination.kind == Kind::Wsjtx && destination.state == State::Ready)
            Write(destination, {WsjtxMessage::Close(WsjtxMessage::kClientId)});
    }
}

void UdpSender::AddDestination(Kind kind, const QString &host, quint16 port)
{
    Destination destination;
    destination.kind = kind;
    destination.host = host;
    destination.port = port;
    m_Destinations.push_back(destination);
}

void UdpSender::Start()
{
    for (size_t i = 0; i < m_Destinations.size(); ++i) {
        const QHostAddress address(m_Destinations[i].host);
        if (!address.isNull())
            Connect(i, address);
        else
            QHostInfo::lookupHost(m_Destinations[i].host, this, [this, i](const QHostInfo &info) { Resolved(i, info); });
    }
    m_Heartbeat->start();
    TellStatus();
}

void UdpSender::SendContacts(const QList<QueuedContact> &contacts)
{
    for (const QueuedContact &queued : contacts) {
        QList<QByteArray> wsjtx;
        QList<QByteArray> contactInfo;
        for (Destination &destination : m_Destinations) {
            QList<QByteArray> &datagrams = destination.kind == Kind::Wsjtx ? wsjtx : contactInfo;
            if (datagrams.isEmpty())
                datagrams = Datagrams(destination.kind, queued);
            Deliver(destination, datagrams);
        }
    }
    TellStatus();
}

// The same contact has the same ID at every contactinfo destination.
QList<QByteArray> UdpSender::Datagrams(Kind kind, const QueuedContact &queued) const
{
    const FeedContact contact{m_Columns, queued.contact, m_StationCall};
    if (kind == Kind::ContactInfo)
        return {ContactInfoXml::Datagram(contact, QUuid::createUuid().toString(QUuid::Id128), m_StationName)};
    const QByteArray record =
        queued.adifRecord.isEmpty() ? AdifLogFile::Record(m_Columns, queued.contact) : queued.adifRecord;
    return {WsjtxMessage::QsoLogged(WsjtxMessage::kClientId, contact),
            WsjtxMessage::LoggedAdif(WsjtxMessage::kClientId, AdifLogFile::OneRecordFile(record))};
}

void UdpSender::Deliver(Destination &destination, const QList<QByteArray> &datagrams)
{
    switch (destination.state) {
    case State::Ready:
        if (Write(destination, datagrams))
            ++destination.sent;
        break;
    case State::Resolving:
        if (destination.waiting.size() < kMaxWaitingContacts)
            destination.waiting.append(datagrams);
        else
            Report(destination, QStringLiteral("the name takes long to resolve; later contacts are not sent"));
        break;
    case State::Dead:
        break;
    }
}

// Socket errors arrive through errorOccurred and are reported there.
bool UdpSender::Write(Destination &destination, const QList<QByteArray> &datagrams)
{
    bool allWritten = true;
    for (const QByteArray &datagram : datagrams) {
        if (datagram.size() > kMaxDatagramBytes) {
            Report(destination, QStringLiteral("a contact too large for one datagram was not sent"));
            allWritten = false;
        } else if ((destination.connected ? destination.socket->write(datagram)
                                          : destination.socket->writeDatagram(datagram, destination.address,
                                                                              destination.port))
                   != datagram.size()) {
            allWritten = false;
        }
    }
    return allWritten;
}

// IPv4 first: the destinations this feed is for listen there.
void UdpSender::Resolved(size_t index, const QHostInfo &info)
{
    QHostAddress chosen;
    for (const QHostAddress &address : info.addresses()) {
        if (chosen.isNull() || (address.protocol() == QAbstractSocket::IPv4Protocol
                                && chosen.protocol() != QAbstractSocket::IPv4Protocol))
            chosen = address;
    }
    if (!chosen.isNull()) {
        Connect(index, chosen);
        return;
    }
    Destination &destination = m_Destinations[index];
    destination.state = State::Dead;
    destination.waiting.clear();
    Report(destination, QStringLiteral("the name does not resolve (%1)").arg(info.errorString()));
}

// A connected UDP socket learns of "port unreachable" answers, so a
// destination where nobody listens is reported; it also takes inbound
// datagrams only from that destination. Connecting a UDP socket sends nothing.
void UdpSender::Connect(size_t index, const QHostAddress &address)
{
    Destination &destination = m_Destinations[index];
    destination.address = address;
    destination.socket = NewSocket(index);
    destination.socket->connectToHost(address, destination.port);
    if (destination.socket->state() != QAbstractSocket::ConnectedState) {
        destination.state = State::Dead;
        destination.waiting.clear();
        Report(destination, destination.socket->errorString());
        return;
    }
    destination.connected = true;
    destination.state = State::Ready;
    if (destination.kind == Kind::Wsjtx)
        Write(destination, {Heartbeat()});
    for (const QList<QByteArray> &datagrams : std::as_const(destination.waiting))
        Deliver(destination, datagrams);
    destination.waiting.clear();
    TellStatus();
}

QUdpSocket *UdpSender::NewSocket(size_t index)
{
    auto *socket = new QUdpSocket(this);
    connect(socket, &QUdpSocket::readyRead, this, [socket] { DropInbound(socket); });
    connect(socket, &QUdpSocket::errorOccurred, this, [this, index, socket](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::TemporaryError) // nothing to read after all
            return;
        Report(m_Destinations[index], DescribeError(error, socket->errorString()));
        if (error == QAbstractSocket::ConnectionRefusedError)
            StopListeningForRefusals(index);
    });
    return socket;
}

// Once told, a refusal per datagram would only wake the stand-in for nothing:
// the destination gets an unconnected socket, which hears none, and keeps
// being sent to, for its receiver may start later.
void UdpSender::StopListeningForRefusals(size_t index)
{
    Destination &destination = m_Destinations[index];
    if (!destination.connected)
        return;
    destination.socket->deleteLater();
    destination.socket = NewSocket(index);
    destination.connected = false;
}

void UdpSender::SendHeartbeats()
{
    for (Destination &destination : m_Destinations) {
        if (destination.kind == Kind::Wsjtx && destination.state == State::Ready)
            Write(destination, {Heartbeat()});
    }
}

void UdpSender::Report(Destination &destination, const QString &problem)
{
    if (destination.problems.contains(problem))
        return;
    destination.problems.append(problem);
    std::fprintf(stderr, "vantrel-standin: %s: %s; contacts are still logged\n", qPrintable(Name(destination)),
                 qPrintable(problem));
    TellStatus();
}

// Servers answer clients (Reply, Halt Tx, Replay, Close, ...); the stand-in
// acts on none of it. A one-byte read drops a datagram of any size. The
// first read comes before asking for more: a wake-up may bring a
// "port unreachable" instead of data, which only a read reports (as
// errorOccurred); asking first would swallow it.
void UdpSender::DropInbound(QUdpSocket *socket)
{
    char byte = 0;
    for (int i = 0; i < kMaxDroppedPerWake; ++i) {
        if (socket->readDatagram(&byte, 1) < 0 || !socket->hasPendingDatagrams())
            break;
    }
}

QString UdpSender::DescribeError(QAbstractSocket::SocketError error, const QString &errorString)
{
    if (error == QAbstractSocket::ConnectionRefusedError)
        return QStringLiteral("nobody is listening");
    return errorString;
}

QString UdpSender::Name(const Destination &destination)
{
    return QStringLiteral("%1 %2:%3")
        .arg(destination.kind == Kind::Wsjtx ? QStringLiteral("WSJT-X") : QStringLiteral("contactinfo"),
             destination.host)
        .arg(destination.port);
}

void UdpSender::TellStatus()
{
    emit StatusChanged(StatusText());
}

QString UdpSender::StatusText() const
{
    QStringList parts;
    for (const Destination &destination : m_Destinations) {
        QString part = QStringLiteral("%1: %2 sent").arg(Name(destination)).arg(destination.sent);
        if (destination.state == State::Resolving)
            part += QStringLiteral(", resolving");
        if (!destination.problems.isEmpty())
            part += QStringLiteral(" (%1)").arg(destination.problems.last());
        parts.append(part);
    }
    return QStringLiteral("UDP to ") + parts.join(QStringLiteral(" · "));
}
