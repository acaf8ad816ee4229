// SPDX-License-Identifier: GPL-3.0-or-later
// standin-bench [--contacts N] [--standin PATH] [--no-window] [--udp]
// Logs N contacts (20,000 unless told) into the stand-in logger through the
// automation bridge, as Ardenix sends them: ClearEntry, five SetFieldN,
// SetLogFrequencyEx, EnterQso. It starts a private session bus of its own
// and the stand-in on it; the stand-in shows its window on the display it
// inherits (run under `xvfb-run -a` without one, or set
// QT_QPA_PLATFORM=offscreen). Prints the cost per contact at the start and
// the end of the log (the end also as a ratio to the start), its growth in
// between, the median and the 99th percentile, both for the EnterQso round
// trip alone and for the whole contact; then the cost of a contact after one
// 10 MB value, against the log's mean contact.
//
// With --udp it compares instead the cost per contact of the stand-in with no
// feed, with every feed on (WSJT-X, contactinfo, plain ADIF and Tlf's LAN
// sent to receivers that listen, threads of this program on the loopback
// address, and the radio set through a rigctld that answers each command
// after kRadioAnswerMs, as a radio does), and with every feed sent to a
// loopback port where nobody listens; the three take turns, in rounds, on
// one bus, and the figures are ratios against the run without a feed.

#include "BenchStart.h"
#include "RuntimeError.h"
#include "StandinProcess.h"
#include "Stats.h"
#include "Vantrel.h"

#include <QElapsedTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kDefaultContacts = 20000;
constexpr int kEdge = 10;         // contacts averaged at the start and at the end
constexpr int kUdpContacts = 5000; // per run with --udp, unless told
constexpr int kUdpRounds = 3;
constexpr int kRadioAnswerMs = 20; // what a radio behind rigctld takes per command

struct Options {
    int contacts = kDefaultContacts;
    QString standin;
    bool window = true;
    bool udp = false;
    bool contactsGiven = false;
};

struct Sample {
    double enterQsoMs = 0;
    double contactMs = 0;
};

double ElapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// One contest contact, numbered from 1: a distinct call on one of four bands.
Sample LogContact(VantrelEntry &entry, int number)
{
    static const double kBandsKhz[] = {3525.0, 7025.0, 14025.0, 21025.0};
    QString call = QStringLiteral("K%1X%2").arg(number % 10).arg(number, 5, 36, QLatin1Char('A')).toUpper();
    QString report = QStringLiteral("599");
    QString sent = QString::number(number);
    QString received = QString::number(number * 7 % 1000 + 1);
    int16_t mode = 3;
    int16_t split = 0;
    const double khz = kBandsKhz[number % 4] + number % 50;

    QElapsedTimer contact;
    contact.start();
    entry.ClearEntry();
    entry.SetFieldN(1, call);
    entry.SetFieldN(2, report);
    entry.SetFieldN(3, report);
    entry.SetFieldN(4, sent);
    entry.SetFieldN(5, received);
    entry.SetLogFrequencyEx(mode, khz, khz, split);
    QElapsedTimer enterQso;
    enterQso.start();
    entry.EnterQso();
    return {ElapsedMs(enterQso), ElapsedMs(contact)};
}

double Mean(const std::vector<double> &values, size_t from, size_t count)
{
    double sum = 0;
    for (size_t i = from; i < from + count; ++i)
        sum += values[i];
    return sum / double(count);
}

void PrintFigures(const char *what, const std::vector<double> &ms)
{
    const size_t n = ms.size();
    const double first = Mean(ms, 0, kEdge);
    const double last = Mean(ms, n - kEdge, kEdge);
    std::printf("%-16s first %d: %7.3f ms   last %d: %7.3f ms (%.2f x first)   median %7.3f ms   p99 %7.3f ms   "
                "max %8.3f ms\n",
                what, kEdge, first, kEdge, last, last / first, Stats::Median(ms), Stats::Percentile(ms, 0.99),
                Stats::Max(ms));
}

