#pragma once

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <QThread>

// Runs the stand-in logger as a child process on the test's private session
// bus and waits until it owns its bus name. The child is always ended when
// this object goes away.
class StandinProcess {
public:
    explicit StandinProcess(const QStringList &arguments = {})
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_Process.setProcessEnvironment(env);
        m_Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_Process.start(QStringLiteral(VANTREL_STANDIN_PATH), arguments);
    }

    ~StandinProcess() { Stop(); }

    // True once the logger owns its name; false if it did not within 10 s.
    bool WaitUntilServing(const QString &name = QStringLiteral("vantrel.document"))
    {
        const QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired()) {
            if (QDBusConnection::sessionBus().interface()->isServiceRegistered(name))
                return true;
            if (m_Process.state() == QProcess::NotRunning)
                return false;
            QThread::msleep(20);
        }
        return false;
    }

    // Ends the logger and waits until its bus name is released.
    void Stop()
    {
        if (m_Process.state() != QProcess::NotRunning) {
            m_Process.kill();
            m_Process.waitForFinished(10000);
        }
        const QDeadlineTimer deadline(10000);
        auto *bus = QDBusConnection::sessionBus().interface();
        while (bus && !deadline.hasExpired() && bus->isServiceRegistered(QStringLiteral("vantrel.document")))
            QThread::msleep(20);
    }

    QProcess &Process() { return m_Process; }

private:
    QProcess m_Process;
};
