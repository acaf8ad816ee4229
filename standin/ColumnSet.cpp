#include "ColumnSet.h"

#include "BadInput.h"

#include <QFile>
#include <QRegularExpression>

ColumnSet ColumnSet::standard()
{
    ColumnSet set;
    set.m_Columns = {
        {"CALL", "Call", Required | TakesAdifData},
        {"RST_SENT", "Snt", Exchange | TakesAdifData},
        {"RST_RCVD", "Rcv", Exchange | TakesAdifData},
        {"STX", "SentNr", Exchange | TakesAdifData},
        {"SRX", "RcvNr", Exchange | TakesAdifData},
        {"NAME", "Name", Exchange | TakesAdifData},
        {"STATE", "State", Exchange | TakesAdifData},
        {"APP_VANTREL_PTS", "Pts", Computed},
    };
    return set;
}

ColumnSet ColumnSet::fromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw BadInput(QString("cannot read the columns file %1: %2").arg(path, file.errorString()));
    return fromText(QString::fromUtf8(file.readAll()), path);
}

ColumnSet ColumnSet::fromText(const QString &text, const QString &sourceName)
{
    ColumnSet set;
    const QStringList lines = text.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QString where = QString("%1 line %2").arg(sourceName).arg(i + 1);
        const Column column = parseLine(line, where);
        if (set.numberOf(column.adifName) != 0)
            throw BadInput(QString("%1: column %2 is already defined").arg(where, column.adifName));
        if (set.count() == MaxColumns)
            throw BadInput(QString("%1: too many columns (at most %2)").arg(where).arg(MaxColumns));
        set.m_Columns.append(column);
    }
    if (set.count() == 0)
        throw BadInput(QString("%1: no columns defined").arg(sourceName));
    return set;
}

Column ColumnSet::parseLine(const QString &line, const QString &where)
{
    const QStringList fields = line.split('\t');
    if (fields.size() != 3)
        throw BadInput(QString("%1: expected ADIF name, title and attributes separated by tabs, found %2 field(s)")
                           .arg(where)
                           .arg(fields.size()));

    static const QRegularExpression adifNamePattern("^[A-Za-z][A-Za-z0-9_]*$");
    Column column;
    column.adifName = fields[0].trimmed().toUpper();
    column.title = fields[1].trimmed();
    if (!adifNamePattern.match(column.adifName).hasMatch())
        throw BadInput(QString("%1: '%2' is not an ADIF field name").arg(where, fields[0].trimmed()));
    if (column.adifName.size() > MaxNameLength)
        throw BadInput(QString("%1: the ADIF name is longer than %2 characters").arg(where).arg(MaxNameLength));
    if (column.title.isEmpty())
        throw BadInput(QString("%1: the title is empty").arg(where));

    bool isNumber = false;
    column.attributes = fields[2].trimmed().toInt(&isNumber, 0);
    if (!isNumber || column.attributes < 0)
        throw BadInput(QString("%1: attributes '%2' are not a non-negative whole number").arg(where, fields[2].trimmed()));
    return column;
}

QString ColumnSet::adifName(int number) const
{
    return contains(number) ? m_Columns[number - 1].adifName : QString("");
}

QString ColumnSet::title(int number) const
{
    return contains(number) ? m_Columns[number - 1].title : QString("");
}

int ColumnSet::attributes(int number) const
{
    return contains(number) ? m_Columns[number - 1].attributes : 0;
}

int ColumnSet::numberOf(const QString &adifName) const
{
    for (int i = 0; i < count(); ++i) {
        if (m_Columns[i].adifName.compare(adifName, Qt::CaseInsensitive) == 0)
            return i + 1;
    }
    return 0;
}
