// SPDX-License-Identifier: GPL-3.0-or-later
// Whole replays of a 1,000-record log for the memory checkers. Built with
// the sanitizers (the debug preset) this test runs with LeakSanitizer on
// (see CMakeLists.txt): a memory error anywhere stops it, a leak left after
// a replay fails the replay, and a leak left at exit fails the run. Built
// without them it is a plain replay.

#include "../support/ArdenixHarness.h"

#include <QApplication>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

constexpr int kRecords = 1000;
constexpr int kFivePerSecond = 4;

QByteArray Call(int i) { return "K" + QByteArray::number(i) + "ABC"; }

// Contacts first to last-1, one second apart, with values for all seven of
// the stand-in's ADIF columns.
QByteArray Records(int first, int last)
{
    QByteArray records;
    for (int i = first; i < last; ++i) {
        const QByteArray time = QTime(12, 0).addSecs(i).toString(QStringLiteral("HHmmss")).toLatin1();
        const QByteArray exchange = AdifField("RST_SENT", "599") + AdifField("RST_RCVD", "579")
            + AdifField("STX", QByteArray::number(i + 1)) + AdifField("SRX", "155") + AdifField("NAME", "JOE")
            + AdifField("STATE", "MA");
        records += AdifRecord(Call(i), "20261128", time, "CW", "7.025", exchange);
    }
    return records;
}

// Unreachable heap blocks found now, with LeakSanitizer on; 0 without it.
int LeaksNow()
{
#if defined(__SANITIZE_ADDRESS__)
    return __lsan_do_recoverable_leak_check();
#else
    return 0;
#endif
}

} // namespace

class TestMemory : public QObject {
    Q_OBJECT

private slots:
    void replay_data()
    {
        QTest::addColumn<int>("preloaded");
        QTest::addColumn<bool>("mappingFirst");
        QTest::newRow("5/sec from the first record") << 0 << false;
        QTest::newRow("mapping dialog, skip dupes, then 5/sec") << 400 << true;
    }

    // The whole log is played by raised timer events; the logger logs
    // every record that was not a dupe once, in order, and nothing leaks.
    void replay()
    {
        QFETCH(int, preloaded);
        QFETCH(bool, mappingFirst);
        {
            ArdenixHarness h;
            const QString preload = h.WriteLog(Records(0, preloaded), QStringLiteral("preload.adi"));
            QVERIFY(h.StartLogger(preloaded > 0 ? QStringList{QStringLiteral("--preload"), preload} : QStringList{}));
            h.ChooseFile(h.WriteLog(Records(0, kRecords)));
            if (mappingFirst) {
                h.Click("btnSetFields");
                QCOMPARE(h.DialogsOpened(), 1);
            }
            if (preloaded > 0)
                h.Click("cmdSkip");
            h.SetSpeed(kFivePerSecond);
            h.Click("btnGo");
            int steps = 0;
            while (steps <= kRecords && h.Tick())
                ++steps;

            QStringList expected;
            for (int i = preloaded; i < kRecords; ++i)
                expected << QString::fromLatin1(Call(i));
            QCOMPARE(h.Logged(), expected);
            QVERIFY(!h.Timer()->isActive());
            QCOMPARE(h.Errors().size(), 0);
            QCOMPARE(h.Messages(), QStringList());
        }
        QCOMPARE(LeaksNow(), 0);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestMemory test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_memory.moc"
