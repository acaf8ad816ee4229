// SPDX-License-Identifier: GPL-3.0-or-later
#include "../support/RaisedError.h"
#include "../support/StandinProcess.h"
#include "../support/StandinTrace.h"
#include "RuntimeError.h"
#include "Vantrel.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <signal.h>
#include <cstring>
#include <thread>

namespace {

QJsonObject FindCall(const QList<QJsonObject> &calls, const QString &member)
{
    for (const QJsonObject &call : calls)
        if (call.value(QStringLiteral("member")).toString() == member)
            return call;
    return {};
}

// Kills the logger once the trace shows that the member's call has reached it.
void KillWhenTraced(const QString &trace, const QString &member, qint64 pid)
{
    const QDeadlineTimer deadline(StandinProcess::kWaitMs);
    while (!deadline.hasExpired() && FindCall(ReadTrace(trace), member).isEmpty())
        QThread::msleep(10);
    ::kill(pid_t(pid), SIGKILL);
}

std::shared_ptr<VantrelEntry> ConnectToEntry()
{
    auto document = VantrelDocument::GetRunning();
    return document ? document->GetCurrentEntry() : nullptr;
}

} // namespace

// The bridge against the real stand-in logger over a private session bus.
class TestAutomation : public QObject {
    Q_OBJECT
private slots:
    void lookupFindsTheLoggerOnlyWhileItRuns()
    {
        QVERIFY(!VantrelDocument::GetRunning());
        {
            StandinProcess standin;
            QVERIFY(standin.WaitForName());
            auto entry = ConnectToEntry();
            QVERIFY(entry);
            QCOMPARE(entry->GetAdifNameN(1), QStringLiteral("CALL"));
        }
        QVERIFY(!VantrelDocument::GetRunning());
    }

    void argumentsReachTheLoggerWithTheirTypes()
    {
        QTemporaryDir dir;
        const QString trace = dir.filePath(QStringLiteral("trace.jsonl"));
        StandinProcess standin({QStringLiteral("--trace"), trace});
        QVERIFY(standin.WaitForName());
        auto entry = ConnectToEntry();
        QVERIFY(entry);

        const int16_t attributes = entry->GetFieldAttributesN(2);
        const QString title = entry->FieldTitle(2);
        entry->ClearEntry();
        entry->SetFieldN(1, QStringLiteral(" 599 "));
        entry->SetLogFrequencyEx(2, 14250.5, 14200.125, 1);
        const bool dupe = entry->Dupe();

        // Results come back converted to the types they are read as.
        QCOMPARE(attributes, int16_t(6));
        QCOMPARE(title, QStringLiteral("Snt"));
        QVERIFY(!dupe);

        const QList<QJsonObject> calls = ReadTrace(trace);
        QCOMPARE(FindCall(calls, QStringLiteral("GetFieldAttributesN")).value(QStringLiteral("signature")).toString(),
                 QStringLiteral("n"));
        QCOMPARE(FindCall(calls, QStringLiteral("FieldTitle")).value(QStringLiteral("signature")).toString(),
                 QStringLiteral("n"));
        QCOMPARE(FindCall(calls, QStringLiteral("ClearEntry")).value(QStringLiteral("signature")).toString(),
                 QString());
        const QJsonObject setField = FindCall(calls, QStringLiteral("SetFieldN"));
        QCOMPARE(setField.value(QStringLiteral("signature")).toString(), QStringLiteral("ns"));
        QCOMPARE(setField.value(QStringLiteral("args")).toArray(), (QJsonArray{1, QStringLiteral(" 599 ")}));
        const QJsonObject frequency = FindCall(calls, QStringLiteral("SetLogFrequencyEx"));
        QCOMPARE(frequency.value(QStringLiteral("signature")).toString(), QStringLiteral("nddn"));
        QCOMPARE(frequency.value(QStringLiteral("args")).toArray(), (QJsonArray{2, 14250.5, 14200.125, 1}));
    }

