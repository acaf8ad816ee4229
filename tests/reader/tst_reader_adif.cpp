// SPDX-License-Identifier: GPL-3.0-or-later
#include "AdiParser.h"
#include "AdifReader.h"
#include "Collection.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include "../support/WriteFile.h"
#include <unistd.h>

namespace {

// The current record as "NAME=value|NAME=value".
QString Listed(AdifReader &reader)
{
    QStringList fields;
    for (const QString &name : reader.CurrentFieldNames())
        fields << name + QLatin1Char('=') + reader.FieldValue(name);
    return fields.join(QLatin1Char('|'));
}

// Each record as Listed() shows it, read from memory.
QStringList Records(const QByteArray &data, size_t chunk = 0)
{
    AdifReader reader;
    reader.OpenMemory(data, chunk);
    QStringList out;
    while (reader.NextRecord())
        out << Listed(reader);
    return out;
}

// The first record of data.
struct First {
    explicit First(const QByteArray &data)
    {
        reader.OpenMemory(data);
        QVERIFY(reader.NextRecord());
    }
    AdifReader reader;
};

// The ReaderError that f raises; one whose message is "nothing raised" when it raises none.
template <typename F>
ReaderError Raised(F f)
{
    try {
        f();
    } catch (const ReaderError &error) {
        return error;
    }
    return ReaderError(ReaderError::Kind::FileError, QStringLiteral("nothing raised"));
}

} // namespace

class TestReaderAdif : public QObject {
    Q_OBJECT
private slots:
    void records_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("expected");

        // Lengths: declared bytes hold when they end at a tag; else characters or CR LF counts.
        QTest::newRow("length counts bytes") << QByteArray("<NAME:5>J\xC3\xB6rg <CALL:3>ABC<EOR>")
                                             << QStringList{QString::fromUtf8("NAME=J\xC3\xB6rg|CALL=ABC")};
        QTest::newRow("length counts characters") << QByteArray("<NAME:4>J\xC3\xB6rg <CALL:3>ABC<EOR>")
                                                  << QStringList{QString::fromUtf8("NAME=J\xC3\xB6rg|CALL=ABC")};
        QTest::newRow("characters, last field") << QByteArray("<CALL:3>ABC <NAME:4>J\xC3\xB6rg\n<EOR>")
                                                << QStringList{QString::fromUtf8("CALL=ABC|NAME=J\xC3\xB6rg")};
        QTest::newRow("length counts CR LF") << QByteArray("<NOTES:8>ab\ncd\nef<CALL:3>ABC<EOR>")
                                             << QStringList{"NOTES=ab\ncd\nef|CALL=ABC"};
        QTest::newRow("trailing LF before a tag: bytes hold") << QByteArray("<NOTES:6>ab\ncd\n<CALL:3>ABC<EOR>")
                                                              << QStringList{"NOTES=ab\ncd\n|CALL=ABC"};
        QTest::newRow("real CR LF counted as bytes") << QByteArray("<NOTES:6>ab\r\ncd<CALL:3>ABC<EOR>")
                                                     << QStringList{"NOTES=ab\r\ncd|CALL=ABC"};
        QTest::newRow("characters and CR LF") << QByteArray("<NOTES:5>\xC3\xB6\xC3\xB6\nx<CALL:3>ABC<EOR>")
                                              << QStringList{QString::fromUtf8("NOTES=\xC3\xB6\xC3\xB6\nx|CALL=ABC")};
        QTest::newRow("characters end in a two-byte character") << QByteArray("<NAME:4>abc\xC3\xB6<CALL:3>ABC<EOR>")
                                                                << QStringList{QString::fromUtf8("NAME=abc\xC3\xB6|CALL=ABC")};
        QTest::newRow("one too long, ends before a tag") << QByteArray("<SAT_MODE:3>VU\n<CALL:3>ABC<EOR>")
                                                         << QStringList{"SAT_MODE=VU\n|CALL=ABC"};
        QTest::newRow("value holds '<' and '>'") << QByteArray("<NOTES:9>a<b:1>c>d <CALL:1>X<EOR>")
                                                 << QStringList{"NOTES=a<b:1>c>d|CALL=X"};

