// SPDX-License-Identifier: GPL-3.0-or-later
#include "../support/RaisedError.h"
#include "DateSerial.h"
#include "Pacing.h"

#include <QDateTime>
#include <QTest>
#include <limits>
#include <optional>

namespace {

// A time stamp in days, as the window forms it from a record's six parts.
double At(const char *dateTime)
{
    const QDateTime t = QDateTime::fromString(QString::fromLatin1(dateTime), QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    return DateSerial::Date(t.date().year(), t.date().month(), t.date().day())
        + DateSerial::Time(t.time().hour(), t.time().minute(), t.time().second());
}

constexpr double kMsInDays = 1.0 / (24.0 * 60.0 * 60.0 * 1000.0);
constexpr int kLongest = std::numeric_limits<int32_t>::max();

} // namespace

// The wait after a log step, from the two time stamps and the speed's
// position in the list: the delay (at least 200 ms) and, above one second,
// the countdown in whole seconds, halves to even.
class TestPacing : public QObject {
    Q_OBJECT
private slots:
    void nextWait_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<double>("current");
        QTest::addColumn<double>("next");
        QTest::addColumn<int>("delayMs");
        QTest::addColumn<int>("countdown");
        QTest::addColumn<int>("error");
        const double noon = At("2026-11-28 12:00:00");
        auto row = [](const char *name, int speed, double current, double next, int delayMs, int countdown,
                      int error = 0) {
            QTest::newRow(name) << speed << current << next << delayMs << countdown << error;
        };
        row("same time: floor 200", 0, noon, noon, 200, 0);
        row("1 s: one interval", 0, noon, At("2026-11-28 12:00:01"), 1000, 0);
        row("2 s: countdown", 0, noon, At("2026-11-28 12:00:02"), 2000, 2);
        row("1 s at 4X", 2, noon, At("2026-11-28 12:00:01"), 250, 0);
        row("1 s at 8X: floor", 3, noon, At("2026-11-28 12:00:01"), 200, 0);
        row("1001 ms at 2X: 500.5 waits 500", 1, noon, noon + 1001 * kMsInDays, 500, 0);
        row("1003 ms at 2X: 501.5 waits 502", 1, noon, noon + 1003 * kMsInDays, 502, 0);
        row("3 s at 2X: 1.5 s counts 2", 1, noon, At("2026-11-28 12:00:03"), 1500, 2);
        row("5 s at 2X: 2.5 s counts 2", 1, noon, At("2026-11-28 12:00:05"), 2500, 2);
        row("7 s at 2X: 3.5 s counts 4", 1, noon, At("2026-11-28 12:00:07"), 3500, 4);
        row("9 s at 8X: 1.125 s counts 1", 3, noon, At("2026-11-28 12:00:09"), 1125, 1);
        row("an hour at 5/sec", 4, noon, At("2026-11-28 13:00:00"), 200, 0);
        row("3 s with no speed selected", -1, noon, At("2026-11-28 12:00:03"), 3000, 3);
        row("an hour back", 0, noon, At("2026-11-28 11:00:00"), 3600000, 3600);
        row("next day", 0, noon, At("2026-11-29 12:00:00"), 86400000, 86400);
        row("over midnight", 0, At("2026-11-28 23:59:58"), At("2026-11-29 00:00:03"), 5000, 5);
        // 2,147,483,647 ms is the longest wait; longer gaps wait that long either way.
        row("just within 32 bits", 0, noon, At("2026-12-23 08:31:23"), 2147483000, 2147483);
        row("just past 32 bits: capped", 0, noon, At("2026-12-23 08:31:24"), kLongest, 2147484);
        row("30 days earlier: capped", 0, noon, At("2026-10-29 12:00:00"), kLongest, 2147484);
        row("30 days at 2X", 1, noon, At("2026-12-28 12:00:00"), 1073741824, 1073742);
        row("no number: Overflow", 0, noon, std::numeric_limits<double>::quiet_NaN(), 0, 0, 6);
    }
    void nextWait()
    {
        QFETCH(int, speed);
        QFETCH(double, current);
        QFETCH(double, next);
        QFETCH(int, delayMs);
        QFETCH(int, countdown);
        QFETCH(int, error);
        // An optional, not a Wait assigned in place: GCC 12 drops a local's
        // initial value when the call assigning it throws, even at -O1.
        std::optional<Pacing::Wait> result;
        QCOMPARE(RaisedErrorNumber([&] { result = Pacing::NextWait(current, next, int16_t(speed)); }), error);
        const Pacing::Wait wait = result.value_or(Pacing::Wait());
        QCOMPARE(wait.DelayMs, delayMs);
        QCOMPARE(wait.Countdown, countdown);
    }
};

QTEST_APPLESS_MAIN(TestPacing)

#include "tst_pacing.moc"
