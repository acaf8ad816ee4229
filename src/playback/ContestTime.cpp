// SPDX-License-Identifier: GPL-3.0-or-later
#include "ContestTime.h"

#include "DateSerial.h"
#include "Numbers.h"

#include <QRegularExpression>
#include <cmath>

namespace ContestTime {

namespace {

const QDate kEpoch(1899, 12, 30);

QString Two(int64_t n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

// "2025-03-29 14:03" and the seconds of the minute, from whole seconds.
QString DateHourMinute(int64_t seconds, int64_t *secondOfMinute)
{
    const int64_t day = Numbers::FloorDiv(seconds, kSecondsPerDay);
    const int64_t ofDay = seconds - day * kSecondsPerDay;
    if (secondOfMinute)
        *secondOfMinute = ofDay % 60;
    return kEpoch.addDays(day).toString(Qt::ISODate) + QLatin1Char(' ') + Two(ofDay / 3600) + QLatin1Char(':')
        + Two(ofDay / 60 % 60);
}

} // namespace

int64_t Seconds(double days) { return std::llround(days * double(kSecondsPerDay)); }

double Days(int64_t seconds) { return double(seconds) / double(kSecondsPerDay); }

QString Text(double days)
{
    int64_t second = 0;
    const QString minute = DateHourMinute(Seconds(days), &second);
    return minute + QLatin1Char(':') + Two(second) + QLatin1Char('Z');
}

QString HourText(double days)
{
    const int64_t seconds = Seconds(days);
    return DateHourMinute(Numbers::FloorDiv(seconds, 3600) * 3600, nullptr) + QLatin1Char('Z');
}

std::optional<Typed> Parse(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral(R"(^(?:(\d{4})-(\d{2})-(\d{2})[T ])?(\d{1,2}):(\d{2})(?::(\d{2}))?Z?$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const int hour = match.captured(4).toInt();
    const int minute = match.captured(5).toInt();
    const int second = match.captured(6).toInt(); // 0 when not given
    if (hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    Typed typed;
    typed.SecondOfDay = hour * 3600 + minute * 60 + second;
    if (match.hasCaptured(1)) {
        const QDate date(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt());
        if (!date.isValid())
            return std::nullopt;
        typed.Date = date;
    }
    return typed;
}

QString Forms()
{
    return QStringLiteral("2025-03-29T14:00, 2025-03-29 14:00 or 14:00, with or without seconds");
}

double Resolve(const Typed &typed, double earliest)
{
    if (typed.Date)
        return DateSerial::Date(typed.Date->year(), typed.Date->month(), typed.Date->day())
            + DateSerial::Time(0, 0, typed.SecondOfDay);
    const int64_t from = Seconds(earliest);
    int64_t moment = Numbers::FloorDiv(from, kSecondsPerDay) * kSecondsPerDay + typed.SecondOfDay;
    if (moment < from)
        moment += kSecondsPerDay;
    return Days(moment);
}

} // namespace ContestTime
