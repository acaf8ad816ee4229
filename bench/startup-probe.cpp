// SPDX-License-Identifier: GPL-3.0-or-later
// startup-probe [--exit-at-main]
// The ardenix program's start-up, step for step as its main() does it, built
// with the same libraries, with a time mark after each step: "main" on
// entry, "application" after QApplication, "icon" after the program's name
// and icon, "window" after the main window is made, "show" after show(),
// "painted" once the first paint of the window has been handed to the
// display; then it ends. Each mark is one line on standard output: its name
// and the CLOCK_MONOTONIC time in nanoseconds, a clock that startup-bench
// shares. With --exit-at-main it ends right after the first mark, which
// times the dynamic loading alone. startup-bench runs it; ardenix itself
// stays as it is, without options.

#include "Program.h"
#include "frmArdenix.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

void Mark(const char *name)
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("%s %lld\n", name, static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    std::fflush(stdout);
}

// Marks "painted" after the window's first paint event, once the event loop
// is back, so that the painted frame has been flushed to the display.
class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_Seen) {
            m_Seen = true;
            QTimer::singleShot(0, [] {
                Mark("painted");
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    bool m_Seen = false;
};

} // namespace

int main(int argc, char **argv)
{
    Mark("main");
    if (argc > 1 && std::strcmp(argv[1], "--exit-at-main") == 0)
        return 0;

    QApplication app(argc, argv);
    Mark("application");
    QApplication::setApplicationName(Program::kTitle);
    QApplication::setWindowIcon(Program::Icon());
    Mark("icon");

    frmArdenix window;
    Mark("window");
    FirstPaint firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    Mark("show");
    return app.exec();
}
