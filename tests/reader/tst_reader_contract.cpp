// SPDX-License-Identifier: GPL-3.0-or-later
// The dispatch contract through which Ardenix calls the reader: each number
// with its kind of call and its arguments, read as an automation caller's
// variants are converted, and the wrong ones, with the errors Ardenix
// reports for them.

#include "AdifReaderControl.h"

#include <QTest>

#include "../support/RaisedError.h"

Q_DECLARE_METATYPE(InvokeKind)

namespace {

const QByteArray kLog = "<QSO_DATE:8>20241123<TIME_ON:6>001430<FREQ:6>14.025<FREQ_RX:6>14.030<MODE:3>usb"
                        "<CALL:5>K1ABC<7:1>c<EOR><CALL:4>W1AW<EOR>";
// Its second record is longer than the 128 bytes the reader is told to hold.
const QByteArray kLongSecond = "<CALL:1>A<EOR><NOTES:200>" + QByteArray(200, 'x') + "<EOR>";

} // namespace

class TestReaderContract : public QObject {
    Q_OBJECT
private slots:
    // After the first NextRecord, the call of each row answers `answer`, or
    // raises the error given as "number: description".
    void calls_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<int>("member");
        QTest::addColumn<InvokeKind>("kind");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QVariant>("answer");
        QTest::addColumn<QString>("error");
        using C = AdifReaderControl;
        const InvokeKind get = InvokeKind::PropertyGet, put = InvokeKind::PropertyPut, method = InvokeKind::Method;
        const QVariant none;
        const QString invalid = "5: Invalid procedure call or argument";

        QTest::newRow("FileName, no file") << kLog << int(C::kFileName) << put << QVariantList{""} << none << "";
        QTest::newRow("FileName, missing file") << kLog << int(C::kFileName) << put << QVariantList{"/no/such/log.adi"} << none
                                                << "75: Path/File access error: /no/such/log.adi: No such file or directory";
        QTest::newRow("NextRecord") << kLog << int(C::kNextRecord) << method << QVariantList{} << QVariant(-1) << "";
        QTest::newRow("NextRecord, too long") << kLongSecond << int(C::kNextRecord) << method << QVariantList{} << none
                                              << "75: Path/File access error: (memory): the record at byte 14 is longer "
                                                 "than 128 bytes";
        QTest::newRow("Frequency") << kLog << int(C::kFrequency) << get << QVariantList{} << QVariant(14.025) << "";
        QTest::newRow("SplitFrequency") << kLog << int(C::kSplitFrequency) << get << QVariantList{} << QVariant(14.03) << "";
        QTest::newRow("Year") << kLog << int(C::kYear) << get << QVariantList{} << QVariant(2024) << "";
        QTest::newRow("Month") << kLog << int(C::kMonth) << get << QVariantList{} << QVariant(11) << "";
        QTest::newRow("Day") << kLog << int(C::kDay) << get << QVariantList{} << QVariant(23) << "";
        QTest::newRow("Hour") << kLog << int(C::kHour) << get << QVariantList{} << QVariant(0) << "";
        QTest::newRow("Minute") << kLog << int(C::kMinute) << get << QVariantList{} << QVariant(14) << "";
        QTest::newRow("Second") << kLog << int(C::kSecond) << get << QVariantList{} << QVariant(30) << "";
        QTest::newRow("Mode") << kLog << int(C::kMode) << get << QVariantList{} << QVariant("SSB") << "";
        QTest::newRow("FieldNameCount") << kLog << int(C::kFieldNameCount) << get << QVariantList{} << QVariant(7) << "";

        // FieldValue: a name as text, a number as its decimal text.
        QTest::newRow("FieldValue") << kLog << int(C::kFieldValue) << get << QVariantList{"call"} << QVariant("K1ABC") << "";
        QTest::newRow("FieldValue, absent") << kLog << int(C::kFieldValue) << get << QVariantList{"NAME"} << QVariant("") << "";
        QTest::newRow("name as a number") << kLog << int(C::kFieldValue) << get << QVariantList{7} << QVariant("c") << "";
        QTest::newRow("name as a double") << kLog << int(C::kFieldValue) << get << QVariantList{7.0} << QVariant("c") << "";
        QTest::newRow("no name") << kLog << int(C::kFieldValue) << get << QVariantList{none} << QVariant("") << "";
        QTest::newRow("name not text") << kLog << int(C::kFieldValue) << get << QVariantList{QStringList{"CALL"}} << none
                                       << "13: Type mismatch";

