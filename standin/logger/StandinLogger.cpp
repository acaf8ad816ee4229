// SPDX-License-Identifier: GPL-3.0-or-later
#include "logger/StandinLogger.h"

#include "logger/AdifLogFile.h"
#include "logger/Band.h"

#include <cstdio>

namespace {
const QString kPointsColumn = QStringLiteral("APP_VANTREL_PTS");
}

StandinLogger::StandinLogger(const ColumnSet &columns, QObject *parent)
    : QObject(parent), m_Columns(columns)
{
    ClearEntry();
}

void StandinLogger::ClearEntry()
{
    m_Entry = EntryRow();
    for (int i = 0; i < m_Columns.Count(); ++i)
        m_Entry.values.append(QString());
    emit EntryChanged();
}

StandinLogger::FieldResult StandinLogger::SetField(int column, const QString &text)
{
    if (!m_Columns.Contains(column))
        return FieldResult::NoSuchColumn;
    if (text.toUtf8().size() > kMaxValueBytes)
        return FieldResult::TooLong;
    m_Entry.values[column - 1] = text;
    emit EntryChanged();
    return FieldResult::Set;
}

void StandinLogger::SetFrequency(int mode, double rxKhz, double txKhz, bool split)
{
    m_Entry.mode = mode;
    m_Entry.rxKhz = rxKhz;
    m_Entry.txKhz = txKhz;
    m_Entry.split = split;
    emit FrequencySet({mode, rxKhz, txKhz, split});
    emit EntryChanged();
}

bool StandinLogger::EntryIsDupe() const
{
    const QString call = EntryCall();
    return !call.isEmpty() && m_Log.Contains(call, EntryBand(), m_Entry.mode);
}

Contact StandinLogger::EntryContact() const
{
    Contact contact;
    contact.call = EntryCall();
    contact.band = EntryBand();
    contact.mode = m_Entry.mode;
    contact.rxKhz = m_Entry.rxKhz;
    contact.txKhz = m_Entry.txKhz;
    contact.split = m_Entry.split;
    contact.values = m_Entry.values;
    return contact;
}

void StandinLogger::EnterQso(const QDateTime &loggedUtc)
{
    Contact contact = EntryContact();
    contact.loggedUtc = loggedUtc;

    // Points are the logger's own: a dupe scores nothing.
    const int points = m_Columns.NumberOf(kPointsColumn);
    if (points != 0)
        contact.values[points - 1] = EntryIsDupe() ? QStringLiteral("0") : QStringLiteral("1");

    m_Log.Add(contact);
    // The record goes with the signal, so that a feed's ADIF is the log's line
    // byte for byte. Without a log file a feed makes it, on its own thread.
    QByteArray record;
    if (m_AdifLog) {
        record = AdifLogFile::Record(m_Columns, contact);
        if (!m_AdifLog->Append(record))
            std::fprintf(stderr, "vantrel-standin: could not write the ADIF log: %s\n",
                         qPrintable(m_AdifLog->ErrorString()));
    }
    emit ContactLogged(contact, record);
    ClearEntry();
}

QString StandinLogger::EntryCall() const
{
    const int column = m_Columns.NumberOf(QStringLiteral("CALL"));
    return column == 0 ? QString() : m_Entry.values[column - 1].trimmed();
}

QString StandinLogger::EntryBand() const
{
    return Band::FromKhz(m_Entry.txKhz);
}
