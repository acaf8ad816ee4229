// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "ContestTime.h"
#include "Pacing.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace CommandLine {

namespace {

const QString kSpeed = QStringLiteral("speed");
const QString kFrom = QStringLiteral("from");
const QString kSkipDupes = QStringLiteral("skip-dupes");
const QString kGo = QStringLiteral("go");
const QString kQuitAtEnd = QStringLiteral("quit-at-end");
const QString kOnly = QStringLiteral("only");
const QString kGoAt = QStringLiteral("go-at");

// A --go-at time this long past is taken as a mistake, not as "at once".
constexpr int kGoAtGraceSeconds = 60;

// "1X, 2X, 4X, 8X or 5/sec"
QString SpeedNames()
{
    QStringList names;
    for (int16_t speed = Pacing::k1X; speed <= Pacing::kFivePerSecond; ++speed)
        names << Pacing::SpeedName(speed);
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

// The row of the speed list named by text, in any letter case; -1 for none.
int16_t SpeedRow(const QString &text)
{
    for (int16_t speed = Pacing::k1X; speed <= Pacing::kFivePerSecond; ++speed) {
        if (text.compare(Pacing::SpeedName(speed), Qt::CaseInsensitive) == 0)
            return speed;
    }
    return -1;
}

void AddOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Replays an ADIF contact log into a running Vantrel contest logger over D-Bus."));
    parser.addHelpOption();
    parser.addOption({{QStringLiteral("v"), QStringLiteral("version")},
                      QStringLiteral("Print the version and licence and exit.")});
    parser.addOption({kSpeed, QStringLiteral("Choose the speed SPEED: %1.").arg(SpeedNames()), QStringLiteral("SPEED")});
    parser.addOption({kOnly,
                      QStringLiteral("Replay only the records whose field FIELD (in any letter case) holds exactly "
                                     "VALUE, such as one station of a multi-transmitter Cabrillo log: "
                                     "APP_ARDENIX_TRANSMITTER=1."),
                      QStringLiteral("FIELD=VALUE")});
    parser.addOption({kFrom,
                      QStringLiteral("Start the playback at the contest time TIME (UTC), as typed into "
                                     "\"Start at\": 2025-03-29T14:00, 2025-03-29 14:00, or 14:00 for the first "
                                     "such time at or after the log's first contact; seconds may follow."),
                      QStringLiteral("TIME")});
    parser.addOption({kSkipDupes, QStringLiteral("Press \"Skip dupes\" once FILE is chosen.")});
    parser.addOption({kGo, QStringLiteral("Press \"Go\" once the window is shown.")});
    parser.addOption({kGoAt,
                      QStringLiteral("Press \"Go\" at TIME today (HH:MM or HH:MM:SS, local time) and log each "
                                     "contact at TIME + (its time - the start) / speed, the start being the "
                                     "first contact's time or --from: in step with every copy started alike."),
                      QStringLiteral("TIME")});
    parser.addOption({kQuitAtEnd,
                      QStringLiteral("End at the end of the file, with exit status 0, and print a line per contact "
                                     "(\"17/45 2024-11-23 00:14:30 K1ABC\"). A failure goes to standard error, "
                                     "not to a message box, and ends the program: exit status 1 when Vantrel "
                                     "is not running, 3 for any other failure or a window closed before the end.")});
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The ADIF file to replay, chosen as if with \"...\"; "
                                                "--go, --go-at, --from, --only and --skip-dupes need it."),
                                 QStringLiteral("[FILE]"));
}

// HH:MM[:SS] today; an invalid time for text that is not that.
QDateTime GoAtTime(const QString &text, const QDateTime &now)
{
    static const QRegularExpression form(QStringLiteral(R"(^(\d{1,2}):(\d{2})(?::(\d{2}))?$)"));
    const QRegularExpressionMatch match = form.match(text);
    if (!match.hasMatch())
        return QDateTime();
    const QTime time(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
    if (!time.isValid())
        return QDateTime();
    return QDateTime(now.date(), time);
}

Reading Error(const QString &message)
{
    Reading reading;
    reading.Asked = Reading::Request::Error;
    reading.Text = message;
    return reading;
}

} // namespace

Reading Read(const QStringList &arguments, const QDateTime &now)
{
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(arguments)) {
        Reading reading = Error(parser.errorText());
        reading.UnknownOption = !parser.unknownOptionNames().isEmpty();
        return reading;
    }
    Reading reading;
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        reading.Asked = Reading::Request::Help;
        // Without an application object (help needs no display), Qt names
        // the program by a placeholder; the name it was started by is better.
        reading.Text = parser.helpText().replace(QStringLiteral("<executable_name>"), arguments.value(0));
        return reading;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        reading.Asked = Reading::Request::Version;
        return reading;
    }

    const QStringList files = parser.positionalArguments();
    if (files.size() > 1)
        return Error(QStringLiteral("one FILE at most"));
    StartOptions &options = reading.Options;
    options.File = files.value(0);
    if (parser.isSet(kSpeed)) {
        options.Speed = SpeedRow(parser.value(kSpeed));
        if (options.Speed < 0)
            return Error(QStringLiteral("--speed takes %1, not \"%2\"").arg(SpeedNames(), parser.value(kSpeed)));
    }
    if (parser.isSet(kOnly)) {
        if (parser.values(kOnly).size() > 1)
            return Error(QStringLiteral("--only may be given once"));
        const std::optional<RecordFilter> only = RecordFilter::FromText(parser.value(kOnly));
        if (!only)
            return Error(QStringLiteral("--only takes FIELD=VALUE (such as APP_ARDENIX_TRANSMITTER=1), not \"%1\"")
                             .arg(parser.value(kOnly)));
        options.Only = *only;
    }
    if (parser.isSet(kGoAt)) {
        options.GoAt = GoAtTime(parser.value(kGoAt), now);
        if (!options.GoAt.isValid())
            return Error(QStringLiteral("--go-at takes a time of day HH:MM or HH:MM:SS, not \"%1\"")
                             .arg(parser.value(kGoAt)));
        if (options.GoAt.secsTo(now) > kGoAtGraceSeconds)
            return Error(QStringLiteral("--go-at %1 has passed: it is %2 now")
                             .arg(parser.value(kGoAt), now.time().toString(QStringLiteral("HH:mm:ss"))));
    }
    if (parser.isSet(kFrom)) {
        options.From = parser.value(kFrom);
        if (!ContestTime::Parse(options.From))
            return Error(QStringLiteral("--from takes %1, not \"%2\"").arg(ContestTime::Forms(), options.From));
    }
    options.SkipDupes = parser.isSet(kSkipDupes);
    options.Go = parser.isSet(kGo);
    options.QuitAtEnd = parser.isSet(kQuitAtEnd);
    for (const QString &option : {kGo, kGoAt, kOnly, kSkipDupes, kFrom}) {
        if (parser.isSet(option) && options.File.isEmpty())
            return Error(QStringLiteral("--%1 needs a FILE").arg(option));
    }
    return reading;
}

} // namespace CommandLine
