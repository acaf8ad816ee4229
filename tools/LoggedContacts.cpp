// SPDX-License-Identifier: GPL-3.0-or-later
#include "LoggedContacts.h"

#include "AdifReader.h"
#include "Bands.h"

namespace {

QString BandOf(const QString &bandField, double mhz)
{
    const adif::Band *band = adif::FindBand(bandField.trimmed().toStdString());
    if (!band && mhz > 0)
        band = adif::BandOfFrequency(mhz);
    return band ? band->Text() : QString();
}

QDateTime TimeOf(const adif::TimeStamp &stamp)
{
    const QDate date(stamp.year, stamp.month, stamp.day);
    const QTime time(stamp.hour, stamp.minute, stamp.second);
    return date.isValid() && time.isValid() ? QDateTime(date, time, Qt::UTC) : QDateTime();
}

} // namespace

// Walks the log through the reader component, record by record.
QList<LoggedContact> ReadLoggedContacts(const QString &path, const QStringList &fields, int *damage)
{
    AdifReader reader;
    reader.Open(path);
    QList<LoggedContact> contacts;
    while (reader.NextRecord()) {
        LoggedContact contact;
        contact.number = int(contacts.size()) + 1;
        contact.call = reader.FieldValue(QStringLiteral("CALL")).trimmed().toUpper();
        contact.mhz = reader.Frequency();
        contact.band = BandOf(reader.FieldValue(QStringLiteral("BAND")), contact.mhz);
        contact.mode = reader.Mode(); // in capitals, USB and LSB as SSB
        contact.time = TimeOf(reader.Time());
        for (const QString &name : fields) {
            const QString value = reader.FieldValue(name);
            if (!value.trimmed().isEmpty())
                contact.fields.insert(name, value);
        }
        contacts.append(contact);
    }
    if (damage)
        *damage = int(reader.Diagnosed().count);
    return contacts;
}
