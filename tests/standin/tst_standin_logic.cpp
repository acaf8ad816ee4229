// The stand-in's own logic, without a bus.

#include "AdifLogFile.h"
#include "AdifReader.h"
#include "BadInput.h"
#include "ColumnSet.h"
#include "ContactLog.h"
#include "FaultPlan.h"
#include "StandinLogger.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "../support/WriteFile.h"

namespace {

// The message text of the BadInput that `load` throws, or "" when none.
template <typename Load>
QString badInputMessage(Load load)
{
    try {
        load();
    } catch (const BadInput &error) {
        return error.message();
    }
    return "";
}

Contact contactOn(const QString &call, double khz, int mode)
{
    Contact contact;
    contact.call = call;
    contact.band = Band::fromKhz(khz);
    contact.txKhz = khz;
    contact.rxKhz = khz;
    contact.mode = mode;
    return contact;
}

bool readerNextRecord(AdifReader &reader)
{
    return reader.Invoke(AdifReader::kNextRecord, InvokeKind::Method, {}).toInt() != 0;
}

QString readerFieldValue(AdifReader &reader, const QString &name)
{
    return reader.Invoke(AdifReader::kFieldValue, InvokeKind::PropertyGet, {name}).toString();
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
    QTest::newRow("160m low edge") << 1800.0 << "160m";
    QTest::newRow("160m high edge") << 2000.0 << "160m";
    QTest::newRow("below 160m") << 1799.9 << "";
    QTest::newRow("80m") << 3573.0 << "80m";
    QTest::newRow("40m") << 7074.0 << "40m";
    QTest::newRow("20m top") << 14350.0 << "20m";
    QTest::newRow("just above 20m") << 14350.1 << "";
    QTest::newRow("17m") << 18100.0 << "17m";
    QTest::newRow("10m") << 28500.0 << "10m";
    QTest::newRow("6m") << 50313.0 << "6m";
    QTest::newRow("2m") << 144300.0 << "2m";
    QTest::newRow("70cm") << 432100.0 << "70cm";
    QTest::newRow("23cm") << 1296200.0 << "23cm";
    QTest::newRow("3cm") << 10368100.0 << "3cm";
    QTest::newRow("no frequency") << 0.0 << "";
    QTest::newRow("negative") << -14025.0 << "";
}

void TestStandinLogic::bandFromFrequency()
{
    QFETCH(double, khz);
    QFETCH(QString, band);
    QCOMPARE(Band::fromKhz(khz), band);
}

void TestStandinLogic::columnFileIsRead()
{
    const ColumnSet columns = ColumnSet::fromText("# a sprint\n"
                                                  "\n"
                                                  "call\tCall\t5\n"
                                                  "SRX\tNr rcvd\t0x4\r\n"
                                                  "APP_X_MULT\tMult\t8\n",
                                                  "sprint.txt");
    QCOMPARE(columns.count(), 3);
    QCOMPARE(columns.adifName(1), QString("CALL"));
    QCOMPARE(columns.title(2), QString("Nr rcvd"));
    QCOMPARE(columns.attributes(2), 4);
    QCOMPARE(columns.attributes(3), 8);
    QCOMPARE(columns.numberOf("srx"), 2);

    // Outside the set: empty and zero, as hosts rely on to find the end.
    QCOMPARE(columns.adifName(4), QString(""));
    QCOMPARE(columns.adifName(0), QString(""));
    QCOMPARE(columns.title(-1), QString(""));
    QCOMPARE(columns.attributes(4), 0);
    QCOMPARE(columns.numberOf("NAME"), 0);
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
    for (int i = 1; i <= ColumnSet::MaxColumns + 1; ++i)
        tooMany += QString("F%1\tField %1\t4\n").arg(i);
    QTest::newRow("too many columns") << tooMany << QString("cols.txt line %1").arg(ColumnSet::MaxColumns + 1);
}

void TestStandinLogic::columnFileErrorsNameTheLine()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const QString message = badInputMessage([&] { ColumnSet::fromText(text, "cols.txt"); });
    QVERIFY2(message.startsWith(expected), qPrintable(message));
}

void TestStandinLogic::dupeNeedsSameCallBandAndMode()
{
    ContactLog log;
    log.add(contactOn(" K1ABC ", 14025, Mode::Cw));
    log.add(contactOn("W9XYZ", 0, Mode::Cw));

    QVERIFY(log.contains("k1abc", "20m", Mode::Cw));
    QVERIFY(!log.contains("K1ABC", "40m", Mode::Cw));
    QVERIFY(!log.contains("K1ABC", "20m", Mode::Usb));
    QVERIFY(!log.contains("K1AB", "20m", Mode::Cw));
    // Unknown frequency is a band of its own.
    QVERIFY(log.contains("W9XYZ", "", Mode::Cw));
    QVERIFY(!log.contains("W9XYZ", "20m", Mode::Cw));
}

