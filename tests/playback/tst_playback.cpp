// SPDX-License-Identifier: GPL-3.0-or-later
#include "../support/ArdenixHarness.h"
#include "ModeCode.h"

#include <QAccessible>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QSignalSpy>

namespace {

// A call as "Member[args]", the way a failed comparison reads best.
QString Describe(const LoggerCall &call)
{
    return call.member + QString::fromUtf8(QJsonDocument(call.args).toJson(QJsonDocument::Compact));
}

QStringList Describe(const QList<LoggerCall> &calls)
{
    QStringList lines;
    for (const LoggerCall &call : calls)
        lines << Describe(call);
    return lines;
}

const QByteArray kDay = "20261128";

// A task bar or dock on the session bus: what each launcher-entry Update said.
class LauncherListener : public QObject {
    Q_OBJECT
public:
    LauncherListener()
    {
        m_Bus.connect(QString(), QString(), QStringLiteral("com.canonical.Unity.LauncherEntry"), QStringLiteral("Update"),
                      this, SLOT(Update(QString, QVariantMap)));
        // A call answered after the match rule was sent: the bus has taken the rule.
        m_Bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));
    }
    ~LauncherListener() override { QDBusConnection::disconnectFromBus(m_Bus.name()); }

    // "URI progress=P" while the progress shows, "URI hidden" when it is hidden.
    QStringList Updates;

private slots:
    void Update(const QString &appUri, const QVariantMap &properties)
    {
        Updates << appUri + (properties.value(QStringLiteral("progress-visible")).toBool()
                                 ? QStringLiteral(" progress=%1").arg(properties.value(QStringLiteral("progress")).toDouble())
                                 : QStringLiteral(" hidden"));
    }

private:
    QDBusConnection m_Bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("dock"));
};

} // namespace

