// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrivateBus.h"

#include <cstdio>

PrivateBus::~PrivateBus()
{
    m_Bus.kill();
    m_Bus.waitForFinished(kStartWaitMs);
}

bool PrivateBus::Start()
{
    m_Bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (!m_Bus.waitForStarted() || !m_Bus.waitForReadyRead(kStartWaitMs)) {
        std::fprintf(stderr, "cannot start a private session bus (dbus-daemon)\n");
        return false;
    }
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_Bus.readLine().trimmed());
    return true;
}
