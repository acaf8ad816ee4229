#pragma once

#include "Vantrel.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <QThread>
#include <cstdio>

// The stand-in logger on a session bus of the benchmark's own, so that no
// other logger or desktop service is met. The bus address goes into the
// environment before anything in this process opens the session bus.
class PrivateLogger {
public:
    static constexpr int kStartWaitMs = 10000;

    ~PrivateLogger()
    {
        for (QProcess *process : {&m_Logger, &m_Bus}) {
            process->kill();
            process->waitForFinished(kStartWaitMs);
        }
    }

    // False, with a message on standard error, when either will not start.
    bool Start(const QString &program, const QStringList &arguments)
    {
        m_Bus.start(QStringLiteral("dbus-daemon"),
                    {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!m_Bus.waitForStarted() || !m_Bus.waitForReadyRead(kStartWaitMs)) {
            std::fprintf(stderr, "cannot start a private session bus (dbus-daemon)\n");
            return false;
        }
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_Bus.readLine().trimmed());

        m_Logger.setProcessChannelMode(QProcess::ForwardedChannels);
        m_Logger.start(program, arguments);
        const QDeadlineTimer deadline(kStartWaitMs);
        while (!deadline.hasExpired() && m_Logger.state() != QProcess::NotRunning) {
            if (QDBusConnection::sessionBus().interface()->isServiceRegistered(kVantrelProgId))
                return true;
            QThread::msleep(10);
        }
        std::fprintf(stderr, "the logger %s did not come up on the bus\n", qPrintable(program));
        return false;
    }

private:
    QProcess m_Bus;
    QProcess m_Logger;
};
