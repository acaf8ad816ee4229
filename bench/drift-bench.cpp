// SPDX-License-Identifier: GPL-3.0-or-later
// drift-bench [--log FILE] [--transmitter T] [--speed 8X] [--squeeze K] [--without-go-at]
// Replays one station of a multi-transmitter log as ardenix-stations does:
// the ardenix program with --only, --go-at and --quit-at-end, into the
// stand-in logger on a private session bus. Each contact line is stamped
// as it arrives, and set against the contact's scheduled moment, go-at +
// (its time - the log's first contact) / speed. Prints the median and the
// largest lateness over the whole station, and over its first and last
// tenth: lateness that piled up would show in the last.
//
// The log is the corpus' W3LPL (CQ WW CW 2024), transmitter 1, 4,918
// contacts over 48 hours: 6 hours at 8X. --squeeze K replays a log of the
// same shape instead, every time from the start divided by K (whole
// seconds, written to a temporary ADIF file), in a K-th of the time; the
// default 8 takes 45 minutes. --squeeze 1 replays the log itself. (A
// squeeze much beyond 8 packs the contacts closer than the 200 ms floor,
// and measures the floor instead of the clock.)
// --without-go-at replays with --go and the waits from one contact to the
// next, the moments counted from the first contact logged, for comparison.

#include "AdifField.h"
#include "AdifReaderControl.h"
#include "BenchStart.h"
#include "DateSerial.h"
#include "LogSurvey.h"
#include "StandinProcess.h"
#include "Stats.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr double kMsPerDay = 24.0 * 60.0 * 60.0 * 1000.0;
constexpr int kLeadSeconds = 3;
constexpr size_t kProgressEvery = 500; // contacts between two progress lines

QDateTime FromDays(double days)
{
    return QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC).addMSecs(std::llround(days * kMsPerDay));
}

double ToDays(const QDateTime &t)
{
    return DateSerial::Date(t.date().year(), t.date().month(), t.date().day())
        + DateSerial::Time(t.time().hour(), t.time().minute(), t.time().second());
}

// The log with every record's time from the first one's divided by squeeze,
// as ADIF: call, time, mode, frequency and transmitter.
bool WriteSqueezed(const QString &from, double squeeze, const QString &to)
{
    AdifReaderControl reader;
    reader.SetFileName(from);
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write("Squeezed by drift-bench\n<EOH>\n");
    double start = std::nan("");
    while (reader.NextRecord()) {
        const double time = DateSerial::Date(reader.Year(), reader.Month(), reader.Day())
            + DateSerial::Time(reader.Hour(), reader.Minute(), reader.Second());
        if (std::isnan(start))
            start = time;
        const QDateTime at = FromDays(start + (time - start) / squeeze);
        out.write(AdifField("CALL", reader.FieldValue(QStringLiteral("CALL")))
                  + AdifField("QSO_DATE", at.toString(QStringLiteral("yyyyMMdd")))
                  + AdifField("TIME_ON", at.toString(QStringLiteral("HHmmss")))
                  + AdifField("MODE", reader.Mode()) + AdifField("FREQ", QString::number(reader.Frequency()))
                  + AdifField("APP_ARDENIX_TRANSMITTER", reader.FieldValue(RecordFilter::kTransmitterField))
                  + "<EOR>\n");
    }
    return true;
}

struct Contact {
    double TimeStamp; // days, as printed in the contact's line
    qint64 ArrivedMs; // wall clock, ms since the epoch
};

void Summarise(const char *what, const std::vector<double> &lateness)
{
    std::printf("  %-22s %5zu contacts: median %7.1f ms, 99%% %7.1f ms, largest %7.1f ms\n", what, lateness.size(),
                Stats::Median(lateness), Stats::Percentile(lateness, 0.99), Stats::Max(lateness));
}

} // namespace