        // Damaged lengths: when no reading ends at a boundary, a well-formed tag
        // inside the declared bytes ends the value; else the bytes stand.
        QTest::newRow("too long by one tag") << QByteArray("<CALL:5>ABC<EOR><CALL:3>DEF<EOR>")
                                             << QStringList{"CALL=ABC", "CALL=DEF"};
        QTest::newRow("too long by a record") << QByteArray("<EOH><CALL:20>ABC<EOR><CALL:3>DEF<EOR><CALL:3>GHI<EOR>")
                                              << QStringList{"CALL=ABC", "CALL=DEF", "CALL=GHI"};
        QTest::newRow("too long past the end of the file")
            << QByteArray("<EOH><CALL:200>ABC<EOR><CALL:3>DEF<EOR><CALL:3>GHI<EOR>")
            << QStringList{"CALL=ABC", "CALL=DEF", "CALL=GHI"};
        QTest::newRow("too long into the next field: blanks stay in the value")
            << QByteArray("<CALL:6>ABC <MODE:2>CW<EOR>") << QStringList{"CALL=ABC |MODE=CW"};
        QTest::newRow("too short: the bytes stand") << QByteArray("<CALL:2>ABC <MODE:2>CW<EOR>")
                                                    << QStringList{"CALL=AB|MODE=CW"};
        QTest::newRow("junk after a value: the bytes stand")
            << QByteArray("<CALL:3>ABC // comment\n<MODE:2>CW<EOR>") << QStringList{"CALL=ABC|MODE=CW"};
        QTest::newRow("tag text in a value of the right length")
            << QByteArray("<NOTES:18>worked <CALL:3>XYZ<CALL:3>ABC<EOR>")
            << QStringList{"NOTES=worked <CALL:3>XYZ|CALL=ABC"};
        QTest::newRow("bytes ending at a tag hold, tag and all") << QByteArray("<NOTES:8>ABC<EOR><CALL:3>DEF<EOR>")
                                                               << QStringList{"NOTES=ABC<EOR>|CALL=DEF"};
        QTest::newRow("tag text in a value counted in characters")
            << QByteArray("<NOTES:16>J\xC3\xB6rg <CALL:3>XYZ<CALL:3>ABC<EOR>")
            << QStringList{QString::fromUtf8("NOTES=J\xC3\xB6rg <CALL:3>XYZ|CALL=ABC")};
        QTest::newRow("a tag other than EOR, EOH or a field is swallowed")
            << QByteArray("<CALL:9>ABC<EOF>DE <MODE:2>CW<EOR>") << QStringList{"CALL=ABC<EOF>D|MODE=CW"};
        QTest::newRow("empty value") << QByteArray("<GRIDSQUARE:0> <CALL:1>X<EOR>")
                                     << QStringList{"GRIDSQUARE=|CALL=X"};
        QTest::newRow("no blanks between fields") << QByteArray("<CALL:3>ABC<BAND:2>2m<EOR>")
                                                  << QStringList{"CALL=ABC|BAND=2m"};
        QTest::newRow("blank before EOR kept out") << QByteArray("<CALL:3>ABC <EOR>") << QStringList{"CALL=ABC"};

        // End of data.
        QTest::newRow("truncated last field") << QByteArray("<CALL:3>ABC<EOR><CALL:5>AB")
                                              << QStringList{"CALL=ABC"};
        QTest::newRow("truncated inside the tag") << QByteArray("<CALL:3>ABC<EOR><CALL:3>DEF <MODE:")
                                                  << QStringList{"CALL=ABC"};
        QTest::newRow("final record without EOR") << QByteArray("<CALL:3>ABC<EOR>\n<CALL:3>DEF <MODE:2>CW\n")
                                                  << QStringList{"CALL=ABC", "CALL=DEF|MODE=CW"};
        QTest::newRow("trailing text only") << QByteArray("<CALL:3>ABC<EOR>\nReport: 1 record\n")
                                            << QStringList{"CALL=ABC"};
        QTest::newRow("empty record skipped") << QByteArray("<EOR><CALL:3>ABC<EOR><EOR>") << QStringList{"CALL=ABC"};
        QTest::newRow("empty input") << QByteArray() << QStringList{};

        // Absurd lengths neither overflow nor allocate; the tag after the value ends it.
        QTest::newRow("length beyond 64 bits") << QByteArray("<CALL:3>ABC<EOR><CALL:99999999999999999999999>DEF<EOR>")
                                               << QStringList{"CALL=ABC", "CALL=DEF"};
        QTest::newRow("length 2^64-1") << QByteArray("<CALL:3>ABC<EOR><CALL:18446744073709551615>DEF<EOR>")
                                       << QStringList{"CALL=ABC", "CALL=DEF"};
        QTest::newRow("length past the end, no tag after") << QByteArray("<CALL:3>ABC<EOR><CALL:40>DEF <MODE:")
                                                          << QStringList{"CALL=ABC"};

        // Header: found by <EOH>, not by the first byte.
        QTest::newRow("header starting with '<'") << QByteArray("<ADIF_VER:5>3.1.7\n<EOH>\n<CALL:3>ABC<EOR>")
                                                  << QStringList{"CALL=ABC"};
        QTest::newRow("header text and fields") << QByteArray("Export\n<PROGRAMID:2>XY <eoh>\n<CALL:3>ABC<EOR>")
                                                << QStringList{"CALL=ABC"};
        QTest::newRow("text, no header") << QByteArray("Log of DL1ABC\n<CALL:3>ABC<EOR><CALL:3>DEF<EOR>")
                                         << QStringList{"CALL=ABC", "CALL=DEF"};
        QTest::newRow("no header at all") << QByteArray("<CALL:3>ABC<EOR><CALL:3>DEF<EOR>")
                                          << QStringList{"CALL=ABC", "CALL=DEF"};
        QTest::newRow("EOH after records ignored") << QByteArray("<CALL:3>ABC<EOR><CALL:3>DEF<EOH><MODE:2>CW<EOR>")
                                                   << QStringList{"CALL=ABC", "CALL=DEF|MODE=CW"};
        QTest::newRow("BOM") << QByteArray("\xEF\xBB\xBF<CALL:3>ABC<EOR>") << QStringList{"CALL=ABC"};
        QTest::newRow("'<' in header text") << QByteArray("a < b, c <> d <{x}>\n<EOH><CALL:3>ABC<EOR>")
                                            << QStringList{"CALL=ABC"};

