// SPDX-License-Identifier: GPL-3.0-or-later
// The reader raises its own ReaderError; the adapter turns each kind into the
// error Ardenix reports, numbered and described as the top-level report
// shows it.

#include "AdifReader.h"
#include "AdifReaderControl.h"
#include "ReaderError.h"
#include "RuntimeError.h"

#include <QTemporaryDir>
#include <QTest>

#include "../support/RaisedError.h"

Q_DECLARE_METATYPE(ReaderError::Kind)

namespace {

// A record of 120 bytes, more than the 64 the reader is told to hold, after one that fits.
const QByteArray kLongRecord = "<CALL:1>A<EOR>" + QByteArray("<A:1>x").repeated(20) + "<EOR>";

} // namespace

class TestReaderErrors : public QObject {
    Q_OBJECT
private slots:
    void translated_data()
    {
        QTest::addColumn<ReaderError::Kind>("kind");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");
        using Kind = ReaderError::Kind;
        QTest::newRow("invalid call") << Kind::InvalidCall << "" << "no member 11 to be called this way" << 5
                                      << "Invalid procedure call or argument";
        QTest::newRow("out of range") << Kind::OutOfRange << "" << "position 3 is outside the 2 field names" << 9
                                      << "Subscript out of range";
        QTest::newRow("type mismatch") << Kind::TypeMismatch << "" << "the argument is not a number" << 13
                                       << "Type mismatch";
        QTest::newRow("overflow") << Kind::Overflow << "" << "the argument is beyond 32 bits" << 6 << "Overflow";
        QTest::newRow("file error") << Kind::FileError << "/logs/contest.adi" << "No such file or directory" << 75
                                    << "Path/File access error: /logs/contest.adi: No such file or directory";
        QTest::newRow("record too long") << Kind::RecordTooLong << "(memory)"
                                         << "the record at byte 14 is longer than 64 bytes" << 75
                                         << "Path/File access error: (memory): the record at byte 14 is longer than "
                                            "64 bytes";
    }
    void translated()
    {
        QFETCH(ReaderError::Kind, kind);
        QFETCH(QString, path);
        QFETCH(QString, message);
        QFETCH(int, number);
        QFETCH(QString, description);
        const RuntimeError error = AdifReaderControl::Translated(ReaderError(kind, message, path));
        QCOMPARE(error.number(), number);
        QCOMPARE(error.description(), description);
    }

    // Arguments read as an automation caller's variants convert: a position
    // rounded half to even, numeric text as its number, a number as text.
    void arguments_data()
    {
        QTest::addColumn<int>("member");
        QTest::addColumn<QVariant>("argument");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("error"); // as Ardenix reports it; 0 for none
        const int name = AdifReader::kFieldName, value = AdifReader::kFieldValue;
        QTest::newRow("position 1") << name << QVariant(1) << "F1" << 0;
        QTest::newRow("position 2.5 rounds to 2") << name << QVariant(2.5) << "F2" << 0;
        QTest::newRow("position 1.5 rounds to 2") << name << QVariant(1.5) << "F2" << 0;
        QTest::newRow("position as text") << name << QVariant(" 1 ") << "F1" << 0;
        QTest::newRow("position as a short") << name << QVariant::fromValue<short>(2) << "F2" << 0;
        QTest::newRow("no position is 0") << name << QVariant() << "F0" << 0;
        QTest::newRow("True is -1") << name << QVariant(true) << "" << 9;
        QTest::newRow("position not a number") << name << QVariant("one") << "" << 13;
        QTest::newRow("position beyond 32 bits") << name << QVariant(1e10) << "" << 6;
        QTest::newRow("position not finite") << name << QVariant(qInf()) << "" << 6;
        QTest::newRow("name as text") << value << QVariant("f1") << "b" << 0;
        QTest::newRow("name as a number") << value << QVariant(7) << "c" << 0;
        QTest::newRow("name as a double") << value << QVariant(7.0) << "c" << 0;
        QTest::newRow("no name") << value << QVariant() << "" << 0;
        QTest::newRow("name not text") << value << QVariant(QStringList{"F1"}) << "" << 13;
    }
    void arguments()
    {
        QFETCH(int, member);
        QFETCH(QVariant, argument);
        QFETCH(QString, answer);
        QFETCH(int, error);
        AdifReader reader;
        reader.OpenMemory("<F0:1>a<F1:1>b<F2:1>x<7:1>c<EOR>");
        QCOMPARE(reader.Invoke(AdifReader::kNextRecord, InvokeKind::Method, {}).toInt(), -1);
        try {
            QCOMPARE(reader.Invoke(member, InvokeKind::PropertyGet, {argument}).toString(), answer);
            QCOMPARE(0, error);
        } catch (const ReaderError &raised) {
            QCOMPARE(AdifReaderControl::Translated(raised).number(), error);
        }
    }

    // What the reader raises on its own: the kind, the file, where the
    // record starts, and what() as the message.
    void readerErrorOfARecordTooLong_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("many fields") << kLongRecord;
        QTest::newRow("one huge declared length") << "<CALL:1>A<EOR><NOTES:100>" + QByteArray(100, 'x');
    }
    void readerErrorOfARecordTooLong()
    {
        QFETCH(QByteArray, data);
        AdifReader reader;
        reader.OpenMemory(data, 16, 64);
        QCOMPARE(reader.Invoke(AdifReader::kNextRecord, InvokeKind::Method, {}).toInt(), -1);
        try {
            reader.Invoke(AdifReader::kNextRecord, InvokeKind::Method, {});
            QFAIL("a record over the limit was read");
        } catch (const ReaderError &error) {
            QCOMPARE(error.kind(), ReaderError::Kind::RecordTooLong);
            QCOMPARE(error.path(), QStringLiteral("(memory)"));
            QCOMPARE(error.offset(), std::optional<uint64_t>(14));
            QCOMPARE(error.message(), QStringLiteral("the record at byte 14 is longer than 64 bytes"));
            QCOMPARE(QString::fromUtf8(error.what()), error.message());
        }
    }

    // Calls through the adapter raise RuntimeError, never the reader's own error.
    void adapterCallsRaiseTheTranslation()
    {
        QTemporaryDir dir;
        AdifReaderControl c;
        const QString missing = dir.filePath("missing.adi");
        const RuntimeError notThere = RaisedError([&] { c.SetFileName(missing); });
        QCOMPARE(notThere.description(), "Path/File access error: " + missing + ": No such file or directory");

        c.Component().OpenMemory(kLongRecord, 16, 64);
        QCOMPARE(c.NextRecord(), int16_t(-1));
        const RuntimeError tooLong = RaisedError([&] { c.NextRecord(); });
        QCOMPARE(tooLong.number(), 75);
        QCOMPARE(tooLong.description(),
                 QStringLiteral("Path/File access error: (memory): the record at byte 14 is longer than 64 bytes"));

        c.Component().OpenMemory("<CALL:1>A<EOR>");
        QCOMPARE(c.NextRecord(), int16_t(-1));
        QCOMPARE(RaisedErrorNumber([&] { c.FieldName(1); }), 9);
        QCOMPARE(c.FieldName(0), QStringLiteral("CALL"));
    }
};

QTEST_GUILESS_MAIN(TestReaderErrors)
#include "tst_reader_errors.moc"
