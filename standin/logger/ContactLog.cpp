// SPDX-License-Identifier: GPL-3.0-or-later
#include "logger/ContactLog.h"

void ContactLog::Add(const Contact &contact)
{
    m_Contacts.append(contact);
    m_DupeKeys.insert(DupeKey(contact.call, contact.band, contact.mode));
}

bool ContactLog::Contains(const QString &call, const QString &band, int mode) const
{
    return m_DupeKeys.contains(DupeKey(call, band, mode));
}

// Band and mode first: neither holds the separator, so no two contacts share a key by accident.
QString ContactLog::DupeKey(const QString &call, const QString &band, int mode)
{
    return band + QLatin1Char('|') + QString::number(mode) + QLatin1Char('|') + call.trimmed().toCaseFolded();
}
