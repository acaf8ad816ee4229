// SPDX-License-Identifier: GPL-3.0-or-later
// memory-bench [--records N] [--steps S] [--every K]
// Ardenix's memory over a long replay at "5/sec": a generated log of N
// records (1,000,000 unless told) is chosen in the main window, "Go" is
// pressed, and S log steps (20,000 unless told) are raised directly, without
// waiting out the 200 ms between them. Prints this process's resident memory
// (VmRSS) and its peak so far (VmHWM) with the window shown, after "Go",
// every K steps (1,000 unless told) with the mean time of a step since the
// last line, and after "Customize Fields...", which reads the field names of
// the whole file; after "Go", each line also gives the growth of both since
// the resident memory right after "Go". The stand-in logger runs on a
// private session bus without its window; Ardenix's window is offscreen when
// there is no display.

#include "BenchStart.h"
#include "ContestLog.h"
#include "DrivenWindow.h"
#include "StandinProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

// A "Vm..." line of /proc/self/status in KiB; -1 when it is missing.
long StatusKib(const QByteArray &name)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(name + ':'))
            return line.mid(name.size() + 1).trimmed().split(' ').first().toLong();
    }
    return -1;
}

double PercentSince(long kib, long baseKib) { return 100.0 * double(kib - baseKib) / double(baseKib); }

// Prints the memory now and returns the resident part; after "Go", also the
// growth of both since the resident memory right after "Go".
long PrintMemory(const char *when, long goRssKib = 0)
{
    const long rss = StatusKib("VmRSS");
    const long hwm = StatusKib("VmHWM");
    if (goRssKib > 0)
        std::printf("%-37s VmRSS %7ld KiB %+5.1f %%   VmHWM %7ld KiB %+5.1f %% (since Go)\n", when, rss,
                    PercentSince(rss, goRssKib), hwm, PercentSince(hwm, goRssKib));
    else
        std::printf("%-37s VmRSS %7ld KiB   VmHWM %7ld KiB\n", when, rss, hwm);
    return rss;
}

} // namespace

int main(int argc, char **argv)
{
    BenchStart start(argc, argv, BenchStart::Kind::Window, QStringLiteral("Ardenix's memory over a long replay at \"5/sec\"."));
    start.AddNumber(QStringLiteral("records"), QStringLiteral("Records in the generated log."), 1000000, 2);
    start.AddNumber(QStringLiteral("steps"), QStringLiteral("Log steps to raise, fewer than the records."), 20000);
    start.AddNumber(QStringLiteral("every"), QStringLiteral("Steps between two lines of figures."), 1000);
    if (!start.Parse())
        return BenchStart::kUsageExit;
    const int records = start.Number(QStringLiteral("records"));
    const int steps = start.Number(QStringLiteral("steps"));
    const int every = start.Number(QStringLiteral("every"));
    if (steps >= records && !start.Refuse(QStringLiteral("--steps must be fewer than --records")))
        return BenchStart::kUsageExit;

    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("long.adi"));
    if (!ContestLog::Write(log, records))
        return 1;
    StandinProcess logger({QStringLiteral("--no-window")}, StandinProcess::Use::Benchmark);
    if (!logger.WaitForName())
        return 1;

    std::printf("Ardenix's memory, replaying %d of %d records (%.1f MiB) at \"5/sec\"\n", steps,
                records, double(QFile(log).size()) / (1 << 20));
    DrivenWindow window;
    window.Window(); // made and shown
    PrintMemory("window shown");
    window.ChooseFile(log);
    window.SetSpeed(DrivenWindow::kFivePerSecond);
    window.Click("btnGo");
    window.Timer()->stop(); // the benchmark raises the events itself
    if (!window.Ok())
        return 1;
    const long goRssKib = PrintMemory("file chosen, \"Go\" pressed");

    QElapsedTimer clock;
    clock.start();
    for (int step = 1; step <= steps; ++step) {
        window.RaiseTimeout();
        if (step % every == 0 || step == steps) {
            if (!window.Ok())
                return 1;
            const int since = step % every == 0 ? every : step % every;
            const QByteArray when = "after " + QByteArray::number(step) + " steps ("
                + QByteArray::number(double(clock.nsecsElapsed()) / 1e6 / since, 'f', 3) + " ms a step)";
            PrintMemory(when.constData(), goRssKib);
            clock.restart();
        }
    }

    // The driven window closes the dialog as soon as it is shown; opening it reads the whole file.
    window.Click("btnSetFields");
    if (!window.Ok())
        return 1;
    PrintMemory("after \"Customize Fields...\"", goRssKib);
    return 0;
}
