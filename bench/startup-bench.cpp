// SPDX-License-Identifier: GPL-3.0-or-later
// startup-bench [--runs N]
// The time from starting the ardenix program to its main window mapped on
// the X display, measured from outside: this program is an X client that
// watches the display's top-level windows, starts ardenix, and stops the
// clock at the MapNotify of a window whose _NET_WM_PID is the new process.
// N runs (20 unless told) after one first run that is shown but not counted;
// each run ends the program again. Then the same for startup-probe, the
// program's start-up with time marks between its steps, to show where the
// time goes, and the cost of starting a program without Qt (/bin/true) as
// the floor; ardenix's median is also given as a ratio to the floor's and to
// the probe's, measured in the same runs. The programs get a private session
// bus and, when there is none, a runtime folder, as a desktop session gives
// them. Needs an X display: run it under `xvfb-run -a`.

#include "BenchStart.h"
#include "PrivateBus.h"
#include "Stats.h"

#include <QCoreApplication>
#include <QMap>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

extern char **environ;

namespace {

constexpr double kWaitMs = 10000; // for one program to map its window or end

double NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The X display, watching the windows that programs map on its root window.
class Display {
public:
    ~Display()
    {
        if (m_Connection)
            xcb_disconnect(m_Connection);
    }

    bool Open()
    {
        m_Connection = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(m_Connection))
            return false;
        m_Root = xcb_setup_roots_iterator(xcb_get_setup(m_Connection)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_Connection, m_Root, XCB_CW_EVENT_MASK, &mask);
        m_PidAtom = Atom("_NET_WM_PID");
        xcb_flush(m_Connection);
        return m_PidAtom != XCB_ATOM_NONE;
    }

    // When (NowMs) a window of process pid was mapped; -1 if the process
    // ended first or the deadline passed.
    double WaitForMap(pid_t pid, double deadlineMs)
    {
        pollfd watch{xcb_get_file_descriptor(m_Connection), POLLIN, 0};
        for (;;) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_Connection)) {
                const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
                const double at = NowMs();
                const xcb_window_t window = reinterpret_cast<xcb_map_notify_event_t *>(event)->window;
                free(event);
                if (mapped && WindowPid(window) == pid)
                    return at;
            }
            if (xcb_connection_has_error(m_Connection) || NowMs() > deadlineMs || waitpid(pid, nullptr, WNOHANG) != 0)
                return -1;
            poll(&watch, 1, 10);
        }
    }

private:
    xcb_atom_t Atom(const char *name)
    {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            m_Connection, xcb_intern_atom(m_Connection, 0, uint16_t(strlen(name)), name), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        free(reply);
        return atom;
    }

    pid_t WindowPid(xcb_window_t window)
    {
        xcb_get_property_reply_t *reply = xcb_get_property_reply(
            m_Connection, xcb_get_property(m_Connection, 0, window, m_PidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        pid_t pid = -1;
        if (reply && xcb_get_property_value_length(reply) == 4)
            pid = pid_t(*static_cast<uint32_t *>(xcb_get_property_value(reply)));
        free(reply);
        return pid;
    }

    xcb_connection_t *m_Connection = nullptr;
    xcb_window_t m_Root = 0;
    xcb_atom_t m_PidAtom = XCB_ATOM_NONE;
};

// One started program; its standard output is kept when asked for.
struct Child {
    pid_t pid = -1;
    int output = -1;
    double startedMs = 0;
};

Child Start(const QString &program, const QStringList &arguments, bool keepOutput)
{
    const QByteArray path = program.toLocal8Bit();
    std::vector<QByteArray> words = {path};
    for (const QString &argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    Child child;
    int pipe[2] = {-1, -1};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (keepOutput && pipe2(pipe, O_CLOEXEC) == 0)
        posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
    child.startedMs = NowMs();
    if (posix_spawn(&child.pid, path.constData(), &actions, nullptr, argv.data(), environ) != 0)
        child.pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    if (pipe[1] >= 0) {
        close(pipe[1]);
        child.output = pipe[0];
    }
    return child;
}

// Ends the program if it still runs, and returns what it wrote.
QByteArray End(Child &child, double deadlineMs)
{
    while (waitpid(child.pid, nullptr, WNOHANG) == 0) {
        if (NowMs() > deadlineMs) {
            kill(child.pid, SIGKILL);
            waitpid(child.pid, nullptr, 0);
            break;
        }
        usleep(1000);
    }
    QByteArray output;
    char buffer[4096];
    ssize_t n = 0;
    while (child.output >= 0 && (n = read(child.output, buffer, sizeof buffer)) > 0)
        output.append(buffer, n);
    if (child.output >= 0)
        close(child.output);
    return output;
}

// The probe's time marks, in milliseconds after the start of its process.
QMap<QByteArray, double> Marks(const QByteArray &output, double startedMs)
{
    QMap<QByteArray, double> marks;
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() == 2)
            marks[words[0]] = words[1].toDouble() / 1e6 - startedMs;
    }
    return marks;
}

// Time to the window mapped of one run of ardenix; -1 when it failed.
double RunProgram(Display &display, const QString &program)
{
    Child child = Start(program, {}, false);
    if (child.pid < 0)
        return -1;
    const double mapped = display.WaitForMap(child.pid, child.startedMs + kWaitMs);
    kill(child.pid, SIGTERM);
    End(child, NowMs() + kWaitMs);
    return mapped < 0 ? -1 : mapped - child.startedMs;
}

