// SPDX-License-Identifier: GPL-3.0-or-later
#include "ContestStatistics.h"
#include "ContestTime.h"
#include "DateSerial.h"

#include <QDateTime>
#include <QTest>

namespace {

// A time stamp in days, as the window forms it from a record's six parts.
double At(const QString &dateTime)
{
    const QDateTime t = QDateTime::fromString(dateTime, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    return DateSerial::Date(t.date().year(), t.date().month(), t.date().day())
        + DateSerial::Time(t.time().hour(), t.time().minute(), t.time().second());
}

std::vector<double> Times(const QStringList &dateTimes)
{
    std::vector<double> times;
    for (const QString &dateTime : dateTimes)
        times.push_back(At(dateTime));
    return times;
}

// n contacts from start, one every `everySeconds`.
QStringList Steady(const QString &start, int n, int everySeconds)
{
    QStringList times;
    const QDateTime first = QDateTime::fromString(start, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    for (int i = 0; i < n; ++i)
        times << first.addSecs(qint64(i) * everySeconds).toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    return times;
}

QString Rate(const std::optional<int32_t> &rate) { return rate ? QString::number(*rate) : QStringLiteral("-"); }

} // namespace

// The figures of a log at a point of its replay, and its timeline, from
// the records' time stamps in file order.
class TestContest : public QObject {
    Q_OBJECT
private slots:
    void figures_data()
    {
        QTest::addColumn<QStringList>("times");
        QTest::addColumn<int>("logged");     // the first records logged
        QTest::addColumn<QString>("now");    // the contest clock
        QTest::addColumn<QString>("last10"); // contacts per hour, "-" for none
        QTest::addColumn<QString>("last100");
        QTest::addColumn<int>("lastHour");
        QTest::addColumn<QString>("busiest"); // "hour: count"
        QTest::addColumn<int>("bins");
        QTest::addColumn<int>("highestBin");

        // One every 6 minutes: 10 an hour.
        const QStringList steady = Steady(QStringLiteral("2025-03-29 12:00:00"), 121, 360);
        QTest::newRow("steady, just after the 11th") << steady << 11 << "2025-03-29 13:00:00" << "10" << "-" << 10
                                                     << "2025-03-29 12:00Z: 10" << 73 << 2;
        // Half an hour later nothing more was logged: the rates fall.
        QTest::newRow("steady, then a silent half hour") << steady << 11 << "2025-03-29 13:30:00" << "7" << "-" << 5
                                                         << "2025-03-29 12:00Z: 10" << 73 << 2;
        QTest::newRow("steady, all logged") << steady << 121 << "2025-03-29 24:00:00" << "10" << "10" << 10
                                            << "2025-03-29 12:00Z: 10" << 73 << 2;
        // 30 in the last 5 minutes before midnight, then one every 30 seconds.
        QStringList midnight = Steady(QStringLiteral("2025-03-29 23:55:00"), 30, 10);
        midnight += Steady(QStringLiteral("2025-03-30 00:00:00"), 40, 30);
        QTest::newRow("across midnight") << midnight << 40 << "2025-03-30 00:04:30" << "129" << "-" << 40
                                         << "2025-03-30 00:00Z: 40" << 3 << 30;
        QTest::newRow("across midnight, all logged") << midnight << 70 << "2025-03-30 00:19:30" << "120" << "-" << 70
                                                     << "2025-03-30 00:00Z: 40" << 3 << 30;
        QTest::newRow("a single contact") << QStringList{"2025-03-29 14:03:27"} << 1 << "2025-03-29 14:03:27" << "-"
                                          << "-" << 1 << "2025-03-29 14:00Z: 1" << 1 << 1;
        QTest::newRow("nothing logged yet") << QStringList{"2025-03-29 14:03:27"} << 0 << "2025-03-29 14:03:27" << "-"
                                            << "-" << 0 << "2025-03-29 14:00Z: 1" << 1 << 1;
        // Eleven in one second: no time to divide by.
        QTest::newRow("all in one second") << Steady(QStringLiteral("2025-03-29 14:00:00"), 11, 0) << 11
                                           << "2025-03-29 14:00:00" << "-" << "-" << 11 << "2025-03-29 14:00Z: 11" << 1 << 11;
        // Two hours of equal counts: the earlier is the busiest; out of file order all the same.
        QTest::newRow("a tie, out of order")
            << QStringList{"2025-03-29 15:10:00", "2025-03-29 14:50:00", "2025-03-29 15:20:00", "2025-03-29 14:10:00"} << 4
            << "2025-03-29 15:20:00" << "-" << "-" << 3 << "2025-03-29 14:00Z: 2" << 8 << 1;
    }
    void figures()
    {
        QFETCH(QStringList, times);
        QFETCH(int, logged);
        QFETCH(QString, now);
        QFETCH(QString, last10);
        QFETCH(QString, last100);
        QFETCH(int, lastHour);
        QFETCH(QString, busiest);
        QFETCH(int, bins);
        QFETCH(int, highestBin);
        // "24:00:00" carries over into the next day, as a time stamp's parts do.
        const QStringList parts = now.split(QLatin1Char(' '));
        const QStringList hms = parts.at(1).split(QLatin1Char(':'));
        const double clock = At(parts.at(0) + QStringLiteral(" 00:00:00"))
            + DateSerial::Time(hms.at(0).toInt(), hms.at(1).toInt(), hms.at(2).toInt());

        const ContestStatistics contest(Times(times));
        QCOMPARE(contest.Count(), times.size());
        QCOMPARE(Rate(contest.RateOverLast(10, logged, clock)), last10);
        QCOMPARE(Rate(contest.RateOverLast(100, logged, clock)), last100);
        QCOMPARE(contest.CountInLastHour(logged, clock), lastHour);
        const ContestStatistics::Hour hour = contest.BusiestHour();
        QCOMPARE(QStringLiteral("%1: %2").arg(ContestTime::HourText(hour.Start)).arg(hour.Count), busiest);
        QCOMPARE(int(contest.Bins().Counts.size()), bins);
        QCOMPARE(contest.Bins().Highest, highestBin);
        int binned = 0;
        for (int32_t count : contest.Bins().Counts)
            binned += count;
        QCOMPARE(binned, times.size());
    }

    // With bands, each bin counts its contacts by band too, lowest band
    // first; contacts of no band count only in the bin's total.
    void timelineCountsByBand()
    {
        const ContestStatistics contest(
            Times({"2025-03-29 14:00:00", "2025-03-29 14:05:00", "2025-03-29 14:12:00", "2025-03-29 14:15:00"}),
            {-1, 8, 3, 8});
        QCOMPARE(contest.Bins().Counts, (std::vector<int32_t>{2, 2}));
        QCOMPARE(contest.Bins().Bands, (std::vector<int16_t>{3, 8}));
        QCOMPARE(contest.Bins().BandCounts, (std::vector<int32_t>{0, 1, 1, 1}));
    }

    // What a user may type as a start, and the moment it names in a log
    // whose first contact is at 2025-03-29 22:30:00.
    void typedMoments_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("moment"); // empty when refused
        QTest::newRow("dated, T") << "2025-03-30T14:00" << "2025-03-30 14:00:00Z";
        QTest::newRow("dated, seconds, Z") << "2025-03-30 14:00:27z" << "2025-03-30 14:00:27Z";
        QTest::newRow("time of day: the next day") << "14:00" << "2025-03-30 14:00:00Z";
        QTest::newRow("time of day: the same day") << " 23:15:05 " << "2025-03-29 23:15:05Z";
        QTest::newRow("the first contact's own time") << "22:30" << "2025-03-29 22:30:00Z";
        QTest::newRow("hour 24") << "24:00" << "";
        QTest::newRow("minute 60") << "14:60" << "";
        QTest::newRow("no such day") << "2025-02-29 14:00" << "";
        QTest::newRow("a date alone") << "2025-03-30" << "";
        QTest::newRow("no minutes") << "14" << "";
        QTest::newRow("words") << "noon" << "";
    }
    void typedMoments()
    {
        QFETCH(QString, typed);
        QFETCH(QString, moment);
        const std::optional<ContestTime::Typed> parsed = ContestTime::Parse(typed);
        QCOMPARE(parsed.has_value(), !moment.isEmpty());
        if (parsed)
            QCOMPARE(ContestTime::Text(ContestTime::Resolve(*parsed, At(QStringLiteral("2025-03-29 22:30:00")))), moment);
    }
};

QTEST_APPLESS_MAIN(TestContest)

#include "tst_contest.moc"
