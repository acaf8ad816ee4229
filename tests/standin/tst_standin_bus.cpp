// SPDX-License-Identifier: GPL-3.0-or-later
// The stand-in program itself, on the private bus this test runs under,
// spoken to with plain messages as any host would.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <limits>

#include "bus/Contract.h"

#include "../support/EntryCalls.h"
#include "../support/StandinProcess.h"
#include "../support/WriteFile.h"

namespace {

constexpr int kWaitMs = kEntryCallWaitMs;

QDBusMessage CallDocument(const QString &member)
{
    return CallObject(QStringLiteral("/document"), QStringLiteral("vantrel.Document"), member);
}

// Sends the call without waiting for its answer.
QDBusPendingCall QueueEntryCall(const QString &member, const QVariantList &arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(Contract::kBusName, QStringLiteral("/entry"),
                                                          QStringLiteral("vantrel.Entry"), member);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().asyncCall(message, kWaitMs);
}

int DupeAnswer()
{
    const QDBusMessage reply = CallEntry(QStringLiteral("Dupe"));
    return Answered(reply) ? reply.arguments().value(0).toInt() : -1;
}

} // namespace

class TestStandinBus : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void servesTheDocumentAndItsColumns();
    void refusesWhatItCannotTake_data();
    void refusesWhatItCannotTake();
    void refusesArgumentsOfTheWrongType();
    void loggingWritesAdifAndTrace();
    void dupeNeedsSameCallBandAndMode();
    void preloadedContactsAreDupes();
    void failAnswersTheNthCallWithAnError();
    void exitAtEndsAtOnceWithoutReplying();
    void loggingLeavesStandardErrorQuiet();
    void wrongTypeRepliesWithAnotherType();
    void delayHoldsTheAnswerBack();
    void badInputEndsWithAMessage_data();
    void badInputEndsWithAMessage();
    void secondInstanceFindsTheNameTaken();

private:
    QTemporaryDir m_Dir;
};

void TestStandinBus::initTestCase()
{
    QVERIFY2(QDBusConnection::sessionBus().isConnected(), "needs a session bus (run under dbus-run-session)");
    QVERIFY(m_Dir.isValid());
    QVERIFY(!StandinProcess::NameIsOnBus());
}

void TestStandinBus::servesTheDocumentAndItsColumns()
{
    StandinProcess standin;
    QVERIFY(standin.WaitForName());

    const QDBusMessage entry = CallDocument(QStringLiteral("GetCurrentEntry"));
    QVERIFY(Answered(entry));
    QCOMPARE(entry.signature(), QStringLiteral("o"));
    QCOMPARE(entry.arguments().value(0).value<QDBusObjectPath>().path(), QStringLiteral("/entry"));

    // Walk the columns as a host does, until the name comes back empty.
    int count = 0;
    int withoutAdifData = 0;
    while (count < 100) {
        const QDBusMessage name = CallEntry(QStringLiteral("GetAdifNameN"), {Int16(count + 1)});
        QVERIFY(Answered(name));
        QCOMPARE(name.signature(), QStringLiteral("s"));
        if (name.arguments().value(0).toString().isEmpty())
            break;
        ++count;
        const QDBusMessage attributes = CallEntry(QStringLiteral("GetFieldAttributesN"), {Int16(count)});
        QCOMPARE(attributes.signature(), QStringLiteral("i"));
        if (!(attributes.arguments().value(0).toInt() & 4))
            ++withoutAdifData;
        QVERIFY(!CallEntry(QStringLiteral("FieldTitle"), {Int16(count)}).arguments().value(0).toString().isEmpty());
    }
    QVERIFY(count >= 6 && count <= 10);
    QVERIFY(withoutAdifData >= 1);
    QCOMPARE(CallEntry(QStringLiteral("GetAdifNameN"), {Int16(0)}).arguments().value(0).toString(), QString());
    QCOMPARE(CallEntry(QStringLiteral("FieldTitle"), {Int16(count + 1)}).arguments().value(0).toString(), QString());
    QCOMPARE(CallEntry(QStringLiteral("GetFieldAttributesN"), {Int16(count + 1)}).arguments().value(0).toInt(), 0);
}

