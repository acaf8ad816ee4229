// SPDX-License-Identifier: GPL-3.0-or-later
#include "LauncherEntry.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <algorithm>

namespace {

// The listeners take the signal from any object; the path only has to be the program's own.
const QString kObjectPath = QStringLiteral("/org/example/ardenix/LauncherEntry");
// The longest the program's end waits for the bus to take the last signal.
constexpr int kFlushTimeoutMs = 1000;

} // namespace

LauncherEntry::LauncherEntry(const QString &desktopFileId)
    : m_AppUri(QStringLiteral("application://%1.desktop").arg(desktopFileId))
{
}

// Signals wait in the bus connection's queue, which QtDBus empties from a
// thread of its own; a program that ends right after the last contact,
// even through its event loop, would lose the final progress and the
// hiding now and then. A call answered by the bus comes back only after
// what was sent before it.
LauncherEntry::~LauncherEntry()
{
    if (!m_Sent)
        return;
    QDBusMessage ping = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                                       QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"));
    QDBusConnection::sessionBus().call(ping, QDBus::Block, kFlushTimeoutMs);
}

void LauncherEntry::ShowProgress(double fraction)
{
    Update({{QStringLiteral("progress"), std::clamp(fraction, 0.0, 1.0)},
            {QStringLiteral("progress-visible"), true}});
    m_Showing = true;
}

void LauncherEntry::HideProgress()
{
    if (!m_Showing)
        return;
    Update({{QStringLiteral("progress-visible"), false}});
    m_Showing = false;
}

void LauncherEntry::Update(const QVariantMap &properties)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, QString::fromLatin1(kInterface), QStringLiteral("Update"));
    signal << m_AppUri << properties;
    m_Sent = bus.send(signal) || m_Sent;
}
