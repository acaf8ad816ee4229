// SPDX-License-Identifier: GPL-3.0-or-later
// The stand-in's UDP feeds: the bytes of each WSJT-X message, the contactinfo
// XML, and the program sending both to receivers on the loopback address.

#include <QDataStream>
#include <QtEndian>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QXmlStreamReader>

#include "feed/ContactInfoXml.h"
#include "feed/FeedContact.h"
#include "feed/UdpDestination.h"
#include "feed/WsjtxMessage.h"
#include "logger/AdifLogFile.h"
#include "logger/ColumnSet.h"

#include "FeedTesting.h"

namespace {

// A utf8 field as the protocol spells it: a 32-bit big-endian length, then the bytes.
QByteArray Utf8Field(const QByteArray &bytes)
{
    QByteArray length(4, '\0');
    qToBigEndian(quint32(bytes.size()), length.data());
    return length + bytes;
}

QByteArray Header(const char *typeHex)
{
    return QByteArray::fromHex("adbccbda00000002") + QByteArray::fromHex(typeHex) + Utf8Field("vantrel-standin");
}

// Julian day 2460375, 45296789 ms after midnight, UTC.
const char *const kKnownDateTimeHex = "0000000000258ad702b32c9501";

// Message type and text fields of a WSJT-X datagram, read as a receiver reads them.
struct Decoded {
    quint32 type = 0;
    QList<QByteArray> texts;  // after the id; only for messages of utf8 fields
};

Decoded Decode(const QByteArray &datagram)
{
    QDataStream in(datagram);
    quint32 magic = 0;
    quint32 schema = 0;
    Decoded decoded;
    QByteArray id;
    in >> magic >> schema >> decoded.type >> id;
    while (decoded.type == WsjtxMessage::kLoggedAdif && !in.atEnd()) {
        QByteArray text;
        in >> text;
        decoded.texts.append(text);
    }
    return decoded;
}

QList<quint32> Types(const QList<QByteArray> &datagrams)
{
    QList<quint32> types;
    for (const QByteArray &datagram : datagrams)
        types.append(Decode(datagram).type);
    return types;
}

// The text of each element of a contactinfo document, in order.
QList<std::pair<QString, QString>> XmlElements(const QByteArray &datagram, QString *error)
{
    QList<std::pair<QString, QString>> elements;
    QXmlStreamReader xml(datagram);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("contactinfo")) {
        *error = QStringLiteral("no contactinfo element");
        return elements;
    }
    while (xml.readNextStartElement()) {
        const QString name = xml.name().toString();
        elements.append({name, xml.readElementText()});
    }
    if (xml.hasError())
        *error = xml.errorString();
    return elements;
}

QString XmlValue(const QList<std::pair<QString, QString>> &elements, const QString &name)
{
    for (const auto &[elementName, value] : elements) {
        if (elementName == name)
            return value;
    }
    return QStringLiteral("(missing)");
}

} // namespace

class TestStandinUdp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void wsjtxMessageBytes_data();
    void wsjtxMessageBytes();
    void contactInfoIsXmlWithEscapedValues();
    void bandTexts_data();
    void bandTexts();
    void feedsCarryEveryContactAndTheLogRecord();
    void deadDestinationsAreReportedOnce();
    void inboundDatagramsAreDropped();

private:
    QTemporaryDir m_Dir;
};

void TestStandinUdp::initTestCase()
{
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "needs a session bus (run under dbus-run-session)");
    QVERIFY(m_Dir.isValid());
}

void TestStandinUdp::wsjtxMessageBytes_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("expected");
    const QString id = WsjtxMessage::kClientId;
    const ColumnSet columns = ColumnSet::Standard();
    const Contact contact = KnownContact();
    const FeedContact known{columns, contact, QStringLiteral("W1AW")};

    QTest::newRow("Heartbeat") << WsjtxMessage::Heartbeat(id, QStringLiteral("0.1.0"), QString())
                               << Header("00000000") + QByteArray::fromHex("00000003") + Utf8Field("0.1.0")
                                      + Utf8Field("");
    const QByteArray dateTime = QByteArray::fromHex(kKnownDateTimeHex);
    QTest::newRow("QSO Logged") << WsjtxMessage::QsoLogged(id, known)
                                << Header("00000005") + dateTime + Utf8Field("K1ABC") + Utf8Field("")
                                       + QByteArray::fromHex("0000000000d6031c") + Utf8Field("CW") + Utf8Field("599")
                                       + Utf8Field("579") + Utf8Field("") + Utf8Field("") + Utf8Field("Ann")
                                       + dateTime + Utf8Field("") + Utf8Field("W1AW") + Utf8Field("")
                                       + Utf8Field("12") + Utf8Field("34") + Utf8Field("");
    QTest::newRow("Logged ADIF") << WsjtxMessage::LoggedAdif(id, "<EOH>\n<CALL:2>K1 <EOR>\n")
                                 << Header("0000000c") + Utf8Field("<EOH>\n<CALL:2>K1 <EOR>\n");
    QTest::newRow("Close") << WsjtxMessage::Close(id) << Header("00000006");
}

