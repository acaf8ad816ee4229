// The stand-in logger: a small contest logger that serves the automation
// interface on the session bus, for demos, tests and logger authors.

#include "AdifLogFile.h"
#include "BadInput.h"
#include "CallTrace.h"
#include "ColumnSet.h"
#include "Contract.h"
#include "DocumentObject.h"
#include "EntryObject.h"
#include "FaultPlan.h"
#include "StandinLogger.h"
#include "StandinWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDBusConnection>
#include <QDBusError>
#include <QElapsedTimer>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr int kBadInputExit = 1;
constexpr int kBusExit = 2;

void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        "A stand-in Vantrel contest logger. It serves vantrel.document on the session bus\n"
        "and logs what it is sent. Options marked (repeatable) may be given more than once.");
    parser.addHelpOption();
    parser.addOptions({
        {"columns", "Entry columns from FILE instead of the standard set.", "FILE"},
        {"log-adif", "Append each logged contact to FILE as an ADI record.", "FILE"},
        {"trace", "Write one JSON line per call received to FILE.", "FILE"},
        {"preload", "Contacts (call, band or kHz, mode code; or an ADIF log) to log before starting (repeatable).", "FILE"},
        {"fail", "Answer the Nth call of MEMBER with vantrel.Error.Injected (repeatable).", "MEMBER:N"},
        {"exit-at", "Exit (status 0) at the Nth call of MEMBER, without replying (repeatable).", "MEMBER:N"},
        {"delay", "Wait MS milliseconds before answering each call.", "MS"},
        {"wrong-type", "Reply to every call of MEMBER with a value of the wrong type (repeatable).", "MEMBER"},
        {"no-window", "Run without a window."},
    });
}

int parseDelay(const QString &text)
{
    bool isNumber = false;
    const int delayMs = text.toInt(&isNumber);
    if (!isNumber || delayMs < 0)
        throw BadInput(QString("--delay %1: expected a whole number of milliseconds").arg(text));
    return delayMs;
}

FaultPlan makeFaultPlan(const QCommandLineParser &parser)
{
    FaultPlan plan(Contract::members());
    for (const QString &memberCall : parser.values("fail"))
        plan.addFailure(memberCall);
    for (const QString &memberCall : parser.values("exit-at"))
        plan.addExit(memberCall);
    for (const QString &member : parser.values("wrong-type"))
        plan.addWrongType(member);
    if (parser.isSet("delay"))
        plan.setDelayMs(parseDelay(parser.value("delay")));
    return plan;
}

// Objects first, name last: a caller that sees the name finds the objects.
bool serveOnSessionBus(DocumentObject &document, EntryObject &entry)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        std::fprintf(stderr, "vantrel-standin: cannot reach the session bus: %s\n",
                     qPrintable(bus.lastError().message()));
        return false;
    }
    if (!bus.registerObject(Contract::DocumentPath, &document) || !bus.registerObject(Contract::EntryPath, &entry)) {
        std::fprintf(stderr, "vantrel-standin: cannot export the objects: %s\n", qPrintable(bus.lastError().message()));
        return false;
    }
    if (!bus.registerService(Contract::BusName)) {
        std::fprintf(stderr, "vantrel-standin: the name %s is already taken on the session bus "
                             "(is another Vantrel running?)\n",
                     qPrintable(Contract::BusName));
        return false;
    }
    return true;
}

bool hasArgument(int argc, char **argv, const char *wanted)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], wanted) == 0)
            return true;
    }
    return false;
}

// Decided before any application object exists: --no-window and --help need no display.
bool wantsWindow(int argc, char **argv)
{
    return !hasArgument(argc, argv, "--no-window") && !hasArgument(argc, argv, "--help")
        && !hasArgument(argc, argv, "-h") && !hasArgument(argc, argv, "--help-all");
}

// Without this check Qt aborts when it finds no display.
bool hasDisplay(int argc, char **argv)
{
    return qEnvironmentVariableIsSet("DISPLAY") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || hasArgument(argc, argv, "-platform");
}

} // namespace

int main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();

    const bool withWindow = wantsWindow(argc, argv);
    if (withWindow && !hasDisplay(argc, argv)) {
        std::fprintf(stderr, "vantrel-standin: no display for the window; "
                             "use --no-window or -platform offscreen\n");
        return kBadInputExit;
    }
    std::unique_ptr<QCoreApplication> app;
    if (withWindow)
        app = std::make_unique<QApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName("vantrel-standin");

    QCommandLineParser parser;
    addOptions(parser);
    parser.process(*app);
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "vantrel-standin: unexpected argument '%s' (see --help)\n",
                     qPrintable(parser.positionalArguments().first()));
        return kBadInputExit;
    }

    try {
        const ColumnSet columns =
            parser.isSet("columns") ? ColumnSet::fromFile(parser.value("columns")) : ColumnSet::standard();
        StandinLogger logger(columns);
        for (const QString &path : parser.values("preload"))
            logger.log().preloadFile(path);

        std::unique_ptr<AdifLogFile> adifLog;
        if (parser.isSet("log-adif"))
            adifLog = std::make_unique<AdifLogFile>(parser.value("log-adif"), logger.columns());
        logger.setAdifLog(adifLog.get());

        std::unique_ptr<CallTrace> trace;
        if (parser.isSet("trace"))
            trace = std::make_unique<CallTrace>(parser.value("trace"), clock);

        FaultPlan plan = makeFaultPlan(parser);
        DocumentObject document(plan, trace.get());
        EntryObject entry(logger, plan, trace.get());
        if (!serveOnSessionBus(document, entry))
            return kBusExit;

        std::unique_ptr<StandinWindow> window;
        if (withWindow) {
            window = std::make_unique<StandinWindow>(logger);
            window->show();
        }
        return app->exec();
    } catch (const BadInput &error) {
        std::fprintf(stderr, "vantrel-standin: %s\n", qPrintable(error.message()));
        return kBadInputExit;
    }
}
