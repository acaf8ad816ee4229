// SPDX-License-Identifier: GPL-3.0-or-later
#include "logger/ColumnSet.h"

#include "logger/BadInput.h"

#include <QFile>
#include <QRegularExpression>

ColumnSet ColumnSet::Standard()
{
    ColumnSet set;
    set.m_Columns = {
        {QStringLiteral("CALL"), QStringLiteral("Call"), kRequired | kTakesAdifData},
        {QStringLiteral("RST_SENT"), QStringLiteral("Snt"), kExchange | kTakesAdifData},
        {QStringLiteral("RST_RCVD"), QStringLiteral("Rcv"), kExchange | kTakesAdifData},
        {QStringLiteral("STX"), QStringLiteral("SentNr"), kExchange | kTakesAdifData},
        {QStringLiteral("SRX"), QStringLiteral("RcvNr"), kExchange | kTakesAdifData},
        {QStringLiteral("NAME"), QStringLiteral("Name"), kExchange | kTakesAdifData},
        {QStringLiteral("STATE"), QStringLiteral("State"), kExchange | kTakesAdifData},
        {QStringLiteral("APP_VANTREL_PTS"), QStringLiteral("Pts"), kComputed},
    };
    return set;
}

ColumnSet ColumnSet::FromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw BadInput(QStringLiteral("cannot read the columns file %1: %2").arg(path, file.errorString()));
    return FromText(QString::fromUtf8(file.readAll()), path);
}

ColumnSet ColumnSet::FromText(const QString &text, const QString &sourceName)
{
    ColumnSet set;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString where = QStringLiteral("%1 line %2").arg(sourceName).arg(i + 1);
        const Column column = ParseLine(line, where);
        if (set.NumberOf(column.adifName) != 0)
            throw BadInput(QStringLiteral("%1: column %2 is already defined").arg(where, column.adifName));
        if (set.Count() == kMaxColumns)
            throw BadInput(QStringLiteral("%1: too many columns (at most %2)").arg(where).arg(kMaxColumns));
        set.m_Columns.append(column);
    }
    if (set.Count() == 0)
        throw BadInput(QStringLiteral("%1: no columns defined").arg(sourceName));
    return set;
}

Column ColumnSet::ParseLine(const QString &line, const QString &where)
{
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (fields.size() != 3)
        throw BadInput(
            QStringLiteral("%1: expected ADIF name, title and attributes separated by tabs, found %2 field(s)")
                .arg(where)
                .arg(fields.size()));

    static const QRegularExpression adifNamePattern(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*$"));
    Column column;
    column.adifName = fields[0].trimmed().toUpper();
    column.title = fields[1].trimmed();
    if (!adifNamePattern.match(column.adifName).hasMatch())
        throw BadInput(QStringLiteral("%1: '%2' is not an ADIF field name").arg(where, fields[0].trimmed()));
    if (column.adifName.size() > kMaxNameLength)
        throw BadInput(QStringLiteral("%1: the ADIF name is longer than %2 characters").arg(where).arg(kMaxNameLength));
    if (column.title.isEmpty())
        throw BadInput(QStringLiteral("%1: the title is empty").arg(where));

    bool isNumber = false;
    column.attributes = fields[2].trimmed().toInt(&isNumber, 0);
    if (!isNumber || column.attributes < 0)
        throw BadInput(QStringLiteral("%1: attributes '%2' are not a non-negative whole number")
                           .arg(where, fields[2].trimmed()));
    return column;
}

QString ColumnSet::AdifName(int number) const
{
    return Contains(number) ? m_Columns[number - 1].adifName : QString();
}

QString ColumnSet::Title(int number) const
{
    return Contains(number) ? m_Columns[number - 1].title : QString();
}

int ColumnSet::Attributes(int number) const
{
    return Contains(number) ? m_Columns[number - 1].attributes : 0;
}

int ColumnSet::NumberOf(const QString &adifName) const
{
    for (int i = 0; i < Count(); ++i) {
        if (m_Columns[i].adifName.compare(adifName, Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}
