// SPDX-License-Identifier: GPL-3.0-or-later
#include "Station.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDeadlineTimer>
#include <QDir>
#include <csignal>
#include <cstdio>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

const QString kLoggerName = QStringLiteral("vantrel.document");
constexpr int kStartMs = 10000;  // for a program to start, or the bus to give its address
constexpr int kStopMs = 5000;    // for a program to end once told to
constexpr int kPollMs = 50;
// Where the windows of station n stand on a display: Ardenix on the left,
// the logger beside it, one station under the other.
constexpr int kArdenixLeft = 0;
constexpr int kLoggerLeft = 410;
constexpr int kStationHeight = 420; // the stand-in's window is the taller

// Each program in a process group of its own, so that a Ctrl-C reaches
// ardenix-stations alone, which then ends them in order; and ended with
// ardenix-stations even if it is killed.
void DetachedButTied()
{
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGTERM);
}

void EndProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(kStopMs)) {
        process.kill();
        process.waitForFinished(kStopMs);
    }
}

} // namespace

Station::Station(const Setup &setup, const QString &transmitter, int index, QObject *parent)
    : QObject(parent), m_Setup(setup), m_Transmitter(transmitter), m_Index(index)
{
    m_Name = transmitter.isEmpty() ? QStringLiteral("all") : QStringLiteral("station %1").arg(transmitter);
    m_FileName = transmitter.isEmpty() ? QStringLiteral("station") : QStringLiteral("station-%1").arg(transmitter);
    for (QProcess *process : {&m_Bus, &m_Standin, &m_Ardenix})
        process->setChildProcessModifier(DetachedButTied);

    connect(&m_Ardenix, &QProcess::readyReadStandardOutput, this,
            [this] { Forward(m_Ardenix, QProcess::StandardOutput, m_PendingOut); });
    connect(&m_Ardenix, &QProcess::readyReadStandardError, this,
            [this] { Forward(m_Ardenix, QProcess::StandardError, m_PendingErr); });
    connect(&m_Standin, &QProcess::readyReadStandardError, this,
            [this] { Forward(m_Standin, QProcess::StandardError, m_PendingLoggerErr); });
    connect(&m_Ardenix, &QProcess::finished, this, &Station::ReplayEnded);
    connect(&m_Standin, &QProcess::finished, this, &Station::LoggerEnded);
    connect(&m_Bus, &QProcess::finished, this, [this] {
        if (!m_Stopping)
            Fail(QStringLiteral("its session bus (dbus-daemon) ended"));
    });
}

Station::~Station() { Stop(); }

bool Station::StartLogger()
{
    m_Bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                 QStringLiteral("--print-address=1")});
    if (!m_Bus.waitForStarted(kStartMs) || !m_Bus.waitForReadyRead(kStartMs)) {
        Fail(QStringLiteral("cannot start a session bus (dbus-daemon): %1").arg(m_Bus.errorString()));
        return false;
    }
    m_BusAddress = QString::fromUtf8(m_Bus.readLine().trimmed());
    m_Standin.setProcessEnvironment(Environment());
    m_Standin.start(m_Setup.Standin, StandinArguments(m_Index));
    if (!m_Standin.waitForStarted(kStartMs)) {
        Fail(QStringLiteral("cannot start %1: %2").arg(m_Setup.Standin, m_Standin.errorString()));
        return false;
    }
    return true;
}

bool Station::WaitForLogger(int timeoutMs)
{
    const QString connectionName = QStringLiteral("ardenix-stations-") + m_FileName;
    bool up = false;
    {
        QDBusConnection bus = QDBusConnection::connectToBus(m_BusAddress, connectionName);
        const QDeadlineTimer deadline(timeoutMs);
        while (bus.isConnected() && m_Standin.state() == QProcess::Running && !deadline.hasExpired()) {
            if (bus.interface()->isServiceRegistered(kLoggerName)) {
                up = true;
                break;
            }
            m_Standin.waitForFinished(kPollMs); // a stand-in that ends is seen at once
        }
    }
    QDBusConnection::disconnectFromBus(connectionName);
    // A stand-in that ended has been named by LoggerEnded.
    if (!up)
        Fail(QStringLiteral("the stand-in logger did not take %1 on its bus").arg(kLoggerName));
    return up;
}

