// SPDX-License-Identifier: GPL-3.0-or-later
// ardenix-stations: replays a multi-transmitter log on this machine as its
// stations worked it, one Ardenix per transmitter, each into a stand-in
// logger of its own on a session bus of its own, all on one clock
// (--go-at); the stand-ins send each contact on to the loggers of a
// network (Tlf's LAN, WSJT-X receivers).

#include "LogSurvey.h"
#include "Pacing.h"
#include "Station.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

const char kProgramName[] = "ardenix-stations";
constexpr int kUsageExitStatus = 2;
constexpr int kFailedExitStatus = 1;
constexpr int kInterruptedExitStatus = 130;
// "Go" comes this long after the last logger is up: time for every Ardenix
// to start and read the log.
constexpr int kLeadSeconds = 5;
constexpr int kLoggerUpMs = 10000;
// Tlf's LAN has the nodes A to H; A and B are left to the receiving Tlfs.
constexpr int kTlfStationNodes = 6;

const QString kSpeed = QStringLiteral("speed");
const QString kFrom = QStringLiteral("from");
const QString kTlfLan = QStringLiteral("tlf-lan");
const QString kWsjtxUdp = QStringLiteral("wsjtx-udp");
const QString kTrace = QStringLiteral("trace");

void AddOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Replays each station (transmitter) of a multi-transmitter log at once, as it worked the contest:\n"
        "for each, a private session bus with a stand-in Vantrel logger and an Ardenix that replays only\n"
        "that station's contacts, all pressing \"Go\" at one moment a few seconds ahead. Each stand-in sends\n"
        "its contacts on as a station of its own (Tlf node C, D, ...; WSJT-X client id station-0, ...).\n"
        "Prints each station's contact lines prefixed by the station. Exit status 0 when every station\n"
        "reached the end of its contacts, 1 when one failed (named on standard error), 2 for a command\n"
        "line that cannot be acted on, 130 when interrupted. Ctrl-C ends every program it started."));
    parser.addHelpOption();
    parser.addOption({{QStringLiteral("v"), QStringLiteral("version")},
                      QStringLiteral("Print the version and licence and exit.")});
    parser.addOption({kSpeed, QStringLiteral("The speed of every station: 1X (default), 2X, 4X or 8X."),
                      QStringLiteral("SPEED")});
    parser.addOption({kFrom, QStringLiteral("Start at contest time TIME, as ardenix --from takes it."),
                      QStringLiteral("TIME")});
    parser.addOption({kTlfLan,
                      QStringLiteral("Send every station's contacts to the Tlf node at HOST:PORT (its LAN_PORT); "
                                     "the receiving Tlfs are nodes A and B, the stations C to H (repeatable)."),
                      QStringLiteral("HOST:PORT")});
    parser.addOption({kWsjtxUdp,
                      QStringLiteral("Send every station's contacts as WSJT-X messages to HOST:PORT (repeatable)."),
                      QStringLiteral("HOST:PORT")});
    parser.addOption({kTrace,
                      QStringLiteral("Write each stand-in's trace of calls and its ADIF log to DIR "
                                     "(station-0.jsonl, station-0.adi, ...)."),
                      QStringLiteral("DIR")});
    parser.addPositionalArgument(QStringLiteral("LOG"), QStringLiteral("The log to replay (Cabrillo, ADIF or ADX)."));
}

// A program beside this one (as built or installed), else on PATH.
QString Program(const QString &name)
{
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    if (QFileInfo(beside).isExecutable())
        return beside;
    return QStandardPaths::findExecutable(name);
}

// The speed as ardenix takes it; "5/sec" follows no time stamps, so the
// stations would not stay in step.
QString CheckedSpeed(const QString &text, QString &error)
{
    for (int16_t speed = Pacing::k1X; speed <= Pacing::k8X; ++speed) {
        if (text.compare(Pacing::SpeedName(speed), Qt::CaseInsensitive) == 0)
            return Pacing::SpeedName(speed);
    }
    error = QStringLiteral("--speed takes 1X, 2X, 4X or 8X, not \"%1\"").arg(text);
    return QString();
}

// HH:MM:SS of a moment kLeadSeconds or more ahead, on a whole second, and
// on the same day (Ardenix reads --go-at as a time of today).
QString GoAtTime()
{
    QDateTime now = QDateTime::currentDateTime();
    QDateTime goAt = now.addSecs(kLeadSeconds + 1);
    if (goAt.date() != now.date()) {
        QThread::sleep(static_cast<unsigned long>(now.secsTo(goAt.date().startOfDay()) + 1));
        goAt = QDateTime::currentDateTime().addSecs(kLeadSeconds + 1);
    }
    return goAt.time().toString(QStringLiteral("HH:mm:ss"));
}

// SIGINT and SIGTERM end the event loop through a pipe; the stations are
// then ended in order.
int g_SignalPipe[2] = {-1, -1};

void OnSignal(int)
{
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = write(g_SignalPipe[1], &byte, 1);
}

int Fail(const QString &message, int status)
{
    std::fprintf(stderr, "%s: %s\n", kProgramName, qPrintable(message));
    return status;
}

