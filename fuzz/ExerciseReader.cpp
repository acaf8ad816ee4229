#include "ExerciseReader.h"

#include "AdifReader.h"
#include "RuntimeError.h"

#include <QStringList>

namespace {

QVariant Get(AdifReader &r, int id, const QVariantList &args = {})
{
    return r.Invoke(id, InvokeKind::PropertyGet, args);
}

QString Properties(AdifReader &r)
{
    QString s;
    for (int id : {AdifReader::kYear, AdifReader::kMonth, AdifReader::kDay, AdifReader::kHour, AdifReader::kMinute,
                   AdifReader::kSecond})
        s += QString::number(Get(r, id).toInt()) + QLatin1Char(' ');
    s += QString::number(Get(r, AdifReader::kFrequency).toDouble(), 'g', 17) + QLatin1Char(' ');
    s += QString::number(Get(r, AdifReader::kSplitFrequency).toDouble(), 'g', 17) + QLatin1Char(' ');
    s += Get(r, AdifReader::kMode).toString();
    return s;
}

// One reading of the data: a transcript of every record, or an error text.
QString Read(const QByteArray &data, size_t chunk, QStringList &transcript)
{
    AdifReader r;
    r.OpenMemory(data, chunk);
    QStringList seenNames;
    int records = 0;
    while (r.Invoke(AdifReader::kNextRecord, InvokeKind::Method, {}).toInt() != 0) {
        // Every record takes some bytes: more records than bytes means a reader going round in circles.
        if (++records > data.size())
            return QStringLiteral("more records than bytes");
        QString line = Properties(r);
        for (const QString &name : r.CurrentFieldNames()) {
            if (!seenNames.contains(name))
                seenNames.append(name);
            line += QLatin1Char('|') + name + QLatin1Char('=') + Get(r, AdifReader::kFieldValue, {name}).toString();
            // Look-up ignores letter case.
            if (Get(r, AdifReader::kFieldValue, {name.toLower()}).toString()
                != Get(r, AdifReader::kFieldValue, {name}).toString())
                return QStringLiteral("FieldValue depends on the letter case of ") + name;
        }
        transcript.append(line);
    }

    // No record current: the defined empty values.
    const QString none = Properties(r);
    if (none != QStringLiteral("0 0 0 0 0 0 0 0 "))
        return QStringLiteral("values after the last record: ") + none;
    if (!Get(r, AdifReader::kFieldValue, {QStringLiteral("CALL")}).toString().isEmpty())
        return QStringLiteral("a field value after the last record");
    if (r.Invoke(AdifReader::kNextRecord, InvokeKind::Method, {}).toInt() != 0)
        return QStringLiteral("a record after the end");

    const int count = Get(r, AdifReader::kFieldNameCount).toInt();
    QStringList names;
    for (int i = 0; i < count; ++i)
        names.append(Get(r, AdifReader::kFieldName, {i}).toString());
    if (names != seenNames)
        return QStringLiteral("field names [%1] differ from the records' [%2]")
            .arg(names.join(QLatin1Char(',')), seenNames.join(QLatin1Char(',')));
    try {
        Get(r, AdifReader::kFieldName, {count});
        return QStringLiteral("FieldName past the end answered");
    } catch (const RuntimeError &) {
    }
    return QString();
}

} // namespace

QString ExerciseReader(const QByteArray &data)
{
    QStringList usual, tiny;
    QString error;
    try {
        error = Read(data, 0, usual);
        if (error.isEmpty())
            error = Read(data, 64, tiny);
    } catch (const RuntimeError &e) {
        // A defined outcome (e.g. a record too long to hold), not a fault.
        return QString();
    }
    if (!error.isEmpty())
        return error;
    if (usual != tiny) {
        for (qsizetype i = 0; i < std::min(usual.size(), tiny.size()); ++i)
            if (usual[i] != tiny[i])
                return QStringLiteral("record %1 reads differently with small chunks:\n%2\n%3").arg(i).arg(usual[i], tiny[i]);
        return QStringLiteral("%1 records with the usual chunks, %2 with small ones").arg(usual.size()).arg(tiny.size());
    }
    return QString();
}
