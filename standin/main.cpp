// SPDX-License-Identifier: GPL-3.0-or-later
// The stand-in logger: a small contest logger that serves the automation
// interface on the session bus, for demos, tests and logger authors.

#include "bus/CallTrace.h"
#include "bus/Contract.h"
#include "bus/DocumentObject.h"
#include "bus/EntryObject.h"
#include "bus/FaultPlan.h"
#include "feed/ContactInfoXml.h"
#include "feed/RigctldClient.h"
#include "feed/UdpFeed.h"
#include "feed/WsjtxMessage.h"
#include "logger/AdifLogFile.h"
#include "logger/BadInput.h"
#include "logger/ColumnSet.h"
#include "logger/Preload.h"
#include "logger/StandinLogger.h"
#include "window/StandinWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDBusConnection>
#include <QDBusError>
#include <QElapsedTimer>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unistd.h>

namespace {

constexpr int kBadInputExit = 1;
constexpr int kBusExit = 2;

// Option names, as the option list declares them and the parser is asked for them.
const QString kColumnsOption = QStringLiteral("columns");
const QString kLogAdifOption = QStringLiteral("log-adif");
const QString kTraceOption = QStringLiteral("trace");
const QString kPreloadOption = QStringLiteral("preload");
const QString kFailOption = QStringLiteral("fail");
const QString kExitAtOption = QStringLiteral("exit-at");
const QString kDelayOption = QStringLiteral("delay");
const QString kWrongTypeOption = QStringLiteral("wrong-type");
const QString kNoWindowOption = QStringLiteral("no-window");
const QString kWsjtxUdpOption = QStringLiteral("wsjtx-udp");
const QString kContactInfoUdpOption = QStringLiteral("contactinfo-udp");
const QString kAdifUdpOption = QStringLiteral("adif-udp");
const QString kTlfLanOption = QStringLiteral("tlf-lan");
const QString kTlfNodeOption = QStringLiteral("tlf-node");
const QString kRigctldOption = QStringLiteral("rigctld");
const QString kStationCallOption = QStringLiteral("station-call");
const QString kWsjtxIdOption = QStringLiteral("wsjtx-id");
const QString kContactInfoAppOption = QStringLiteral("contactinfo-app");
const QString kNoLiveSessionOption = QStringLiteral("no-live-session");
const QString kFeedFaultsOption = QStringLiteral("feed-faults");
const QString kFaultLogOption = QStringLiteral("fault-log");
const QString kVersionOption = QStringLiteral("version");

// The help texts are plain text; only the names of the interface come from Contract.
void AddOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("A stand-in Vantrel contest logger. It serves %1 on the session bus\n"
                       "and logs what it is sent. Options marked (repeatable) may be given more than once.")
            .arg(Contract::kBusName));
    parser.addHelpOption();
    parser.addOptions({
        {kColumnsOption, "Entry columns from FILE instead of the standard set.", "FILE"},
        {kLogAdifOption, "Append each logged contact to FILE as an ADI record.", "FILE"},
        {kTraceOption, "Write one JSON line per call received to FILE.", "FILE"},
        {kPreloadOption, "Contacts (call, band or kHz, mode code; or an ADIF log) to log before starting (repeatable).", "FILE"},
        {kFailOption, QStringLiteral("Answer the Nth call of MEMBER with %1 (repeatable).").arg(Contract::kInjectedError),
         "MEMBER:N"},
        {kExitAtOption, "Exit (status 0) at the Nth call of MEMBER, without replying (repeatable).", "MEMBER:N"},
        {kDelayOption, "Wait MS milliseconds before answering each call.", "MS"},
        {kWrongTypeOption, "Reply to every call of MEMBER with a value of the wrong type (repeatable).", "MEMBER"},
        {kNoWindowOption, "Run without a window."},
        {kWsjtxUdpOption, "Send each logged contact as WSJT-X \"QSO Logged\" and \"Logged ADIF\" messages to "
                          "HOST:PORT (a unicast, broadcast or multicast IPv4 address, or a host name; "
                          "WSJT-X receivers listen on port 2237 by default) (repeatable).", "HOST:PORT"},
        {kContactInfoUdpOption, "Send each logged contact as a contactinfo XML datagram to HOST:PORT "
                                "(port 12060 by default in the tools that take them) (repeatable).", "HOST:PORT"},
        {kAdifUdpOption, "Send each logged contact as one datagram of plain ADIF text (a one-record ADIF file) "
                         "to HOST:PORT (several loggers take it on port 2333) (repeatable).", "HOST:PORT"},
        {kTlfLanOption, "Send each logged contact to a Tlf at HOST:PORT as another station of its LAN "
                        "would (Tlf's LAN_PORT, 6788 by default), at most one every 15 ms; contacts "
                        "above 10 m or below 160 m, or in a mode other than CW, SSB and RTTY, are not "
                        "sent (repeatable).", "HOST:PORT"},
        {kTlfNodeOption, "The stand-in's node letter on Tlf's LAN, A to H (default B). It must differ from "
                         "the receiving Tlf's THISNODE: a Tlf that hears its own letter stops taking "
                         "anything from its LAN until it is restarted.", "LETTER"},
        {kRigctldOption, "Set the radio through Hamlib's rigctld at HOST:PORT (4532 by default) whenever "
                         "the frequency or mode is set: split, frequency, mode.", "HOST:PORT"},
        {kStationCallOption, "The station's own call, sent with each contact on UDP.", "CALL"},
        {kWsjtxIdOption, QStringLiteral("The client id of the WSJT-X messages (default %1).").arg(WsjtxMessage::kClientId),
         "ID"},
        {kContactInfoAppOption,
         QStringLiteral("The application name in the contactinfo datagrams (default %1).").arg(ContactInfoXml::kApp),
         "NAME"},
        {kNoLiveSessionOption, "Send logged contacts only: no WSJT-X Status while the entry row is filled, "
                               "no contactinfo RadioInfo when the frequency or mode is set."},
        {kFeedFaultsOption, "Strike what the UDP feeds send with faults, contact by contact and destination by "
                            "destination. FAULTS is loss=P,dup=P,reorder=P,delay=MS,garbage=P,seed=N, each part "
                            "optional: P is the probability of loss, a second copy (dup), being swapped with the "
                            "next contact (reorder) or a malformed datagram first (garbage); a contact none of "
                            "these strikes is delayed by 1 to MS milliseconds; the same seed N gives the same "
                            "faults.", "FAULTS"},
        {kFaultLogOption, "Write one JSON line per fault of --feed-faults to FILE.", "FILE"},
        {{QStringLiteral("v"), kVersionOption}, "Print the version and licence and exit."},
    });
}

