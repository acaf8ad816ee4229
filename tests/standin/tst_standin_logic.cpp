// SPDX-License-Identifier: GPL-3.0-or-later
// The stand-in's own logic, without a bus.

#include "AdifReader.h"
#include "bus/FaultPlan.h"
#include "logger/AdifLogFile.h"
#include "logger/BadInput.h"
#include "logger/Band.h"
#include "logger/ColumnSet.h"
#include "logger/ContactLog.h"
#include "logger/Preload.h"
#include "logger/StandinLogger.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "FeedTesting.h"
#include "../support/WriteFile.h"

namespace {

// The message text of the BadInput that `load` throws, or "" when none.
template <typename Load>
QString BadInputMessage(Load load)
{
    try {
        load();
    } catch (const BadInput &error) {
        return error.Message();
    }
    return QString();
}

} // namespace

class TestStandinLogic : public QObject {
    Q_OBJECT

private slots:
    void bandFromFrequency_data();
    void bandFromFrequency();
    void columnFileIsRead();
    void columnFileErrorsNameTheLine_data();
    void columnFileErrorsNameTheLine();
    void dupeNeedsSameCallBandAndMode();
    void preloadReadsBandsAndFrequencies();
    void preloadReadsAnAdifLog();
    void preloadErrorsNameTheLine_data();
    void preloadErrorsNameTheLine();
    void loggerLogsAndClearsTheEntry();
    void valueLimitCountsUtf8Bytes_data();
    void valueLimitCountsUtf8Bytes();
    void adifRecordFields();
    void loggedValueReadsBackThroughTheReader_data();
    void loggedValueReadsBackThroughTheReader();
    void largestRecordReadsBackThroughTheReader();
    void faultPlanCountsCallsPerMember();
    void faultPlanRejectsBadMemberCalls_data();
    void faultPlanRejectsBadMemberCalls();
};

void TestStandinLogic::bandFromFrequency_data()
{
    QTest::addColumn<double>("khz");
    QTest::addColumn<QString>("band");
    // Both edges, in kHz, of every band the stand-in has always known: each is still known by its name.
    const struct {
        const char *name;
        double lowKhz, highKhz;
    } known[] = {
        {"2190m", 135.7, 137.8},     {"630m", 472, 479},          {"160m", 1800, 2000},
        {"80m", 3500, 4000},         {"60m", 5060, 5450},         {"40m", 7000, 7300},
        {"30m", 10100, 10150},       {"20m", 14000, 14350},       {"17m", 18068, 18168},
        {"15m", 21000, 21450},       {"12m", 24890, 24990},       {"10m", 28000, 29700},
        {"6m", 50000, 54000},        {"4m", 70000, 71000},        {"2m", 144000, 148000},
        {"1.25m", 222000, 225000},   {"70cm", 420000, 450000},    {"33cm", 902000, 928000},
        {"23cm", 1240000, 1300000},  {"13cm", 2300000, 2450000},  {"9cm", 3300000, 3500000},
        {"6cm", 5650000, 5925000},   {"3cm", 10000000, 10500000}, {"1.25cm", 24000000, 24250000},
    };
    for (const auto &band : known) {
        QTest::addRow("%s low edge", band.name) << band.lowKhz << band.name;
        QTest::addRow("%s high edge", band.name) << band.highKhz << band.name;
    }
    // The bands the reader's table adds.
    QTest::newRow("560m") << 502.0 << "560m";
    QTest::newRow("8m") << 40680.0 << "8m";
    QTest::newRow("5m above 6m's top") << 54000.001 << "5m";
    QTest::newRow("5m") << 60000.0 << "5m";
    QTest::newRow("6mm") << 47088000.0 << "6mm";
    QTest::newRow("submm") << 300000000.0 << "submm";
    QTest::newRow("below 160m") << 1799.9 << "";
    QTest::newRow("just above 20m") << 14350.1 << "";
    QTest::newRow("between 8m and 6m") << 47000.0 << "";
    QTest::newRow("no frequency") << 0.0 << "";
    QTest::newRow("negative") << -14025.0 << "";
}

void TestStandinLogic::bandFromFrequency()
{
    QFETCH(double, khz);
    QFETCH(QString, band);
    QCOMPARE(Band::FromKhz(khz), band);
}

