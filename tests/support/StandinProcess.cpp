// SPDX-License-Identifier: GPL-3.0-or-later
#include "StandinProcess.h"

#include "Vantrel.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QTest>
#include <cstdio>

QString StandinProcess::BuiltProgram() { return QStringLiteral(VANTREL_STANDIN_PATH); }

QStringList StandinProcess::WithWindow(QStringList arguments, bool window)
{
    if (!window)
        arguments << QStringLiteral("--no-window");
    return arguments;
}

StandinProcess::StandinProcess(const QStringList &arguments, Use use, const QString &program)
{
    if (use == Use::Test) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_Process.setProcessEnvironment(environment);
    } else {
        m_Bus = std::make_unique<PrivateBus>();
        if (!m_Bus->Start())
            return; // without its bus the logger is not started
        m_Process.setProcessChannelMode(QProcess::ForwardedChannels);
    }
    m_Process.start(program, arguments);
    m_Started = true;
}

StandinProcess::~StandinProcess() { Stop(); }

bool StandinProcess::NameIsOnBus()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(kVantrelProgId);
}

bool StandinProcess::WaitForName()
{
    const QDeadlineTimer deadline(kWaitMs);
    while (m_Started && !deadline.hasExpired()) {
        if (NameIsOnBus()) {
            m_HadName = true;
            return true;
        }
        if (m_Process.state() == QProcess::NotRunning)
            break;
        QTest::qWait(20);
    }
    std::fprintf(stderr, "the logger %s did not come up on the bus\n", qPrintable(m_Process.program()));
    return false;
}

void StandinProcess::Stop()
{
    if (m_Process.state() != QProcess::NotRunning) {
        m_Process.kill();
        m_Process.waitForFinished(kWaitMs);
    }
    const QDeadlineTimer deadline(kWaitMs);
    while (m_HadName && NameIsOnBus() && !deadline.hasExpired())
        QTest::qWait(20);
}

bool StandinProcess::Restart(const QStringList &arguments)
{
    Stop();
    m_Process.start(m_Process.program(), arguments);
    return WaitForName();
}

bool StandinProcess::WaitForExit() { return m_Process.waitForFinished(kWaitMs); }
int StandinProcess::ExitCode() const { return m_Process.exitCode(); }
QProcess::ExitStatus StandinProcess::ExitStatus() const { return m_Process.exitStatus(); }
// The pipe is read by the event loop; a test that only makes blocking calls
// would otherwise see nothing until the program ends.
QString StandinProcess::ErrorOutput()
{
    QCoreApplication::processEvents();
    return QString::fromUtf8(m_Process.readAllStandardError());
}
qint64 StandinProcess::ProcessId() const { return m_Process.processId(); }
