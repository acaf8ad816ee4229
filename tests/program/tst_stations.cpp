// SPDX-License-Identifier: GPL-3.0-or-later
#include "../support/ArdenixHarness.h"
#include "ProgramRun.h"
#include "StandinTrace.h"

namespace {

// Two stations of a contest, their contacts interleaved in one minute.
const QByteArray kContest = "START-OF-LOG: 3.0\n"
                            "CONTEST: CQ-WPX-CW\n"
                            "CALLSIGN: W1AW\n"
                            "QSO: 14025 CW 2025-05-24 0000 W1AW 599 0001 K1ABC 599 0001 0\n"
                            "QSO:  7025 CW 2025-05-24 0000 W1AW 599 0002 W2XYZ 599 0007 1\n"
                            "QSO: 14025 CW 2025-05-24 0000 W1AW 599 0003 N3QQ 599 0012 0\n"
                            "QSO:  7025 CW 2025-05-24 0000 W1AW 599 0004 K9ZZ 599 0100 1\n"
                            "END-OF-LOG:\n";

QStringList Described(const QList<QJsonObject> &calls)
{
    QStringList lines;
    for (const QJsonObject &call : calls)
        lines << call.value(QStringLiteral("member")).toString()
                + QString::fromUtf8(QJsonDocument(call.value(QStringLiteral("args")).toArray()).toJson(QJsonDocument::Compact));
    return lines;
}

} // namespace

// ardenix-stations: one Ardenix and stand-in per transmitter, on one clock.
class TestStations : public QObject {
    Q_OBJECT
private slots:
    // Each stand-in receives exactly the calls that a replay of its station
    // alone sends, and the lines come in the order the contacts were made.
    void eachStationAsAloneWouldReplayIt()
    {
        ArdenixHarness h;
        const QString log = h.WriteTestFile(QStringLiteral("contest.log"), kContest);
        const QString traces = QFileInfo(log).absolutePath() + QStringLiteral("/traces");
        const ProgramRun run = RunProgram(QStringLiteral(ARDENIX_STATIONS_PROGRAM), {"--speed", "8X", "--trace", traces, log});
        QVERIFY2(run.status == 0, qPrintable(run.err));
        QCOMPARE(run.out, QStringLiteral("station 0: 1/2 2025-05-24 00:00:00 K1ABC\n"
                                         "station 1: 1/2 2025-05-24 00:00:15 W2XYZ\n"
                                         "station 0: 2/2 2025-05-24 00:00:30 N3QQ\n"
                                         "station 1: 2/2 2025-05-24 00:00:45 K9ZZ\n"));
        for (const QString station : {"0", "1"}) {
            QVERIFY(h.StartLogger());
            const ProgramRun alone = RunProgram(QStringLiteral(ARDENIX_PROGRAM),
                                         {"--only", "APP_ARDENIX_TRANSMITTER=" + station, "--speed", "5/sec", "--go",
                                          "--quit-at-end", log});
            QCOMPARE(alone.status, 0);
            const QStringList together = Described(ReadTrace(traces + "/station-" + station + ".jsonl"));
            QCOMPARE(together.count(QStringLiteral("EnterQso[]")), 2);
            QStringList aloneCalls;
            for (const LoggerCall &call : h.Calls())
                aloneCalls << call.member + QString::fromUtf8(QJsonDocument(call.args).toJson(QJsonDocument::Compact));
            QCOMPARE(together, aloneCalls);
        }
    }

    // What cannot run ends at once, naming why; a station that fails ends
    // every other and is named.
    void refusalsAndFailures_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error"); // the last line on standard error
        QTest::newRow("5/sec") << QStringList{"--speed", "5/sec"} << 2
                               << "ardenix-stations: --speed takes 1X, 2X, 4X or 8X, not \"5/sec\" (see --help)";
        QTest::newRow("a stand-in that cannot start")
            << QStringList{"--wsjtx-udp", "nowhere"} << 1
            << "ardenix-stations: station 0: the stand-in logger ended with status 1";
    }
    void refusalsAndFailures()
    {
        QFETCH(QStringList, options);
        QFETCH(int, status);
        QFETCH(QString, error);
        ArdenixHarness h;
        const QString log = h.WriteTestFile(QStringLiteral("contest.log"), kContest);
        const ProgramRun run = RunProgram(QStringLiteral(ARDENIX_STATIONS_PROGRAM), options + QStringList{log});
        QCOMPARE(run.status, status);
        QCOMPARE(run.err.trimmed().split(QLatin1Char('\n')).last(), error);
        QCOMPARE(run.out, QString());
    }
};

int main(int argc, char **argv)
{
    OffscreenWithoutDisplay();
    QApplication app(argc, argv);
    TestStations test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_stations.moc"
