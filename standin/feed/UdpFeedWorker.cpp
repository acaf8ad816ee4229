// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/UdpFeedWorker.h"

#include "feed/ContactInfoXml.h"
#include "feed/FeedContact.h"
#include "feed/RigctldClient.h"
#include "feed/SocketProblem.h"
#include "feed/TlfLanMessage.h"
#include "feed/WsjtxMessage.h"
#include "logger/AdifLogFile.h"

#include <QHostInfo>
#include <QMutexLocker>
#include <QSysInfo>
#include <QUdpSocket>
#include <QUuid>

#include <algorithm>
#include <cstdio>
#include <map>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// Inbound datagrams read per wake-up, so that a flood cannot hold up the bus.
constexpr int kMaxDroppedPerWake = 64;

// The feed's work can always wait a little; the logger's answers cannot.
// On Linux a thread's nice value is its own, so this lowers the feed's thread only.
void LowerThisThreadsPriority()
{
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
}

} // namespace

UdpFeedWorker::UdpFeedWorker(const ColumnSet &columns, const FeedIdentity &identity,
                             const QList<FeedDestination> &destinations)
    : m_Columns(columns), m_Identity(identity), m_StationName(QSysInfo::machineHostName()),
      m_Heartbeat(new QTimer(this)), m_GatherTimer(new QTimer(this)), m_PaceTimer(new QTimer(this))
{
    for (const FeedDestination &where : destinations) {
        if (where.kind == Kind::Rigctld) {
            m_Radio = new RigctldClient(where.host, where.port, this);
            connect(m_Radio, &RigctldClient::StatusChanged, this, &UdpFeedWorker::TellStatus);
            continue;
        }
        Destination destination;
        static_cast<FeedDestination &>(destination) = where;
        m_Destinations.push_back(destination);
    }
    m_Heartbeat->setInterval(kHeartbeatMs);
    connect(m_Heartbeat, &QTimer::timeout, this, &UdpFeedWorker::SendHeartbeats);
    m_GatherTimer->setSingleShot(true);
    m_GatherTimer->setInterval(kGatherMs);
    connect(m_GatherTimer, &QTimer::timeout, this, &UdpFeedWorker::SendQueued);
    m_PaceTimer->setSingleShot(true);
    m_PaceTimer->setTimerType(Qt::PreciseTimer);
    connect(m_PaceTimer, &QTimer::timeout, this, &UdpFeedWorker::SendPaced);
}

void UdpFeedWorker::Hand(const Contact &contact, const QByteArray &adifRecord)
{
    bool first = false;
    {
        const QMutexLocker lock(&m_QueueLock);
        first = m_Queue.isEmpty();
        m_Queue.append({contact, adifRecord});
    }
    if (first)
        QMetaObject::invokeMethod(this, &UdpFeedWorker::Gather, Qt::QueuedConnection);
}

void UdpFeedWorker::HandRadio(const RadioSetting &setting)
{
    if (m_Radio)
        m_Radio->Hand(setting);
}

void UdpFeedWorker::Start()
{
    LowerThisThreadsPriority();
    for (size_t i = 0; i < m_Destinations.size(); ++i) {
        const QHostAddress address(m_Destinations[i].host);
        if (!address.isNull())
            Connect(i, address);
        else
            QHostInfo::lookupHost(m_Destinations[i].host, this, [this, i](const QHostInfo &info) { Resolved(i, info); });
    }
    if (m_Radio)
        m_Radio->Start();
    m_Heartbeat->start();
    TellStatus();
}

void UdpFeedWorker::Finish()
{
    SendQueued();
    m_Heartbeat->stop();
    for (Destination &destination : m_Destinations) {
        if (destination.kind == Kind::Wsjtx && destination.state == State::Ready)
            Write(destination, {WsjtxMessage::Close(m_Identity.wsjtxId)});
        if (!destination.paced.isEmpty())
            std::fprintf(stderr, "vantrel-standin: %s: %d contact(s) still waiting their turn are not sent\n",
                         qPrintable(Name(destination)), int(destination.paced.size()));
    }
}

