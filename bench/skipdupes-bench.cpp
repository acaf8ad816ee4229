// SPDX-License-Identifier: GPL-3.0-or-later
// skipdupes-bench [--dupes N] [--runs R] [--window]
// "Skip dupes" over N duplicate records (5,000 unless told). The stand-in
// logger on a private session bus is preloaded with N contacts, and the log
// holds the same N contacts and one new one at its end. Ardenix's main
// window runs in this process: each of R runs (3 unless told) chooses the
// log anew and presses "Skip dupes", which loads every record into the entry
// row and asks the logger whether it is a dupe, up to the new contact.
// Each run then sends the same calls for the N dupes (ClearEntry, seven
// SetFieldN, SetLogFrequencyEx, Dupe) as bare QtDBus messages, the floor.
// Prints the records per second of each run, both ways, their ratio and
// the medians; then presses "Go" and checks that the one contact logged is
// the new one.
// The stand-in runs without its window unless --window is given; Ardenix's
// window is offscreen when there is no display.

#include "BareCalls.h"
#include "BenchStart.h"
#include "ContestLog.h"
#include "DrivenWindow.h"
#include "StandinProcess.h"
#include "Stats.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {

// True when the logger's ADIF log holds exactly one contact, the one with call.
bool LoggedOnly(const QString &adifLog, const QByteArray &call)
{
    QFile file(adifLog);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray log = file.readAll();
    return log.count("<EOR>") == 1 && log.contains(AdifField("CALL", call));
}

} // namespace

int main(int argc, char **argv)
{
    BenchStart start(argc, argv, BenchStart::Kind::Window,
                     QStringLiteral("\"Skip dupes\" over preloaded dupes, against the same calls sent bare."));
    start.AddNumber(QStringLiteral("dupes"), QStringLiteral("Dupes before the one new contact."), 5000);
    start.AddNumber(QStringLiteral("runs"), QStringLiteral("Runs of \"Skip dupes\"."), 3);
    start.AddFlag(QStringLiteral("window"), QStringLiteral("Show the stand-in's window."));
    if (!start.Parse())
        return BenchStart::kUsageExit;
    const int dupes = start.Number(QStringLiteral("dupes"));
    const int runs = start.Number(QStringLiteral("runs"));
    const bool loggerWindow = start.IsSet(QStringLiteral("window"));

    QTemporaryDir dir;
    const QString preload = dir.filePath(QStringLiteral("preload.adi"));
    const QString log = dir.filePath(QStringLiteral("log.adi"));
    const QString logged = dir.filePath(QStringLiteral("logged.adi"));
    if (!ContestLog::Write(preload, dupes) || !ContestLog::Write(log, dupes + 1))
        return 1;
    StandinProcess logger(
        StandinProcess::WithWindow({QStringLiteral("--preload"), preload, QStringLiteral("--log-adif"), logged},
                                   loggerWindow),
        StandinProcess::Use::Benchmark);
    if (!logger.WaitForName())
        return 1;

    DrivenWindow window;
    BareCalls bare;
    std::printf("\"Skip dupes\" over %d dupes to one new contact, against the same calls sent bare (stand-in %s)\n",
                dupes, loggerWindow ? "with its window" : "without a window");
    std::vector<double> rates, bareRates, ratios;
    for (int run = 1; run <= runs; ++run) {
        window.ChooseFile(log); // starts the file and the playback anew
        QElapsedTimer clock;
        clock.start();
        window.Click("cmdSkip");
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (!window.Ok())
            return 1;
        clock.start();
        for (int i = 0; i < dupes; ++i) {
            bare.Load(i);
            bare.Call(QStringLiteral("Dupe"));
        }
        const double bareMs = double(clock.nsecsElapsed()) / 1e6;
        rates.push_back(dupes / (ms / 1000));
        bareRates.push_back(dupes / (bareMs / 1000));
        ratios.push_back(ms / bareMs);
        std::printf("  run %d: Ardenix %7.0f records/s (%.3f ms a record), bare %7.0f records/s, ratio %.3f\n", run,
                    rates.back(), ms / dupes, bareRates.back(), ratios.back());
    }
    std::printf("  median: Ardenix %.0f records/s (min %.0f, max %.0f), bare %.0f records/s, ratio %.3f\n",
                Stats::Median(rates), Stats::Min(rates), Stats::Max(rates), Stats::Median(bareRates),
                Stats::Median(ratios));

    // "Go" after the last skip logs the record it stopped at: the new contact.
    window.Click("btnGo");
    window.Tick();
    if (!window.Ok() || !LoggedOnly(logged, "K" + QByteArray::number(dupes) + "ABC")) {
        std::fprintf(stderr, "\"Go\" after \"Skip dupes\" did not log the new contact alone\n");
        return 1;
    }
    std::printf("  then \"Go\": the new contact, and only it, was logged\n");
    return 0;
}
