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

#include "../support/StandinProcess.h"
#include "../support/WriteFile.h"

namespace {

const QString kName = "vantrel.document";
constexpr int kWaitMs = 10000;

QDBusMessage callObject(const QString &path, const QString &interface, const QString &member,
                        const QVariantList &arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(kName, path, interface, member);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, kWaitMs);
}

QDBusMessage callEntry(const QString &member, const QVariantList &arguments = {})
{
    return callObject("/entry", "vantrel.Entry", member, arguments);
}

// Sends the call without waiting for its answer.
QDBusPendingCall queueEntryCall(const QString &member, const QVariantList &arguments = {})
{
    QDBusMessage message = QDBusMessage::createMethodCall(kName, "/entry", "vantrel.Entry", member);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().asyncCall(message, kWaitMs);
}

QVariant n(int value)
{
    return QVariant::fromValue(qint16(value));
}

bool answered(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ReplyMessage;
}

int dupeAnswer()
{
    const QDBusMessage reply = callEntry("Dupe");
    return answered(reply) ? reply.arguments().value(0).toInt() : -1;
}

// Types a contact into the entry row: call in column 1, mode, both frequencies the same.
bool typeContact(const QString &call, double khz, int mode)
{
    return answered(callEntry("SetFieldN", {n(1), call}))
        && answered(callEntry("SetLogFrequencyEx", {n(mode), khz, khz, n(0)}));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

    const QDBusMessage entry = callObject("/document", "vantrel.Document", "GetCurrentEntry");
    QVERIFY(answered(entry));
    QCOMPARE(entry.signature(), QString("o"));
    QCOMPARE(entry.arguments().value(0).value<QDBusObjectPath>().path(), QString("/entry"));

    // Walk the columns as a host does, until the name comes back empty.
    int count = 0;
    int withoutAdifData = 0;
    while (count < 100) {
        const QDBusMessage name = callEntry("GetAdifNameN", {n(count + 1)});
        QVERIFY(answered(name));
        QCOMPARE(name.signature(), QString("s"));
        if (name.arguments().value(0).toString().isEmpty())
            break;
        ++count;
        const QDBusMessage attributes = callEntry("GetFieldAttributesN", {n(count)});
        QCOMPARE(attributes.signature(), QString("i"));
        if (!(attributes.arguments().value(0).toInt() & 4))
            ++withoutAdifData;
        QVERIFY(!callEntry("FieldTitle", {n(count)}).arguments().value(0).toString().isEmpty());
    }
    QVERIFY(count >= 6 && count <= 10);
    QVERIFY(withoutAdifData >= 1);
    QCOMPARE(callEntry("GetAdifNameN", {n(0)}).arguments().value(0).toString(), QString(""));
    QCOMPARE(callEntry("FieldTitle", {n(count + 1)}).arguments().value(0).toString(), QString(""));
    QCOMPARE(callEntry("GetFieldAttributesN", {n(count + 1)}).arguments().value(0).toInt(), 0);
}