int main(int argc, char **argv)
{
    BenchStart start(argc, argv, BenchStart::Kind::Console,
                     QStringLiteral("How late each contact of one station is logged against its moment on the "
                                    "shared clock (--go-at)."));
    start.AddText(QStringLiteral("log"), QStringLiteral("FILE"), QStringLiteral("The multi-transmitter log."),
                  QStringLiteral(ARDENIX_SHARED_DIR "/corpus/cabrillo/2024_cq-ww-cw_w3lpl.log"));
    start.AddText(QStringLiteral("transmitter"), QStringLiteral("T"), QStringLiteral("The station to replay."),
                  QStringLiteral("1"));
    start.AddText(QStringLiteral("speed"), QStringLiteral("SPEED"), QStringLiteral("1X, 2X, 4X or 8X."),
                  QStringLiteral("8X"));
    start.AddNumber(QStringLiteral("squeeze"), QStringLiteral("Divide every time from the start by K."), 8);
    start.AddFlag(QStringLiteral("without-go-at"), QStringLiteral("Press \"Go\" at once, with the usual waits."));
    if (!start.Parse())
        return BenchStart::kUsageExit;
    const int factor = QStringList{"1X", "2X", "4X", "8X"}.indexOf(start.Text(QStringLiteral("speed")).toUpper());
    if (factor < 0) {
        start.Refuse(QStringLiteral("--speed takes 1X, 2X, 4X or 8X"));
        return BenchStart::kUsageExit;
    }
    const double speed = 1 << factor;
    const bool withGoAt = !start.IsSet(QStringLiteral("without-go-at"));

    QTemporaryDir dir;
    QString log = start.Text(QStringLiteral("log"));
    if (!QFileInfo(log).isReadable()) {
        std::fprintf(stderr, "drift-bench: cannot read %s\n", qPrintable(log));
        return 1;
    }
    const int squeeze = start.Number(QStringLiteral("squeeze"));
    if (squeeze > 1) {
        const QString squeezed = dir.filePath(QStringLiteral("squeezed.adi"));
        if (!WriteSqueezed(log, squeeze, squeezed))
            return 1;
        log = squeezed;
    }
    const QString transmitter = start.Text(QStringLiteral("transmitter"));
    const RecordFilter station = RecordFilter::Station(transmitter);
    const LogSurvey survey = LogSurvey::Of(log, station);
    const int32_t kept = survey.Only(station).Records();
    if (kept == 0) {
        std::fprintf(stderr, "drift-bench: transmitter %s has no contacts in %s\n", qPrintable(transmitter),
                     qPrintable(log));
        return 1;
    }

    StandinProcess logger(StandinProcess::WithWindow({}, false), StandinProcess::Use::Benchmark);
    if (!logger.WaitForName())
        return 1;

    QDateTime goAt = QDateTime::currentDateTime().addSecs(kLeadSeconds + 1);
    goAt.setTime(QTime(goAt.time().hour(), goAt.time().minute(), goAt.time().second()));
    QStringList arguments{"--only", station.Field + QLatin1Char('=') + station.Value, "--speed",
                          start.Text(QStringLiteral("speed")), "--quit-at-end"};
    arguments << (withGoAt ? QStringList{"--go-at", goAt.toString(QStringLiteral("HH:mm:ss"))} : QStringList{"--go"});
    arguments << log;

    QProcess ardenix;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    ardenix.setProcessEnvironment(environment);
    ardenix.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    std::vector<Contact> contacts;
    static const QRegularExpression line(QStringLiteral(R"(^\d+/\d+ (\d{4}-\d\d-\d\d \d\d:\d\d:\d\d))"));
    QObject::connect(&ardenix, &QProcess::readyReadStandardOutput, [&] {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        while (ardenix.canReadLine()) {
            const QRegularExpressionMatch match = line.match(QString::fromUtf8(ardenix.readLine()));
            if (match.hasMatch()) {
                const QDateTime t = QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd HH:mm:ss"));
                contacts.push_back({ToDays(t), now});
                if (contacts.size() % kProgressEvery == 0)
                    std::fprintf(stderr, "drift-bench: %zu of %d contacts logged\n", contacts.size(), kept);
            }
        }
    });
    QObject::connect(&ardenix, &QProcess::finished, &QCoreApplication::quit);
    const double contestHours = (survey.Times.back() - survey.Times.front()) * 24;
    std::printf("drift-bench: %s, transmitter %s: %d contacts, %.1f hours of contest time at %s%s: %.1f minutes\n",
                qPrintable(QFileInfo(start.Text(QStringLiteral("log"))).fileName()), qPrintable(transmitter),
                kept, contestHours, qPrintable(start.Text(QStringLiteral("speed"))),
                squeeze > 1 ? qPrintable(QStringLiteral(", every time from the start divided by %1").arg(squeeze))
                            : "",
                contestHours * 60 / speed);
    ardenix.start(QCoreApplication::applicationDirPath() + QStringLiteral("/ardenix"), arguments);
    QCoreApplication::exec();
    if (ardenix.exitStatus() != QProcess::NormalExit || ardenix.exitCode() != 0
        || int(contacts.size()) != kept) {
        std::fprintf(stderr, "drift-bench: ardenix ended with status %d after %zu of %d contacts\n",
                     ardenix.exitCode(), contacts.size(), kept);
        return 1;
    }

    // The moment of each contact: from go-at and the log's first contact,
    // or, without go-at, from the first contact logged.
    const double startDays = withGoAt ? survey.Times.front() : contacts.front().TimeStamp;
    const double originMs = withGoAt ? double(goAt.toMSecsSinceEpoch()) : double(contacts.front().ArrivedMs);
    std::vector<double> lateness;
    for (const Contact &contact : contacts)
        lateness.push_back(double(contact.ArrivedMs) - (originMs + (contact.TimeStamp - startDays) * kMsPerDay / speed));
    const size_t tenth = std::max<size_t>(lateness.size() / 10, 1);
    std::printf("lateness against %s:\n",
                withGoAt ? "go-at + (time - first contact of the log) / speed"
                         : "the first contact logged + (time - its time) / speed");
    Summarise("whole station", lateness);
    Summarise("first tenth", std::vector<double>(lateness.begin(), lateness.begin() + tenth));
    Summarise("last tenth", std::vector<double>(lateness.end() - tenth, lateness.end()));
    return 0;
}