void TestStandinLogic::preloadReadsBandsAndFrequencies()
{
    ContactLog log;
    log.preloadText("# call band mode\nW1AW\t20M\t3\nK2XX  7025.5 2\n\nN0CALL 99999 0\n", "pre.tsv");
    QCOMPARE(log.count(), 3);
    QCOMPARE(log.at(0).band, QString("20m"));
    QCOMPARE(log.at(1).band, QString("40m"));
    QCOMPARE(log.at(1).txKhz, 7025.5);
    QCOMPARE(log.at(2).band, QString(""));
    QVERIFY(log.contains("w1aw", "20m", Mode::Cw));
    QVERIFY(log.contains("K2XX", "40m", Mode::Usb));
}

void TestStandinLogic::preloadReadsAnAdifLog()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("old.adi");
    QVERIFY(WriteFile(path, "old log<eoh>\n"
                            "<call:4>W1AW<freq:6>14.025<mode:2>CW<eor>\n"
                            "<call:4>K2XX<band:3>40m<mode:3>SSB<eor>\n"
                            "<call:4>N3QQ<freq:6>21.300<freq_rx:6>21.350<mode:3>USB<eor>\n"
                            "<call:4>AA7B<freq:6>146.52<mode:3>PSK<eor>\n"));

    ContactLog log;
    log.preloadFile(path);
    QCOMPARE(log.count(), 4);
    QVERIFY(log.contains("W1AW", "20m", Mode::Cw));
    QVERIFY(log.contains("K2XX", "40m", Mode::Lsb)); // band edge stands in for the missing FREQ
    QVERIFY(log.contains("N3QQ", "15m", Mode::Usb));
    QVERIFY(log.at(2).split);
    QVERIFY(log.contains("AA7B", "2m", Mode::None));
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
    const QString message = badInputMessage([&] { log.preloadText(text, "pre.tsv"); });
    QVERIFY2(message.startsWith(expected), qPrintable(message));
}

void TestStandinLogic::loggerLogsAndClearsTheEntry()
{
    StandinLogger logger(ColumnSet::standard());
    QSignalSpy logged(&logger, &StandinLogger::contactLogged);
    const int call = logger.columns().numberOf("CALL");
    const int points = logger.columns().numberOf("APP_VANTREL_PTS");

    QCOMPARE(logger.setField(0, "x"), StandinLogger::FieldResult::NoSuchColumn);
    QCOMPARE(logger.setField(logger.columns().count() + 1, "x"), StandinLogger::FieldResult::NoSuchColumn);
    QVERIFY(!logger.entryIsDupe());  // no call yet

    for (int round = 0; round < 2; ++round) {
        QCOMPARE(logger.setField(call, "k1abc "), StandinLogger::FieldResult::Set);
        logger.setFrequency(Mode::Cw, 14030, 14025, false);
        QCOMPARE(logger.entryIsDupe(), round == 1);
        logger.enterQso(QDateTime(QDate(2024, 3, 9), QTime(12, 0), Qt::UTC));
    }

    QCOMPARE(logged.count(), 2);
    QCOMPARE(logger.log().count(), 2);
    QCOMPARE(logger.log().at(0).call, QString("k1abc"));
    QCOMPARE(logger.log().at(0).band, QString("20m"));
    QCOMPARE(logger.log().at(0).values[points - 1], QString("1"));
    QCOMPARE(logger.log().at(1).values[points - 1], QString("0"));  // the dupe scores nothing

    QCOMPARE(logger.entry().values[call - 1], QString(""));
    QCOMPARE(logger.entry().mode, Mode::None);
    QCOMPARE(logger.entry().txKhz, 0.0);
}

void TestStandinLogic::valueLimitCountsUtf8Bytes_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("taken");
    const int limit = StandinLogger::MaxValueBytes;
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
    StandinLogger logger(ColumnSet::standard());
    const StandinLogger::FieldResult result = logger.setField(1, value);
    QCOMPARE(result, taken ? StandinLogger::FieldResult::Set : StandinLogger::FieldResult::TooLong);
    QCOMPARE(logger.entry().values[0].size(), taken ? value.size() : 0);
}

void TestStandinLogic::adifRecordFields()
{
    const ColumnSet columns = ColumnSet::fromText("CALL\tCall\t4\nNAME\tName\t4\nSTATE\tSt\t4\n", "c");
    Contact contact = contactOn("DL1ABC", 14200, Mode::Usb);
    contact.rxKhz = 14205;
    contact.split = true;
    contact.values = {"DL1ABC", "Jörg", ""};
    contact.loggedUtc = QDateTime(QDate(2024, 3, 9), QTime(7, 5, 3), Qt::UTC);

    const QByteArray record = AdifLogFile::record(columns, contact);
    QCOMPARE(record,
             QByteArray("<CALL:6>DL1ABC <NAME:5>J\xc3\xb6rg <FREQ:4>14.2 <FREQ_RX:6>14.205 <BAND:3>20m "
                        "<MODE:3>SSB <SUBMODE:3>USB <QSO_DATE:8>20240309 <TIME_ON:6>070503 <EOR>\n"));

    contact.split = false;
    contact.mode = Mode::None;
    contact.txKhz = 0;
    contact.band = "";
    const QByteArray plain = AdifLogFile::record(columns, contact);
    QVERIFY(!plain.contains("FREQ"));
    QVERIFY(!plain.contains("<BAND"));
    QVERIFY(!plain.contains("<MODE"));
    QVERIFY(!plain.contains("<STATE"));

    QVERIFY(AdifLogFile::header(contact.loggedUtc).endsWith("<EOH>\n"));
    QVERIFY(!AdifLogFile::header(contact.loggedUtc).startsWith("<"));
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
    QTest::newRow("longest ASCII") << QString(StandinLogger::MaxValueBytes, 'x');
    QTest::newRow("longest in three-byte letters") << QString(StandinLogger::MaxValueBytes / 3, QChar(0x0416));
}

