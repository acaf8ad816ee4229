// SPDX-License-Identifier: GPL-3.0-or-later
// Cabrillo logs through the reader: detection by content, the fields of
// each contest layout, the spreading of a minute's contacts, bad lines, and
// the shared sample logs (skipped when they are absent).

#include "AdifReader.h"
#include "ExerciseReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "../support/WriteFile.h"

namespace {

QString CorpusDir() { return QStringLiteral(ARDENIX_SHARED_DIR "/corpus/cabrillo"); }

QByteArray Log(const QByteArray &contest, const QByteArray &lines)
{
    return "START-OF-LOG: 3.0\nCONTEST: " + contest + "\nCALLSIGN: W1AW\n" + lines + "END-OF-LOG:\n";
}

// The current record as "NAME=value|...", leaving out the fields named.
QString Listed(AdifReader &reader, const QStringList &leftOut = {})
{
    QStringList fields;
    for (const QString &name : reader.CurrentFieldNames())
        if (!leftOut.contains(name))
            fields << name + QLatin1Char('=') + reader.FieldValue(name);
    return fields.join(QLatin1Char('|'));
}

// Every record's TIME_ON, and the Hour/Minute/Second properties agreeing with it.
QStringList Times(const QByteArray &data, size_t chunk)
{
    AdifReader reader;
    reader.OpenMemory(data, chunk);
    QStringList times;
    while (reader.NextRecord()) {
        const QString time = reader.FieldValue("TIME_ON");
        const adif::TimeStamp t = reader.Time();
        const int parts = t.hour * 10000 + t.minute * 100 + t.second;
        times << (time.toInt() == parts ? time : time + QStringLiteral("!=") + QString::number(parts));
    }
    return times;
}

} // namespace

