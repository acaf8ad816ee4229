// SPDX-License-Identifier: GPL-3.0-or-later
#include "DateSerial.h"

#include <QTest>

using DateSerial::Date;
using DateSerial::Time;

class TestDateSerial : public QObject {
    Q_OBJECT
private slots:
    void knownSerials()
    {
        QCOMPARE(Date(1899, 12, 30), 0.0);
        QCOMPARE(Date(1900, 1, 1), 2.0);
        QCOMPARE(Date(2000, 1, 1), 36526.0);
        QCOMPARE(Date(2026, 12, 7), 46363.0);
    }

    void leapYears()
    {
        QCOMPARE(Date(2024, 3, 1) - Date(2024, 2, 28), 2.0); // 2024 is a leap year
        QCOMPARE(Date(2023, 3, 1) - Date(2023, 2, 28), 1.0);
        QCOMPARE(Date(1900, 3, 1) - Date(1900, 2, 28), 1.0); // century, not leap
        QCOMPARE(Date(2000, 3, 1) - Date(2000, 2, 28), 2.0); // every 400 years, leap
        QCOMPARE(Date(2024, 2, 30), Date(2024, 3, 1));
    }

    void partsCarryOver()
    {
        QCOMPARE(Date(2025, 13, 1), Date(2026, 1, 1));
        QCOMPARE(Date(2025, 0, 15), Date(2024, 12, 15));
        QCOMPARE(Date(2025, -1, 1), Date(2024, 11, 1));
        QCOMPARE(Date(2025, 3, 0), Date(2025, 2, 28));
        QCOMPARE(Date(2024, 3, 0), Date(2024, 2, 29));
        QCOMPARE(Date(2025, 1, 32), Date(2025, 2, 1));
        QCOMPARE(Date(2025, 1, -1), Date(2024, 12, 30));
        QCOMPARE(Date(2025, 25, 1), Date(2027, 1, 1));
        QCOMPARE(Date(2025, 1, 365), Date(2025, 12, 31));
    }

    void timeOfDay()
    {
        QCOMPARE(Time(12, 0, 0), 0.5);
        QCOMPARE(Time(0, 0, 75), Time(0, 1, 15));
        QCOMPARE(Time(0, 61, 0), Time(1, 1, 0));
        QCOMPARE(Time(25, 0, 0), 1.0 + Time(1, 0, 0));
        QCOMPARE(Time(0, 0, -1), -1.0 / 86400.0);
        QCOMPARE(Time(1, -30, 0), Time(0, 30, 0));
    }

    void midnightCrossingGivesTheGap()
    {
        const double before = Date(2025, 12, 31) + Time(23, 59, 58);
        const double after = Date(2026, 1, 1) + Time(0, 0, 3);
        QCOMPARE(qRound((after - before) * 86400.0), 5);
    }
};

QTEST_APPLESS_MAIN(TestDateSerial)
#include "tst_dateserial.moc"
