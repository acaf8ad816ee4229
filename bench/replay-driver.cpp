// SPDX-License-Identifier: GPL-3.0-or-later
// replay-driver FILE
// Replays FILE with Ardenix's real main window (offscreen when there is no
// display) into the logger that owns vantrel.document on the session bus, as
// fast as it goes: "5/sec", with each log step raised at once instead of
// waited for. Ends when "Go" is ready again at the end of the file; prints
// the number of steps. Exit status 1 when Ardenix showed a message or error.
// tools/check-udp-feeds uses it to replay a log through Ardenix.

#include "DrivenWindow.h"

#include <QApplication>
#include <cstdio>

namespace {
constexpr int kMaxSteps = 1000000;
}

int main(int argc, char **argv)
{
    OffscreenWithoutDisplay();
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: replay-driver FILE\n");
        return 2;
    }

    DrivenWindow window;
    window.ChooseFile(args[1]);
    window.SetSpeed(DrivenWindow::kFivePerSecond);
    window.Click("btnGo");
    window.Timer()->stop(); // the steps are raised here, one after the other
    int steps = 0;
    while (window.Ok() && steps < kMaxSteps && !window.Button("btnGo")->isEnabled()) {
        window.RaiseTimeout();
        QCoreApplication::processEvents();
        ++steps;
    }
    std::printf("replay-driver: %d log steps\n", steps);
    return window.Ok() ? 0 : 1;
}
