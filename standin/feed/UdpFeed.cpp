// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/UdpFeed.h"

#include "logger/StandinLogger.h"

UdpFeed::UdpFeed(const StandinLogger &logger, const FeedIdentity &identity, const QList<FeedDestination> &destinations,
                 QObject *parent)
    : QObject(parent), m_Worker(new UdpFeedWorker(logger.Columns(), identity, destinations))
{
    m_Thread.setObjectName(QStringLiteral("udp-feed"));
    m_StatusText = m_Worker->StatusText(); // the thread has not started yet
    connect(m_Worker, &UdpFeedWorker::StatusChanged, this, [this](const QString &text) {
        m_StatusText = text;
        emit StatusChanged();
    });
    connect(&m_Thread, &QThread::finished, m_Worker, &QObject::deleteLater);
    m_Worker->moveToThread(&m_Thread);
    connect(&logger, &StandinLogger::ContactLogged, this, &UdpFeed::logger_ContactLogged);
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

// The record is the logger's ADIF line, or empty: then the worker makes it.
void UdpFeed::logger_ContactLogged(const Contact &contact, const QByteArray &adifRecord)
{
    m_Worker->Hand(contact, adifRecord);
}