// "HOST:PORT" with a port of 1 to 65535; false when the text is not that.
bool ParseHostAndPort(const QString &text, QString &host, quint16 &port)
{
    const int colon = int(text.lastIndexOf(QLatin1Char(':')));
    bool isNumber = false;
    const uint number = text.mid(colon + 1).toUInt(&isNumber);
    if (colon <= 0 || !isNumber || number < 1 || number > 65535)
        return false;
    host = text.left(colon);
    port = quint16(number);
    return true;
}

// A text option that may not be empty, or its default when not given.
QString NamedValue(const QCommandLineParser &parser, const QString &option, const QString &fallback)
{
    if (!parser.isSet(option))
        return fallback;
    const QString value = parser.value(option);
    if (value.trimmed().isEmpty())
        throw BadInput(QStringLiteral("--%1: the name may not be empty").arg(option));
    return value;
}

FeedIdentity MakeFeedIdentity(const QCommandLineParser &parser)
{
    FeedIdentity identity;
    identity.stationCall = parser.value(kStationCallOption);
    identity.wsjtxId = NamedValue(parser, kWsjtxIdOption, WsjtxMessage::kClientId);
    identity.contactInfoApp = NamedValue(parser, kContactInfoAppOption, ContactInfoXml::kApp);
    const QString node = parser.value(kTlfNodeOption).toUpper();
    if (parser.isSet(kTlfNodeOption)) {
        if (node.size() != 1 || node[0] < QLatin1Char('A') || node[0] > QLatin1Char('H'))
            throw BadInput(QStringLiteral("--%1 %2: expected one letter from A to H, as Tlf's THISNODE takes")
                               .arg(kTlfNodeOption, parser.value(kTlfNodeOption)));
        identity.tlfNode = node[0].toLatin1();
    }
    return identity;
}