// Whatever a column takes, the reader gets back from the log, and the record
// after it stays whole.
void TestStandinLogic::loggedValueReadsBackThroughTheReader()
{
    QFETCH(QString, value);
    const ColumnSet columns = ColumnSet::fromText("CALL\tCall\t4\nNAME\tName\t4\n", "c");
    Contact first = contactOn("K1ABC", 14025, Mode::Cw);
    first.values = {"K1ABC", value};
    first.loggedUtc = QDateTime(QDate(2024, 3, 9), QTime(7, 5, 3), Qt::UTC);
    Contact second = first;
    second.values = {"W1AW", ""};

    AdifReader reader;
    reader.OpenMemory(AdifLogFile::header(first.loggedUtc) + AdifLogFile::record(columns, first)
                      + AdifLogFile::record(columns, second));
    QVERIFY(readerNextRecord(reader));
    QCOMPARE(readerFieldValue(reader, "NAME"), value);
    QCOMPARE(readerFieldValue(reader, "CALL"), QString("K1ABC"));
    QVERIFY(readerNextRecord(reader));
    QCOMPARE(readerFieldValue(reader, "CALL"), QString("W1AW"));
    QVERIFY(!readerNextRecord(reader));
}

// The column file's bounds and the value limit together keep the largest
// record within what the reader holds.
void TestStandinLogic::largestRecordReadsBackThroughTheReader()
{
    QString columnText;
    for (int i = 1; i <= ColumnSet::MaxColumns; ++i)
        columnText += QString("F%1\tField %2\t4\n").arg(i, ColumnSet::MaxNameLength - 1, 10, QChar('0')).arg(i);
    const ColumnSet columns = ColumnSet::fromText(columnText, "c");
    Contact contact = contactOn("K1ABC", 14025, Mode::Cw);
    contact.rxKhz = 14030;
    contact.split = true;
    contact.loggedUtc = QDateTime(QDate(2024, 3, 9), QTime(7, 5, 3), Qt::UTC);
    for (int i = 1; i <= columns.count(); ++i)
        contact.values.append(QString(StandinLogger::MaxValueBytes, QChar('a' + i % 26)));

    AdifReader reader;
    reader.OpenMemory(AdifLogFile::header(contact.loggedUtc) + AdifLogFile::record(columns, contact));
    QVERIFY(readerNextRecord(reader));
    for (int i = 1; i <= columns.count(); ++i)
        QCOMPARE(readerFieldValue(reader, columns.adifName(i)), contact.values[i - 1]);
    QVERIFY(!readerNextRecord(reader));
}

void TestStandinLogic::faultPlanCountsCallsPerMember()
{
    FaultPlan plan({"SetFieldN", "EnterQso", "Dupe"});
    plan.addFailure("SetFieldN:2");
    plan.addExit("EnterQso:2");
    plan.addFailure("EnterQso:2");
    plan.addWrongType("Dupe");

    QCOMPARE(plan.nextCall("SetFieldN"), FaultPlan::Action::Answer);
    QCOMPARE(plan.nextCall("EnterQso"), FaultPlan::Action::Answer);
    QCOMPARE(plan.nextCall("SetFieldN"), FaultPlan::Action::Fail);
    QCOMPARE(plan.nextCall("SetFieldN"), FaultPlan::Action::Answer);
    QCOMPARE(plan.nextCall("EnterQso"), FaultPlan::Action::Exit);  // exit wins over fail
    QCOMPARE(plan.nextCall("Dupe"), FaultPlan::Action::WrongType);
    QCOMPARE(plan.nextCall("Dupe"), FaultPlan::Action::WrongType);
    QCOMPARE(plan.callCount("SetFieldN"), 3);
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
    FaultPlan plan({"SetFieldN", "Dupe"});
    const QString message = badInputMessage([&] {
        if (option == "fail")
            plan.addFailure(value);
        else if (option == "exit-at")
            plan.addExit(value);
        else
            plan.addWrongType(value);
    });
    QVERIFY2(message.startsWith("--" + option), qPrintable(message));
}

QTEST_GUILESS_MAIN(TestStandinLogic)
#include "tst_standin_logic.moc"