// Mean cost in tenths of the log, to show whether it grows with the log.
void PrintGrowth(const std::vector<double> &ms)
{
    const size_t tenth = ms.size() / 10;
    std::printf("EnterQso mean by tenth of the log:");
    for (size_t i = 0; i < 10; ++i)
        std::printf(" %.3f", Mean(ms, i * tenth, tenth));
    std::printf(" ms (last %.2f x first)\n", Mean(ms, 9 * tenth, tenth) / Mean(ms, 0, tenth));
}

// One 10 MB value (which a logger that bounds values refuses) and one of
// 64 KiB that is logged; the contacts after them should cost what they did
// before (beforeMs: the mean contact of the log).
void MeasureAfterLargeValues(VantrelEntry &entry, int firstNumber, double beforeMs)
{
    constexpr int kAfter = 100;
    constexpr int16_t kNameColumn = 6;
    QString huge(10 << 20, QLatin1Char('x'));
    QElapsedTimer timer;
    timer.start();
    QString outcome = QStringLiteral("taken");
    try {
        entry.SetFieldN(kNameColumn, huge);
    } catch (const RuntimeError &error) {
        outcome = error.description();
    }
    std::printf("a 10 MB SetFieldN: %.1f ms, %s\n", ElapsedMs(timer), qPrintable(outcome));

    QString largest(65536, QLatin1Char('y'));
    timer.restart();
    entry.ClearEntry();
    entry.SetFieldN(kNameColumn, largest);
    entry.EnterQso();
    std::printf("a contact with a 65,536-byte value: %.3f ms\n", ElapsedMs(timer));

    std::vector<double> after;
    for (int number = firstNumber; number < firstNumber + kAfter; ++number)
        after.push_back(LogContact(entry, number).contactMs);
    const double afterMs = Mean(after, 0, after.size());
    std::printf("the %d contacts after them: %.3f ms per contact, %.2f x the log's mean contact\n", kAfter, afterMs,
                afterMs / beforeMs);
}

QString PlatformText()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return QStringLiteral("platform ") + qEnvironmentVariable("QT_QPA_PLATFORM");
    return QStringLiteral("display ") + qEnvironmentVariable("DISPLAY");
}

int Measure(const Options &options)
{
    const auto document = VantrelDocument::GetRunning();
    const auto entry = document ? document->GetCurrentEntry() : nullptr;
    if (!entry) {
        std::fprintf(stderr, "standin-bench: no logger on the private bus\n");
        return 1;
    }
    std::printf("%d contacts into %s, %s, %s\n", options.contacts, qPrintable(options.standin),
                options.window ? "window shown" : "no window", qPrintable(PlatformText()));

    std::vector<double> enterQso;
    std::vector<double> contact;
    QElapsedTimer total;
    total.start();
    for (int number = 1; number <= options.contacts; ++number) {
        const Sample sample = LogContact(*entry, number);
        enterQso.push_back(sample.enterQsoMs);
        contact.push_back(sample.contactMs);
    }
    const double totalMs = ElapsedMs(total);

    PrintFigures("EnterQso", enterQso);
    PrintFigures("whole contact", contact);
    PrintGrowth(enterQso);
    std::printf("total %.1f s, %.3f ms per contact\n", totalMs / 1000.0, totalMs / options.contacts);
    MeasureAfterLargeValues(*entry, options.contacts + 1, Stats::Mean(contact));
    return 0;
}