        // Tags.
        QTest::newRow("mixed-case tags") << QByteArray("<eoh><call:3>abc<Eor><Call:3>DEF<eOr>")
                                         << QStringList{"CALL=abc", "CALL=DEF"};
        QTest::newRow("type indicators") << QByteArray("<QSO_DATE:8:d>20240101<FREQ:6:N>14.074<EOR>")
                                         << QStringList{"QSO_DATE=20240101|FREQ=14.074"};
        QTest::newRow("unknown tags ignored") << QByteArray("<CALL:3>ABC<EOR><APP_LoTW_EOF>\n<EOF>")
                                              << QStringList{"CALL=ABC"};
        QTest::newRow("longest name") << QByteArray("<" + QByteArray(256, 'N') + ":1>x<EOR>")
                                      << QStringList{QString(256, 'N') + "=x"};
        QTest::newRow("name too long: text") << QByteArray("<" + QByteArray(257, 'N') + ":1>x<CALL:1>A<EOR>")
                                             << QStringList{"CALL=A"};
        QTest::newRow("repeated field, last wins") << QByteArray("<CALL:3>ABC <MODE:2>CW <call:3>DEF<EOR>")
                                                   << QStringList{"CALL=DEF|MODE=CW"};
        QTest::newRow("CR line ends") << QByteArray("<CALL:3>ABC\r<MODE:2>CW\r<EOR>\r<CALL:3>DEF<EOR>")
                                      << QStringList{"CALL=ABC|MODE=CW", "CALL=DEF"};

        // Text that is not UTF-8 reads as Windows-1252.
        QTest::newRow("Windows-1252") << QByteArray("<NAME:4>J\xF6rg <QTH:5>\x80 5\x96\x39<EOR>")
                                      << QStringList{QString::fromUtf8("NAME=J\xC3\xB6rg|QTH=\xE2\x82\xAC 5\xE2\x80\x93" "9")};

        QTest::newRow("byte-order mark inside a value kept") << QByteArray("<NOTES:4>\xEF\xBB\xBFx<EOR>")
                                                             << QStringList{QStringLiteral("NOTES=") + QChar(0xFEFF) + QLatin1Char('x')};

