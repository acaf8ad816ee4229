// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/UdpFeed.h"

#include "logger/StandinLogger.h"

#include <algorithm>

namespace {

bool HasKind(const QList<FeedDestination> &destinations, FeedDestination::Kind kind)
{
    return std::any_of(destinations.begin(), destinations.end(),
                       [kind](const FeedDestination &destination) { return destination.kind == kind; });
}

} // namespace

UdpFeed::UdpFeed(const StandinLogger &logger, const FeedIdentity &identity, const QList<FeedDestination> &destinations,
                 bool liveSession, std::unique_ptr<FeedFaults> faults, QObject *parent)
    : QObject(parent), m_Logger(logger),
      m_SendsStatus(liveSession && HasKind(destinations, FeedDestination::Kind::Wsjtx)),
      m_SendsRadioInfo(liveSession && HasKind(destinations, FeedDestination::Kind::ContactInfo)),
      m_Worker(new UdpFeedWorker(logger.Columns(), identity, destinations, std::move(faults)))
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
    if (m_SendsStatus)
        connect(&logger, &StandinLogger::EntryChanged, this, &UdpFeed::logger_EntryChanged);
    if (m_SendsRadioInfo)
        connect(&logger, &StandinLogger::FrequencySet, this, &UdpFeed::logger_FrequencySet);
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

// A station is selected once the entry row has a frequency; a Status goes
// out whenever its call, frequency or mode changes from then on.
void UdpFeed::logger_EntryChanged()
{
    if (m_Logger.Entry().txKhz <= 0) {
        m_StatusSent.reset();
        return;
    }
    SelectStation(m_Logger.EntryContact());
}

void UdpFeed::logger_FrequencySet()
{
    m_Worker->Hand({QueuedContact::Event::RadioSet, m_Logger.EntryContact(), {}});
}

// The record is the logger's ADIF line, or empty: then the worker makes it.
// A contact logged without a Status for it (no frequency was set) gets one first.
void UdpFeed::logger_ContactLogged(const Contact &contact, const QByteArray &adifRecord)
{
    if (m_SendsStatus)
        SelectStation(contact);
    m_Worker->Hand({QueuedContact::Event::Logged, contact, adifRecord});
    m_StatusSent.reset();
}

void UdpFeed::SelectStation(const Contact &entry)
{
    const Station station{entry.call, entry.txKhz, entry.mode};
    if (m_StatusSent == station)
        return;
    m_StatusSent = station;
    m_Worker->Hand({QueuedContact::Event::Selected, entry, {}});
}
