// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PrivateBus.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

// One run of the stand-in logger. It is killed, and its bus name gone, when
// this object goes out of scope.
class StandinProcess {
public:
    static constexpr int kWaitMs = 10000;

    // A test's stand-in runs offscreen on the test's own session bus (from
    // dbus-run-session) and keeps its error output for the test to read. A
    // benchmark's starts a private session bus first, shows its window
    // (unless told --no-window) on the display it inherits, and writes to
    // the benchmark's own output.
    enum class Use { Test, Benchmark };

    // The stand-in built with the tests and the benchmarks.
    static QString BuiltProgram();

    // The arguments, with --no-window added unless the stand-in is to show its window.
    static QStringList WithWindow(QStringList arguments, bool window);

    explicit StandinProcess(const QStringList &arguments = {}, Use use = Use::Test,
                            const QString &program = BuiltProgram());
    ~StandinProcess();

    static bool NameIsOnBus();

    // Bounded poll: false, with a message on standard error, when the
    // program ended first or never took the name.
    bool WaitForName();

    // Kills the logger; the bus drops the name on its own time, and the next run needs it free.
    void Stop();

    // Ends the logger and starts the same program again, on the same bus,
    // with other arguments, once the first has let go of the name.
    bool Restart(const QStringList &arguments);

    // Asks the logger to quit (SIGTERM), as a user ends it; false when it does not end.
    bool Terminate()
    {
        m_Process.terminate();
        return m_Process.waitForFinished(kWaitMs);
    }

    // For runs that are expected to end by themselves.
    bool WaitForExit();
    int ExitCode() const;
    QProcess::ExitStatus ExitStatus() const;
    QString ErrorOutput();
    qint64 ProcessId() const;

private:
    std::unique_ptr<PrivateBus> m_Bus; // declared first: the logger ends before its bus
    QProcess m_Process;
    bool m_Started = false;
    bool m_HadName = false;
};
