// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pacing.h"

#include "Numbers.h"
#include "RuntimeError.h"

#include <QStringList>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace Pacing {

namespace {

constexpr int32_t kLongestDelayMs = std::numeric_limits<int32_t>::max();

// Milliseconds between two time stamps in days, rounded half to even,
// without sign, and capped at kLongestDelayMs.
int32_t DelayMs(double fromDays, double toDays)
{
    const double ms = (toDays - fromDays) * 24.0 * 60.0 * 60.0 * 1000.0;
    if (std::isnan(ms))
        throw RuntimeError::Overflow();
    if (std::fabs(ms) >= static_cast<double>(kLongestDelayMs) + 0.5)
        return kLongestDelayMs;
    return std::abs(Numbers::ToInt32(ms));
}

// Each division is rounded half to even; "5/sec" leaves the floor to decide.
int32_t ScaledDelay(int32_t delayMs, int16_t speed)
{
    const double factor = ContestSecondsPerSecond(speed);
    if (factor == 0)
        return 1;
    return Numbers::ToInt32(delayMs / factor);
}

} // namespace

QString SpeedName(int16_t speed)
{
    static const QStringList names = {QStringLiteral("1X"), QStringLiteral("2X"), QStringLiteral("4X"),
                                      QStringLiteral("8X"), QStringLiteral("5/sec")};
    return names.value(speed);
}

double ContestSecondsPerSecond(int16_t speed)
{
    switch (speed) {
    case k2X:
        return 2;
    case k4X:
        return 4;
    case k8X:
        return 8;
    case kFivePerSecond:
        return 0;
    default:
        return 1;
    }
}

Wait NextWait(double currentTimeStamp, double nextTimeStamp, int16_t speed)
{
    Wait wait;
    wait.DelayMs = ScaledDelay(DelayMs(currentTimeStamp, nextTimeStamp), speed);
    if (wait.DelayMs < kShortestWaitMs)
        wait.DelayMs = kShortestWaitMs;
    if (wait.DelayMs > kLongestPlainWaitMs)
        wait.Countdown = Numbers::ToInt32(wait.DelayMs / 1000.0);
    return wait;
}

} // namespace Pacing