// The probe's marks in one run, with "mapped" added from the display; empty when it failed.
QMap<QByteArray, double> RunProbe(Display &display, const QString &probe)
{
    Child child = Start(probe, {}, true);
    if (child.pid < 0)
        return {};
    const double mapped = display.WaitForMap(child.pid, child.startedMs + kWaitMs);
    QMap<QByteArray, double> marks = Marks(End(child, child.startedMs + kWaitMs), child.startedMs);
    if (mapped < 0 || !marks.contains("painted"))
        return {};
    marks["mapped"] = mapped - child.startedMs;
    return marks;
}

// Start to exit of a program that takes no window, and its marks, if any.
QMap<QByteArray, double> RunToExit(const QString &program, const QStringList &arguments)
{
    Child child = Start(program, arguments, true);
    if (child.pid < 0)
        return {};
    QMap<QByteArray, double> marks = Marks(End(child, child.startedMs + kWaitMs), child.startedMs);
    marks["exit"] = NowMs() - child.startedMs;
    return marks;
}

void PrintSpread(const char *what, const std::vector<double> &ms)
{
    std::printf("  %-34s median %7.1f ms   min %7.1f   p90 %7.1f   max %7.1f\n", what, Stats::Median(ms),
                Stats::Min(ms), Stats::Percentile(ms, 0.9), Stats::Max(ms));
}

// The median time between two of the probe's marks over its runs.
double Between(const std::vector<QMap<QByteArray, double>> &runs, const QByteArray &from, const QByteArray &to)
{
    std::vector<double> ms;
    for (const QMap<QByteArray, double> &marks : runs)
        ms.push_back(marks.value(to) - (from.isEmpty() ? 0 : marks.value(from)));
    return Stats::Median(ms);
}

} // namespace

int main(int argc, char **argv)
{
    BenchStart start(argc, argv, BenchStart::Kind::Console,
                     QStringLiteral("Start of ardenix to its main window mapped, watched from an X client."));
    start.AddNumber(QStringLiteral("runs"), QStringLiteral("Runs counted (after one that is not)."), 20);
    if (!start.Parse())
        return BenchStart::kUsageExit;
    const int runs = start.Number(QStringLiteral("runs"));
    Display display;
    if (!display.Open()) {
        std::fprintf(stderr, "startup-bench needs an X display: run it under xvfb-run -a\n");
        return 2;
    }
    PrivateBus bus;
    if (!bus.Start())
        return 1;
    QTemporaryDir runtimeDir; // made private to its owner, as a session's runtime folder is
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    const QString dir = QCoreApplication::applicationDirPath();
    const QString program = dir + QStringLiteral("/ardenix");
    const QString probe = dir + QStringLiteral("/startup-probe");

    const double first = RunProgram(display, program);
    std::vector<double> programMs, trueMs, loadMs;
    std::vector<QMap<QByteArray, double>> probeRuns;
    for (int run = 0; run < runs; ++run) {
        const double ms = RunProgram(display, program);
        QMap<QByteArray, double> marks = RunProbe(display, probe);
        const QMap<QByteArray, double> loaded = RunToExit(probe, {QStringLiteral("--exit-at-main")});
        const QMap<QByteArray, double> bare = RunToExit(QStringLiteral("/bin/true"), {});
        if (ms < 0 || marks.isEmpty() || !loaded.contains("main")) {
            std::fprintf(stderr, "run %d: ardenix or startup-probe did not map its window, or failed\n", run + 1);
            return 1;
        }
        programMs.push_back(ms);
        probeRuns.push_back(marks);
        loadMs.push_back(loaded.value("main"));
        trueMs.push_back(bare.value("exit"));
    }

    std::vector<double> probeMapped;
    for (const QMap<QByteArray, double> &marks : probeRuns)
        probeMapped.push_back(marks.value("mapped"));
    std::printf("Start of ardenix to its main window mapped on display %s (%d runs; first run, not counted: %.1f ms)\n",
                qgetenv("DISPLAY").constData(), runs, first);
    PrintSpread("ardenix:", programMs);
    PrintSpread("startup-probe (same start-up):", probeMapped);
    std::printf("  ardenix's median against the same runs: %.1f x /bin/true's start to exit, %.3f x startup-probe's\n",
                Stats::Median(programMs) / Stats::Median(trueMs), Stats::Median(programMs) / Stats::Median(probeMapped));
    std::printf("Where the time goes (startup-probe, median of each step):\n");
    std::printf("  start to main(): exec, dynamic loading  %7.1f ms (a program without Qt, /bin/true, start to exit: %.1f ms;\n"
                "                                                     the probe ending at main(): %.1f ms)\n",
                Between(probeRuns, {}, "main"), Stats::Median(trueMs), Stats::Median(loadMs));
    std::printf("  QApplication: platform plugin, X, ...   %7.1f ms\n", Between(probeRuns, "main", "application"));
    std::printf("  program name and icon                   %7.1f ms\n", Between(probeRuns, "application", "icon"));
    std::printf("  main window made (layout, fonts)        %7.1f ms\n", Between(probeRuns, "icon", "window"));
    std::printf("  show(), to the window mapped            %7.1f ms\n", Between(probeRuns, "window", "mapped"));
    std::printf("  window mapped to first paint flushed    %7.1f ms\n", Between(probeRuns, "mapped", "painted"));
    std::printf("  start to first paint flushed            %7.1f ms\n", Between(probeRuns, {}, "painted"));
    return 0;
}
