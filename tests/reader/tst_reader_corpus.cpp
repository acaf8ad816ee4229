// SPDX-License-Identifier: GPL-3.0-or-later
// The shared sample files: record counts and values known from the files
// themselves (see SOURCES.md beside them). Skips when they are absent.

#include "AdifReader.h"
#include "ExerciseReader.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <functional>

namespace {

QString CorpusDir() { return QStringLiteral(ARDENIX_SHARED_DIR "/corpus/adif"); }

struct Summary {
    int records = 0;
    QStringList names;
    // How many records have a non-empty value of each field asked for.
    QHash<QString, int> present;
};

// Reads the whole file; check() sees every record.
Summary ReadFile(const QString &file, const QStringList &countPresent = {},
                 const std::function<void(AdifReader &, int)> &check = {})
{
    AdifReader c;
    c.Open(QDir(CorpusDir()).filePath(file));
    Summary s;
    while (c.NextRecord()) {
        for (const QString &name : countPresent)
            if (!c.FieldValue(name).isEmpty())
                ++s.present[name];
        if (check)
            check(c, s.records);
        ++s.records;
    }
    s.names = c.FieldNames();
    return s;
}

} // namespace

class TestReaderCorpus : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        if (!QDir(CorpusDir()).exists())
            QSKIP("shared sample files are absent");
    }

    void recordCounts_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("records");
        QTest::newRow("ADIF 3.1.7 test") << "ADIF_317_test_QSOs_2026_03_22.adi" << 6197;
        QTest::newRow("WSJT-X CR LF") << "wsjtx261_windows_crlf.adi" << 185;
        QTest::newRow("JTDX") << "jtdx_wsjtx_log.adi" << 2272;
        QTest::newRow("Log4OM") << "log4om2_export.adi" << 122;
        QTest::newRow("N3FJP") << "n3fjp_aclog_export.adi" << 438;
        QTest::newRow("QRZ") << "qrz_logbook_download.adi" << 931;
        QTest::newRow("S.A.T.") << "csn_sat_satellite_log.adi" << 24;
        QTest::newRow("Minos") << "minos_vhf_contest_144mhz.adi" << 45;
        QTest::newRow("eQSL") << "eqsl_download_headerless.adi" << 107;
        QTest::newRow("UTF-8 characters") << "pyadif_utf8_charcount.adi" << 5;
        QTest::newRow("ADX") << "pyadif_goodfile.adx" << 2;
    }
    void recordCounts()
    {
        QFETCH(QString, file);
        QFETCH(int, records);
        QCOMPARE(ReadFile(file).records, records);
    }

    // Real files, odd lengths and all, read without a single recovery.
    void noDamageInRealFiles()
    {
        const QStringList files = QDir(CorpusDir()).entryList({"*.adi", "*.adx"}, QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString &file : files) {
            AdifReader c;
            c.Open(QDir(CorpusDir()).filePath(file));
            while (c.NextRecord()) {
            }
            const adif::Diagnostics &d = c.Diagnosed();
            QVERIFY2(d.count == 0, qPrintable(file + ": " + (d.kept.empty() ? QString() : d.kept.front().message)));
        }
    }

    // The fuzzer's entry point over every sample: both chunk sizes agree,
    // the name list matches the records, nothing trips.
    void fuzzEntryOverSamples()
    {
        const QStringList files = QDir(CorpusDir()).entryList({"*.adi", "*.adx"}, QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString &file : files) {
            QFile f(QDir(CorpusDir()).filePath(file));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QString problem = ExerciseReader(f.readAll());
            QVERIFY2(problem.isEmpty(), qPrintable(file + ": " + problem));
        }
    }

    void adifTestFile()
    {
        int withTranscript = 0;
        const Summary s = ReadFile("ADIF_317_test_QSOs_2026_03_22.adi", {"QSO_DATE", "FREQ_RX", "SUBMODE", "MY_AMP", "CALL"},
                                   [&](AdifReader &c, int n) {
                                       if (n == 0) {
                                           QCOMPARE(c.FieldValue("REMOTE_STATION_LAT"), "S018 28.430");
                                           QCOMPARE(c.FieldValue("MY_POWER_CATEGORY"), "QrpP");
                                           QCOMPARE(c.Time().year, 2026);
                                           QCOMPARE(c.Frequency(), 14.05);
                                       }
                                       // Lengths that count CR LF: the value stops before the next tag.
                                       const QString t = c.FieldValue("QSO_TRANSCRIPT");
                                       if (t.startsWith("NAME FRED")) {
                                           QCOMPARE(t, "NAME FRED\nQTH ALENCON\n73 ES GOOD DX");
                                           QCOMPARE(c.FieldValue("MY_AMP"), "1 KW");
                                           ++withTranscript;
                                       }
                                       QVERIFY(c.Time().year >= 1930);
                                       QVERIFY(!c.Mode().isEmpty());
                                       QVERIFY(c.Mode() == c.Mode().toUpper());
                                   });
        QCOMPARE(s.present.value("QSO_DATE"), 6197); // none lost to an over-read length
        QCOMPARE(s.present.value("CALL"), 6197);
        QCOMPARE(s.present.value("FREQ_RX"), 99);
        QCOMPARE(s.present.value("SUBMODE"), 183);
        QCOMPARE(withTranscript, 1);
        for (const char *header : {"ADIF_VER", "PROGRAMID", "USERDEF1", "CREATED_TIMESTAMP"})
            QVERIFY2(!s.names.contains(header), qPrintable(header));
        QVERIFY(s.names.contains("APP_CREATEADIFTESTFILES_WX"));
        QVERIFY(s.names.contains("MY_TEMPERATURE_FAHRENHEIT"));
        QStringList distinct = s.names;
        QCOMPARE(distinct.removeDuplicates(), 0);
    }

    void utf8CharacterCounts()
    {
        QString lastName;
        const Summary s = ReadFile("pyadif_utf8_charcount.adi", {"CALL"}, [&](AdifReader &c, int n) {
            if (n == 1) {
                QCOMPARE(c.Frequency(), 0.472); // no FREQ: lower edge of 630M
                QCOMPARE(c.FieldValue("QTH"), "Welschneudorf");
            }
            if (n == 4) {
                lastName = c.FieldValue("NAME");
                QCOMPARE(c.Frequency(), 24.79); // FREQ wins over the band it lies outside of
            }
        });
        QCOMPARE(lastName, QString::fromUtf8("J\xC3\xB6rg"));
        QCOMPARE(s.present.value("CALL"), 2);
        QCOMPARE(s.names.first(), "QSO_DATE");
        QVERIFY(!s.names.contains("PROGRAMID"));
    }

    void qrzByteCounts()
    {
        QStringList names;
        QString qth;
        int ssb = 0;
        const Summary s = ReadFile("qrz_logbook_download.adi", {"FREQ_RX"}, [&](AdifReader &c, int) {
            const QString name = c.FieldValue("NAME");
            if (name.contains(QChar(0xE9)) || name.contains(QChar(0xF4)) || name.contains(QChar(0xF3)))
                names << name;
            if (c.FieldValue("QTH").startsWith("Montr"))
                qth = c.FieldValue("QTH");
            const QString written = c.FieldValue("MODE").trimmed().toUpper();
            if (written == "USB" || written == "LSB") {
                QCOMPARE(c.Mode(), "SSB");
                ++ssb;
            }
            QCOMPARE(c.Time().hour * 100 + c.Time().minute, c.FieldValue("TIME_ON").trimmed().toInt());
        });
        QCOMPARE(qth, QString::fromUtf8("Montr\xC3\xA9" "al"));
        // The writer cut these names to their byte count; that is what the file holds.
        QVERIFY(names.contains(QString::fromUtf8("H\xC3\xA9lio De Oliveira Alve")));
        QVERIFY(names.contains(QString::fromUtf8("Claude C\xC3\xB4t")));
        QCOMPARE(ssb, 101);
        QCOMPARE(s.present.value("FREQ_RX"), 896);
    }

    void satelliteSplit()
    {
        int longSatMode = 0;
        ReadFile("csn_sat_satellite_log.adi", {}, [&](AdifReader &c, int n) {
            if (n == 0) {
                QCOMPARE(c.Frequency(), 145.987129);
                QCOMPARE(c.SplitFrequency(), 437.808609);
                QCOMPARE((QList<int>{c.Time().year, c.Time().month, c.Time().day, c.Time().hour, c.Time().minute,
                                     c.Time().second}),
                         (QList<int>{2022, 4, 1, 19, 3, 3}));
            }
            QCOMPARE(c.SplitFrequency(), c.FieldValue("FREQ_RX").toDouble());
            QCOMPARE(c.Frequency(), c.FieldValue("FREQ").toDouble());
            QVERIFY(c.SplitFrequency() != c.Frequency());
            // Length 3 for "VU": the byte reading ends at the next tag, so the line break belongs to the value.
            if (c.FieldValue("SAT_MODE").endsWith("\n"))
                ++longSatMode;
            QCOMPARE(c.FieldValue("SAT_MODE").trimmed().size(), 2);
            QCOMPARE(c.FieldValue("OPERATOR"), "GW0POA");
        });
        QCOMPARE(longSatMode, 18);
    }

    void otherWriters()
    {
        ReadFile("wsjtx261_windows_crlf.adi", {}, [](AdifReader &c, int n) {
            if (n == 0) {
                QCOMPARE(c.FieldValue("CALL"), "DL2MDQ");
                QCOMPARE(c.FieldValue("GRIDSQUARE"), QString());
                QCOMPARE(c.Frequency(), 144.174753);
                QCOMPARE(c.Time().second, 15);
            }
            QCOMPARE(c.Mode(), "FT8");
        });
        const Summary jtdx = ReadFile("jtdx_wsjtx_log.adi", {}, [](AdifReader &c, int n) {
            if (n == 0) {
                QCOMPARE(c.FieldValue("comment"), "FT8  Sent: -25  Rcvd: -11  Distance: 7906 km");
                QCOMPARE(c.Frequency(), 50.313912);
            }
        });
        QCOMPARE(jtdx.names.first(), "CALL");
        const Summary n3fjp = ReadFile("n3fjp_aclog_export.adi", {"FREQ"}, [](AdifReader &c, int n) {
            if (n == 0) {
                QCOMPARE(c.FieldValue("N3FJP_SPCNUM"), "OK");
                QCOMPARE(c.Frequency(), 14.061);
                QCOMPARE(c.Time().hour, 18);
            }
            QVERIFY(c.Frequency() > 0); // band fallback where FREQ is missing
        });
        QCOMPARE(n3fjp.present.value("FREQ"), 438 - 17);
        QVERIFY(n3fjp.names.contains("N3FJP_MODECONTEST"));
        QVERIFY(!n3fjp.names.contains("LOG_PGM"));
        ReadFile("minos_vhf_contest_144mhz.adi", {}, [](AdifReader &c, int n) {
            QCOMPARE(c.Frequency(), 144.0);
            if (n == 0) {
                QCOMPARE(c.FieldValue("STX"), "001");
                QCOMPARE(c.FieldValue("QSO_COMPL"), "YES");
            }
        });
        ReadFile("eqsl_download_headerless.adi", {}, [](AdifReader &c, int n) {
            if (n == 0) {
                QCOMPARE(c.FieldValue("CALL"), "WP4JD");
                QCOMPARE(c.FieldValue("RST_RCVD"), QString());
                QCOMPARE(c.Frequency(), 7.0);
                QCOMPARE(c.Time().day, 27);
            }
        });
        int sideband = 0;
        const Summary log4om = ReadFile("log4om2_export.adi", {"PROGRAMID"}, [&](AdifReader &c, int n) {
            // 35 bytes declared as 34, and no other reading ends at a tag: the declared bytes hold.
            if (n == 0)
                QCOMPARE(c.FieldValue("ADDRESS"), "x=================================");
            if (c.FieldValue("SUBMODE") == "USB" || c.FieldValue("SUBMODE") == "LSB") {
                QCOMPARE(c.Mode(), "SSB");
                ++sideband;
            }
        });
        QCOMPARE(sideband, 111);
        QCOMPARE(log4om.present.value("PROGRAMID"), 122); // repeated inside every record: a field there
        QVERIFY(!log4om.names.contains("ADIF_VERS"));
        QCOMPARE(log4om.names.first(), "CALL");
    }

    void adx()
    {
        const Summary s = ReadFile("pyadif_goodfile.adx", {}, [](AdifReader &c, int n) {
            if (n == 1) {
                QCOMPARE(c.FieldValue("QTH_INTL"), QString::fromUtf8("T\xC3\xB6st"));
                QCOMPARE(c.FieldValue("APP_TESTAPP_TESTFIELD"), "Test");
                QCOMPARE(c.Time().hour, 12);
            }
        });
        QCOMPARE(s.names, (QStringList{"CALL", "QSO_DATE", "TIME_ON", "QTH", "QTH_INTL", "APP_TESTAPP_TESTFIELD"}));
    }
};

QTEST_GUILESS_MAIN(TestReaderCorpus)
#include "tst_reader_corpus.moc"
