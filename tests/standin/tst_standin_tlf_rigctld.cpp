// SPDX-License-Identifier: GPL-3.0-or-later
// The stand-in's feeds to Tlf's LAN and to a radio through rigctld: the bytes
// of Tlf's log entries, the commands a scripted rigctld receives from the
// program, and dead destinations that harm nothing.

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <cstdio>
#include <functional>
#include <memory>

#include "logger/AdifLogFile.h"
#include "logger/Band.h"
#include "logger/ColumnSet.h"
#include "feed/FeedContact.h"
#include "feed/RigctldCommands.h"
#include "feed/TlfLanMessage.h"

#include "FeedTesting.h"

namespace {

// A scripted rigctld: takes one connection and answers each command line.
class ScriptedRigctld {
public:
    explicit ScriptedRigctld(quint16 port = 0) { m_Server.listen(QHostAddress::LocalHost, port); }

    quint16 Port() const { return m_Server.serverPort(); }
    QString Destination() const { return QStringLiteral("127.0.0.1:%1").arg(Port()); }

    // Until the stand-in is on the bus and has connected. The connection may
    // have come already, while the test waited for the bus.
    bool WaitForStandin(StandinProcess &standin)
    {
        if (!standin.WaitForName())
            return false;
        if (!m_Server.hasPendingConnections() && !m_Server.waitForNewConnection(kFeedWaitMs)) {
            std::fprintf(stderr, "no connection from the stand-in: %s\n", qPrintable(standin.ErrorOutput()));
            return false;
        }
        m_Peer.reset(m_Server.nextPendingConnection());
        return true;
    }

    // The next command line, unanswered; empty when none comes.
    QByteArray NextCommand()
    {
        const QDeadlineTimer deadline(kFeedWaitMs);
        while (m_Peer && !m_Peer->canReadLine() && !deadline.hasExpired())
            m_Peer->waitForReadyRead(100);
        return m_Peer && m_Peer->canReadLine() ? m_Peer->readLine().trimmed() : QByteArray();
    }

    void Reply(const QByteArray &answer)
    {
        m_Peer->write(answer + '\n');
        m_Peer->flush();
    }

    // The next `count` command lines, each answered as `answer` says ("RPRT 0" unless told).
    QList<QByteArray> Answer(int count, const std::function<QByteArray(const QByteArray &)> &answer = {})
    {
        QList<QByteArray> commands;
        while (commands.size() < count) {
            const QByteArray command = NextCommand();
            if (command.isEmpty())
                break;
            commands.append(command);
            Reply(answer ? answer(command) : QByteArray("RPRT 0"));
        }
        return commands;
    }

    // True when nothing more comes within a short while (the stand-in has nothing left to say).
    bool Quiet() { return m_Peer && !m_Peer->canReadLine() && !m_Peer->waitForReadyRead(300); }

private:
    QTcpServer m_Server;
    std::unique_ptr<QTcpSocket> m_Peer;
};

bool SetRadio(int mode, double rxKhz, double txKhz, bool split)
{
    return Answered(
        CallEntry(QStringLiteral("SetLogFrequencyEx"), {Int16(mode), rxKhz, txKhz, Int16(split ? 1 : 0)}));
}

// "dd-Mmm-yy hh:mm" of an ADIF record's QSO_DATE and TIME_ON, as Tlf's log writes it.
QByteArray TlfDateTime(const QByteArray &record)
{
    const auto value = [&record](const QByteArray &tag) {
        const qsizetype at = record.indexOf(tag);
        return at < 0 ? QByteArray() : record.mid(record.indexOf('>', at) + 1, tag == "<QSO_DATE:" ? 8 : 4);
    };
    const QDateTime when = QDateTime::fromString(QString::fromLatin1(value("<QSO_DATE:") + value("<TIME_ON:")),
                                                 QStringLiteral("yyyyMMddHHmm"));
    return QLocale::c().toString(when, QStringLiteral("dd-MMM-yy HH:mm")).toLatin1();
}

// The known contact in another mode, on another frequency.
Contact Retuned(int mode, double khz)
{
    Contact contact = KnownContact();
    contact.mode = mode;
    contact.txKhz = khz;
    contact.rxKhz = khz;
    contact.band = Band::FromKhz(khz);
    return contact;
}

const QList<QByteArray> kSplitSsbOn40m = {"S 1 VFOB", "I 7150000", "F 7100000", "M LSB 0"};
const QList<QByteArray> kCwOn20m = {"S 0 VFOA", "F 14025500", "M CW 0"};

} // namespace

Q_DECLARE_METATYPE(Contact)

class TestStandinTlfRigctld : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void tlfLogEntryBytes_data();
    void tlfLogEntryBytes();
    void rigctldGetsEachSettingInTurn();
    void rigctldFallingBehindGetsTheNewest();
    void tlfAndAdifReceiversGetTheirDatagrams();
    void deadRigctldAndTlfHarmNothing();
};

