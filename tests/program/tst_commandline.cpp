// SPDX-License-Identifier: GPL-3.0-or-later
#include "../support/ArdenixHarness.h"
#include "CommandLine.h"
#include "ProgramRun.h"

#include <QDir>
#include <QSignalSpy>

namespace {

const QByteArray kDay = "20260101";

// Three contacts; the logger holds the first when it is preloaded with kDupe.
const QByteArray kLog = AdifRecord("K1ABC", kDay, "235958") + AdifRecord("W2XYZ", kDay, "235959")
    + AdifRecord("N3QQ", "20260102", "000001");
const QByteArray kDupe = "K1ABC 40m 3\n";

using Run = ProgramRun;

// Runs ardenix with the arguments; offscreen, or with no display at all.
Run RunArdenix(const QStringList &arguments, bool display = true)
{
    return RunProgram(QStringLiteral(ARDENIX_PROGRAM), arguments, display);
}

QStringList Described(const QList<LoggerCall> &calls)
{
    QStringList lines;
    for (const LoggerCall &call : calls)
        lines << call.member + QString::fromUtf8(QJsonDocument(call.args).toJson(QJsonDocument::Compact));
    return lines;
}

} // namespace

// "ardenix FILE": the file on the command line is chosen as a choice with
// "..." chooses it; a file that cannot be read gets a message and no choice.
// The options act on the window through the handlers that clicks reach, and
// --quit-at-end makes a run that a script can follow and judge.
class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    // A file given as a relative path is chosen by its full path; "Go" then
    // replays it, as after a choice with "...".
    void fileIsChosenAsWithTheButton()
    {
        ArdenixHarness h;
        QVERIFY(h.StartLogger());
        const QString log = h.WriteLog(AdifRecord("K1ABC", kDay, "120000") + AdifRecord("W2XYZ", kDay, "120000"));
        const QString before = QDir::currentPath();
        QDir::setCurrent(QFileInfo(log).absolutePath());
        h.Window().ChooseFile(QFileInfo(log).fileName());
        QDir::setCurrent(before);

        QCOMPARE(h.Control<QLabel>("lblFileName")->text(), log);
        QVERIFY(h.Button("cmdSkip")->isEnabled());
        QVERIFY(h.Messages().isEmpty());
        h.Click("btnGo");
        QVERIFY(h.Tick());
        QVERIFY(h.Tick());
        QCOMPARE(h.CountOf(QStringLiteral("EnterQso")), 2);
        QVERIFY(h.Ok());
    }

    // The same reset as a choice with "...": a running playback stops.
    void fileChoiceStopsAPlayback()
    {
        ArdenixHarness h;
        const QByteArray records = AdifRecord("K1ABC", kDay, "120000") + AdifRecord("W2XYZ", kDay, "120010");
        QVERIFY(h.StartPlayback(records));
        QVERIFY(h.Timer()->isActive());
        h.Window().ChooseFile(h.WriteLog(records, QStringLiteral("again.adi")));
        QVERIFY(!h.Timer()->isActive());
        QVERIFY(!h.Button("btnPause")->isEnabled());
        QCOMPARE(h.Countdown(), QString());
    }

    void badFileGetsAMessage_data()
    {
        QTest::addColumn<QString>("file"); // inside the test's folder
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "missing.adi" << "does not exist.";
        QTest::newRow("folder") << "" << "is not a file.";
    }
    void badFileGetsAMessage()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        ArdenixHarness h;
        const QString folder = QFileInfo(h.WriteLog(AdifRecord("K1ABC", kDay, "120000"))).absolutePath();
        const QString path = file.isEmpty() ? folder : folder + QLatin1Char('/') + file;
        h.Window().ChooseFile(path);

        QCOMPARE(h.Messages().size(), 1);
        const QString shown = h.Messages().first();
        QVERIFY2(shown.startsWith(QStringLiteral("Ardenix: ")) && shown.contains(path) && shown.endsWith(message),
                 qPrintable(shown));
        QVERIFY(h.Window().isVisible());
        QCOMPARE(h.Control<QLabel>("lblFileName")->text(), QString());
        QVERIFY(!h.Button("cmdSkip")->isEnabled());
        QVERIFY(h.Errors().isEmpty());
    }

    // Each option acts once the window is shown, as the user's choice or
    // click would: the speed row, "Skip dupes" asking the logger about the
    // head of the log, "Go" logging the first new contact at the first event.
    void optionsActThroughTheHandlers_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("speedRow");
        QTest::addColumn<int>("dupeQuestions");
        QTest::addColumn<QStringList>("lines"); // after one timer event
        QTest::newRow("FILE alone") << QStringList{} << 0 << 0 << QStringList{};
        QTest::newRow("a speed in any case") << QStringList{"--speed", "8x"} << 3 << 0 << QStringList{};
        QTest::newRow("5/sec and go") << QStringList{"--speed", "5/sec", "--go"} << 4 << 0
                                      << QStringList{"1/3 2026-01-01 23:59:58 K1ABC"};
        QTest::newRow("skip dupes") << QStringList{"--skip-dupes"} << 0 << 2 << QStringList{};
        QTest::newRow("skip dupes and go") << QStringList{"--go", "--skip-dupes"} << 0 << 2
                                           << QStringList{"2/3 2026-01-01 23:59:59 W2XYZ"};
        QTest::newRow("only one call, numbered among its records")
            << QStringList{"--only", "call=N3QQ", "--go"} << 0 << 0 << QStringList{"1/1 2026-01-02 00:00:01 N3QQ"};
    }
    void optionsActThroughTheHandlers()
    {
        QFETCH(QStringList, options);
        QFETCH(int, speedRow);
        QFETCH(int, dupeQuestions);
        QFETCH(QStringList, lines);
        ArdenixHarness h;
        QVERIFY(h.StartLogger({QStringLiteral("--preload"), h.WriteTestFile(QStringLiteral("dupes.txt"), kDupe)}));
        const CommandLine::Reading reading = CommandLine::Read(QStringList{"ardenix"} + options + QStringList{h.WriteLog(kLog)});
        QCOMPARE(int(reading.Asked), int(CommandLine::Reading::Request::Run));
        QSignalSpy contacts(&h.Window(), &frmArdenix::ContactLogged);
        h.Window().Start(reading.Options);

        QCOMPARE(h.Control<QComboBox>("cmbPlaybackSpeed")->currentIndex(), speedRow);
        QCOMPARE(h.CountOf(QStringLiteral("Dupe")), dupeQuestions);
        QCOMPARE(h.Tick(), !lines.isEmpty());
        QStringList told;
        for (const QList<QVariant> &signal : contacts)
            told << signal.at(0).toString();
        QCOMPARE(told, lines);
        QVERIFY(h.Ok());
    }

    // --only FIELD=VALUE and --go-at HH:MM[:SS] (today, read against a
    // fixed now of 08:00:00): what each takes, and the message for what it
    // refuses. A time a minute past or less still goes, at once.
    void onlyAndGoAtForms_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("only");  // FIELD=VALUE as read; empty for all
        QTest::addColumn<QString>("goAt");  // as read; empty for none
        QTest::addColumn<QString>("error"); // empty when accepted
        const QString onlyForm = QStringLiteral("--only takes FIELD=VALUE (such as APP_ARDENIX_TRANSMITTER=1), not ");
        const QString goAtForm = QStringLiteral("--go-at takes a time of day HH:MM or HH:MM:SS, not ");
        auto row = [](const char *name, const QStringList &options, const QString &only, const QString &goAt,
                      const QString &error = QString()) {
            QTest::newRow(name) << options << only << goAt << error;
        };
        row("a transmitter", {"--only", "APP_ARDENIX_TRANSMITTER=1"}, "APP_ARDENIX_TRANSMITTER=1", "");
        row("a field in lower case", {"--only", "operator=K1ABC"}, "operator=K1ABC", "");
        row("a value with = and blanks", {"--only=COMMENT=a = b"}, "COMMENT=a = b", "");
        row("no =", {"--only", "OPERATOR"}, "", "", onlyForm + "\"OPERATOR\"");
        row("no field", {"--only", "=K1ABC"}, "", "", onlyForm + "\"=K1ABC\"");
        row("no value", {"--only", "OPERATOR="}, "", "", onlyForm + "\"OPERATOR=\"");
        row("a blank in the field", {"--only", "MY CALL=K1ABC"}, "", "", onlyForm + "\"MY CALL=K1ABC\"");
        row("twice", {"--only", "A=1", "--only", "B=2"}, "", "", "--only may be given once");
        row("hours and minutes", {"--go-at", "14:30"}, "", "2026-03-01 14:30:00");
        row("a one-digit hour and seconds", {"--go-at", "9:05:30"}, "", "2026-03-01 09:05:30");
        row("half a minute past", {"--go-at", "07:59:30"}, "", "2026-03-01 07:59:30");
        row("a minute and a second past", {"--go-at", "07:58:59"}, "", "", "--go-at 07:58:59 has passed: it is 08:00:00 now");
        row("an hour of 24", {"--go-at", "24:00"}, "", "", goAtForm + "\"24:00\"");
        row("minute 60", {"--go-at", "14:60"}, "", "", goAtForm + "\"14:60\"");
        row("no colon", {"--go-at", "1430"}, "", "", goAtForm + "\"1430\"");
        row("one-digit seconds", {"--go-at", "14:30:5"}, "", "", goAtForm + "\"14:30:5\"");
        row("a date", {"--go-at", "2026-03-01T14:30"}, "", "", goAtForm + "\"2026-03-01T14:30\"");
        row("with --go and --only", {"--go", "--go-at", "15:00", "--only", "BAND=20m"}, "BAND=20m",
            "2026-03-01 15:00:00");
    }
    void onlyAndGoAtForms()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, only);
        QFETCH(QString, goAt);
        QFETCH(QString, error);
        const QDateTime now(QDate(2026, 3, 1), QTime(8, 0));
        const CommandLine::Reading reading = CommandLine::Read(QStringList{"ardenix"} + options + QStringList{"log.adi"}, now);
        QCOMPARE(reading.Text, error);
        if (!error.isEmpty())
            return;
        const RecordFilter &filter = reading.Options.Only;
        QCOMPARE(filter.IsAll() ? QString() : filter.Field + QLatin1Char('=') + filter.Value, only);
        QCOMPARE(reading.Options.GoAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), goAt);
    }

    // A command line that cannot be acted on: why, on standard error, and
    // exit status 2, before any window (no display is needed).
    void badCommandLineEndsWithStatus2_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown speed") << QStringList{"--speed", "3X", "log.adi"}
                                       << "--speed takes 1X, 2X, 4X, 8X or 5/sec, not \"3X\"";
        QTest::newRow("speed without a value") << QStringList{"log.adi", "--speed"} << "Missing value after '--speed'.";
        QTest::newRow("go without FILE") << QStringList{"--go", "--quit-at-end"} << "--go needs a FILE";
        QTest::newRow("skip dupes without FILE") << QStringList{"--skip-dupes"} << "--skip-dupes needs a FILE";
        QTest::newRow("two FILEs") << QStringList{"a.adi", "b.adi"} << "one FILE at most";
        QTest::newRow("go-at without FILE") << QStringList{"--go-at", "23:59:59"} << "--go-at needs a FILE";
        QTest::newRow("only without FILE") << QStringList{"--only", "CALL=K1ABC"} << "--only needs a FILE";
        const QString fromForms = QStringLiteral("--from takes 2025-03-29T14:00, 2025-03-29 14:00 or 14:00, "
                                                 "with or without seconds, not \"%1\"");
        QTest::newRow("from hour 25") << QStringList{"--from", "25:00", "log.adi"} << fromForms.arg("25:00");
        QTest::newRow("from no such day") << QStringList{"--from", "2026-02-30 12:00", "log.adi"}
                                          << fromForms.arg("2026-02-30 12:00");
        QTest::newRow("from a date alone") << QStringList{"--from", "2026-01-01", "log.adi"} << fromForms.arg("2026-01-01");
        QTest::newRow("from without FILE") << QStringList{"--from", "12:00"} << "--from needs a FILE";
    }
    void badCommandLineEndsWithStatus2()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run run = RunArdenix(arguments, false);
        QCOMPARE(run.status, CommandLine::kUsageExitStatus);
        QCOMPARE(run.err, QStringLiteral("ardenix: %1 (see --help)\n").arg(message));
        QCOMPARE(run.out, QString());
    }

    // --quit-at-end: the exit status tells how the replay ended, standard
    // output has a line per contact and standard error the failure.
    void unattendedRunEnds_data()
    {
        QTest::addColumn<QStringList>("loggerOptions"); // no logger when it holds "none"
        QTest::addColumn<QByteArray>("log");            // a missing file when empty
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error"); // in standard error
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("entered"); // EnterQso calls that reached the logger
        const QStringList none{"none"};
        QTest::newRow("end of the file") << QStringList{} << kLog << 0 << "" << 3 << 3;
        QTest::newRow("a log without contacts") << QStringList{} << QByteArray("\n") << 0 << "" << 0 << 0;
        QTest::newRow("no logger") << none << kLog << 1 << "Vantrel is not running!\n" << 0 << 0;
        QTest::newRow("the logger hangs") << QStringList{"--delay", "3400"} << kLog << 3
                                          << "Automation error: GetCurrentEntry: no answer within 3000 ms" << 0 << 0;
        // The second EnterQso is traced, then the logger exits without carrying it out.
        QTest::newRow("the logger exits") << QStringList{"--exit-at", "EnterQso:2"} << kLog << 3
                                          << "Automation error: EnterQso: the program has gone away" << 1 << 2;
        // The three contacts before a record the reader cannot hold are logged and counted as the whole.
        const QByteArray tooLong = kLog + "<COMMENT:17000000>" + QByteArray(17000000, 'x') + "<EOR>\n";
        QTest::newRow("a record too long") << QStringList{} << tooLong << 3 << "is longer than 16777216 bytes" << 3 << 3;
        QTest::newRow("a missing file") << QStringList{} << QByteArray() << 3 << "missing.adi\" does not exist.\n"
                                        << 0 << 0;
    }
    void unattendedRunEnds()
    {
        QFETCH(QStringList, loggerOptions);
        QFETCH(QByteArray, log);
        QFETCH(int, status);
        QFETCH(QString, error);
        QFETCH(int, lines);
        QFETCH(int, entered);
        ArdenixHarness h;
        if (loggerOptions != QStringList{"none"})
            QVERIFY(h.StartLogger(loggerOptions));
        const QString file = log.isEmpty() ? QFileInfo(h.WriteLog({})).absolutePath() + QStringLiteral("/missing.adi")
                                           : h.WriteLog(log);
        const Run run = RunArdenix({"--speed", "5/sec", "--go", "--quit-at-end", file});
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(error), qPrintable(run.err));
        QCOMPARE(run.out.count(QLatin1Char('\n')), lines);
        QCOMPARE(h.CountOf(QStringLiteral("EnterQso")), entered);
    }

    // --from in an unattended run: exactly the contacts from the first at or
    // after the time, numbered by their place in the file; a time outside
    // the log is a command line that cannot be acted on.
    void unattendedRunFrom_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QString last = QStringLiteral("3/3 2026-01-02 00:00:01 N3QQ\n");
        QTest::newRow("dated") << "2026-01-01T23:59:59" << 0 << "2/3 2026-01-01 23:59:59 W2XYZ\n" + last << "";
        QTest::newRow("time of day, after midnight") << "00:00" << 0 << last << "";
        QTest::newRow("outside the log") << "2026-01-02 00:00:02" << 2 << ""
                                         << "2026-01-02 00:00:02Z is outside the log, which runs from "
                                            "2026-01-01 23:59:58Z to 2026-01-02 00:00:01Z.\n";
    }
    void unattendedRunFrom()
    {
        QFETCH(QString, from);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        ArdenixHarness h;
        QVERIFY(h.StartLogger());
        const Run run = RunArdenix({"--from", from, "--speed", "5/sec", "--go", "--quit-at-end", h.WriteLog(kLog)});
        QCOMPARE(run.status, status);
        QCOMPARE(run.out, out);
        QVERIFY2(run.err.endsWith(err), qPrintable(run.err)); // Qt may say something of the session first
        QCOMPARE(h.CountOf(QStringLiteral("EnterQso")), int(out.count(QLatin1Char('\n'))));
    }

    // An unattended replay sends the logger exactly what the window sends
    // when its buttons are clicked, and prints each contact as it goes.
    void unattendedReplayIsTheWindowsReplay()
    {
        ArdenixHarness h;
        const QStringList logger{QStringLiteral("--preload"), h.WriteTestFile(QStringLiteral("dupes.txt"), kDupe)};
        const QString log = h.WriteLog(kLog);
        QVERIFY(h.StartLogger(logger));
        const Run run = RunArdenix({"--skip-dupes", "--speed", "5/sec", "--go", "--quit-at-end", log});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QStringLiteral("2/3 2026-01-01 23:59:59 W2XYZ\n3/3 2026-01-02 00:00:01 N3QQ\n"));
        const QList<LoggerCall> unattended = h.Calls();

        QVERIFY(h.StartLogger(logger));
        h.ChooseFile(log);
        h.Click("cmdSkip");
        h.SetSpeed(DrivenWindow::kFivePerSecond);
        h.Click("btnGo");
        while (h.Tick()) {
        }
        QCOMPARE(Described(unattended), Described(h.Calls()));
        QVERIFY(h.Ok());
    }
};

int main(int argc, char **argv)
{
    OffscreenWithoutDisplay();
    QApplication app(argc, argv);
    TestCommandLine test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_commandline.moc"
