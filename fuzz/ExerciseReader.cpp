// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExerciseReader.h"

#include "AdifReader.h"
#include "Collection.h"
#include "ReaderError.h"
#include "RuntimeError.h"

#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace {

QString Properties(AdifReader &r)
{
    const adif::TimeStamp t = r.Time();
    QString s;
    for (int part : {t.year, t.month, t.day, t.hour, t.minute, t.second})
        s += QString::number(part) + QLatin1Char(' ');
    s += QString::number(r.Frequency(), 'g', 17) + QLatin1Char(' ');
    s += QString::number(r.SplitFrequency(), 'g', 17) + QLatin1Char(' ');
    s += r.Mode();
    return s;
}

QString DiagnosticsText(AdifReader &r)
{
    const adif::Diagnostics &d = r.Diagnosed();
    QString s = QStringLiteral("diagnostics %1").arg(d.count);
    for (const adif::Diagnostic &one : d.kept)
        s += QStringLiteral("\n%1: %2").arg(one.offset).arg(one.message);
    return s;
}

// What one record shows: its properties and every field, each found under
// its name as listed and under every other spelling that is the same key of
// the keyed collection.
QString RecordLine(AdifReader &r, QStringList &seenNames, QString &problem)
{
    QString line = Properties(r);
    for (const QString &name : r.CurrentFieldNames()) {
        if (!seenNames.contains(name))
            seenNames.append(name);
        const QString value = r.FieldValue(name);
        line += QLatin1Char('|') + name + QLatin1Char('=') + value;
        for (const QString &spelling : {name.toLower(), name.toUpper(), FoldKey(name)})
            if (FoldKey(spelling) == FoldKey(name) && r.FieldValue(spelling) != value)
                problem = QStringLiteral("FieldValue of %1 differs under the spelling %2").arg(name, spelling);
    }
    return line;
}

// One reading of the data: a transcript of every record and of the
// diagnostics, or what went wrong.
QString Read(const QByteArray &data, size_t chunk, QStringList &transcript)
{
    AdifReader r;
    r.OpenMemory(data, chunk);
    QStringList seenNames;
    QString problem;
    try {
        while (r.NextRecord()) {
            // Every record takes some bytes: more records than bytes means a reader going round in circles.
            if (transcript.size() > data.size())
                return QStringLiteral("more records than bytes");
            transcript.append(RecordLine(r, seenNames, problem));
            if (!problem.isEmpty())
                return problem;
        }
    } catch (const ReaderError &e) {
        transcript.append(QStringLiteral("error: ") + e.path() + QStringLiteral(": ") + e.message() + QLatin1Char('\n')
                          + DiagnosticsText(r));
        return QString(); // the reading ends there; whether both readings end alike is compared
    }
    transcript.append(DiagnosticsText(r));

    // No record current: the defined empty values.
    const QString none = Properties(r);
    if (none != QStringLiteral("0 0 0 0 0 0 0 0 "))
        return QStringLiteral("values after the last record: ") + none;
    if (!r.FieldValue(QStringLiteral("CALL")).isEmpty())
        return QStringLiteral("a field value after the last record");
    if (r.NextRecord())
        return QStringLiteral("a record after the end");

    const QStringList &names = r.FieldNames();
    if (names != seenNames)
        return QStringLiteral("field names [%1] differ from the records' [%2]")
            .arg(names.join(QLatin1Char(',')), seenNames.join(QLatin1Char(',')));
    Collection<QString> keyed; // as Ardenix keeps them: a repeated key raises an error
    for (const QString &name : names)
        keyed.Add(name, name);
    return QString();
}

QString CompareReadings(const QStringList &usual, const QStringList &tiny)
{
    for (qsizetype i = 0; i < std::min(usual.size(), tiny.size()); ++i)
        if (usual[i] != tiny[i])
            return QStringLiteral("line %1 reads differently with small chunks:\n%2\n%3").arg(i).arg(usual[i], tiny[i]);
    if (usual.size() != tiny.size())
        return QStringLiteral("%1 lines with the usual chunks, %2 with small ones").arg(usual.size()).arg(tiny.size());
    return QString();
}

} // namespace

QString ExerciseReader(const QByteArray &data)
{
    QStringList usual, tiny;
    try {
        QString problem = Read(data, 0, usual);
        if (problem.isEmpty())
            problem = Read(data, 64, tiny);
        if (!problem.isEmpty())
            return problem;
    } catch (const ReaderError &e) { // not while reading the records: in the field-name pass
        return QStringLiteral("unexpected error: ") + e.message();
    } catch (const RuntimeError &e) { // the keyed collection met a repeated name
        return QStringLiteral("unexpected error: ") + e.description();
    }
    return CompareReadings(usual, tiny);
}

void DriveReader(const QByteArray &data)
{
    try {
        // Small chunks: refills on every input, and no buffer so large that
        // each input would pay for fresh memory.
        AdifReader r;
        r.OpenMemory(data, 4096);
        // Every call, the answers not written down: formatting them would
        // cost more than the reading.
        while (r.NextRecord()) {
            r.Time();
            r.Frequency();
            r.SplitFrequency();
            r.Mode();
            for (const QString &name : r.CurrentFieldNames())
                r.FieldValue(name);
        }
        // The names are gathered by a second reading of the same bytes with
        // the same parser, which costs as much as the first; every fourth
        // input (by its length) drives it here, and adif-fuzz checks it on
        // every input.
        if (data.size() % 4 == 0)
            r.FieldNames();
    } catch (const ReaderError &) {
        // A record over the size limit: what the reader raises on bad input.
    }
}

QByteArray FuzzInput(const uint8_t *data, size_t size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

void AbortOnProblem(const char *target, const QString &problem)
{
    if (problem.isEmpty())
        return;
    std::fprintf(stderr, "%s: %s\n", target, qPrintable(problem));
    std::abort();
}