void TestStandinLogic::columnFileIsRead()
{
    const ColumnSet columns = ColumnSet::FromText(QStringLiteral("# a sprint\n"
                                                                 "\n"
                                                                 "call\tCall\t5\n"
                                                                 "SRX\tNr rcvd\t0x4\r\n"
                                                                 "APP_X_MULT\tMult\t8\n"),
                                                  QStringLiteral("sprint.txt"));
    QCOMPARE(columns.Count(), 3);
    QCOMPARE(columns.AdifName(1), QStringLiteral("CALL"));
    QCOMPARE(columns.Title(2), QStringLiteral("Nr rcvd"));
    QCOMPARE(columns.Attributes(2), 4);
    QCOMPARE(columns.Attributes(3), 8);
    QCOMPARE(columns.NumberOf(QStringLiteral("srx")), 2);

    // Outside the set: empty and zero, as hosts rely on to find the end.
    QCOMPARE(columns.AdifName(4), QString());
    QCOMPARE(columns.AdifName(0), QString());
    QCOMPARE(columns.Title(-1), QString());
    QCOMPARE(columns.Attributes(4), 0);
    QCOMPARE(columns.NumberOf(QStringLiteral("NAME")), 0);
}

void TestStandinLogic::columnFileErrorsNameTheLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two fields") << "CALL\tCall\t5\nNAME\tName\n" << "cols.txt line 2";
    QTest::newRow("spaces, not tabs") << "# x\nCALL Call 5\n" << "cols.txt line 2";
    QTest::newRow("attributes not a number") << "CALL\tCall\tfive\n" << "cols.txt line 1";
    QTest::newRow("negative attributes") << "CALL\tCall\t-4\n" << "cols.txt line 1";
    QTest::newRow("bad ADIF name") << "CALL SIGN\tCall\t4\n" << "cols.txt line 1";
    QTest::newRow("empty title") << "CALL\t \t4\n" << "cols.txt line 1";
    QTest::newRow("repeated column") << "CALL\tCall\t4\n\ncall\tCall 2\t4\n" << "cols.txt line 3";
    QTest::newRow("no columns") << "# nothing\n\n" << "cols.txt: no columns";
    QTest::newRow("ADIF name too long") << "CALL\tCall\t4\n" + QString(65, 'N') + "\tLong\t4\n" << "cols.txt line 2";
    QString tooMany;
    for (int i = 1; i <= ColumnSet::kMaxColumns + 1; ++i)
        tooMany += QStringLiteral("F%1\tField %1\t4\n").arg(i);
    QTest::newRow("too many columns") << tooMany << QStringLiteral("cols.txt line %1").arg(ColumnSet::kMaxColumns + 1);
}

void TestStandinLogic::columnFileErrorsNameTheLine()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QString message = BadInputMessage([&] { ColumnSet::FromText(text, QStringLiteral("cols.txt")); });
    QVERIFY2(message.startsWith(expected), qPrintable(message));
}

void TestStandinLogic::dupeNeedsSameCallBandAndMode()
{
    ContactLog log;
    log.Add(ContactOn(QStringLiteral(" K1ABC "), 14025, Mode::kCw));
    log.Add(ContactOn(QStringLiteral("W9XYZ"), 0, Mode::kCw));

    QVERIFY(log.Contains(QStringLiteral("k1abc"), QStringLiteral("20m"), Mode::kCw));
    QVERIFY(!log.Contains(QStringLiteral("K1ABC"), QStringLiteral("40m"), Mode::kCw));
    QVERIFY(!log.Contains(QStringLiteral("K1ABC"), QStringLiteral("20m"), Mode::kUsb));
    QVERIFY(!log.Contains(QStringLiteral("K1AB"), QStringLiteral("20m"), Mode::kCw));
    // Unknown frequency is a band of its own.
    QVERIFY(log.Contains(QStringLiteral("W9XYZ"), QString(), Mode::kCw));
    QVERIFY(!log.Contains(QStringLiteral("W9XYZ"), QStringLiteral("20m"), Mode::kCw));
}

void TestStandinLogic::preloadReadsBandsAndFrequencies()
{
    ContactLog log;
    Preload::Text(log, QStringLiteral("# call band mode\nW1AW\t20M\t3\nK2XX  7025.5 2\n\nN0CALL 99999 0\nG4AAA SUBMM 0\n"),
                  QStringLiteral("pre.tsv"));
    QCOMPARE(log.Count(), 4);
    QCOMPARE(log.At(0).band, QStringLiteral("20m"));
    QCOMPARE(log.At(1).band, QStringLiteral("40m"));
    QCOMPARE(log.At(1).txKhz, 7025.5);
    QCOMPARE(log.At(2).band, QString());
    QCOMPARE(log.At(3).band, QStringLiteral("submm"));
    QVERIFY(log.Contains(QStringLiteral("w1aw"), QStringLiteral("20m"), Mode::kCw));
    QVERIFY(log.Contains(QStringLiteral("K2XX"), QStringLiteral("40m"), Mode::kUsb));
}

