// SPDX-License-Identifier: GPL-3.0-or-later
#include "ContestClock.h"

#include <algorithm>

namespace {
constexpr double kMsPerDay = 24.0 * 60.0 * 60.0 * 1000.0;
}

void ContestClock::StandAt(double moment)
{
    m_From = moment;
    m_Until = moment;
    m_Rate = 0;
}

void ContestClock::RunTowards(double until, double rate)
{
    m_From = Now();
    m_Until = until;
    m_Rate = rate;
    m_Since.start();
}

void ContestClock::Hold()
{
    m_From = Now();
    m_Held = true;
}

void ContestClock::Release()
{
    if (!m_Held)
        return;
    m_Held = false;
    m_Since.start();
}

bool ContestClock::Moves() const { return !m_Held && m_Rate > 0 && m_Until > m_From; }

bool ContestClock::IsRunning() const { return Moves() && Now() < m_Until; }

double ContestClock::Now() const
{
    if (!Moves())
        return m_From;
    return std::min(m_Until, m_From + double(m_Since.elapsed()) * m_Rate / kMsPerDay);
}