        // ADX.
        QTest::newRow("ADX") << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ADX><HEADER><ADIF_VER>3.1.7</ADIF_VER>"
                                           "<USERDEF FIELDID=\"1\" TYPE=\"N\">EPC</USERDEF></HEADER><RECORDS>"
                                           "<RECORD><CALL>ABC</CALL><QTH_INTL>T\xC3\xB6st &amp; more</QTH_INTL>"
                                           "<APP PROGRAMID=\"Mono\" FIELDNAME=\"Compress\" TYPE=\"S\">off</APP>"
                                           "<USERDEF FIELDNAME=\"epc\">32</USERDEF></RECORD>\n"
                                           "<RECORD><call>DEF</call></RECORD></RECORDS></ADX>")
                             << QStringList{QString::fromUtf8("CALL=ABC|QTH_INTL=T\xC3\xB6st & more|APP_MONO_COMPRESS=off|EPC=32"),
                                            "CALL=DEF"};
        QTest::newRow("ADX after BOM, no declaration") << QByteArray("\xEF\xBB\xBF <ADX><RECORDS><RECORD><CALL>ABC</CALL></RECORD></RECORDS></ADX>")
                                                       << QStringList{"CALL=ABC"};
        QTest::newRow("ADX cut short") << QByteArray("<?xml version=\"1.0\"?><ADX><RECORDS><RECORD><CALL>ABC</CALL></RECORD>"
                                                     "<RECORD><CALL>DE")
                                       << QStringList{"CALL=ABC"};
        QTest::newRow("ADX malformed") << QByteArray("<?xml version=\"1.0\"?><ADX><RECORDS><RECORD><CALL>ABC</CALL></RECORD>"
                                                     "<RECORD><CALL>DEF</QTH></RECORD></RECORDS></ADX>")
                                       << QStringList{"CALL=ABC"};
        QTest::newRow("ADX with a bare ampersand") << QByteArray("<ADX><RECORDS><RECORD><CALL>ABC</CALL></RECORD><RECORD>"
                                                                 "<CALL>D & E</CALL></RECORD><RECORD><CALL>GHI</CALL>"
                                                                 "</RECORD></RECORDS></ADX>")
                                                   << QStringList{"CALL=ABC"};
        // However the file is cut into chunks, bytes that are not UTF-8 end it where they stand.
        QTest::newRow("ADX with bytes that are not UTF-8") << QByteArray("<?xml version=\"1.0\"?><ADX><RECORDS><RECORD><CALL>ABC"
                                                                         "</CALL></RECORD><RECORD><CALL>D\xFF</CALL></RECORD>"
                                                                         "</RECORDS></ADX>")
                                                           << QStringList{"CALL=ABC"};
        // The 16-byte chunks of the test cut right before the byte-order mark: it stays in the value.
        QTest::newRow("ADX value holding a byte-order mark") << QByteArray("<ADX><RECORDS><RECORD><CALL>ABCD\xEF\xBB\xBF" "E</CALL>"
                                                                           "</RECORD></RECORDS></ADX>")
                                                             << QStringList{QStringLiteral("CALL=ABCD") + QChar(0xFEFF) + 'E'};
        QTest::newRow("ADX: what follows the root is no part of it")
            << QByteArray("<ADX><RECORDS><RECORD><CALL>ABC</CALL></RECORD></RECORDS></ADX> <RECORD><CALL>DEF</CALL></RECORD>")
            << QStringList{"CALL=ABC"};
        QTest::newRow("ADX names as written") << QByteArray("<ADX><RECORDS><RECORD><STRASSE>a</STRASSE><stra\xC3\x9F" "e>b"
                                                            "</stra\xC3\x9F" "e></RECORD></RECORDS></ADX>")
                                              << QStringList{QString::fromUtf8("STRASSE=a|stra\xC3\x9F" "e=b")};
    }

    void records()
    {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, expected);
        QCOMPARE(Records(data), expected);
        // Refills every few bytes must not change what is read.
        QCOMPARE(Records(data, 16), expected);
    }

    void fieldNamesCoverTheWholeFileWithoutHeader()
    {
        AdifReader reader;
        reader.OpenMemory("<PROGRAMID:2>XY<EOH><call:1>A<mode:2>CW<EOR><Freq:3>7.0<CALL:1>B<EOR><x_y:1>z");
        QCOMPARE(reader.FieldNames(), (QStringList{"CALL", "MODE", "FREQ", "X_Y"}));
        // The names pass leaves the record reading where it was.
        QVERIFY(reader.NextRecord());
        QCOMPARE(reader.FieldValue("Call"), "A");

        AdifReader empty;
        QCOMPARE(empty.FieldNames(), QStringList{});
    }

    // Names that the keyed collection takes as one key are one field; names
    // it tells apart stay apart, and every listed name finds its field.
    void fieldNamesUnderTheCollectionsFold_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("lookups"); // "record|name asked|value expected"
        QTest::newRow("STRASSE and stra\u00dfe are two fields")
            << QByteArray("<STRASSE:1>a<EOR><stra\xC3\x9F" "e:1>b<EOR>")
            << QStringList{"STRASSE", QString::fromUtf8("stra\xC3\x9F" "e")}
            << QStringList{"1|strasse|a", QString::fromUtf8("1|stra\xC3\x9F" "e|"), QString::fromUtf8("2|STRA\xC3\x9F" "E|b"),
                           "2|STRASSE|"};
        QTest::newRow("UTF-8 and Windows-1252 spellings are one field")
            << QByteArray("<Stra\xDF" "e:1>a<EOR><STRA\xC3\x9F" "E:1>b<EOR>") << QStringList{QString::fromUtf8("stra\xC3\x9F" "e")}
            << QStringList{QString::fromUtf8("1|STRA\xC3\x9F" "E|a"), QString::fromUtf8("2|stra\xC3\x9F" "e|b")};
        QTest::newRow("the Kelvin sign folds to k") << QByteArray("<\xE2\x84\xAA" "EY:1>x<EOR><key:1>y<EOR>")
                                                    << QStringList{"KEY"}
                                                    << QStringList{"1|KEY|x", QString::fromUtf8("2|\xE2\x84\xAA" "ey|y")};
        QTest::newRow("long s and S in one record: the last wins") << QByteArray("<\xC5\xBF:1>x<S:1>y<EOR>")
                                                                  << QStringList{"S"}
                                                                  << QStringList{"1|s|y", QString::fromUtf8("1|\xC5\xBF|y")};
        QTest::newRow("dotless i is its own letter") << QByteArray("<\xC4\xB1" "D:1>x<ID:1>y<EOR>")
                                                     << QStringList{QString::fromUtf8("\xC4\xB1" "d"), "ID"}
                                                     << QStringList{QString::fromUtf8("1|\xC4\xB1" "d|x"), "1|id|y"};
        QTest::newRow("dotted capital I: its lower case is another key")
            << QByteArray("<\xC4\xB0" "D:1>x<EOR>") << QStringList{QString::fromUtf8("\xC4\xB0" "D")}
            << QStringList{QString::fromUtf8("1|\xC4\xB0" "d|x"), QString::fromUtf8("1|i\xCC\x87" "d|")};
        // Past the few fields that are simply scanned, a record is looked up by key.
        QByteArray many;
        for (int i = 0; i < 100; ++i)
            many += "<F" + QByteArray::number(i) + ":1>" + QByteArray::number(i % 10);
        QTest::newRow("many fields") << many + "<stra\xC3\x9F" "e:1>b<STRASSE:1>a<f7:1>x<EOR>"
                                     << QStringList() // not compared: a hundred names
                                     << QStringList{"1|f7|x", "1|F99|9", QString::fromUtf8("1|STRA\xC3\x9F" "E|b"), "1|strasse|a"};
    }
    void fieldNamesUnderTheCollectionsFold()
    {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, names);
        QFETCH(QStringList, lookups);
        AdifReader reader;
        reader.OpenMemory(data);
        const QStringList listed = reader.FieldNames();
        if (!names.isEmpty())
            QCOMPARE(listed, names);
        Collection<QString> keyed; // as Ardenix keeps the names: a repeated key is an error
        for (const QString &name : listed)
            keyed.Add(name, name);

        int record = 0;
        while (reader.NextRecord()) {
            ++record;
            for (const QString &name : reader.CurrentFieldNames())
                QVERIFY2(listed.contains(name), qPrintable(name));
            for (const QString &lookup : lookups) {
                const QStringList parts = lookup.split(QLatin1Char('|'));
                if (parts[0].toInt() == record)
                    QCOMPARE(reader.FieldValue(parts[1]), parts[2]);
            }
        }
    }

    // The reader folds names itself; it must fold as the keyed collection
    // compares keys. For every pair of tricky names: the reader lists them
    // as one name exactly when the collection takes them as one key, and
    // each name listed is the same key as the name written.
    void foldingAgreesWithTheCollection()
    {
        struct Name {
            QByteArray written; // the bytes in the file
            QString text;       // what they read as
        };
        QList<Name> names;
        for (const char *utf8 : {"CALL", "call", "Call", "STRASSE", "stra\xC3\x9F" "e", "STRA\xE1\xBA\x9E" "E", "KEY",
                                 "\xE2\x84\xAA" "EY", "ID", "id", "\xC4\xB1" "D", "\xC4\xB0" "D", "i\xCC\x87" "d", "S",
                                 "\xC5\xBF", "\xCE\xA3\xCE\x91", "\xCF\x83\xCE\xB1", "\xCF\x82\xCE\xB1", "\xC7\x84",
                                 "\xC7\x85", "\xC7\x86", "\xC3\x85", "\xE2\x84\xAB", "\xC2\xB5", "\xCE\xBC",
                                 "\xEF\xBC\xA3\xEF\xBC\xA1", "\xEF\xBD\x83\xEF\xBD\x81", "\xC3\x89", "E\xCC\x81"})
            names.append({QByteArray(utf8), QString::fromUtf8(utf8)});
        names.append({QByteArray("Stra\xDF" "e"), QString::fromUtf8("Stra\xC3\x9F" "e")}); // Windows-1252

        for (qsizetype i = 0; i < names.size(); ++i) {
            for (qsizetype j = i + 1; j < names.size(); ++j) {
                const Name &a = names[i], &b = names[j];
                AdifReader reader;
                reader.OpenMemory("<" + a.written + ":1>x<EOR><" + b.written + ":1>y<EOR>");
                const QStringList listed = reader.FieldNames();
                Collection<QString> keyed;
                keyed.Add(a.text, a.text);
                const QString pair = a.text + QStringLiteral(" and ") + b.text;
                QVERIFY2((listed.size() == 1) == keyed.Contains(b.text), qPrintable(pair));
                QVERIFY2(keyed.Contains(listed.first()), qPrintable(pair + QStringLiteral(": ") + listed.first()));
                if (listed.size() == 2) {
                    Collection<QString> second;
                    second.Add(b.text, b.text);
                    QVERIFY2(second.Contains(listed.last()), qPrintable(pair + QStringLiteral(": ") + listed.last()));
                }
            }
        }
    }

    // Each recovery, and each record lost to the end of the file, is reported
    // with the byte offset of the field's tag; the readings that stand are not.
    void diagnostics_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QList<qulonglong>>("offsets");
        QTest::addColumn<QString>("firstMessage");
        QTest::newRow("too long by a record") << QByteArray("<EOH><CALL:20>ABC<EOR><CALL:3>DEF<EOR><CALL:3>GHI<EOR>")
                                              << QList<qulonglong>{5}
                                              << "CALL declares 20 bytes, which run into a tag: the value ends before "
                                                 "the tag at byte 17";
        QTest::newRow("past the end") << QByteArray("<EOH><CALL:200>ABC<EOR><CALL:3>DEF<EOR>") << QList<qulonglong>{5}
                                      << "CALL declares 200 bytes, past the end of the file: the value ends before "
                                         "the tag at byte 18";
        QTest::newRow("two in one file") << QByteArray("<CALL:5>ABC<EOR><CALL:5>DEF<EOR>") << QList<qulonglong>{0, 16}
                                         << "CALL declares 5 bytes, which run into a tag: the value ends before the "
                                            "tag at byte 11";
        QTest::newRow("file ends inside a value") << QByteArray("<CALL:3>ABC<EOR><CALL:5>AB") << QList<qulonglong>{16}
                                                  << "CALL declares 5 bytes, past the end of the file: the record it is "
                                                     "in is dropped";
        QTest::newRow("file ends inside a tag") << QByteArray("<CALL:3>ABC<EOR><CALL:3>DEF <MODE:")
                                                << QList<qulonglong>{28}
                                                << "the file ends inside this tag: the record it is in is dropped";
        QTest::newRow("junk after a value, length too short") << QByteArray("<CALL:3>ABC // x\n<MODE:1>CW<EOR>")
                                                              << QList<qulonglong>{} << "";
        QTest::newRow("characters counted") << QByteArray("<NAME:4>J\xC3\xB6rg <CALL:3>ABC<EOR>") << QList<qulonglong>{}
                                            << "";
        // ADX: the offset counts characters, as the XML reader does.
        QTest::newRow("ADX with a bare ampersand") << QByteArray("<ADX><RECORDS><RECORD><CALL>ABC</CALL></RECORD>"
                                                                 "<RECORD><CALL>D & E</CALL></RECORD></RECORDS></ADX>")
                                                   << QList<qulonglong>{65}
                                                   << "XML error on line 1: Expected '#' or '[a-zA-Z]', but got ' '. "
                                                      "The file is read up to here.";
        QTest::newRow("ADX cut short") << QByteArray("<ADX><RECORDS><RECORD><CALL>ABC</CALL></RECORD><RECORD><CALL>DE")
                                       << QList<qulonglong>{63}
                                       << "XML error on line 1: Premature end of document. The file is read up to here.";
        QTest::newRow("ADX not UTF-8") << QByteArray("<ADX><RECORDS><RECORD><CALL>\xC3\xB6\xFF</CALL></RECORD></RECORDS></ADX>")
                                       << QList<qulonglong>{29}
                                       << "the file is not UTF-8 from byte 30 on. It is read up to there.";
    }
    void diagnostics()
    {
        QFETCH(QByteArray, data);
        QFETCH(QList<qulonglong>, offsets);
        QFETCH(QString, firstMessage);
        for (size_t chunk : {size_t(0), size_t(16)}) {
            AdifReader reader;
            reader.OpenMemory(data, chunk);
            while (reader.NextRecord()) {
            }
            const adif::Diagnostics &d = reader.Diagnosed();
            QList<qulonglong> seen;
            for (const adif::Diagnostic &one : d.kept)
                seen << one.offset;
            QCOMPARE(seen, offsets);
            QCOMPARE(d.count, static_cast<uint64_t>(offsets.size()));
            if (!d.kept.empty())
                QCOMPARE(d.kept.front().message, firstMessage);
        }
    }

    // Files of many small records that each declare a long, wrong length:
    // every record is recovered, each with its diagnostic, and the sound
    // records among them keep their readings in characters and CR LF.
    void manyDamagedRecords_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("cycle"); // the records, repeating
        QTest::addColumn<int>("records");
        QTest::addColumn<int>("diagnostics");
        QTest::addColumn<int>("maxRecord"); // the largest record held; 0 for the usual
        const QByteArray damaged = "<A:30000>x<EOR>";
        QTest::newRow("long wrong lengths") << damaged.repeated(3000) << QStringList{"A=x"} << 3000 << 3000 << 0;
        QTest::newRow("lengths of half the file")
            << QByteArray("<A:24000>x<EOR>").repeated(3200) << QStringList{"A=x"} << 3200 << 3200 << 0;
        QTest::newRow("lengths into a run of blanks")
            << QByteArray("<A:60000>x<EOR>").repeated(2000) + QByteArray(40000, ' ') + "z" << QStringList{"A=x"} << 2000
            << 2000 << 0;
        QTest::newRow("lengths that look as far ahead as a record may hold")
            << QByteArray("<A:4056>x<EOR>").repeated(2000) << QStringList{"A=x"} << 2000 << 2000 << 4096;
        QTest::newRow("sound records among damaged ones")
            << (damaged + "<NAME:4>J\xC3\xB6rg <CALL:3>ABC<EOR>\n" + damaged + "<NOTES:8>ab\ncd\nef<CALL:3>DEF<EOR>\n")
                   .repeated(800)
            << QStringList{"A=x", QString::fromUtf8("NAME=J\xC3\xB6rg|CALL=ABC"), "A=x", "NOTES=ab\ncd\nef|CALL=DEF"}
            << 3200 << 1600 << 0;
    }
    void manyDamagedRecords()
    {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, cycle);
        QFETCH(int, records);
        QFETCH(int, diagnostics);
        QFETCH(int, maxRecord);
        for (size_t chunk : {size_t(0), size_t(64)}) {
            AdifReader reader;
            reader.OpenMemory(data, chunk, static_cast<size_t>(maxRecord));
            int read = 0;
            while (reader.NextRecord()) {
                QCOMPARE(Listed(reader), cycle[read % cycle.size()]);
                ++read;
            }
            QCOMPARE(read, records);
            QCOMPARE(reader.Diagnosed().count, uint64_t(diagnostics));
        }
    }

    void diagnosticsCountedBeyondTheKeptOnes()
    {
        QByteArray data;
        for (int i = 0; i < 150; ++i)
            data += "<CALL:5>ABC<EOR>";
        AdifReader reader;
        reader.OpenMemory(data);
        int records = 0;
        while (reader.NextRecord())
            ++records;
        QCOMPARE(records, 150);
        QCOMPARE(reader.Diagnosed().count, uint64_t(150));
        QCOMPARE(reader.Diagnosed().kept.size(), adif::Diagnostics::kKept);
        QCOMPARE(reader.Diagnosed().kept.back().offset, uint64_t(16 * (adif::Diagnostics::kKept - 1)));
    }

    void fieldValue()
    {
        First r("<CALL:4> AB <Comment:6>x  y  <EOR>");
        QCOMPARE(r.reader.FieldValue("CALL"), " AB "); // as written, no trimming
        QCOMPARE(r.reader.FieldValue("comment"), "x  y  ");
        QCOMPARE(r.reader.FieldValue("COMMENTS"), QString());
        QCOMPARE(r.reader.FieldValue(QString()), QString());
    }

    void mode_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("mode");
        QTest::newRow("USB") << QByteArray("<MODE:3>USB<EOR>") << "SSB";
        QTest::newRow("lsb") << QByteArray("<MODE:3>lsb<EOR>") << "SSB";
        QTest::newRow("ft8 with blanks") << QByteArray("<MODE:5> ft8 <EOR>") << "FT8";
        QTest::newRow("Ssb") << QByteArray("<MODE:3>Ssb<EOR>") << "SSB";
        QTest::newRow("absent") << QByteArray("<CALL:1>A<EOR>") << "";
        QTest::newRow("last wins") << QByteArray("<MODE:2>CW<MODE:4>RTTY<EOR>") << "RTTY";
    }
    void mode()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, mode);
        First r(data);
        QCOMPARE(r.reader.Mode(), mode);
    }

    void frequencies_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<double>("frequency");
        QTest::addColumn<double>("split");
        QTest::newRow("FREQ") << QByteArray("<FREQ:9>14.025360<BAND:3>40m<EOR>") << 14.02536 << 14.02536;
        QTest::newRow("FREQ with blanks") << QByteArray("<FREQ:7> 7.074 <EOR>") << 7.074 << 7.074;
        QTest::newRow("FREQ_RX") << QByteArray("<FREQ:7>145.980<FREQ_RX:6>437.80<EOR>") << 145.98 << 437.8;
        QTest::newRow("FREQ_RX not a number") << QByteArray("<FREQ:3>3.5<FREQ_RX:2>no<EOR>") << 3.5 << 3.5;
        QTest::newRow("band 20m") << QByteArray("<BAND:3>20m<EOR>") << 14.0 << 14.0;
        QTest::newRow("band 2190M") << QByteArray("<BAND:5>2190M<EOR>") << 0.1357 << 0.1357;
        QTest::newRow("band 560m") << QByteArray("<BAND:4>560m<EOR>") << 0.501 << 0.501;
        QTest::newRow("band 5m") << QByteArray("<BAND:2>5m<EOR>") << 54.000001 << 54.000001;
        QTest::newRow("band 1.25cm") << QByteArray("<BAND:6>1.25CM<EOR>") << 24000.0 << 24000.0;
        QTest::newRow("band 2.5mm") << QByteArray("<BAND:5>2.5mm<EOR>") << 119980.0 << 119980.0;
        QTest::newRow("band SUBMM") << QByteArray("<BAND:5>SUBMM<EOR>") << 300000.0 << 300000.0;
        QTest::newRow("FREQ not a number") << QByteArray("<FREQ:6>14,074<BAND:3>20m<EOR>") << 14.0 << 14.0;
        QTest::newRow("FREQ nan") << QByteArray("<FREQ:3>nan<BAND:3>17m<EOR>") << 18.068 << 18.068;
        QTest::newRow("FREQ empty") << QByteArray("<FREQ:0><BAND:3>12m<EOR>") << 24.89 << 24.89;
        QTest::newRow("band only, split from FREQ_RX") << QByteArray("<BAND:2>2m<FREQ_RX:5>435.1<EOR>") << 144.0 << 435.1;
        QTest::newRow("unknown band") << QByteArray("<BAND:3>11m<EOR>") << 0.0 << 0.0;
        QTest::newRow("neither") << QByteArray("<CALL:1>A<EOR>") << 0.0 << 0.0;
    }
    void frequencies()
    {
        QFETCH(QByteArray, data);
        QFETCH(double, frequency);
        QFETCH(double, split);
        First r(data);
        QCOMPARE(r.reader.Frequency(), frequency);
        QCOMPARE(r.reader.SplitFrequency(), split);
    }

    void timestamp_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QList<int>>("parts"); // year month day hour minute second
        QTest::newRow("HHMMSS") << QByteArray("<QSO_DATE:8>20240315<TIME_ON:6>235958<EOR>") << QList<int>{2024, 3, 15, 23, 59, 58};
        QTest::newRow("HHMM") << QByteArray("<QSO_DATE:8>19991231<TIME_ON:4>0007<EOR>") << QList<int>{1999, 12, 31, 0, 7, 0};
        QTest::newRow("blanks around") << QByteArray("<QSO_DATE:10> 20240229 <TIME_ON:6>1200 \n<EOR>") << QList<int>{2024, 2, 29, 12, 0, 0};
        QTest::newRow("absent") << QByteArray("<CALL:1>A<EOR>") << QList<int>{0, 0, 0, 0, 0, 0};
        QTest::newRow("seven digits") << QByteArray("<QSO_DATE:7>2024031<TIME_ON:5>12345<EOR>") << QList<int>{0, 0, 0, 0, 0, 0};
        QTest::newRow("not digits") << QByteArray("<QSO_DATE:10>2024-03-15<TIME_ON:6>12:34a<EOR>") << QList<int>{0, 0, 0, 0, 0, 0};
        QTest::newRow("month 13, hour 24") << QByteArray("<QSO_DATE:8>20241301<TIME_ON:6>246061<EOR>") << QList<int>{2024, 0, 1, 0, 0, 0};
        QTest::newRow("29 February 2023") << QByteArray("<QSO_DATE:8>20230229<TIME_ON:4>1261<EOR>") << QList<int>{2023, 2, 0, 12, 0, 0};
        QTest::newRow("day 00") << QByteArray("<QSO_DATE:8>20230400<EOR>") << QList<int>{2023, 4, 0, 0, 0, 0};
    }
    void timestamp()
    {
        QFETCH(QByteArray, data);
        QFETCH(QList<int>, parts);
        First r(data);
        const adif::TimeStamp t = r.reader.Time();
        QCOMPARE((QList<int>{t.year, t.month, t.day, t.hour, t.minute, t.second}), parts);
    }

    void noRecordCurrent()
    {
        AdifReader c;
        auto expectEmpty = [&] {
            QCOMPARE(c.Mode(), QString());
            QCOMPARE(c.FieldValue("CALL"), QString());
            QCOMPARE(c.Frequency(), 0.0);
            QCOMPARE(c.SplitFrequency(), 0.0);
            const adif::TimeStamp t = c.Time();
            QCOMPARE((QList<int>{t.year, t.month, t.day, t.hour, t.minute, t.second}), QList<int>(6, 0));
            QVERIFY(c.CurrentFieldNames().isEmpty());
        };
        expectEmpty(); // no file
        QVERIFY(!c.NextRecord());
        QVERIFY(c.FieldNames().isEmpty());

        c.OpenMemory("<CALL:3>ABC<FREQ:3>7.1<MODE:2>CW<QSO_DATE:8>20240101<TIME_ON:4>1234<EOR>");
        expectEmpty(); // before the first record
        QVERIFY(c.NextRecord());
        QCOMPARE(c.FieldValue("CALL"), "ABC");
        QVERIFY(!c.NextRecord());
        expectEmpty(); // after the last
        QVERIFY(!c.NextRecord());

        c.Open(QString()); // empty name: no file
        expectEmpty();
        QVERIFY(!c.NextRecord());
        QVERIFY(c.FieldNames().isEmpty());
    }

    // A file that cannot be opened is a FileError naming it, and leaves no file open.
    void fileNameErrors()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        AdifReader c;
        const QString missing = dir.filePath("missing.adi");
        const ReaderError notThere = Raised([&] { c.Open(missing); });
        QCOMPARE(notThere.path(), missing);
        QCOMPARE(notThere.message(), "No such file or directory");
        const ReaderError folder = Raised([&] { c.Open(dir.path()); });
        QCOMPARE(folder.path(), dir.path());
        QCOMPARE(folder.message(), "Is a directory");
        QVERIFY(!c.NextRecord());

        if (geteuid() != 0) { // root reads anything
            const QString locked = dir.filePath("locked.adi");
            QVERIFY(WriteFile(locked, "<CALL:1>A<EOR>"));
            QVERIFY(QFile::setPermissions(locked, QFileDevice::WriteOwner));
            QCOMPARE(Raised([&] { c.Open(locked); }).path(), locked);
        }
    }

    // The sample log that ships for the demo: whole, with its dupes, split and odd values.
    void sampleContestLog()
    {
        AdifReader c;
        c.Open(QStringLiteral(ARDENIX_SOURCE_DIR "/samples/sample-contest.adi"));
        int records = 0;
        int splits = 0;
        QSet<QString> modes;
        QSet<QString> contacts; // call, band and mode
        int dupes = 0;
        while (c.NextRecord()) {
            ++records;
            modes << c.Mode();
            splits += c.Frequency() != c.SplitFrequency();
            const QString key = c.FieldValue("CALL") + '/' + c.FieldValue("BAND") + '/' + c.Mode();
            dupes += contacts.contains(key);
            contacts << key;
            if (records == 10)
                QCOMPARE(c.FieldValue("COMMENT"), QStringLiteral("Strong signal,\r\nQSB"));
            QVERIFY(c.Time().year == 2026 && c.Time().month == 11);
        }
        QCOMPARE(records, 45);
        QCOMPARE(splits, 1);
        QCOMPARE(dupes, 3);
        QCOMPARE(modes, (QSet<QString>{"CW", "SSB", "RTTY", "FM", "AM"}));
    }

    void settingFileNameAgainRestarts()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("log.adi");
        QVERIFY(WriteFile(path, "<CALL:1>A<EOR><CALL:1>B<EOR>"));
        AdifReader c;
        c.Open(path);
        QVERIFY(c.NextRecord());
        QVERIFY(c.NextRecord());
        QCOMPARE(c.FieldValue("CALL"), "B");
        QCOMPARE(c.FieldNames(), QStringList{"CALL"});

        QVERIFY(WriteFile(path, "<MODE:2>CW<EOR>"));
        c.Open(path);
        QCOMPARE(c.FieldValue("CALL"), QString()); // before the first record again
        QVERIFY(c.NextRecord());
        QCOMPARE(c.FieldValue("MODE"), "CW");
        QCOMPARE(c.FieldNames(), QStringList{"MODE"}); // names gathered afresh for the new file
        QVERIFY(!c.NextRecord());
    }

    // What the reader raises for a record over its limit: the kind, the file,
    // where the record starts, and what() as the message.
    void readerErrorOfARecordTooLong_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("many fields") << "<CALL:1>A<EOR>" + QByteArray("<A:1>x").repeated(20) + "<EOR>";
        QTest::newRow("one huge declared length") << "<CALL:1>A<EOR><NOTES:100>" + QByteArray(100, 'x');
    }
    void readerErrorOfARecordTooLong()
    {
        QFETCH(QByteArray, data);
        AdifReader reader;
        reader.OpenMemory(data, 16, 64);
        QVERIFY(reader.NextRecord());
        const ReaderError error = Raised([&] { reader.NextRecord(); });
        QCOMPARE(error.kind(), ReaderError::Kind::RecordTooLong);
        QCOMPARE(error.path(), QStringLiteral("(memory)"));
        QCOMPARE(error.offset(), std::optional<uint64_t>(14));
        QCOMPARE(error.message(), QStringLiteral("the record at byte 14 is longer than 64 bytes"));
        QCOMPARE(QString::fromUtf8(error.what()), error.message());
    }

    void recordLongerThanTheLimit()
    {
        using adif::AdiParser;
        using adif::MemorySource;
        const QByteArray big = "<CALL:1>A<EOR><NOTES:100>" + QByteArray(100, 'x') + "<EOR>";
        AdiParser parser(std::make_unique<MemorySource>(big), 16, 64);
        QVERIFY(parser.Next());
        QCOMPARE(Raised([&] { parser.Next(); }).kind(), ReaderError::Kind::RecordTooLong);
        QVERIFY(!parser.Next()); // stays at the end after the error

        // Text between records is not held, however long.
        const QByteArray text(1000, 'x');
        AdiParser chatty(std::make_unique<MemorySource>(text + "<CALL:1>A<EOR>" + text + "<CALL:1>B<EOR>" + text), 16, 64);
        QVERIFY(chatty.Next());
        QVERIFY(chatty.Next());
        QCOMPARE(chatty.Value(chatty.Fields().at(0)), std::string_view("B"));
        QVERIFY(!chatty.Next());

        // A declared length beyond the limit and beyond the data: just the end.
        AdiParser beyond(std::make_unique<MemorySource>("<CALL:1>A<EOR><NOTES:1000>xyz"), 16, 64);
        QVERIFY(beyond.Next());
        QVERIFY(!beyond.Next());

        // Beyond the limit with a tag after the value: the tag ends it.
        AdiParser cut(std::make_unique<MemorySource>("<NOTES:1000>xyz<EOR><CALL:1>B<EOR>"), 16, 64);
        QVERIFY(cut.Next());
        QCOMPARE(cut.Value(cut.Fields().at(0)), std::string_view("xyz"));
        QVERIFY(cut.Next());
        QCOMPARE(cut.Value(cut.Fields().at(0)), std::string_view("B"));
        QCOMPARE(cut.Diagnosed().count, uint64_t(1));
    }
};

QTEST_GUILESS_MAIN(TestReaderAdif)
#include "tst_reader_adif.moc"
