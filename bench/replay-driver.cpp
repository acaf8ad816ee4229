// SPDX-License-Identifier: GPL-3.0-or-later
// replay-driver [--paced] FILE
// Replays FILE with Ardenix's real main window (offscreen when there is no
// display) into the logger that owns vantrel.document on the session bus at
// "5/sec". Without --paced as fast as it goes, each log step raised at once
// instead of waited for; with --paced the window's own timer paces the
// steps, five contacts a second, as a user sees it. Ends when "Go" is ready
// again at the end of the file; prints the number of steps raised. Exit
// status 1 when Ardenix showed a message or error. tools/check-udp-feeds
// uses it to replay a log through Ardenix.

#include "DrivenWindow.h"

#include <QApplication>
#include <QEventLoop>
#include <cstdio>

namespace {

constexpr int kMaxSteps = 1000000;
constexpr int kPollMs = 50;

bool Finished(DrivenWindow &window)
{
    return !window.Ok() || window.Button("btnGo")->isEnabled();
}

// The window's timer logs each contact in its time; this only watches for the end.
void RunPaced(DrivenWindow &window)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (Finished(window))
            loop.quit();
    });
    poll.start(kPollMs);
    loop.exec();
}

int RaiseEveryStep(DrivenWindow &window)
{
    window.Timer()->stop(); // the steps are raised here, one after the other
    int steps = 0;
    while (steps < kMaxSteps && !Finished(window)) {
        window.RaiseTimeout();
        QCoreApplication::processEvents();
        ++steps;
    }
    return steps;
}

} // namespace

int main(int argc, char **argv)
{
    OffscreenWithoutDisplay();
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    const bool paced = args.removeAll(QStringLiteral("--paced")) > 0;
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: replay-driver [--paced] FILE\n");
        return 2;
    }

    DrivenWindow window;
    window.ChooseFile(args[1]);
    window.SetSpeed(DrivenWindow::kFivePerSecond);
    window.Click("btnGo");
    if (paced) {
        RunPaced(window);
        std::printf("replay-driver: replayed at 5/sec by the window's timer\n");
    } else {
        std::printf("replay-driver: %d log steps\n", RaiseEveryStep(window));
    }
    return window.Ok() ? 0 : 1;
}
