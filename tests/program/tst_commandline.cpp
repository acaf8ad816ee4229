// SPDX-License-Identifier: GPL-3.0-or-later
#include "../support/ArdenixHarness.h"

#include <QDir>

namespace {

const QByteArray kDay = "20260101";

} // namespace

// "ardenix FILE": the file on the command line is chosen as a choice with
// "..." chooses it; a file that cannot be read gets a message and no choice.
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
};

int main(int argc, char **argv)
{
    OffscreenWithoutDisplay();
    QApplication app(argc, argv);
    TestCommandLine test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_commandline.moc"
