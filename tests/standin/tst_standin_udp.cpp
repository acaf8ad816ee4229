// SPDX-License-Identifier: GPL-3.0-or-later
// The stand-in's UDP feeds: the bytes of each WSJT-X message, the contactinfo
// XML and RadioInfo, and the program sending them to receivers on the
// loopback address, in the live session's order and through the fault plan.

#include <QDataStream>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>
#include <QXmlStreamReader>

#include "feed/ContactInfoXml.h"
#include "feed/FeedContact.h"
#include "feed/FeedFaults.h"
#include "feed/UdpDestination.h"
#include "feed/WsjtxMessage.h"
#include "logger/AdifLogFile.h"
#include "logger/BadInput.h"
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
    QByteArray dxCall;        // of a Status or a QSO Logged
    bool wellFormed = false;  // our magic and id, a known type, and every field there
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
    quint64 hertz = 0;
    QByteArray mode;
    QByteArray grid;
    qint64 julianDay = 0;
    quint32 ms = 0;
    quint8 timeSpec = 0;
    if (decoded.type == WsjtxMessage::kStatus)
        in >> hertz >> mode >> decoded.dxCall;
    if (decoded.type == WsjtxMessage::kQsoLogged)
        in >> julianDay >> ms >> timeSpec >> decoded.dxCall >> grid >> hertz;
    decoded.wellFormed = in.status() == QDataStream::Ok && magic == WsjtxMessage::kMagic
        && id == "vantrel-standin" && QList<quint32>{0, 1, 5, 6, 12}.contains(decoded.type);
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
    void radioInfoBytes();
    void contactInfoIsXmlWithEscapedValues();
    void bandTexts_data();
    void bandTexts();
    void feedsCarryEveryContactAndTheLogRecord();
    void deadDestinationsAreReportedOnce();
    void inboundDatagramsAreDropped();
    void feedFaultOptions_data();
    void feedFaultOptions();
    void faultsAreWhatTheFaultLogSays();

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
    // Status as NetworkMessage.hpp lays it out: dial frequency (quint64 Hz),
    // mode, DX call, report, Tx mode, Tx enabled, transmitting, decoding
    // (bools), Rx DF, Tx DF (quint32), DE call, DE grid, DX grid, Tx watchdog
    // (bool), sub-mode, fast mode (bool), special operation mode (quint8),
    // frequency tolerance, T/R period (quint32, all ones: not applicable),
    // configuration name, Tx message.
    QTest::newRow("Status") << WsjtxMessage::Status(id, known)
                            << Header("00000001") + QByteArray::fromHex("0000000000d6031c") + Utf8Field("CW")
                                   + Utf8Field("K1ABC") + Utf8Field("599") + Utf8Field("CW")
                                   + QByteArray::fromHex("000000") + QByteArray::fromHex("0000000000000000")
                                   + Utf8Field("W1AW") + Utf8Field("") + Utf8Field("") + QByteArray::fromHex("00")
                                   + Utf8Field("") + QByteArray::fromHex("0000") + QByteArray::fromHex("ffffffffffffffff")
                                   + Utf8Field("") + Utf8Field("");
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