// Waits kGatherMs, so that the contacts handed over meanwhile go out together.
void UdpFeedWorker::Gather()
{
    if (!m_GatherTimer->isActive())
        m_GatherTimer->start();
}

void UdpFeedWorker::SendQueued()
{
    QList<QueuedContact> contacts;
    {
        const QMutexLocker lock(&m_QueueLock);
        contacts.swap(m_Queue);
    }
    if (!contacts.isEmpty())
        SendContacts(contacts);
}

// Each kind's datagrams are made once per contact, for all its destinations.
void UdpFeedWorker::SendContacts(const QList<QueuedContact> &contacts)
{
    for (const QueuedContact &queued : contacts) {
        ++m_Contacts;
        std::map<Kind, QList<QByteArray>> made;
        for (Destination &destination : m_Destinations) {
            auto datagrams = made.find(destination.kind);
            if (datagrams == made.end())
                datagrams = made.emplace(destination.kind, Datagrams(destination.kind, queued)).first;
            if (datagrams->second.isEmpty())
                ++destination.notSent;
            else
                Deliver(destination, datagrams->second);
        }
    }
    TellStatus();
}

// The same contact has the same ID at every contactinfo destination. None
// for a contact that Tlf cannot hold.
QList<QByteArray> UdpFeedWorker::Datagrams(Kind kind, const QueuedContact &queued) const
{
    const FeedContact contact{m_Columns, queued.contact, m_Identity.stationCall};
    switch (kind) {
    case Kind::Wsjtx:
        return {WsjtxMessage::QsoLogged(m_Identity.wsjtxId, contact),
                WsjtxMessage::LoggedAdif(m_Identity.wsjtxId, AdifText(queued))};
    case Kind::ContactInfo:
        return {ContactInfoXml::Datagram(contact, QUuid::createUuid().toString(QUuid::Id128), m_StationName,
                                         m_Identity.contactInfoApp)};
    case Kind::Adif:
        return {AdifText(queued)};
    case Kind::TlfLan: {
        const QByteArray line = TlfLanMessage::LogLine(contact, m_Contacts);
        if (line.isEmpty())
            return {};
        return {TlfLanMessage::LogEntry(m_Identity.tlfNode, line)};
    }
    case Kind::Rigctld:
        break; // the radio gets settings, not contacts
    }
    return {};
}

// The one-record ADIF file of the contact, around the log's own line when there is one.
QByteArray UdpFeedWorker::AdifText(const QueuedContact &queued) const
{
    return AdifLogFile::OneRecordFile(queued.adifRecord.isEmpty() ? AdifLogFile::Record(m_Columns, queued.contact)
                                                                  : queued.adifRecord);
}

