#pragma once

#include "Vantrel.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <QThread>
#include <cstdio>

// A session bus of the benchmark's own, so that no other logger or desktop
// service is met. Its address goes into the environment, for this process
// and the programs it starts, before anything here opens the session bus.
class PrivateBus {
public:
    static constexpr int kStartWaitMs = 10000;

    ~PrivateBus()
    {
        m_Bus.kill();
        m_Bus.waitForFinished(kStartWaitMs);
    }

    // False, with a message on standard error, when the bus will not start.
    bool Start()
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

private:
    QProcess m_Bus;
};

// The stand-in logger on a private session bus.
class PrivateLogger {
public:
    static constexpr int kStartWaitMs = PrivateBus::kStartWaitMs;

    ~PrivateLogger()
    {
        m_Logger.kill();
        m_Logger.waitForFinished(kStartWaitMs);
    }

    // False, with a message on standard error, when either will not start.
    bool Start(const QString &program, const QStringList &arguments)
    {
        return m_Bus.Start() && StartLogger(program, arguments);
    }

    // Ends the logger and starts another on the same bus, once the first has
    // let go of its name; false, with a message, when it will not start.
    bool Restart(const QString &program, const QStringList &arguments)
    {
        m_Logger.kill();
        m_Logger.waitForFinished(kStartWaitMs);
        const QDeadlineTimer deadline(kStartWaitMs);
        while (!deadline.hasExpired() && QDBusConnection::sessionBus().interface()->isServiceRegistered(kVantrelProgId))
            QThread::msleep(10);
        return StartLogger(program, arguments);
    }

    // The stand-in built beside this program, with its window or without.
    bool StartStandin(QStringList arguments, bool window)
    {
        if (!window)
            arguments << QStringLiteral("--no-window");
        return Start(QCoreApplication::applicationDirPath() + QStringLiteral("/vantrel-standin"), arguments);
    }

private:
    bool StartLogger(const QString &program, const QStringList &arguments)
    {
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

    PrivateBus m_Bus; // declared first: the logger ends before its bus
    QProcess m_Logger;
};
