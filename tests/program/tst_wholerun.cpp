// SPDX-License-Identifier: GPL-3.0-or-later
#include "../support/ArdenixHarness.h"
#include "ModeCode.h"

#include <QApplication>
#include <QDir>
#include <cmath>

namespace {

// The stand-in's columns that take ADIF data, filled by the default mapping.
const QStringList kColumns = {"CALL", "RST_SENT", "RST_RCVD", "STX", "SRX", "NAME", "STATE"};

// A contact as it should reach the logger's log, or as it did.
struct Contact {
    QStringList fields; // "NAME=value" for each column with a value
    QString mode;       // MODE and SUBMODE as the logger writes them
    double txMhz = 0;
    double rxMhz = 0; // 0 unless split
};

QString Describe(const Contact &c)
{
    return QStringLiteral("%1 | %2 | %3 | %4").arg(c.fields.join(QLatin1Char(' ')), c.mode).arg(c.txMhz, 0, 'f', 6).arg(c.rxMhz, 0, 'f', 6);
}

// The logger's MODE and SUBMODE for a mode code.
QString LoggerMode(int code)
{
    static const QStringList modes = {"", "SSB/LSB", "SSB/USB", "CW", "FM", "AM", "RTTY"};
    return modes.value(code);
}

// What the first `limit` records of the input should give in the logger's log.
QList<Contact> Expected(const QString &path, int limit)
{
    AdifReaderControl reader;
    reader.SetFileName(path);
    QList<Contact> contacts;
    while (contacts.size() < limit && reader.NextRecord()) {
        Contact c;
        for (const QString &column : kColumns) {
            const QString value = reader.FieldValue(column);
            if (!value.isEmpty())
                c.fields << column + QLatin1Char('=') + value;
        }
        c.mode = LoggerMode(ModeCode(reader.Mode(), reader.Frequency()));
        c.txMhz = reader.Frequency();
        c.rxMhz = reader.SplitFrequency() != reader.Frequency() ? reader.SplitFrequency() : 0;
        contacts << c;
    }
    return contacts;
}

// What the logger wrote, frequencies rounded to its 1 Hz as the input is compared.
QList<Contact> Logged(const QString &path)
{
    AdifReaderControl reader;
    reader.SetFileName(path);
    QList<Contact> contacts;
    while (reader.NextRecord()) {
        Contact c;
        for (const QString &column : kColumns) {
            const QString value = reader.FieldValue(column);
            if (!value.isEmpty())
                c.fields << column + QLatin1Char('=') + value;
        }
        const QString submode = reader.FieldValue(QStringLiteral("SUBMODE"));
        c.mode = reader.FieldValue(QStringLiteral("MODE")) + (submode.isEmpty() ? QString() : QLatin1Char('/') + submode);
        c.txMhz = reader.FieldValue(QStringLiteral("FREQ")).toDouble();
        c.rxMhz = reader.FieldValue(QStringLiteral("FREQ_RX")).toDouble();
        contacts << c;
    }
    return contacts;
}

double ToHertz(double mhz) { return std::round(mhz * 1e6); }

} // namespace

// Whole logs replayed at "5/sec" through the real window into the stand-in;
// its ADIF log must hold every contact once, in order, with its fields,
// mode, both frequencies and split flag.
class TestWholeRun : public QObject {
    Q_OBJECT
private slots:
    void replayReachesTheLoggerWhole_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("limit");
        QTest::newRow("sample contest") << QStringLiteral(ARDENIX_SOURCE_DIR "/samples/sample-contest.adi") << 1000;
        const QDir corpus(QStringLiteral(ARDENIX_SHARED_DIR "/corpus/adif"));
        for (const QString &name : corpus.entryList({QStringLiteral("*.adi"), QStringLiteral("*.adx")}, QDir::Files))
            QTest::newRow(qPrintable(name)) << corpus.filePath(name) << 150;
    }
    void replayReachesTheLoggerWhole()
    {
        QFETCH(QString, path);
        QFETCH(int, limit);
        ArdenixHarness h;
        const QString adifLog = h.WriteTestFile(QStringLiteral("logger.adi"), QByteArray());
        QVERIFY(h.StartLogger({QStringLiteral("--log-adif"), adifLog}));
        h.ChooseFile(path);
        h.SetSpeed(4);
        h.Click("btnGo");
        int steps = 0;
        while (steps < limit && h.Tick()) {
            ++steps;
            if (h.Timer()->isActive())
                QCOMPARE(h.Timer()->interval(), 200);
        }
        QVERIFY(h.Errors().isEmpty());

        const QList<Contact> expected = Expected(path, limit);
        const QList<Contact> logged = Logged(adifLog);
        QCOMPARE(logged.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const Contact &want = expected[i];
            const Contact &got = logged[i];
            const bool same = got.fields == want.fields && got.mode == want.mode
                && ToHertz(got.txMhz) == ToHertz(want.txMhz) && ToHertz(got.rxMhz) == ToHertz(want.rxMhz);
            QVERIFY2(same, qPrintable(QStringLiteral("contact %1:\n  logged   %2\n  expected %3")
                                          .arg(i + 1).arg(Describe(got), Describe(want))));
        }
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestWholeRun test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_wholerun.moc"