void TestStandinLogic::preloadReadsAnAdifLog()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.adi"));
    QVERIFY(WriteFile(path, "old log<eoh>\n"
                            "<call:4>W1AW<freq:6>14.025<mode:2>CW<eor>\n"
                            "<call:4>K2XX<band:3>40m<mode:3>SSB<eor>\n"
                            "<call:4>N3QQ<freq:6>21.300<freq_rx:6>21.350<mode:3>USB<eor>\n"
                            "<call:4>AA7B<freq:6>146.52<mode:3>PSK<eor>\n"));

    ContactLog log;
    Preload::File(log, path);
    QCOMPARE(log.Count(), 4);
    QVERIFY(log.Contains(QStringLiteral("W1AW"), QStringLiteral("20m"), Mode::kCw));
    // The band's edge stands in for the missing FREQ.
    QVERIFY(log.Contains(QStringLiteral("K2XX"), QStringLiteral("40m"), Mode::kLsb));
    QVERIFY(log.Contains(QStringLiteral("N3QQ"), QStringLiteral("15m"), Mode::kUsb));
    QVERIFY(log.At(2).split);
    QVERIFY(log.Contains(QStringLiteral("AA7B"), QStringLiteral("2m"), Mode::kNone));
}

void TestStandinLogic::preloadErrorsNameTheLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("missing mode") << "W1AW 20m 3\nK2XX 20m\n" << "pre.tsv line 2";
    QTest::newRow("unknown band") << "W1AW 11m 3\n" << "pre.tsv line 1";
    QTest::newRow("frequency not finite") << "W1AW 20m 3\nK2XX inf 3\n" << "pre.tsv line 2";
    QTest::newRow("negative frequency") << "W1AW -14025 3\n" << "pre.tsv line 1";
    QTest::newRow("mode out of range") << "# c\nW1AW 20m 7\n" << "pre.tsv line 2";
    QTest::newRow("mode not a number") << "W1AW 20m CW\n" << "pre.tsv line 1";
}

void TestStandinLogic::preloadErrorsNameTheLine()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    ContactLog log;
    const QString message = BadInputMessage([&] { Preload::Text(log, text, QStringLiteral("pre.tsv")); });
    QVERIFY2(message.startsWith(expected), qPrintable(message));
}

void TestStandinLogic::loggerLogsAndClearsTheEntry()
{
    StandinLogger logger(ColumnSet::Standard());
    QSignalSpy logged(&logger, &StandinLogger::ContactLogged);
    const int call = logger.Columns().NumberOf(QStringLiteral("CALL"));
    const int points = logger.Columns().NumberOf(QStringLiteral("APP_VANTREL_PTS"));

    QCOMPARE(logger.SetField(0, QStringLiteral("x")), StandinLogger::FieldResult::NoSuchColumn);
    QCOMPARE(logger.SetField(logger.Columns().Count() + 1, QStringLiteral("x")),
             StandinLogger::FieldResult::NoSuchColumn);
    QVERIFY(!logger.EntryIsDupe());  // no call yet

    for (int round = 0; round < 2; ++round) {
        QCOMPARE(logger.SetField(call, QStringLiteral("k1abc ")), StandinLogger::FieldResult::Set);
        logger.SetFrequency(Mode::kCw, 14030, 14025, false);
        QCOMPARE(logger.EntryIsDupe(), round == 1);
        logger.EnterQso(QDateTime(QDate(2024, 3, 9), QTime(12, 0), Qt::UTC));
    }

    QCOMPARE(logged.count(), 2);
    QCOMPARE(logger.Log().Count(), 2);
    QCOMPARE(logger.Log().At(0).call, QStringLiteral("k1abc"));
    QCOMPARE(logger.Log().At(0).band, QStringLiteral("20m"));
    QCOMPARE(logger.Log().At(0).values[points - 1], QStringLiteral("1"));
    QCOMPARE(logger.Log().At(1).values[points - 1], QStringLiteral("0"));  // the dupe scores nothing

    QCOMPARE(logger.Entry().values[call - 1], QString());
    QCOMPARE(logger.Entry().mode, Mode::kNone);
    QCOMPARE(logger.Entry().txKhz, 0.0);
}

