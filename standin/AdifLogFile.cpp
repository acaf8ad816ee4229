#include "AdifLogFile.h"

#include "BadInput.h"

namespace {

// ADI lengths count the bytes of the data as written (UTF-8).
QByteArray field(const QString &name, const QString &value)
{
    const QByteArray data = value.toUtf8();
    return "<" + name.toUtf8() + ":" + QByteArray::number(data.size()) + ">" + data + " ";
}

QString megahertz(double khz)
{
    QString text = QString::number(khz / 1000.0, 'f', 6);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

} // namespace

AdifLogFile::AdifLogFile(const QString &path, const ColumnSet &columns)
    : m_File(path), m_Columns(columns)
{
    if (!m_File.open(QIODevice::WriteOnly | QIODevice::Append))
        throw BadInput(QString("cannot write the ADIF log %1: %2").arg(path, m_File.errorString()));
    if (m_File.size() == 0) {
        m_File.write(header(QDateTime::currentDateTimeUtc()));
        m_File.flush();
    }
}

bool AdifLogFile::append(const Contact &contact)
{
    const QByteArray text = record(m_Columns, contact);
    return m_File.write(text) == text.size() && m_File.flush();
}

QByteArray AdifLogFile::header(const QDateTime &createdUtc)
{
    return "Contacts logged by the Vantrel stand-in\n"
        + field("ADIF_VER", "3.1.4") + field("PROGRAMID", "vantrel-standin")
        + field("CREATED_TIMESTAMP", createdUtc.toString("yyyyMMdd HHmmss")) + "<EOH>\n";
}

QByteArray AdifLogFile::record(const ColumnSet &columns, const Contact &contact)
{
    QByteArray text;
    for (int number = 1; number <= columns.count(); ++number) {
        const QString value = number <= contact.values.size() ? contact.values[number - 1] : QString();
        if (!value.isEmpty())
            text += field(columns.adifName(number), value);
    }
    if (contact.txKhz > 0)
        text += field("FREQ", megahertz(contact.txKhz));
    if (contact.split && contact.rxKhz > 0)
        text += field("FREQ_RX", megahertz(contact.rxKhz));
    if (!contact.band.isEmpty())
        text += field("BAND", contact.band);
    if (!Mode::adifMode(contact.mode).isEmpty())
        text += field("MODE", Mode::adifMode(contact.mode));
    if (!Mode::adifSubmode(contact.mode).isEmpty())
        text += field("SUBMODE", Mode::adifSubmode(contact.mode));
    text += field("QSO_DATE", contact.loggedUtc.toString("yyyyMMdd"));
    text += field("TIME_ON", contact.loggedUtc.toString("HHmmss"));
    return text + "<EOR>\n";
}
