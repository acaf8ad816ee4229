// SPDX-License-Identifier: GPL-3.0-or-later
#include "../support/ArdenixHarness.h"

#include <QApplication>

namespace {

const QByteArray kLog = AdifRecord("K1ABC", "20261128", "120000") + AdifRecord("W2XYZ", "20261128", "120001")
    + AdifRecord("N3QQ", "20261128", "120002") + AdifRecord("VE3RX", "20261128", "120003");

// The calls of the contacts in the logger's own ADIF log, in order.
QStringList LoggedCalls(const QString &adifLog)
{
    AdifReaderControl reader;
    QStringList calls;
    if (!QFile::exists(adifLog))
        return calls;
    reader.SetFileName(adifLog);
    while (reader.NextRecord())
        calls << reader.FieldValue(QStringLiteral("CALL"));
    return calls;
}

enum class Command { Play, SkipDupes, Customize };

} // namespace

// The window against a logger that fails in each way it can: every failure
// ends in the top-level report naming the error and the call, and nothing
// more reaches the logger, so no contact is logged twice or made up.
class TestFaults : public QObject {
    Q_OBJECT
private slots:
    void loggerFailure_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("command");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");
        QTest::addColumn<int>("logged");
        QTest::newRow("exits during a playback")
            << QStringList{"--exit-at", "EnterQso:3"} << int(Command::Play) << 440
            << "Automation error: EnterQso: the program has gone away during the call "
               "(it exited or dropped its bus connection)"
            << 2;
        QTest::newRow("hangs") << QStringList{"--delay", "3400"} << int(Command::Play) << 440
                               << "Automation error: GetCurrentEntry: no answer within 3000 ms" << 0;
        QTest::newRow("answers with an error")
            << QStringList{"--fail", "SetLogFrequencyEx:2"} << int(Command::Play) << 440
            << "Automation error: SetLogFrequencyEx: vantrel.Error.Injected: Injected failure of SetLogFrequencyEx (call 2)"
            << 1;
        QTest::newRow("attributes of the wrong type")
            << QStringList{"--wrong-type", "GetFieldAttributesN"} << int(Command::Play) << 13
            << "Type mismatch (GetFieldAttributesN answered the text \"wrong\")" << 0;
        QTest::newRow("an entry that is no object")
            << QStringList{"--wrong-type", "GetCurrentEntry"} << int(Command::Play) << 13
            << "Type mismatch (GetCurrentEntry answered the text \"wrong\")" << 0;
        QTest::newRow("a dupe answer of the wrong type")
            << QStringList{"--wrong-type", "Dupe"} << int(Command::SkipDupes) << 13
            << "Type mismatch (Dupe answered the text \"wrong\")" << 0;
        QTest::newRow("exits while skipping dupes")
            << QStringList{"--exit-at", "Dupe:1"} << int(Command::SkipDupes) << 440
            << "Automation error: Dupe: the program has gone away during the call "
               "(it exited or dropped its bus connection)"
            << 0;
        QTest::newRow("exits while listing the columns for the dialog")
            << QStringList{"--exit-at", "FieldTitle:3"} << int(Command::Customize) << 440
            << "Automation error: FieldTitle: the program has gone away during the call "
               "(it exited or dropped its bus connection)"
            << 0;
    }
    void loggerFailure()
    {
        QFETCH(QStringList, options);
        QFETCH(int, command);
        QFETCH(int, number);
        QFETCH(QString, description);
        QFETCH(int, logged);
        ArdenixHarness h;
        const QString adifLog = h.WriteTestFile(QStringLiteral("logger.adi"), QByteArray());
        QVERIFY(h.StartLogger(QStringList{QStringLiteral("--log-adif"), adifLog} + options));
        h.ChooseFile(h.WriteLog(kLog));
        int callsDuringReport = -1;
        h.OnReport([&] {
            // A timer event and clicks that arrive while the report is showing do nothing.
            const qsizetype before = h.Calls().size();
            h.Tick();
            for (const char *method : {"btnNow_Click", "cmdSkip_Click", "btnGo_Click", "btnSetFields_Click"})
                QMetaObject::invokeMethod(&h.Window(), method);
            callsDuringReport = int(h.Calls().size() - before);
        });
        h.OnDialog([](frmFieldEdit &dialog) { dialog.accept(); });

        switch (Command(command)) {
        case Command::Play:
            h.Click("btnGo");
            for (int i = 0; i < 10 && h.Errors().isEmpty(); ++i)
                h.Tick();
            break;
        case Command::SkipDupes:
            h.Click("cmdSkip");
            break;
        case Command::Customize:
            h.Click("btnSetFields");
            QCOMPARE(h.DialogsOpened(), 0);
            break;
        }

        QCOMPARE(h.Errors().size(), 1);
        QCOMPARE(h.Errors().first().number(), number);
        QCOMPARE(h.Errors().first().description(), description);
        QCOMPARE(callsDuringReport, 0);
        h.Tick();
        QCOMPARE(h.Errors().size(), 1);
        QCOMPARE(LoggedCalls(adifLog), (QStringList{"K1ABC", "W2XYZ", "N3QQ"}.mid(0, logged)));
    }

    // "Vantrel is not running!" for each command, and each works once the logger runs.
    void loggerStartedLater_data()
    {
        QTest::addColumn<int>("command");
        QTest::newRow("Go") << int(Command::Play);
        QTest::newRow("Skip dupes") << int(Command::SkipDupes);
        QTest::newRow("Customize Fields...") << int(Command::Customize);
    }
    void loggerStartedLater()
    {
        QFETCH(int, command);
        const char *button = command == int(Command::Play) ? "btnGo"
            : command == int(Command::SkipDupes)           ? "cmdSkip"
                                                           : "btnSetFields";
        ArdenixHarness h;
        h.ChooseFile(h.WriteLog(kLog));
        h.Click(button);
        QCOMPARE(h.Messages(), QStringList{"Ardenix: Vantrel is not running!"});
        QCOMPARE(h.DialogsOpened(), 0);
        QVERIFY(!h.Timer()->isActive());
        QVERIFY(h.Button(button)->isEnabled());

        QVERIFY(h.StartLogger());
        h.Click(button);
        QCOMPARE(h.Messages().size(), 1);
        QCOMPARE(h.CountOf(QStringLiteral("GetCurrentEntry")), 1);
        if (command == int(Command::Play))
            QVERIFY(h.Tick() && h.CountOf(QStringLiteral("EnterQso")) == 1);
        else if (command == int(Command::SkipDupes))
            QCOMPARE(h.CountOf(QStringLiteral("Dupe")), 1);
        else
            QCOMPARE(h.DialogsOpened(), 1);
        QVERIFY(h.Errors().isEmpty());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults.moc"