void TestStandinTlfRigctld::initTestCase()
{
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "needs a session bus (run under dbus-run-session)");
}

// One row per mode Tlf keeps, and the contacts it cannot hold (no datagram).
void TestStandinTlfRigctld::tlfLogEntryBytes_data()
{
    QTest::addColumn<QString>("columns");
    QTest::addColumn<Contact>("contact");
    QTest::addColumn<QByteArray>("expected");
    const QString standard;
    const QString withExchange = QStringLiteral("CALL\tCall\t5\nRST_SENT\tSnt\t6\nRST_RCVD\tRcv\t6\nSRX_STRING\tExch\t6\n");
    Contact longCall = Retuned(Mode::kLsb, 7150);
    longCall.call = QStringLiteral("DL/K1ABCDEFGHIJKLMNOP");
    longCall.values = {longCall.call, QStringLiteral("59"), QStringLiteral("57"),
                       QStringLiteral("155 JOE MA \u00c4XXXXXXXX")};

    QTest::newRow("CW on 20 m: serial sent as the QSO number, the exchange from its fields, points")
        << standard << KnownContact()
        << QByteArray("B1 20CW  05-Mar-24 12:34 0012  K1ABC          599  579  34 Ann MA              1  14025.5\n", 90)
               + '\0';
    QTest::newRow("LSB on 40 m: SSB, the contact's number, SRX_STRING cut, a long call cut, no ASCII as ?")
        << withExchange << longCall
        << QByteArray("B1 40SSB 05-Mar-24 12:34 0007  DL/K1ABCDEFGHI 59   57   155 JOE MA ?XX             7150.0\n", 90)
               + '\0';
    QTest::newRow("RTTY on 80 m: DIG")
        << standard << Retuned(Mode::kRtty, 3580)
        << QByteArray("B1 80DIG 05-Mar-24 12:34 0012  K1ABC          599  579  34 Ann MA              1   3580.0\n", 90)
               + '\0';
    QTest::newRow("FM: not sent") << standard << Retuned(Mode::kFm, 29600) << QByteArray();
    QTest::newRow("6 m: not sent") << standard << Retuned(Mode::kUsb, 50150) << QByteArray();
    QTest::newRow("no band: not sent") << standard << Retuned(Mode::kCw, 0) << QByteArray();
}

void TestStandinTlfRigctld::tlfLogEntryBytes()
{
    QFETCH(QString, columns);
    QFETCH(Contact, contact);
    QFETCH(QByteArray, expected);
    const ColumnSet set = columns.isEmpty() ? ColumnSet::Standard() : ColumnSet::FromText(columns, QStringLiteral("c"));
    const QByteArray line = TlfLanMessage::LogLine(FeedContact{set, contact, QString()}, 7);
    const QByteArray datagram = line.isEmpty() ? QByteArray() : TlfLanMessage::LogEntry('B', line);
    QCOMPARE(datagram, expected);
}

// Split SSB on 40 m, then CW on 20 m; a command the radio refuses is told
// once, and the next setting goes out all the same.
void TestStandinTlfRigctld::rigctldGetsEachSettingInTurn()
{
    ScriptedRigctld rigctld;
    StandinProcess standin({QStringLiteral("--rigctld"), rigctld.Destination()});
    QVERIFY(rigctld.WaitForStandin(standin));

    QVERIFY(SetRadio(Mode::kLsb, 7100, 7150, true));
    QCOMPARE(rigctld.Answer(4), kSplitSsbOn40m);
    QVERIFY(SetRadio(Mode::kCw, 14025.5, 14025.5, false));
    QCOMPARE(rigctld.Answer(3), kCwOn20m);

    const auto noRtty = [](const QByteArray &command) {
        return command.startsWith("M RTTY") ? QByteArray("RPRT -11") : QByteArray("RPRT 0");
    };
    for (int i = 0; i < 2; ++i) {
        QVERIFY(SetRadio(Mode::kRtty, 3580, 3580, false));
        QCOMPARE(rigctld.Answer(3, noRtty), QList<QByteArray>({"S 0 VFOA", "F 3580000", "M RTTY 0"}));
    }
    QVERIFY(SetRadio(Mode::kCw, 14025.5, 14025.5, false));
    QCOMPARE(rigctld.Answer(3), kCwOn20m);
    QVERIFY(standin.Terminate());
    const QString errors = standin.ErrorOutput();
    QVERIFY2(errors.count(QStringLiteral("answered \"RPRT -11\" to M")) == 1, qPrintable(errors));
}