void TestStandinBus::refusesWhatItCannotTake_data()
{
    QTest::addColumn<QString>("member");
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<QString>("errorName");
    QTest::addColumn<QString>("message");
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("column out of range") << "SetFieldN" << QVariantList{n(99), QString("K1ABC")}
                                         << "vantrel.Error.BadColumn" << "Column 99 does not exist";
    QTest::newRow("value one byte too long")
        << "SetFieldN" << QVariantList{n(3), QString(65537, 'x')} << "vantrel.Error.ValueTooLong"
        << "Column 3 (RST_RCVD) takes at most 65536 bytes of UTF-8 text; the value has 65537";
    QTest::newRow("ten-megabyte value")
        << "SetFieldN" << QVariantList{n(1), QString(10 << 20, 'x')} << "vantrel.Error.ValueTooLong"
        << "Column 1 (CALL) takes at most 65536 bytes of UTF-8 text; the value has 10485760";
    QTest::newRow("mode out of range") << "SetLogFrequencyEx" << QVariantList{n(7), 14025.0, 14025.0, n(0)}
                                       << "vantrel.Error.BadMode" << "Mode code 7";
    QTest::newRow("infinite frequency") << "SetLogFrequencyEx" << QVariantList{n(3), 14025.0, inf, n(0)}
                                        << "vantrel.Error.BadFrequency" << "received 14025 (receive) and inf (transmit)";
    QTest::newRow("frequency not a number") << "SetLogFrequencyEx" << QVariantList{n(3), nan, 14025.0, n(1)}
                                            << "vantrel.Error.BadFrequency" << "received nan (receive)";
    QTest::newRow("negative frequency") << "SetLogFrequencyEx" << QVariantList{n(3), -7025.0, -7025.0, n(0)}
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
    const QString adifPath = m_Dir.filePath(QString("refused-%1.adi").arg(QTest::currentDataTag()));
    StandinProcess standin({"--log-adif", adifPath});
    QVERIFY(standin.WaitForName());

    const QDBusMessage refused = callEntry(member, arguments);
    QCOMPARE(refused.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(refused.errorName(), errorName);
    QVERIFY2(refused.errorMessage().contains(message), qPrintable(refused.errorMessage()));

    QVERIFY(answered(callEntry("EnterQso")));
    const QByteArray record = readFile(adifPath).split('\n').value(2);
    QVERIFY2(record.startsWith("<APP_VANTREL_PTS:1>1 <QSO_DATE:8>"), record.constData());
}

void TestStandinBus::refusesArgumentsOfTheWrongType()
{
    StandinProcess standin;
    QVERIFY(standin.WaitForName());
    // A 32-bit column number does not match the contract's 16-bit one.
    const QDBusMessage wrongType = callEntry("GetAdifNameN", {qint32(1)});
    QCOMPARE(wrongType.type(), QDBusMessage::ErrorMessage);
    QCOMPARE(wrongType.errorName(), QString("org.freedesktop.DBus.Error.UnknownMethod"));
}

void TestStandinBus::loggingWritesAdifAndTrace()
{
    const QString adifPath = m_Dir.filePath("logging.adi");
    const QString tracePath = m_Dir.filePath("logging.jsonl");
    StandinProcess standin({"--log-adif", adifPath, "--trace", tracePath});
    QVERIFY(standin.WaitForName());

    QVERIFY(answered(callEntry("SetFieldN", {n(1), QString("K1ABC")})));
    QVERIFY(answered(callEntry("SetFieldN", {n(2), QString("599")})));
    QVERIFY(answered(callEntry("SetLogFrequencyEx", {n(3), 14025.5, 14026.0, n(1)})));
    QVERIFY(answered(callEntry("EnterQso")));

    const QByteArray adif = readFile(adifPath);
    QVERIFY2(adif.contains("<EOH>"), adif.constData());
    const QByteArray record = adif.mid(adif.indexOf("<EOH>") + 5).trimmed();
    for (const char *field : {"<CALL:5>K1ABC", "<RST_SENT:3>599", "<FREQ:6>14.026", "<FREQ_RX:7>14.0255",
                              "<BAND:3>20m", "<MODE:2>CW", "<QSO_DATE:8>", "<TIME_ON:6>"})
        QVERIFY2(record.contains(field), field);
    QVERIFY(record.endsWith("<EOR>"));
    QCOMPARE(record.count("<EOR>"), 1);

    const QList<QByteArray> lines = readFile(tracePath).trimmed().split('\n');
    QCOMPARE(lines.size(), 4);
    const QStringList members = {"SetFieldN", "SetFieldN", "SetLogFrequencyEx", "EnterQso"};
    const QStringList signatures = {"ns", "ns", "nddn", ""};
    double previousT = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QJsonObject line = QJsonDocument::fromJson(lines[i]).object();
        QCOMPARE(line["member"].toString(), members[i]);
        QCOMPARE(line["signature"].toString(), signatures[i]);
        QVERIFY(line["t"].isDouble());
        QVERIFY(line["t"].toDouble() >= previousT);
        previousT = line["t"].toDouble();
    }
    const QJsonArray frequencyArgs = QJsonDocument::fromJson(lines[2]).object()["args"].toArray();
    QCOMPARE(frequencyArgs, QJsonArray({3, 14025.5, 14026, 1}));
    const QJsonArray fieldArgs = QJsonDocument::fromJson(lines[0]).object()["args"].toArray();
    QCOMPARE(fieldArgs, QJsonArray({1, "K1ABC"}));
}