void TestStandinUdp::wsjtxMessageBytes()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, expected);
    QCOMPARE(message.toHex(' '), expected.toHex(' '));
}

void TestStandinUdp::contactInfoIsXmlWithEscapedValues()
{
    const ColumnSet columns = ColumnSet::Standard();
    Contact contact = KnownContact();
    contact.values[5] = QStringLiteral("Ann <&> \"O'Neil\"\x01");
    const FeedContact feedContact{columns, contact, QStringLiteral("W1AW")};

    QString error;
    const auto elements = XmlElements(ContactInfoXml::Datagram(feedContact, QStringLiteral("abc123"), "pc1", ContactInfoXml::kApp), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    const QStringList expectedOrder = QStringLiteral(
        "app contestname contestnr timestamp mycall band rxfreq txfreq operator mode call countryprefix wpxprefix "
        "stationprefix continent snt sntnr rcv rcvnr gridsquare exchange1 section comment qth name power misctext "
        "zone prec ck ismultiplier1 ismultiplier2 ismultiplier3 points radionr run1run2 RoverLocation "
        "RadioInterfaced NetworkedCompNr IsOriginal NetBiosName IsRunQSO StationName ID IsClaimedQso")
                                          .split(QLatin1Char(' '));
    QStringList order;
    for (const auto &element : elements)
        order.append(element.first);
    QCOMPARE(order, expectedOrder);

    const std::pair<const char *, QString> expected[] = {
        {"timestamp", QStringLiteral("2024-03-05 12:34:56")}, {"mycall", QStringLiteral("W1AW")},
        {"band", QStringLiteral("14")}, {"rxfreq", QStringLiteral("1402550")}, {"txfreq", QStringLiteral("1402550")},
        {"mode", QStringLiteral("CW")}, {"call", QStringLiteral("K1ABC")}, {"snt", QStringLiteral("599")},
        {"sntnr", QStringLiteral("12")}, {"rcv", QStringLiteral("579")}, {"rcvnr", QStringLiteral("34")},
        {"qth", QStringLiteral("MA")}, {"points", QStringLiteral("1")}, {"IsOriginal", QStringLiteral("True")},
        {"ID", QStringLiteral("abc123")}, {"StationName", QStringLiteral("pc1")},
        {"name", QStringLiteral("Ann <&> \"O'Neil\"\uFFFD")},
    };
    for (const auto &[name, value] : expected)
        QCOMPARE(XmlValue(elements, QString::fromLatin1(name)), value);
}

void TestStandinUdp::bandTexts_data()
{
    QTest::addColumn<QString>("band");
    QTest::addColumn<QString>("text");
    const char *rows[][2] = {{"160m", "1.8"}, {"80m", "3.5"}, {"60m", "5"}, {"40m", "7"}, {"30m", "10"},
                             {"20m", "14"},   {"17m", "18"},  {"10m", "28"}, {"6m", "50"}, {"2m", "144"},
                             {"70cm", "420"}, {"2190m", "0.1357"}, {"560m", "0.501"}, {"8m", "40"},
                             {"5m", "54"},    {"submm", "300000"}, {"11m", ""}, {"", ""}};
    for (const auto &row : rows)
        QTest::newRow(row[0][0] ? row[0] : "unknown") << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
}

void TestStandinUdp::bandTexts()
{
    QFETCH(QString, band);
    QFETCH(QString, text);
    QCOMPARE(ContactInfoXml::BandText(band), text);
}

// Heartbeat first, then per contact QSO Logged and Logged ADIF whose record is
// the ADIF log's line; a Close when the stand-in quits. One XML datagram per contact.
void TestStandinUdp::feedsCarryEveryContactAndTheLogRecord()
{
    QUdpSocket wsjtx;
    QUdpSocket contactInfo;
    QVERIFY(wsjtx.bind(QHostAddress::LocalHost, 0));
    QVERIFY(contactInfo.bind(QHostAddress::LocalHost, 0));
    const QString adifPath = m_Dir.filePath(QStringLiteral("fed.adi"));
    StandinProcess standin({QStringLiteral("--wsjtx-udp"), Destination(wsjtx), QStringLiteral("--contactinfo-udp"),
                            Destination(contactInfo), QStringLiteral("--log-adif"), adifPath,
                            QStringLiteral("--station-call"), QStringLiteral("W1AW")});
    QVERIFY(standin.WaitForName());
    QVERIFY(LogContact(QStringLiteral("K1ABC"), 14025));
    QVERIFY(LogContact(QStringLiteral("K2XYZ"), 7030.5));

    const QList<QByteArray> messages = Receive(wsjtx, 5);
    QCOMPARE(Types(messages), QList<quint32>({0, 5, 12, 5, 12}));
    const QList<QByteArray> records = ReadFile(adifPath).split('\n').mid(2, 2);
    for (int i = 0; i < 2; ++i) {
        const QByteArray adifText = Decode(messages[2 + 2 * i]).texts.value(0);
        QVERIFY2(!adifText.startsWith('<') && adifText.contains("<ADIF_VER:") && adifText.contains("<PROGRAMID:"),
                 adifText.constData());
        QCOMPARE(adifText.mid(adifText.indexOf("<EOH>\n") + 6), records[i] + "\n");
    }

    const QList<QByteArray> xml = Receive(contactInfo, 2);
    QCOMPARE(xml.size(), 2);
    QString error;
    const auto first = XmlElements(xml[0], &error);
    const auto second = XmlElements(xml[1], &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(XmlValue(first, QStringLiteral("call")), QStringLiteral("K1ABC"));
    QCOMPARE(XmlValue(second, QStringLiteral("txfreq")), QStringLiteral("703050"));
    QCOMPARE(XmlValue(second, QStringLiteral("mycall")), QStringLiteral("W1AW"));
    QVERIFY(XmlValue(first, QStringLiteral("ID")) != XmlValue(second, QStringLiteral("ID")));

    QVERIFY(standin.Terminate());
    QCOMPARE(Types(Receive(wsjtx, 1)), QList<quint32>({WsjtxMessage::kClose}));
}

// Nobody listening and a name that does not resolve: every contact is logged,
// and each destination's problem is told once, not once per contact.
void TestStandinUdp::deadDestinationsAreReportedOnce()
{
    const QString closed = QStringLiteral("127.0.0.1:%1").arg(ClosedPort());
    const QString unknown = QStringLiteral("no-such-host.invalid:12060");
    const QString adifPath = m_Dir.filePath(QStringLiteral("dead.adi"));
    StandinProcess standin({QStringLiteral("--wsjtx-udp"), closed, QStringLiteral("--contactinfo-udp"), unknown,
                            QStringLiteral("--log-adif"), adifPath});
    QVERIFY(standin.WaitForName());

    QString errors;
    const int contacts = LogUntilReported(standin, {closed, unknown}, errors);
    QVERIFY(contacts > 0);
    QCOMPARE(int(ReadFile(adifPath).count("<EOR>")), contacts);
    QVERIFY(standin.Terminate());
    errors += standin.ErrorOutput();

    QVERIFY2(errors.count(closed) == 1 && errors.count(unknown) == 1, qPrintable(errors));
    QVERIFY2(errors.contains(QStringLiteral("nobody is listening")), qPrintable(errors));
}

// Whatever comes back to the sending socket is dropped: logging and sending go on.
void TestStandinUdp::inboundDatagramsAreDropped()
{
    QUdpSocket receiver;
    QVERIFY(receiver.bind(QHostAddress::LocalHost, 0));
    StandinProcess standin({QStringLiteral("--wsjtx-udp"), Destination(receiver)});
    QVERIFY(standin.WaitForName());
    QHostAddress sender;
    quint16 senderPort = 0;
    QCOMPARE(Types(Receive(receiver, 1, &sender, &senderPort)), QList<quint32>({WsjtxMessage::kHeartbeat}));

    const QByteArray heartbeat = WsjtxMessage::Heartbeat(QStringLiteral("server"), QStringLiteral("1"), QString());
    const QList<QByteArray> garbage = {
        QByteArray(),
        heartbeat.left(6),                                       // truncated
        QByteArray(UdpDestination::kMaxDatagramBytes, '\xff'),          // huge
        QByteArray::fromHex("adbccbda0000000200000063") + Utf8Field("x"),  // unknown type
        QByteArray::fromHex("deadbeef") + heartbeat.mid(4),      // wrong magic
        WsjtxMessage::Close(QStringLiteral("vantrel-standin")),  // a server asking the client to close
        QByteArray::fromHex("adbccbda0000000200000008") + Utf8Field("vantrel-standin") + QByteArray(1, '\1'),  // Halt Tx
    };
    for (const QByteArray &datagram : garbage)
        QCOMPARE(receiver.writeDatagram(datagram, sender, senderPort), qint64(datagram.size()));

    QVERIFY(LogContact(QStringLiteral("K1ABC"), 14025));
    QCOMPARE(Types(Receive(receiver, 2)), QList<quint32>({WsjtxMessage::kQsoLogged, WsjtxMessage::kLoggedAdif}));
    QVERIFY(LogContact(QStringLiteral("K2XYZ"), 14030));
    QCOMPARE(Types(Receive(receiver, 2)), QList<quint32>({WsjtxMessage::kQsoLogged, WsjtxMessage::kLoggedAdif}));
}

QTEST_GUILESS_MAIN(TestStandinUdp)
#include "tst_standin_udp.moc"