// Settings that come while the radio is still answering: the one on its way
// finishes, then only the newest goes out.
void TestStandinTlfRigctld::rigctldFallingBehindGetsTheNewest()
{
    ScriptedRigctld rigctld;
    StandinProcess standin({QStringLiteral("--rigctld"), rigctld.Destination()});
    QVERIFY(rigctld.WaitForStandin(standin));

    QVERIFY(SetRadio(Mode::kLsb, 7100, 7150, true));
    QCOMPARE(rigctld.NextCommand(), kSplitSsbOn40m.first()); // on its way, unanswered
    for (int i = 0; i < 5; ++i)
        QVERIFY(SetRadio(Mode::kUsb, 21200 + i, 21200 + i, false));
    QVERIFY(SetRadio(Mode::kCw, 14025.5, 14025.5, false));

    rigctld.Reply("RPRT 0");
    QList<QByteArray> commands = {kSplitSsbOn40m.first()};
    while (!rigctld.Quiet())
        commands += rigctld.Answer(1);
    QCOMPARE(commands, kSplitSsbOn40m + kCwOn20m);
}

// Tlf gets its log entries from node C, numbered by the stand-in's contacts,
// without the one it cannot hold; the ADIF receiver every contact's ADIF
// text; WSJT-X and contactinfo receivers the names given.
void TestStandinTlfRigctld::tlfAndAdifReceiversGetTheirDatagrams()
{
    QUdpSocket tlf;
    QUdpSocket adif;
    QUdpSocket wsjtx;
    QUdpSocket contactInfo;
    for (QUdpSocket *receiver : {&tlf, &adif, &wsjtx, &contactInfo})
        QVERIFY(receiver->bind(QHostAddress::LocalHost, 0));
    const QTemporaryDir dir;
    const QString adifPath = dir.filePath(QStringLiteral("fed.adi"));
    StandinProcess standin({QStringLiteral("--tlf-lan"), Destination(tlf), QStringLiteral("--tlf-node"),
                            QStringLiteral("c"), QStringLiteral("--adif-udp"), Destination(adif),
                            QStringLiteral("--wsjtx-udp"), Destination(wsjtx), QStringLiteral("--wsjtx-id"),
                            QStringLiteral("WSJT-X"), QStringLiteral("--contactinfo-udp"), Destination(contactInfo),
                            QStringLiteral("--contactinfo-app"), QStringLiteral("N1"), QStringLiteral("--log-adif"),
                            adifPath});
    QVERIFY(standin.WaitForName());
    QVERIFY(LogContact(QStringLiteral("K1ABC"), 14025));
    QVERIFY(LogContact(QStringLiteral("K2FM"), 29600, Mode::kFm));
    QVERIFY(LogContact(QStringLiteral("K3ABC"), 7025));

    const QList<QByteArray> records = ReadFile(adifPath).split('\n').mid(2, 3);
    const QList<QByteArray> entries = Receive(tlf, 2);
    QCOMPARE(entries.size(), 2);
    QCOMPARE(entries[0].left(37), "C1 20CW  " + TlfDateTime(records[0]) + " 0001  K1ABC ");
    QCOMPARE(entries[1].left(37), "C1 40CW  " + TlfDateTime(records[2]) + " 0003  K3ABC ");
    const QList<QByteArray> adifTexts = Receive(adif, 3);
    QCOMPARE(adifTexts.size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(adifTexts[i], AdifLogFile::OneRecordFile(records[i] + '\n'));

    const QByteArray heartbeat = Receive(wsjtx, 1).value(0);
    QCOMPARE(heartbeat.mid(12, 10), QByteArray::fromHex("00000006") + "WSJT-X");
    QVERIFY2(Receive(contactInfo, 1).value(0).contains("<app>N1</app>"), "the contactinfo app name");
}

// Nobody at the Tlf port and no rigctld: every contact is logged and each
// problem told once; a rigctld that comes up later gets the newest setting.
void TestStandinTlfRigctld::deadRigctldAndTlfHarmNothing()
{
    const quint16 rigctldPort = ClosedPort();
    const QString tlf = QStringLiteral("127.0.0.1:%1").arg(ClosedPort());
    const QString rig = QStringLiteral("127.0.0.1:%1").arg(rigctldPort);
    const QTemporaryDir dir;
    const QString adifPath = dir.filePath(QStringLiteral("dead.adi"));
    StandinProcess standin({QStringLiteral("--tlf-lan"), tlf, QStringLiteral("--rigctld"), rig,
                            QStringLiteral("--log-adif"), adifPath});
    QVERIFY(standin.WaitForName());

    QString errors;
    const int contacts = LogUntilReported(standin, {tlf, rig}, errors);
    QVERIFY(contacts > 0);
    QCOMPARE(int(ReadFile(adifPath).count("<EOR>")), contacts);

    ScriptedRigctld rigctld(rigctldPort);
    QVERIFY(rigctld.WaitForStandin(standin));
    QCOMPARE(rigctld.Answer(3), QList<QByteArray>({"S 0 VFOA", "F 7034000", "M CW 0"}));
    QVERIFY(standin.Terminate());
    errors += standin.ErrorOutput();
    QVERIFY2(errors.count(tlf + QStringLiteral(": nobody is listening")) == 1
                 && errors.count(rig + QStringLiteral(": nobody is listening")) == 1,
             qPrintable(errors));
}

QTEST_GUILESS_MAIN(TestStandinTlfRigctld)
#include "tst_standin_tlf_rigctld.moc"
