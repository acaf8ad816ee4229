#include "StandinLogger.h"

#include "AdifLogFile.h"

#include <cstdio>

namespace {
const QString kPointsColumn = "APP_VANTREL_PTS";
}

StandinLogger::StandinLogger(const ColumnSet &columns, QObject *parent)
    : QObject(parent), m_Columns(columns)
{
    clearEntry();
}

void StandinLogger::clearEntry()
{
    m_Entry = EntryRow();
    for (int i = 0; i < m_Columns.count(); ++i)
        m_Entry.values.append(QString());
    emit entryChanged();
}

StandinLogger::FieldResult StandinLogger::setField(int column, const QString &text)
{
    if (!m_Columns.contains(column))
        return FieldResult::NoSuchColumn;
    if (text.toUtf8().size() > MaxValueBytes)
        return FieldResult::TooLong;
    m_Entry.values[column - 1] = text;
    emit entryChanged();
    return FieldResult::Set;
}

void StandinLogger::setFrequency(int mode, double rxKhz, double txKhz, bool split)
{
    m_Entry.mode = mode;
    m_Entry.rxKhz = rxKhz;
    m_Entry.txKhz = txKhz;
    m_Entry.split = split;
    emit entryChanged();
}

bool StandinLogger::entryIsDupe() const
{
    const QString call = entryCall();
    return !call.isEmpty() && m_Log.contains(call, entryBand(), m_Entry.mode);
}

void StandinLogger::enterQso(const QDateTime &loggedUtc)
{
    Contact contact;
    contact.call = entryCall();
    contact.band = entryBand();
    contact.mode = m_Entry.mode;
    contact.rxKhz = m_Entry.rxKhz;
    contact.txKhz = m_Entry.txKhz;
    contact.split = m_Entry.split;
    contact.values = m_Entry.values;
    contact.loggedUtc = loggedUtc;

    // Points are the logger's own: a dupe scores nothing.
    const int points = m_Columns.numberOf(kPointsColumn);
    if (points != 0)
        contact.values[points - 1] = entryIsDupe() ? "0" : "1";

    m_Log.add(contact);
    if (m_AdifLog && !m_AdifLog->append(contact))
        std::fprintf(stderr, "vantrel-standin: could not write the ADIF log: %s\n",
                     qPrintable(m_AdifLog->errorString()));
    emit contactLogged(m_Log.count() - 1);
    clearEntry();
}

QString StandinLogger::entryCall() const
{
    const int column = m_Columns.numberOf("CALL");
    return column == 0 ? QString() : m_Entry.values[column - 1].trimmed();
}

QString StandinLogger::entryBand() const
{
    return Band::fromKhz(m_Entry.txKhz);
}
