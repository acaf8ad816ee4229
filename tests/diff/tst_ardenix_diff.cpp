// SPDX-License-Identifier: GPL-3.0-or-later
// ardenix-diff's matching rules, one row each, through the program itself:
// two small logs in, the counts of its JSON and its exit status out.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "AdifRecord.h"
#include "WriteFile.h"

namespace {

// A contact on 2024-03-01 at `time`, with the exchange field SRX and any extra fields.
QByteArray Qso(const QByteArray &call, const QByteArray &time, const QByteArray &freq = "14.025",
               const QByteArray &mode = "CW", const QByteArray &extra = "<SRX:1>5 ")
{
    return AdifRecord(call, "20240301", time, mode, freq, extra);
}

QByteArray Log(const QByteArrayList &records)
{
    return "<EOH>\n" + records.join();
}

const QByteArray kCabrillo = "START-OF-LOG: 3.0\nCALLSIGN: W1AW\nCONTEST: SOME-TEST\n"
                             "QSO: 14025 CW 2024-03-01 1200 W1AW 599 5 K1ABC 599 7\n"
                             "QSO:  7025 CW 2024-03-01 1201 W1AW 599 6 K2DEF 599 8\nEND-OF-LOG:\n";

} // namespace

class TestArdenixDiff : public QObject {
    Q_OBJECT

private slots:
    void matching_data();
    void matching();
};

void TestArdenixDiff::matching_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QList<int>>("counts"); // missing, extra, of them doubled, changed

    const QByteArray a = Qso("K1ABC", "120000");
    const QByteArray b = Qso("K2DEF", "120100", "7.025");
    const QList<int> none{0, 0, 0, 0};
    QTest::newRow("the same log") << Log({a, b}) << Log({a, b}) << QStringList() << 0 << none;
    QTest::newRow("stamped 90 s later") << Log({a}) << Log({Qso("K1ABC", "120130")}) << QStringList() << 0 << none;
    QTest::newRow("stamped 150 s later") << Log({a}) << Log({Qso("K1ABC", "120230")}) << QStringList() << 1
                                         << QList<int>{1, 1, 0, 0};
    QTest::newRow("--minutes 3 takes it") << Log({a}) << Log({Qso("K1ABC", "120230")})
                                          << QStringList{"--minutes", "3"} << 0 << none;
    QTest::newRow("call in other letter case") << Log({a}) << Log({Qso("k1abc", "120000")}) << QStringList() << 0
                                               << none;
    QTest::newRow("stored twice") << Log({a, b}) << Log({a, Qso("K1ABC", "120020"), b}) << QStringList() << 1
                                  << QList<int>{0, 1, 1, 0};
    QTest::newRow("one call on two bands") << Log({a, Qso("K1ABC", "120200", "7.030")})
                                           << Log({Qso("K1ABC", "120200", "7.030"), a}) << QStringList() << 0 << none;
    QTest::newRow("one band of two lost") << Log({a, Qso("K1ABC", "120200", "7.030")})
                                          << Log({Qso("K1ABC", "120200", "7.030")}) << QStringList() << 1
                                          << QList<int>{1, 0, 0, 0};
    QTest::newRow("two tries, each its nearest") << Log({a, Qso("K1ABC", "120100")})
                                                 << Log({Qso("K1ABC", "120105"), Qso("K1ABC", "120005")})
                                                 << QStringList() << 0 << none;
    QTest::newRow("another mode is another contact") << Log({a}) << Log({Qso("K1ABC", "120000", "14.025", "RTTY")})
                                                     << QStringList() << 1 << QList<int>{1, 1, 0, 0};
    QTest::newRow("exchange changed") << Log({a, b}) << Log({Qso("K1ABC", "120000", "14.025", "CW", "<SRX:2>15 "), b})
                                      << QStringList() << 1 << QList<int>{0, 0, 0, 1};
    QTest::newRow("--fields leaves it out") << Log({a}) << Log({Qso("K1ABC", "120000", "14.025", "CW", "<SRX:2>15 ")})
                                            << QStringList{"--fields", "RST_SENT,FREQ"} << 0 << none;
    QTest::newRow("same number, same name") << Log({Qso("K1ABC", "120000", "14.025", "CW", "<SRX:3>007 <NAME:3>ann ")})
                                            << Log({Qso("K1ABC", "120000", "14.025", "CW", "<SRX:1>7 <NAME:3>ANN ")})
                                            << QStringList() << 0 << none;
    QTest::newRow("frequency within 1 kHz") << Log({a}) << Log({Qso("K1ABC", "120000", "14.0259")}) << QStringList()
                                            << 0 << none;
    QTest::newRow("frequency beyond 1 kHz") << Log({a}) << Log({Qso("K1ABC", "120000", "14.0265")}) << QStringList()
                                            << 1 << QList<int>{0, 0, 0, 1};
    QTest::newRow("a field the logger keeps nowhere") << Log({Qso("K1ABC", "120000", "14.025", "CW", "<NAME:3>Ann ")})
                                                      << Log({Qso("K1ABC", "120000", "14.025", "CW", "")})
                                                      << QStringList() << 0 << none;
    QTest::newRow("Cabrillo against ADIF") << kCabrillo
                                           << Log({Qso("K1ABC", "120000", "14.025", "CW", ""),
                                                   Qso("K2DEF", "120100", "7.025", "CW", "")})
                                           << QStringList() << 0 << none;
    QTest::newRow("unreadable STORED") << Log({a}) << QByteArray() << QStringList() << 2 << QList<int>();
    QTest::newRow("bad --minutes") << Log({a}) << Log({a}) << QStringList{"--minutes", "-1"} << 2 << QList<int>();
}

void TestArdenixDiff::matching()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, stored);
    QFETCH(QStringList, options);
    QFETCH(int, exitCode);
    QFETCH(QList<int>, counts);

    QTemporaryDir dir;
    const QString sourcePath = dir.filePath(QStringLiteral("source.log"));
    const QString storedPath = dir.filePath(QStringLiteral("stored.adi")); // absent when empty: unreadable
    QVERIFY(WriteFile(sourcePath, source));
    if (!stored.isEmpty())
        QVERIFY(WriteFile(storedPath, stored));

    QProcess diff;
    diff.start(QStringLiteral(ARDENIX_DIFF_PATH), options + QStringList{"--json", sourcePath, storedPath});
    QVERIFY(diff.waitForFinished(30000));
    const QByteArray errors = diff.readAllStandardError();
    QCOMPARE(diff.exitCode(), exitCode);
    if (exitCode == 2) {
        QVERIFY2(errors.startsWith("ardenix-diff: "), errors.constData());
        return;
    }
    const QJsonObject result = QJsonDocument::fromJson(diff.readAllStandardOutput()).object();
    const QJsonArray extra = result.value(QStringLiteral("extra")).toArray();
    const int doubled = int(std::count_if(extra.begin(), extra.end(), [](const QJsonValue &found) {
        return found.toObject().value(QStringLiteral("doubles")).isObject();
    }));
    const QList<int> got{int(result.value(QStringLiteral("missing")).toArray().size()), int(extra.size()), doubled,
                         int(result.value(QStringLiteral("changed")).toArray().size())};
    QCOMPARE(got, counts);
}

QTEST_GUILESS_MAIN(TestArdenixDiff)
#include "tst_ardenix_diff.moc"