void TestStandinBus::dupeNeedsSameCallBandAndMode()
{
    StandinProcess standin;
    QVERIFY(standin.WaitForName());

    QVERIFY(typeContact("K1ABC", 14025, 3));
    QCOMPARE(dupeAnswer(), 0);
    QVERIFY(answered(callEntry("EnterQso")));

    QVERIFY(typeContact(" k1abc ", 14030, 3));
    QCOMPARE(dupeAnswer(), 1);
    QVERIFY(typeContact("K1ABC", 7025, 3));
    QCOMPARE(dupeAnswer(), 0);
    QVERIFY(typeContact("K1ABC", 14200, 2));
    QCOMPARE(dupeAnswer(), 0);

    // ClearEntry empties the call, so nothing is a dupe.
    QVERIFY(typeContact("K1ABC", 14025, 3));
    QVERIFY(answered(callEntry("ClearEntry")));
    QCOMPARE(dupeAnswer(), 0);
}

void TestStandinBus::preloadedContactsAreDupes()
{
    const QString preloadPath = m_Dir.filePath("preload.tsv");
    QVERIFY(WriteFile(preloadPath, "# call\tband or kHz\tmode\nW1AW\t20m\t3\nK2XX\t7025\t6\n"));
    StandinProcess standin({"--preload", preloadPath});
    QVERIFY(standin.WaitForName());

    QVERIFY(typeContact("W1AW", 14010, 3));
    QCOMPARE(dupeAnswer(), 1);
    QVERIFY(typeContact("K2XX", 7040, 6));
    QCOMPARE(dupeAnswer(), 1);
    QVERIFY(typeContact("K2XX", 14080, 6));
    QCOMPARE(dupeAnswer(), 0);
}

void TestStandinBus::failAnswersTheNthCallWithAnError()
{
    StandinProcess standin({"--fail", "SetFieldN:2", "--fail", "Dupe:1"});
    QVERIFY(standin.WaitForName());

    QVERIFY(answered(callEntry("SetFieldN", {n(1), QString("A")})));
    const QDBusMessage failed = callEntry("SetFieldN", {n(1), QString("B")});
    QCOMPARE(failed.errorName(), QString("vantrel.Error.Injected"));
    QVERIFY(failed.errorMessage().contains("SetFieldN"));
    QVERIFY(answered(callEntry("SetFieldN", {n(1), QString("C")})));

    QCOMPARE(callEntry("Dupe").errorName(), QString("vantrel.Error.Injected"));
    QVERIFY(answered(callEntry("Dupe")));
}

// Calls already queued behind the planned exit are never carried out: the
// delay holds the stand-in while they all arrive.
void TestStandinBus::exitAtEndsAtOnceWithoutReplying()
{
    const QString adifPath = m_Dir.filePath("exit.adi");
    const QString tracePath = m_Dir.filePath("exit.jsonl");
    StandinProcess standin({"--exit-at", "EnterQso:2", "--delay", "200", "--log-adif", adifPath, "--trace", tracePath});
    QVERIFY(standin.WaitForName());

    QVERIFY(typeContact("K1ABC", 14025, 3));
    QVERIFY(answered(callEntry("EnterQso")));

    QList<QDBusPendingCall> queued = {
        queueEntryCall("SetFieldN", {n(1), QString("K2XX")}),
        queueEntryCall("EnterQso"),  // the planned exit
        queueEntryCall("SetFieldN", {n(1), QString("K3YY")}),
        queueEntryCall("SetLogFrequencyEx", {n(3), 7025.0, 7025.0, n(0)}),
        queueEntryCall("EnterQso"),
    };
    for (QDBusPendingCall &call : queued)
        call.waitForFinished();
    QVERIFY(queued[0].reply().type() == QDBusMessage::ReplyMessage);
    for (int i = 1; i < queued.size(); ++i)
        QCOMPARE(queued[i].reply().type(), QDBusMessage::ErrorMessage);

    QVERIFY(standin.WaitForExit());
    QCOMPARE(standin.ExitStatus(), QProcess::NormalExit);
    QCOMPARE(standin.ExitCode(), 0);
    const QByteArray adif = readFile(adifPath);
    QCOMPARE(adif.count("<EOR>"), 1);
    QVERIFY(adif.contains("K1ABC"));
    QVERIFY(!adif.contains("K2XX"));
    QVERIFY(!adif.contains("K3YY"));
    // The exit is the last call the stand-in saw.
    const QList<QByteArray> trace = readFile(tracePath).trimmed().split('\n');
    QCOMPARE(QJsonDocument::fromJson(trace.last()).object()["member"].toString(), QString("EnterQso"));
    QCOMPARE(trace.size(), 5);
}

