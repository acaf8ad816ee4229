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

#include "logger/Band.h"
#include "logger/ColumnSet.h"
#include "feed/FeedContact.h"
#include "feed/RigctldCommands.h"
#include "feed/TlfLanMessage.h"

#include "../support/EntryCalls.h"
#include "../support/StandinProcess.h"

namespace {

constexpr int kWaitMs = 10000;

Contact MakeContact(const QString &call, int mode, double khz, const QStringList &values)
{
    Contact contact;
    contact.call = call;
    contact.band = Band::FromKhz(khz);
    contact.mode = mode;
    contact.txKhz = khz;
    contact.rxKhz = khz;
    contact.values = values;
    contact.loggedUtc = QDateTime(QDate(2024, 3, 5), QTime(12, 34, 56, 789), Qt::UTC);
    return contact;
}

} // namespace

Q_DECLARE_METATYPE(Contact)

class TestStandinRadio : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void tlfLogEntryBytes_data();
    void tlfLogEntryBytes();

private:
    QTemporaryDir m_Dir;
};

void TestStandinRadio::initTestCase()
{
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "needs a session bus (run under dbus-run-session)");
    QVERIFY(m_Dir.isValid());
}

// One row per mode Tlf keeps, and the contacts it cannot hold (no datagram).
void TestStandinRadio::tlfLogEntryBytes_data()
{
    QTest::addColumn<QString>("columns");
    QTest::addColumn<Contact>("contact");
    QTest::addColumn<QByteArray>("expected");
    const QString standard;
    const QString withExchange = QStringLiteral("CALL\tCall\t5\nRST_SENT\tSnt\t6\nRST_RCVD\tRcv\t6\nSRX_STRING\tExch\t6\n");
    const QStringList contestValues = {QStringLiteral("K1ABC"), QStringLiteral("599"), QStringLiteral("579"),
                                       QStringLiteral("12"),    QStringLiteral("34"),  QStringLiteral("Ann"),
                                       QStringLiteral("MA"),    QStringLiteral("1")};

    QTest::newRow("CW on 20 m: serial sent as the QSO number, the exchange from its fields, points")
        << standard << MakeContact(QStringLiteral("K1ABC"), Mode::kCw, 14025.5, contestValues)
        << QByteArray("B1 20CW  05-Mar-24 12:34 0012  K1ABC          599  579  34 Ann MA              1  14025.5\n", 90)
               + '\0';
    QTest::newRow("LSB on 40 m: SSB, the contact's number, SRX_STRING cut, a long call cut, no ASCII as ?")
        << withExchange
        << MakeContact(QStringLiteral("DL/K1ABCDEFGHIJKLMNOP"), Mode::kLsb, 7150,
                       {QStringLiteral("DL/K1ABCDEFGHIJKLMNOP"), QStringLiteral("59"), QStringLiteral("57"),
                        QStringLiteral("155 JOE MA \u00c4XXXXXXXX")})
        << QByteArray("B1 40SSB 05-Mar-24 12:34 0007  DL/K1ABCDEFGHI 59   57   155 JOE MA ?XX             7150.0\n", 90)
               + '\0';
    QTest::newRow("RTTY on 80 m: DIG")
        << standard << MakeContact(QStringLiteral("K1ABC"), Mode::kRtty, 3580, contestValues)
        << QByteArray("B1 80DIG 05-Mar-24 12:34 0012  K1ABC          599  579  34 Ann MA              1   3580.0\n", 90)
               + '\0';
    QTest::newRow("FM: not sent") << standard << MakeContact(QStringLiteral("K1ABC"), Mode::kFm, 29600, contestValues)
                                  << QByteArray();
    QTest::newRow("6 m: not sent") << standard << MakeContact(QStringLiteral("K1ABC"), Mode::kUsb, 50150, contestValues)
                                   << QByteArray();
    QTest::newRow("no band: not sent") << standard << MakeContact(QStringLiteral("K1ABC"), Mode::kCw, 0, contestValues)
                                       << QByteArray();
}

void TestStandinRadio::tlfLogEntryBytes()
{
    QFETCH(QString, columns);
    QFETCH(Contact, contact);
    QFETCH(QByteArray, expected);
    const ColumnSet set = columns.isEmpty() ? ColumnSet::Standard() : ColumnSet::FromText(columns, QStringLiteral("c"));
    const QByteArray line = TlfLanMessage::LogLine(FeedContact{set, contact, QString()}, 7);
    const QByteArray datagram = line.isEmpty() ? QByteArray() : TlfLanMessage::LogEntry('B', line);
    QCOMPARE(datagram, expected);
}

QTEST_GUILESS_MAIN(TestStandinRadio)
#include "tst_standin_radio.moc"
