// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>

// A session bus of the benchmark's own, so that no other logger or desktop
// service is met. Its address goes into the environment, for this process
// and the programs it starts, before anything here opens the session bus.
// (The tests get theirs from dbus-run-session.)
class PrivateBus {
public:
    static constexpr int kStartWaitMs = 10000;

    ~PrivateBus();

    // False, with a message on standard error, when the bus will not start.
    bool Start();

private:
    QProcess m_Bus;
};
