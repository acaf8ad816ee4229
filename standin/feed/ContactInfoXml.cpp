// SPDX-License-Identifier: GPL-3.0-or-later
#include "feed/ContactInfoXml.h"

#include "logger/Band.h"

#include <QXmlStreamWriter>

#include <cmath>
#include <initializer_list>
#include <utility>

namespace {

const QString kZero = QStringLiteral("0");

// Characters XML 1.0 cannot hold at all become U+FFFD, so that every datagram parses.
QString XmlText(const QString &text)
{
    QString clean = text;
    for (QChar &c : clean) {
        const char16_t unit = c.unicode();
        if (unit < 0x20 && unit != u'\t' && unit != u'\n' && unit != u'\r')
            c = QChar::ReplacementCharacter;
    }
    return clean;
}

// Frequencies travel in units of 10 Hz.
QString TensOfHertz(double khz)
{
    return QString::number(std::llround(khz * 100.0));
}

// A whole number, or 0 when the value is not one (these tools read the element as a number).
QString NumberOr0(const QString &value)
{
    bool isNumber = false;
    const qlonglong number = value.trimmed().toLongLong(&isNumber);
    return isNumber ? QString::number(number) : kZero;
}

using Elements = std::initializer_list<std::pair<const char *, QString>>;

// One element a line, tab-indented, as the tools of this family write them.
QByteArray Document(const QString &root, Elements elements)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(-1); // one tab
    xml.writeStartDocument();
    xml.writeStartElement(root);
    for (const auto &[name, value] : elements)
        xml.writeTextElement(QString::fromLatin1(name), XmlText(value));
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

QString TrueOrFalse(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

QString ContactInfoXml::BandText(const QString &adifBand)
{
    const double mhz = Band::LowerEdgeMhz(adifBand);
    if (mhz <= 0)
        return QString();
    // Whole megahertz from 60 m up (5, 7, 10, 14, 18, ...); 1.8 and 3.5 below.
    return QString::number(mhz >= 5 ? std::floor(mhz) : mhz);
}

QByteArray ContactInfoXml::Datagram(const FeedContact &contact, const QString &id, const QString &stationName,
                                    const QString &app)
{
    const Contact &logged = contact.contact;
    return Document(QStringLiteral("contactinfo"), {
        {"app", app},
        {"contestname", contact.Field(QStringLiteral("CONTEST_ID"))},
        {"contestnr", kZero},
        {"timestamp", logged.loggedUtc.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))},
        {"mycall", contact.stationCall},
        {"band", BandText(logged.band)},
        {"rxfreq", TensOfHertz(logged.rxKhz)},
        {"txfreq", TensOfHertz(logged.txKhz)},
        {"operator", contact.Field(QStringLiteral("OPERATOR"))},
        {"mode", Mode::Label(logged.mode)},
        {"call", logged.call},
        {"countryprefix", QString()},
        {"wpxprefix", QString()},
        {"stationprefix", QString()},
        {"continent", QString()},
        {"snt", contact.Field(QStringLiteral("RST_SENT"))},
        {"sntnr", NumberOr0(contact.Field(QStringLiteral("STX")))},
        {"rcv", contact.Field(QStringLiteral("RST_RCVD"))},
        {"rcvnr", NumberOr0(contact.Field(QStringLiteral("SRX")))},
        {"gridsquare", contact.Field(QStringLiteral("GRIDSQUARE"))},
        {"exchange1", contact.Field(QStringLiteral("SRX_STRING"))},
        {"section", contact.Field(QStringLiteral("ARRL_SECT"))},
        {"comment", contact.Field(QStringLiteral("COMMENT"))},
        {"qth", contact.FirstField({QStringLiteral("QTH"), QStringLiteral("STATE")})},
        {"name", contact.Field(QStringLiteral("NAME"))},
        {"power", contact.Field(QStringLiteral("RX_PWR"))},
        {"misctext", QString()},
        {"zone", NumberOr0(contact.FirstField({QStringLiteral("CQZ"), QStringLiteral("ITUZ")}))},
        {"prec", contact.Field(QStringLiteral("PRECEDENCE"))},
        {"ck", NumberOr0(contact.Field(QStringLiteral("CHECK")))},
        {"ismultiplier1", kZero},
        {"ismultiplier2", kZero},
        {"ismultiplier3", kZero},
        {"points", NumberOr0(contact.Field(QStringLiteral("APP_VANTREL_PTS")))},
        {"radionr", QStringLiteral("1")},
        {"run1run2", QStringLiteral("1")},
        {"RoverLocation", QString()},
        {"RadioInterfaced", kZero},
        {"NetworkedCompNr", kZero},
        {"IsOriginal", QStringLiteral("True")},
        {"NetBiosName", stationName},
        {"IsRunQSO", kZero},
        {"StationName", stationName},
        {"ID", id},
        {"IsClaimedQso", QStringLiteral("True")},
    });
}

// One radio, receiving on Freq and transmitting on TXFreq, neither running
// nor transmitting; the antenna, rotor and focus elements at their "none".
QByteArray ContactInfoXml::RadioInfo(const FeedContact &entry, const QString &stationName, const QString &app)
{
    const Contact &radio = entry.contact;
    return Document(QStringLiteral("RadioInfo"), {
        {"app", app},
        {"StationName", stationName},
        {"RadioNr", QStringLiteral("1")},
        {"Freq", TensOfHertz(radio.rxKhz)},
        {"TXFreq", TensOfHertz(radio.txKhz)},
        {"Mode", Mode::Label(radio.mode)},
        {"OpCall", entry.stationCall},
        {"IsRunning", TrueOrFalse(false)},
        {"FocusEntry", kZero},
        {"EntryWindowHwnd", kZero},
        {"Antenna", kZero},
        {"Rotors", QString()},
        {"FocusRadioNr", QStringLiteral("1")},
        {"IsStereo", TrueOrFalse(false)},
        {"IsSplit", TrueOrFalse(radio.split)},
        {"ActiveRadioNr", QStringLiteral("1")},
        {"IsTransmitting", TrueOrFalse(false)},
        {"FunctionKeyCaption", QString()},
        {"RadioName", QString()},
        {"AuxAntSelected", QStringLiteral("-1")},
        {"AuxAntSelectedName", QString()},
        {"IsConnected", TrueOrFalse(true)},
    });
}