void TestStandinLogic::valueLimitCountsUtf8Bytes_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("taken");
    const int limit = StandinLogger::kMaxValueBytes;
    QTest::newRow("ASCII at the limit") << QString(limit, 'x') << true;
    QTest::newRow("ASCII one past") << QString(limit + 1, 'x') << false;
    QTest::newRow("two-byte letters at the limit") << QString(limit / 2, QChar(0xFC)) << true;
    // Half as many characters as the limit, but more bytes than it.
    QTest::newRow("two-byte letters one past") << QString(limit / 2, QChar(0xFC)) + "x" << false;
    QTest::newRow("ten megabytes") << QString(10 << 20, 'x') << false;
}

void TestStandinLogic::valueLimitCountsUtf8Bytes()
{
    QFETCH(QString, value);
    QFETCH(bool, taken);
    StandinLogger logger(ColumnSet::Standard());
    const StandinLogger::FieldResult result = logger.SetField(1, value);
    QCOMPARE(result, taken ? StandinLogger::FieldResult::Set : StandinLogger::FieldResult::TooLong);
    QCOMPARE(logger.Entry().values[0].size(), taken ? value.size() : 0);
}

void TestStandinLogic::adifRecordFields()
{
    const ColumnSet columns =
        ColumnSet::FromText(QStringLiteral("CALL\tCall\t4\nNAME\tName\t4\nSTATE\tSt\t4\n"), QStringLiteral("c"));
    Contact contact = ContactOn(QStringLiteral("DL1ABC"), 14200, Mode::kUsb);
    contact.rxKhz = 14205;
    contact.split = true;
    contact.values = {QStringLiteral("DL1ABC"), QStringLiteral("Jörg"), QString()};
    contact.loggedUtc = QDateTime(QDate(2024, 3, 9), QTime(7, 5, 3), Qt::UTC);

    const QByteArray record = AdifLogFile::Record(columns, contact);
    QCOMPARE(record,
             QByteArray("<CALL:6>DL1ABC <NAME:5>J\xc3\xb6rg <FREQ:4>14.2 <FREQ_RX:6>14.205 <BAND:3>20m "
                        "<MODE:3>SSB <SUBMODE:3>USB <QSO_DATE:8>20240309 <TIME_ON:6>070503 <EOR>\n"));

    contact.split = false;
    contact.mode = Mode::kNone;
    contact.txKhz = 0;
    contact.band = QString();
    const QByteArray plain = AdifLogFile::Record(columns, contact);
    QVERIFY(!plain.contains("FREQ"));
    QVERIFY(!plain.contains("<BAND"));
    QVERIFY(!plain.contains("<MODE"));
    QVERIFY(!plain.contains("<STATE"));

    QVERIFY(AdifLogFile::Header(contact.loggedUtc).endsWith("<EOH>\n"));
    QVERIFY(!AdifLogFile::Header(contact.loggedUtc).startsWith("<"));
}

void TestStandinLogic::loggedValueReadsBackThroughTheReader_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("end-of-record tag") << "<EOR>";
    QTest::newRow("end-of-header tag") << "x <EOH> y";
    QTest::newRow("a whole field") << "<CALL:3>ABC";
    QTest::newRow("a field cut short") << "<CALL:30>AB";
    QTest::newRow("open angle at the end") << "599 <";
    QTest::newRow("blanks around") << "  599 ";
    QTest::newRow("line breaks") << "one\r\ntwo\nthree";
    QTest::newRow("letters beyond ASCII") << "J\u00f6rg \u0416 \U0001F4FB";
    QTest::newRow("longest ASCII") << QString(StandinLogger::kMaxValueBytes, 'x');
    QTest::newRow("longest in three-byte letters") << QString(StandinLogger::kMaxValueBytes / 3, QChar(0x0416));
}

// Whatever a column takes, the reader gets back from the log, and the record
// after it stays whole.
void TestStandinLogic::loggedValueReadsBackThroughTheReader()
{
    QFETCH(QString, value);
    const ColumnSet columns =
        ColumnSet::FromText(QStringLiteral("CALL\tCall\t4\nNAME\tName\t4\n"), QStringLiteral("c"));
    Contact first = ContactOn(QStringLiteral("K1ABC"), 14025, Mode::kCw);
    first.values = {QStringLiteral("K1ABC"), value};
    first.loggedUtc = QDateTime(QDate(2024, 3, 9), QTime(7, 5, 3), Qt::UTC);
    Contact second = first;
    second.values = {QStringLiteral("W1AW"), QString()};

    AdifReader reader;
    reader.OpenMemory(AdifLogFile::Header(first.loggedUtc) + AdifLogFile::Record(columns, first)
                      + AdifLogFile::Record(columns, second));
    QVERIFY(reader.NextRecord());
    QCOMPARE(reader.FieldValue(QStringLiteral("NAME")), value);
    QCOMPARE(reader.FieldValue(QStringLiteral("CALL")), QStringLiteral("K1ABC"));
    QVERIFY(reader.NextRecord());
    QCOMPARE(reader.FieldValue(QStringLiteral("CALL")), QStringLiteral("W1AW"));
    QVERIFY(!reader.NextRecord());
}

