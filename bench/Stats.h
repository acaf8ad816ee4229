// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <numeric>
#include <vector>

// Summaries of repeated measurements, as the benchmarks print them.
namespace Stats {

// The value below which the given fraction of the values lie (0.5: the median).
inline double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(fraction * double(values.size())));
    return values[index];
}

inline double Median(const std::vector<double> &values) { return Percentile(values, 0.5); }

inline double Mean(const std::vector<double> &values)
{
    return values.empty() ? 0 : std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
}

inline double Min(const std::vector<double> &values)
{
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

inline double Max(const std::vector<double> &values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

} // namespace Stats