// Start-up may print (the platform does, in some environments), but logging
// prints nothing: the output is the same after one contact as after many.
void TestStandinBus::loggingLeavesStandardErrorQuiet()
{
    const auto errorOutputAfter = [](int contacts) {
        StandinProcess standin;
        if (!standin.WaitForName())
            return QString("did not start");
        for (int i = 0; i < contacts; ++i) {
            if (!typeContact(QString("K%1ABC").arg(i), 14025 + i, 3) || !answered(callEntry("EnterQso")))
                return QString("did not log");
        }
        dupeAnswer();  // the window has caught up with the last contact
        standin.Stop();
        return standin.ErrorOutput();
    };
    const QString afterOne = errorOutputAfter(1);
    QCOMPARE(errorOutputAfter(25), afterOne);
}

void TestStandinBus::wrongTypeRepliesWithAnotherType()
{
    StandinProcess standin({"--wrong-type", "GetCurrentEntry", "--wrong-type", "GetAdifNameN", "--wrong-type", "SetFieldN"});
    QVERIFY(standin.WaitForName());

    const QDBusMessage entry = callObject("/document", "vantrel.Document", "GetCurrentEntry");
    QVERIFY(answered(entry));
    QCOMPARE(entry.signature(), QString("s"));

    const QDBusMessage name = callEntry("GetAdifNameN", {n(1)});
    QVERIFY(answered(name));
    QVERIFY(name.signature() != "s");

    // A method with no result gets one anyway; the call itself still takes effect.
    const QDBusMessage field = callEntry("SetFieldN", {n(1), QString("K1ABC")});
    QVERIFY(answered(field));
    QCOMPARE(field.signature(), QString("s"));

    // Members not named answer as usual.
    QCOMPARE(callEntry("GetFieldAttributesN", {n(1)}).signature(), QString("i"));
}

void TestStandinBus::delayHoldsTheAnswerBack()
{
    StandinProcess standin({"--delay", "300"});
    QVERIFY(standin.WaitForName());

    QElapsedTimer timer;
    timer.start();
    QVERIFY(answered(callEntry("ClearEntry")));
    QVERIFY(timer.elapsed() >= 300);  // only a lower bound: a slow machine cannot fail it
}

void TestStandinBus::badInputEndsWithAMessage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    const QString columnsPath = m_Dir.filePath("bad-columns.txt");
    QVERIFY(WriteFile(columnsPath, "CALL\tCall\t5\nNAME\tName\tlots\n"));
    QTest::newRow("bad columns file") << QStringList{"--columns", columnsPath} << "line 2";
    QTest::newRow("missing columns file") << QStringList{"--columns", m_Dir.filePath("none.txt")} << "none.txt";
    QTest::newRow("unknown member") << QStringList{"--fail", "Nope:1"} << "Nope";
    QTest::newRow("bad delay") << QStringList{"--delay", "soon"} << "--delay";
    QTest::newRow("unknown option") << QStringList{"--colour"} << "colour";
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
    QVERIFY(second.ErrorOutput().contains("already taken"));
    QVERIFY(answered(callObject("/document", "vantrel.Document", "GetCurrentEntry")));
}

QTEST_GUILESS_MAIN(TestStandinBus)
#include "tst_standin_bus.moc"