// The contactinfo family's radio message: one element a line, tab-indented,
// frequencies in tens of Hz.
void TestStandinUdp::radioInfoBytes()
{
    const ColumnSet columns = ColumnSet::Standard();
    Contact split = ContactOn(QStringLiteral("K1ABC"), 7150, Mode::kLsb);
    split.rxKhz = 7100.5;
    split.split = true;
    const QByteArray expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<RadioInfo>\n"
                                "\t<app>vantrel-standin</app>\n\t<StationName>pc1</StationName>\n"
                                "\t<RadioNr>1</RadioNr>\n\t<Freq>710050</Freq>\n\t<TXFreq>715000</TXFreq>\n"
                                "\t<Mode>LSB</Mode>\n\t<OpCall>W1AW</OpCall>\n\t<IsRunning>False</IsRunning>\n"
                                "\t<FocusEntry>0</FocusEntry>\n\t<EntryWindowHwnd>0</EntryWindowHwnd>\n"
                                "\t<Antenna>0</Antenna>\n\t<Rotors></Rotors>\n\t<FocusRadioNr>1</FocusRadioNr>\n"
                                "\t<IsStereo>False</IsStereo>\n\t<IsSplit>True</IsSplit>\n"
                                "\t<ActiveRadioNr>1</ActiveRadioNr>\n\t<IsTransmitting>False</IsTransmitting>\n"
                                "\t<FunctionKeyCaption></FunctionKeyCaption>\n\t<RadioName></RadioName>\n"
                                "\t<AuxAntSelected>-1</AuxAntSelected>\n\t<AuxAntSelectedName></AuxAntSelectedName>\n"
                                "\t<IsConnected>True</IsConnected>\n</RadioInfo>\n";
    QCOMPARE(ContactInfoXml::RadioInfo({columns, split, QStringLiteral("W1AW")}, QStringLiteral("pc1"),
                                       ContactInfoXml::kApp),
             expected);
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

// Heartbeat first, then per contact a Status with its call (the live
// session), QSO Logged and Logged ADIF whose record is the ADIF log's line; a
// Close when the stand-in quits. A RadioInfo, then an XML datagram per contact.
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

    const QList<QByteArray> messages = Receive(wsjtx, 7);
    QCOMPARE(Types(messages), QList<quint32>({0, 1, 5, 12, 1, 5, 12}));
    QCOMPARE(Decode(messages[1]).dxCall, "K1ABC");
    QCOMPARE(Decode(messages[4]).dxCall, "K2XYZ");
    const QList<QByteArray> records = ReadFile(adifPath).split('\n').mid(2, 2);
    for (int i = 0; i < 2; ++i) {
        const QByteArray adifText = Decode(messages[3 + 3 * i]).texts.value(0);
        QVERIFY2(!adifText.startsWith('<') && adifText.contains("<ADIF_VER:") && adifText.contains("<PROGRAMID:"),
                 adifText.constData());
        QCOMPARE(adifText.mid(adifText.indexOf("<EOH>\n") + 6), records[i] + "\n");
    }

    const QList<QByteArray> xml = Receive(contactInfo, 4);
    QCOMPARE(xml.size(), 4);
    QVERIFY(xml[0].contains("<RadioInfo>") && xml[2].contains("<Freq>703050</Freq>"));
    QString error;
    const auto first = XmlElements(xml[1], &error);
    const auto second = XmlElements(xml[3], &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(XmlValue(first, QStringLiteral("call")), QStringLiteral("K1ABC"));
    QCOMPARE(XmlValue(second, QStringLiteral("txfreq")), QStringLiteral("703050"));
    QCOMPARE(XmlValue(second, QStringLiteral("mycall")), QStringLiteral("W1AW"));
    QVERIFY(XmlValue(first, QStringLiteral("ID")) != XmlValue(second, QStringLiteral("ID")));

    QVERIFY(standin.Terminate());
    QCOMPARE(Types(Receive(wsjtx, 1)), QList<quint32>({WsjtxMessage::kClose}));
}

// Nobody listening and a name that does not resolve: every contact is logged,
// and each destination's problem is told once, not once per contact. Through
// the fault plan (here striking nothing) a contactinfo destination gets each
// contact's RadioInfo and contactinfo in one write: the refusal of the first
// fails the second, and is told all the same.
void TestStandinUdp::deadDestinationsAreReportedOnce()
{
    const QString closed = QStringLiteral("127.0.0.1:%1").arg(ClosedPort());
    QString closedToo = closed;
    while (closedToo == closed)
        closedToo = QStringLiteral("127.0.0.1:%1").arg(ClosedPort());
    const QString unknown = QStringLiteral("no-such-host.invalid:12060");
    const QString adifPath = m_Dir.filePath(QStringLiteral("dead.adi"));
    StandinProcess standin({QStringLiteral("--wsjtx-udp"), closed, QStringLiteral("--contactinfo-udp"), unknown,
                            QStringLiteral("--contactinfo-udp"), closedToo, QStringLiteral("--log-adif"), adifPath,
                            QStringLiteral("--feed-faults"), QStringLiteral("seed=1")});
    QVERIFY(standin.WaitForName());

    QString errors;
    const int contacts = LogUntilReported(standin, {closed, unknown, closedToo}, errors);
    QVERIFY(contacts > 0);
    QCOMPARE(int(ReadFile(adifPath).count("<EOR>")), contacts);
    QVERIFY(standin.Terminate());
    errors += standin.ErrorOutput();

    QVERIFY2(errors.count(closed) == 1 && errors.count(unknown) == 1 && errors.count(closedToo) == 1,
             qPrintable(errors));
    QVERIFY2(errors.contains(QStringLiteral("nobody is listening")), qPrintable(errors));
}

// Whatever comes back to the sending socket is dropped: logging and sending
// go on. Without the live session only the logged contacts go out.
void TestStandinUdp::inboundDatagramsAreDropped()
{
    QUdpSocket receiver;
    QVERIFY(receiver.bind(QHostAddress::LocalHost, 0));
    StandinProcess standin({QStringLiteral("--wsjtx-udp"), Destination(receiver), QStringLiteral("--no-live-session")});
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

void TestStandinUdp::feedFaultOptions_data()
{
    QTest::addColumn<QString>("faults");
    QTest::addColumn<QString>("error");
    QTest::newRow("empty") << "" << "expected loss=P";
    QTest::newRow("unknown key") << "loss=0.1,jitter=5" << "'jitter=5' is not one of";
    QTest::newRow("probability above 1") << "dup=1.5" << "dup=1.5: expected a probability";
    QTest::newRow("not a number") << "loss=x" << "loss=x: expected a probability";
    QTest::newRow("more than certain") << "loss=0.6,dup=0.6" << "add up to more than 1";
    QTest::newRow("negative delay") << "delay=-1" << "delay=-1: expected milliseconds";
    QTest::newRow("bad seed") << "seed=-3" << "seed=-3: expected a whole number";
}

void TestStandinUdp::feedFaultOptions()
{
    QFETCH(QString, faults);
    QFETCH(QString, error);
    try {
        FeedFaults::Parse(faults);
        QFAIL("no error");
    } catch (const BadInput &bad) {
        QVERIFY2(bad.Message().contains(error), qPrintable(bad.Message()));
    }
}

// Twenty contacts through loss, dup, reorder and garbage, twice with the same
// seed: the same fault log both times, and a WSJT-X listener gets exactly
// what it says: no lost contact, a doubled one twice, a reordered one after
// the next, a malformed datagram for each garbage fault, each contact's
// Status before its QSO Logged.
void TestStandinUdp::faultsAreWhatTheFaultLogSays()
{
    constexpr int kContacts = 20;
    QByteArrayList faultLogs;
    QUdpSocket receiver; // the same destination for both runs
    QVERIFY(receiver.bind(QHostAddress::LocalHost, 0));
    for (int run = 0; run < 2; ++run) {
        const QString faultLog = m_Dir.filePath(QStringLiteral("faults%1.jsonl").arg(run));
        StandinProcess standin({QStringLiteral("--wsjtx-udp"), Destination(receiver), QStringLiteral("--feed-faults"),
                                QStringLiteral("loss=0.2,dup=0.2,reorder=0.2,garbage=0.2,seed=42"),
                                QStringLiteral("--fault-log"), faultLog});
        QVERIFY(standin.WaitForName());
        for (int i = 0; i < kContacts; ++i)
            QVERIFY(LogContact(QStringLiteral("K%1AA").arg(i + 1), 14025 + i));
        QVERIFY(standin.Terminate());
        faultLogs.append(ReadFile(faultLog));

        QMap<int, QString> faults; // contact -> fault
        for (const QByteArray &line : faultLogs.last().split('\n')) {
            if (!line.isEmpty()) {
                const QJsonObject fault = QJsonDocument::fromJson(line).object();
                QCOMPARE(fault.value(QStringLiteral("destination")).toString(), Destination(receiver));
                faults.insert(fault.value(QStringLiteral("contact")).toInt(), fault.value(QStringLiteral("fault")).toString());
            }
        }
        QStringList expected;
        QString held;
        for (int contact = 1; contact <= kContacts; ++contact) {
            const QString call = QStringLiteral("K%1AA").arg(contact);
            const QString fault = faults.value(contact);
            if (fault == QLatin1String("reorder")) {
                held = call;
                continue;
            }
            if (fault == QLatin1String("garbage"))
                expected << QStringLiteral("(malformed)");
            if (fault != QLatin1String("loss"))
                expected << call;
            if (fault == QLatin1String("dup"))
                expected << call;
            if (!held.isEmpty())
                expected << std::exchange(held, QString());
        }
        if (!held.isEmpty())
            expected << held;

        QStringList received;
        QStringList unannounced; // QSO Logged without a Status for its call just before
        QByteArray selected;
        for (QList<QByteArray> next = Receive(receiver, 1); !next.isEmpty(); next = Receive(receiver, 1)) {
            const Decoded decoded = Decode(next.first());
            if (!decoded.wellFormed) {
                received << QStringLiteral("(malformed)");
            } else if (decoded.type == WsjtxMessage::kStatus) {
                selected = decoded.dxCall;
            } else if (decoded.type == WsjtxMessage::kQsoLogged) {
                received << QString::fromLatin1(decoded.dxCall);
                if (selected != decoded.dxCall)
                    unannounced << QString::fromLatin1(decoded.dxCall);
            } else if (decoded.type == WsjtxMessage::kClose) {
                break;
            }
        }
        const QList<QString> kinds = faults.values();
        QCOMPARE(QSet<QString>(kinds.begin(), kinds.end()),
                 QSet<QString>({QStringLiteral("loss"), QStringLiteral("dup"), QStringLiteral("reorder"),
                                QStringLiteral("garbage")}));
        QCOMPARE(received, expected);
        QCOMPARE(unannounced, QStringList());
    }
    QCOMPARE(faultLogs[0], faultLogs[1]);
}

QTEST_GUILESS_MAIN(TestStandinUdp)
#include "tst_standin_udp.moc"
