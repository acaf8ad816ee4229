// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/WsjtxMessage.h"

#include <QDataStream>
#include <QIODevice>

#include <cmath>

namespace {

constexpr quint8 kUtcTimeSpec = 1;
// A Status field that does not apply (frequency tolerance, T/R period).
constexpr quint32 kNotApplicable = 0xffffffff;

// One message: the header first, then the fields in the order they are added.
class MessageWriter {
public:
    MessageWriter(quint32 type, const QString &id) : m_Stream(&m_Bytes, QIODevice::WriteOnly)
    {
        m_Stream.setVersion(QDataStream::Qt_5_2);
        m_Stream << WsjtxMessage::kMagic << WsjtxMessage::kSchema << type;
        Utf8(id);
    }

    // A quint32 length, then the bytes. Never the null form (length 0xffffffff):
    // a field the stand-in knows nothing of is sent empty.
    MessageWriter &Utf8(const QByteArray &bytes)
    {
        m_Stream << quint32(bytes.size());
        m_Stream.writeRawData(bytes.constData(), int(bytes.size()));
        return *this;
    }
    MessageWriter &Utf8(const QString &text) { return Utf8(text.toUtf8()); }

    MessageWriter &Number32(quint32 value)
    {
        m_Stream << value;
        return *this;
    }

    MessageWriter &Number64(quint64 value)
    {
        m_Stream << value;
        return *this;
    }

    // bool and quint8 are one byte each.
    MessageWriter &Byte(quint8 value)
    {
        m_Stream << value;
        return *this;
    }

    // QDateTime as QDataStream writes it from Qt 5.2 on: Julian day,
    // milliseconds since midnight, Qt::TimeSpec (1 is UTC).
    MessageWriter &DateTime(const QDateTime &dateTime)
    {
        const QDateTime utc = dateTime.toUTC();
        m_Stream << qint64(utc.date().toJulianDay()) << quint32(utc.time().msecsSinceStartOfDay()) << kUtcTimeSpec;
        return *this;
    }

    QByteArray Bytes() const { return m_Bytes; }

private:
    QByteArray m_Bytes;
    QDataStream m_Stream;
};

// Exchanges as text where the columns have them, else the serial numbers.
QString ExchangeSent(const FeedContact &contact)
{
    return contact.FirstField({QStringLiteral("STX_STRING"), QStringLiteral("STX")});
}

QString ExchangeReceived(const FeedContact &contact)
{
    return contact.FirstField({QStringLiteral("SRX_STRING"), QStringLiteral("SRX")});
}

} // namespace

QByteArray WsjtxMessage::Heartbeat(const QString &id, const QString &version, const QString &revision)
{
    return MessageWriter(kHeartbeat, id).Number32(kMaximumSchema).Utf8(version).Utf8(revision).Bytes();
}

// The frequency and mode of the entry row; nothing is transmitted or decoded.
// The dial frequency is the transmit frequency, as in QSO Logged.
QByteArray WsjtxMessage::Status(const QString &id, const FeedContact &entry)
{
    const Contact &station = entry.contact;
    const QString mode = Mode::AdifMode(station.mode);
    return MessageWriter(kStatus, id)
        .Number64(quint64(std::llround(station.txKhz * 1000.0)))
        .Utf8(mode)
        .Utf8(station.call)
        .Utf8(entry.Field(QStringLiteral("RST_SENT")))  // report
        .Utf8(mode)                                       // Tx mode
        .Byte(0)                                          // Tx enabled
        .Byte(0)                                          // transmitting
        .Byte(0)                                          // decoding
        .Number32(0)                                      // Rx DF
        .Number32(0)                                      // Tx DF
        .Utf8(entry.stationCall)
        .Utf8(entry.Field(QStringLiteral("MY_GRIDSQUARE")))
        .Utf8(entry.Field(QStringLiteral("GRIDSQUARE")))
        .Byte(0)                                          // Tx watchdog
        .Utf8(QString())                                  // sub-mode
        .Byte(0)                                          // fast mode
        .Byte(0)                                          // special operation mode: none
        .Number32(kNotApplicable)                         // frequency tolerance
        .Number32(kNotApplicable)                         // T/R period
        .Utf8(QString())                                  // configuration name
        .Utf8(QString())                                  // Tx message
        .Bytes();
}

// The stand-in stamps a contact once, when it is logged: that time is both
// the time on and the time off.
QByteArray WsjtxMessage::QsoLogged(const QString &id, const FeedContact &contact)
{
    const Contact &logged = contact.contact;
    return MessageWriter(kQsoLogged, id)
        .DateTime(logged.loggedUtc)
        .Utf8(logged.call)
        .Utf8(contact.Field(QStringLiteral("GRIDSQUARE")))
        .Number64(quint64(std::llround(logged.txKhz * 1000.0)))
        .Utf8(Mode::AdifMode(logged.mode))
        .Utf8(contact.Field(QStringLiteral("RST_SENT")))
        .Utf8(contact.Field(QStringLiteral("RST_RCVD")))
        .Utf8(contact.Field(QStringLiteral("TX_PWR")))
        .Utf8(contact.Field(QStringLiteral("COMMENT")))
        .Utf8(contact.Field(QStringLiteral("NAME")))
        .DateTime(logged.loggedUtc)
        .Utf8(contact.Field(QStringLiteral("OPERATOR")))
        .Utf8(contact.stationCall)
        .Utf8(contact.Field(QStringLiteral("MY_GRIDSQUARE")))
        .Utf8(ExchangeSent(contact))
        .Utf8(ExchangeReceived(contact))
        .Utf8(contact.Field(QStringLiteral("PROP_MODE")))
        .Bytes();
}

QByteArray WsjtxMessage::LoggedAdif(const QString &id, const QByteArray &adifText)
{
    return MessageWriter(kLoggedAdif, id).Utf8(adifText).Bytes();
}

QByteArray WsjtxMessage::Close(const QString &id)
{
    return MessageWriter(kClose, id).Bytes();
}