void TestStandinBus::refusesWhatItCannotTake_data()
{
    QTest::addColumn<QString>("member");
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<QString>("errorName");
    QTest::addColumn<QString>("message");
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("column out of range") << "SetFieldN" << QVariantList{Int16(99), QStringLiteral("K1ABC")}
                                         << "vantrel.Error.BadColumn" << "Column 99 does not exist";
    QTest::newRow("value one byte too long")
        << "SetFieldN" << QVariantList{Int16(3), QString(65537, 'x')} << "vantrel.Error.ValueTooLong"
        << "Column 3 (RST_RCVD) takes at most 65536 bytes of UTF-8 text; the value has 65537";
    QTest::newRow("ten-megabyte value")
        << "SetFieldN" << QVariantList{Int16(1), QString(10 << 20, 'x')} << "vantrel.Error.ValueTooLong"
        << "Column 1 (CALL) takes at most 65536 bytes of UTF-8 text; the value has 10485760";
    QTest::newRow("mode out of range") << "SetLogFrequencyEx" << QVariantList{Int16(7), 14025.0, 14025.0, Int16(0)}
                                       << "vantrel.Error.BadMode" << "Mode code 7";
    QTest::newRow("infinite frequency") << "SetLogFrequencyEx" << QVariantList{Int16(3), 14025.0, inf, Int16(0)}
                                        << "vantrel.Error.BadFrequency" << "received 14025 (receive) and inf (transmit)";
    QTest::newRow("frequency not a number") << "SetLogFrequencyEx" << QVariantList{Int16(3), nan, 14025.0, Int16(1)}
                                            << "vantrel.Error.BadFrequency" << "received nan (receive)";
    QTest::newRow("negative frequency") << "SetLogFrequencyEx" << QVariantList{Int16(3), -7025.0, -7025.0, Int16(0)}
                                        << "vantrel.Error.BadFrequency" << "received -7025 (receive)";
}

