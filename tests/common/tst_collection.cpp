// SPDX-License-Identifier: GPL-3.0-or-later
#include "Collection.h"

#include "../support/RaisedError.h"

#include <QTest>
#include <memory>

namespace {

struct Record {
    QString name;
};

QStringList Names(const Collection<QString> &c)
{
    QStringList out;
    for (const QString &s : c)
        out << s;
    return out;
}

} // namespace

class TestCollection : public QObject {
    Q_OBJECT
private slots:
    void keepsInsertionOrderAndPositionsFromOne()
    {
        Collection<QString> c;
        c.Add(QStringLiteral("CALL"), QStringLiteral("CALL"));
        c.Add(QStringLiteral("unkeyed"));
        c.Add(QStringLiteral("RST_SENT"), QStringLiteral("RST_SENT"));
        QCOMPARE(c.Count(), 3);
        QCOMPARE(c.Item(1), QStringLiteral("CALL"));
        QCOMPARE(c.Item(3), QStringLiteral("RST_SENT"));
        QCOMPARE(Names(c), (QStringList{"CALL", "unkeyed", "RST_SENT"}));
    }

    void keysIgnoreLetterCase()
    {
        Collection<QString> c;
        c.Add(QStringLiteral("Freq"), QStringLiteral("Freq"));
        QCOMPARE(c.Item(QStringLiteral("FREQ")), QStringLiteral("Freq"));
        QVERIFY(c.Contains(QStringLiteral("freq")));
        QCOMPARE(RaisedErrorNumber([&] { c.Add(QStringLiteral("other"), QStringLiteral("fReQ")); }), 457);
        QCOMPARE(c.Count(), 1); // the refused item was not added
    }

    void numericKeysAreText()
    {
        Collection<QString> c;
        c.Add(QStringLiteral("column 7"), QStringLiteral("7"));
        c.Add(QStringLiteral("column 10"), QStringLiteral("10"));
        QCOMPARE(c.Item(QStringLiteral("10")), QStringLiteral("column 10"));
        QCOMPARE(RaisedErrorNumber([&] { c.Item(QStringLiteral("1")); }), 5);
    }

    void errorsForBadPositionsAndKeys()
    {
        Collection<QString> c;
        QCOMPARE(RaisedErrorNumber([&] { c.Item(1); }), 9);
        QCOMPARE(RaisedErrorNumber([&] { c.Remove(1); }), 9);
        c.Add(QStringLiteral("a"));
        QCOMPARE(RaisedErrorNumber([&] { c.Item(0); }), 9);
        QCOMPARE(RaisedErrorNumber([&] { c.Item(2); }), 9);
        QCOMPARE(RaisedErrorNumber([&] { c.Remove(-1); }), 9);
        QCOMPARE(RaisedErrorNumber([&] { c.Item(QStringLiteral("a")); }), 5);
    }

    void removeShiftsPositionsAndFreesTheKey()
    {
        Collection<QString> c;
        c.Add(QStringLiteral("one"), QStringLiteral("1"));
        c.Add(QStringLiteral("two"), QStringLiteral("2"));
        c.Add(QStringLiteral("three"), QStringLiteral("3"));
        c.Remove(2);
        QCOMPARE(Names(c), (QStringList{"one", "three"}));
        QCOMPARE(c.Item(2), QStringLiteral("three"));
        QVERIFY(!c.Contains(QStringLiteral("2")));
        c.Add(QStringLiteral("two again"), QStringLiteral("2"));
        QCOMPARE(c.Item(QStringLiteral("2")), QStringLiteral("two again"));
        QCOMPARE(c.Item(3), QStringLiteral("two again"));
    }

    void sharesRecordsByReference()
    {
        auto record = std::make_shared<Record>();
        Collection<std::shared_ptr<Record>> first;
        Collection<std::shared_ptr<Record>> second;
        first.Add(record, QStringLiteral("3"));
        second.Add(first.Item(QStringLiteral("3")), QStringLiteral("3"));
        record->name = QStringLiteral("CALL");
        QCOMPARE(second.Item(1)->name, QStringLiteral("CALL"));
        QCOMPARE(first.Item(1).get(), second.Item(1).get());
        first.Remove(1);
        QCOMPARE(second.Item(1)->name, QStringLiteral("CALL")); // lives on in the other collection
    }
};

QTEST_APPLESS_MAIN(TestCollection)
#include "tst_collection.moc"
