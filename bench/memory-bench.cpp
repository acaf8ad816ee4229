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

#include "ContestLog.h"
#include "DrivenWindow.h"
#include "StandinProcess.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

namespace {

struct Options {
    int records = 1000000;
    int steps = 20000;
    int every = 1000;
};

bool ParseOptions(const QStringList &args, Options &options)
{
    for (int i = 1; i < args.size(); ++i) {
        bool ok = false;
        if (args[i] == QLatin1String("--records") && i + 1 < args.size())
            options.records = args[++i].toInt(&ok);
        else if (args[i] == QLatin1String("--steps") && i + 1 < args.size())
            options.steps = args[++i].toInt(&ok);
        else if (args[i] == QLatin1String("--every") && i + 1 < args.size())
            options.every = args[++i].toInt(&ok);
        if (!ok)
            return false;
    }
    return options.steps >= 1 && options.steps < options.records && options.every >= 1;
}

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
    OffscreenWithoutDisplay();
    QApplication app(argc, argv);
    Options options;
    if (!ParseOptions(QCoreApplication::arguments(), options)) {
        std::fprintf(stderr, "usage: memory-bench [--records N] [--steps S < N] [--every K]\n");
        return 2;
    }

    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("long.adi"));
    if (!ContestLog::Write(log, options.records))
        return 1;
    StandinProcess logger({QStringLiteral("--no-window")}, StandinProcess::Use::Benchmark);
    if (!logger.WaitForName())
        return 1;

    std::printf("Ardenix's memory, replaying %d of %d records (%.1f MiB) at \"5/sec\"\n", options.steps,
                options.records, double(QFile(log).size()) / (1 << 20));
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
    for (int step = 1; step <= options.steps; ++step) {
        window.RaiseTimeout();
        if (step % options.every == 0 || step == options.steps) {
            if (!window.Ok())
                return 1;
            const int since = step % options.every == 0 ? options.every : step % options.every;
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
