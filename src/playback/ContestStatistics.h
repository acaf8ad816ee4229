// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// What a log's time stamps tell of its contest: the contacts per 10 minutes
// for the timeline, the busiest clock hour, and the rates that contest
// loggers show an operator, at any point of a replay. Made once from the
// records' time stamps (days, in file order) when a file is chosen; every
// figure is worked out in whole seconds of contest time.
class ContestStatistics {
public:
    static constexpr int64_t kBinSeconds = 10 * 60;
    // A timeline longer than a year of 10-minute bins gets wider bins.
    static constexpr int64_t kMostBins = 366 * 24 * 6;

    ContestStatistics() = default;
    // bands, when given, holds each record's band as a number that grows
    // with the frequency (-1 for none); the timeline's bins are then
    // counted by band too.
    explicit ContestStatistics(const std::vector<double> &times, const std::vector<int16_t> &bands = {});

    int32_t Count() const { return static_cast<int32_t>(m_Seconds.size()); }
    // The time stamp (days) of the record at position (from 0) in the file.
    double TimeAt(int32_t position) const;
    double EarliestTime() const; // days; 0 without records
    double LatestTime() const;
    // Whether moment (days) lies between the earliest and the latest contact.
    bool Holds(double moment) const;
    // The position (from 0) of the first record in file order whose time is
    // at or after moment; Count() when there is none.
    int32_t FirstAtOrAfter(double moment) const;

    // The contacts per bin from the bin boundary at or before the earliest
    // contact to the bin that holds the latest.
    struct Timeline {
        double Start = 0;      // days
        double BinDays = 0;    // the width of one bin, in days
        std::vector<int32_t> Counts;
        int32_t Highest = 0;   // the largest count of a bin
        // The bands met, lowest first, and each bin's count of each: the
        // count of band k in bin b at b * Bands.size() + k. Empty without bands.
        std::vector<int16_t> Bands;
        std::vector<int32_t> BandCounts;
    };
    const Timeline &Bins() const { return m_Timeline; }

    // The clock hour (14:00 to 15:00) with the most contacts; the earliest
    // of several. A count of 0 without records.
    struct Hour {
        double Start = 0; // days
        int32_t Count = 0;
    };
    Hour BusiestHour() const { return m_BusiestHour; }

    // Contacts per hour over the last `contacts` of the first `logged`
    // records, at contest time now (days): those contacts divided by the
    // time from the contact before them to now, so the rate falls while
    // nothing is logged. None until more than `contacts` are logged, or
    // when that time is not positive (records out of order).
    std::optional<int32_t> RateOverLast(int32_t contacts, int32_t logged, double now) const;

    // How many of the first `logged` records lie in the 60 minutes up to now:
    // later than an hour before now, and not later than now.
    int32_t CountInLastHour(int32_t logged, double now) const;

private:
    void MakeTimeline(const std::vector<int16_t> &bands);
    void FindBusiestHour();

    std::vector<int64_t> m_Seconds; // each record's time in whole seconds, in file order
    int64_t m_Earliest = 0;
    int64_t m_Latest = 0;
    Timeline m_Timeline;
    Hour m_BusiestHour;
};