void Station::StartReplay(const QString &goAt)
{
    QStringList arguments = m_Setup.ArdenixOptions;
    if (!m_Transmitter.isEmpty())
        arguments << QStringLiteral("--only") << QStringLiteral("APP_ARDENIX_TRANSMITTER=") + m_Transmitter;
    arguments << QStringLiteral("--go-at") << goAt << QStringLiteral("--quit-at-end");
    if (m_Setup.Windows)
        arguments << QStringLiteral("-geometry")
                  << QStringLiteral("+%1+%2").arg(kArdenixLeft).arg(m_Index * kStationHeight);
    arguments << QStringLiteral("--") << m_Setup.Log;
    m_Ardenix.setProcessEnvironment(Environment());
    m_Ardenix.start(m_Setup.Ardenix, arguments);
    if (!m_Ardenix.waitForStarted(kStartMs))
        Fail(QStringLiteral("cannot start %1: %2").arg(m_Setup.Ardenix, m_Ardenix.errorString()));
}

void Station::Stop()
{
    m_Stopping = true;
    EndProcess(m_Ardenix);
    EndProcess(m_Standin);
    EndProcess(m_Bus);
    // What came last, even without an end of line.
    for (QByteArray *pending : {&m_PendingOut, &m_PendingErr, &m_PendingLoggerErr}) {
        if (!pending->isEmpty())
            *pending += '\n';
    }
    Forward(m_Ardenix, QProcess::StandardOutput, m_PendingOut);
    Forward(m_Ardenix, QProcess::StandardError, m_PendingErr);
    Forward(m_Standin, QProcess::StandardError, m_PendingLoggerErr);
}

// Passes on each whole line the process wrote, prefixed by the station's name.
void Station::Forward(QProcess &process, QProcess::ProcessChannel channel, QByteArray &pending)
{
    if (process.isOpen()) { // not for a program never started
        process.setReadChannel(channel);
        pending += process.readAll();
    }
    FILE *out = channel == QProcess::StandardOutput ? stdout : stderr;
    qsizetype end;
    while ((end = pending.indexOf('\n')) >= 0) {
        const QByteArray line = pending.left(end);
        pending.remove(0, end + 1);
        if (&process == &m_Ardenix && channel == QProcess::StandardError && !line.trimmed().isEmpty())
            m_LastArdenixError = QString::fromLocal8Bit(line.trimmed());
        std::fprintf(out, "%s: %s\n", qPrintable(m_Name), line.constData());
        std::fflush(out);
    }
}

void Station::Fail(const QString &failure)
{
    if (!m_Failure.isEmpty() || m_Stopping)
        return;
    m_Failure = failure;
    emit Failed();
}

void Station::ReplayEnded(int status, QProcess::ExitStatus how)
{
    Forward(m_Ardenix, QProcess::StandardOutput, m_PendingOut);
    Forward(m_Ardenix, QProcess::StandardError, m_PendingErr);
    if (m_Stopping)
        return;
    if (how == QProcess::NormalExit && status == 0) {
        m_Finished = true;
        emit ReachedEnd();
        return;
    }
    const QString why = how == QProcess::CrashExit ? QStringLiteral("Ardenix crashed")
                                                   : QStringLiteral("Ardenix ended with status %1").arg(status);
    Fail(m_LastArdenixError.isEmpty() ? why : why + QStringLiteral(": ") + m_LastArdenixError);
}

void Station::LoggerEnded(int status, QProcess::ExitStatus how)
{
    Forward(m_Standin, QProcess::StandardError, m_PendingLoggerErr);
    if (how == QProcess::CrashExit)
        Fail(QStringLiteral("the stand-in logger crashed"));
    else
        Fail(QStringLiteral("the stand-in logger ended with status %1").arg(status));
}

QProcessEnvironment Station::Environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_BusAddress);
    if (!m_Setup.Windows)
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return environment;
}

QStringList Station::StandinArguments(int index) const
{
    QStringList arguments = m_Setup.StandinOptions;
    arguments << QStringLiteral("--wsjtx-id") << m_FileName;
    // Node letters from C on: A and B are the receiving Tlf nodes'.
    if (arguments.contains(QStringLiteral("--tlf-lan")))
        arguments << QStringLiteral("--tlf-node") << QString(QChar(u'C' + index));
    if (!m_Setup.TraceDir.isEmpty()) {
        const QDir folder(m_Setup.TraceDir);
        arguments << QStringLiteral("--trace") << folder.filePath(m_FileName + QStringLiteral(".jsonl"))
                  << QStringLiteral("--log-adif") << folder.filePath(m_FileName + QStringLiteral(".adi"));
    }
    if (m_Setup.Windows)
        arguments << QStringLiteral("-qwindowtitle") << TitledAfter(QStringLiteral("Vantrel (stand-in)"))
                  << QStringLiteral("-geometry")
                  << QStringLiteral("+%1+%2").arg(kLoggerLeft).arg(index * kStationHeight);
    else
        arguments << QStringLiteral("--no-window");
    return arguments;
}

QString Station::TitledAfter(const QString &program) const
{
    return m_Transmitter.isEmpty() ? program : program + QStringLiteral(" - Station ") + m_Transmitter;
}