// The column file's bounds and the value limit together keep the largest
// record within what the reader holds.
void TestStandinLogic::largestRecordReadsBackThroughTheReader()
{
    QString columnText;
    for (int i = 1; i <= ColumnSet::kMaxColumns; ++i)
        columnText += QStringLiteral("F%1\tField %2\t4\n")
                          .arg(i, ColumnSet::kMaxNameLength - 1, 10, QLatin1Char('0'))
                          .arg(i);
    const ColumnSet columns = ColumnSet::FromText(columnText, QStringLiteral("c"));
    Contact contact = ContactOn(QStringLiteral("K1ABC"), 14025, Mode::kCw);
    contact.rxKhz = 14030;
    contact.split = true;
    contact.loggedUtc = QDateTime(QDate(2024, 3, 9), QTime(7, 5, 3), Qt::UTC);
    for (int i = 1; i <= columns.Count(); ++i)
        contact.values.append(QString(StandinLogger::kMaxValueBytes, QChar('a' + i % 26)));

    AdifReader reader;
    reader.OpenMemory(AdifLogFile::Header(contact.loggedUtc) + AdifLogFile::Record(columns, contact));
    QVERIFY(reader.NextRecord());
    for (int i = 1; i <= columns.Count(); ++i)
        QCOMPARE(reader.FieldValue(columns.AdifName(i)), contact.values[i - 1]);
    QVERIFY(!reader.NextRecord());
}

void TestStandinLogic::faultPlanCountsCallsPerMember()
{
    FaultPlan plan({QStringLiteral("SetFieldN"), QStringLiteral("EnterQso"), QStringLiteral("Dupe")});
    plan.AddFailure(QStringLiteral("SetFieldN:2"));
    plan.AddExit(QStringLiteral("EnterQso:2"));
    plan.AddFailure(QStringLiteral("EnterQso:2"));
    plan.AddWrongType(QStringLiteral("Dupe"));

    QCOMPARE(plan.NextCall(QStringLiteral("SetFieldN")), FaultPlan::Action::Answer);
    QCOMPARE(plan.NextCall(QStringLiteral("EnterQso")), FaultPlan::Action::Answer);
    QCOMPARE(plan.NextCall(QStringLiteral("SetFieldN")), FaultPlan::Action::Fail);
    QCOMPARE(plan.NextCall(QStringLiteral("SetFieldN")), FaultPlan::Action::Answer);
    QCOMPARE(plan.NextCall(QStringLiteral("EnterQso")), FaultPlan::Action::Exit);  // exit wins over fail
    QCOMPARE(plan.NextCall(QStringLiteral("Dupe")), FaultPlan::Action::WrongType);
    QCOMPARE(plan.NextCall(QStringLiteral("Dupe")), FaultPlan::Action::WrongType);
    QCOMPARE(plan.CallCount(QStringLiteral("SetFieldN")), 3);
}

void TestStandinLogic::faultPlanRejectsBadMemberCalls_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("value");
    QTest::newRow("no count") << "fail" << "SetFieldN";
    QTest::newRow("count zero") << "fail" << "SetFieldN:0";
    QTest::newRow("count not a number") << "exit-at" << "SetFieldN:two";
    QTest::newRow("unknown member") << "exit-at" << "SetField:1";
    QTest::newRow("member case matters") << "wrong-type" << "dupe";
}

void TestStandinLogic::faultPlanRejectsBadMemberCalls()
{
    QFETCH(QString, option);
    QFETCH(QString, value);
    FaultPlan plan({QStringLiteral("SetFieldN"), QStringLiteral("Dupe")});
    const QString message = BadInputMessage([&] {
        if (option == QLatin1String("fail"))
            plan.AddFailure(value);
        else if (option == QLatin1String("exit-at"))
            plan.AddExit(value);
        else
            plan.AddWrongType(value);
    });
    QVERIFY2(message.startsWith(QStringLiteral("--") + option), qPrintable(message));
}

QTEST_GUILESS_MAIN(TestStandinLogic)
#include "tst_standin_logic.moc"
