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

QVariant Get(AdifReader &r, int id, const QVariantList &args = {})
{
    return r.Invoke(id, InvokeKind::PropertyGet, args);
}

bool Next(AdifReader &r)
{
    return r.Invoke(AdifReader::kNextRecord, InvokeKind::Method, {}).toInt() != 0;
}

constexpr int kDateAndTime[] = {AdifReader::kYear, AdifReader::kMonth, AdifReader::kDay,
                                AdifReader::kHour, AdifReader::kMinute, AdifReader::kSecond};

QString Properties(AdifReader &r)
{
    QString s;
    for (int id : kDateAndTime)
        s += QString::number(Get(r, id).toInt()) + QLatin1Char(' ');
    s += QString::number(Get(r, AdifReader::kFrequency).toDouble(), 'g', 17) + QLatin1Char(' ');
    s += QString::number(Get(r, AdifReader::kSplitFrequency).toDouble(), 'g', 17) + QLatin1Char(' ');
    s += Get(r, AdifReader::kMode).toString();
    return s;
}

// The same properties asked for without writing the answers down: where
// nothing is compared, formatting them would cost more than the reading.
void AskProperties(AdifReader &r)
{
    for (int id : kDateAndTime)
        Get(r, id);
    for (int id : {AdifReader::kFrequency, AdifReader::kSplitFrequency, AdifReader::kMode})
        Get(r, id);
}

QStringList FileFieldNames(AdifReader &r)
{
    const int count = Get(r, AdifReader::kFieldNameCount).toInt();
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(Get(r, AdifReader::kFieldName, {i}).toString());
    return names;
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
        const QString value = Get(r, AdifReader::kFieldValue, {name}).toString();
        line += QLatin1Char('|') + name + QLatin1Char('=') + value;
        for (const QString &spelling : {name.toLower(), name.toUpper(), FoldKey(name)})
            if (FoldKey(spelling) == FoldKey(name) && Get(r, AdifReader::kFieldValue, {spelling}).toString() != value)
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
        while (Next(r)) {
            // Every record takes some bytes: more records than bytes means a reader going round in circles.
            if (transcript.size() > data.size())
                return QStringLiteral("more records than bytes");
            transcript.append(RecordLine(r, seenNames, problem));
            if (!problem.isEmpty())
                return problem;
        }
    } catch (const ReaderError &e) {
        if (!IsExpectedError(e))
            throw;
        transcript.append(QStringLiteral("error: ") + e.path() + QStringLiteral(": ") + e.message() + QLatin1Char('\n')
                          + DiagnosticsText(r));
        return QString(); // the reading ends there; whether both readings end alike is compared
    }
    transcript.append(DiagnosticsText(r));

    // No record current: the defined empty values.
    const QString none = Properties(r);
    if (none != QStringLiteral("0 0 0 0 0 0 0 0 "))
        return QStringLiteral("values after the last record: ") + none;
    if (!Get(r, AdifReader::kFieldValue, {QStringLiteral("CALL")}).toString().isEmpty())
        return QStringLiteral("a field value after the last record");
    if (Next(r))
        return QStringLiteral("a record after the end");

    const QStringList names = FileFieldNames(r);
    if (names != seenNames)
        return QStringLiteral("field names [%1] differ from the records' [%2]")
            .arg(names.join(QLatin1Char(',')), seenNames.join(QLatin1Char(',')));
    Collection<QString> keyed; // as Ardenix keeps them: a repeated key raises an error
    for (const QString &name : names)
        keyed.Add(name, name);
    try {
        Get(r, AdifReader::kFieldName, {names.size()});
        return QStringLiteral("FieldName past the end answered");
    } catch (const ReaderError &e) {
        if (e.kind() != ReaderError::Kind::OutOfRange)
            throw;
    }
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

bool IsExpectedError(const ReaderError &error)
{
    return error.kind() == ReaderError::Kind::FileError || error.kind() == ReaderError::Kind::RecordTooLong;
}

QString ExerciseReader(const QByteArray &data)
{
    QStringList usual, tiny;
    try {
        QString problem = Read(data, 0, usual);
        if (problem.isEmpty())
            problem = Read(data, 64, tiny);
        if (!problem.isEmpty())
            return problem;
    } catch (const ReaderError &e) {
        return QStringLiteral("unexpected error: ") + e.message();
    } catch (const RuntimeError &e) { // the keyed collection met a repeated name
        return QStringLiteral("unexpected error: ") + e.description();
    }
    return CompareReadings(usual, tiny);
}

QString DriveReader(const QByteArray &data)
{
    try {
        // Small chunks: refills on every input, and no buffer so large that
        // each input would pay for fresh memory.
        AdifReader r;
        r.OpenMemory(data, 4096);
        while (Next(r)) {
            AskProperties(r);
            for (const QString &name : r.CurrentFieldNames())
                Get(r, AdifReader::kFieldValue, {name});
        }
        // The names are gathered by a second reading of the same bytes with
        // the same parser, which costs as much as the first; every fourth
        // input (by its length) drives it here, and adif-fuzz checks it on
        // every input.
        if (data.size() % 4 == 0)
            FileFieldNames(r);
    } catch (const ReaderError &e) {
        if (!IsExpectedError(e))
            return QStringLiteral("unexpected error: ") + e.message();
    }
    return QString();
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
