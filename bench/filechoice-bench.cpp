// SPDX-License-Identifier: GPL-3.0-or-later
// filechoice-bench [--runs N] [--file FILE]
// What choosing a file costs in Ardenix's main window: the one reading of
// the file that counts its records and keeps their time stamps, the
// timeline's bins, the busiest hour and the window's figures, timed as a
// user's choice runs it (frmArdenix::ChooseFile). Against it, in the same
// run, a bare pass of the reader over the same file (each record made
// current, nothing asked of it). FILE is the corpus' largest contest log
// unless given. Prints the medians of N runs of each (9 unless told).

#include "AdifReader.h"
#include "BenchStart.h"
#include "DrivenWindow.h"
#include "Stats.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    BenchStart start(argc, argv, BenchStart::Kind::Window,
                     QStringLiteral("The reading of a log at file choice (count, timeline, busiest hour), against a bare reader pass."));
    start.AddNumber(QStringLiteral("runs"), QStringLiteral("Runs of each to take the median of."), 9);
    start.AddText(QStringLiteral("file"), QStringLiteral("FILE"), QStringLiteral("The log to choose."),
                  QStringLiteral(ARDENIX_SHARED_DIR "/corpus/cabrillo/2024_cq-ww-cw_w3lpl.log"));
    if (!start.Parse())
        return BenchStart::kUsageExit;
    const QString file = start.Text(QStringLiteral("file"));
    if (!QFileInfo(file).isFile()) {
        start.Refuse(QStringLiteral("no file %1").arg(file));
        return BenchStart::kUsageExit;
    }
    const int runs = start.Number(QStringLiteral("runs"));

    DrivenWindow window;
    window.Window(); // made and shown before the clock starts
    std::vector<double> choiceMs, bareMs;
    int records = 0;
    QElapsedTimer clock;
    for (int run = 0; run < runs; ++run) {
        clock.start();
        AdifReader reader;
        reader.Open(file);
        records = 0;
        while (reader.NextRecord())
            ++records;
        bareMs.push_back(clock.nsecsElapsed() / 1e6);

        clock.start();
        window.Window().ChooseFile(file);
        choiceMs.push_back(clock.nsecsElapsed() / 1e6);
    }
    if (!window.Ok())
        return 1;
    const QString logged = window.Control<QLabel>("lblLogged")->text();
    std::printf("File choice of %s (%d records; the window shows \"%s\"), median of %d runs\n",
                qPrintable(QFileInfo(file).fileName()), records, qPrintable(logged), runs);
    std::printf("  bare reader pass:  %.2f ms (min %.2f)\n", Stats::Median(bareMs),
                *std::min_element(bareMs.begin(), bareMs.end()));
    std::printf("  file choice:       %.2f ms (min %.2f; goal: under 100 ms)\n", Stats::Median(choiceMs),
                *std::min_element(choiceMs.begin(), choiceMs.end()));
    std::printf("  ratio:             %.2f\n", Stats::Median(choiceMs) / Stats::Median(bareMs));
    return 0;
}
