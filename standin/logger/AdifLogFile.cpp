// SPDX-License-Identifier: GPL-3.0-or-later
#include "logger/AdifLogFile.h"

#include "AdifField.h"
#include "logger/BadInput.h"

namespace {

QString Megahertz(double khz)
{
    QString text = QString::number(khz / 1000.0, 'f', 6);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text;
}

QByteArray IdentityFields()
{
    return AdifField(QStringLiteral("ADIF_VER"), QStringLiteral("3.1.4"))
        + AdifField(QStringLiteral("PROGRAMID"), QStringLiteral("vantrel-standin"));
}

} // namespace

AdifLogFile::AdifLogFile(const QString &path)
    : m_File(path)
{
    if (!m_File.open(QIODevice::WriteOnly | QIODevice::Append))
        throw BadInput(QStringLiteral("cannot write the ADIF log %1: %2").arg(path, m_File.errorString()));
    if (m_File.size() == 0) {
        m_File.write(Header(QDateTime::currentDateTimeUtc()));
        m_File.flush();
    }
}

bool AdifLogFile::Append(const QByteArray &record)
{
    return m_File.write(record) == record.size() && m_File.flush();
}

QByteArray AdifLogFile::Header(const QDateTime &createdUtc)
{
    return "Contacts logged by the Vantrel stand-in\n" + IdentityFields()
        + AdifField(QStringLiteral("CREATED_TIMESTAMP"), createdUtc.toString(QStringLiteral("yyyyMMdd HHmmss")))
        + "<EOH>\n";
}

// The leading text line makes the header a header: an ADI file that starts with '<' has none.
QByteArray AdifLogFile::OneRecordFile(const QByteArray &record)
{
    return "Contact logged by the Vantrel stand-in\n" + IdentityFields() + "<EOH>\n" + record;
}

QByteArray AdifLogFile::Record(const ColumnSet &columns, const Contact &contact)
{
    QByteArray text;
    for (int number = 1; number <= columns.Count(); ++number) {
        const QString value = number <= contact.values.size() ? contact.values[number - 1] : QString();
        if (!value.isEmpty())
            text += AdifField(columns.AdifName(number), value);
    }
    if (contact.txKhz > 0)
        text += AdifField(QStringLiteral("FREQ"), Megahertz(contact.txKhz));
    if (contact.split && contact.rxKhz > 0)
        text += AdifField(QStringLiteral("FREQ_RX"), Megahertz(contact.rxKhz));
    if (!contact.band.isEmpty())
        text += AdifField(QStringLiteral("BAND"), contact.band);
    if (!Mode::AdifMode(contact.mode).isEmpty())
        text += AdifField(QStringLiteral("MODE"), Mode::AdifMode(contact.mode));
    if (!Mode::AdifSubmode(contact.mode).isEmpty())
        text += AdifField(QStringLiteral("SUBMODE"), Mode::AdifSubmode(contact.mode));
    text += AdifField(QStringLiteral("QSO_DATE"), contact.loggedUtc.toString(QStringLiteral("yyyyMMdd")));
    text += AdifField(QStringLiteral("TIME_ON"), contact.loggedUtc.toString(QStringLiteral("HHmmss")));
    return text + "<EOR>\n";
}