// The value of a HOST:PORT option, or BadInput.
void ReadHostAndPort(const QString &option, const QString &text, QString &host, quint16 &port)
{
    if (!ParseHostAndPort(text, host, port))
        throw BadInput(QStringLiteral("--%1 %2: expected HOST:PORT with a port of 1 to 65535, for example 127.0.0.1:2237")
                           .arg(option, text));
}

// Null when no destination is given: then nothing is sent and nothing changes.
std::unique_ptr<UdpFeed> MakeUdpFeed(const QCommandLineParser &parser, const StandinLogger &logger)
{
    const std::pair<QString, FeedDestination::Kind> options[] = {
        {kWsjtxUdpOption, FeedDestination::Kind::Wsjtx},
        {kContactInfoUdpOption, FeedDestination::Kind::ContactInfo},
        {kAdifUdpOption, FeedDestination::Kind::Adif},
        {kTlfLanOption, FeedDestination::Kind::TlfLan},
    };
    const FeedIdentity identity = MakeFeedIdentity(parser); // checked even when nothing is sent
    QList<FeedDestination> destinations;
    for (const auto &[option, kind] : options) {
        for (const QString &text : parser.values(option)) {
            FeedDestination destination;
            destination.kind = kind;
            ReadHostAndPort(option, text, destination.host, destination.port);
            destinations.append(destination);
        }
    }
    std::unique_ptr<FeedFaults> faults;
    if (parser.isSet(kFaultLogOption) && !parser.isSet(kFeedFaultsOption))
        throw BadInput(QStringLiteral("--%1 needs --%2").arg(kFaultLogOption, kFeedFaultsOption));
    if (parser.isSet(kFeedFaultsOption)) {
        const FeedFaults::Plan plan = FeedFaults::Parse(parser.value(kFeedFaultsOption));
        if (destinations.isEmpty())
            throw BadInput(QStringLiteral("--%1 needs a UDP destination (--%2, --%3, --%4 or --%5)")
                               .arg(kFeedFaultsOption, kWsjtxUdpOption, kContactInfoUdpOption, kAdifUdpOption,
                                    kTlfLanOption));
        faults = std::make_unique<FeedFaults>(plan, parser.value(kFaultLogOption));
    }
    if (destinations.isEmpty())
        return nullptr;
    return std::make_unique<UdpFeed>(logger, identity, destinations, !parser.isSet(kNoLiveSessionOption),
                                     std::move(faults));
}

// Null without --rigctld; else the radio follows the logger's frequency and mode.
std::unique_ptr<RigctldClient> MakeRadio(const QCommandLineParser &parser, const StandinLogger &logger)
{
    const QStringList values = parser.values(kRigctldOption);
    if (values.size() > 1)
        throw BadInput(QStringLiteral("--%1 may be given once: the stand-in moves one radio").arg(kRigctldOption));
    if (values.isEmpty())
        return nullptr;
    QString host;
    quint16 port = 0;
    ReadHostAndPort(kRigctldOption, values.first(), host, port);
    auto radio = std::make_unique<RigctldClient>(host, port);
    QObject::connect(&logger, &StandinLogger::FrequencySet, radio.get(), &RigctldClient::Follow);
    return radio;
}

// SIGTERM and SIGINT end the event loop, so that the stand-in quits as it
// does when its window is closed (and the WSJT-X feed sends its Close). The
// handler only writes to a pipe; the event loop reads it.
int g_QuitPipe[2] = {-1, -1};

void OnQuitSignal(int)
{
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = write(g_QuitPipe[1], &byte, 1);
}

