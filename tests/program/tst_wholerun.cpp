// SPDX-License-Identifier: GPL-3.0-or-later
#include "../support/ArdenixHarness.h"

#include <QApplication>
#include <QDir>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cmath>

namespace {

// The stand-in's columns that take ADIF data, filled by the default mapping.
const QStringList kColumns = {"CALL", "RST_SENT", "RST_RCVD", "STX", "SRX", "NAME", "STATE"};

using Record = QMap<QString, QString>; // ADIF field name (upper case) to value

// A contact as it should reach the logger's log, or as it did.
struct Contact {
    QStringList fields; // "NAME=value" for each column with a value
    QString mode;       // MODE and SUBMODE as the logger writes them
    double txMhz = 0;
    double rxMhz = 0; // 0 unless split
    QString band;     // expected: the input's BAND where it has no FREQ, else ""; logged: the logger's BAND
};

QString Describe(const Contact &c)
{
    return QStringLiteral("%1 | %2 | %3 | %4 | %5")
        .arg(c.fields.join(QLatin1Char(' ')), c.mode)
        .arg(c.txMhz, 0, 'f', 6)
        .arg(c.rxMhz, 0, 'f', 6)
        .arg(c.band);
}

double ToHertz(double mhz) { return std::round(mhz * 1e6); }

// The input is read here on its own, without Ardenix's reader, so that the
// expectation does not come from the code under test: ADI by the byte
// lengths of its tags, ADX with Qt's XML reader. Only what the comparison needs.
QList<Record> ReadAdi(const QByteArray &bytes)
{
    static const QRegularExpression endOfHeader(QStringLiteral("<eoh>"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch header = endOfHeader.match(QString::fromLatin1(bytes));
    qsizetype at = header.hasMatch() ? header.capturedEnd() : 0;
    QList<Record> records;
    Record record;
    while (true) {
        const qsizetype open = bytes.indexOf('<', at);
        const qsizetype close = open < 0 ? -1 : bytes.indexOf('>', open);
        if (close < 0)
            break;
        const QList<QByteArray> parts = bytes.mid(open + 1, close - open - 1).split(':');
        const QString name = QString::fromLatin1(parts[0]).toUpper();
        bool hasLength = false;
        const int length = parts.size() > 1 ? parts[1].toInt(&hasLength) : 0;
        at = close + 1;
        if (name == QLatin1String("EOR")) {
            records << record;
            record.clear();
        } else if (hasLength) {
            record[name] = QString::fromUtf8(bytes.mid(at, length));
            at += length;
        }
    }
    return records;
}

QList<Record> ReadAdx(const QByteArray &bytes)
{
    QXmlStreamReader xml(bytes);
    QList<Record> records;
    Record record;
    bool inRecord = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("RECORD")) {
            inRecord = true;
        } else if (xml.isStartElement() && inRecord) {
            const QString name = xml.name().toString().toUpper();
            record[name] = xml.readElementText();
        } else if (xml.isEndElement() && xml.name() == QLatin1String("RECORD")) {
            records << record;
            record.clear();
            inRecord = false;
        }
    }
    return records;
}

// Bands whose sideband is LSB, by the usual practice below 10 MHz.
const QStringList kLowerSidebandBands = {"2190m", "630m", "560m", "160m", "80m", "60m", "40m"};

// The logger's MODE and SUBMODE for an ADIF MODE: the modes the logger has, spelt exactly so.
QString LoggerMode(const QString &mode, bool lowerSideband)
{
    if (mode == QLatin1String("SSB"))
        return lowerSideband ? QStringLiteral("SSB/LSB") : QStringLiteral("SSB/USB");
    static const QStringList same = {"CW", "FM", "AM", "RTTY"};
    return same.contains(mode) ? mode : QString();
}

double NumberOr0(const QString &text)
{
    bool isNumber = false;
    const double value = text.toDouble(&isNumber);
    return isNumber ? value : 0;
}

// What the first `limit` records of the input should give in the logger's log.
QList<Contact> Expected(const QString &path, int limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    QList<Record> records = path.endsWith(QLatin1String(".adx")) ? ReadAdx(bytes) : ReadAdi(bytes);
    // This file counts its lengths in letters, not bytes, where they differ:
    // <NAME:4>Jörg. Read by bytes that is "Jör"; its true value is given here.
    if (path.endsWith(QLatin1String("/pyadif_utf8_charcount.adi")) && records.size() == 5)
        records[4][QStringLiteral("NAME")] = QStringLiteral("Jörg");

    QList<Contact> contacts;
    for (const Record &record : records.mid(0, limit)) {
        Contact c;
        for (const QString &column : kColumns) {
            if (!record.value(column).isEmpty())
                c.fields << column + QLatin1Char('=') + record.value(column);
        }
        c.txMhz = NumberOr0(record.value(QStringLiteral("FREQ")));
        if (c.txMhz == 0)
            c.band = record.value(QStringLiteral("BAND")).toLower();
        const double rxMhz = NumberOr0(record.value(QStringLiteral("FREQ_RX")));
        c.rxMhz = rxMhz != 0 && ToHertz(rxMhz) != ToHertz(c.txMhz) ? rxMhz : 0;
        const bool lowerSideband = c.txMhz != 0 ? c.txMhz <= 10.0 : kLowerSidebandBands.contains(c.band);
        c.mode = LoggerMode(record.value(QStringLiteral("MODE")), lowerSideband);
        contacts << c;
    }
    return contacts;
}

// What the logger wrote, read the same way.
QList<Contact> Logged(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<Contact> contacts;
    for (const Record &record : ReadAdi(file.readAll())) {
        Contact c;
        for (const QString &column : kColumns) {
            if (!record.value(column).isEmpty())
                c.fields << column + QLatin1Char('=') + record.value(column);
        }
        const QString submode = record.value(QStringLiteral("SUBMODE"));
        c.mode = record.value(QStringLiteral("MODE")) + (submode.isEmpty() ? QString() : QLatin1Char('/') + submode);
        c.txMhz = NumberOr0(record.value(QStringLiteral("FREQ")));
        c.rxMhz = NumberOr0(record.value(QStringLiteral("FREQ_RX")));
        c.band = record.value(QStringLiteral("BAND")).toLower();
        contacts << c;
    }
    return contacts;
}

// Without FREQ in the input, the contact must land in the input's band.
bool Same(const Contact &got, const Contact &want)
{
    const bool frequency = want.band.isEmpty() ? ToHertz(got.txMhz) == ToHertz(want.txMhz) : got.band == want.band;
    return got.fields == want.fields && got.mode == want.mode && frequency && ToHertz(got.rxMhz) == ToHertz(want.rxMhz);
}

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
            QVERIFY2(Same(got, want), qPrintable(QStringLiteral("contact %1:\n  logged   %2\n  expected %3")
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
