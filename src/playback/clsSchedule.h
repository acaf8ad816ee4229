// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The moments at which a replay started with --go-at logs its contacts, on
// a clock that every copy started with the same file, start and speed
// shares: a contact with time stamp t is due at the go-at moment plus
// (t - start) / speed, whichever station it belongs to; at "5/sec" the n-th
// contact replayed (from 0) is due n x 200 ms after it. A contact due less
// than 200 ms after the one before is logged 200 ms after that one's
// moment instead. Each wait is worked out against these moments, never
// from the end of the log step before: neither the 200 ms floor on bunched
// contacts, nor late timer events, nor the cost of each log step add up
// over a long log. A copy that has fallen behind logs what is due at once.
//
// Moments are milliseconds on the monotonic clock of NowMs(). Off, the
// schedule leaves the pace to the waits from one record to the next.
class clsSchedule {
public:
    // The timer's part in a wait: the interval to its first event, and the
    // whole seconds to count down (0 when that first event logs the contact).
    struct Wait {
        int32_t IntervalMs = 0;
        int32_t Countdown = 0;
    };

    // Milliseconds since the program started, never going back.
    static int64_t NowMs();

    // The wait from nowMs until the moment dueMs (none when it has passed).
    // Up to a second it is one interval; beyond, a countdown of the
    // remaining seconds (rounded half to even) whose last event falls on dueMs.
    static Wait WaitUntil(int64_t nowMs, int64_t dueMs);
    // The interval from nowMs to the next event of such a countdown, at an
    // event that left countdown seconds on it; 0 when that moment has passed.
    static int32_t IntervalToNextEvent(int64_t nowMs, int64_t dueMs, int32_t countdown);

    bool IsOn() const { return m_On; }
    // Switches the schedule on: originMs is the go-at moment, and
    // startTimeStamp (in days) the contest time it stands for; when that is
    // not a number, the first contact's time.
    void Begin(int64_t originMs, double startTimeStamp);
    void End() { m_On = false; }

    // Makes the contact with this time stamp the next one due, at the speed
    // (a position in the speed list); contacts are given in the order they
    // are replayed. A speed changed since the contact before applies from
    // that contact's moment on. Answers the moment. A time stamp that is
    // not a number raises Overflow.
    int64_t Next(double timeStamp, int16_t speed);
    int64_t DueMs() const { return m_DueMs; }

    // A pause holds the schedule: after it, every moment comes that much later.
    void Pause(int64_t nowMs);
    void Resume(int64_t nowMs);

private:
    bool m_On = false;
    // The moment, contest time and replayed count from which the due
    // moments are counted at m_Speed: the go-at moment and the start, until
    // the speed changes.
    int64_t m_AnchorMs = 0;
    double m_AnchorTimeStamp = 0;
    int64_t m_AnchorIndex = 0;
    int16_t m_Speed = 0;
    // The contact due next: its moment, time stamp and place among the replayed.
    int64_t m_DueMs = 0;
    double m_TimeStamp = 0;
    int64_t m_Index = -1;
    int64_t m_PausedAtMs = -1;
};
