// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/UdpFeedWorker.h"

#include "feed/ContactInfoXml.h"
#include "feed/FeedContact.h"
#include "feed/TlfLanMessage.h"
#include "feed/WsjtxMessage.h"
#include "logger/AdifLogFile.h"

#include <QMutexLocker>
#include <QSysInfo>
#include <QUuid>

#include <map>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// The feed's work can always wait a little; the logger's answers cannot.
// On Linux a thread's nice value is its own, so this lowers the feed's thread only.
void LowerThisThreadsPriority()
{
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
}

} // namespace

UdpFeedWorker::UdpFeedWorker(const ColumnSet &columns, const FeedIdentity &identity,
                             const QList<FeedDestination> &destinations, std::unique_ptr<FeedFaults> faults)
    : m_Columns(columns), m_Identity(identity), m_StationName(QSysInfo::machineHostName()),
      m_Faults(std::move(faults)), m_Heartbeat(new QTimer(this)), m_GatherTimer(new QTimer(this))
{
    for (const FeedDestination &where : destinations) {
        auto *destination = new UdpDestination(where, where.kind == Kind::Wsjtx ? Heartbeat() : QByteArray(), this);
        connect(destination, &UdpDestination::StatusChanged, this, &UdpFeedWorker::TellStatus);
        m_Destinations.push_back(destination);
    }
    m_Heartbeat->setInterval(kHeartbeatMs);
    connect(m_Heartbeat, &QTimer::timeout, this, &UdpFeedWorker::SendHeartbeats);
    m_GatherTimer->setSingleShot(true);
    m_GatherTimer->setInterval(kGatherMs);
    connect(m_GatherTimer, &QTimer::timeout, this, &UdpFeedWorker::SendQueued);
}

void UdpFeedWorker::Hand(const QueuedContact &queued)
{
    bool first = false;
    {
        const QMutexLocker lock(&m_QueueLock);
        first = m_Queue.isEmpty();
        m_Queue.append(queued);
    }
    if (first)
        QMetaObject::invokeMethod(this, &UdpFeedWorker::Gather, Qt::QueuedConnection);
}

void UdpFeedWorker::Start()
{
    LowerThisThreadsPriority();
    for (UdpDestination *destination : m_Destinations)
        destination->Start();
    m_Heartbeat->start();
    TellStatus();
}

void UdpFeedWorker::Finish()
{
    SendQueued();
    if (m_Faults)
        m_Faults->Flush();
    m_Heartbeat->stop();
    for (UdpDestination *destination : m_Destinations) {
        if (destination->DatagramKind() == Kind::Wsjtx)
            destination->SendMessage(WsjtxMessage::Close(m_Identity.wsjtxId));
        destination->Finish();
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
        if (queued.event == QueuedContact::Event::Logged)
            ++m_Contacts;
        std::map<Kind, QList<QByteArray>> made;
        for (UdpDestination *destination : m_Destinations) {
            const Kind kind = destination->DatagramKind();
            auto datagrams = made.find(kind);
            if (datagrams == made.end())
                datagrams = made.emplace(kind, Datagrams(kind, queued)).first;
            Send(*destination, queued, datagrams->second);
        }
    }
    TellStatus();
}

// A live-session event is nothing for most kinds; a contact with no
// datagrams is one this kind cannot hold.
void UdpFeedWorker::Send(UdpDestination &destination, const QueuedContact &queued, const QList<QByteArray> &datagrams)
{
    const bool logged = queued.event == QueuedContact::Event::Logged;
    if (datagrams.isEmpty()) {
        if (logged)
            destination.CountNotSent();
    } else if (!m_Faults) {
        destination.Deliver(datagrams, logged);
    } else if (logged) {
        m_Faults->Deliver(destination, m_Contacts, datagrams);
    } else {
        m_Faults->HoldLive(destination, datagrams);
    }
}

// The same contact has the same ID at every contactinfo destination. None
// for a contact that Tlf cannot hold.
QList<QByteArray> UdpFeedWorker::Datagrams(Kind kind, const QueuedContact &queued) const
{
    const FeedContact contact{m_Columns, queued.contact, m_Identity.stationCall};
    switch (queued.event) {
    case QueuedContact::Event::Selected:
        return kind == Kind::Wsjtx ? QList<QByteArray>{WsjtxMessage::Status(m_Identity.wsjtxId, contact)}
                                   : QList<QByteArray>{};
    case QueuedContact::Event::RadioSet:
        return kind == Kind::ContactInfo ? QList<QByteArray>{ContactInfoXml::RadioInfo(contact, m_StationName,
                                                                                       m_Identity.contactInfoApp)}
                                         : QList<QByteArray>{};
    case QueuedContact::Event::Logged:
        break;
    }
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
    }
    return {};
}

// The one-record ADIF file of the contact, around the log's own line when there is one.
QByteArray UdpFeedWorker::AdifText(const QueuedContact &queued) const
{
    return AdifLogFile::OneRecordFile(queued.adifRecord.isEmpty() ? AdifLogFile::Record(m_Columns, queued.contact)
                                                                  : queued.adifRecord);
}

QByteArray UdpFeedWorker::Heartbeat() const
{
    return WsjtxMessage::Heartbeat(m_Identity.wsjtxId, QStringLiteral(VANTREL_STANDIN_VERSION), QString());
}

void UdpFeedWorker::SendHeartbeats()
{
    for (UdpDestination *destination : m_Destinations) {
        if (destination->DatagramKind() == Kind::Wsjtx)
            destination->SendMessage(Heartbeat());
    }
}

void UdpFeedWorker::TellStatus()
{
    emit StatusChanged(StatusText());
}

QString UdpFeedWorker::StatusText() const
{
    QStringList parts;
    for (const UdpDestination *destination : m_Destinations)
        parts.append(destination->StatusText());
    return parts.isEmpty() ? QString() : QStringLiteral("UDP to ") + parts.join(QStringLiteral(" · "));
}
