// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>

// The contest's own time at the replay position (days, as the time stamps).
// It stands at a contact's time, or runs from there towards the next
// contact's time at the replay's speed and stops when it gets there; it
// stands still while held (the playback paused).
class ContestClock {
public:
    // Stands at moment.
    void StandAt(double moment);
    // Runs on from where it stands towards until, at rate contest seconds a
    // second; a rate of 0, or an until that is not later, leaves it standing.
    void RunTowards(double until, double rate);
    void Hold();
    void Release();

    double Now() const;
    // Whether Now() moves as time passes.
    bool IsRunning() const;

private:
    bool Moves() const;

    double m_From = 0;  // where it stood when it last started to run
    double m_Until = 0;
    double m_Rate = 0;
    bool m_Held = false;
    QElapsedTimer m_Since; // since it last started to run
};