        // FieldName: a position from 0, rounded half to even, numeric text as its number.
        QTest::newRow("FieldName") << kLog << int(C::kFieldName) << get << QVariantList{5} << QVariant("CALL") << "";
        QTest::newRow("position 2.5 rounds to 2") << kLog << int(C::kFieldName) << get << QVariantList{2.5} << QVariant("FREQ") << "";
        QTest::newRow("position 1.5 rounds to 2") << kLog << int(C::kFieldName) << get << QVariantList{1.5} << QVariant("FREQ") << "";
        QTest::newRow("position as text") << kLog << int(C::kFieldName) << get << QVariantList{" 1 "} << QVariant("TIME_ON") << "";
        QTest::newRow("position as &H text") << kLog << int(C::kFieldName) << get << QVariantList{"&H3"} << QVariant("FREQ_RX") << "";
        QTest::newRow("position as a short") << kLog << int(C::kFieldName) << get << QVariantList{QVariant::fromValue<short>(4)}
                                             << QVariant("MODE") << "";
        QTest::newRow("no position is 0") << kLog << int(C::kFieldName) << get << QVariantList{none} << QVariant("QSO_DATE") << "";
        QTest::newRow("position 7") << kLog << int(C::kFieldName) << get << QVariantList{7} << none << "9: Subscript out of range";
        QTest::newRow("True is -1") << kLog << int(C::kFieldName) << get << QVariantList{true} << none
                                    << "9: Subscript out of range";
        QTest::newRow("position not a number") << kLog << int(C::kFieldName) << get << QVariantList{"one"} << none
                                               << "13: Type mismatch";
        QTest::newRow("position beyond 32 bits") << kLog << int(C::kFieldName) << get << QVariantList{1e10} << none
                                                 << "6: Overflow";
        QTest::newRow("position not finite") << kLog << int(C::kFieldName) << get << QVariantList{qInf()} << none
                                             << "6: Overflow";

        // Numbers no member has, kinds of call and argument counts no member takes.
        for (int id : {0, 11, 13, 14, 18, -1})
            QTest::addRow("member %d", id) << kLog << id << get << QVariantList{} << none << invalid;
        QTest::newRow("FileName read") << kLog << int(C::kFileName) << get << QVariantList{} << none << invalid;
        QTest::newRow("FileName without a name") << kLog << int(C::kFileName) << put << QVariantList{} << none << invalid;
        QTest::newRow("NextRecord read") << kLog << int(C::kNextRecord) << get << QVariantList{} << none << invalid;
        QTest::newRow("NextRecord with an argument") << kLog << int(C::kNextRecord) << method << QVariantList{1} << none
                                                     << invalid;
        QTest::newRow("Mode set") << kLog << int(C::kMode) << put << QVariantList{"CW"} << none << invalid;
        QTest::newRow("Frequency with an argument") << kLog << int(C::kFrequency) << get << QVariantList{1} << none << invalid;
        QTest::newRow("FieldValue without a name") << kLog << int(C::kFieldValue) << get << QVariantList{} << none << invalid;
        QTest::newRow("FieldName without a position") << kLog << int(C::kFieldName) << get << QVariantList{} << none << invalid;
    }
    void calls()
    {
        QFETCH(QByteArray, log);
        QFETCH(int, member);
        QFETCH(InvokeKind, kind);
        QFETCH(QVariantList, args);
        QFETCH(QVariant, answer);
        QFETCH(QString, error);
        AdifReaderControl control;
        control.Component().OpenMemory(log, 16, 128);
        QCOMPARE(control.NextRecord(), int16_t(-1));
        QVariant result;
        const RuntimeError raised = RaisedError([&] { result = control.Invoke(member, kind, args); });
        QCOMPARE(raised.number() ? QStringLiteral("%1: %2").arg(raised.number()).arg(raised.description()) : QString(),
                 error);
        QCOMPARE(result, answer);
        QCOMPARE(result.metaType(), answer.metaType());
    }
};

QTEST_GUILESS_MAIN(TestReaderContract)
#include "tst_reader_contract.moc"
