// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/TlfLanMessage.h"

#include <QLocale>

#include <cmath>

namespace {

// Tlf 1.4.1's bands, as its log writes them.
const std::pair<const char *, const char *> kBands[] = {
    {"160m", "160"}, {"80m", " 80"}, {"60m", " 60"}, {"40m", " 40"}, {"30m", " 30"},
    {"20m", " 20"},  {"17m", " 17"}, {"15m", " 15"}, {"12m", " 12"}, {"10m", " 10"},
};

// The received exchange when the columns have no SRX_STRING: these fields,
// in the order contests send them.
const QStringList kExchangeFields = {
    QStringLiteral("SRX"),   QStringLiteral("PRECEDENCE"), QStringLiteral("CHECK"),
    QStringLiteral("CLASS"), QStringLiteral("ARRL_SECT"),  QStringLiteral("NAME"),
    QStringLiteral("STATE"), QStringLiteral("CQZ"),        QStringLiteral("ITUZ"),
};

QByteArray BandText(const QString &adifBand)
{
    for (const auto &[name, text] : kBands) {
        if (adifBand == QLatin1String(name))
            return text;
    }
    return {};
}

QByteArray ModeText(int mode)
{
    switch (mode) {
    case Mode::kCw: return "CW ";
    case Mode::kLsb:
    case Mode::kUsb: return "SSB";
    case Mode::kRtty: return "DIG";
    default: return {};
    }
}

// Exactly `width` columns: cut, or padded with blanks. Tlf counts bytes, so
// anything but printable ASCII becomes '?' and the columns stay in place.
QByteArray Fixed(const QString &text, int width)
{
    QByteArray bytes(width, ' ');
    for (int i = 0; i < width && i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        bytes[i] = c >= 0x20 && c < 0x7f ? char(c) : '?';
    }
    return bytes;
}

QString ReceivedExchange(const FeedContact &contact)
{
    const QString text = contact.Field(QStringLiteral("SRX_STRING"));
    if (!text.isEmpty())
        return text;
    QStringList parts;
    for (const QString &name : kExchangeFields) {
        const QString value = contact.Field(name).trimmed();
        if (!value.isEmpty())
            parts.append(value);
    }
    return parts.join(QLatin1Char(' '));
}

// The serial sent, where it is one Tlf can hold, else the given number.
int QsoNumber(const FeedContact &contact, int fallback)
{
    bool isNumber = false;
    const int serial = contact.Field(QStringLiteral("STX")).trimmed().toInt(&isNumber);
    return isNumber && serial >= 0 && serial <= 9999 ? serial : fallback % 10000;
}

QByteArray Points(const FeedContact &contact)
{
    bool isNumber = false;
    const int points = contact.Field(QStringLiteral("APP_VANTREL_PTS")).trimmed().toInt(&isNumber);
    return isNumber && points >= 0 && points <= 99 ? QByteArray::number(points).rightJustified(2, ' ') : "  ";
}

} // namespace

QByteArray TlfLanMessage::LogLine(const FeedContact &contact, int qsoNumber)
{
    const Contact &logged = contact.contact;
    const QByteArray band = BandText(logged.band);
    const QByteArray mode = ModeText(logged.mode);
    if (band.isEmpty() || mode.isEmpty())
        return {};

    const QString when = QLocale::c().toString(logged.loggedUtc.toUTC(), QStringLiteral("dd-MMM-yy HH:mm"));
    QByteArray line = band + mode + ' ' + when.toLatin1() + ' '
                      + QByteArray::number(QsoNumber(contact, qsoNumber)).rightJustified(4, '0') + "  "
                      + Fixed(logged.call, 14) + " " + Fixed(contact.Field(QStringLiteral("RST_SENT")), 3) + "  "
                      + Fixed(contact.Field(QStringLiteral("RST_RCVD")), 3) + "  "
                      + Fixed(ReceivedExchange(contact), 14) + QByteArray(8, ' ') + Points(contact) + "  "
                      + QByteArray::number(logged.txKhz, 'f', 1).rightJustified(7, ' ');
    return line;
}

QByteArray TlfLanMessage::LogEntry(char node, const QByteArray &logLine)
{
    return node + QByteArray(1, kLogEntry) + logLine + '\n' + '\0';
}
