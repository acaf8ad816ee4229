// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/UdpFeed.h"

#include <QMutexLocker>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// The sender's work can always wait a little; the logger's answers cannot.
// On Linux a thread's nice value is its own, so this lowers the sender only.
void LowerThisThreadsPriority()
{
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 19);
}

} // namespace

UdpFeed::UdpFeed(const ColumnSet &columns, const QString &stationCall, int heartbeatMs, QObject *parent)
    : QObject(parent), m_Sender(new UdpSender(columns, stationCall, heartbeatMs)), m_GatherTimer(new QTimer(m_Sender))
{
    m_Thread.setObjectName(QStringLiteral("udp-feed"));
    m_GatherTimer->setSingleShot(true);
    m_GatherTimer->setInterval(kGatherMs);
    connect(m_GatherTimer, &QTimer::timeout, m_Sender, [this] { SendQueued(); });
    m_StatusTimer.setSingleShot(true);
    m_StatusTimer.setInterval(kStatusMs);
    connect(&m_StatusTimer, &QTimer::timeout, this, &UdpFeed::StatusChanged);
    connect(m_Sender, &UdpSender::StatusChanged, this, [this](const QString &text) {
        m_StatusText = text;
        if (!m_StatusTimer.isActive())
            m_StatusTimer.start();
    });
    connect(&m_Thread, &QThread::started, [] { LowerThisThreadsPriority(); }); // runs on the new thread
    connect(&m_Thread, &QThread::finished, m_Sender, &QObject::deleteLater);
    m_Sender->moveToThread(&m_Thread);
    m_StatusText = m_Sender->StatusText();
}

UdpFeed::~UdpFeed()
{
    if (m_Thread.isRunning()) {
        QMetaObject::invokeMethod(m_Sender, [this] {
            SendQueued();
            m_Sender->Finish();
        }, Qt::BlockingQueuedConnection);
        m_Thread.quit();
        m_Thread.wait();
    } else {
        delete m_Sender;
    }
}

bool UdpFeed::ParseHostAndPort(const QString &text, QString &host, quint16 &port)
{
    const int colon = int(text.lastIndexOf(QLatin1Char(':')));
    bool isNumber = false;
    const uint number = text.mid(colon + 1).toUInt(&isNumber);
    if (colon <= 0 || !isNumber || number < 1 || number > 65535)
        return false;
    host = text.left(colon);
    port = quint16(number);
    return true;
}

void UdpFeed::AddDestination(Kind kind, const QString &host, quint16 port)
{
    m_Sender->AddDestination(kind, host, port);
    m_StatusText = m_Sender->StatusText();
}

void UdpFeed::Start()
{
    m_Thread.start();
    QMetaObject::invokeMethod(m_Sender, &UdpSender::Start, Qt::QueuedConnection);
}

// Only the first contact of a gathering wakes the sender's thread.
void UdpFeed::Send(const Contact &contact, const QByteArray &adifRecord)
{
    bool first = false;
    {
        const QMutexLocker lock(&m_QueueLock);
        first = m_Queue.isEmpty();
        m_Queue.append({contact, adifRecord});
    }
    if (first)
        QMetaObject::invokeMethod(m_Sender, [this] { Gather(); }, Qt::QueuedConnection);
}

void UdpFeed::Gather()
{
    if (!m_GatherTimer->isActive())
        m_GatherTimer->start();
}

void UdpFeed::SendQueued()
{
    QList<QueuedContact> contacts;
    {
        const QMutexLocker lock(&m_QueueLock);
        contacts.swap(m_Queue);
    }
    if (!contacts.isEmpty())
        m_Sender->SendContacts(contacts);
}
