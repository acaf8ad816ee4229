// SPDX-License-Identifier: GPL-3.0-or-later
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "../support/WriteFile.h"

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run Dump(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(ADIF_DUMP_PATH), args);
    Run r;
    if (!p.waitForFinished(30000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace

class TestReaderDump : public QObject {
    Q_OBJECT
private slots:
    void jsonPerRecord()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("small.adi");
        QVERIFY(WriteFile(path, "Header text\n<PROGRAMID:4>test<EOH>\n"
                                "<CALL:5>DL1AB <QSO_DATE:8>20240102 <TIME_ON:6>030405 <FREQ:8>7.123456 <MODE:3>usb "
                                "<NOTES:13>say \"hi\"\t\\\x01\n<NAME:4>J\xC3\xB6rg<EOR>\n"
                                "<BAND:3>20m <FREQ_RX:7>14.2001 <call:1>X <CALL:1>Y<EOR>\n"));

        const Run r = Dump({path});
        QCOMPARE(r.exitCode, 0);
        const QList<QByteArray> lines = r.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 4);

        QJsonParseError error;
        const QJsonObject first = QJsonDocument::fromJson(lines[0], &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(first.value("Year").toInt(), 2024);
        QCOMPARE(first.value("Month").toInt(), 1);
        QCOMPARE(first.value("Day").toInt(), 2);
        QCOMPARE(first.value("Hour").toInt(), 3);
        QCOMPARE(first.value("Minute").toInt(), 4);
        QCOMPARE(first.value("Second").toInt(), 5);
        QCOMPARE(first.value("Frequency").toDouble(), 7.123456); // exact: printed to round-trip
        QCOMPARE(first.value("SplitFrequency").toDouble(), 7.123456);
        QCOMPARE(first.value("Mode").toString(), "SSB");
        const QJsonObject fields = first.value("fields").toObject();
        QCOMPARE(fields.value("NOTES").toString(), QString("say \"hi\"\t\\\x01\n"));
        QCOMPARE(fields.value("NAME").toString(), QString::fromUtf8("J\xC3\xB6rg"));
        QCOMPARE(fields.size(), 7);
        QVERIFY(!fields.contains("PROGRAMID"));
        // Fields in file order (QJsonObject sorts its keys, so look at the text).
        QVERIFY(lines[0].indexOf("\"CALL\"") < lines[0].indexOf("\"QSO_DATE\""));
        QVERIFY(lines[0].indexOf("\"QSO_DATE\"") < lines[0].indexOf("\"NAME\""));
        QVERIFY(lines[0].indexOf("\"NOTES\"") < lines[0].indexOf("\"NAME\""));

        const QJsonObject second = QJsonDocument::fromJson(lines[1], &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(second.value("Frequency").toDouble(), 14.0);
        QCOMPARE(second.value("SplitFrequency").toDouble(), 14.2001);
        QCOMPARE(second.value("Year").toInt(), 0);
        // A repeated field appears once, with its last value.
        QCOMPARE(second.value("fields").toObject().value("CALL").toString(), "Y");
        QCOMPARE(lines[1].count("\"CALL\""), 1);

        const QJsonObject names = QJsonDocument::fromJson(lines[2], &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(names.value("FieldNames").toArray().toVariantList(),
                 (QVariantList{"CALL", "QSO_DATE", "TIME_ON", "FREQ", "MODE", "NOTES", "NAME", "BAND", "FREQ_RX"}));

        QCOMPARE(lines[3], QByteArray("{\"DiagnosticCount\": 0, \"Diagnostics\": []}"));

        const Run count = Dump({"--count", path});
        QCOMPARE(count.exitCode, 0);
        QCOMPARE(count.out, QByteArray("records 2 fieldnames 9 diagnostics 0\n"));
    }

    // Damage is reported after the records: where, and what was made of it.
    void diagnosticsAfterTheRecords()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("damaged.adi");
        QVERIFY(WriteFile(path, "<EOH><CALL:20>ABC<EOR><CALL:3>DEF<EOR><CALL:3>GHI<EOR><CALL:9>JK"));
        const Run r = Dump({path});
        QCOMPARE(r.exitCode, 0);
        const QList<QByteArray> lines = r.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 5); // three records, the names, the diagnostics

        QJsonParseError error;
        const QJsonObject diagnostics = QJsonDocument::fromJson(lines.last(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(diagnostics.value("DiagnosticCount").toInt(), 2);
        const QJsonArray list = diagnostics.value("Diagnostics").toArray();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0].toObject().value("Offset").toInt(), 5);
        QVERIFY(list[0].toObject().value("Message").toString().contains("byte 17"));
        QCOMPARE(list[1].toObject().value("Offset").toInt(), 54);
        QVERIFY(list[1].toObject().value("Message").toString().contains("dropped"));

        const Run count = Dump({"--count", path});
        QCOMPARE(count.out, QByteArray("records 3 fieldnames 1 diagnostics 2\n"));
    }

    // A Cabrillo log: the bad line among the diagnostics, the X-QSO lines counted last.
    void cabrilloCountsXQsoLines()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("contest.log");
        QVERIFY(WriteFile(path, "START-OF-LOG: 3.0\nQSO: 14025 CW 2024-11-23 1200 W1AW 599 K3ZZ 599\n"
                                "X-QSO: 14025 CW 2024-11-23 1201 W1AW 599 K1ZZ 599\nQSO: 14025 CW 2024-11-23 99 W1AW K2ZZ\n"));
        const Run r = Dump({path});
        QCOMPARE(r.exitCode, 0);
        const QList<QByteArray> lines = r.out.trimmed().split('\n');
        QCOMPARE(lines.size(), 4); // the record, the names, the diagnostics, the X-QSO count
        QVERIFY(lines[0].contains("\"TIME_ON\": \"120000\""));
        QVERIFY(lines[2].contains("{\"Offset\": 116, \"Message\": \"a QSO line with the time \\\"99\\\", not hhmm; skipped\"}"));
        QCOMPARE(lines[3], QByteArray("{\"XQsoCount\": 1}"));
        QCOMPARE(Dump({"--count", path}).out, QByteArray("records 1 fieldnames 10 diagnostics 1 xqso 1\n"));
        QVERIFY(Dump({"--help"}).out.contains("second k * 60 / n"));
    }

    void unreadableFile()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath("nothing.adi");
        const Run r = Dump({missing});
        QVERIFY(r.exitCode > 0);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains(missing.toUtf8()), r.err.constData());

        QVERIFY(Dump({dir.path()}).exitCode > 0);
        QVERIFY(Dump({}).exitCode > 0);
    }
};

QTEST_GUILESS_MAIN(TestReaderDump)
#include "tst_reader_dump.moc"
