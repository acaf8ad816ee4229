// SPDX-License-Identifier: GPL-3.0-or-later
#include "ContestStatistics.h"

#include "ContestTime.h"
#include "Numbers.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int64_t kHourSeconds = 60 * 60;

} // namespace

ContestStatistics::ContestStatistics(const std::vector<double> &times, const std::vector<int16_t> &bands)
{
    m_Seconds.reserve(times.size());
    for (double time : times)
        m_Seconds.push_back(ContestTime::Seconds(time));
    if (m_Seconds.empty())
        return;
    const auto [earliest, latest] = std::minmax_element(m_Seconds.begin(), m_Seconds.end());
    m_Earliest = *earliest;
    m_Latest = *latest;
    MakeTimeline(bands);
    FindBusiestHour();
}

double ContestStatistics::TimeAt(int32_t position) const { return ContestTime::Days(m_Seconds.at(position)); }
double ContestStatistics::EarliestTime() const { return ContestTime::Days(m_Earliest); }
double ContestStatistics::LatestTime() const { return ContestTime::Days(m_Latest); }

bool ContestStatistics::Holds(double moment) const
{
    const int64_t seconds = ContestTime::Seconds(moment);
    return !m_Seconds.empty() && seconds >= m_Earliest && seconds <= m_Latest;
}

int32_t ContestStatistics::FirstAtOrAfter(double moment) const
{
    const int64_t seconds = ContestTime::Seconds(moment);
    const auto found = std::find_if(m_Seconds.begin(), m_Seconds.end(), [seconds](int64_t t) { return t >= seconds; });
    return static_cast<int32_t>(found - m_Seconds.begin());
}

void ContestStatistics::MakeTimeline(const std::vector<int16_t> &bands)
{
    const int64_t start = Numbers::FloorDiv(m_Earliest, kBinSeconds) * kBinSeconds;
    const int64_t tenMinuteBins = (m_Latest - start) / kBinSeconds + 1;
    const int64_t binSeconds = kBinSeconds * ((tenMinuteBins + kMostBins - 1) / kMostBins);
    m_Timeline.Start = ContestTime::Days(start);
    m_Timeline.BinDays = ContestTime::Days(binSeconds);
    m_Timeline.Counts.assign(static_cast<size_t>((m_Latest - start) / binSeconds + 1), 0);
    for (int64_t t : m_Seconds) {
        int32_t &count = m_Timeline.Counts[static_cast<size_t>((t - start) / binSeconds)];
        ++count;
        m_Timeline.Highest = std::max(m_Timeline.Highest, count);
    }
    if (bands.size() != m_Seconds.size())
        return;
    for (int16_t band : bands)
        if (band >= 0 && std::find(m_Timeline.Bands.begin(), m_Timeline.Bands.end(), band) == m_Timeline.Bands.end())
            m_Timeline.Bands.push_back(band);
    std::sort(m_Timeline.Bands.begin(), m_Timeline.Bands.end());
    const size_t width = m_Timeline.Bands.size();
    m_Timeline.BandCounts.assign(m_Timeline.Counts.size() * width, 0);
    for (size_t record = 0; record < bands.size(); ++record) {
        const auto known = std::lower_bound(m_Timeline.Bands.begin(), m_Timeline.Bands.end(), bands[record]);
        if (bands[record] < 0 || known == m_Timeline.Bands.end())
            continue;
        const auto bin = static_cast<size_t>((m_Seconds[record] - start) / binSeconds);
        ++m_Timeline.BandCounts[bin * width + static_cast<size_t>(known - m_Timeline.Bands.begin())];
    }
}

void ContestStatistics::FindBusiestHour()
{
    std::vector<int64_t> hours;
    hours.reserve(m_Seconds.size());
    for (int64_t t : m_Seconds)
        hours.push_back(Numbers::FloorDiv(t, kHourSeconds));
    std::sort(hours.begin(), hours.end());
    for (auto run = hours.begin(); run != hours.end();) {
        const auto end = std::upper_bound(run, hours.end(), *run);
        const auto count = static_cast<int32_t>(end - run);
        if (count > m_BusiestHour.Count) // strictly more: the earliest of equals stays
            m_BusiestHour = {ContestTime::Days(*run * kHourSeconds), count};
        run = end;
    }
}

std::optional<int32_t> ContestStatistics::RateOverLast(int32_t contacts, int32_t logged, double now) const
{
    if (contacts <= 0 || logged <= contacts || logged > Count())
        return std::nullopt;
    const int64_t seconds = ContestTime::Seconds(now) - m_Seconds[static_cast<size_t>(logged - contacts - 1)];
    if (seconds <= 0)
        return std::nullopt;
    return static_cast<int32_t>(std::llround(double(contacts) * double(kHourSeconds) / double(seconds)));
}

int32_t ContestStatistics::CountInLastHour(int32_t logged, double now) const
{
    const int64_t until = ContestTime::Seconds(now);
    const auto end = m_Seconds.begin() + std::clamp(logged, 0, Count());
    return static_cast<int32_t>(
        std::count_if(m_Seconds.begin(), end, [until](int64_t t) { return t > until - kHourSeconds && t <= until; }));
}