void QuitOnSignals(QCoreApplication &app)
{
    if (pipe(g_QuitPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_QuitPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    std::signal(SIGTERM, OnQuitSignal);
    std::signal(SIGINT, OnQuitSignal);
}

int ParseDelay(const QString &text)
{
    bool isNumber = false;
    const int delayMs = text.toInt(&isNumber);
    if (!isNumber || delayMs < 0)
        throw BadInput(QStringLiteral("--%1 %2: expected a whole number of milliseconds").arg(kDelayOption, text));
    return delayMs;
}

FaultPlan MakeFaultPlan(const QCommandLineParser &parser)
{
    FaultPlan plan(Contract::Members());
    for (const QString &memberCall : parser.values(kFailOption))
        plan.AddFailure(memberCall);
    for (const QString &memberCall : parser.values(kExitAtOption))
        plan.AddExit(memberCall);
    for (const QString &member : parser.values(kWrongTypeOption))
        plan.AddWrongType(member);
    if (parser.isSet(kDelayOption))
        plan.SetDelayMs(ParseDelay(parser.value(kDelayOption)));
    return plan;
}

// Objects first, name last: a caller that sees the name finds the objects.
bool ServeOnSessionBus(DocumentObject &document, EntryObject &entry)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "vantrel-standin: cannot reach the session bus: %s\n",
                     qPrintable(bus.lastError().message()));
        return false;
    }
    if (!bus.registerObject(Contract::kDocumentPath, &document) || !bus.registerObject(Contract::kEntryPath, &entry)) {
        std::fprintf(stderr, "vantrel-standin: cannot export the objects: %s\n", qPrintable(bus.lastError().message()));
        return false;
    }
    if (!bus.registerService(Contract::kBusName)) {
        std::fprintf(stderr, "vantrel-standin: the name %s is already taken on the session bus "
                             "(is another Vantrel running?)\n",
                     qPrintable(Contract::kBusName));
        return false;
    }
    return true;
}

bool HasArgument(int argc, char **argv, const char *wanted)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], wanted) == 0)
            return true;
    }
    return false;
}

// Decided before any application object exists: --no-window, --help and
// --version need no display.
bool WantsWindow(int argc, char **argv)
{
    for (const char *noWindow : {"--no-window", "--help", "-h", "--help-all", "--version", "-v"}) {
        if (HasArgument(argc, argv, noWindow))
            return false;
    }
    return true;
}

// Without this check Qt aborts when it finds no display.
bool HasDisplay(int argc, char **argv)
{
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || HasArgument(argc, argv, "-platform");
}

} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();

    const bool withWindow = WantsWindow(argc, argv);
    if (withWindow && !HasDisplay(argc, argv)) {
        std::fprintf(stderr, "vantrel-standin: no display for the window; "
                             "use --no-window or -platform offscreen\n");
        return kBadInputExit;
    }
    std::unique_ptr<QCoreApplication> app;
    if (withWindow)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantrel-standin"));

    QCommandLineParser parser;
    AddOptions(parser);
    parser.process(*app);
    if (parser.isSet(kVersionOption)) {
        std::printf("vantrel-standin %s\nLicense GPL-3.0-or-later\n", ARDENIX_VERSION);
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "vantrel-standin: unexpected argument '%s' (see --help)\n",
                     qPrintable(parser.positionalArguments().first()));
        return kBadInputExit;
    }

    try {
        const ColumnSet columns =
            parser.isSet(kColumnsOption) ? ColumnSet::FromFile(parser.value(kColumnsOption)) : ColumnSet::Standard();
        StandinLogger logger(columns);
        for (const QString &path : parser.values(kPreloadOption))
            Preload::File(logger.Log(), path);

        std::unique_ptr<AdifLogFile> adifLog;
        if (parser.isSet(kLogAdifOption))
            adifLog = std::make_unique<AdifLogFile>(parser.value(kLogAdifOption));
        logger.SetAdifLog(adifLog.get());

        const std::unique_ptr<UdpFeed> feed = MakeUdpFeed(parser, logger);
        const std::unique_ptr<RigctldClient> radio = MakeRadio(parser, logger);

        std::unique_ptr<CallTrace> trace;
        if (parser.isSet(kTraceOption))
            trace = std::make_unique<CallTrace>(parser.value(kTraceOption), clock);

        FaultPlan plan = MakeFaultPlan(parser);
        DocumentObject document(plan, trace.get());
        EntryObject entry(logger, plan, trace.get());
        if (!ServeOnSessionBus(document, entry))
            return kBusExit;
        if (feed)
            feed->Start();
        if (radio)
            radio->Start();

        std::unique_ptr<StandinWindow> window;
        if (withWindow) {
            window = std::make_unique<StandinWindow>(logger, feed.get(), radio.get());
            window->show();
        }
        QuitOnSignals(*app);
        return app->exec();
    } catch (const BadInput &error) {
        std::fprintf(stderr, "vantrel-standin: %s\n", qPrintable(error.Message()));
        return kBadInputExit;
    }
}
