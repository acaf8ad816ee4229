// SPDX-License-Identifier: GPL-3.0-or-later
#include "../support/RaisedError.h"
#include "DateSerial.h"
#include "Pacing.h"
#include "clsSchedule.h"

#include <QDateTime>
#include <QTest>
#include <cmath>
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
constexpr double kSecondInDays = 1.0 / (24.0 * 60.0 * 60.0);

// A replay on the shared clock, as the window's timer runs it: "Go" at
// moment 0, each timer event this late after its interval, each log step
// costing stepMs. Answers the moment each contact was logged.
QList<qint64> ReplayOnSchedule(const QList<double> &seconds, double startSeconds, int speed, int eventLateMs,
                               int stepMs)
{
    clsSchedule schedule;
    schedule.Begin(0, startSeconds * kSecondInDays);
    QList<qint64> logged;
    qint64 now = 0;
    for (const double second : seconds) {
        const int64_t due = schedule.Next(second * kSecondInDays, int16_t(speed));
        const clsSchedule::Wait wait = clsSchedule::WaitUntil(now, due);
        now += wait.IntervalMs + eventLateMs;
        for (int32_t countdown = wait.Countdown - 1; countdown >= 1; --countdown)
            now += clsSchedule::IntervalToNextEvent(now, due, countdown) + eventLateMs;
        logged << now;
        now += stepMs;
    }
    return logged;
}

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

    // Under --go-at each contact is due at go-at + (its time - start) /
    // speed: the waits are counted against those moments, so late timer
    // events, the log steps' cost and the 200 ms floor on bunched contacts
    // never add up. lateMs is the most any contact came after its moment
    // (or after go-at, for one due before).
    void sharedClockWaits_data()
    {
        QTest::addColumn<QList<double>>("seconds"); // the contacts' times, from the start
        QTest::addColumn<double>("start");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("eventLateMs");
        QTest::addColumn<int>("stepMs");
        QTest::addColumn<QList<qint64>>("logged"); // the first moments, in ms after go-at
        QTest::addColumn<qint64>("lateMs");
        QTest::newRow("bunched: 200 ms apart, then on time again")
            << QList<double>{0, 0, 0, 0, 0, 3} << 0.0 << 0 << 0 << 0 << QList<qint64>{0, 200, 400, 600, 800, 3000}
            << qint64(800);
        QTest::newRow("bunched, steps costly and events late")
            << QList<double>{0, 0, 0, 1.5} << 0.0 << 0 << 2 << 30 << QList<qint64>{2, 202, 402, 1502} << qint64(402);
        QTest::newRow("first wait from the start, not the station's first contact")
            << QList<double>{90, 91, 100} << 0.0 << 3 << 0 << 0 << QList<qint64>{11250, 11450, 12500} << qint64(75);
        QTest::newRow("countdowns with late events and costly steps")
            << QList<double>{0, 2.4, 10, 3600} << 0.0 << 0 << 3 << 40 << QList<qint64>{3, 2403, 10003, 3600003}
            << qint64(3);
        QTest::newRow("time going back an hour: at once")
            << QList<double>{3600, 0, 3601} << 3600.0 << 0 << 0 << 0 << QList<qint64>{0, 200, 1000} << qint64(200);
        QTest::newRow("5/sec: the n-th contact at n x 200 ms")
            << QList<double>{0, 3600, 5, 7} << 0.0 << 4 << 1 << 30 << QList<qint64>{1, 201, 401, 601} << qint64(1);
        // Two days of a station at 8X: 20,000 contacts 1 to 16 s apart, the
        // 1 s gaps (125 ms) under the floor.
        QList<double> station{0};
        for (int n = 1; n < 20000; ++n)
            station << station.last() + 1 + (n * 7) % 16;
        QTest::newRow("a long log at 8X") << station << 0.0 << 3 << 2 << 5 << QList<qint64>{2, 1002} << qint64(77);
    }
    void sharedClockWaits()
    {
        QFETCH(QList<double>, seconds);
        QFETCH(double, start);
        QFETCH(int, speed);
        QFETCH(int, eventLateMs);
        QFETCH(int, stepMs);
        QFETCH(QList<qint64>, logged);
        QFETCH(qint64, lateMs);
        const QList<qint64> moments = ReplayOnSchedule(seconds, start, speed, eventLateMs, stepMs);
        QCOMPARE(moments.mid(0, logged.size()), logged);
        const double factor = Pacing::ContestSecondsPerSecond(int16_t(speed));
        qint64 latest = 0;
        for (qsizetype n = 0; n < moments.size(); ++n) {
            const qint64 due = factor == 0 ? n * Pacing::kShortestWaitMs
                                           : qint64(std::llround((seconds[n] - start) * 1000 / factor));
            latest = std::max(latest, moments[n] - std::max<qint64>(due, 0));
        }
        QCOMPARE(latest, lateMs);
    }
};

QTEST_APPLESS_MAIN(TestPacing)

#include "tst_pacing.moc"