void UdpFeedWorker::Deliver(Destination &destination, const QList<QByteArray> &datagrams)
{
    switch (destination.state) {
    case State::Ready:
        if (destination.kind == Kind::TlfLan) {
            if (destination.paced.size() < kMaxTlfWaiting) {
                destination.paced.append(datagrams);
            } else {
                ++destination.notSent;
                Report(destination, QStringLiteral("Tlf takes contacts slower than they come; later ones are not sent"));
            }
            SendPaced();
        } else if (Write(destination, datagrams)) {
            ++destination.sent;
        }
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

// One log entry to each Tlf whose turn has come; then waits for the next turn.
void UdpFeedWorker::SendPaced()
{
    qint64 nextTurnMs = -1;
    bool wrote = false;
    for (Destination &destination : m_Destinations) {
        if (destination.paced.isEmpty())
            continue;
        if (!destination.lastWrite.isValid() || destination.lastWrite.elapsed() >= kTlfGapMs) {
            if (Write(destination, {destination.paced.takeFirst()}))
                ++destination.sent;
            destination.lastWrite.start();
            wrote = true;
        }
        if (!destination.paced.isEmpty()) {
            const qint64 waitMs = kTlfGapMs - destination.lastWrite.elapsed();
            nextTurnMs = nextTurnMs < 0 ? waitMs : std::min(nextTurnMs, waitMs);
        }
    }
    if (nextTurnMs >= 0 && !m_PaceTimer->isActive())
        m_PaceTimer->start(int(std::max<qint64>(nextTurnMs, 1)));
    if (wrote)
        TellStatus();
}

// Socket errors arrive through errorOccurred and are reported there.
bool UdpFeedWorker::Write(Destination &destination, const QList<QByteArray> &datagrams)
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
void UdpFeedWorker::Resolved(size_t index, const QHostInfo &info)
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
void UdpFeedWorker::Connect(size_t index, const QHostAddress &address)
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

QUdpSocket *UdpFeedWorker::NewSocket(size_t index)
{
    auto *socket = new QUdpSocket(this);
    connect(socket, &QUdpSocket::readyRead, this, [socket] { DropInbound(socket); });
    connect(socket, &QUdpSocket::errorOccurred, this, [this, index, socket](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::TemporaryError) // nothing to read after all
            return;
        Report(m_Destinations[index], DescribeSocketProblem(error, socket->errorString()));
        if (error == QAbstractSocket::ConnectionRefusedError)
            StopListeningForRefusals(index);
    });
    return socket;
}

// Once told, a refusal per datagram would only wake the stand-in for nothing:
// the destination gets an unconnected socket, which hears none, and keeps
// being sent to, for its receiver may start later.
void UdpFeedWorker::StopListeningForRefusals(size_t index)
{
    Destination &destination = m_Destinations[index];
    if (!destination.connected)
        return;
    destination.socket->deleteLater();
    destination.socket = NewSocket(index);
    destination.connected = false;
}

QByteArray UdpFeedWorker::Heartbeat() const
{
    return WsjtxMessage::Heartbeat(m_Identity.wsjtxId, QStringLiteral(VANTREL_STANDIN_VERSION), QString());
}

void UdpFeedWorker::SendHeartbeats()
{
    for (Destination &destination : m_Destinations) {
        if (destination.kind == Kind::Wsjtx && destination.state == State::Ready)
            Write(destination, {Heartbeat()});
    }
}

void UdpFeedWorker::Report(Destination &destination, const QString &problem)
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
void UdpFeedWorker::DropInbound(QUdpSocket *socket)
{
    char byte = 0;
    for (int i = 0; i < kMaxDroppedPerWake; ++i) {
        if (socket->readDatagram(&byte, 1) < 0 || !socket->hasPendingDatagrams())
            break;
    }
}

QString UdpFeedWorker::Name(const Destination &destination)
{
    static const std::map<Kind, QString> kNames = {{Kind::Wsjtx, QStringLiteral("WSJT-X")},
                                                   {Kind::ContactInfo, QStringLiteral("contactinfo")},
                                                   {Kind::Adif, QStringLiteral("ADIF")},
                                                   {Kind::TlfLan, QStringLiteral("Tlf")}};
    return QStringLiteral("%1 %2:%3").arg(kNames.at(destination.kind), destination.host).arg(destination.port);
}

void UdpFeedWorker::TellStatus()
{
    emit StatusChanged(StatusText());
}

QString UdpFeedWorker::StatusText() const
{
    QStringList parts;
    for (const Destination &destination : m_Destinations) {
        QString part = QStringLiteral("%1: %2 sent").arg(Name(destination)).arg(destination.sent);
        if (destination.notSent > 0)
            part += QStringLiteral(", %1 not sent").arg(destination.notSent);
        if (destination.state == State::Resolving)
            part += QStringLiteral(", resolving");
        if (!destination.problems.isEmpty())
            part += QStringLiteral(" (%1)").arg(destination.problems.last());
        parts.append(part);
    }
    QString text = parts.isEmpty() ? QString() : QStringLiteral("UDP to ") + parts.join(QStringLiteral(" · "));
    if (m_Radio)
        text += (text.isEmpty() ? QString() : QStringLiteral(" · ")) + m_Radio->StatusText();
    return text;
}