class TestReaderCabrillo : public QObject {
    Q_OBJECT
private slots:
    void detection_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("cabrillo");
        QTest::addColumn<QString>("call"); // of the first record; empty for none
        const QByteArray qso = "QSO: 14025 CW 2024-11-23 1200 W1AW 599 5 DL1ABC 599 14\n";
        QTest::newRow("usual") << "START-OF-LOG: 3.0\nCONTEST: CQ-WW-CW\n" + qso << true << "DL1ABC";
        QTest::newRow("letter case, no space") << "start-of-log:2.0\r\n" + qso << true << "DL1ABC";
        QTest::newRow("blank lines first") << "\n  \r\n\tSTART-OF-LOG: 3.0\n" + qso << true << "DL1ABC";
        QTest::newRow("byte-order mark") << "\xEF\xBB\xBFSTART-OF-LOG: 3.0\n" + qso << true << "DL1ABC";
        QTest::newRow("another first line") << "CONTEST: CQ-WW-CW\nSTART-OF-LOG: 3.0\n" + qso << false << "";
        QTest::newRow("ADI that mentions it") << QByteArray("START-OF-LOG <EOH><CALL:6>DL1ABC<EOR>") << false << "DL1ABC";
    }
    void detection()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, cabrillo);
        QFETCH(QString, call);
        // By content, whatever the name: a log named .adi is still Cabrillo.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("log.adi"));
        QVERIFY(WriteFile(path, data));
        AdifReader reader;
        reader.Open(path);
        const bool record = reader.NextRecord();
        QCOMPARE(reader.IsCabrillo(), cabrillo);
        QCOMPARE(record ? reader.FieldValue("CALL") : QString(), call);
    }

    // One QSO line of each layout: the fields by ADIF name, in order (the
    // date, time, frequency, mode and contest are checked elsewhere).
    void layouts_data()
    {
        QTest::addColumn<QByteArray>("contest");
        QTest::addColumn<QByteArray>("exchange");
        QTest::addColumn<QString>("fields");
        const QString calls = QStringLiteral("CALL=%1|STATION_CALLSIGN=%2|");
        QTest::newRow("CQ-WW, transmitter") << QByteArray("CQ-WW-CW") << QByteArray("W3AAA 599 5 MW0ZZZ 599 14 1")
            << calls.arg("MW0ZZZ", "W3AAA") + "STX_STRING=599 5|SRX_STRING=599 14|RST_SENT=599|RST_RCVD=599|CQZ=14|APP_ARDENIX_TRANSMITTER=1";
        QTest::newRow("CQ-WW-RTTY") << QByteArray("CQ-WW-RTTY") << QByteArray("CR3AA 599 33 DX W3BB 599 05 PA")
            << calls.arg("W3BB", "CR3AA") + "STX_STRING=599 33 DX|SRX_STRING=599 05 PA|RST_SENT=599|RST_RCVD=599|CQZ=05";
        QTest::newRow("CQ-WPX") << QByteArray("CQ-WPX-CW") << QByteArray("KB4AA 599 0002 ME6ZZ 599 0001 1")
            << calls.arg("ME6ZZ", "KB4AA") + "STX_STRING=599 0002|SRX_STRING=599 0001|RST_SENT=599|STX=0002|RST_RCVD=599|SRX=0001|APP_ARDENIX_TRANSMITTER=1";
        QTest::newRow("IARU zone") << QByteArray("IARU-HF") << QByteArray("I4ZZ 599 28 EU6ZZ 599 29 0")
            << calls.arg("EU6ZZ", "I4ZZ") + "STX_STRING=599 28|SRX_STRING=599 29|RST_SENT=599|RST_RCVD=599|ITUZ=29|APP_ARDENIX_TRANSMITTER=0";
        QTest::newRow("IARU society") << QByteArray("IARU-HF") << QByteArray("DJ3ZZ 599 28 EI0ZZ 599 IRTS")
            << calls.arg("EI0ZZ", "DJ3ZZ") + "STX_STRING=599 28|SRX_STRING=599 IRTS|RST_SENT=599|RST_RCVD=599";
        QTest::newRow("ARRL-DX") << QByteArray("ARRL-DX-SSB") << QByteArray("ZF1ZZ 59 K N3ZZ 59 VA")
            << calls.arg("N3ZZ", "ZF1ZZ") + "STX_STRING=59 K|SRX_STRING=59 VA|RST_SENT=59|RST_RCVD=59";
        QTest::newRow("ARRL-10") << QByteArray("ARRL-10") << QByteArray("HK3ZZ 599 1 VA3ZZ 599 ON 0")
            << calls.arg("VA3ZZ", "HK3ZZ") + "STX_STRING=599 1|SRX_STRING=599 ON|RST_SENT=599|RST_RCVD=599|APP_ARDENIX_TRANSMITTER=0";
        QTest::newRow("ARRL-160") << QByteArray("ARRL-160") << QByteArray("W1AW 599 CT K3ZZ 599 MDC")
            << calls.arg("K3ZZ", "W1AW") + "STX_STRING=599 CT|SRX_STRING=599 MDC|RST_SENT=599|RST_RCVD=599";
        QTest::newRow("CQ-160") << QByteArray("CQ-160-CW") << QByteArray("KD4ZZ 599 MD K3ZZ 599 MD")
            << calls.arg("K3ZZ", "KD4ZZ") + "STX_STRING=599 MD|SRX_STRING=599 MD|RST_SENT=599|RST_RCVD=599";
        QTest::newRow("WAE, spaced id") << QByteArray("WAE CW") << QByteArray("OM2ZZ 599 0002 K3YY 599 0001")
            << calls.arg("K3YY", "OM2ZZ") + "STX_STRING=599 0002|SRX_STRING=599 0001|RST_SENT=599|STX=0002|RST_RCVD=599|SRX=0001";
        QTest::newRow("ARRL-SS") << QByteArray("ARRL-SS-CW") << QByteArray("KD4ZZ 1 U 71 MDC K6ZZ 001 U 74 SF")
            << calls.arg("K6ZZ", "KD4ZZ") + "STX_STRING=1 U 71 MDC|SRX_STRING=001 U 74 SF|STX=1|SRX=001|PRECEDENCE=U|CHECK=74|ARRL_SECT=SF";
        QTest::newRow("NAQP") << QByteArray("NAQP-CW") << QByteArray("K3XX Al SC VE2ZZ ANNE QC")
            << calls.arg("VE2ZZ", "K3XX") + "STX_STRING=Al SC|SRX_STRING=ANNE QC|NAME=ANNE|STATE=QC";
        QTest::newRow("NAQP, their QTH blank") << QByteArray("NAQP-SSB") << QByteArray("K3XX AL SC DL1ABC HANS")
            << calls.arg("DL1ABC", "K3XX") + "STX_STRING=AL SC|SRX_STRING=HANS|NAME=HANS";
        QTest::newRow("NAQP, their QTH blank, transmitter") << QByteArray("NAQP-SSB") << QByteArray("K3XX AL SC DL1ABC HANS 1")
            << calls.arg("DL1ABC", "K3XX") + "STX_STRING=AL SC|SRX_STRING=HANS|NAME=HANS|APP_ARDENIX_TRANSMITTER=1";
        QTest::newRow("NAQP, my QTH blank, transmitter") << QByteArray("NAQP-CW") << QByteArray("DL1ABC HANS K3XX AL SC 1")
            << calls.arg("K3XX", "DL1ABC") + "STX_STRING=HANS|SRX_STRING=AL SC|NAME=AL|STATE=SC|APP_ARDENIX_TRANSMITTER=1";
        QTest::newRow("Field Day") << QByteArray("ARRL-FD") << QByteArray("W1AW 2A CT K3ZZ 1D MDC")
            << calls.arg("K3ZZ", "W1AW") + "STX_STRING=2A CT|SRX_STRING=1D MDC|CLASS=1D|ARRL_SECT=MDC";
        QTest::newRow("unknown, report") << QByteArray("LA-QSO-PARTY") << QByteArray("KX5XXX 599 BEAU KX0XXX 599 ORLE")
            << calls.arg("KX0XXX", "KX5XXX") + "STX_STRING=599 BEAU|SRX_STRING=599 ORLE|RST_SENT=599|RST_RCVD=599";
        QTest::newRow("unknown, no report, transmitter") << QByteArray("XYZ-TEST") << QByteArray("W1AW 001 K3ZZ 034 0")
            << calls.arg("K3ZZ", "W1AW") + "STX_STRING=001|SRX_STRING=034|APP_ARDENIX_TRANSMITTER=0";
    }
    void layouts()
    {
        QFETCH(QByteArray, contest);
        QFETCH(QByteArray, exchange);
        QFETCH(QString, fields);
        AdifReader reader;
        reader.OpenMemory(Log(contest, "QSO: 14025 CW 2024-11-23 1200 " + exchange + "\n"));
        QVERIFY(reader.NextRecord());
        QCOMPARE(Listed(reader, {"QSO_DATE", "TIME_ON", "FREQ", "MODE", "CONTEST_ID"}), fields);
        QCOMPARE(reader.FieldValue("CONTEST_ID"), QString::fromLatin1(contest));
        QVERIFY(!reader.NextRecord());
    }

    void frequencyAndMode_data()
    {
        QTest::addColumn<QByteArray>("freq");
        QTest::addColumn<QByteArray>("mode");
        QTest::addColumn<QString>("field");
        QTest::addColumn<double>("frequency");
        QTest::addColumn<QString>("adifMode");
        QTest::newRow("kHz") << QByteArray("14025") << QByteArray("CW") << "FREQ=14.025" << 14.025 << "CW";
        QTest::newRow("kHz with a fraction") << QByteArray("7040.5") << QByteArray("ry") << "FREQ=7.0405" << 7.0405 << "RTTY";
        QTest::newRow("nominal 160 m") << QByteArray("1800") << QByteArray("PH") << "FREQ=1.800" << 1.8 << "SSB";
        QTest::newRow("kHz with leading zeros") << QByteArray("0014025.0") << QByteArray("CW") << "FREQ=14.0250" << 14.025 << "CW";
        QTest::newRow("kHz with an exponent") << QByteArray("1.4025e4") << QByteArray("CW") << "FREQ=14.025000000" << 14.025 << "CW";
        QTest::newRow("kHz beyond 12 decimals") << QByteArray("14025.1234567890123") << QByteArray("CW")
                                                << "FREQ=14.025123456789011" << 14.0251234567890123 << "CW";
        QTest::newRow("6 m band") << QByteArray("50") << QByteArray("DG") << "BAND=6m" << 50.0 << "RTTY";
        QTest::newRow("2 m band") << QByteArray("144") << QByteArray("FM") << "BAND=2m" << 144.0 << "FM";
        QTest::newRow("23 cm band") << QByteArray("1.2g") << QByteArray("CW") << "BAND=23cm" << 1240.0 << "CW";
        QTest::newRow("1 mm band") << QByteArray("241G") << QByteArray("CW") << "BAND=1mm" << 241000.0 << "CW";
        QTest::newRow("other mode as written") << QByteArray("21000") << QByteArray("CW/Digital") << "FREQ=21.000" << 21.0 << "CW/DIGITAL";
    }
    void frequencyAndMode()
    {
        QFETCH(QByteArray, freq);
        QFETCH(QByteArray, mode);
        QFETCH(QString, field);
        QFETCH(double, frequency);
        QFETCH(QString, adifMode);
        AdifReader reader;
        reader.OpenMemory(Log("CQ-WW-CW", "QSO: " + freq + " " + mode + " 2024-11-23 1200 W1AW 599 5 K3ZZ 599 5\n"));
        QVERIFY(reader.NextRecord());
        const QString name = field.section(QLatin1Char('='), 0, 0);
        QCOMPARE(name + QLatin1Char('=') + reader.FieldValue(name), field);
        QCOMPARE(reader.FieldValue(name == QLatin1String("FREQ") ? QStringLiteral("BAND") : QStringLiteral("FREQ")), QString());
        QCOMPARE(reader.Frequency(), frequency);
        QCOMPARE(reader.Mode(), adifMode);
        QCOMPARE(reader.FieldValue("QSO_DATE"), QStringLiteral("20241123"));
    }

    // n records in one minute: the k-th gets second k * 60 / n, counted over
    // the records only (X-QSO, QTC and bad lines in between are no part of
    // the run), with small chunks as with large ones.
    void minuteSpreading_data()
    {
        QTest::addColumn<size_t>("chunk");
        QTest::newRow("usual chunks") << size_t(0);
        QTest::newRow("16-byte chunks") << size_t(16);
    }
    void minuteSpreading()
    {
        QFETCH(size_t, chunk);
        QByteArray lines;
        const auto qso = [&](const char *date, const char *time) {
            lines += QByteArray("QSO: 14025 CW ") + date + " " + time + " W1AW 599 5 K3ZZ 599 5\n";
        };
        for (int i = 0; i < 5; ++i) {
            qso("2024-11-23", "1200");
            if (i == 2)
                lines += "X-QSO: 14025 CW 2024-11-23 1200 W1AW 599 5 K1ZZ 599 5\n"
                         "QTC: 14025 CW 2024-11-23 1200 W1AW 1/2 K3ZZ 1159 DL1ABC 0001\n"
                         "QSO: 14025 CW 2024-11-23 12:00 W1AW 599 5 K1ZZ 599 5\n";
        }
        qso("2024-11-23", "1201");
        for (int i = 0; i < 3; ++i)
            qso("2024-11-23", "1202");
        qso("2024-11-24", "1202"); // the same minute on the next day is another minute
        qso("2024-11-23", "1202"); // and a minute met again starts a new run
        const QStringList expected = {"120000", "120012", "120024", "120036", "120048", "120100",
                                      "120200", "120220", "120240", "120200", "120200"};
        QCOMPARE(Times(Log("CQ-WW-CW", lines), chunk), expected);
    }

    // A million contacts in one minute: read at a flat cost, seconds rising
    // from 0 to 59.
    void longRunInOneMinute()
    {
        QByteArray lines = "START-OF-LOG: 3.0\n";
        const QByteArray qso = "QSO: 14025 CW 2024-11-23 1200 W1AW 599 5 K3ZZ 599 5\n";
        lines.reserve(qso.size() * 1000000 + 32);
        for (int i = 0; i < 1000000; ++i)
            lines += qso;
        AdifReader reader;
        reader.OpenMemory(lines);
        int records = 0, last = -1;
        while (reader.NextRecord()) {
            const int second = reader.Time().second;
            QVERIFY(second == last || second == last + 1);
            last = second;
            ++records;
        }
        QCOMPARE(records, 1000000);
        QCOMPARE(last, 59);
    }

    // A bad QSO line is skipped with its offset and why; the lines around it stay.
    void badLines_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("why");
        QTest::newRow("too few fields") << QByteArray("QSO: 14025 CW 2024-11-23 1200 W1AW") << "5 fields";
        QTest::newRow("no fields") << QByteArray("QSO:") << "0 fields";
        QTest::newRow("month 13") << QByteArray("QSO: 14025 CW 2024-13-01 1200 W1AW K3ZZ") << "date \"2024-13-01\"";
        QTest::newRow("30 February") << QByteArray("QSO: 14025 CW 2024-02-30 1200 W1AW K3ZZ") << "date \"2024-02-30\"";
        QTest::newRow("slashed date") << QByteArray("QSO: 14025 CW 2024/11/23 1200 W1AW K3ZZ") << "date \"2024/11/23\"";
        QTest::newRow("hour 24") << QByteArray("QSO: 14025 CW 2024-11-23 2400 W1AW K3ZZ") << "time \"2400\"";
        QTest::newRow("three digits") << QByteArray("QSO: 14025 CW 2024-11-23 930 W1AW K3ZZ") << "time \"930\"";
        QTest::newRow("frequency not a number") << QByteArray("QSO: 14O25 CW 2024-11-23 1200 W1AW K3ZZ") << "frequency \"14O25\"";
        QTest::newRow("below 160 m, no band") << QByteArray("QSO: 1000 CW 2024-11-23 1200 W1AW K3ZZ") << "frequency \"1000\"";
    }
    void badLines()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, why);
        const QByteArray good = "QSO: 14025 CW 2024-11-23 1200 W1AW 599 5 K3ZZ 599 5\n";
        const QByteArray head = "START-OF-LOG: 3.0\r\nCONTEST: CQ-WW-CW\r\n" + good;
        AdifReader reader;
        reader.OpenMemory(head + line + "\r\n" + QByteArray(good).replace("K3ZZ", "K1ZZ") + "END-OF-LOG:\r\n");
        QStringList calls;
        while (reader.NextRecord())
            calls << reader.FieldValue("CALL");
        QCOMPARE(calls, (QStringList{"K3ZZ", "K1ZZ"}));
        const adif::Diagnostics &d = reader.Diagnosed();
        QCOMPARE(d.count, uint64_t(1));
        QCOMPARE(d.kept.front().offset, uint64_t(head.size()));
        QVERIFY2(d.kept.front().message.contains(why) && d.kept.front().message.endsWith("skipped"),
                 qPrintable(d.kept.front().message));
    }

    // No END-OF-LOG and no last line end: read to the end. Latin-1 bytes read
    // as the ADIF reader reads them. X-QSO and QTC lines are no records, nor
    // is anything after END-OF-LOG; a line too long to hold is skipped.
    void endsAndText()
    {
        const QByteArray qtc = "QTC: 14024 CW 2025-08-09 0020 OM2ZZ 2/5 N8ZZ 0012 IK1ZZZ 0021\n";
        const QByteArray body = "QSO: 28044 CW 2025-01-11 1800 K3XX AL SC EA5XX Jos\xE9 DX\n" + qtc
                                + "X-QSO: 28044 CW 2025-01-11 1801 K3XX AL SC N2ZZ MIKE NY\n"
                                + "QSO: 28044 CW 2025-01-11 1802 K3XX AL SC " + QByteArray(300, 'X') + " MIKE NY\n"
                                + "x-qso:28044 CW 2025-01-11 1803 K3XX AL SC N2ZZ MIKE NY\n"
                                + "QSO:\t28044\tCW\t2025-01-11\t1803\tK3DNE AL SC  KH7ZZ   MIKE  AZ";
        const QByteArray head = "START-OF-LOG: 3.0\nCONTEST: NAQP-CW\n";
        for (const QByteArray &tail : {QByteArray(), QByteArray("\nEND-OF-LOG:\nQSO: 28044 CW 2025-01-11 1804 K3XX AL SC N2ZZ MIKE NY\n")}) {
            AdifReader reader;
            reader.OpenMemory(head + body + tail, 64, 256);
            QStringList seen;
            while (reader.NextRecord())
                seen << Listed(reader, {"QSO_DATE", "FREQ", "MODE", "CONTEST_ID", "STATION_CALLSIGN", "STX_STRING", "SRX_STRING"});
            QCOMPARE(seen, (QStringList{QString::fromUtf8("CALL=EA5XX|TIME_ON=180000|NAME=Jos\xC3\xA9|STATE=DX"),
                                        "CALL=KH7ZZ|TIME_ON=180300|NAME=MIKE|STATE=AZ"}));
            QCOMPARE(reader.XQsoCount(), uint64_t(2));
            QCOMPARE(reader.Diagnosed().count, uint64_t(1)); // the line too long
            QCOMPARE(reader.Diagnosed().kept.front().offset, uint64_t(head.size() + body.indexOf("QSO: 28044 CW 2025-01-11 1802")));
        }
    }

    void sharedLogs_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("xqso");
        QTest::addColumn<QString>("first");
        // Records are the QSO lines: none of the shared logs has a bad one.
        QTest::newRow("IARU-HF") << "2023_IARU-HF_I44W.log" << 4826 << 0
                                 << "CALL=EU6O|FREQ=14.002|RST_RCVD=599|ITUZ=29|APP_ARDENIX_TRANSMITTER=0";
        QTest::newRow("ARRL-10") << "2024_arrl-10_HK3RD.log" << 1801 << 0 << "CALL=VA3TNM|SRX_STRING=599 ON|STX_STRING=599 1";
        QTest::newRow("ARRL-SS") << "2024_arrl-ss-cw_KD4D.log" << 1010 << 0
                                 << "CALL=K6JS|STX=1|SRX=001|PRECEDENCE=U|CHECK=74|ARRL_SECT=SF";
        QTest::newRow("CQ-WW-CW") << "2024_cq-ww-cw_w3lpl.log" << 9396 << 0
                                  << "CALL=MW0IDX|FREQ=7.008|CQZ=14|STATION_CALLSIGN=W3LPL|CONTEST_ID=CQ-WW-CW";
        QTest::newRow("CQ-WW-RTTY") << "2024_cq-ww-rtty_cr3dx.log" << 7225 << 0
                                    << "CALL=W3KB|MODE=RTTY|CQZ=05|SRX_STRING=599 05 PA|APP_ARDENIX_TRANSMITTER=0";
        QTest::newRow("ARRL-DX-SSB") << "2025_ARRL-DX-SSB_ZF1A.log" << 8690 << 0
                                     << "CALL=N3US|MODE=SSB|RST_SENT=59|RST_RCVD=59|SRX_STRING=59 VA";
        QTest::newRow("CQ-160") << "2025_CQ-160-cw_kd4d.log" << 798 << 0 << "CALL=K3RA|FREQ=1.817|RST_RCVD=599|SRX_STRING=599 MD";
        QTest::newRow("NAQP") << "2025_NAQP-CW_Jan_K3DNE.log" << 460 << 0 << "CALL=VE2FK|NAME=DUB|STATE=QC|TIME_ON=180000";
        QTest::newRow("CQ-WPX") << "2025_cq-wpx-cw_kb4dx.log" << 4230 << 0 << "CALL=HG3A|STX=0001|SRX=0001|APP_ARDENIX_TRANSMITTER=0";
        QTest::newRow("WAE with QTC") << "2025_wae-cw_OM2VL.log" << 1167 << 0 << "CALL=W4ZF|STX=0001|SRX=0001|CONTEST_ID=WAE CW";
        QTest::newRow("parser test, unknown contest") << "cabrillo-tests_LAQP.log" << 1 << 0
                                                      << "CALL=KX0XXX|RST_RCVD=599|SRX_STRING=599 ORLE|MODE=CW/Digital";
        QTest::newRow("parser test, X-QSO") << "cabrillo-tests_iaru.log" << 1 << 1 << "CALL=EI0HQ|SRX_STRING=599 IRTS|ITUZ=";
    }
    void sharedLogs()
    {
        if (!QDir(CorpusDir()).exists())
            QSKIP("shared sample logs are absent");
        QFETCH(QString, file);
        QFETCH(int, records);
        QFETCH(int, xqso);
        QFETCH(QString, first);
        const QString path = QDir(CorpusDir()).filePath(file);
        AdifReader c;
        c.Open(path);
        int count = 0;
        while (c.NextRecord()) {
            if (count == 0) {
                for (const QString &pair : first.split(QLatin1Char('|')))
                    QCOMPARE(pair.section('=', 0, 0) + '=' + c.FieldValue(pair.section('=', 0, 0)), pair);
            }
            QVERIFY(c.Time().year >= 2016 && c.Time().second < 60 && !c.FieldValue("CALL").isEmpty() && c.Frequency() >= 1.8);
            ++count;
        }
        QCOMPARE(count, records);
        QCOMPARE(c.XQsoCount(), uint64_t(xqso));
        QCOMPARE(c.Diagnosed().count, uint64_t(0));
        QVERIFY(c.FieldNames().size() >= 8);

        // The fuzzer's checks: small chunks read alike, the names match the records.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString problem = ExerciseReader(f.readAll());
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
};

QTEST_GUILESS_MAIN(TestReaderCabrillo)
#include "tst_reader_cabrillo.moc"
