// SPDX-License-Identifier: GPL-3.0-or-later
// ardenix-diff SOURCE STORED: what a logger kept of a log that was sent to
// it. Prints the contacts of SOURCE missing from STORED, those of STORED
// that are extra or doubled, and the contacts in both whose fields differ.
// Exit status 0 when the logs agree, 1 when they differ, 2 for a usage or
// read error.

#include "LogDiff.h"
#include "LoggedContacts.h"
#include "ReaderError.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <stdexcept>

namespace {

constexpr int kAgreeExit = 0;
constexpr int kDifferExit = 1;
constexpr int kUsageExit = 2;

const QString kMinutesOption = QStringLiteral("minutes");
const QString kFieldsOption = QStringLiteral("fields");
const QString kJsonOption = QStringLiteral("json");
const QString kVersionOption = QStringLiteral("version");

// A usage or read error: its message goes to standard error with exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void AddOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral(
        "Compares two logs of the same contacts (ADIF, ADX or Cabrillo, in any mix): SOURCE, the log\n"
        "that was sent, and STORED, what a logger kept of it. Contacts match by call, band, mode and\n"
        "time. Prints the contacts of SOURCE missing from STORED, those of STORED that are extra or\n"
        "doubled, and the matched ones whose other fields differ. Exit status 0 when the logs agree,\n"
        "1 when they differ, 2 for a usage or read error."));
    parser.addHelpOption();
    parser.addOptions({
        {kMinutesOption, "The largest difference in time of one contact in both logs (default 2): "
                         "loggers stamp contacts with their own clock.", "M"},
        {kFieldsOption, QStringLiteral("The fields to compare, separated by commas (default %1). FREQ differs "
                                       "beyond 1 kHz; a field STORED never holds is not compared.")
                            .arg(LogDiff::DefaultFields().join(QLatin1Char(','))),
         "NAMES"},
        {kJsonOption, "Print one JSON object with the arrays missing, extra and changed instead of lines."},
        {{QStringLiteral("v"), kVersionOption}, "Print the version and licence and exit."},
    });
    parser.addPositionalArgument(QStringLiteral("SOURCE"), QStringLiteral("The log that was sent."));
    parser.addPositionalArgument(QStringLiteral("STORED"), QStringLiteral("What the logger kept of it."));
}

LogDiff::Options ReadOptions(const QCommandLineParser &parser)
{
    LogDiff::Options options;
    if (parser.isSet(kMinutesOption)) {
        bool isNumber = false;
        options.minutes = parser.value(kMinutesOption).toDouble(&isNumber);
        if (!isNumber || !(options.minutes >= 0) || options.minutes > 1e6)
            throw UsageError(QStringLiteral("--minutes %1: expected a number of minutes, 0 or more")
                                 .arg(parser.value(kMinutesOption))
                                 .toStdString());
    }
    if (parser.isSet(kFieldsOption)) {
        options.fields.clear();
        for (const QString &name : parser.value(kFieldsOption).split(QLatin1Char(','), Qt::SkipEmptyParts))
            options.fields.append(name.trimmed().toUpper());
    }
    return options;
}

QList<LoggedContact> ReadLog(const QString &path, const QStringList &fields)
{
    try {
        int damage = 0;
        QList<LoggedContact> contacts = ReadLoggedContacts(path, fields, &damage);
        if (damage > 0)
            std::fprintf(stderr, "ardenix-diff: %s: the reader met damage in %d place(s) and read on "
                                 "(adif-dump shows where)\n", qPrintable(path), damage);
        return contacts;
    } catch (const ReaderError &error) {
        throw UsageError(QStringLiteral("cannot read %1: %2").arg(path, error.message()).toStdString());
    }
}

QString Number(const char *log, const LoggedContact &contact)
{
    return QStringLiteral("%1 #%2").arg(QLatin1String(log)).arg(contact.number);
}