// A refused call leaves the entry row as it was: the contact logged after it
// has neither the refused value nor a frequency.
void TestStandinBus::refusesWhatItCannotTake()
{
    QFETCH(QString, member);
    QFETCH(QVariantList, arguments);
    QFETCH(QString, errorName);
    QFETCH(QString, message);
    const QString adifPath = m_Dir.filePath(QStringLiteral("refused-%1.adi").arg(QTest::currentDataTag()));
    StandinProcess standin({QStringLiteral("--log-adif"), adifPath});
    QVERIFY(standin.WaitForName());

    const QDBusMessage refused = CallEntry(member, arguments);
    QCOMPARE(refused.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(refused.errorName(), errorName);
    QVERIFY2(refused.errorMessage().contains(message), qPrintable(refused.errorMessage()));

    QVERIFY(Answered(CallEntry(QStringLiteral("EnterQso"))));
    const QByteArray record = ReadFile(adifPath).split('\n').value(2);
    QVERIFY2(record.startsWith("<APP_VANTREL_PTS:1>1 <QSO_DATE:8>"), record.constData());
}

void TestStandinBus::refusesArgumentsOfTheWrongType()
{
    StandinProcess standin;
    QVERIFY(standin.WaitForName());
    // A 32-bit column number does not match the contract's 16-bit one.
    const QDBusMessage wrongType = CallEntry(QStringLiteral("GetAdifNameN"), {qint32(1)});
    QCOMPARE(wrongType.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(wrongType.errorName(), QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"));
}

void TestStandinBus::loggingWritesAdifAndTrace()
{
    const QString adifPath = m_Dir.filePath(QStringLiteral("logging.adi"));
    const QString tracePath = m_Dir.filePath(QStringLiteral("logging.jsonl"));
    StandinProcess standin({QStringLiteral("--log-adif"), adifPath, QStringLiteral("--trace"), tracePath});
    QVERIFY(standin.WaitForName());

    QVERIFY(Answered(CallEntry(QStringLiteral("SetFieldN"), {Int16(1), QStringLiteral("K1ABC")})));
    QVERIFY(Answered(CallEntry(QStringLiteral("SetFieldN"), {Int16(2), QStringLiteral("599")})));
    QVERIFY(Answered(CallEntry(QStringLiteral("SetLogFrequencyEx"), {Int16(3), 14025.5, 14026.0, Int16(1)})));
    QVERIFY(Answered(CallEntry(QStringLiteral("EnterQso"))));

    const QByteArray adif = ReadFile(adifPath);
    QVERIFY2(adif.contains("<EOH>"), adif.constData());
    const QByteArray record = adif.mid(adif.indexOf("<EOH>") + 5).trimmed();
    for (const char *field : {"<CALL:5>K1ABC", "<RST_SENT:3>599", "<FREQ:6>14.026", "<FREQ_RX:7>14.0255",
                              "<BAND:3>20m", "<MODE:2>CW", "<QSO_DATE:8>", "<TIME_ON:6>"})
        QVERIFY2(record.contains(field), field);
    QVERIFY(record.endsWith("<EOR>"));
    QCOMPARE(record.count("<EOR>"), 1);

    const QList<QByteArray> lines = ReadFile(tracePath).trimmed().split('\n');
    QCOMPARE(lines.size(), 4);
    const QStringList members = {QStringLiteral("SetFieldN"), QStringLiteral("SetFieldN"),
                                 QStringLiteral("SetLogFrequencyEx"), QStringLiteral("EnterQso")};
    const QStringList signatures = {QStringLiteral("ns"), QStringLiteral("ns"), QStringLiteral("nddn"), QString()};
    double previousT = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QJsonObject line = QJsonDocument::fromJson(lines[i]).object();
        QCOMPARE(line[QStringLiteral("member")].toString(), members[i]);
        QCOMPARE(line[QStringLiteral("signature")].toString(), signatures[i]);
        QVERIFY(line[QStringLiteral("t")].isDouble());
        QVERIFY(line[QStringLiteral("t")].toDouble() >= previousT);
        previousT = line[QStringLiteral("t")].toDouble();
    }
    const QJsonArray frequencyArgs = QJsonDocument::fromJson(lines[2]).object()[QStringLiteral("args")].toArray();
    QCOMPARE(frequencyArgs, QJsonArray({3, 14025.5, 14026, 1}));
    const QJsonArray fieldArgs = QJsonDocument::fromJson(lines[0]).object()[QStringLiteral("args")].toArray();
    QCOMPARE(fieldArgs, QJsonArray({1, QStringLiteral("K1ABC")}));
}

void TestStandinBus::dupeNeedsSameCallBandAndMode()
{
    StandinProcess standin;
    QVERIFY(standin.WaitForName());

    QVERIFY(TypeContact(QStringLiteral("K1ABC"), 14025, 3));
    QCOMPARE(DupeAnswer(), 0);
    QVERIFY(Answered(CallEntry(QStringLiteral("EnterQso"))));

    QVERIFY(TypeContact(QStringLiteral(" k1abc "), 14030, 3));
    QCOMPARE(DupeAnswer(), 1);
    QVERIFY(TypeContact(QStringLiteral("K1ABC"), 7025, 3));
    QCOMPARE(DupeAnswer(), 0);
    QVERIFY(TypeContact(QStringLiteral("K1ABC"), 14200, 2));
    QCOMPARE(DupeAnswer(), 0);

    // ClearEntry empties the call, so nothing is a dupe.
    QVERIFY(TypeContact(QStringLiteral("K1ABC"), 14025, 3));
    QVERIFY(Answered(CallEntry(QStringLiteral("ClearEntry"))));
    QCOMPARE(DupeAnswer(), 0);
}

void TestStandinBus::preloadedContactsAreDupes()
{
    const QString preloadPath = m_Dir.filePath(QStringLiteral("preload.tsv"));
    QVERIFY(WriteFile(preloadPath, "# call\tband or kHz\tmode\nW1AW\t20m\t3\nK2XX\t7025\t6\n"));
    StandinProcess standin({QStringLiteral("--preload"), preloadPath});
    QVERIFY(standin.WaitForName());

    QVERIFY(TypeContact(QStringLiteral("W1AW"), 14010, 3));
    QCOMPARE(DupeAnswer(), 1);
    QVERIFY(TypeContact(QStringLiteral("K2XX"), 7040, 6));
    QCOMPARE(DupeAnswer(), 1);
    QVERIFY(TypeContact(QStringLiteral("K2XX"), 14080, 6));
    QCOMPARE(DupeAnswer(), 0);
}

void TestStandinBus::failAnswersTheNthCallWithAnError()
{
    StandinProcess standin(
        {QStringLiteral("--fail"), QStringLiteral("SetFieldN:2"), QStringLiteral("--fail"), QStringLiteral("Dupe:1")});
    QVERIFY(standin.WaitForName());

    QVERIFY(Answered(CallEntry(QStringLiteral("SetFieldN"), {Int16(1), QStringLiteral("A")})));
    const QDBusMessage failed = CallEntry(QStringLiteral("SetFieldN"), {Int16(1), QStringLiteral("B")});
    QCOMPARE(failed.errorName(), QStringLiteral("vantrel.Error.Injected"));
    QVERIFY(failed.errorMessage().contains(QStringLiteral("SetFieldN")));
    QVERIFY(Answered(CallEntry(QStringLiteral("SetFieldN"), {Int16(1), QStringLiteral("C")})));

    QCOMPARE(CallEntry(QStringLiteral("Dupe")).errorName(), QStringLiteral("vantrel.Error.Injected"));
    QVERIFY(Answered(CallEntry(QStringLiteral("Dupe"))));
}

// Calls already queued behind the planned exit are never carried out: the
// delay holds the stand-in while they all arrive.
void TestStandinBus::exitAtEndsAtOnceWithoutReplying()
{
    const QString adifPath = m_Dir.filePath(QStringLiteral("exit.adi"));
    const QString tracePath = m_Dir.filePath(QStringLiteral("exit.jsonl"));
    StandinProcess standin({QStringLiteral("--exit-at"), QStringLiteral("EnterQso:2"), QStringLiteral("--delay"),
                            QStringLiteral("200"), QStringLiteral("--log-adif"), adifPath, QStringLiteral("--trace"),
                            tracePath});
    QVERIFY(standin.WaitForName());

    QVERIFY(TypeContact(QStringLiteral("K1ABC"), 14025, 3));
    QVERIFY(Answered(CallEntry(QStringLiteral("EnterQso"))));

    QList<QDBusPendingCall> queued = {
        QueueEntryCall(QStringLiteral("SetFieldN"), {Int16(1), QStringLiteral("K2XX")}),
        QueueEntryCall(QStringLiteral("EnterQso")),  // the planned exit
        QueueEntryCall(QStringLiteral("SetFieldN"), {Int16(1), QStringLiteral("K3YY")}),
        QueueEntryCall(QStringLiteral("SetLogFrequencyEx"), {Int16(3), 7025.0, 7025.0, Int16(0)}),
        QueueEntryCall(QStringLiteral("EnterQso")),
    };
    for (QDBusPendingCall &call : queued)
        call.waitForFinished();
    QVERIFY(queued[0].reply().type() == QDBusMessage::ReplyMessage);
    for (int i = 1; i < queued.size(); ++i)
        QCOMPARE(queued[i].reply().type(), QDBusMessage::ErrorMessage);

    QVERIFY(standin.WaitForExit());
    QCOMPARE(standin.ExitStatus(), QProcess::NormalExit);
    QCOMPARE(standin.ExitCode(), 0);
    const QByteArray adif = ReadFile(adifPath);
    QCOMPARE(adif.count("<EOR>"), 1);
    QVERIFY(adif.contains("K1ABC"));
    QVERIFY(!adif.contains("K2XX"));
    QVERIFY(!adif.contains("K3YY"));
    // The exit is the last call the stand-in saw.
    const QList<QByteArray> trace = ReadFile(tracePath).trimmed().split('\n');
    QCOMPARE(QJsonDocument::fromJson(trace.last()).object()[QStringLiteral("member")].toString(),
             QStringLiteral("EnterQso"));
    QCOMPARE(trace.size(), 5);
}

// Start-up may print (the platform does, in some environments), but logging
// prints nothing: the output is the same after one contact as after many.
void TestStandinBus::loggingLeavesStandardErrorQuiet()
{
    const auto errorOutputAfter = [](int contacts) {
        StandinProcess standin;
        if (!standin.WaitForName())
            return QStringLiteral("did not start");
        for (int i = 0; i < contacts; ++i) {
            if (!TypeContact(QStringLiteral("K%1ABC").arg(i), 14025 + i, 3)
                || !Answered(CallEntry(QStringLiteral("EnterQso"))))
                return QStringLiteral("did not log");
        }
        DupeAnswer();  // the window has caught up with the last contact
        standin.Stop();
        return standin.ErrorOutput();
    };
    const QString afterOne = errorOutputAfter(1);
    QCOMPARE(errorOutputAfter(25), afterOne);
}

void TestStandinBus::wrongTypeRepliesWithAnotherType()
{
    StandinProcess standin({QStringLiteral("--wrong-type"), QStringLiteral("GetCurrentEntry"),
                            QStringLiteral("--wrong-type"), QStringLiteral("GetAdifNameN"),
                            QStringLiteral("--wrong-type"), QStringLiteral("SetFieldN")});
    QVERIFY(standin.WaitForName());

    const QDBusMessage entry = CallDocument(QStringLiteral("GetCurrentEntry"));
    QVERIFY(Answered(entry));
    QCOMPARE(entry.signature(), QStringLiteral("s"));

    const QDBusMessage name = CallEntry(QStringLiteral("GetAdifNameN"), {Int16(1)});
    QVERIFY(Answered(name));
    QVERIFY(name.signature() != QLatin1String("s"));

    // A method with no result gets one anyway; the call itself still takes effect.
    const QDBusMessage field = CallEntry(QStringLiteral("SetFieldN"), {Int16(1), QStringLiteral("K1ABC")});
    QVERIFY(Answered(field));
    QCOMPARE(field.signature(), QStringLiteral("s"));

    // Members not named answer as usual.
    QCOMPARE(CallEntry(QStringLiteral("GetFieldAttributesN"), {Int16(1)}).signature(), QStringLiteral("i"));
}

void TestStandinBus::delayHoldsTheAnswerBack()
{
    StandinProcess standin({QStringLiteral("--delay"), QStringLiteral("300")});
    QVERIFY(standin.WaitForName());

    QElapsedTimer timer;
    timer.start();
    QVERIFY(Answered(CallEntry(QStringLiteral("ClearEntry"))));
    QVERIFY(timer.elapsed() >= 300);  // only a lower bound: a slow machine cannot fail it
}

void TestStandinBus::badInputEndsWithAMessage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    const QString columnsPath = m_Dir.filePath(QStringLiteral("bad-columns.txt"));
    QVERIFY(WriteFile(columnsPath, "CALL\tCall\t5\nNAME\tName\tlots\n"));
    QTest::newRow("bad columns file") << QStringList{"--columns", columnsPath} << "line 2";
    QTest::newRow("missing columns file") << QStringList{"--columns", m_Dir.filePath("none.txt")} << "none.txt";
    QTest::newRow("unknown member") << QStringList{"--fail", "Nope:1"} << "Nope";
    QTest::newRow("bad delay") << QStringList{"--delay", "soon"} << "--delay";
    QTest::newRow("unknown option") << QStringList{"--colour"} << "colour";
    QTest::newRow("UDP destination without a port") << QStringList{"--wsjtx-udp", "127.0.0.1"} << "HOST:PORT";
    QTest::newRow("UDP port out of range") << QStringList{"--contactinfo-udp", "localhost:65536"} << "65536";
}

void TestStandinBus::badInputEndsWithAMessage()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    StandinProcess standin(arguments);
    QVERIFY(standin.WaitForExit());
    QCOMPARE(standin.ExitStatus(), QProcess::NormalExit);
    QVERIFY(standin.ExitCode() != 0);
    const QString message = standin.ErrorOutput();
    QVERIFY2(message.contains(expected), qPrintable(message));
    QVERIFY(!StandinProcess::NameIsOnBus());
}

void TestStandinBus::secondInstanceFindsTheNameTaken()
{
    StandinProcess first;
    QVERIFY(first.WaitForName());

    StandinProcess second;
    QVERIFY(second.WaitForExit());
    QCOMPARE(second.ExitStatus(), QProcess::NormalExit);
    QVERIFY(second.ExitCode() != 0);
    QVERIFY(second.ErrorOutput().contains(QStringLiteral("already taken")));
    QVERIFY(Answered(CallDocument(QStringLiteral("GetCurrentEntry"))));
}

QTEST_GUILESS_MAIN(TestStandinBus)
#include "tst_standin_bus.moc"
