#pragma once

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QProcess>
#include <QStringList>
#include <QTest>

// One run of the stand-in logger on the test's private session bus, offscreen.
// It is killed, and its bus name gone, when this object goes out of scope.
class StandinProcess {
public:
    static constexpr int kWaitMs = 10000;

    explicit StandinProcess(const QStringList &arguments = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_Process.setProcessEnvironment(environment);
        m_Process.start(QStringLiteral(VANTREL_STANDIN_PATH), arguments);
    }

    ~StandinProcess() { Stop(); }

    static bool NameIsOnBus()
    {
        return QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("vantrel.document"));
    }

    // Bounded poll: false when the program ended first or never took the name.
    bool WaitForName()
    {
        const QDeadlineTimer deadline(kWaitMs);
        while (!deadline.hasExpired()) {
            if (NameIsOnBus()) {
                m_HadName = true;
                return true;
            }
            if (m_Process.state() == QProcess::NotRunning)
                return false;
            QTest::qWait(20);
        }
        return false;
    }

    // Kills the logger; the bus drops the name on its own time, and the next run needs it free.
    void Stop()
    {
        if (m_Process.state() != QProcess::NotRunning) {
            m_Process.kill();
            m_Process.waitForFinished(kWaitMs);
        }
        const QDeadlineTimer deadline(kWaitMs);
        while (m_HadName && NameIsOnBus() && !deadline.hasExpired())
            QTest::qWait(20);
    }

    // Asks the logger to quit (SIGTERM), as a user ends it; false when it does not end.
    bool Terminate()
    {
        m_Process.terminate();
        return m_Process.waitForFinished(kWaitMs);
    }

    // For runs that are expected to end by themselves.
    bool WaitForExit() { return m_Process.waitForFinished(kWaitMs); }
    int ExitCode() const { return m_Process.exitCode(); }
    QProcess::ExitStatus ExitStatus() const { return m_Process.exitStatus(); }
    QString ErrorOutput() { return QString::fromUtf8(m_Process.readAllStandardError()); }
    qint64 ProcessId() const { return m_Process.processId(); }

private:
    QProcess m_Process;
    bool m_HadName = false;
};
