// SPDX-License-Identifier: GPL-3.0-or-later
#include "LauncherEntry.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <algorithm>

namespace {

// The listeners take the signal from any object; the path only has to be the program's own.
const QString kObjectPath = QStringLiteral("/org/example/ardenix/LauncherEntry");

} // namespace

LauncherEntry::LauncherEntry(const QString &desktopFileId)
    : m_AppUri(QStringLiteral("application://%1.desktop").arg(desktopFileId))
{
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
    bus.send(signal);
}