void PrintLines(const LogDiff::Result &result, int sourceCount, int storedCount)
{
    const auto print = [](const QString &line) { std::printf("%s\n", qPrintable(line)); };
    for (const LoggedContact *contact : result.missing)
        print(QStringLiteral("missing  %1  %2").arg(Number("source", *contact), LogDiff::Describe(*contact)));
    for (const LogDiff::Extra &extra : result.extra) {
        if (!extra.doubles) {
            print(QStringLiteral("extra    %1  %2").arg(Number("stored", *extra.stored), LogDiff::Describe(*extra.stored)));
            continue;
        }
        print(QStringLiteral("doubled  %1  %2  (repeats %4, %3)")
                  .arg(Number("stored", *extra.stored), LogDiff::Describe(*extra.stored),
                       Number("source", *extra.doublesSource), Number("stored", *extra.doubles)));
    }
    for (const LogDiff::Change &change : result.changed) {
        QStringList fields;
        for (const LogDiff::FieldChange &field : change.fields)
            fields.append(QStringLiteral("%1 \"%2\" stored as \"%3\"").arg(field.field, field.source, field.stored));
        print(QStringLiteral("changed  %1  %2  (%3)  %4")
                  .arg(Number("source", *change.source), LogDiff::Describe(*change.source),
                       Number("stored", *change.stored), fields.join(QStringLiteral(", "))));
    }
    const int doubled = int(std::count_if(result.extra.begin(), result.extra.end(),
                                          [](const LogDiff::Extra &extra) { return extra.doubles != nullptr; }));
    print(QStringLiteral("%1 contact(s) in SOURCE, %2 in STORED: %3 matched, %4 missing, %5 extra (%6 doubled), "
                         "%7 changed")
              .arg(sourceCount)
              .arg(storedCount)
              .arg(result.matched)
              .arg(result.missing.size())
              .arg(result.extra.size())
              .arg(doubled)
              .arg(result.changed.size()));
}

QJsonObject ContactJson(const char *log, const LoggedContact &contact)
{
    return {{QLatin1String(log), contact.number},
            {QStringLiteral("call"), contact.call},
            {QStringLiteral("band"), contact.band},
            {QStringLiteral("mode"), contact.mode},
            {QStringLiteral("time"), contact.time.isValid() ? QJsonValue(contact.time.toString(Qt::ISODate))
                                                            : QJsonValue()}};
}

void PrintJson(const LogDiff::Result &result)
{
    QJsonArray missing;
    for (const LoggedContact *contact : result.missing)
        missing.append(ContactJson("source", *contact));
    QJsonArray extra;
    for (const LogDiff::Extra &found : result.extra) {
        QJsonObject object = ContactJson("stored", *found.stored);
        object.insert(QStringLiteral("doubles"),
                      found.doubles ? QJsonValue(QJsonObject{{QStringLiteral("source"), found.doublesSource->number},
                                                             {QStringLiteral("stored"), found.doubles->number}})
                                    : QJsonValue());
        extra.append(object);
    }
    QJsonArray changed;
    for (const LogDiff::Change &change : result.changed) {
        QJsonObject object = ContactJson("source", *change.source);
        object.insert(QStringLiteral("stored"), change.stored->number);
        QJsonArray fields;
        for (const LogDiff::FieldChange &field : change.fields)
            fields.append(QJsonObject{{QStringLiteral("field"), field.field},
                                      {QStringLiteral("source"), field.source},
                                      {QStringLiteral("stored"), field.stored}});
        object.insert(QStringLiteral("fields"), fields);
        changed.append(object);
    }
    const QJsonObject all{{QStringLiteral("matched"), result.matched},
                          {QStringLiteral("missing"), missing},
                          {QStringLiteral("extra"), extra},
                          {QStringLiteral("changed"), changed}};
    std::fputs(QJsonDocument(all).toJson(QJsonDocument::Indented).constData(), stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ardenix-diff"));
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "ardenix-diff: %s (see --help)\n", qPrintable(parser.errorText()));
        return kUsageExit;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::printf("%s", qPrintable(parser.helpText()));
        return kAgreeExit;
    }
    if (parser.isSet(kVersionOption)) {
        std::printf("ardenix-diff %s\nLicense GPL-3.0-or-later\n", ARDENIX_VERSION);
        return kAgreeExit;
    }
    try {
        const QStringList paths = parser.positionalArguments();
        if (paths.size() != 2)
            throw UsageError("expected two logs, SOURCE and STORED (see --help)");
        const LogDiff::Options options = ReadOptions(parser);
        const QList<LoggedContact> source = ReadLog(paths[0], options.fields);
        const QList<LoggedContact> stored = ReadLog(paths[1], options.fields);
        const LogDiff::Result result = LogDiff::Compare(source, stored, options);
        if (parser.isSet(kJsonOption))
            PrintJson(result);
        else
            PrintLines(result, int(source.size()), int(stored.size()));
        return result.Agree() ? kAgreeExit : kDifferExit;
    } catch (const UsageError &error) {
        std::fprintf(stderr, "ardenix-diff: %s\n", error.what());
        return kUsageExit;
    }
}
