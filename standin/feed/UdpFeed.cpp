// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/UdpFeed.h"

UdpFeed::UdpFeed(const ColumnSet &columns, const FeedIdentity &identity, const QList<FeedDestination> &destinations,
                 QObject *parent)
    : QObject(parent), m_Worker(new UdpFeedWorker(columns, identity, destinations))
{
    m_Thread.setObjectName(QStringLiteral("udp-feed"));
    m_StatusText = m_Worker->StatusText(); // the thread has not started yet
    m_StatusTimer.setSingleShot(true);
    m_StatusTimer.setInterval(kStatusMs);
    connect(&m_StatusTimer, &QTimer::timeout, this, &UdpFeed::StatusChanged);
    connect(m_Worker, &UdpFeedWorker::StatusChanged, this, [this](const QString &text) {
        m_StatusText = text;
        if (!m_StatusTimer.isActive())
            m_StatusTimer.start();
    });
    connect(&m_Thread, &QThread::finished, m_Worker, &QObject::deleteLater);
    m_Worker->moveToThread(&m_Thread);
}

UdpFeed::~UdpFeed()
{
    if (m_Thread.isRunning()) {
        QMetaObject::invokeMethod(m_Worker, &UdpFeedWorker::Finish, Qt::BlockingQueuedConnection);
        m_Thread.quit();
        m_Thread.wait();
    } else {
        delete m_Worker;
    }
}

void UdpFeed::Start()
{
    m_Thread.start();
    QMetaObject::invokeMethod(m_Worker, &UdpFeedWorker::Start, Qt::QueuedConnection);
}

void UdpFeed::Send(const Contact &contact, const QByteArray &adifRecord)
{
    m_Worker->Hand(contact, adifRecord);
}

void UdpFeed::SetRadio(const RadioSetting &setting)
{
    m_Worker->HandRadio(setting);
}