// The main window driven by clicks and timer events against the stand-in
// logger; what the logger received is read from its trace.
class TestPlayback : public QObject {
    Q_OBJECT
private slots:
    void modeCodeComparesTextExactly_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<double>("mhz");
        QTest::addColumn<int>("code");
        QTest::newRow("SSB below 10 MHz") << "SSB" << 7.15 << 1;
        QTest::newRow("SSB at exactly 10 MHz") << "SSB" << 10.0 << 1;
        QTest::newRow("SSB just above 10 MHz") << "SSB" << 10.000001 << 2;
        QTest::newRow("SSB at 14.2 MHz") << "SSB" << 14.2 << 2;
        QTest::newRow("CW") << "CW" << 7.0 << 3;
        QTest::newRow("RTTY") << "RTTY" << 14.08 << 6;
        QTest::newRow("AM") << "AM" << 3.8 << 5;
        QTest::newRow("FM") << "FM" << 146.52 << 4;
        QTest::newRow("lower case ssb") << "ssb" << 14.2 << 0;
        QTest::newRow("mixed case Cw") << "Cw" << 7.0 << 0;
        QTest::newRow("sideband name USB") << "USB" << 14.2 << 0;
        QTest::newRow("other mode") << "PSK31" << 14.07 << 0;
        QTest::newRow("empty") << "" << 14.0 << 0;
        QTest::newRow("SSB with a blank") << "SSB " << 14.2 << 0;
    }
    void modeCodeComparesTextExactly()
    {
        QFETCH(QString, mode);
        QFETCH(double, mhz);
        QFETCH(int, code);
        QCOMPARE(ModeCode(mode, mhz), code);
    }

    // Discovery lists the columns with bit 4 set; a log step clears the
    // entry, sends the non-empty mapped fields in mapping order, then mode,
    // both frequencies and the split flag in one call, then logs.
    void logStepSendsExactlyTheRecordsCalls()
    {
        ArdenixHarness h;
        const QString columns = h.WriteTestFile(QStringLiteral("columns.txt"),
            "CALL\tCall\t5\nNAME\tName\t6\nX_NOTE\tNote\t2\nSTATE\tQTH\t6\nRST_RCVD\tRcv\t4\n");
        QVERIFY(h.StartLogger({QStringLiteral("--columns"), columns}));
        const QString log = h.WriteLog(AdifRecord("K1ABC", kDay, "120000", "SSB", "21.25",
            AdifField("NAME", "   ") + AdifField("RST_RCVD", "") + AdifField("X_NOTE", "x")
            + AdifField("FREQ_RX", "21.3125")));
        h.ChooseFile(log);
        h.Click("btnGo");
        QCOMPARE(h.Timer()->interval(), 1); // nothing set it before the first event
        QVERIFY(h.Tick());

        const QStringList expected = {
            R"(GetCurrentEntry[])",
            R"(GetAdifNameN[1])", R"(GetFieldAttributesN[1])", R"(FieldTitle[1])",
            R"(GetAdifNameN[2])", R"(GetFieldAttributesN[2])", R"(FieldTitle[2])",
            R"(GetAdifNameN[3])", R"(GetFieldAttributesN[3])",
            R"(GetAdifNameN[4])", R"(GetFieldAttributesN[4])", R"(FieldTitle[4])",
            R"(GetAdifNameN[5])", R"(GetFieldAttributesN[5])", R"(FieldTitle[5])",
            R"(GetAdifNameN[6])",
            R"(ClearEntry[])",
            R"(SetFieldN[1,"K1ABC"])",
            R"(SetFieldN[2,"   "])",
            R"(SetLogFrequencyEx[2,21312.5,21250,1])",
            R"(EnterQso[])",
        };
        QCOMPARE(Describe(h.Calls()), expected);
        QVERIFY(h.Errors().isEmpty());
    }

    void logStepSetsModeAndSplit_data()
    {
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QByteArray>("freq");
        QTest::addColumn<QByteArray>("freqRx");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("split");
        QTest::newRow("SSB on 40 m") << QByteArray("SSB") << QByteArray("7.15") << QByteArray() << 1 << 0;
        QTest::newRow("SSB at 10 MHz") << QByteArray("SSB") << QByteArray("10") << QByteArray() << 1 << 0;
        QTest::newRow("SSB on 20 m") << QByteArray("SSB") << QByteArray("14.2") << QByteArray() << 2 << 0;
        QTest::newRow("RTTY") << QByteArray("RTTY") << QByteArray("14.085") << QByteArray() << 6 << 0;
        QTest::newRow("PSK31") << QByteArray("PSK31") << QByteArray("14.07") << QByteArray() << 0 << 0;
        QTest::newRow("same receive frequency") << QByteArray("CW") << QByteArray("21.25") << QByteArray("21.25") << 3 << 0;
        QTest::newRow("split by 1 Hz") << QByteArray("CW") << QByteArray("21.25") << QByteArray("21.250001") << 3 << 1;
    }
    void logStepSetsModeAndSplit()
    {
        QFETCH(QByteArray, mode);
        QFETCH(QByteArray, freq);
        QFETCH(QByteArray, freqRx);
        QFETCH(int, code);
        QFETCH(int, split);
        ArdenixHarness h;
        QVERIFY(h.StartPlayback(AdifRecord("K1ABC", kDay, "120000", mode, freq,
                                           freqRx.isEmpty() ? QByteArray() : AdifField("FREQ_RX", freqRx))));
        const double tx = freq.toDouble();
        const double rx = freqRx.isEmpty() ? tx : freqRx.toDouble();
        const QList<LoggerCall> calls = h.Calls();
        const auto sent = std::find_if(calls.begin(), calls.end(),
                                       [](const LoggerCall &c) { return c.member == QLatin1String("SetLogFrequencyEx"); });
        QVERIFY(sent != calls.end());
        QCOMPARE(sent->args, (QJsonArray{code, rx * 1000.0, tx * 1000.0, split}));
    }

    // The window waits as the pacing works it out (tst_pacing has the
    // arithmetic): one interval, or a countdown with "Now" enabled.
    void waitFollowsTheTimeStamps_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<QByteArray>("secondDate");
        QTest::addColumn<QByteArray>("secondTime");
        QTest::addColumn<int>("interval");
        QTest::addColumn<QString>("countdown");
        QTest::addColumn<bool>("nowEnabled");
        // The first record is at 2026-11-28 12:00:00.
        QTest::newRow("same time: floor 200") << 0 << kDay << QByteArray("120000") << 200 << "" << false;
        QTest::newRow("3 s at 2X: 1.5 s waits 2") << 1 << kDay << QByteArray("120003") << 1000 << "2" << true;
        // 2,147,483,647 ms is the longest wait; longer gaps wait that long either way.
        QTest::newRow("30 days later: capped") << 0 << QByteArray("20261228") << QByteArray("120000")
                                              << 1000 << "2147484" << true;
    }
    void waitFollowsTheTimeStamps()
    {
        QFETCH(int, speed);
        QFETCH(QByteArray, secondDate);
        QFETCH(QByteArray, secondTime);
        QFETCH(int, interval);
        QFETCH(QString, countdown);
        QFETCH(bool, nowEnabled);
        ArdenixHarness h;
        QVERIFY(h.StartPlayback(AdifRecord("K1ABC", kDay, "120000") + AdifRecord("W2XYZ", secondDate, secondTime), speed));
        QCOMPARE(h.Timer()->interval(), interval);
        QCOMPARE(h.Countdown(), countdown);
        QCOMPARE(h.Button("btnNow")->isEnabled(), nowEnabled);
        QVERIFY(h.Timer()->isActive());
        QCOMPARE(h.Logged(), QStringList{"K1ABC"});
        QVERIFY(h.Errors().isEmpty());
    }

    // A countdown runs down one second per event, stands still while paused,
    // and the event after the one that showed 1 logs the record.
    void countdownPauseAndResume()
    {
        ArdenixHarness h;
        QVERIFY(h.StartPlayback(AdifRecord("K1ABC", kDay, "120000") + AdifRecord("W2XYZ", kDay, "120003")
                                + AdifRecord("N3QQ", kDay, "120004")));
        QCOMPARE(h.Countdown(), QStringLiteral("3"));
        QVERIFY(h.Tick());
        QCOMPARE(h.Countdown(), QStringLiteral("2"));

        h.Click("btnPause");
        QCOMPARE(h.Button("btnPause")->text(), QStringLiteral("Resume"));
        QVERIFY(!h.Tick());
        QCOMPARE(h.Countdown(), QStringLiteral("2"));
        h.Click("btnPause");
        QCOMPARE(h.Button("btnPause")->text(), QStringLiteral("Pause"));

        QVERIFY(h.Tick());
        QCOMPARE(h.Countdown(), QStringLiteral("1"));
        QCOMPARE(h.Logged(), QStringList{"K1ABC"});
        QVERIFY(h.Tick());
        QCOMPARE(h.Logged(), (QStringList{"K1ABC", "W2XYZ"}));
        QCOMPARE(h.Countdown(), QString());
        QCOMPARE(h.Timer()->interval(), 1000);
        QVERIFY(!h.Button("btnNow")->isEnabled());
    }

    // "Now" logs at once and works out the next wait from that record; while
    // paused it logs one record and the timer stays off.
    void nowLogsAtOnceAlsoWhilePaused()
    {
        ArdenixHarness h;
        QVERIFY(h.StartPlayback(AdifRecord("K1ABC", kDay, "120000") + AdifRecord("W2XYZ", kDay, "120010")
                                + AdifRecord("N3QQ", kDay, "120012") + AdifRecord("K5TR", kDay, "120015")));
        QCOMPARE(h.Countdown(), QStringLiteral("10"));

        h.Click("btnNow");
        QCOMPARE(h.Logged(), (QStringList{"K1ABC", "W2XYZ"}));
        QCOMPARE(h.Countdown(), QStringLiteral("2"));
        QVERIFY(h.Timer()->isActive());

        h.Click("btnPause");
        h.Click("btnNow");
        QCOMPARE(h.Logged(), (QStringList{"K1ABC", "W2XYZ", "N3QQ"}));
        QCOMPARE(h.Countdown(), QStringLiteral("3"));
        QVERIFY(!h.Timer()->isActive());
        QCOMPARE(h.Button("btnPause")->text(), QStringLiteral("Resume"));
    }

    void speedChangeAppliesFromTheNextLogStep()
    {
        ArdenixHarness h;
        QVERIFY(h.StartPlayback(AdifRecord("K1ABC", kDay, "120000") + AdifRecord("W2XYZ", kDay, "120004")
                                + AdifRecord("N3QQ", kDay, "120008")));
        QCOMPARE(h.Countdown(), QStringLiteral("4"));
        h.SetSpeed(1);
        QVERIFY(h.Tick());
        QCOMPARE(h.Countdown(), QStringLiteral("3"));
        h.Click("btnNow");
        QCOMPARE(h.Countdown(), QStringLiteral("2"));
    }

    void endOfFileEndsThePlayback()
    {
        ArdenixHarness h;
        QVERIFY(h.StartPlayback(AdifRecord("K1ABC", kDay, "120000") + AdifRecord("W2XYZ", kDay, "120005")));
        QVERIFY(h.Button("btnNow")->isEnabled());
        QVERIFY(!h.Button("btnGo")->isEnabled());
        QVERIFY(!h.Button("cmdSkip")->isEnabled());
        h.Click("btnNow");
        QCOMPARE(h.Logged(), (QStringList{"K1ABC", "W2XYZ"}));
        QVERIFY(!h.Timer()->isActive());
        QVERIFY(h.Button("btnGo")->isEnabled());
        QVERIFY(h.Button("cmdSkip")->isEnabled());
        QVERIFY(!h.Button("btnPause")->isEnabled());
        QCOMPARE(h.Countdown(), QString());
        QVERIFY(h.Button("btnNow")->isEnabled()); // keeps its state

        // With no record current nothing reaches the logger: not by "Now"...
        const qsizetype before = h.Calls().size();
        h.Click("btnNow");
        QCOMPARE(h.Calls().size(), before);
        // ...nor by a second "Go", whose first event ends the playback as the end of the file does.
        h.Click("btnGo");
        QVERIFY(h.Timer()->isActive());
        QVERIFY(h.Tick());
        QCOMPARE(h.Calls().size(), before);
        QVERIFY(!h.Timer()->isActive());
        QVERIFY(h.Button("btnGo")->isEnabled());
        QVERIFY(!h.Button("btnPause")->isEnabled());
        QVERIFY(h.Errors().isEmpty());
    }

    void fileWithoutRecordsLogsNothing()
    {
        ArdenixHarness h;
        QVERIFY(h.StartLogger());
        h.ChooseFile(h.WriteLog(QByteArray()));
        h.Click("btnGo");
        QVERIFY(!h.Timer()->isActive());
        QVERIFY(h.Button("btnGo")->isEnabled());
        h.Click("btnGo"); // a second "Go": its first event ends the playback
        QVERIFY(h.Tick());
        QVERIFY(!h.Timer()->isActive());
        h.Click("cmdSkip");
        QVERIFY(!h.Button("cmdSkip")->isEnabled());
        for (const char *member : {"ClearEntry", "SetLogFrequencyEx", "EnterQso", "Dupe"})
            QCOMPARE(h.CountOf(QString::fromLatin1(member)), 0);
        QVERIFY(h.Errors().isEmpty());
    }

    // "Skip dupes" loads records until the logger calls one new; "Go" then logs that one first.
    void skipDupes_data()
    {
        QTest::addColumn<QByteArray>("preload");
        QTest::addColumn<int>("dupeQuestions");
        QTest::addColumn<QStringList>("loggedAfterGo");
        QTest::newRow("no dupes") << QByteArray() << 1 << QStringList{"K1ABC"};
        QTest::newRow("two dupes") << QByteArray("K1ABC 40m 3\nW2XYZ 40m 3\n") << 3 << QStringList{"N3QQ"};
        QTest::newRow("only the second") << QByteArray("W2XYZ 40m 3\n") << 1 << QStringList{"K1ABC"};
        QTest::newRow("all dupes") << QByteArray("K1ABC 40m 3\nW2XYZ 40m 3\nN3QQ 40m 3\n") << 3 << QStringList{};
    }
    void skipDupes()
    {
        QFETCH(QByteArray, preload);
        QFETCH(int, dupeQuestions);
        QFETCH(QStringList, loggedAfterGo);
        ArdenixHarness h;
        const QString preloadFile = h.WriteTestFile(QStringLiteral("preload.txt"), preload);
        QVERIFY(h.StartLogger({QStringLiteral("--preload"), preloadFile}));
        h.ChooseFile(h.WriteLog(AdifRecord("K1ABC", kDay, "120000") + AdifRecord("W2XYZ", kDay, "120001")
                                + AdifRecord("N3QQ", kDay, "120002")));
        h.Click("cmdSkip");
        QCOMPARE(h.CountOf(QStringLiteral("Dupe")), dupeQuestions);
        QCOMPARE(h.CountOf(QStringLiteral("ClearEntry")), dupeQuestions);
        QCOMPARE(h.CountOf(QStringLiteral("EnterQso")), 0);
        QVERIFY(!h.Button("cmdSkip")->isEnabled());
        QVERIFY(!h.Timer()->isActive());

        h.Click("btnGo");
        QVERIFY(h.Tick());
        QCOMPARE(h.Logged(), loggedAfterGo);
        QVERIFY(h.Errors().isEmpty());
    }

    // A log whose contacts name two or more transmitters offers each station
    // in "Station"; the one chosen with the keys is what "Go" replays and
    // "Skip dupes" steps through, each contact numbered among its station's.
    void stationChoice_data()
    {
        QTest::addColumn<QList<int>>("transmitters"); // of the four contacts
        QTest::addColumn<int>("downs");               // Down keys pressed in "Station"
        QTest::addColumn<bool>("skipDupes");          // K1ABC, the first, is a dupe
        QTest::addColumn<QStringList>("offered");     // empty when "Station" is hidden
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("count"); // the contacts replayed, of which "Logged" counts
        const QStringList offered{"All stations", "Station 0", "Station 1"};
        QTest::newRow("all stations") << QList<int>{0, 1, 0, 1} << 0 << false << offered
                                      << QStringList{"1/4 2026-11-28 12:00:00 K1ABC", "2/4 2026-11-28 12:00:01 W2XYZ",
                                                     "3/4 2026-11-28 12:00:02 N3QQ", "4/4 2026-11-28 12:00:03 K9ZZ"}
                                      << 4;
        QTest::newRow("station 1") << QList<int>{0, 1, 0, 1} << 2 << false << offered
                                   << QStringList{"1/2 2026-11-28 12:00:01 W2XYZ", "2/2 2026-11-28 12:00:03 K9ZZ"} << 2;
        QTest::newRow("station 0, its dupe skipped") << QList<int>{0, 1, 0, 1} << 1 << true << offered
                                                     << QStringList{"2/2 2026-11-28 12:00:02 N3QQ"} << 2;
        QTest::newRow("one transmitter: no choice")
            << QList<int>{0, 0, 0, 0} << 1 << false << QStringList{}
            << QStringList{"1/4 2026-11-28 12:00:00 K1ABC", "2/4 2026-11-28 12:00:01 W2XYZ",
                           "3/4 2026-11-28 12:00:02 N3QQ", "4/4 2026-11-28 12:00:03 K9ZZ"}
            << 4;
    }
    void stationChoice()
    {
        QFETCH(QList<int>, transmitters);
        QFETCH(int, downs);
        QFETCH(bool, skipDupes);
        QFETCH(QStringList, offered);
        QFETCH(QStringList, lines);
        QFETCH(int, count);
        ArdenixHarness h;
        QVERIFY(h.StartLogger({QStringLiteral("--preload"), h.WriteTestFile(QStringLiteral("dupe.txt"), "K1ABC 40m 3\n")}));
        QByteArray log;
        const QByteArrayList calls{"K1ABC", "W2XYZ", "N3QQ", "K9ZZ"};
        for (int n = 0; n < 4; ++n)
            log += AdifRecord(calls[n], kDay, "12000" + QByteArray::number(n), "CW", "7.025",
                              AdifField("APP_ARDENIX_TRANSMITTER", QString::number(transmitters[n])));
        h.ChooseFile(h.WriteLog(log));

        auto *station = h.Control<QComboBox>("cmbStation");
        QCOMPARE(station->isVisible(), !offered.isEmpty());
        QStringList shown;
        for (int row = 0; row < station->count() && station->isVisible(); ++row)
            shown << station->itemText(row);
        QCOMPARE(shown, offered);
        QCOMPARE(QAccessible::queryAccessibleInterface(station)->text(QAccessible::Name), QStringLiteral("Station"));
        station->setFocus();
        for (int n = 0; n < downs && station->isVisible(); ++n)
            QTest::keyClick(station, Qt::Key_Down);
        const QString chosen = station->currentIndex() > 0 ? station->currentText() : QString();
        QCOMPARE(h.Window().windowTitle(), chosen.isEmpty() ? QStringLiteral("Vantrel Logging Simulator (v2)")
                                                            : QStringLiteral("Vantrel Logging Simulator (v2) - ") + chosen);
        const QLabel *logged = h.Control<QLabel>("lblLogged");
        QCOMPARE(logged->text(), QStringLiteral("0 of %1").arg(count));

        if (skipDupes)
            h.Click("cmdSkip");
        QSignalSpy told(&h.Window(), &frmArdenix::ContactLogged);
        h.SetSpeed(DrivenWindow::kFivePerSecond);
        h.Click("btnGo");
        QVERIFY(!station->isEnabled());
        while (h.Tick()) {
        }
        QVERIFY(station->isEnabled());
        QCOMPARE(logged->text(), QStringLiteral("%1 of %1").arg(count));
        QStringList replayed;
        for (const QList<QVariant> &line : told)
            replayed << line.at(0).toString();
        QCOMPARE(replayed, lines);
        QCOMPARE(h.Logged().size(), lines.size());
        QVERIFY(h.Ok());
    }

    void fileChoiceDuringPlaybackStartsOver()
    {
        ArdenixHarness h;
        QVERIFY(h.StartLogger());
        const QString log = h.WriteLog(AdifRecord("K1ABC", kDay, "120000") + AdifRecord("W2XYZ", kDay, "120005"));
        h.ChooseFile(log);
        h.Click("btnGo");
        QVERIFY(h.Tick());
        QCOMPARE(h.Window().Mapping().m_FieldPropertyNames->Count(), 7);

        h.ChooseFile(std::nullopt); // a cancel resets the playback all the same
        QCOMPARE(h.Control<QLabel>("lblFileName")->text(), log);
        QVERIFY(!h.Timer()->isActive());
        QVERIFY(!h.Button("btnPause")->isEnabled());
        QVERIFY(h.Button("btnGo")->isEnabled());
        QVERIFY(h.Button("cmdSkip")->isEnabled());
        QVERIFY(h.Button("btnNow")->isEnabled()); // not touched by a file choice
        QCOMPARE(h.Countdown(), QString());
        QCOMPARE(h.Window().Mapping().m_FieldPropertyNames->Count(), 0);

        h.Click("btnGo");
        QCOMPARE(h.CountOf(QStringLiteral("GetCurrentEntry")), 2);
        QVERIFY(!h.Button("btnNow")->isEnabled());
        QVERIFY(h.Tick());
        QCOMPARE(h.Logged(), (QStringList{"K1ABC", "K1ABC"}));
    }

    // A Cabrillo log under the default mapping: call, reports and serials
    // reach the logger's columns, and the three contacts of one minute are
    // 20 s apart (2.5 s at 8X, counted down as 2).
    void cabrilloLogReachesTheLoggerColumns()
    {
        ArdenixHarness h;
        QVERIFY(h.StartLogger());
        h.ChooseFile(h.WriteTestFile(QStringLiteral("wpx.log"),
            "START-OF-LOG: 3.0\r\nCONTEST: CQ-WPX-CW\r\nCALLSIGN: KB4AA\r\n"
            "QSO:  7017 CW 2025-05-24 0000 KB4AA  599 0001  HG3ZZ   599 0001  0\r\n"
            "QSO: 14014 CW 2025-05-24 0000 KB4AA  599 0002  NZ3ZZ   599 0017  1\r\n"
            "X-QSO: 14014 CW 2025-05-24 0000 KB4AA  599 0003  ME6ZZ   599 0001  1\r\n"
            "QSO: 14014 CW 2025-05-24 0000 KB4AA  599 0003  ME6ZZ   599 0002  1\r\n"
            "QSO: 21020 CW 2025-05-24 0001 KB4AA  599 0004  K3QQ   599 0100  0\r\n"
            "END-OF-LOG:\r\n"));
        h.SetSpeed(3);
        h.Click("btnGo");
        QStringList countdowns;
        for (int step = 0; step < 4; ++step) {
            if (step == 0)
                QVERIFY(h.Tick());
            else
                h.Click("btnNow");
            countdowns << h.Countdown();
        }
        QStringList contacts;
        QString contact;
        for (const LoggerCall &c : h.Calls()) {
            if (c.member == QLatin1String("ClearEntry"))
                contact.clear();
            else if (c.member == QLatin1String("SetFieldN") || c.member == QLatin1String("SetLogFrequencyEx"))
                contact += Describe(c);
            else if (c.member == QLatin1String("EnterQso"))
                contacts << contact;
        }
        QCOMPARE(contacts, (QStringList{
            R"(SetFieldN[1,"HG3ZZ"]SetFieldN[2,"599"]SetFieldN[3,"599"]SetFieldN[4,"0001"]SetFieldN[5,"0001"]SetLogFrequencyEx[3,7017,7017,0])",
            R"(SetFieldN[1,"NZ3ZZ"]SetFieldN[2,"599"]SetFieldN[3,"599"]SetFieldN[4,"0002"]SetFieldN[5,"0017"]SetLogFrequencyEx[3,14014,14014,0])",
            R"(SetFieldN[1,"ME6ZZ"]SetFieldN[2,"599"]SetFieldN[3,"599"]SetFieldN[4,"0003"]SetFieldN[5,"0002"]SetLogFrequencyEx[3,14014,14014,0])",
            R"(SetFieldN[1,"K3QQ"]SetFieldN[2,"599"]SetFieldN[3,"599"]SetFieldN[4,"0004"]SetFieldN[5,"0100"]SetLogFrequencyEx[3,21020,21020,0])",
        }));
        // 00:00:00, :20, :40, then 00:01:00; the end of the file leaves no countdown.
        QCOMPARE(countdowns, (QStringList{"2", "2", "2", ""}));
        QVERIFY(h.Errors().isEmpty());
    }

    void fileDialogIsSetUpForAdifFiles()
    {
        ArdenixHarness h;
        h.ChooseFile(std::nullopt);
        QCOMPARE(h.LastDialog().Filter, QStringLiteral("All Files (*.*)|*.*|ADIF Files (*.adi)|*.adi|ADX Files (*.adx)|*.adx|"
                                                       "Cabrillo Logs (*.log *.cbr)|*.log;*.cbr"));
        QCOMPARE(h.LastDialog().FilterIndex, 2);
        QCOMPARE(h.LastDialog().Flags, 4100);
        QCOMPARE(h.LastDialog().NameFilters(), (QStringList{"All Files (*.*) (*)", "ADIF Files (*.adi) (*.adi)",
                                                            "ADX Files (*.adx) (*.adx)",
                                                            "Cabrillo Logs (*.log *.cbr) (*.log *.cbr)"}));
        // A cancel before any choice leaves the name empty and still readies Go and Skip dupes.
        QCOMPARE(h.Control<QLabel>("lblFileName")->text(), QString());
        QVERIFY(h.Button("btnGo")->isEnabled());
        QVERIFY(h.Button("cmdSkip")->isEnabled());
    }

    void loggerNotRunningThenStarted()
    {
        ArdenixHarness h;
        h.ChooseFile(h.WriteLog(AdifRecord("K1ABC", kDay, "120000")));
        h.Click("btnGo");
        QCOMPARE(h.Messages(), QStringList{"Ardenix: Vantrel is not running!"});
        QVERIFY(!h.Timer()->isActive());
        QVERIFY(h.Button("btnGo")->isEnabled());
        h.Click("cmdSkip");
        QCOMPARE(h.Messages().size(), 2);
        QVERIFY(h.Button("cmdSkip")->isEnabled());

        QVERIFY(h.StartLogger());
        h.Click("btnGo");
        QCOMPARE(h.Messages().size(), 2);
        QVERIFY(h.Tick());
        QCOMPARE(h.Logged(), QStringList{"K1ABC"});
    }

    // How far a playback has come shows on the task bar, from the file's
    // count of records, and in the countdown's accessible description; the
    // task bar hides it at the end of the file and on a new file choice.
    void progressShowsOnTheTaskBar_data()
    {
        QTest::addColumn<int>("moreEvents"); // after the first contact
        QTest::addColumn<bool>("chooseAgain");
        QTest::addColumn<QStringList>("updates");
        QTest::addColumn<QString>("description");
        const QString uri = QStringLiteral("application://org.example.ardenix.desktop");
        QTest::newRow("to the end of the file")
            << 2 << false << QStringList{uri + " progress=0.333333", uri + " progress=0.666667", uri + " progress=1", uri + " hidden"}
            << "contact 3 of 3";
        QTest::newRow("file chosen again") << 0 << true << QStringList{uri + " progress=0.333333", uri + " hidden"} << "";
    }
    void progressShowsOnTheTaskBar()
    {
        QFETCH(int, moreEvents);
        QFETCH(bool, chooseAgain);
        QFETCH(QStringList, updates);
        QFETCH(QString, description);
        LauncherListener dock;
        ArdenixHarness h;
        QVERIFY(h.StartPlayback(AdifRecord("K1ABC", kDay, "120000") + AdifRecord("W2XYZ", kDay, "120001")
                                    + AdifRecord("N3QQ", kDay, "120002"),
                                DrivenWindow::kFivePerSecond));
        QAccessibleInterface *countdown = QAccessible::queryAccessibleInterface(h.Control<QLabel>("lblCountdown"));
        QCOMPARE(countdown->text(QAccessible::Description), QStringLiteral("contact 1 of 3"));
        for (int i = 0; i < moreEvents; ++i)
            QVERIFY(h.Tick());
        if (chooseAgain)
            h.ChooseFile(std::nullopt);
        QTRY_COMPARE(dock.Updates, updates);
        QCOMPARE(countdown->text(QAccessible::Description), description);
        QVERIFY(h.Ok());
    }

    // A failed call ends the handler and the program; meanwhile nothing more is sent.
    void failedLogStepSendsNothingMore()
    {
        ArdenixHarness h;
        QVERIFY(h.StartLogger({QStringLiteral("--fail"), QStringLiteral("EnterQso:1")}));
        h.ChooseFile(h.WriteLog(AdifRecord("K1ABC", kDay, "120000") + AdifRecord("W2XYZ", kDay, "120001")));
        h.OnReport([&h] {
            QMetaObject::invokeMethod(&h.Window(), "btnNow_Click");
            h.Tick();
        });
        h.Click("btnGo");
        QVERIFY(h.Tick());
        QCOMPARE(h.Errors().size(), 1);
        QCOMPARE(h.Errors().first().number(), 440);
        QVERIFY2(h.Errors().first().description().contains(QLatin1String("EnterQso")),
                 qPrintable(h.Errors().first().description()));
        QVERIFY(h.Tick()); // the step ended with m_Busy set: no further step
        QCOMPARE(h.Members().mid(h.Members().lastIndexOf(QStringLiteral("ClearEntry"))),
                 (QStringList{"ClearEntry", "SetFieldN", "SetLogFrequencyEx", "EnterQso"}));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestPlayback test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_playback.moc"