void EndOnSignals(QCoreApplication &app)
{
    if (pipe(g_SignalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_SignalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app,
                     [] { QCoreApplication::exit(kInterruptedExitStatus); });
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
}

// The stations' set-up from the command line; why it cannot be acted on, or
// empty text.
QString ReadSetup(const QCommandLineParser &parser, Station::Setup &setup)
{
    if (parser.positionalArguments().size() != 1)
        return QStringLiteral("give one LOG");
    setup.Log = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();
    if (!QFileInfo(setup.Log).isFile() || !QFileInfo(setup.Log).isReadable())
        return QStringLiteral("cannot read the log \"%1\"").arg(setup.Log);
    QString error;
    setup.ArdenixOptions << QStringLiteral("--speed")
                         << (parser.isSet(kSpeed) ? CheckedSpeed(parser.value(kSpeed), error) : QStringLiteral("1X"));
    if (!error.isEmpty())
        return error;
    if (parser.isSet(kFrom))
        setup.ArdenixOptions << QStringLiteral("--from") << parser.value(kFrom);
    for (const QString &option : {kTlfLan, kWsjtxUdp}) {
        for (const QString &destination : parser.values(option))
            setup.StandinOptions << QStringLiteral("--") + option << destination;
    }
    if (parser.isSet(kTrace)) {
        setup.TraceDir = QFileInfo(parser.value(kTrace)).absoluteFilePath();
        if (!QDir().mkpath(setup.TraceDir))
            return QStringLiteral("cannot make the folder \"%1\"").arg(setup.TraceDir);
    }
    setup.Ardenix = Program(QStringLiteral("ardenix"));
    setup.Standin = Program(QStringLiteral("vantrel-standin"));
    if (setup.Ardenix.isEmpty() || setup.Standin.isEmpty())
        return QStringLiteral("ardenix and vantrel-standin are needed, beside this program or on PATH");
    setup.Windows = qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    return QString();
}

// Starts every station's logger, then, once all are up, every replay with
// one go-at; runs until every station has reached its end, one has failed
// or a signal has come, and then ends them all. Answers the exit status.
int RunStations(const Station::Setup &setup, const QStringList &transmitters)
{
    std::vector<std::unique_ptr<Station>> stations;
    for (const QString &transmitter : transmitters)
        stations.push_back(std::make_unique<Station>(setup, transmitter, int(stations.size())));
    const auto allFinished = [&stations] {
        return std::all_of(stations.begin(), stations.end(), [](const auto &station) { return station->Finished(); });
    };

    bool up = true;
    for (const auto &station : stations)
        up = up && station->StartLogger();
    for (const auto &station : stations)
        up = up && station->WaitForLogger(kLoggerUpMs);
    int status = kFailedExitStatus;
    if (up) {
        const QString goAt = GoAtTime();
        std::fprintf(stderr, "%s: %zu station(s) of %s, \"Go\" at %s\n", kProgramName, stations.size(),
                     qPrintable(QFileInfo(setup.Log).fileName()), qPrintable(goAt));
        for (const auto &station : stations) {
            QObject::connect(station.get(), &Station::Failed, [] { QCoreApplication::exit(kFailedExitStatus); });
            QObject::connect(station.get(), &Station::ReachedEnd, [&allFinished] {
                if (allFinished())
                    QCoreApplication::exit(0);
            });
            station->StartReplay(goAt);
        }
        // A replay that could not start has failed before the event loop runs.
        const bool started = std::all_of(stations.begin(), stations.end(),
                                         [](const auto &station) { return station->Failure().isEmpty(); });
        status = started ? QCoreApplication::exec() : kFailedExitStatus;
    }

    for (const auto &station : stations)
        station->Stop();
    if (status == 0)
        std::fprintf(stderr, "%s: every station reached the end of its contacts\n", kProgramName);
    else if (status == kInterruptedExitStatus)
        Fail(QStringLiteral("interrupted; every program it started has ended"), status);
    for (const auto &station : stations) {
        if (status == kFailedExitStatus && !station->Failure().isEmpty())
            return Fail(station->Name() + QStringLiteral(": ") + station->Failure(), status);
    }
    return status;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(kProgramName));
    QCoreApplication::setApplicationVersion(QStringLiteral(ARDENIX_VERSION));

    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(QCoreApplication::arguments()))
        return Fail(parser.errorText() + QStringLiteral(" (see --help)"), kUsageExitStatus);
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("%s %s\nLicense GPL-3.0-or-later\n", kProgramName, ARDENIX_VERSION);
        return 0;
    }
    Station::Setup setup;
    const QString problem = ReadSetup(parser, setup);
    if (!problem.isEmpty())
        return Fail(problem + QStringLiteral(" (see --help)"), kUsageExitStatus);

    // A log that names no transmitter is one station, replayed whole.
    QStringList transmitters = LogSurvey::Of(setup.Log, RecordFilter()).Transmitters;
    if (transmitters.isEmpty())
        transmitters << QString();
    if (parser.isSet(kTlfLan) && transmitters.size() > kTlfStationNodes)
        return Fail(QStringLiteral("the log names %1 transmitters; Tlf's LAN takes %2 stations besides nodes A and B")
                        .arg(transmitters.size())
                        .arg(kTlfStationNodes),
                    kUsageExitStatus);

    EndOnSignals(app);
    return RunStations(setup, transmitters);
}
