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
#include "ContestLog.h"
#include "DrivenWindow.h"
#include "StandinProcess.h"
#include "Stats.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

namespace {

struct Options {
    int dupes = 5000;
    int runs = 3;
    bool loggerWindow = false;
};

bool ParseOptions(const QStringList &args, Options &options)
{
    for (int i = 1; i < args.size(); ++i) {
        bool ok = true;
        if (args[i] == QLatin1String("--dupes") && i + 1 < args.size())
            options.dupes = args[++i].toInt(&ok);
        else if (args[i] == QLatin1String("--runs") && i + 1 < args.size())
            options.runs = args[++i].toInt(&ok);
        else if (args[i] == QLatin1String("--window"))
            options.loggerWindow = true;
        else
            return false;
        if (!ok || options.dupes < 1 || options.runs < 1)
            return false;
    }
    return true;
}

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
    OffscreenWithoutDisplay();
    QApplication app(argc, argv);
    Options options;
    if (!ParseOptions(QCoreApplication::arguments(), options)) {
        std::fprintf(stderr, "usage: skipdupes-bench [--dupes N] [--runs R] [--window]\n");
        return 2;
    }

    QTemporaryDir dir;
    const QString preload = dir.filePath(QStringLiteral("preload.adi"));
    const QString log = dir.filePath(QStringLiteral("log.adi"));
    const QString logged = dir.filePath(QStringLiteral("logged.adi"));
    if (!ContestLog::Write(preload, options.dupes) || !ContestLog::Write(log, options.dupes + 1))
        return 1;
    StandinProcess logger(
        StandinProcess::WithWindow({QStringLiteral("--preload"), preload, QStringLiteral("--log-adif"), logged},
                                   options.loggerWindow),
        StandinProcess::Use::Benchmark);
    if (!logger.WaitForName())
        return 1;

    DrivenWindow window;
    BareCalls bare;
    std::printf("\"Skip dupes\" over %d dupes to one new contact, against the same calls sent bare (stand-in %s)\n",
                options.dupes, options.loggerWindow ? "with its window" : "without a window");
    std::vector<double> rates, bareRates, ratios;
    for (int run = 1; run <= options.runs; ++run) {
        window.ChooseFile(log); // starts the file and the playback anew
        QElapsedTimer clock;
        clock.start();
        window.Click("cmdSkip");
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (!window.Ok())
            return 1;
        clock.start();
        for (int i = 0; i < options.dupes; ++i) {
            bare.Load(i);
            bare.Call(QStringLiteral("Dupe"));
        }
        const double bareMs = double(clock.nsecsElapsed()) / 1e6;
        rates.push_back(options.dupes / (ms / 1000));
        bareRates.push_back(options.dupes / (bareMs / 1000));
        ratios.push_back(ms / bareMs);
        std::printf("  run %d: Ardenix %7.0f records/s (%.3f ms a record), bare %7.0f records/s, ratio %.3f\n", run,
                    rates.back(), ms / options.dupes, bareRates.back(), ratios.back());
    }
    std::printf("  median: Ardenix %.0f records/s (min %.0f, max %.0f), bare %.0f records/s, ratio %.3f\n",
                Stats::Median(rates), Stats::Min(rates), Stats::Max(rates), Stats::Median(bareRates),
                Stats::Median(ratios));

    // "Go" after the last skip logs the record it stopped at: the new contact.
    window.Click("btnGo");
    window.Tick();
    if (!window.Ok() || !LoggedOnly(logged, "K" + QByteArray::number(options.dupes) + "ABC")) {
        std::fprintf(stderr, "\"Go\" after \"Skip dupes\" did not log the new contact alone\n");
        return 1;
    }
    std::printf("  then \"Go\": the new contact, and only it, was logged\n");
    return 0;
}
