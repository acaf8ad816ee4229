// SPDX-License-Identifier: GPL-3.0-or-later
#include "Numbers.h"
#include "RuntimeError.h"

#include "../support/RaisedError.h"

#include <QTest>
#include <limits>

using namespace Numbers;

class TestNumbers : public QObject {
    Q_OBJECT
private slots:
    void roundsHalfToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("2.5") << 2.5 << 2;
        QTest::newRow("3.5") << 3.5 << 4;
        QTest::newRow("500.5") << 500.5 << 500;
        QTest::newRow("501.5") << 501.5 << 502;
        QTest::newRow("-2.5") << -2.5 << -2;
        QTest::newRow("-3.5") << -3.5 << -4;
        QTest::newRow("0.49999") << 0.49999 << 0;
        QTest::newRow("1.5000001") << 1.5000001 << 2;
        QTest::newRow("32767.4") << 32767.4 << 32767;
        QTest::newRow("-32768.5 rounds to even -32768") << -32768.5 << -32768;
    }
    void roundsHalfToEven()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        QCOMPARE(int(ToInt16(value)), expected);
        QCOMPARE(int(ToInt32(value)), expected);
    }

    void overflowsOutsideRange()
    {
        QCOMPARE(RaisedErrorNumber([] { ToInt16(32767.5); }), 6); // rounds to 32768
        QCOMPARE(RaisedErrorNumber([] { ToInt16(-32769.0); }), 6);
        QCOMPARE(RaisedErrorNumber([] { ToInt32(2147483647.5); }), 6);
        QCOMPARE(RaisedErrorNumber([] { ToInt32(std::numeric_limits<double>::quiet_NaN()); }), 6);
        QCOMPARE(RaisedErrorNumber([] { ToInt32(std::numeric_limits<double>::infinity()); }), 6);
        QCOMPARE(int(ToInt32(-2147483648.4)), std::numeric_limits<int32_t>::min());
    }

    void integerArithmeticWatchesRange()
    {
        QCOMPARE(int(Add16(32766, 1)), 32767);
        QCOMPARE(RaisedErrorNumber([] { Add16(32767, 1); }), 6);
        QCOMPARE(RaisedErrorNumber([] { Add32(std::numeric_limits<int32_t>::max(), 1); }), 6);
        QCOMPARE(RaisedErrorNumber([] { Sub32(std::numeric_limits<int32_t>::min(), 1); }), 6);
    }

    void variantToInt16()
    {
        QCOMPARE(int(VariantToInt16(QVariant())), 0);
        QCOMPARE(int(VariantToInt16(QVariant(true))), -1);
        QCOMPARE(int(VariantToInt16(QVariant(12))), 12);
        QCOMPARE(int(VariantToInt16(QVariant(2.5))), 2);
        QCOMPARE(int(VariantToInt16(QVariant(QStringLiteral(" 7 ")))), 7);
        QCOMPARE(int(VariantToInt16(QVariant(QStringLiteral("3.5")))), 4);
        QCOMPARE(int(VariantToInt16(QVariant(QStringLiteral("1e3")))), 1000);
        QCOMPARE(int(VariantToInt16(QVariant(QStringLiteral("&H1F")))), 31);
        QCOMPARE(int(VariantToInt16(QVariant::fromValue<qint16>(-5))), -5);
        QCOMPARE(RaisedErrorNumber([] { VariantToInt16(QVariant(40000)); }), 6);
        QCOMPARE(RaisedErrorNumber([] { VariantToInt16(QVariant(QStringLiteral("40000"))); }), 6);
        QCOMPARE(RaisedErrorNumber([] { VariantToInt16(QVariant(QStringLiteral("abc"))); }), 13);
        QCOMPARE(RaisedErrorNumber([] { VariantToInt16(QVariant(QString())); }), 13);
        QCOMPARE(RaisedErrorNumber([] { VariantToInt16(QVariant(QStringLiteral("12abc"))); }), 13);
        QCOMPARE(RaisedErrorNumber([] { VariantToInt16(QVariant(QStringLiteral("nan"))); }), 13);
        QCOMPARE(RaisedErrorNumber([] { VariantToInt16(QVariant::fromValue<qulonglong>(1ull << 63)); }), 6);
        QCOMPARE(RaisedErrorNumber([] { VariantToInt16(QVariant(QStringList{QStringLiteral("1")})); }), 13);
    }

    void variantToInt32AndDouble()
    {
        QCOMPARE(VariantToInt32(QVariant(QStringLiteral("-2147483648"))), std::numeric_limits<int32_t>::min());
        QCOMPARE(RaisedErrorNumber([] { VariantToInt32(QVariant(qlonglong(1) << 31)); }), 6);
        QCOMPARE(VariantToInt32(QVariant(QStringLiteral("&HFFFFFFFF"))), -1);
        QCOMPARE(VariantToDouble(QVariant(QStringLiteral("14.025"))), 14.025);
        QCOMPARE(VariantToDouble(QVariant(QStringLiteral(".5"))), 0.5);
        QCOMPARE(VariantToDouble(QVariant(7)), 7.0);
        QCOMPARE(VariantToDouble(QVariant()), 0.0);
        QCOMPARE(RaisedErrorNumber([] { VariantToDouble(QVariant(QStringLiteral("14,025"))); }), 13);
        QCOMPARE(RaisedErrorNumber([] { VariantToDouble(QVariant(QStringLiteral("1e999"))); }), 6);
    }

    void variantToText()
    {
        QCOMPARE(VariantToText(QVariant()), QString());
        QCOMPARE(VariantToText(QVariant(QStringLiteral(" W1AW "))), QStringLiteral(" W1AW "));
        QCOMPARE(VariantToText(QVariant(21.25)), QStringLiteral("21.25"));
        QCOMPARE(VariantToText(QVariant(1e20)), QStringLiteral("1E+20"));
        QCOMPARE(VariantToText(QVariant::fromValue<qint16>(-3)), QStringLiteral("-3"));
        QCOMPARE(VariantToText(QVariant(false)), QStringLiteral("False"));
        QCOMPARE(RaisedErrorNumber([] { VariantToText(QVariant(QStringList())); }), 13);
        // A variant that is kept keeps its text; a temporary gives it up.
        const QVariant kept(QStringLiteral("K1ABC"));
        QCOMPARE(VariantToText(kept), QStringLiteral("K1ABC"));
        QCOMPARE(kept.toString(), QStringLiteral("K1ABC"));
        const QVariant number(14.25);
        QCOMPARE(VariantToText(number), QStringLiteral("14.25"));
    }

    void comparisonWithANumber()
    {
        QVERIFY(VariantEqualsNumber(QVariant(0), 0));
        QVERIFY(VariantEqualsNumber(QVariant(), 0)); // nothing sent reads as 0
        QVERIFY(VariantEqualsNumber(QVariant(QStringLiteral(" 0 ")), 0));
        QVERIFY(!VariantEqualsNumber(QVariant(1), 0));
        QVERIFY(!VariantEqualsNumber(QVariant(true), 0));
        QCOMPARE(RaisedErrorNumber([] { VariantEqualsNumber(QVariant(QStringLiteral("no")), 0); }), 13);
    }

    void decimalTextIsPlainDigits()
    {
        QCOMPARE(DecimalText(12), QStringLiteral("12"));
        QCOMPARE(DecimalText(3600), QStringLiteral("3600"));
        QCOMPARE(DecimalText(-7), QStringLiteral("-7"));
    }
};

QTEST_APPLESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
