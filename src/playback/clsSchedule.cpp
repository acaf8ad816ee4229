// SPDX-License-Identifier: GPL-3.0-or-later
#include "clsSchedule.h"

#include "Numbers.h"
#include "Pacing.h"
#include "RuntimeError.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kMsPerDay = 24.0 * 60.0 * 60.0 * 1000.0;
constexpr int32_t kSecondMs = 1000;
// Far enough for any log (some 285,000 years), near enough to add to safely.
constexpr double kFarthestMs = 9.0e15;

int32_t ClampedInterval(int64_t ms)
{
    return static_cast<int32_t>(std::clamp<int64_t>(ms, 0, std::numeric_limits<int32_t>::max()));
}

} // namespace

int64_t clsSchedule::NowMs()
{
    static const QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock.elapsed();
}

clsSchedule::Wait clsSchedule::WaitUntil(int64_t nowMs, int64_t dueMs)
{
    const int64_t remaining = std::max<int64_t>(dueMs - nowMs, 0);
    if (remaining <= Pacing::kLongestPlainWaitMs)
        return {ClampedInterval(remaining), 0};
    Wait wait;
    wait.Countdown = Numbers::ToInt32(static_cast<double>(remaining) / kSecondMs);
    wait.IntervalMs = ClampedInterval(remaining - int64_t(wait.Countdown - 1) * kSecondMs);
    return wait;
}

int32_t clsSchedule::IntervalToNextEvent(int64_t nowMs, int64_t dueMs, int32_t countdown)
{
    return ClampedInterval(dueMs - int64_t(countdown - 1) * kSecondMs - nowMs);
}

void clsSchedule::Begin(int64_t originMs, double startTimeStamp)
{
    m_On = true;
    m_AnchorMs = originMs;
    m_AnchorTimeStamp = startTimeStamp;
    m_AnchorIndex = 0;
    m_Speed = -1;
    m_DueMs = originMs;
    m_TimeStamp = startTimeStamp;
    m_Index = -1;
    m_PausedAtMs = -1;
}

int64_t clsSchedule::Next(double timeStamp, int16_t speed)
{
    if (std::isnan(timeStamp))
        throw RuntimeError::Overflow();
    if (std::isnan(m_AnchorTimeStamp))
        m_AnchorTimeStamp = timeStamp; // no start known: the first contact's own time
    if (speed != m_Speed && m_Index >= 0) {
        // From the contact before on, at the new speed.
        m_AnchorMs = m_DueMs;
        m_AnchorTimeStamp = m_TimeStamp;
        m_AnchorIndex = m_Index;
    }
    m_Speed = speed;
    m_Index += 1;
    const double factor = Pacing::ContestSecondsPerSecond(speed);
    double offsetMs = factor == 0 ? double(m_Index - m_AnchorIndex) * Pacing::kShortestWaitMs
                                  : (timeStamp - m_AnchorTimeStamp) * kMsPerDay / factor;
    offsetMs = std::clamp(offsetMs, -kFarthestMs, kFarthestMs);
    const int64_t dueMs = m_AnchorMs + static_cast<int64_t>(std::llround(offsetMs));
    m_DueMs = m_Index == 0 ? dueMs : std::max(dueMs, m_DueMs + Pacing::kShortestWaitMs);
    m_TimeStamp = timeStamp;
    return m_DueMs;
}

void clsSchedule::Pause(int64_t nowMs)
{
    if (m_PausedAtMs < 0)
        m_PausedAtMs = nowMs;
}

void clsSchedule::Resume(int64_t nowMs)
{
    if (m_PausedAtMs < 0)
        return;
    const int64_t pausedMs = nowMs - m_PausedAtMs;
    m_AnchorMs += pausedMs;
    m_DueMs += pausedMs;
    m_PausedAtMs = -1;
}
