// SPDX-License-Identifier: GPL-3.0-or-later
#include "../support/ArdenixHarness.h"

#include <QAccessible>

namespace {

const QByteArray kDay = "20260101";

QAccessibleInterface *Accessible(QObject *object)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(object);
    if (!accessible)
        qFatal("no accessible interface for %s", qPrintable(object->objectName()));
    return accessible;
}

QString Name(QObject *object) { return Accessible(object)->text(QAccessible::Name); }

// The names a screen reader reads for a list's rows.
QStringList RowNames(QListWidget *list)
{
    QStringList names;
    QAccessibleInterface *accessible = Accessible(list);
    for (int i = 0; i < accessible->childCount(); ++i) {
        QAccessibleInterface *child = accessible->child(i);
        if (child->role() == QAccessible::ListItem)
            names << child->text(QAccessible::Name);
    }
    return names;
}

} // namespace

// What a screen reader is told of the two windows: roles and names, read
// from Qt's accessibility tree, which AT-SPI carries to the screen reader.
class TestAccessibility : public QObject {
    Q_OBJECT
private slots:
    void mainWindowNamesAndRoles_data()
    {
        QTest::addColumn<QString>("control"); // empty for the window itself
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::newRow("window") << "" << int(QAccessible::Window) << "Vantrel Logging Simulator (v2)";
        QTest::newRow("...") << "cmdBrowseFile" << int(QAccessible::Button) << "Choose the ADIF file";
        QTest::newRow("speed") << "cmbPlaybackSpeed" << int(QAccessible::ComboBox) << "Playback speed";
        QTest::newRow("path") << "lblFileName" << int(QAccessible::StaticText) << "No file chosen";
        QTest::newRow("countdown") << "lblCountdown" << int(QAccessible::StaticText) << "Seconds to the next contact";
        QTest::newRow("Customize") << "btnSetFields" << int(QAccessible::Button) << "Customize Fields...";
        QTest::newRow("Go") << "btnGo" << int(QAccessible::Button) << "Go";
        QTest::newRow("Pause") << "btnPause" << int(QAccessible::Button) << "Pause";
        QTest::newRow("Now") << "btnNow" << int(QAccessible::Button) << "Now";
        QTest::newRow("Skip") << "cmdSkip" << int(QAccessible::Button) << "Skip dupes";
        QTest::newRow("clock") << "lblContestTime" << int(QAccessible::StaticText) << "Contest time";
        QTest::newRow("logged") << "lblLogged" << int(QAccessible::StaticText) << "Logged";
        QTest::newRow("rate") << "lblRate" << int(QAccessible::StaticText) << "Rate";
        QTest::newRow("timeline") << "ctlTimeline" << int(QAccessible::Chart) << "Contest timeline";
        QTest::newRow("start at") << "txtStartAt" << int(QAccessible::EditableText) << "Start at";
    }
    void mainWindowNamesAndRoles()
    {
        QFETCH(QString, control);
        QFETCH(int, role);
        QFETCH(QString, name);
        ArdenixHarness h;
        QObject *object = control.isEmpty() ? static_cast<QObject *>(&h.Window())
                                             : h.Window().findChild<QWidget *>(control);
        QVERIFY(object);
        QCOMPARE(int(Accessible(object)->role()), role);
        QCOMPARE(Name(object), name);
    }

    // The speed list is named for what it chooses; its value is the speed chosen.
    void speedListValueIsTheSpeed()
    {
        ArdenixHarness h;
        h.SetSpeed(2);
        QAccessibleInterface *speed = Accessible(h.Control<QComboBox>("cmbPlaybackSpeed"));
        QCOMPARE(speed->text(QAccessible::Value), QStringLiteral("4X"));
        QCOMPARE(speed->text(QAccessible::Name), QStringLiteral("Playback speed"));
        QVERIFY(!Accessible(h.Button("cmdBrowseFile"))->text(QAccessible::Description).isEmpty());
    }

    // The path label is named by the chosen path.
    void pathLabelNamedByThePath()
    {
        ArdenixHarness h;
        const QString log = h.WriteLog(AdifRecord("K1ABC", kDay, "120000"));
        h.ChooseFile(log);
        QCOMPARE(Name(h.Control<QLabel>("lblFileName")), log);
    }