    // Each way a call can fail reads differently, naming the member.
    void failedCallSaysWhatHappened_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("killOnArrival");
        QTest::addColumn<QString>("expected");
        const QString goneMidCall = QStringLiteral("Automation error: GetCurrentEntry: the program has gone away during the "
                                                   "call (it exited or dropped its bus connection)");
        QTest::newRow("logger's own error")
            << QStringList{QStringLiteral("--fail"), QStringLiteral("GetCurrentEntry:1")} << false
            << QStringLiteral("Automation error: GetCurrentEntry: vantrel.Error.Injected: Injected failure of GetCurrentEntry (call 1)");
        QTest::newRow("logger exits during the call")
            << QStringList{QStringLiteral("--exit-at"), QStringLiteral("GetCurrentEntry:1")} << false << goneMidCall;
        QTest::newRow("logger killed during the call")
            << QStringList{QStringLiteral("--delay"), QStringLiteral("60000")} << true << goneMidCall;
        QTest::newRow("logger hangs")
            << QStringList{QStringLiteral("--delay"), QString::number(Automation::kCallTimeoutMs + 2000)} << false
            << QStringLiteral("Automation error: GetCurrentEntry: no answer within 3000 ms");
    }

    void failedCallSaysWhatHappened()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, killOnArrival);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString trace = dir.filePath(QStringLiteral("trace.jsonl"));
        StandinProcess standin(arguments + QStringList{QStringLiteral("--trace"), trace});
        QVERIFY(standin.WaitForName());
        auto document = VantrelDocument::GetRunning();
        QVERIFY(document);

        // The call blocks this thread, so the kill comes from another one.
        std::thread killer;
        if (killOnArrival)
            killer = std::thread([&] { KillWhenTraced(trace, QStringLiteral("GetCurrentEntry"), standin.ProcessId()); });
        const RuntimeError error = RaisedError([&] { document->GetCurrentEntry(); });
        if (killer.joinable())
            killer.join();
        QCOMPARE(error.number(), 440);
        QCOMPARE(error.description(), expected);
    }

    // An answer of another type is converted where it can be, and otherwise
    // raises the conversion's error naming the member and what it answered.
    void wrongTypeAnswers_data()
    {
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("attributes as text")
            << "GetFieldAttributesN" << R"(error 13: Type mismatch (GetFieldAttributesN answered the text "wrong"))";
        QTest::newRow("dupe as text") << "Dupe" << R"(error 13: Type mismatch (Dupe answered the text "wrong"))";
        QTest::newRow("title as a number") << "FieldTitle" << "-1";
    }
    void wrongTypeAnswers()
    {
        QFETCH(QString, member);
        QFETCH(QString, outcome);
        StandinProcess standin({QStringLiteral("--wrong-type"), member});
        QVERIFY(standin.WaitForName());
        auto entry = ConnectToEntry();
        QVERIFY(entry);
        QString answer;
        const RuntimeError error = RaisedError([&] {
            if (member == QLatin1String("GetFieldAttributesN"))
                answer = QString::number(entry->GetFieldAttributesN(1));
            else if (member == QLatin1String("Dupe"))
                answer = entry->Dupe() ? QStringLiteral("dupe") : QStringLiteral("new");
            else
                answer = entry->FieldTitle(1);
        });
        if (error.number() != 0)
            answer = QStringLiteral("error %1: %2").arg(error.number()).arg(error.description());
        QCOMPARE(answer, outcome);
    }

    void entryThatIsNotAnObjectIsATypeMismatch()
    {
        StandinProcess standin({QStringLiteral("--wrong-type"), QStringLiteral("GetCurrentEntry")});
        QVERIFY(standin.WaitForName());
        auto document = VantrelDocument::GetRunning();
        QVERIFY(document);
        QCOMPARE(RaisedError([&] { document->GetCurrentEntry(); }).number(), 13);
    }

    void restartedLoggerIsANewObject()
    {
        std::shared_ptr<VantrelEntry> oldEntry;
        {
            StandinProcess first;
            QVERIFY(first.WaitForName());
            oldEntry = ConnectToEntry();
            QVERIFY(oldEntry);
        }
        StandinProcess second;
        QVERIFY(second.WaitForName());
        const RuntimeError error = RaisedError([&] { oldEntry->ClearEntry(); });
        QCOMPARE(error.number(), 440);
        QVERIFY2(error.description().contains(QStringLiteral("gone away")), qPrintable(error.description()));
        auto newEntry = ConnectToEntry();
        QVERIFY(newEntry);
        newEntry->ClearEntry();
    }
};

// Run with --no-bus (and a session bus address that leads nowhere), only the
// lookup runs: no bus at all means the logger is not running.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 2 && std::strcmp(argv[1], "--no-bus") == 0)
        return VantrelDocument::GetRunning() ? 1 : 0;
    TestAutomation test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_automation.moc"
