// SPDX-License-Identifier: GPL-3.0-or-later
#include "../support/ArdenixHarness.h"

#include <QApplication>
#include <QDateTime>
#include <QLineEdit>
#include <QSignalSpy>

namespace {

const QByteArray kDay = "20261128";
// Two contacts at noon, two ten minutes later.
const QByteArray kLog = AdifRecord("K1ABC", kDay, "120000") + AdifRecord("W2XYZ", kDay, "120030")
    + AdifRecord("N3QQ", kDay, "121000") + AdifRecord("K5TR", kDay, "121001");

// Types text into "Start at" over what it shows, as a user does: select all, type.
void TypeStart(ArdenixHarness &h, const QString &text, bool enter)
{
    auto *field = h.Control<QLineEdit>("txtStartAt");
    QTest::mouseClick(field, Qt::LeftButton);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
    if (enter)
        QTest::keyClick(field, Qt::Key_Return);
}

QStringList Lines(const QSignalSpy &spy)
{
    QStringList lines;
    for (const QList<QVariant> &signal : spy)
        lines << signal.at(0).toString();
    return lines;
}

} // namespace

// "Start at" chooses where a playback begins, through the real field and
// buttons; what the logger received is read from the stand-in's trace.
class TestStartAt : public QObject {
    Q_OBJECT
private slots:
    // The first contact logged is the first at or after the start, and the
    // first wait counts from the start at the chosen speed; each contact
    // keeps its number in the whole file.
    void typedStartBeginsThere_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("enter"); // Enter in the field, or straight to "Go"
        QTest::addColumn<int>("speed");
        QTest::addColumn<QString>("countdown"); // right after "Go"
        QTest::addColumn<int>("interval");
        QTest::addColumn<QStringList>("lines");
        const QStringList lastTwo{"3/4 2026-11-28 12:10:00 N3QQ", "4/4 2026-11-28 12:10:01 K5TR"};
        QTest::newRow("dated, Enter, 1X: five minutes") << "2026-11-28 12:05" << true << 0 << "300" << 1000 << lastTwo;
        // 300 s at 8X is 37.5 s, counted down as 38.
        QTest::newRow("time of day, Go, 8X") << "12:05Z" << false << 3 << "38" << 1000 << lastTwo;
        // A contact's own time: logged at the first event, as without a start.
        QTest::newRow("a contact's time") << "2026-11-28T12:00:30" << true << 0 << "" << 1
                                          << (QStringList{"2/4 2026-11-28 12:00:30 W2XYZ"} + lastTwo);
    }
    void typedStartBeginsThere()
    {
        QFETCH(QString, typed);
        QFETCH(bool, enter);
        QFETCH(int, speed);
        QFETCH(QString, countdown);
        QFETCH(int, interval);
        QFETCH(QStringList, lines);
        ArdenixHarness h;
        QVERIFY(h.StartLogger());
        h.ChooseFile(h.WriteLog(kLog));
        QCOMPARE(h.Control<QLineEdit>("txtStartAt")->text(), QStringLiteral("2026-11-28 12:00:00Z"));
        h.SetSpeed(speed);
        TypeStart(h, typed, enter);
        QSignalSpy contacts(&h.Window(), &frmArdenix::ContactLogged);
        h.Click("btnGo");
        QCOMPARE(h.Countdown(), countdown);
        QCOMPARE(h.Timer()->interval(), interval);
        QCOMPARE(h.Button("btnNow")->isEnabled(), !countdown.isEmpty());
        QVERIFY(!h.Control<QLineEdit>("txtStartAt")->isEnabled());
        while (h.Tick()) {
        }
        QCOMPARE(Lines(contacts), lines);
        QCOMPARE(h.Logged().size(), lines.size());
        QCOMPARE(h.CountOf(QStringLiteral("ClearEntry")), lines.size()); // nothing before the start was loaded
        QVERIFY(h.Ok());
    }

    // A time that is none, or lies outside the log, is told, on Enter and
    // on "Go", and changes nothing; a new file choice starts at the file's
    // first contact again.
    void refusedStartChangesNothing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString outside = QStringLiteral("%1 is outside the log, which runs from 2026-11-28 12:00:00Z to "
                                               "2026-11-28 12:10:01Z.");
        QTest::newRow("before the log") << "2026-11-28 11:59:59" << outside.arg("2026-11-28 11:59:59Z");
        QTest::newRow("after the log") << "2026-11-28 12:10:02" << outside.arg("2026-11-28 12:10:02Z");
        QTest::newRow("a time of day: the next day") << "11:00" << outside.arg("2026-11-29 11:00:00Z");
        QTest::newRow("no time") << "noon"
                                 << "\"noon\" is not a contest time: write 2025-03-29T14:00, 2025-03-29 14:00 or 14:00, "
                                    "with or without seconds.";
    }
    void refusedStartChangesNothing()
    {
        QFETCH(QString, typed);
        QFETCH(QString, message);
        ArdenixHarness h;
        QVERIFY(h.StartLogger());
        const QString log = h.WriteLog(kLog);
        h.ChooseFile(log);
        TypeStart(h, typed, true);
        QCOMPARE(h.Messages(), QStringList{"Ardenix: " + message});
        QCOMPARE(h.Control<QLineEdit>("txtStartAt")->text(), typed); // left to be mended
        h.Click("btnGo");
        QCOMPARE(h.Messages().size(), 2);
        QVERIFY(!h.Timer()->isActive());
        QVERIFY(h.Calls().isEmpty());

        h.ChooseFile(log);
        QCOMPARE(h.Control<QLineEdit>("txtStartAt")->text(), QStringLiteral("2026-11-28 12:00:00Z"));
        h.Click("btnGo");
        QVERIFY(h.Tick());
        QCOMPARE(h.Logged(), QStringList{"K1ABC"});
    }

    // A click on the timeline before "Go" starts there, at the minute
    // clicked; once the playback runs a click changes nothing.
    void clickedStartBeginsThere()
    {
        ArdenixHarness h;
        QVERIFY(h.StartLogger());
        // Four contacts an hour apart: the middle of the strip is about 13:35.
        h.ChooseFile(h.WriteLog(AdifRecord("K1ABC", kDay, "120000") + AdifRecord("W2XYZ", kDay, "130000")
                                + AdifRecord("N3QQ", kDay, "140000") + AdifRecord("K5TR", kDay, "150000")));
        auto *timeline = h.Control<QWidget>("ctlTimeline");
        auto *field = h.Control<QLineEdit>("txtStartAt");
        QTest::mouseClick(timeline, Qt::LeftButton, {}, QPoint(timeline->width() / 2, 4));
        const QDateTime start = QDateTime::fromString(field->text(), QStringLiteral("yyyy-MM-dd hh:mm:ssZ"));
        QVERIFY2(start.time() >= QTime(13, 30) && start.time() <= QTime(13, 40) && start.time().second() == 0,
                 qPrintable(field->text()));

        h.Click("btnGo");
        const int wait = int(start.time().secsTo(QTime(14, 0)));
        QCOMPARE(h.Countdown(), QString::number(wait));
        QTest::mouseClick(timeline, Qt::LeftButton, {}, QPoint(4, 4));
        QCOMPARE(field->text(), start.toString(QStringLiteral("yyyy-MM-dd hh:mm:ssZ")));
        while (h.Tick()) {
        }
        QCOMPARE(h.Logged(), (QStringList{"N3QQ", "K5TR"}));
        QVERIFY(h.Ok());
    }

    // "Skip dupes" asks about the contacts from the start on; "Go" waits
    // from the start to the first new one.
    void skipDupesStepsFromTheStart()
    {
        ArdenixHarness h;
        QVERIFY(h.StartLogger({QStringLiteral("--preload"), h.WriteTestFile(QStringLiteral("dupes.txt"), "N3QQ 40m 3\n")}));
        h.ChooseFile(h.WriteLog(kLog));
        TypeStart(h, QStringLiteral("12:05"), true);
        h.Click("cmdSkip");
        QCOMPARE(h.CountOf(QStringLiteral("Dupe")), 2);
        h.Click("btnGo");
        QCOMPARE(h.Countdown(), QStringLiteral("301"));
        h.Click("btnNow");
        QCOMPARE(h.Logged(), QStringList{"K5TR"});
        QStringList sent;
        for (const LoggerCall &call : h.Calls())
            if (call.member == QLatin1String("SetFieldN") && call.args.at(0).toInt() == 1)
                sent << call.args.at(1).toString();
        QCOMPARE(sent, (QStringList{"N3QQ", "K5TR", "K5TR"}));
        QVERIFY(h.Ok());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestStartAt test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startat.moc"
