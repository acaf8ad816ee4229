// SPDX-License-Identifier: GPL-3.0-or-later
// playback-bench [--steps N] [--window]
// Drives Ardenix's main window against the stand-in logger on a private
// session bus and prints two figures:
//  1. what one log step costs per call, against a bare QtDBus round trip of
//     the very same calls to the same logger, measured in alternating blocks
//     of the same run (N steps of each, 1,000 unless told);
//  2. pacing: 100 records at "5/sec" played by the real timer, the time from
//     the first logged contact to the last (from the logger's trace) against
//     99 x (200 ms + one log step), the steps timed as they run paced.
// The stand-in runs without its window unless --window is given; Ardenix's
// window is offscreen when there is no display.

#include "BareCalls.h"
#include "BenchStart.h"
#include "ContestLog.h"
#include "DrivenWindow.h"
#include "StandinProcess.h"
#include "StandinTrace.h"
#include "Stats.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kBlock = 50;
constexpr int kPacedRecords = 100;
constexpr int kPacedIntervalMs = 200;

using Stats::Mean;
using Stats::Median;

// Times each log step that the playback timer runs: from the timer's event
// reaching the timer to the end of the window's handler, which is connected
// before this clock's own slot. Also how late each event came.
class StepClock : public QObject {
public:
    explicit StepClock(QTimer *timer) : m_Timer(timer)
    {
        timer->installEventFilter(this);
        connect(timer, &QTimer::timeout, this, [this] {
            m_Steps.push_back(m_Clock.nsecsElapsed() / 1e6 - m_EventMs);
            m_StepEndMs = m_Clock.nsecsElapsed() / 1e6;
        });
        m_Clock.start();
    }

    const std::vector<double> &Steps() const { return m_Steps; }
    const std::vector<double> &Lateness() const { return m_Lateness; }

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (object == m_Timer && event->type() == QEvent::Timer) {
            m_EventMs = m_Clock.nsecsElapsed() / 1e6;
            if (m_StepEndMs > 0)
                m_Lateness.push_back(m_EventMs - m_StepEndMs - m_Timer->interval());
        }
        return false;
    }

private:
    QTimer *m_Timer;
    QElapsedTimer m_Clock;
    double m_EventMs = 0;
    double m_StepEndMs = 0;
    std::vector<double> m_Steps;
    std::vector<double> m_Lateness;
};

} // namespace

int main(int argc, char **argv)
{
    BenchStart start(argc, argv, BenchStart::Kind::Window,
                     QStringLiteral("One log step against bare QtDBus round trips, and the pacing at \"5/sec\"."));
    start.AddNumber(QStringLiteral("steps"), QStringLiteral("Log steps to time, in blocks of %1.").arg(kBlock), 1000);
    start.AddFlag(QStringLiteral("window"), QStringLiteral("Show the stand-in's window."));
    if (!start.Parse())
        return BenchStart::kUsageExit;
    const int steps = std::max(kBlock, start.Number(QStringLiteral("steps")) / kBlock * kBlock);
    const bool loggerWindow = start.IsSet(QStringLiteral("window"));

    QTemporaryDir dir;
    const QString trace = dir.filePath(QStringLiteral("trace.jsonl"));
    const QString stepLog = dir.filePath(QStringLiteral("steps.adi"));
    const QString pacedLog = dir.filePath(QStringLiteral("paced.adi"));
    if (!ContestLog::Write(stepLog, steps + 1) || !ContestLog::Write(pacedLog, kPacedRecords))
        return 1;
    StandinProcess logger(StandinProcess::WithWindow({QStringLiteral("--trace"), trace}, loggerWindow),
                          StandinProcess::Use::Benchmark);
    if (!logger.WaitForName())
        return 1;

    DrivenWindow window;
    QTimer *timer = window.Timer();

    // 1. Log steps, raised one by one, against the same calls sent bare.
    window.ChooseFile(stepLog);
    window.SetSpeed(DrivenWindow::kFivePerSecond);
    window.Click("btnGo");
    timer->stop(); // the benchmark raises the events itself
    BareCalls bare;
    std::vector<double> stepMs, bareMs;
    QElapsedTimer clock;
    for (int done = 0; done < steps; done += kBlock) {
        for (int i = 0; i < kBlock; ++i) {
            clock.start();
            bare.Load(done + i);
            bare.Call(QStringLiteral("EnterQso"));
            bareMs.push_back(clock.nsecsElapsed() / 1e6);
        }
        for (int i = 0; i < kBlock; ++i) {
            clock.start();
            window.RaiseTimeout();
            stepMs.push_back(clock.nsecsElapsed() / 1e6);
        }
    }
    const int calls = BareCalls::kLoadCalls + 1;
    const double stepMedian = Median(stepMs);
    const double bareMedian = Median(bareMs);
    std::printf("Log step against bare QtDBus round trips of the same %d calls (%d of each, stand-in %s)\n", calls,
                steps, loggerWindow ? "with its window" : "without a window");
    std::printf("  bare round trips:  %.4f ms a call (median; mean %.4f)\n", bareMedian / calls, Mean(bareMs) / calls);
    std::printf("  Ardenix log step:  %.4f ms a call (median; mean %.4f), %.3f ms a step\n", stepMedian / calls,
                Mean(stepMs) / calls, stepMedian);
    std::printf("  ratio:             %.3f (goal: at most 1.3)\n", stepMedian / bareMedian);

    // 2. Pacing by the real timer.
    if (!window.Ok())
        return 1;
    const qsizetype traced = ReadTrace(trace).size();
    window.ChooseFile(pacedLog);
    StepClock paced(timer);
    window.Click("btnGo");
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!timer->isActive())
            loop.quit();
    });
    poll.start(50);
    QTimer::singleShot(kPacedRecords * kPacedIntervalMs * 2, &loop, &QEventLoop::quit);
    loop.exec();
    std::vector<double> logged;
    for (const QJsonObject &call : ReadTrace(trace).mid(traced))
        if (call.value(QStringLiteral("member")).toString() == QLatin1String("EnterQso"))
            logged.push_back(call.value(QStringLiteral("t")).toDouble());
    if (!window.Ok())
        return 1;
    if (logged.size() != size_t(kPacedRecords)) {
        std::fprintf(stderr, "pacing: %zu contacts logged, not %d\n", logged.size(), kPacedRecords);
        return 1;
    }
    // The first step starts the clock; the others are the steps between the
    // first contact and the last.
    const std::vector<double> pacedSteps(paced.Steps().begin() + 1, paced.Steps().end());
    const double span = logged.back() - logged.front();
    const double expected = (kPacedRecords - 1) * (kPacedIntervalMs + Mean(pacedSteps));
    std::printf("Pacing: %d records at \"5/sec\" (log step while paced: mean %.3f ms, median %.3f ms;\n"
                "  timer events late by %.3f ms on average)\n",
                kPacedRecords, Mean(pacedSteps), Median(pacedSteps), Mean(paced.Lateness()));
    std::printf("  first to last contact: %.1f ms; 99 x (200 ms + %.3f ms) = %.1f ms; off by %+.2f %% (goal: within 1 %%)\n",
                span, Mean(pacedSteps), expected, (span / expected - 1) * 100);
    return 0;
}