// A socket of this type bound to a free port of the loopback address.
int BindLoopback(int type, quint16 &port)
{
    const int bound = socket(AF_INET, type, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(bound, reinterpret_cast<sockaddr *>(&address), length);
    getsockname(bound, reinterpret_cast<sockaddr *>(&address), &length);
    port = ntohs(address.sin_port);
    return bound;
}

// A receiver on the loopback address, served by a thread of its own as a
// logging program or a radio serves it: a UDP receiver reads and counts
// datagrams; a rigctld takes one connection at a time and answers each
// command line with "RPRT 0" after kRadioAnswerMs, counting the commands.
class LoopbackPeer {
public:
    enum class Kind { UdpReceiver, Rigctld };

    explicit LoopbackPeer(Kind kind)
    {
        m_Socket = BindLoopback(kind == Kind::Rigctld ? SOCK_STREAM : SOCK_DGRAM, m_Port);
        if (kind == Kind::Rigctld)
            listen(m_Socket, 4);
        m_Thread = std::thread([this, kind] { kind == Kind::Rigctld ? AnswerUntilStopped() : ReadUntilStopped(); });
    }

    ~LoopbackPeer()
    {
        m_Stop = true;
        m_Thread.join();
        close(m_Socket);
    }

    QString Destination() const { return QStringLiteral("127.0.0.1:%1").arg(m_Port); }
    long Count() const { return m_Count; }

private:
    void ReadUntilStopped()
    {
        std::vector<char> buffer(65536);
        while (!m_Stop) {
            pollfd ready = {m_Socket, POLLIN, 0};
            if (poll(&ready, 1, 50) > 0 && recv(m_Socket, buffer.data(), buffer.size(), 0) >= 0)
                ++m_Count;
        }
    }

    void AnswerUntilStopped()
    {
        int peer = -1;
        while (!m_Stop) {
            pollfd ready = {peer < 0 ? m_Socket : peer, POLLIN, 0};
            if (poll(&ready, 1, 50) <= 0)
                continue;
            if (peer < 0) {
                peer = accept(m_Socket, nullptr, nullptr);
                continue;
            }
            char buffer[4096];
            const ssize_t got = recv(peer, buffer, sizeof buffer, 0);
            if (got <= 0) { // the stand-in went, for the next round
                close(peer);
                peer = -1;
                continue;
            }
            for (ssize_t i = 0; i < got; ++i) {
                if (buffer[i] != '\n')
                    continue;
                std::this_thread::sleep_for(std::chrono::milliseconds(kRadioAnswerMs));
                send(peer, "RPRT 0\n", 7, MSG_NOSIGNAL);
                ++m_Count;
            }
        }
        if (peer >= 0)
            close(peer);
    }

    int m_Socket = -1;
    quint16 m_Port = 0;
    std::atomic<bool> m_Stop = false;
    std::atomic<long> m_Count = 0;
    std::thread m_Thread;
};

// A loopback port on which nobody listens: bound for a moment, then let go.
QString ClosedDestination()
{
    LoopbackPeer briefly(LoopbackPeer::Kind::UdpReceiver);
    return briefly.Destination();
}

struct UdpSetup {
    const char *name;
    QStringList arguments;
    std::vector<double> enterQsoMs;
    std::vector<double> contactMs;
};

int MeasureUdp(const Options &options, StandinProcess &logger)
{
    const int contacts = options.contactsGiven ? options.contacts : kUdpContacts;
    LoopbackPeer wsjtx(LoopbackPeer::Kind::UdpReceiver);
    LoopbackPeer contactInfo(LoopbackPeer::Kind::UdpReceiver);
    LoopbackPeer adif(LoopbackPeer::Kind::UdpReceiver);
    LoopbackPeer tlf(LoopbackPeer::Kind::UdpReceiver);
    LoopbackPeer rigctld(LoopbackPeer::Kind::Rigctld);
    const QString closed = ClosedDestination();
    const auto feeds = [](const QString &wsjtxTo, const QString &contactInfoTo, const QString &adifTo,
                          const QString &tlfTo, const QString &rigctldTo) {
        return QStringList{QStringLiteral("--wsjtx-udp"), wsjtxTo,  QStringLiteral("--contactinfo-udp"), contactInfoTo,
                           QStringLiteral("--adif-udp"),  adifTo,   QStringLiteral("--tlf-lan"),         tlfTo,
                           QStringLiteral("--rigctld"),   rigctldTo};
    };
    std::vector<UdpSetup> setups = {
        {"no feed", {}, {}, {}},
        {"feeds, listening",
         feeds(wsjtx.Destination(), contactInfo.Destination(), adif.Destination(), tlf.Destination(),
               rigctld.Destination()),
         {},
         {}},
        {"feeds, closed port", feeds(closed, closed, closed, closed, closed), {}, {}},
    };
    std::printf("%d contacts per run, %d rounds, %s, %s\n", contacts, kUdpRounds,
                options.window ? "window shown" : "no window", qPrintable(PlatformText()));

    for (int round = 0; round < kUdpRounds; ++round) {
        for (UdpSetup &setup : setups) {
            if (!logger.Restart(StandinProcess::WithWindow(setup.arguments, options.window)))
                return 1;
            const auto document = VantrelDocument::GetRunning();
            const auto entry = document ? document->GetCurrentEntry() : nullptr;
            if (!entry) {
                std::fprintf(stderr, "standin-bench: no logger on the private bus\n");
                return 1;
            }
            for (int number = 1; number <= contacts; ++number) {
                const Sample sample = LogContact(*entry, number);
                setup.enterQsoMs.push_back(sample.enterQsoMs);
                setup.contactMs.push_back(sample.contactMs);
            }
        }
    }

    const UdpSetup &baseline = setups.front();
    std::printf("%-20s %14s %14s %16s   ratio to no feed (median EnterQso, mean EnterQso, median contact)\n",
                "", "EnterQso med", "EnterQso mean", "contact median");
    for (const UdpSetup &setup : setups) {
        std::printf("%-20s %11.3f ms %11.3f ms %13.3f ms   %.3f  %.3f  %.3f\n", setup.name, Stats::Median(setup.enterQsoMs),
                    Stats::Mean(setup.enterQsoMs), Stats::Median(setup.contactMs),
                    Stats::Median(setup.enterQsoMs) / Stats::Median(baseline.enterQsoMs),
                    Stats::Mean(setup.enterQsoMs) / Stats::Mean(baseline.enterQsoMs),
                    Stats::Median(setup.contactMs) / Stats::Median(baseline.contactMs));
    }
    std::printf("datagrams received: WSJT-X %ld (Status, QSO Logged and Logged ADIF per contact, and the "
                "heartbeats), contactinfo %ld (RadioInfo and contactinfo per contact), ADIF %ld (1 per contact), Tlf %ld (1 per contact it had its turn for, one every 15 ms); rigctld answered %ld "
                "commands, %d ms each (the newest setting only)\n",
                wsjtx.Count(), contactInfo.Count(), adif.Count(), tlf.Count(), rigctld.Count(), kRadioAnswerMs);
    return 0;
}

int RunUdp(const Options &options)
{
    StandinProcess logger({QStringLiteral("--no-window")}, StandinProcess::Use::Benchmark, options.standin);
    if (!logger.WaitForName())
        return 1;
    try {
        return MeasureUdp(options, logger);
    } catch (const RuntimeError &error) {
        std::fprintf(stderr, "standin-bench: %s\n", qPrintable(error.description()));
        return 1;
    }
}

int Run(const Options &options)
{
    if (options.udp)
        return RunUdp(options);

    StandinProcess logger(StandinProcess::WithWindow({}, options.window), StandinProcess::Use::Benchmark,
                          options.standin);
    if (!logger.WaitForName())
        return 1;
    try {
        return Measure(options);
    } catch (const RuntimeError &error) {
        std::fprintf(stderr, "standin-bench: %s\n", qPrintable(error.description()));
        return 1;
    }
}

} // namespace

int main(int argc, char **argv)
{
    BenchStart start(argc, argv, BenchStart::Kind::Console, QStringLiteral("Cost per logged contact in the stand-in logger."));
    start.AddNumber(QStringLiteral("contacts"),
                    QStringLiteral("Contacts to log (%1 a run with --udp unless given).").arg(kUdpContacts),
                    kDefaultContacts, 2 * kEdge);
    start.AddText(QStringLiteral("standin"), QStringLiteral("PATH"), QStringLiteral("The stand-in program to measure."),
                  StandinProcess::BuiltProgram());
    start.AddFlag(QStringLiteral("no-window"), QStringLiteral("Run the stand-in without its window."));
    start.AddFlag(QStringLiteral("udp"), QStringLiteral("Compare the cost with and without the feeds (UDP, Tlf, rigctld)."));
    if (!start.Parse())
        return BenchStart::kUsageExit;
    Options options;
    options.contacts = start.Number(QStringLiteral("contacts"));
    options.contactsGiven = start.IsSet(QStringLiteral("contacts"));
    options.standin = start.Text(QStringLiteral("standin"));
    options.window = !start.IsSet(QStringLiteral("no-window"));
    options.udp = start.IsSet(QStringLiteral("udp"));
    return Run(options);
}