    // The countdown's value is the seconds left, each second; "Pause"
    // reads "Resume" while the playback waits.
    void countdownValueAndPauseReadsResume()
    {
        ArdenixHarness h;
        QVERIFY(h.StartPlayback(AdifRecord("K1ABC", kDay, "120000") + AdifRecord("W2XYZ", kDay, "120003")));
        QObject *countdown = h.Control<QLabel>("lblCountdown");
        QCOMPARE(Accessible(countdown)->valueInterface()->currentValue().toInt(), 3);
        QVERIFY(h.Tick());
        QCOMPARE(Accessible(countdown)->text(QAccessible::Value), QStringLiteral("2"));
        QCOMPARE(Name(countdown), QStringLiteral("Seconds to the next contact"));

        h.Click("btnPause");
        QCOMPARE(Name(h.Button("btnPause")), QStringLiteral("Resume"));
    }

    // The contest's figures read their shown text as their description, the
    // timeline its busiest hour; at the first contact the clock stands at its time.
    void contestFiguresReadTheirText()
    {
        ArdenixHarness h;
        QVERIFY(h.StartPlayback(AdifRecord("K1ABC", kDay, "235958") + AdifRecord("W2XYZ", "20260102", "000001")
                                + AdifRecord("N3QQ", "20260102", "000005")));
        const auto description = [&h](const char *name) {
            return Accessible(h.Window().findChild<QWidget *>(QLatin1String(name)))->text(QAccessible::Description);
        };
        QCOMPARE(description("lblContestTime"), QStringLiteral("2026-01-01 23:59:58Z"));
        QCOMPARE(description("lblLogged"), QStringLiteral("1 of 3"));
        QCOMPARE(description("lblRate"), QStringLiteral("–/h last 10 · –/h last 100 · 1 in the last 60 min"));
        QCOMPARE(description("ctlTimeline"), QStringLiteral("busiest hour 2026-01-02 00:00Z: 2 contacts"));
        h.Click("btnNow");
        QCOMPARE(description("lblContestTime"), QStringLiteral("2026-01-02 00:00:01Z"));
        QCOMPARE(description("lblLogged"), QStringLiteral("2 of 3"));
    }

    // The dialog and its lists, over the stand-in's columns: each row reads
    // as the column's title and its field, without the tab of the shown text.
    void fieldEditNamesAndRows()
    {
        ArdenixHarness h;
        QVERIFY(h.StartLogger());
        h.ChooseFile(h.WriteLog(AdifRecord("K1ABC", kDay, "120000")));
        bool inspected = false;
        h.OnDialog([&](frmFieldEdit &dialog) {
            inspected = true;
            QCOMPARE(int(Accessible(&dialog)->role()), int(QAccessible::Dialog));
            QCOMPARE(Name(&dialog), QStringLiteral("Select ADIF records to log"));
            auto *columns = dialog.findChild<QListWidget *>(QStringLiteral("lstEWFields"));
            auto *fields = dialog.findChild<QListWidget *>(QStringLiteral("lstCandidates"));
            QCOMPARE(Name(columns), QStringLiteral("Columns in Vantrel and their ADIF fields"));
            QCOMPARE(Name(fields), QStringLiteral("Fields in the ADIF file"));
            const QStringList rows = RowNames(columns);
            QVERIFY2(rows.startsWith(QStringLiteral("Call: CALL")), qPrintable(rows.join(QLatin1Char('|'))));
            QVERIFY(rows.contains(QStringLiteral("Name: NAME")));
            QCOMPARE(rows.size(), columns->count());
            QVERIFY(RowNames(fields).startsWith(QStringLiteral("default")));
            QCOMPARE(Name(dialog.findChild<QPushButton *>(QStringLiteral("btnOK"))), QStringLiteral("OK"));
        });
        h.Click("btnSetFields");
        QVERIFY(inspected);
    }
};

int main(int argc, char **argv)
{
    OffscreenWithoutDisplay();
    QApplication app(argc, argv);
    TestAccessibility test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_accessibility.moc"
